#!/usr/bin/env bash
# Checks what the built add-in shows to the loader.
#   check-binary-surface.sh pe  OBJDUMP quorvel.dll
#     exports exactly GetClassNames, GetClassObject and DestroyObject
#     (undecorated) and imports only DLLs that every Windows system has.
#   check-binary-surface.sh elf NM quorvel.so
#     the dynamic symbol table defines exactly those three functions.
set -euo pipefail
kind=${1:?kind}; tool=${2:?tool}; lib=${3:?library}
expected_exports="DestroyObject GetClassNames GetClassObject"
# Windows system DLLs the add-in may import (lower case).
system_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll
  comctl32.dll comdlg32.dll version.dll msvcrt.dll ws2_32.dll bcrypt.dll shlwapi.dll msimg32.dll
  uxtheme.dll imm32.dll winmm.dll rpcrt4.dll crypt32.dll ntdll.dll "
system_dlls=" $(echo $system_dlls) "
failed=0
fail() { echo "FAIL: $*"; failed=1; }
sorted_words() { tr ' ' '\n' | sed '/^$/d' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'; }

[ -f "$lib" ] || { echo "FAIL: $lib not found"; exit 1; }
case "$kind" in
  pe)
    dump=$("$tool" -p "$lib")
    imports=$(printf '%s\n' "$dump" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p')
    [ -n "$imports" ] || fail "no import table found in $lib"
    echo "imports:" $imports
    for dll in $imports; do
      lower=$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')
      case "$system_dlls" in
        *" $lower "*) ;;
        *) fail "imports $dll, which is not a system DLL (link it statically)" ;;
      esac
    done
    # The export name table lists lines like "[   0] +base[   1] 0000 GetClassNames".
    exports=$(printf '%s\n' "$dump" \
      | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^[[:space:]]*$/p' \
      | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\].*[[:space:]]\([^[:space:]]*\)$/\1/p' | sorted_words)
    ;;
  elf)
    exports=$("$tool" -D --defined-only "$lib" | awk '{print $NF}' | sorted_words)
    types=$("$tool" -D --defined-only "$lib" | awk '{print $(NF-1)}' | LC_ALL=C sort -u | tr '\n' ' ')
    [ "$types" = "T " ] || fail "dynamic symbols are not all functions: types $types"
    ;;
  *) echo "unknown kind $kind"; exit 2 ;;
esac
echo "exports: $exports"
[ "$exports" = "$expected_exports" ] || fail "exports are '$exports', expected '$expected_exports'"
if [ $failed -ne 0 ]; then exit 1; fi
echo "OK: $lib"
