#!/usr/bin/env bash
# Builds everything below the window for 64-bit Windows with MinGW-w64 and runs it under Wine:
# the test suites through ctest, the number conversions compared with the Linux build, and the
# native build's end-to-end command-line tests (cli_e2e_tests, and device_server_e2e_tests through
# ser2net on 127.0.0.1) with the release zip's quorvex-cli.exe and transfer_check.exe under Wine
# as the programs they drive. The tests start
# the Linux card simulator in a folder this script maps into the Wine prefix as COM n; they hold
# every expectation, this script only builds and prepares.
#
#   tools/wine_run.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
#
# NATIVE_BUILD_DIR (default build/) must hold quorvex-cardsim, quorvex-cli, parse_dump,
# cli_e2e_tests and device_server_e2e_tests. A failed test keeps its folder (the simulator's frame log of every start, the
# --trace of every program run, its files) and the work folder is kept with its path printed.
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
  tests/e2e/cli_e2e_tests tests/e2e/device_server_e2e_tests; do
  [ -x "${native_dir}/${program}" ] || {
    echo "wine_run: ${native_dir}/${program} missing: build the native tree first" >&2
    exit 1
  }
done

source "${source_dir}/tools/wine_common.sh"
source "${source_dir}/tools/compiler_cache.sh"

# --- build ---------------------------------------------------------------------------------------
started=$(now_ms)
cmake -S "${source_dir}" -B "${win_dir}" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_WITHOUT_QT=ON \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
cmake --build "${win_dir}" -j "$(nproc)"
echo "wine_run: MinGW build $(seconds_since "${started}") s"

# --- a fresh Wine prefix with one wineserver for the whole run -----------------------------------
wine_environment "${win_dir}/wine-prefix"
work=""
passed=0
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${work}" ] && [ "${passed}" -eq 1 ]; then
    rm -rf "${work}"
  elif [ -n "${work}" ]; then
    echo "wine_run: the work folder is kept: ${work}" >&2
  fi
}
trap cleanup EXIT

started=$(now_ms)
fresh_wine_prefix
echo "wine_run: fresh Wine prefix $(seconds_since "${started}") s"

# --- the suites --------------------------------------------------------------------------------
started=$(now_ms)
(cd "${win_dir}" && ctest --output-on-failure -j "$(nproc)")
echo "wine_run: suites under Wine $(seconds_since "${started}") s"

# --- number conversions: the Windows build must agree with the Linux one ----------------------
"${source_dir}/tools/compare_parse.sh" "${native_dir}/tests/windows/parse_dump" \
  "${win_dir}/tests/windows/parse_dump.exe"

# --- the card's COM port under Wine ------------------------------------------------------------
com=$(free_com_number)
work="$(mktemp -d)"
ports="${work}/ports"
mkdir -p "${ports}"
map_com_port "${com}" "${ports}/COM${com}"
echo "wine_run: ${ports}/COM${com} is COM${com} under Wine"

# --- what Wine answers about its COM ports: the mapped one must be listed -------------------------
echo "wine_run: what Wine answers for its COM ports (SetupAPI, SERIALCOMM, the open):"
if ! wine "${win_dir}/tests/windows/port_listing.exe" "${com}" | tr -d '\r' | sed 's/^/  /'; then
  echo "wine_run: FAILED: the port list does not hold COM${com}" >&2
  exit 1
fi

# --- the release zip -----------------------------------------------------------------------------
package="$(cd "${win_dir}" && cpack -G ZIP | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p')"
echo "wine_run: $(basename "${package}"):"
(cd "${work}" && cmake -E tar tf "${package}") | sed 's/^/  /'
(cd "${work}" && cmake -E tar xf "${package}")
unpacked="${work}/$(basename "${package}" .zip)"
missing_files=()
for file in quorvex-cli.exe README.md; do
  [ -f "${unpacked}/${file}" ] || missing_files+=("${file}")
done
if [ -e "${source_dir}/LICENSE" ] || [ -e "${source_dir}/LICENSE.txt" ]; then
  [ -f "${unpacked}/LICENSE.txt" ] || missing_files+=(LICENSE.txt)
fi
if [ "${#missing_files[@]}" -ne 0 ]; then
  echo "wine_run: FAILED: the zip lacks ${missing_files[*]}" >&2
  exit 1
fi

# --- the end-to-end tests with the Windows programs --------------------------------------------
started=$(now_ms)
echo "wine_run: cli_e2e_tests and device_server_e2e_tests with the zip's quorvex-cli.exe under Wine:"
status=0
(cd "${native_dir}" && TMPDIR="${work}" QUORVEX_E2E_CLI="wine ${unpacked}/quorvex-cli.exe" \
  QUORVEX_E2E_TRANSFER_CHECK="wine ${win_dir}/tests/windows/transfer_check.exe" \
  QUORVEX_E2E_COM_DIR="${ports}" QUORVEX_E2E_PORT="${com}" \
  ctest -R '^(cli_e2e_tests|device_server_e2e_tests)$' -V) || status=1
echo "wine_run: the end-to-end tests under Wine $(seconds_since "${started}") s"
if [ "${status}" -ne 0 ]; then
  echo "wine_run: FAILED" >&2
  exit 1
fi
passed=1
echo "wine_run: all passed"
