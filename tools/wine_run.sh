#!/usr/bin/env bash
# Builds everything below the window for 64-bit Windows with MinGW-w64 and runs it under Wine:
# the test suites through ctest, the number conversions compared with the Linux build, and whole
# transfers through the Win32 serial backend against the Linux card simulator, which Wine sees as
# a COM port.
#
#   tools/wine_run.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
#
# NATIVE_BUILD_DIR (default build/) must hold quorvex-cardsim, parse_dump and transfer_check.
# Exit 0: all passed; 77: MinGW-w64 or Wine missing (skipped, reason printed); else failed.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native_dir="$(realpath "${1:-${source_dir}/build}")"
win_dir="$(realpath -m "${2:-${source_dir}/build-win64}")"

skip() {
  echo "wine_run: skipped: $*"
  exit 77
}
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 ||
  skip "no x86_64-w64-mingw32-g++-posix (apt-get install mingw-w64)"
command -v wine >/dev/null 2>&1 || skip "no wine (apt-get install wine wine64)"
command -v wineserver >/dev/null 2>&1 || skip "no wineserver (apt-get install wine wine64)"
[ -d /usr/src/googletest ] || skip "no /usr/src/googletest (apt-get install googletest)"
for program in sim/quorvex-cardsim tests/windows/parse_dump tests/windows/transfer_check; do
  [ -x "${native_dir}/${program}" ] || {
    echo "wine_run: ${native_dir}/${program} missing: build the native tree first" >&2
    exit 1
  }
done

seconds_since() { echo "$(($(date +%s%N) / 1000000 - $1))" | sed 's/\(...\)$/.\1/'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# --- build ---------------------------------------------------------------------------------------
started=$(now_ms)
cmake -S "${source_dir}" -B "${win_dir}" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_WITHOUT_QT=ON \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build "${win_dir}" -j "$(nproc)"
echo "wine_run: MinGW build $(seconds_since "${started}") s"

# --- a fresh Wine prefix with one wineserver for the whole run -----------------------------------
# Without a server that outlives each program, about one launch in sixteen failed with a
# connection reset while the previous server was shutting down.
export WINEPREFIX="${win_dir}/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
sim_pid=""
sim_dir=""
cleanup() {
  if [ -n "${sim_pid}" ]; then kill "${sim_pid}" 2>/dev/null || true; fi
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${sim_dir}" ]; then rm -rf "${sim_dir}"; fi
}
trap cleanup EXIT

started=$(now_ms)
rm -rf "${WINEPREFIX}"
mkdir -p "${WINEPREFIX}"
wineserver -p >/dev/null 2>&1
wineboot -i >/dev/null 2>&1
echo "wine_run: fresh Wine prefix $(seconds_since "${started}") s"

# --- the suites --------------------------------------------------------------------------------
started=$(now_ms)
(cd "${win_dir}" && ctest --output-on-failure -j "$(nproc)")
echo "wine_run: suites under Wine $(seconds_since "${started}") s"

# --- number conversions: the Windows build must agree with the Linux one ----------------------
"${source_dir}/tools/compare_parse.sh" "${native_dir}/tests/windows/parse_dump" \
  "${win_dir}/tests/windows/parse_dump.exe"

# --- the card simulator as COM n -----------------------------------------------------------------
# A number above the host's own serial ports: Wine maps those itself at every server start.
com=33
for tty in /dev/ttyS*; do
  [ -e "${tty}" ] || continue
  index=${tty#/dev/ttyS}
  if [ "${index}" -ge "${com}" ]; then com=$((index + 2)); fi
done
sim_dir="$(mktemp -d)"
image="${sim_dir}/card.kfg"
coproc SIM { exec "${native_dir}/sim/quorvex-cardsim" --port "${com}" --com-dir "${sim_dir}" \
  --image "${image}" --log "${sim_dir}/frames.log"; }
sim_pid=${SIM_PID}
ready=""
read -r -t 10 ready <&"${SIM[0]}" || true
case "${ready}" in
  ready:*) ;;
  *) echo "wine_run: the card simulator did not start" >&2; exit 1 ;;
esac
pty="$(readlink -f "${sim_dir}/COM${com}")"
# Wine rewrites dosdevices/comN at every server start; the registry entry is what it keeps.
wine reg add 'HKLM\Software\Wine\Ports' /v "COM${com}" /t REG_SZ /d "${pty}" /f >/dev/null
wineserver -k >/dev/null 2>&1 || true
wineserver -w
wineserver -p >/dev/null 2>&1
echo "wine_run: quorvex-cardsim on ${pty} is COM${com} under Wine"

failed=0
# The same program, built for each platform, against the same simulator.
echo "wine_run: transfers through the termios backend (Linux):"
QUORVEX_COM_DIR="${sim_dir}" "${native_dir}/tests/windows/transfer_check" "${com}" --repeat 2 ||
  failed=1
echo "wine_run: transfers through the Win32 backend (Wine):"
wine "${win_dir}/tests/windows/transfer_check.exe" "${com}" --repeat 2 | tr -d '\r' || failed=1

# --- quorvex-cli.exe against the simulator ------------------------------------------------------
# One block per command, each expecting the Linux program's bytes, messages and exit code. The
# simulator above is COM${com}; ${sim_dir} is free for image files (Z:${sim_dir} under Wine).

if [ "${failed}" -ne 0 ]; then
  echo "wine_run: FAILED" >&2
  exit 1
fi
echo "wine_run: all passed"
