# shellcheck shell=bash
# Sourced by tools/wine_window_check.sh, whose variables, work folder and helpers (check, fail,
# wait_for, the Wine environment) it uses: the window's suites, its screenshot, and the window
# driven by the keyboard on Linux and under Wine against the card simulator, with its times.

# --- 2. the window's suites, on the offscreen platform -----------------------------------------
started=$(now_ms)
# On Windows the offscreen platform reads its fonts from QT_QPA_FONTDIR (a static Qt has no fonts
# folder of its own): the DejaVu fonts the Linux suites use too.
(cd "${win_dir}" && WINEQT_QPA_PLATFORM=offscreen \
  WINEQT_QPA_FONTDIR="$(winepath -w /usr/share/fonts/truetype/dejavu)" \
  ctest --output-on-failure -R '^(ui_tests|aux_windows_tests)$') || failed=1
echo "wine_window_check: the window's suites under Wine $(seconds_since "${started}") s"

# --- the card simulator as COM n ---------------------------------------------------------------
com=$(free_com_number)
mkdir -p "${work}/ports"
image="${work}/card.kfg"
known="${source_dir}/fuzz/corpus/kfg/known.kfg"
sim_pid=""
# A card holding known.kfg, whose frames go to a log of this start.
start_simulator() {
  cp "${known}" "${image}"
  "${native_dir}/sim/quorvex-cardsim" --port "${com}" --com-dir "${work}/ports" --image "${image}" \
    --log "${work}/frames-$1.log" >"${work}/cardsim-$1.out" 2>&1 &
  sim_pid=$!
  pids+=("${sim_pid}")
  wait_for 20 grep -q '^ready:' "${work}/cardsim-$1.out" || fail "the card simulator did not start"
}
# The image file is complete only once the simulator has ended.
stop_simulator() {
  kill "${sim_pid}" 2>/dev/null || true
  wait "${sim_pid}" 2>/dev/null || true
}

# --- 3. the screenshot ------------------------------------------------------------------------
export WINEQT_QPA_PLATFORM="windows:fontengine=freetype"
mkdir -p "${work}/wine-bin" "${work}/linux-bin"
cp "${exe}" "${work}/wine-bin/quorvex.exe"
cp "${native_dir}/quorvex" "${work}/linux-bin/quorvex"
screenshot="${win_dir}/screenshot-windows.png"
rm -f "${screenshot}"
started=$(now_ms)
QUORVEX_SCREENSHOT="$(winepath -w "${screenshot}")" timeout 120 wine "${work}/wine-bin/quorvex.exe" >"${work}/screenshot.log" 2>&1 || true
check "screenshot of the window under Wine ($(seconds_since "${started}") s): ${screenshot}" \
  bash -c "file '${screenshot}' | grep -q 'PNG image data'"
rm -f "${work}/wine-bin/quorvex.ini"

# --- 4. the window driven by the keyboard ---------------------------------------------------------
# write_settings FILE REMEMBERED: settings of a configuration other than known.kfg's, in English,
# on COM n, with REMEMBERED as the file used last.
write_settings() {
  {
    printf '[Main]\r\nCOM=%s\r\nSprache=2\r\nFilename=%s\r\n' "${com}" "$2"
    for section in ComboBox:0 EinheitBox:0 Offset:0.5 Bereich:10 Mess:25; do
      printf '[%s]\r\n' "${section%%:*}"
      for n in 1 2 3 4 5 6 7 8; do printf '%d=%s\r\n' "${n}" "${section#*:}"; done
    done
  } >"$1"
}
# A search that races with a window going away fails; under pipefail and set -e that would end the
# script without a word where these are assigned, so it counts as finding nothing.
visible() { { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; } | head -n1; }
shown() { [ -n "$(visible "$1")" ]; }
gone() { [ -z "$(visible "$1")" ]; }
ended() { ! kill -0 "$1" 2>/dev/null; }
# The main window once it is shown. xdotool's own --sync search died with BadWindow when a window
# went away while it looked (seen under Wine: a window of the program starting up), which ended the
# check as if the window had not come up; shown and visible count such a search as finding nothing.
main_window() { wait_for 60 shown '^Analog card' && visible '^Analog card'; }
# answer_box PID TITLE: the box TITLE that the program PID shows is answered with Return; status is
# the program's exit status once it has ended.
answer_box() {
  wait_for 60 shown "^$2\$" || fail "no \"$2\" box came up"
  xdotool windowfocus --sync "$(visible "^$2\$")" key Return
  wait_for 60 ended "$1" || fail "the program did not end after its \"$2\" box"
  status=0
  wait "$1" || status=$?
}

