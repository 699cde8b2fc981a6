#!/usr/bin/env bash
# The program started with a configuration file, as a file manager starts it for a double-click
# (Exec=quorvex %f), on a real X server: the file is loaded once the window is up, its channels
# and its name are what the program then holds. They are read back from the settings file the
# program writes at its end, after a close request from the window system. The file lies in a
# folder with non-ASCII letters in its path; a second run names a file that does not exist: the
# program goes on and ends as started without it.
#
#   start_with_file.sh QUORVEX X_CLOSE_REQUEST
set -euo pipefail

quorvex=$1 close_request=$2
source "$(dirname "${BASH_SOURCE[0]}")/x11_session.sh"
start_xvfb

# The settings file lies beside the executable, so the program runs from a copy of its own.
mkdir "$work/bin"
cp "$quorvex" "$work/bin/quorvex"
settings="$work/bin/quorvex.ini"

# Eight channels with both units and eight quantities: O2 V, CO mA, TGas V, Lambda mA, Eta V,
# CO2 mA, TRaum V, Sens6 mA.
folder="$work/Prüfstand"
mkdir "$folder"
file="$folder/Müller.KFG"
printf '\x55\x00\x0a\xc8\x00\xfa\x01\x28\xc8\x03\xe8\x02\x00\xcc\x04\xb0\x03\x00\xc8\x01\xf4' >"$file"
printf '\x04\x32\x64\x04\xb0\x05\x32\xcc\x00\xc8\x07\x14\xc8\x01\xf4\x11\x04\xa0\xf6\x18' >>"$file"
[ "$(stat -c %s "$file")" -eq 41 ] || fail "the test file is not 41 bytes"

process_ended() { ! kill -0 "$1" 2>/dev/null; }
visible_box() { xdotool search --onlyvisible --name '^Quorvex$' 2>/dev/null | head -n1; }
box_shown() { [ -n "$(visible_box)" ]; }
box_gone() { [ -z "$(visible_box)" ]; }
ini_value() { sed -n "/^\[$1\]/,/^\[/{s/^$2=//p}" "$settings" | head -n1; }

# Starts the program with the file named by $1 (from its folder, as a file manager does), closes
# it through the window system and waits until it has written its settings. With $2, an error
# box is expected first and answered.
run() {
  local named=$1 expected_box=${2:-} window pid
  rm -f "$settings"
  start_in=$folder start_quorvex "$named" "$named"
  if [ -n "$expected_box" ]; then
    # Load's own error box; the window system's close waits until it is answered.
    wait_for 30 box_shown || fail "no error box came up ($named)"
    xdotool windowfocus --sync "$(visible_box)" key Return
    wait_for 30 box_gone || fail "the error box stayed ($named)"
  fi
  "$close_request" "$window"
  wait_for 30 process_ended "$pid" || fail "the program did not end after the close ($named)"
  wait "$pid" || fail "the program ended with status $? ($named)"
  [ -s "$settings" ] || fail "no settings were written ($named)"
}

run "$file"
quantities="" units=""
for n in 1 2 3 4 5 6 7 8; do
  quantities+="$(ini_value ComboBox "$n") "
  units+="$(ini_value EinheitBox "$n") "
done
[ "$quantities" = "0 1 2 3 4 5 6 14 " ] || fail "quantities after the start: $quantities"
[ "$units" = "0 1 0 1 0 1 0 1 " ] || fail "units after the start: $units"
[ "$(ini_value Main Filename)" = "$file" ] ||
  fail "remembered file: $(ini_value Main Filename), not $file"
echo "ok: the file named at start is loaded, its channels shown and its name remembered"

# Named relative to the folder the program starts in: remembered with its full path.
run "Müller.KFG"
[ "$(ini_value Main Filename)" = "$file" ] ||
  fail "remembered file when named relative: $(ini_value Main Filename)"
echo "ok: a file named relative to the start folder is remembered with its full path"

# A file that cannot be read: Load's box, then the window goes on as started without it.
run "$folder/Fehlt.KFG" box
quantities=""
for n in 1 2 3 4 5 6 7 8; do quantities+="$(ini_value ComboBox "$n") "; done
[ "$quantities" = "1 1 1 1 1 1 1 1 " ] || fail "quantities after a missing file: $quantities"
[ "$(ini_value Main Filename)" = 'C:\' ] ||
  fail "remembered file after a missing file: $(ini_value Main Filename)"
echo "ok: a missing file is reported in a box and the program goes on without it"
