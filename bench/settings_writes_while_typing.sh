#!/usr/bin/env bash
# Settings-file writes per minute while the operator types: the real program on Xvfb, xdotool
# typing digits into the channel fields at a steady pace for a while, and each atomic
# replacement of quorvex.ini counted by the file's inode changing (polled every 20 ms; writes
# are at least a second apart). Prints keys typed, writes and writes per minute.
#
#   bench/settings_writes_while_typing.sh build/quorvex [SECONDS [MS_BETWEEN_KEYS]]
set -euo pipefail

quorvex=$1 seconds=${2:-60} pace=${3:-200}
source "$(dirname "${BASH_SOURCE[0]}")/../tests/x11/x11_session.sh"
start_xvfb

mkdir "$work/bin"
cp "$quorvex" "$work/bin/quorvex"
settings="$work/bin/quorvex.ini"
printf '[Main]\nCOM=1\n' >"$settings"
QT_QPA_PLATFORM=xcb "$work/bin/quorvex" >/dev/null 2>&1 &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Analog card')
xdotool windowfocus --sync "$window"
# Channel 1's offset field: the first field after the sixteen lists.
xdotool key --delay 20 $(printf 'Tab %.0s' $(seq 16))

inode() { stat -c %i "$settings" 2>/dev/null || echo none; }
(
  last=$(inode) writes=0
  end=$((SECONDS + seconds))
  while ((SECONDS < end)); do
    now=$(inode)
    if [ "$now" != "$last" ]; then
      writes=$((writes + 1))
      last=$now
    fi
    sleep 0.02
  done
  echo "$writes" >"$work/writes"
) &
watcher=$!

# Digits and a field change now and then, as an operator filling in the grid types.
keys=0
end=$((SECONDS + seconds))
while ((SECONDS < end)); do
  if ((keys % 4 == 3)); then
    xdotool key Tab
  else
    xdotool key $((keys % 10))
  fi
  keys=$((keys + 1))
  sleep "$(awk -v p="$pace" 'BEGIN { printf "%.3f", p / 1000 }')"
done
wait "$watcher"
writes=$(cat "$work/writes")
echo "typed $keys keys in ${seconds} s (one every ${pace} ms plus xdotool's own time)"
echo "settings file written $writes times: $(awk -v w="$writes" -v s="$seconds" \
  'BEGIN { printf "%.1f", w * 60 / s }') writes per minute"
