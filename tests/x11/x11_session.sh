# Sourced by the scripts that drive the real program on a real X server (Xvfb + xdotool): the
# tools they need (exit 77, a skip, without them), a work folder whose processes end with the
# script, the failure report, a bounded wait and a display of their own.
#
# Sets `work` and `pids` and a trap on EXIT. `stop_signal` (default TERM) is what the processes in
# `pids` get at the end; `fail_shows` lists files the failure report shows beside the program's
# output ($work/quorvex.log).

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (tools/ensure_deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
stop_signal=TERM
fail_shows=()
cleanup() {
  for pid in "${pids[@]}"; do kill "-$stop_signal" "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  local file
  for file in "${fail_shows[@]}"; do
    if [ -s "$file" ]; then
      echo "--- $(basename "$file"):"
      cat "$file"
    fi
  done
  if [ -s "$work/quorvex.log" ]; then
    echo "--- the program's output:"
    tail -n 40 "$work/quorvex.log"
  fi
  exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.05
  done
}

# Xvfb picks a free display itself and tells its number through the descriptor.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
}
