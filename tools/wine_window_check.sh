#!/usr/bin/env bash
# The window built for 64-bit Windows (MinGW-w64 against the static Qt of
# tools/build_qt_mingw.sh) and tried under Wine on Xvfb. This driver builds it, starts Xvfb and a
# Wine prefix, and runs one file per job from tools/wine/, in this order:
#   1. (resources.sh) quorvex.exe's resources: GUI subsystem, icon, version, manifest; both programs' ASLR, high-
#      entropy ASLR and DEP, and the timer resolution calls in their import tables;
#   2. (window.sh) the window's suites (ui_tests, aux_windows_tests) on the offscreen platform;
#   3. quorvex.exe's screenshot (QUORVEX_SCREENSHOT) of the real window;
#   4. driven by the keyboard against the native card simulator mapped as COM n: a save as
#      Müller.KFG, a read (the saved file holds the card's bytes), the load of Müller.KFG and
#      a write (the card ends with its bytes), the settings file written at exit; the same
#      keys drive the Linux program against the same simulator, for the times (Wine ÷ Linux),
#      and a second Wine session runs with Wine's visual theme off (see there);
#   5. (installers.sh) the portable zip: unpacked, the program keeps its settings beside itself; the installer: a
#      silent install over an older version keeps the user's settings and leaves one uninstall
#      entry, but neither it nor the uninstaller changes anything while the program runs; the
#      installed program keeps its settings under %APPDATA%; a .KFG in a folder with non-ASCII
#      letters opens in the window through its association; a silent uninstall removes the
#      files, the uninstall entry and the association;
#   6. (msi.sh) the Windows Installer packages, each in a fresh prefix of its own: the per-machine
#      one installed silently, its program, settings and association; a newer version over it,
#      the older over the newer refused with its message; a silent uninstall that leaves nothing;
#      the per-user one installed, its association, uninstalled.
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
for tool in wine wineserver Xvfb xdotool makensis wrestool wixl msidump msibuild; do
  command -v "${tool}" >/dev/null 2>&1 || skip "no ${tool} (tools/ensure_deps.sh installs it)"
done
for program in quorvex sim/quorvex-cardsim; do
  [ -x "${native_dir}/${program}" ] || {
    echo "wine_window_check: ${native_dir}/${program} missing: build the native tree first" >&2
    exit 1
  }
done

source "${source_dir}/tools/wine_common.sh"
source "${source_dir}/tools/compiler_cache.sh"

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

source "${source_dir}/tools/wine/resources.sh"

# --- a display of their own for Wine and the Linux program, and a fresh Wine prefix -----------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"${work}/display" 2>"${work}/xvfb.log" &
pids+=($!)
wait_for 20 test -s "${work}/display" || fail "Xvfb did not start: $(cat "${work}/xvfb.log")"
export DISPLAY=":$(head -n1 "${work}/display")"
started=$(now_ms)
fresh_wine_prefix
echo "wine_window_check: fresh Wine prefix $(seconds_since "${started}") s"

source "${source_dir}/tools/wine/window.sh"
source "${source_dir}/tools/wine/installers.sh"
source "${source_dir}/tools/wine/msi.sh"

ratio() { awk -v wine="$1" -v linux="$2" 'BEGIN { printf "%.3f", wine / linux }'; }
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
