#!/usr/bin/env bash
# Runs a program built for Linux on 64-bit ARM (tools/build-linux-portable.sh
# aarch64) on this machine, under QEMU's user-mode emulation, with the build's
# Debian 11 multiarch root as the arm64 system: its dynamic loader, glibc and
# GTK 3 stack. The process is QEMU's own (exec), so its pid is the program's.
#
#   tools/aarch64-run.sh PROGRAM [ARGS...]
#   QUORVEL_AARCH64_ROOT=DIR     the root (default: the one the build uses)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
command -v qemu-aarch64-static >/dev/null \
  || { echo "aarch64-run.sh: qemu-aarch64-static is not installed (qemu-user-static)" >&2; exit 127; }
sysroot=${QUORVEL_AARCH64_ROOT:-$("$here/build-linux-portable.sh" --root aarch64)}
[ -f "$sysroot/lib/ld-linux-aarch64.so.1" ] || { echo "aarch64-run.sh: no arm64 system in $sysroot" >&2; exit 127; }
exec qemu-aarch64-static -L "$sysroot" "$@"
