#!/usr/bin/env bash
# valgrind memcheck over the demonstration session (tools/demo-session.sh):
#   1. in-process, as tools/demo.sh --linux runs it (quorvel_demo, tags
#      presented by double-clicks on the headless tag window);
#   2. through the host harness loading the built library (v8host + dlopen of
#      quorvel.so), the same calls without the double-clicks, which only the
#      in-process program can make.
# Each run must end with no memory error and no definitely lost block.
#   valgrind-session.sh SOURCE_DIR QUORVEL_DEMO V8HOST QUORVEL_SO WORK_DIR
# Fails when valgrind is not installed: a check that did not run is no pass.
set -euo pipefail
src=${1:?source dir}; demo=${2:?quorvel_demo}; v8host=${3:?v8host}; lib=${4:?quorvel.so}; work=${5:?work dir}

command -v valgrind >/dev/null || { echo "valgrind not installed (tools/setup.sh installs it)"; exit 1; }

rm -rf "$work"
mkdir -p "$work/data"
# The driver's log folder and any other per-user data stay in the build tree.
export XDG_DATA_HOME="$work/data"
"$src/tools/demo-session.sh" >"$work/session.v8s"
grep -v '^:present\|^:tags' "$work/session.v8s" >"$work/session-library.v8s"

# 99 tells valgrind's findings apart from the program's own failure status.
vg_status=99
memcheck() { # NAME COMMAND...
  local name=$1; shift
  local status=0
  valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=$vg_status \
    --track-origins=yes --num-callers=40 --log-file="$work/$name.valgrind.txt" \
    "$@" >"$work/$name.out.txt" 2>&1 || status=$?
  echo "== $name: $*"
  grep -E 'ERROR SUMMARY|definitely lost|All heap blocks were freed' "$work/$name.valgrind.txt" | sed 's/^==[0-9]*== *//'
  if [ $status -ne 0 ]; then
    if [ $status -eq $vg_status ]; then
      echo "FAIL: $name: valgrind reported errors or definite leaks"
      cat "$work/$name.valgrind.txt"
    else
      echo "FAIL: $name: the session ended with status $status"
      tail -n 40 "$work/$name.out.txt"
    fi
    return 1
  fi
  # Belt and braces: the summary itself must say so.
  grep -q 'ERROR SUMMARY: 0 errors' "$work/$name.valgrind.txt" \
    || { echo "FAIL: $name: no clean error summary"; return 1; }
  if grep -q 'definitely lost:' "$work/$name.valgrind.txt"; then
    grep -q 'definitely lost: 0 bytes in 0 blocks' "$work/$name.valgrind.txt" \
      || { echo "FAIL: $name: definite leaks"; return 1; }
  fi
}

failed=0
memcheck demo "$demo" "$work/session.v8s" || failed=1
memcheck library "$v8host" --pretty --script "$work/session-library.v8s" "$lib" quorvel || failed=1
exit $failed
