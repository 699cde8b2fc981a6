# shellcheck shell=bash
# Sourced by .ci/run and ./test.sh: `step NAME COMMAND...` runs the command and prints
# "step NAME: M min S s" after it, whether it passed or failed, so a slow step shows in the log;
# `steps_total` prints the time since the script began.
steps_started=$(date +%s)

step_duration() {
  local seconds=$1
  echo "$((seconds / 60)) min $((seconds % 60)) s"
}

step() {
  local name=$1 started status=0
  shift
  started=$(date +%s)
  "$@" || status=$?
  echo "step ${name}: $(step_duration $(($(date +%s) - started)))"
  return "${status}"
}

steps_total() {
  echo "total: $(step_duration $(($(date +%s) - steps_started)))"
}
