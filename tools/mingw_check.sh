#!/usr/bin/env bash
# Builds the Qt-free layers (core, link, storage, procedures) for 64-bit Windows with MinGW-w64, to prove
# they still compile there. Usage: tools/mingw_check.sh [build folder]
# Exit 0: built; 77: no MinGW-w64 compiler on this machine (skipped); anything else: failed.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-${source_dir}/build-mingw}"

if ! command -v x86_64-w64-mingw32-g++ >/dev/null 2>&1; then
  echo "mingw_check: x86_64-w64-mingw32-g++ not found (apt-get install mingw-w64); skipped"
  exit 77
fi

generator=()
if command -v ninja >/dev/null 2>&1; then
  generator=(-G Ninja)
fi

cmake -S "${source_dir}" -B "${build_dir}" "${generator[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="${source_dir}/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DQUORVEX_CORE_ONLY=ON
cmake --build "${build_dir}" --parallel 2 --target quorvex_core quorvex_link quorvex_storage quorvex_procedures
echo "mingw_check: core, link, storage and procedures build for Windows"
