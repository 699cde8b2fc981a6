#!/usr/bin/env bash
# The window built for 64-bit Windows (MinGW-w64 against the static Qt of
# tools/build_qt_mingw.sh) and tried under Wine on Xvfb:
#   1. quorvex.exe's resources: GUI subsystem, icon, version, manifest; both programs' ASLR, high-
#      entropy ASLR and DEP, and the timer resolution calls in their import tables;
#   2. the window's suites (ui_tests, aux_windows_tests) on the offscreen platform;
#   3. quorvex.exe's screenshot (QUORVEX_SCREENSHOT) of the real window;
#   4. driven by the keyboard against the native card simulator mapped as COM n: a save as
#      Müller.KFG, a read (the saved file holds the card's bytes), the load of Müller.KFG and
#      a write (the card ends with its bytes), the settings file written at exit; the same
#      keys drive the Linux program against the same simulator, for the times (Wine ÷ Linux),
#      and a second Wine session runs with Wine's visual theme off (see there);
#   5. the portable zip: unpacked, the program keeps its settings beside itself; the installer: a
#      silent install over an older version keeps the user's settings and leaves one uninstall
#      entry, but neither it nor the uninstaller changes anything while the program runs; the
#      installed program keeps its settings under %APPDATA%; a .KFG in a folder with non-ASCII
#      letters opens in the window through its association; a silent uninstall removes the
#      files, the uninstall entry and the association.
#
# The Wine prefix's windows are unmanaged (tools/wine_common.sh): Xvfb has no window manager.
#
#   tools/wine_window_check.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
#
# NATIVE_BUILD_DIR (default build/) must hold quorvex and sim/quorvex-cardsim; the Windows tree
# defaults to build-win64-qt/. Exit 0: all passed; 77: skipped (the reason is printed; above all
# when the Qt cache is not built); anything else: failed, with the work folder kept.
#
# Wine does not hand the host's QT_* variables to Windows programs (so that a desktop's Qt settings
# stay out of them); WINEQT_<name> reaches the program as QT_<name>. Under Wine, Qt's default
# Windows font engine measures text narrower than Wine draws it (captions lose their last letters);
# the check, and only the check, selects the FreeType engine that way.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native_dir="$(realpath "${1:-${source_dir}/build}")"
win_dir="$(realpath -m "${2:-${source_dir}/build-win64-qt}")"

skip() {
  echo "wine_window_check: skipped: $*"
  exit 77
}
qt_prefix=$("${source_dir}/tools/build_qt_mingw.sh" --prefix) ||
  skip "no Qt for MinGW in the cache; tools/build_qt_mingw.sh builds it (30 to 50 minutes)"
for tool in wine wineserver Xvfb xdotool makensis wrestool; do
  command -v "${tool}" >/dev/null 2>&1 || skip "no ${tool} (tools/ensure_deps.sh installs it)"
done
for program in quorvex sim/quorvex-cardsim; do
  [ -x "${native_dir}/${program}" ] || {
    echo "wine_window_check: ${native_dir}/${program} missing: build the native tree first" >&2
    exit 1
  }
done

source "${source_dir}/tools/wine_common.sh"

# --- build ------------------------------------------------------------------------------------
started=$(now_ms)
cmake -S "${source_dir}" -B "${win_dir}" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="${qt_prefix}/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# The Qt-free suites are tools/wine_run.sh's; cpack below installs just the two programs.
cmake --build "${win_dir}" -j "$(nproc)" --target quorvex quorvex-cli ui_tests aux_windows_tests
exe="${win_dir}/quorvex.exe"
echo "wine_window_check: MinGW build of the window $(seconds_since "${started}") s"

work="$(mktemp -d)"
wine_environment "${win_dir}/wine-prefix"
pids=()
failed=0
cleanup() {
  # Wine's programs first, while their display is still there.
  wineserver -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do kill "${pid}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "${pid}" 2>/dev/null || true; done
  if [ "${failed}" -eq 0 ]; then rm -rf "${work}"; else echo "wine_window_check: kept ${work}" >&2; fi
}
trap cleanup EXIT
x86_64-w64-mingw32-strip -o "${work}/stripped.exe" "${exe}"
echo "wine_window_check: quorvex.exe $(du -k "${exe}" | cut -f1) KiB," \
  "$(du -k "${work}/stripped.exe" | cut -f1) KiB stripped (as installed)"

