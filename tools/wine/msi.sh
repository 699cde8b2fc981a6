# shellcheck shell=bash
# Sourced by tools/wine_window_check.sh, whose variables, work folder and helpers (check, fail,
# wait_for, the Wine environment) it uses, after installers.sh, whose unpacked portable zip, .KFG
# and channels it compares with: the two Windows Installer packages (tools/make_msi.sh), each in a
# fresh prefix of its own, used as an IT department and a user without rights use them.
# What Wine cannot show: it puts even a per-machine shortcut into the user's Start menu, ignores
# MSIINSTALLPERUSER, and has no privilege model (its user is an administrator); and Debian has no
# ICE validation of the packages.

# --- 6. the Windows Installer packages ---------------------------------------------------------
started=$(now_ms)
# The next version: the same build packed under a higher number.
next_version="${version}.1"
"${source_dir}/tools/make_msi.sh" "${win_dir}" "${work}/msi" >/dev/null || fail "tools/make_msi.sh"
"${source_dir}/tools/make_msi.sh" "${win_dir}" "${work}/msi-next" "${next_version}" >/dev/null ||
  fail "tools/make_msi.sh of version ${next_version}"
machine_msi="${work}/msi/quorvex-${version}-win64.msi"
user_msi="${work}/msi/quorvex-${version}-win64-user.msi"
next_msi="${work}/msi-next/quorvex-${next_version}-win64.msi"
echo "wine_window_check: $(basename "${machine_msi}") ($(du -k "${machine_msi}" | cut -f1) KiB)," \
  "$(basename "${user_msi}") ($(du -k "${user_msi}" | cut -f1) KiB)," \
  "$(basename "${next_msi}"): $(seconds_since "${started}") s"
# Windows Installer shows three numbers.
shown_version() { local v=$1; while [[ "${v}" != *.*.* ]]; do v+=.0; done; echo "${v}"; }