windows_shown() { { xdotool search --onlyvisible '' 2>/dev/null || true; } | wc -l; }
more_shown_than() { [ "$(windows_shown)" -gt "$1" ]; }
# menu WINDOW LETTER ITEM: opens the menu of Alt+LETTER and chooses ITEM by its access key once the
# menu is up (a key that comes before it goes to the window instead, on a busy machine).
menu() {
  local before
  before=$(windows_shown)
  xdotool windowfocus --sync "$1" key "alt+$2"
  wait_for 30 more_shown_than "${before}" || fail "the menu of Alt+$2 did not open"
  xdotool key "$3"
}
# file_dialog TITLE [PATH]: types PATH, if given, into the file dialog TITLE and accepts it.
file_dialog() {
  local dialog
  wait_for 30 shown "^$1\$" || fail "no \"$1\" dialog came up"
  dialog=$(visible "^$1\$")
  if [ $# -gt 1 ]; then xdotool windowfocus --sync "${dialog}" key ctrl+a type --delay 30 "$2"; fi
  xdotool windowfocus --sync "${dialog}" key Return
  wait_for 30 gone "^$1\$" || fail "the \"$1\" dialog stayed"
}
# transfer WINDOW KEY: starts a transfer from the Transfer menu, confirms the connect prompt and
# the release prompt; transfer_seconds is the time from the one to the other: from the Return
# (the prompt already has the focus, as it has for the operator) until the release prompt is
# seen, looked for every 10 ms, not 50, so that the search's step stays out of the figure.
transfer() {
  local box started
  menu "$1" t "$2"
  wait_for 30 shown '^Transmission$' || fail "no connect prompt"
  box=$(visible '^Transmission$')
  xdotool windowfocus --sync "${box}"
  started=$(now_ms)
  xdotool key Return
  wait_for 30 gone '^Transmission$' || fail "the connect prompt stayed"
  poll=0.01 wait_for 60 shown '^Transmission$' || fail "no release prompt"
  transfer_seconds=$(seconds_since "${started}")
  box=$(visible '^Transmission$')
  xdotool windowfocus --sync "${box}" key Return
  wait_for 30 gone '^Transmission$' || fail "the release prompt stayed"
}

# path_for linux|wine FILE: FILE as that platform's program names it.
path_for() {
  if [ "$1" = wine ]; then winepath -w "$2"; else echo "$2"; fi
}

# drive linux|wine [LABEL]: the whole session through the window, files in ${work}/<platform>;
# LABEL (default the platform) names the run in what is printed.
# xdotool cannot type "ü" reliably (it remaps a spare key for the moment, and the program now and
# then takes the key before the new map: under Wine and on X11 alike the file became "Mller.KFG").
# So Müller.KFG is never typed: it is the file used last in the settings, and the dialogs offer it.
drive() {
  local platform=$1 label=${2:-$1} folder="${work}/$1" window pid
  local bin="${work}/${platform}-bin" mueller="${work}/$1/Müller.KFG"
  mkdir -p "${folder}"
  cp "${source_dir}/fuzz/corpus/kfg/mixed.kfg" "${mueller}"
  write_settings "${bin}/quorvex.ini" "$(path_for "${platform}" "${mueller}")"
  if [ "${platform}" = wine ]; then
    wine "${bin}/quorvex.exe" >"${folder}/quorvex.log" 2>&1 &
  else
    QUORVEX_COM_DIR="${work}/ports" QT_QPA_PLATFORM=xcb "${bin}/quorvex" >"${folder}/quorvex.log" 2>&1 &
  fi
  pid=$!
  pids+=("${pid}")
  window=$(main_window) ||
    fail "the main window did not come up (${label})"

  # The settings' configuration saved as Müller.KFG, which the save dialog offers, and loaded
  # from there, so that the load dialog offers it again below.
  menu "${window}" f s
  file_dialog "Store configuration"
  wait_for 10 bash -c "! cmp -s '${mueller}' '${source_dir}/fuzz/corpus/kfg/mixed.kfg'" ||
    fail "Müller.KFG not saved (${label})"
  menu "${window}" f l
  file_dialog "Load configuration"
  transfer "${window}" r
  read_seconds=${transfer_seconds}
  menu "${window}" f s
  file_dialog "Store configuration" "$(path_for "${platform}" "${folder}/read.KFG")"
  wait_for 10 test -s "${folder}/read.KFG" || fail "no read.KFG (${label})"
  # Without the file used last, the load dialog opens on the file it loaded before: Müller.KFG.
  mv "${folder}/read.KFG" "${folder}/card-read.KFG"
  menu "${window}" f l
  file_dialog "Load configuration"
  transfer "${window}" w
  write_seconds=${transfer_seconds}
  touch "${folder}/before-quit"
  menu "${window}" f q
  wait_for 60 ended "${pid}" || fail "the program did not end (${label})"
  wait "${pid}" || fail "the program ended with status $? (${label})"
  stop_simulator

  check "${label}: Müller.KFG saved, not the card's configuration" \
    bash -c "! cmp -s '${mueller}' '${known}'"
  check "${label}: read from the card, the file saved then holds its bytes" \
    cmp -s "${folder}/card-read.KFG" "${known}"
  check "${label}: Müller.KFG loaded and written, the card ends with its bytes" \
    cmp -s "${image}" "${mueller}"
  check "${label}: the settings file written at exit" test "${bin}/quorvex.ini" -nt "${folder}/before-quit"
  echo "  ${label}: read ${read_seconds} s, write ${write_seconds} s through the window"
}

echo "wine_window_check: the window against quorvex-cardsim, on Linux and under Wine:"
start_simulator linux
drive linux
linux_read=${read_seconds} linux_write=${write_seconds}
start_simulator wine
map_com_port "${com}" "$(readlink -f "${work}/ports/COM${com}")"
drive wine
wine_read=${read_seconds} wine_write=${write_seconds}
# A second Wine session, with Wine's visual theme off: a measurement of its own, not a retry (the
# first session's checks stand as they came out). Wine draws the theme's parts in software: a
# repaint of the whole window, which follows each closed prompt, took 25-45 ms with it and 2-4 ms
# without, and each channel's status texts 4-7 ms against about 1 ms. That is Wine's cost, as its
# 2 s wait for a window manager was, so the goal is measured without it. The program draws with
# its usual style; it only finds no theme active, as on a Windows with the classic look.
wine_theme() {
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
  if [ "$1" = off ]; then
    wine reg add "${key}" /v ThemeActive /t REG_SZ /d 0 /f >/dev/null
  else
    wine reg delete "${key}" /v ThemeActive /f >/dev/null
  fi
}
wine_theme off
start_simulator wine
map_com_port "${com}" "$(readlink -f "${work}/ports/COM${com}")"
drive wine "wine, theme off"
unthemed_read=${read_seconds} unthemed_write=${write_seconds}
wine_theme on
