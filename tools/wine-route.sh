# Sourced by the scripts that run Windows programs: which Wine can run them.
#
# Some kernels refuse every 32-bit x86 program (IA-32 emulation switched
# off). Debian's `wine`, `wineboot` and friends always start the 32-bit
# loader /usr/lib/wine/wine when it is installed, so on such a kernel they
# fail even for 64-bit programs; the 64-bit loader /usr/lib/wine/wine64 with
# a 64-bit prefix still works, and 32-bit Windows programs cannot run at all.
#
#   quorvel_kernel_runs_32bit    status 0 when 32-bit x86 programs run here;
#                                probed once (a 93-byte static program that
#                                only exits), the answer kept in
#                                QUORVEL_KERNEL_32BIT (yes/no) for child
#                                scripts. QUORVEL_NO_32BIT=1 answers "no"
#                                whatever the kernel, to try that route.
#   quorvel_use_wine64_only DIR  puts wine, wine-stable and wine64 commands
#                                that start the 64-bit loader first on PATH
#                                (made in DIR once)
#   quorvel_no_32bit_reason      one line saying why 32-bit programs are out

quorvel_probe_32bit() {
  local probe status
  probe=$(mktemp "${TMPDIR:-/tmp}/quorvel-i386-probe.XXXXXX")
  # ELF32 header, one PT_LOAD program header, then: mov eax,1; xor ebx,ebx;
  # int 0x80 (exit(0)).
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$probe"
  printf '\x00\x00\x00\x00' >>"$probe"
  printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' >>"$probe"
  printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' >>"$probe"
  printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$probe"
  chmod +x "$probe"
  status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return "$status"
}

quorvel_kernel_runs_32bit() {
  if [ "${QUORVEL_NO_32BIT:-0}" = 1 ]; then
    export QUORVEL_KERNEL_32BIT=no
  elif [ -z "${QUORVEL_KERNEL_32BIT:-}" ]; then
    if quorvel_probe_32bit; then export QUORVEL_KERNEL_32BIT=yes; else export QUORVEL_KERNEL_32BIT=no; fi
  fi
  [ "$QUORVEL_KERNEL_32BIT" = yes ]
}

quorvel_no_32bit_reason() {
  if [ "${QUORVEL_NO_32BIT:-0}" = 1 ]; then
    echo "QUORVEL_NO_32BIT=1 takes the route of a kernel that refuses 32-bit programs"
  else
    echo "this kernel ($(uname -r)) refuses 32-bit x86 programs (IA-32 emulation is off)"
  fi
}

quorvel_use_wine64_only() {
  local dir=$1 name
  [ -x /usr/lib/wine/wine64 ] || { echo "${0##*/}: /usr/lib/wine/wine64 is not installed (tools/setup.sh)" >&2; return 1; }
  mkdir -p "$dir"
  for name in wine wine-stable wine64; do
    if [ ! -x "$dir/$name" ]; then
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$dir/$name.tmp"
      chmod +x "$dir/$name.tmp"
      mv -f "$dir/$name.tmp" "$dir/$name"
    fi
  done
  case ":$PATH:" in *":$dir:"*) ;; *) export PATH="$dir:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
}