# msi_prefix NAME: a fresh prefix, the previous one's server ended first.
msi_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  wine_environment "${work}/$1-prefix"
  fresh_wine_prefix
  appdata="$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")"
  local_appdata="$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")"
}
# run_msiexec ARGS...: msiexec, printing its status. Windows Installer's 1603 reaches the shell as its low byte,
# 67.
run_msiexec() {
  local status=0
  timeout 300 wine msiexec "$@" >/dev/null 2>&1 || status=$?
  echo "${status}"
}
# quorvex_entries HKLM|HKCU: each uninstall entry named Quorvex there, as NAME=VALUE lines, a
# blank line after each.
quorvex_entries() {
  wine reg query "$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s 2>/dev/null |
    tr -d '\r' | sed -n 's/^HKEY.*//p; s/^ \{4\}\([A-Za-z]*\) \{4\}REG_[A-Z_]* \{4\}\(.*\)$/\1=\2/p' |
    awk -v RS= '/(^|\n)DisplayName=Quorvex(\n|$)/ { print $0 "\n" }'
}
# entry_is HKLM|HKCU VERSION FOLDER: one entry there, of VERSION, installed in FOLDER (Windows'
# name), with the publisher; the icon is the product's (Windows Installer keeps it itself).
entry_is() {
  local entries
  entries=$(quorvex_entries "$1")
  [ "$(grep -c '^DisplayName=' <<<"${entries}")" -eq 1 ] &&
    grep -qxF "DisplayVersion=$2" <<<"${entries}" &&
    grep -qxF "InstallLocation=$3\\" <<<"${entries}" &&
    grep -qxF 'Publisher=The Quorvex developers' <<<"${entries}"
}
# product_icon INSTALLER_KEY: the icon Windows Installer keeps for the product registered there.
product_icon() {
  wine reg query "$1\\Products" /s 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *ProductIcon *REG_SZ *//p' | head -n1
}
installed_as() {  # installed_as FOLDER: the three files, the ones of the portable zip
  for file in quorvex.exe quorvex-cli.exe README.md; do
    cmp -s "$1/${file}" "${unpacked}/${file}" || return 1
  done
}
kfg_command() { wine reg query "$1\\Software\\Classes\\Quorvex.Configuration\\shell\\open\\command" 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'; }
shortcut() { find "${WINEPREFIX}/drive_c" -path '*Start Menu*' -name 'Quorvex.lnk' | grep -q .; }
not_in() { ! wine reg query "$1" >/dev/null 2>&1; }
# uninstalled HKLM|HKCU CLASSES: nothing of ours left in the folder, the entries of the hive, the
# Start menu or the classes (HKCR or the user's own).
uninstalled() {
  [ ! -e "${folder}" ] && [ -z "$(quorvex_entries "$1")" ] && ! shortcut &&
    not_in "$2\\.KFG" && not_in "$2\\Quorvex.Configuration"
}
# A product of the user's own, registered in the user's hive and none of the machine's. Its
# uninstall entry is the exception: Wine writes every product's under HKLM, where Windows puts a
# per-user product's under HKCU.
user_entry() {
  entry_is HKLM "$(shown_version "${version}")" "$(winepath -w "${folder}")" &&
    [ -n "$(product_icon HKCU\\Software\\Microsoft\\Installer)" ] &&
    [ -z "$(product_icon HKLM\\Software\\Classes\\Installer)" ]
}
# started_from FOLDER LABEL: the program there comes up and keeps its settings in %APPDATA%.
started_from() {
  rm -rf "${appdata}/Quorvex"
  QUORVEX_SCREENSHOT="$(winepath -w "${work}/$2.png")" timeout 120 wine "$1/quorvex.exe" \
    >"${work}/$2.log" 2>&1 || true
  check "$2: the installed program started" test -s "${work}/$2.png"
  check "$2: its settings in %APPDATA%\\Quorvex, none beside it" \
    test -s "${appdata}/Quorvex/quorvex.ini" -a ! -e "$1/quorvex.ini"
}

# silent_install MSI WHERE: MSI installed without a question; its files, the portable zip's, in
# ${folder} (Windows' WHERE).
silent_install() {
  status=$(run_msiexec /i "$1" /qn)
  check "silent install (status ${status})" test "${status}" -eq 0
  check "the files of ${version} in $2" installed_as "${folder}"
}

echo "wine_window_check: the per-machine MSI, in a fresh prefix:"
msi_prefix msi-machine
folder="${WINEPREFIX}/drive_c/Program Files/Quorvex"
silent_install "${machine_msi}" 'Program Files\Quorvex'
check "one uninstall entry, of $(shown_version "${version}"), with publisher and folder" \
  entry_is HKLM "$(shown_version "${version}")" 'C:\Program Files\Quorvex'
icon=$(product_icon HKLM\\Software\\Classes\\Installer)
check "the entry's icon: ${icon}" test -n "${icon}" -a -s "$(winepath -u "${icon:-none}")"
check "a Start menu entry" shortcut
started_from "${folder}" machine
check ".KFG opens in the program: $(kfg_command HKLM)" \
  test "$(kfg_command HKLM)" = '"C:\Program Files\Quorvex\quorvex.exe" "%1"'
opened_and_quit wine "${appdata}/Quorvex/quorvex.ini"
channels_of "${appdata}/Quorvex/quorvex.ini" >"${work}/channels-msi"
check "a .KFG opened by the association: the channels Linux took" \
  cmp -s "${work}/channels-linux" "${work}/channels-msi"
cp "${appdata}/Quorvex/quorvex.ini" "${work}/settings-msi.ini"

status=$(run_msiexec /i "${next_msi}" /qn)
check "${next_version} over ${version}: installed (status ${status})" test "${status}" -eq 0
check "${next_version} over ${version}: one entry, of $(shown_version "${next_version}")" \
  entry_is HKLM "$(shown_version "${next_version}")" 'C:\Program Files\Quorvex'
check "${next_version} over ${version}: its files" installed_as "${folder}"
# With its user interface, as a double-click starts it: the refusal is a box of its own text.
WINEDEBUG=-all,+msgbox wine msiexec /i "${machine_msi}" >/dev/null 2>"${work}/refusal.log" &
refusal_pid=$!
pids+=("${refusal_pid}")
answer_box "${refusal_pid}" 'Install Failed'
check "${version} over ${next_version}: refused (status ${status})" test "${status}" -eq 67
check "${version} over ${next_version}: the box says why" \
  grep -qF "A newer version of Quorvex is already installed. Uninstall it first to install version $(shown_version "${version}")." "${work}/refusal.log"
check "${version} over ${next_version}: ${next_version} stays" \
  entry_is HKLM "$(shown_version "${next_version}")" 'C:\Program Files\Quorvex'

status=$(run_msiexec /x "${next_msi}" /qn)
check "silent uninstall (status ${status})" test "${status}" -eq 0
check "uninstalled: no folder, entry, shortcut or association left" uninstalled HKLM HKCR
check "the user's settings untouched throughout" \
  cmp -s "${appdata}/Quorvex/quorvex.ini" "${work}/settings-msi.ini"

echo "wine_window_check: the per-user MSI, in a fresh prefix:"
msi_prefix msi-user
folder="${local_appdata}/Programs/Quorvex"
silent_install "${user_msi}" '%LOCALAPPDATA%\Programs\Quorvex'
check "registered for the user alone, one uninstall entry (under HKLM: Wine's)" user_entry
user_command="\"$(winepath -w "${folder}")\\quorvex.exe\" \"%1\""
check ".KFG opens in the user's program: $(kfg_command HKCU)" test "$(kfg_command HKCU)" = "${user_command}"
check ".KFG: nothing for the machine" not_in 'HKLM\Software\Classes\.KFG'
started_from "${folder}" user
status=$(run_msiexec /x "${user_msi}" /qn)
check "silent uninstall (status ${status})" test "${status}" -eq 0
check "uninstalled: no folder, entry, shortcut or association left" uninstalled HKLM 'HKCU\Software\Classes'
# A portable copy unpacked there before (as the README once advised), with its settings beside
# it, goes on using them.
mkdir -p "${folder}"
cp "${unpacked}/quorvex.exe" "${folder}/"
cp "${work}/settings.ini" "${folder}/quorvex.ini"
touch "${work}/before-portable"
rm -rf "${appdata}/Quorvex"
QUORVEX_SCREENSHOT="$(winepath -w "${work}/user-portable.png")" timeout 120 \
  wine "${folder}/quorvex.exe" >"${work}/user-portable.log" 2>&1 || true
check "a portable copy there keeps its settings beside it" \
  test "${folder}/quorvex.ini" -nt "${work}/before-portable" -a ! -e "${appdata}/Quorvex"
