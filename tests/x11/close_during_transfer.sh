#!/usr/bin/env bash
# A close request from the window system (WM_DELETE_WINDOW, as a title-bar close sends it) that
# arrives while "Write to box" sends its frames, or while one of its prompts is up, is carried out
# once the transfer has ended: the program ends and has saved its settings. Qt drops such a
# request for a window a modal box blocks, and the offscreen platform never sends one, so this
# runs the real program on Xvfb against the card simulator.
#
#   close_during_transfer.sh QUORVEX CARDSIM X_CLOSE_REQUEST
set -euo pipefail

quorvex=$1 cardsim=$2 close_request=$3
source "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
start_xvfb

mkdir "$work/ports" "$work/bin"
"$cardsim" --port 1 --com-dir "$work/ports" --image "$work/card.kfg" --log "$work/frames.log" \
  >"$work/cardsim.out" 2>&1 &
pids+=($!)
wait_for 20 test -e "$work/ports/COM1" || fail "the card simulator did not start"

# The settings file lies beside the executable, so the program runs from a copy of its own.
cp "$quorvex" "$work/bin/quorvex"
settings="$work/bin/quorvex.ini"

frame_lines() { wc -l <"$work/frames.log" 2>/dev/null || echo 0; }
visible_box() { xdotool search --onlyvisible --name '^Transmission$' 2>/dev/null | head -n1; }
box_shown() { [ -n "$(visible_box)" ]; }
box_gone() { [ -z "$(visible_box)" ]; }
process_ended() { ! kill -0 "$1" 2>/dev/null; }

confirm_box() {
  local box
  wait_for 30 box_shown || fail "no Transmission box came up ($1)"
  box=$(visible_box)
  xdotool windowfocus --sync "$box" key Return
  wait_for 30 box_gone || fail "the Transmission box stayed ($1)"
}

# One run: write to the card and send the close request at the moment named by $1.
run() {
  local when=$1 window pid
  : >"$work/frames.log"
  write_plain_settings "$settings" 0.5 10 25
  start_quorvex "$when"
  # Qt hands the second key to the menu the first one opened.
  xdotool windowfocus --sync "$window" key alt+t w

  wait_for 30 box_shown || fail "no connect prompt ($when)"
  if [ "$when" = prompt ]; then
    # Delivered before the key below: the helper returns once the server has queued it.
    "$close_request" "$window"
  fi
  confirm_box "connect prompt, $when"
  if [ "$when" = frames ]; then
    # A few frames out of 82 lines: well inside the seconds the write takes.
    wait_for 30 bash -c "[ \$(wc -l <'$work/frames.log') -ge 10 ]" || fail "no frames went out"
    "$close_request" "$window"
  fi
  confirm_box "release prompt, $when"

  wait_for 30 process_ended "$pid" ||
    fail "the program did not end after the transfer ($when); frames: $(frame_lines)"
  wait "$pid" || fail "the program ended with status $? ($when)"
  grep -q '^Sprache=2' "$settings" || fail "the settings were not saved ($when)"
  local replies
  replies=$(grep -c 'ms  tx  ' "$work/frames.log" || true)
  [ "$replies" -eq 41 ] || fail "the card answered $replies frames instead of 41 ($when)"
  echo "ok: close during the $when, the program ended after the transfer with its settings saved"
}

run frames
run prompt
