# shellcheck shell=bash
# Sourced by tools/wine_window_check.sh, whose variables, work folder and helpers (check, fail,
# wait_for, the Wine environment) it uses: the portable zip and the NSIS setup program, and a
# .KFG opened through the association the setup program makes.

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
older_window=$(main_window) ||
  fail "the installed ${older_version} did not come up"
wine "${setup}" >/dev/null 2>&1 &
setup_pid=$!
pids+=("${setup_pid}")
answer_box "${setup_pid}" 'Quorvex Setup'
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
  window=$(main_window) ||
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

