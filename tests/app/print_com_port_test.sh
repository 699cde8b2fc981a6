#!/usr/bin/env bash
# quorvex --print-com-port without a display, against settings files written by hand: the number
# it prints, what it says about a port it cannot use, and that a missing file stays missing.
#   print_com_port_test.sh QUORVEX_EXECUTABLE
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home"
cp "$1" "$work/quorvex"
failed=0

# expect SETTINGS PRINTED [STDERR]: SETTINGS as printf %b writes it, "-" for no file.
expect() {
  local settings=$1 printed=$2 said=${3:-} out
  rm -f "$work/quorvex.ini"
  if [ "$settings" != - ]; then printf '%b' "$settings" >"$work/quorvex.ini"; fi
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CONFIG_HOME HOME="$work/home" \
    QT_QPA_PLATFORM=xcb "$work/quorvex" --print-com-port 2>"$work/err") || {
    echo "settings '$settings': exit status $?: $(cat "$work/err")" >&2
    failed=1
    return
  }
  if [ "$out" != "$printed" ] || [ "$(cat "$work/err")" != "$said" ]; then
    echo "settings '$settings': printed '$out' and said '$(cat "$work/err")'," \
      "expected '$printed' and '$said'" >&2
    failed=1
  fi
}

invalid="$work/quorvex.ini names no port from COM1 to COM255"
expect - 1
if [ -e "$work/quorvex.ini" ] || [ -n "$(ls -A "$work/home")" ]; then
  echo "reading the settings made a file or folder" >&2
  failed=1
fi
expect '[Main]\nCOM=7\n' 7
expect '[MAIN]\r\n com = 0x1F \r\n' 31
expect '[Main]\nCOM=255\n' 255
expect '[Main]\nCOM=256\n' 1 "$invalid"
expect '[Main]\nCOM=0\n' 1 "$invalid"
expect '[Main]\nCOM=COM3\n' 1 "$invalid"
expect '[Main]\nWidth=3\n[Other]\nCOM=5\n' 1 "$invalid"
expect '[Main]\nCOM=4\n[Main]\nCOM=9\n' 4
exit "$failed"
