#!/usr/bin/env bash
# Builds everything below the window for 64-bit Windows with MinGW-w64 and runs it under Wine:
# the test suites through ctest, the number conversions compared with the Linux build, whole
# transfers through the Win32 serial backend against the Linux card simulator, which Wine sees as
# a COM port, and quorvex-cli.exe from the release zip against the same simulator, compared with
# the Linux quorvex-cli.
#
#   tools/wine_run.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
#
# NATIVE_BUILD_DIR (default build/) must hold quorvex-cardsim, quorvex-cli, parse_dump and
# transfer_check.
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
for program in sim/quorvex-cardsim cli/quorvex-cli tests/windows/parse_dump \
  tests/windows/transfer_check; do
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
sim_out=""
# Starts the simulator on COM${com} with the given faults and waits for its ready line.
start_simulator() {
  coproc SIM { exec "${native_dir}/sim/quorvex-cardsim" --port "${com}" --com-dir "${sim_dir}" \
    --image "${image}" --log "${sim_dir}/frames.log" "$@"; }
  sim_pid=${SIM_PID}
  # A copy of its output that outlives bash's own, which goes when bash reaps the simulator.
  exec {sim_out}<&"${SIM[0]}"
  local ready=""
  read -r -t 10 ready <&"${sim_out}" || true
  case "${ready}" in
    ready:*) ;;
    *) echo "wine_run: the card simulator did not start" >&2; exit 1 ;;
  esac
}
# Ends it and waits until its output ends, that is until it is gone and COM${com} is free.
stop_simulator() {
  kill "${sim_pid}" 2>/dev/null || true
  while read -r -t 10 _; do :; done <&"${sim_out}"
  wait "${sim_pid}" 2>/dev/null || true
  exec {sim_out}<&-
  sim_pid=""
}
# Wine rewrites dosdevices/comN at every server start; the registry entry is what it keeps, and a
# new server is what takes a changed entry up.
map_simulator() {
  local pty
  pty="$(readlink -f "${sim_dir}/COM${com}")"
  # Even when a restarted simulator got the same pty number, the server is started anew: the
  # running one may still hold the old, hung-up terminal for COM n, and the first transfer
  # through it then lost its replies.
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM${com}" /t REG_SZ /d "${pty}" /f >/dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p >/dev/null 2>&1
  # A new server starts Wine's device services with the first program, and while they come up
  # they touch the mapped port: a transfer made then lost its first replies. Let them come up
  # with a program of no consequence first.
  timeout 60 wine cmd /c exit >/dev/null 2>&1 || true
  echo "wine_run: quorvex-cardsim on ${pty} is COM${com} under Wine"
}
start_simulator

failed=0
# The same program, built for each platform, against the same simulator. The Linux run comes
# before Wine's server is restarted on the new mapping: a native transfer once failed its first
# exchange while the fresh server was still starting up and had the port open.
echo "wine_run: transfers through the termios backend (Linux):"
QUORVEX_COM_DIR="${sim_dir}" "${native_dir}/tests/windows/transfer_check" "${com}" --repeat 2 ||
  failed=1
map_simulator
echo "wine_run: transfers through the Win32 backend (Wine):"
wine "${win_dir}/tests/windows/transfer_check.exe" "${com}" --repeat 2 | tr -d '\r' || failed=1

# --- quorvex-cli.exe against the simulator ------------------------------------------------------
# Each command runs under Wine and then natively against the same simulator, in one folder with
# relative file names, so the two must agree to the byte: exit code, stdout and stderr (without
# Windows' \r). The expected codes and messages are those of tests/e2e/cli_e2e_test.cpp.
cli_dir="${sim_dir}/cli"
mkdir -p "${cli_dir}"
cp "${source_dir}/fuzz/corpus/kfg/known.kfg" "${cli_dir}/known.kfg"

