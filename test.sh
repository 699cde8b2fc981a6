#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test.
#   ./test.sh              plain build in build/
#   ./test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

sanitize=OFF
build_dir=build
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize=ON; build_dir=build-sanitize ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

tools/ensure_deps.sh

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_SANITIZE="$sanitize"
cmake --build "$build_dir" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = ON ]; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)"
