# Sourced by the set-up scripts: runs a network step again when it fails.
# A package mirror in mid-sync, or a dropped connection, fails one try and
# often passes the next; a step that fails every try is named, with the end
# of its output.
#
#   net_retry [-q] STEP LOG COMMAND...   runs COMMAND with its output in LOG, up to
#                                   QUORVEL_NET_TRIES times (default 4), with
#                                   QUORVEL_NET_PAUSE seconds between tries
#                                   (default 10); on the last failure prints
#                                   the last 40 lines of LOG and which step
#                                   failed, and returns COMMAND's status;
#                                   -q: the caller reports the failure.
net_retry() {
  local quiet=0 step logf tries=${QUORVEL_NET_TRIES:-4} pause=${QUORVEL_NET_PAUSE:-10} i rc=0
  [ "$1" != -q ] || { quiet=1; shift; }
  step=$1 logf=$2
  shift 2
  for ((i = 1; i <= tries; i++)); do
    if "$@" >"$logf" 2>&1; then return 0; else rc=$?; fi
    if [ "$i" -lt "$tries" ]; then
      echo "${0##*/}: $step failed (try $i of $tries), trying again in $pause s" >&2
      sleep "$pause"
    fi
  done
  [ $quiet -eq 0 ] || return "$rc"
  tail -n 40 "$logf" >&2
  echo "${0##*/}: $step failed $tries times (status $rc); its output is in $logf" >&2
  return "$rc"
}
