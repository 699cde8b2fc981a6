#!/usr/bin/env bash
# The history window by keyboard on a real X server: a card read through the simulator, then
# File > History... by its access keys, the table filtered by a tag no record has (the record's
# commands then have nothing to act on), the filter cleared, the read record given a tag by its
# field and the window closed by its access key. The history file says what the keys did.
#
#   history_by_keyboard.sh QUORVEX CARDSIM
set -euo pipefail

quorvex=$1 cardsim=$2
source "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
command -v python3 >/dev/null || { echo "SKIP: python3 reads the history file"; exit 77; }
start_xvfb

mkdir "$work/ports" "$work/bin"
"$cardsim" --port 1 --com-dir "$work/ports" --log "$work/frames.log" >"$work/cardsim.out" 2>&1 &
pids+=($!)
wait_for 20 test -e "$work/ports/COM1" || fail "the card simulator did not start"

cp "$quorvex" "$work/bin/quorvex"
settings="$work/bin/quorvex.ini"
history="$work/history.sqlite"
write_plain_settings "$settings" 0.5 10 25
printf '[History]\nPath=%s\n' "$history" >>"$settings"

named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
shown() { [ -n "$(named "$1")" ]; }
gone() { [ -z "$(named "$1")" ]; }
records() {
  python3 - "$history" "$1" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
print(db.execute(sys.argv[2]).fetchone()[0])
PY
}
one_tag_given() { [ "$(records "SELECT count(*) FROM records WHERE action = 'tag'")" = 1 ]; }
confirm() {
  wait_for 30 shown '^Transmission$' || fail "no Transmission box came up ($1)"
  xdotool windowfocus --sync "$(named '^Transmission$')" key Return
  wait_for 30 gone '^Transmission$' || fail "the Transmission box stayed ($1)"
}

start_quorvex history
xdotool windowfocus --sync "$window" key alt+t r
confirm "connect prompt"
confirm "release prompt"
wait_for 30 test -s "$history" || fail "the read left no history file"
[ "$(records "SELECT count(*) FROM records WHERE action = 'read' AND outcome = 'read'")" = 1 ] ||
  fail "the read is not in the history"
echo "ok: the window's read is recorded"

xdotool windowfocus --sync "$window" key alt+f h
wait_for 30 shown '^History$' || fail "File > History... did not open the history window"
history_window=$(named '^History$')
# The tag filter has the focus first; no record has this tag, so nothing is selected and the
# tag field and its command do nothing.
xdotool windowfocus --sync "$history_window" type --delay 20 'NOT-A-TAG'
xdotool key --delay 50 alt+r type 'WRONG'
xdotool key --delay 50 alt+g
xdotool key --delay 50 alt+t ctrl+a BackSpace
xdotool key --delay 50 alt+r ctrl+a
xdotool type --delay 20 'QIR-4711'
xdotool key --delay 50 Return
wait_for 30 one_tag_given ||
  fail "no tag was given by the record's field"
[ "$(records "SELECT tag || ' ' || refers_to FROM records WHERE action = 'tag'")" = "QIR-4711 1" ] ||
  fail "the tag given: $(records "SELECT tag || ' ' || refers_to FROM records WHERE action = 'tag'")"
echo "ok: the filter left nothing to tag, and the cleared filter's record took the typed tag"

xdotool key --delay 50 alt+c
wait_for 30 gone '^History$' || fail "alt+c did not close the history window"
kill -0 "$pid" || fail "closing the history window ended the program"
echo "ok: the history window closes by its access key and the program goes on"
