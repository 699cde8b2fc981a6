#!/usr/bin/env bash
# Starts a copy of the program in a folder of its own until its window is painted, then checks
# where the settings went.   portable_settings_test.sh QUORVEX_EXECUTABLE
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/portable" "$work/home"
cp "$1" "$work/portable/quorvex"

env -u XDG_CONFIG_HOME HOME="$work/home" QT_QPA_PLATFORM=offscreen \
  QUORVEX_SCREENSHOT="$work/shot.png" QUORVEX_COM_DIR="$work/ports" \
  timeout 60 "$work/portable/quorvex"

[ -s "$work/shot.png" ] || { echo "the window was never painted" >&2; exit 1; }
grep -qi '^\[Main\]' "$work/portable/quorvex.ini" ||
  { echo "no settings beside the program: $(ls -A "$work/portable")" >&2; exit 1; }
if [ -e "$work/home/.config" ]; then
  echo "written into HOME: $(find "$work/home" -mindepth 1)" >&2
  exit 1
fi
echo "settings beside the program, nothing in HOME"
