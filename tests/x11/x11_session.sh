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

source "$(dirname "${BASH_SOURCE[0]}")/../../tools/wait_for.sh"

# Xvfb picks a free display itself and tells its number through the descriptor.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
}

# A settings file of an earlier run on COM1: every channel the first quantity in V, with offset
# $2, range $3 and measurement range $4; $5, when given, the file used last.
write_plain_settings() {
  {
    printf '[Main]\nCOM=1\n'
    [ $# -lt 5 ] || printf 'Filename=%s\n' "$5"
    for section in ComboBox:0 EinheitBox:0 "Offset:$2" "Bereich:$3" "Mess:$4"; do
      printf '[%s]\n' "${section%%:*}"
      for n in 1 2 3 4 5 6 7 8; do printf '%d=%s\n' "$n" "${section#*:}"; done
    done
  } >"$1"
}

# Starts $work/bin/quorvex on the display with the arguments after $1, from the folder
# ${start_in:-.}, against the ports in $work/ports; its output goes to $work/quorvex.log. Sets
# `pid` and `window` (the main window, once shown); $1 names the case in a failure.
# Under the sanitizers, leak detection is left to the window tests on the offscreen platform: on
# xcb, Qt connects to the session bus and libdbus keeps an allocation LeakSanitizer cannot tell
# from a leak (its stack ends inside libdbus).
start_quorvex() {
  local what=$1
  shift
  (cd "${start_in:-.}" && ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    QUORVEX_COM_DIR="$work/ports" QT_QPA_PLATFORM=xcb exec "$work/bin/quorvex" "$@") \
    >"$work/quorvex.log" 2>&1 &
  pid=$!
  pids+=("$pid")
  # Only this process's window: one of a program killed just before may still be listed while
  # the server drops it, and a key sent there fails with BadWindow.
  window=$(timeout 30 xdotool search --sync --all --onlyvisible --pid "$pid" --name '^Analog card') ||
    fail "the main window did not come up ($what)"
}
