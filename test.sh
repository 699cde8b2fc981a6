#!/usr/bin/env bash
# Installs what is missing, builds every target and runs every test.
#   ./test.sh                 plain build in build/
#   ./test.sh --sanitize      AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
#   ./test.sh --fuzz SECONDS  libFuzzer targets (clang) in build-fuzz/, each run for SECONDS
set -euo pipefail
cd "$(dirname "$0")"

mode=plain
fuzz_seconds=0
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) mode=sanitize ;;
    --fuzz)
      mode=fuzz
      fuzz_seconds=${2:?--fuzz needs a number of seconds}
      shift
      ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
  shift
done

if [ "$mode" = fuzz ]; then
  tools/ensure_deps.sh clang libclang-rt-dev
  exec tools/run_fuzzers.sh "$fuzz_seconds"
fi

source tools/step_time.sh
source tools/compiler_cache.sh

# Cheap and first: every link and image of the README and docs/ leads to a file.
if [ "$mode" = plain ]; then
  step docs tools/check_docs.sh
fi

step deps tools/ensure_deps.sh
# ccache may have come with the packages just now.
source tools/compiler_cache.sh

build_dir=build
sanitize=OFF
if [ "$mode" = sanitize ]; then
  build_dir=build-sanitize
  sanitize=ON
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
fi

# CI builds treat warnings as errors; a user's newer compiler only warns.
werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi

step configure cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEX_SANITIZE="$sanitize" -DQUORVEX_WERROR="$werror"
step "build $build_dir" cmake --build "$build_dir" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
cd "$build_dir"
step "ctest $build_dir" ctest --output-on-failure -j "$(nproc)"

# The Qt-free layers built for Windows and run under Wine, against this build's simulator.
if [ "$mode" = plain ]; then
  cd ..
  # SQLite for the Windows trees' history, built once per machine from Debian's source (under a
  # minute); without it those trees would build without the history and check less.
  step sqlite_mingw tools/build_sqlite_mingw.sh
  wine_status=0
  step wine_run tools/wine_run.sh "$build_dir" build-win64 || wine_status=$?
  if [ "$wine_status" -eq 77 ]; then
    echo "Windows run under Wine: skipped (see the reason above)"
  elif [ "$wine_status" -ne 0 ]; then
    exit "$wine_status"
  fi
  # The window for Windows, when the Qt for MinGW cache exists (tools/build_qt_mingw.sh, 30 to 50
  # minutes, is never started from here); otherwise the step names that command and is skipped.
  window_status=0
  step wine_window_check tools/wine_window_check.sh "$build_dir" build-win64-qt || window_status=$?
  if [ "$window_status" -eq 77 ]; then
    echo "The window under Wine: skipped (see the reason above)"
  elif [ "$window_status" -ne 0 ]; then
    exit "$window_status"
  fi
fi

# Last, never beside ctest: the package is installed system-wide and purged again. (That two
# builds give the same bytes is checked by CI after this and by tools/release.sh.)
if [ "$mode" = plain ]; then
  package_status=0
  step package_check tools/package_check.sh "$build_dir" || package_status=$?
  [ "$package_status" -eq 0 ] || [ "$package_status" -eq 77 ] || exit "$package_status"
fi
steps_total
