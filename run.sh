#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with the card simulator.
#
# The simulator takes the COM port the settings (build/quorvex.ini) already hold when that is
# COM1 to COM255, so a transfer reaches it at once; otherwise it is COM1, and settings that do not
# exist yet are started with COM1. A settings file that exists is never changed here.
# With a display ($DISPLAY set) the program runs as usual until you quit it.
# Without one, it runs on a virtual X server (Xvfb), saves a picture of the main window to
# build/screenshot.png (through QUORVEX_SCREENSHOT, which makes the program save its window
# once painted and then quit) and ends.
# Either way the simulator is stopped when the program ends. Arguments go to the program
# (for example: ./run.sh DEBUG).
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure_deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

ports=$(mktemp -d)
sim_pid=""
xvfb_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$ports"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export QUORVEX_COM_DIR="$ports"

settings=build/quorvex.ini
if [ ! -e "$settings" ]; then
  printf '[Main]\nCOM=1\n' >"$settings"
fi
# The program reads its own settings and says which port they hold (1 when they hold none from
# COM1 to COM255, which it tells on stderr).
port=$(build/quorvex --print-com-port 2>"$ports/.com-port.err") || {
  cat "$ports/.com-port.err" >&2
  exit 1
}
if [ -s "$ports/.com-port.err" ]; then
  echo "$(cat "$ports/.com-port.err"); choose COM1 under Transfer data > COM port..."
fi

# The simulator prints "ready: <link>" once its port exists; give it ten seconds.
sim_out="$ports/.cardsim.out"
build/sim/quorvex-cardsim --port "$port" >"$sim_out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^ready: ' "$sim_out" 2>/dev/null && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q '^ready: ' "$sim_out" 2>/dev/null; then
  echo "The card simulator did not start:" >&2
  cat "$sim_out" >&2
  exit 1
fi
echo "Card simulator running as COM$port ($(sed -n 's/^ready: //p' "$sim_out"))."

if [ -n "${DISPLAY:-}" ]; then
  build/quorvex "$@"
  exit 0
fi

# No display: a virtual one on the first free number.
display=""
for n in $(seq 99 199); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then
    display=":$n"
    break
  fi
done
if [ -z "$display" ]; then
  echo "No free X display number found for Xvfb." >&2
  exit 1
fi
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
  echo "Xvfb did not start on $display." >&2
  exit 1
fi

screenshot="$PWD/build/screenshot.png"
rm -f "$screenshot"
echo "No display: running on Xvfb $display to take a screenshot."
DISPLAY="$display" QUORVEX_SCREENSHOT="$screenshot" timeout 60 build/quorvex "$@"
if [ -f "$screenshot" ]; then
  echo "Screenshot of the main window: $screenshot"
else
  echo "No screenshot was saved." >&2
  exit 1
fi
