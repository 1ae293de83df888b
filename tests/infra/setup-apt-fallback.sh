#!/usr/bin/env bash
# tools/setup.sh against a package mirror in mid-sync, without the network:
# fake apt-get, dpkg and sudo first on PATH.
#   1. update fails (an i386 index of the wrong size), the first install
#      fails with apt's "held broken packages", the one pinned to the
#      release passes: set-up ends with 0, having said so.
#   2. every install is refused: set-up ends non-zero and shows apt's output.
#   tests/infra/setup-apt-fallback.sh SOURCE_DIR
set -euo pipefail
src=$(cd "${1:?usage: setup-apt-fallback.sh SOURCE_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }

mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_APT_CALLS"
case " $* " in
  *" update "*)
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100 ;;
  *" install "*)
    if [ "$FAKE_APT_MODE" = pinned-ok ] && [[ " $* " == *" -t "* ]]; then exit 0; fi
    echo "Some packages could not be installed. This may mean that you have"
    echo " wine32:i386 : Depends: libwine:i386 (= 8.0~repack-4) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100 ;;
esac
exit 0
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/usr/bin/env bash
case "$1" in
  -s) exit 1 ;;                                   # nothing is installed
  --print-foreign-architectures) echo i386 ;;
esac
exit 0
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*
touch "$work/src.sources"

run_setup() { # MODE: runs set-up with the fakes, output in $work/MODE.out
  : >"$work/$1.calls"
  set +e
  PATH="$work/bin:$PATH" FAKE_APT_MODE=$1 FAKE_APT_CALLS="$work/$1.calls" \
    QUORVEL_SRC_LIST="$work/src.sources" QUORVEL_APT_LOG="$work/$1.apt.log" \
    QUORVEL_NET_PAUSE=0 QUORVEL_NET_TRIES=2 \
    bash "$src/tools/setup.sh" --packages-only >"$work/$1.out" 2>&1
  local rc=$?
  set -e
  return $rc
}

# 1. The mirror in mid-sync: set-up gets through.
if run_setup pinned-ok; then :; else fail "set-up ended with status $? (expected 0)"; cat "$work/pinned-ok.out"; fi
grep -q 'binary-i386/Packages.xz' "$work/pinned-ok.out" \
  || fail "the failed index is not named"
grep -q 'pinned to .* (-t ' "$work/pinned-ok.out" \
  || fail "no line says the pinned install was taken"
[ "$(grep -c ' update' "$work/pinned-ok.calls")" -eq 2 ] \
  || fail "apt-get update was not tried again ($(grep -c ' update' "$work/pinned-ok.calls") tries)"
grep -q 'install .*-t ' "$work/pinned-ok.calls" || fail "no install with -t was run"

# 2. Every install refused: a failure, with apt's words.
if run_setup all-refused; then fail "set-up ended with 0 though every install was refused"; fi
grep -q 'held broken packages' "$work/all-refused.out" || fail "apt's output is not shown"
grep -q 'failed' "$work/all-refused.out" || fail "the failing step is not named"

[ $fails -eq 0 ] || { echo "--- output of the first run"; cat "$work/pinned-ok.out"; exit 1; }
echo "ok: mid-sync mirror handled; a refused install still fails"
