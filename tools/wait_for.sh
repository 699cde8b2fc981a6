# shellcheck shell=bash
# Sourced by the scripts that drive programs from outside (tests/x11, tools/wine_window_check.sh):
# a bounded wait for a condition, never a fixed sleep.

# Waits up to $1 seconds for the command after it to succeed, trying every ${poll:-0.05} s.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep "${poll:-0.05}"
  done
}