check() {
  local what=$1
  shift
  if "$@"; then
    echo "  ok: ${what}"
  else
    echo "  FAILED: ${what}" >&2
    failed=1
  fi
}
fail() {
  echo "  FAILED: $*" >&2
  if [ -n "${DISPLAY:-}" ]; then
    xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | sed 's/^/    shown: /' >&2 || true
  fi
  failed=1
  exit 1
}
source "${source_dir}/tools/wait_for.sh"

# --- 1. what Windows reads of quorvex.exe before it runs ----------------------------------------
echo "wine_window_check: quorvex.exe's resources:"
check "GUI subsystem (no console beside the window)" \
  bash -c "x86_64-w64-mingw32-objdump -p '${exe}' | grep -q 'Subsystem.*Windows GUI'"
wrestool -l "${exe}" >"${work}/resources"
check "an icon" grep -q -- '--type=14' "${work}/resources"
check "a version resource" grep -q -- '--type=16' "${work}/resources"
wrestool -x -R --type=24 "${exe}" >"${work}/manifest" 2>/dev/null || true
for setting in 'PerMonitorV2' 'Microsoft.Windows.Common-Controls' '>UTF-8<'; do
  check "manifest: ${setting}" grep -qF -- "${setting}" "${work}/manifest"
done
# has_flags HEX MASK: all of MASK's bits are set in HEX.
has_flags() { (((16#$1 & $2) == $2)); }
# The functions PROGRAM imports, as "DLL function" lines (the DLL's name in capitals).
imported_functions() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^(The |PE File)/ { inside = 0 }
    inside && /DLL Name:/ { dll = toupper($3) }
    inside && dll != "" && NF == 3 && $2 ~ /^[0-9]+$/ { print dll, $3 }'
}
for program in "${exe}" "${win_dir}/cli/quorvex-cli.exe"; do
  name=$(basename "${program}")
  flags=$(x86_64-w64-mingw32-objdump -p "${program}" | awk '/^DllCharacteristics/ { print $2 }')
  # DYNAMIC_BASE 0x40, HIGH_ENTROPY_VA 0x20, NX_COMPAT 0x100.
  check "${name}: ASLR, high-entropy ASLR and DEP (DllCharacteristics 0x${flags:-none})" \
    has_flags "${flags:-0}" 0x160
  imported_functions "${program}" >"${work}/imports-${name}"
  # The finer timer for the time of a transfer, and its return.
  for function in timeBeginPeriod timeEndPeriod; do
    check "${name}: imports ${function}" grep -qx "WINMM.DLL ${function}" "${work}/imports-${name}"
  done
done

# --- 2. the window's suites, on a display of their own for Wine -----------------------------------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"${work}/display" 2>"${work}/xvfb.log" &
pids+=($!)
wait_for 20 test -s "${work}/display" || fail "Xvfb did not start: $(cat "${work}/xvfb.log")"
export DISPLAY=":$(head -n1 "${work}/display")"
started=$(now_ms)
fresh_wine_prefix
echo "wine_window_check: fresh Wine prefix $(seconds_since "${started}") s"
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
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Analog card') ||
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
ratio() { awk -v wine="$1" -v linux="$2" 'BEGIN { printf "%.3f", wine / linux }'; }

# --- 5. the portable zip and the installer --------------------------------------------------------
started=$(now_ms)
# The command the release runs (cmake/QuorvexCPackWindows.cmake).
(cd "${win_dir}" && cpack -G "NSIS;ZIP") >"${work}/cpack.log" || fail "cpack: $(cat "${work}/cpack.log")"
made() { sed -n "s/^CPack: - package: \\(.*$1\\) generated\\.\$/\\1/p" "${work}/cpack.log"; }
setup=$(made -win64-setup.exe)
portable=$(made -win64-portable.zip)
if [ ! -f "${setup}" ] || [ ! -f "${portable}" ]; then
  fail "cpack made no installer and zip: $(cat "${work}/cpack.log")"
fi
version=$(basename "${setup}" -win64-setup.exe)
version=${version#quorvex-}
# The older version: the same build packed under another number, which is all an installer tells
# versions apart by (cpack only packs again).
older_version=0.1
(cd "${win_dir}" && cpack -G NSIS -D CPACK_PACKAGE_VERSION="${older_version}" -B "${work}/older") \
  >"${work}/cpack-older.log" || fail "cpack of the older version: $(cat "${work}/cpack-older.log")"
older_setup="${work}/older/quorvex-${older_version}-win64-setup.exe"
echo "wine_window_check: $(basename "${setup}") ($(du -k "${setup}" | cut -f1) KiB)," \
  "$(basename "${portable}") ($(du -k "${portable}" | cut -f1) KiB)," \
  "$(basename "${older_setup}"): $(seconds_since "${started}") s"
appdata="$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")"

echo "wine_window_check: the portable zip:"
mkdir -p "${work}/portable"
(cd "${work}/portable" && cmake -E tar xf "${portable}")
unpacked="${work}/portable/$(basename "${portable}" .zip)"
for file in quorvex.exe quorvex-cli.exe README.md; do
  check "unpacked: ${file}" test -f "${unpacked}/${file}"
done
check "quorvex-cli.exe --version: ${version}" \
  bash -c "wine '${unpacked}/quorvex-cli.exe' --version | grep -qF -- '${version}'"
rm -rf "${appdata}/Quorvex"
QUORVEX_SCREENSHOT="$(winepath -w "${work}/portable.png")" timeout 120 wine "${unpacked}/quorvex.exe" >"${work}/portable.log" 2>&1 || true
check "the unpacked program started" test -s "${work}/portable.png"
check "its settings beside it: quorvex.ini" test -s "${unpacked}/quorvex.ini"
check "none in %APPDATA%" test ! -e "${appdata}/Quorvex"

echo "wine_window_check: the installer, over version ${older_version}:"
installed="${WINEPREFIX}/drive_c/Program Files/Quorvex"
uninstall_keys='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
uninstall_key="${uninstall_keys}\\Quorvex"
registered() { wine reg query "${uninstall_key}" >/dev/null 2>&1; }
registered_version() {
  wine reg query "${uninstall_key}" /v DisplayVersion 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *DisplayVersion *REG_SZ *//p'
}
uninstall_entries() {
  wine reg query "${uninstall_keys}" /s 2>/dev/null | tr -d '\r' | grep -c '^ *DisplayName *REG_SZ *Quorvex$'
}
kfg_type() { wine reg query 'HKCR\.KFG' 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'; }
timeout 300 wine "${older_setup}" /S || fail "the silent install of ${older_version} ended with status $?"
check "${older_version} installed and registered" test "$(registered_version)" = "${older_version}"
# The same bytes in both versions would not show which ones end in the folder.
printf 'the older version\r\n' >"${installed}/quorvex-cli.exe"
write_settings "${work}/settings.ini" "$(winepath -w "${work}/elsewhere.KFG")"
mkdir -p "${appdata}/Quorvex"
cp "${work}/settings.ini" "${appdata}/Quorvex/quorvex.ini"
find "${installed}" -type f -exec sha256sum {} + | sort >"${work}/older-files"

# While the older version runs, neither the installer nor the uninstaller changes anything.
wine "${installed}/quorvex.exe" >"${work}/older.log" 2>&1 &
older_pid=$!
pids+=("${older_pid}")
older_window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Analog card') ||
  fail "the installed ${older_version} did not come up"
wine "${setup}" >/dev/null 2>&1 &
setup_pid=$!
pids+=("${setup_pid}")
wait_for 60 shown '^Quorvex Setup$' || fail "the installer said nothing while the program ran"
xdotool windowfocus --sync "$(visible '^Quorvex Setup$')" key Return
wait_for 30 ended "${setup_pid}" || fail "the installer did not end after its box"
status=0
wait "${setup_pid}" || status=$?
check "while it runs: the installer says so in a box and ends with status 2 (${status})" test "${status}" -eq 2
status=0
timeout 120 wine "${setup}" /S || status=$?
check "while it runs: the silent install ends with status 2 (${status})" test "${status}" -eq 2
# The uninstaller run in place (_?=, whose folder must not be quoted), so that its status is its
# own; Wine quotes an argument with blanks, so the folder goes in as words.
read -ra in_place <<<"_?=$(winepath -w "${installed}")"
status=0
timeout 120 wine "${installed}/Uninstall.exe" /S "${in_place[@]}" || status=$?
check "while it runs: the silent uninstall ends with status 2 (${status})" test "${status}" -eq 2
find "${installed}" -type f -exec sha256sum {} + | sort >"${work}/files-after-refusal"
check "while it runs: the folder unchanged" cmp -s "${work}/older-files" "${work}/files-after-refusal"
check "while it runs: ${older_version} still registered, .KFG still ours" \
  test "$(registered_version)/$(kfg_type)" = "${older_version}/Quorvex.Configuration"
# Ended by its id rather than quit: after the other program's box its window did not always take
# the keys under Wine without a window manager, and the install below needs it gone, not its quit.
kill "${older_pid}"
wait_for 60 ended "${older_pid}" || fail "the installed ${older_version} did not end"
cp "${appdata}/Quorvex/quorvex.ini" "${work}/settings-before-update.ini"

timeout 300 wine "${setup}" /S || fail "the silent install over ${older_version} ended with status $?"
for file in quorvex.exe quorvex-cli.exe README.md; do
  check "installed: ${file}, the one of ${version}" cmp -s "${installed}/${file}" "${unpacked}/${file}"
done
check "installed: Uninstall.exe" test -f "${installed}/Uninstall.exe"
check "one uninstall entry ($(uninstall_entries)), of ${version}" \
  test "$(uninstall_entries)/$(registered_version)" = "1/${version}"
check "the user's settings kept" cmp -s "${appdata}/Quorvex/quorvex.ini" "${work}/settings-before-update.ini"
check "a Start-menu entry" bash -c "find '${WINEPREFIX}/drive_c' -path '*Start Menu*' -name 'Quorvex.lnk' | grep -q ."
rm -rf "${appdata}/Quorvex"
QUORVEX_SCREENSHOT="$(winepath -w "${work}/installed.png")" timeout 120 wine "${installed}/quorvex.exe" >"${work}/installed.log" 2>&1 || true
check "the installed program started" test -s "${work}/installed.png"
check "its settings in %APPDATA%\\Quorvex\\quorvex.ini" test -s "${appdata}/Quorvex/quorvex.ini"
check "none beside it in Program Files" test ! -e "${installed}/quorvex.ini"

# A .KFG opened as Explorer and `start` open it: the settings the program leaves at its quit hold
# the file as the one used last and its channels, which the Linux program, loading the same bytes
# by Load configuration... (the command a file named at start stands for), leaves alike.
echo "wine_window_check: a .KFG opened through its association:"
check ".KFG is a \"Quorvex configuration\" with the program's icon" bash -c "
  [ \"\$(wine reg query 'HKCR\\Quorvex.Configuration' | tr -d '\\r' | sed -n 's/^ *(Default) *REG_SZ *//p')\" = 'Quorvex configuration' ] &&
  wine reg query 'HKCR\\Quorvex.Configuration\\DefaultIcon' | grep -qF 'quorvex.exe,0'"
mkdir -p "${work}/Prüfung"
kfg="${work}/Prüfung/Anlage 2.KFG"
cp "${known}" "${kfg}"
# xdotool types no "ü" reliably (see drive): the Linux program's copy has an ASCII name.
cp "${known}" "${work}/reference.KFG"
channels_of() {
  tr -d '\r' <"$1" | awk '/^\[/ { keep = ($0 ~ /^\[(ComboBox|EinheitBox|Offset|Bereich|Mess)\]$/) } keep'
}
# The program `start` opened is no child of ours; Wine shows its command line, with the file.
# ("[P]" keeps grep's own command line from matching.)
opened_by_start_ended() { ! grep -qsa -- "$(basename "${work}").[P]r.*fung" /proc/[0-9]*/cmdline; }
# opened_and_quit linux|wine SETTINGS: the program's window come up with ${kfg} (Linux: loading
# its copy), then quit; the settings file is read once the program has ended (it may write it
# before, too).
opened_and_quit() {
  local window pid=""
  cp "${work}/settings.ini" "$2"
  touch "${work}/before-open"
  if [ "$1" = wine ]; then
    wine start /unix "${kfg}" || fail "start did not open ${kfg}"
  else
    QUORVEX_COM_DIR="${work}/ports" QT_QPA_PLATFORM=xcb "${work}/linux-bin/quorvex" \
      >"${work}/opened-linux.log" 2>&1 &
    pid=$!
    pids+=("${pid}")
  fi
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Analog card') ||
    fail "no window came up with the .KFG ($1)"
  if [ -n "${pid}" ]; then
    menu "${window}" f l
    file_dialog "Load configuration" "${work}/reference.KFG"
  fi
  menu "${window}" f q
  if [ -n "${pid}" ]; then
    wait_for 60 ended "${pid}" || fail "the program did not end ($1)"
  else
    wait_for 60 opened_by_start_ended || fail "the program opened by the association did not end"
  fi
  [ "$2" -nt "${work}/before-open" ] || fail "no settings written ($1)"
}
opened_and_quit linux "${work}/linux-bin/quorvex.ini"
opened_and_quit wine "${appdata}/Quorvex/quorvex.ini"
channels_of "${work}/settings.ini" >"${work}/channels-before"
channels_of "${work}/linux-bin/quorvex.ini" >"${work}/channels-linux"
channels_of "${appdata}/Quorvex/quorvex.ini" >"${work}/channels-wine"
check "Linux, the file loaded: its channels taken" \
  bash -c "! cmp -s '${work}/channels-before' '${work}/channels-linux'"
check "Wine, by the association: the channels Linux took" \
  cmp -s "${work}/channels-linux" "${work}/channels-wine"
check "Wine, by the association: the file used last, $(winepath -w "${kfg}")" \
  bash -c "tr -d '\\r' <'${appdata}/Quorvex/quorvex.ini' | grep -qxF 'Filename=$(winepath -w "${kfg}")'"

timeout 120 wine "${installed}/Uninstall.exe" /S || fail "the silent uninstall ended with status $?"
# The uninstaller runs on from a copy of itself in the temporary folder.
uninstalled() { [ ! -e "${installed}/quorvex.exe" ] && ! registered; }
wait_for 120 uninstalled || true
check "uninstalled: the program's files" test ! -e "${installed}/quorvex.exe" -a ! -e "${installed}/quorvex-cli.exe"
check "uninstalled: the uninstall entry" bash -c "! wine reg query '${uninstall_key}' >/dev/null 2>&1"
check "uninstalled: no .KFG association, no Quorvex.Configuration" bash -c "
  ! wine reg query 'HKCR\\.KFG' >/dev/null 2>&1 &&
  ! wine reg query 'HKCR\\Quorvex.Configuration' >/dev/null 2>&1"

echo "wine_window_check: through the window: Linux read ${linux_read} s, write ${linux_write} s;" \
  "Wine read ${wine_read} s, write ${wine_write} s;" \
  "Wine with its theme off read ${unthemed_read} s, write ${unthemed_write} s"
# Benchmark figures, not checks: the goal, at most 1.05 for each, is the first line's.
echo "wine_window_check: Wine ÷ Linux through the window, Wine's theme off:" \
  "read $(ratio "${unthemed_read}" "${linux_read}"), write $(ratio "${unthemed_write}" "${linux_write}")"
echo "wine_window_check: Wine ÷ Linux through the window, Wine's theme on:" \
  "read $(ratio "${wine_read}" "${linux_read}"), write $(ratio "${wine_write}" "${linux_write}")"
if [ "${failed}" -ne 0 ]; then
  echo "wine_window_check: FAILED" >&2
  exit 1
fi
echo "wine_window_check: all passed"
