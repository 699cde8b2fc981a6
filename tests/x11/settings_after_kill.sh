#!/usr/bin/env bash
# The working state outlives a crash: the real program on Xvfb reads the card (the simulator
# holding a known configuration), or loads a .KFG file, and is killed with SIGKILL within 3 s
# after the command completed. The settings file it leaves holds the card's or the file's
# channels, the remembered file and every key, whole.
#
#   settings_after_kill.sh QUORVEX CARDSIM KNOWN.KFG
set -euo pipefail

quorvex=$1 cardsim=$2 known=$3
source "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
# The program is killed as a power cut would end it, and so are the rest at the end.
stop_signal=KILL
fail_shows+=("$work/settings")

# Like wait_for, to the millisecond, for the 3 s after a command.
wait_ms() {
  local deadline=$(($(date +%s%3N) + $1))
  shift
  until "$@"; do
    (($(date +%s%3N) < deadline)) || return 1
    sleep 0.02
  done
}

start_xvfb

mkdir "$work/ports" "$work/bin"
cp "$known" "$work/card.kfg"
"$cardsim" --port 1 --com-dir "$work/ports" --image "$work/card.kfg" >"$work/cardsim.out" 2>&1 &
pids+=($!)
wait_for 20 test -e "$work/ports/COM1" || fail "the card simulator did not start"

cp "$quorvex" "$work/bin/quorvex"
settings="$work/bin/quorvex.ini"

# Value of key $2 in section [$1] of the settings file.
ini() {
  awk -v s="[$1]" -v k="$2" '
    /^\[/ { in_s = ($0 == s) }
    in_s && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$settings"
}

# The channels of the known configuration as the window shows them (quorvex-cli show).
holds_known_channels() {
  [ "$(ini Offset 1)" = 0.5 ] && [ "$(ini Bereich 1)" = 10.0 ] && [ "$(ini Mess 1)" = 25.0 ] &&
    [ "$(ini Offset 2)" = 4.0 ] && [ "$(ini Mess 2)" = 1000 ] && [ "$(ini EinheitBox 2)" = 1 ] &&
    [ "$(ini Offset 8)" = 0.4 ] && [ "$(ini Bereich 8)" = 16.0 ] && [ "$(ini Mess 8)" = 63000 ] &&
    [ "$(ini EinheitBox 8)" = 1 ]
}
holds() { holds_known_channels && [ "$(ini Main Filename)" = "$1" ]; }

visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
shown() { [ -n "$(visible "$1")" ]; }
gone() { [ -z "$(visible "$1")" ]; }

confirm_box() {
  local box
  wait_for 30 shown '^Transmission$' || fail "no Transmission box came up ($1)"
  box=$(visible '^Transmission$')
  xdotool windowfocus --sync "$box" key Return
  wait_for 30 gone '^Transmission$' || fail "the Transmission box stayed ($1)"
}

# A settings file of the previous run: COM1, every channel the first quantity, V, all zero.
start_program() {
  write_plain_settings "$settings" 0 0 0 "$1"
  start_quorvex "$2"
}

# Within 3 s of the command's end the file must hold ($1: the remembered file); then the kill.
kill_and_check() {
  local remembered=$1 what=$2 begun
  begun=$(date +%s%3N)
  wait_ms 3000 holds "$remembered" ||
    fail "3 s after the $what the settings file does not hold it"
  echo "the $what was in the settings file after $(($(date +%s%3N) - begun)) ms"
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  cp "$settings" "$work/settings"
  holds "$remembered" || fail "after the kill the settings file does not hold the $what"
  # 45 keys, and the six of the recent files' own section once a file was loaded.
  [ "$(sed '/^\[Recent\]/,$d' "$settings" | grep -c '=')" -eq 45 ] ||
    fail "the settings file is not whole after the kill"
  [ "$(ini Main Sprache)" = 2 ] || fail "the settings file lacks the language number"
  echo "ok: killed after the $what, the settings file holds it"
}

# Read from box: the card's channels, and the remembered file as it was.
start_program '/bench/start.KFG' read
xdotool windowfocus --sync "$window" key alt+t r
confirm_box "connect prompt"
confirm_box "release prompt"
kill_and_check '/bench/start.KFG' read

# Load configuration: the file's channels, and the file remembered.
cp "$known" "$work/boiler.KFG"
start_program 'C:\' load
xdotool windowfocus --sync "$window" key alt+f l
wait_for 30 shown '^Load configuration$' || fail "no Load configuration dialog came up"
dialog=$(visible '^Load configuration$')
xdotool windowfocus --sync "$dialog" type --delay 20 "$work/boiler.KFG"
# Sent to the dialog's window, past the completer's popup that would take a Return through the
# focus. Only the press: it closes the dialog, and a release sent after it to the window, by then
# destroyed, failed with BadWindow.
xdotool keydown --window "$dialog" Return
wait_for 30 gone '^Load configuration$' || fail "the Load configuration dialog stayed"
kill_and_check "$work/boiler.KFG" load
