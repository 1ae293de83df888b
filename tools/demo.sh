#!/usr/bin/env bash
# The main job: installs what is missing, builds every target (linux, win32,
# win64) and the add-in bundle dist/quorvel-<version>.zip, then runs a demonstration session of the add-in through the host
# harness v8host, the way the 1C:Enterprise platform drives it.
#
#   tools/demo.sh            the 32-bit DLL, under Wine (what the platform loads)
#   tools/demo.sh --linux    the same session with the Linux library, natively
#   QUORVEL_SKIP_SETUP=1     do not run tools/setup.sh
#   QUORVEL_SKIP_BUILD=1     use the builds as they are
#
# The session is the list of calls in tools/demo.v8s (v8host script syntax:
# `v8host --help`); without that file, the harness lists the add-in's classes,
# methods and properties and asks for the interface revision.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

target=win32
case "${1:-}" in
  "") ;;
  --linux) target=linux ;;
  -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "tools/demo.sh: unknown option $1 (--linux)" >&2; exit 2 ;;
esac

banner() { printf '\n==== %s ====\n' "$*"; }

if [ -z "${QUORVEL_SKIP_SETUP:-}" ]; then
  banner "setup"
  tools/setup.sh
fi
if [ -z "${QUORVEL_SKIP_BUILD:-}" ]; then
  for p in linux win32 win64; do
    banner "build $p"
    cmake --preset "$p" >/dev/null
    cmake --build --preset "$p"
  done
  banner "bundle"
  tools/make-bundle.sh
fi

# Hook for the demonstration session: tools/demo.v8s when present.
session_args=()
if [ -f tools/demo.v8s ]; then
  session_args=(--script tools/demo.v8s)
fi

if [ "$target" = linux ]; then
  host=build/linux/tools/v8host/v8host
  lib=build/linux/quorvel.so
  run=()
else
  host=build/win32/tools/v8host/v8host.exe
  lib=build/win32/quorvel.dll
  run=(tools/wine-run.sh)
fi
[ -f "$lib" ] || { echo "tools/demo.sh: $lib was not built" >&2; exit 1; }
if [ ! -f "$host" ]; then
  echo "tools/demo.sh: the host harness $host was not built; nothing to demonstrate" >&2
  exit 1
fi

banner "demonstration: $lib through v8host"
# Paths stay relative: under Wine they resolve against the current folder.
if [ ${#session_args[@]} -gt 0 ]; then
  "${run[@]}" "$host" "${session_args[@]}" "$lib" quorvel
else
  "${run[@]}" "$host" --list "$lib" quorvel
  "${run[@]}" "$host" "$lib" quorvel "GetInterfaceRevision"
fi
