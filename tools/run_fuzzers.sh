#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds, starting
# from the committed seed corpus (copied, so a run never rewrites the repository).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?seconds}
source tools/compiler_cache.sh

clangxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clangxx" ]; then
  echo "run_fuzzers: no clang++ found (./test.sh --fuzz installs it)" >&2
  exit 1
fi
# CI builds treat warnings as errors, as ./test.sh does.
werror=OFF
if [ -n "${CI:-}" ]; then werror=ON; fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$clangxx" \
  -DQUORVEX_CORE_ONLY=ON -DQUORVEX_FUZZ=ON -DQUORVEX_WERROR="$werror" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" >/dev/null
cmake --build build-fuzz -j "$(nproc)"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
# One target per core at a time (libFuzzer runs on one thread), each on a copy of its corpus; the
# copies are removed on every way out, interrupts included.
works=()
trap 'for w in "${works[@]}"; do rm -rf "$w"; done' EXIT
trap 'exit 130' INT TERM
targets=(build-fuzz/fuzz/*_fuzz)
batch=$(nproc)

fuzz_one() {
  local target=$1 work=$2 name
  name=$(basename "$target" _fuzz)
  cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  "$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/$name-" "$work" >"build-fuzz/$name.log" 2>&1
}

for ((first = 0; first < ${#targets[@]}; first += batch)); do
  pids=()
  names=()
  for target in "${targets[@]:first:batch}"; do
    name=$(basename "$target" _fuzz)
    echo "== fuzzing $name for ${seconds}s"
    work=$(mktemp -d)
    works+=("$work")
    fuzz_one "$target" "$work" &
    pids+=($!)
    names+=("$name")
  done
  for i in "${!pids[@]}"; do
    name=${names[$i]}
    if wait "${pids[$i]}"; then
      runs=$(grep -m1 'stat::number_of_executed_units' "build-fuzz/$name.log" | awk '{print $2}')
      echo "   $name: ${runs:-?} runs, $(( ${runs:-0} / (seconds > 0 ? seconds : 1) )) execs/s, no finding"
    else
      failed=1
      echo "   $name: FINDING — see build-fuzz/$name.log"
      tail -n 30 "build-fuzz/$name.log"
    fi
  done
done
if [ "$failed" != 0 ]; then
  echo "fuzz: failures"
  exit 1
fi
echo "fuzz: 0 failed"