# run_cli LABEL wine|linux ARGS...: stdout, stderr and the exit code in ${cli_dir}/LABEL.out,
# .err and .code (LABEL-linux.* for the native program); the wall time in cli_seconds.
run_cli() {
  local label=$1 platform=$2
  shift 2
  local started code=0
  started=$(now_ms)
  if [ "${platform}" = wine ]; then
    (cd "${cli_dir}" && wine "${cli_exe}" "$@" >"${label}.out" 2>"${label}.err") || code=$?
    sed -i 's/\r$//' "${cli_dir}/${label}.out" "${cli_dir}/${label}.err"
  else
    label="${label}-linux"
    (cd "${cli_dir}" && QUORVEX_COM_DIR="${sim_dir}" "${native_dir}/cli/quorvex-cli" "$@" \
      >"${label}.out" 2>"${label}.err") || code=$?
  fi
  cli_seconds=$(seconds_since "${started}")
  echo "${code}" >"${cli_dir}/${label}.code"
}
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
# expect LABEL CODE TEXT: both programs ended with CODE, Wine's stderr holds TEXT, and each stream
# of the Windows program equals the Linux program's.
expect() {
  local label=$1 code=$2 text=$3 was=${failed}
  failed=0
  for run in "${label}" "${label}-linux"; do
    check "${run}: exit code ${code}" [ "$(cat "${cli_dir}/${run}.code")" = "${code}" ]
  done
  check "${label}: says \"${text}\"" grep -qF -- "${text}" "${cli_dir}/${label}.err"
  for stream in out err; do
    check "${label}: std${stream} as on Linux" \
      cmp -s "${cli_dir}/${label}.${stream}" "${cli_dir}/${label}-linux.${stream}"
  done
  if [ "${failed}" -ne 0 ]; then
    for run in "${label}" "${label}-linux"; do
      echo "--- ${run}: exit code $(cat "${cli_dir}/${run}.code"), stderr:" >&2
      cat "${cli_dir}/${run}.err" >&2
    done
  fi
  [ "${was}" -eq 0 ] || failed=1
}

# The release zip, unpacked: its program is the one run below.
package="$(cd "${win_dir}" && cpack -G ZIP | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')"
echo "wine_run: $(basename "${package}"):"
(cd "${cli_dir}" && cmake -E tar tf "${package}") | sed 's/^/  /'
(cd "${cli_dir}" && cmake -E tar xf "${package}")
cli_exe="${cli_dir}/$(basename "${package}" .zip)/quorvex-cli.exe"
check "the zip holds quorvex-cli.exe" [ -f "${cli_exe}" ]
check "the zip holds README.md" [ -f "$(dirname "${cli_exe}")/README.md" ]
if [ -e "${source_dir}/LICENSE" ] || [ -e "${source_dir}/LICENSE.txt" ]; then
  check "the zip holds LICENSE.txt" [ -f "$(dirname "${cli_exe}")/LICENSE.txt" ]
fi

# A card that holds something else first, so that the bytes it ends with come from the write.
stop_simulator
head -c 41 /dev/zero >"${image}"
start_simulator
map_simulator
echo "wine_run: quorvex-cli against COM${com}, under Wine and on Linux:"
run_cli write wine write --port "${com}" known.kfg
wine_write_seconds=${cli_seconds}
first_wine_write=$(cat "${cli_dir}/write.code")
if [ "${first_wine_write}" = 0 ]; then
  check "write: the card holds known.kfg byte for byte" cmp -s "${image}" "${cli_dir}/known.kfg"
fi
run_cli write linux write --port "${com}" known.kfg
linux_write_seconds=${cli_seconds}
# Known flaw of this check, not yet understood: in about half of the runs here Wine's first
# quorvex-cli.exe transfer on the restarted simulator fails within a second, without its pauses
# ("did not answer for KonfigByte"), while every later one works. It is said loudly and the write
# is made once more; the read-back of that write must then hold the file.
if [ "${first_wine_write}" != 0 ]; then
  echo "wine_run: WARNING: quorvex-cli.exe's first write ended with ${first_wine_write}" \
    "after ${wine_write_seconds} s: $(tail -n 1 "${cli_dir}/write.err"); writing once more"
  run_cli write wine write --port "${com}" known.kfg
  wine_write_seconds=${cli_seconds}
fi
expect write 0 "read back: the card holds it."

run_cli read wine read --port "${com}" -o read.kfg
check "read -o: the file holds the card's bytes" cmp -s "${cli_dir}/read.kfg" "${image}"
run_cli read linux read --port "${com}" -o read-linux.kfg
expect read 0 "Now release the connection"

# One past the simulator: neither Wine nor the COM folder maps it.
missing=$((com + 1))
run_cli missing wine read --port "${missing}" -o missing.kfg
run_cli missing linux read --port "${missing}" -o missing.kfg
expect missing 4 "Port COM${missing} not available."
check "missing port: no file written" [ ! -e "${cli_dir}/missing.kfg" ]

stop_simulator
start_simulator --silent
map_simulator
run_cli silent wine read --port "${com}" -o silent.kfg
run_cli silent linux read --port "${com}" -o silent.kfg
expect silent 3 "the card did not answer for KonfigByte"
check "silent card: no file written" [ ! -e "${cli_dir}/silent.kfg" ]

echo "wine_run: quorvex-cli write with read-back: ${wine_write_seconds} s under Wine," \
  "${linux_write_seconds} s on Linux"

if [ "${failed}" -ne 0 ]; then
  echo "wine_run: FAILED" >&2
  exit 1
fi
echo "wine_run: all passed"
