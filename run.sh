#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with the card simulator as COM1.
set -euo pipefail
cd "$(dirname "$0")"

tools/ensure_deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

ports=$(mktemp -d)
cleanup() {
  [ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$ports"
}
trap cleanup EXIT

export QUORVEX_COM_DIR="$ports"
build/sim/quorvex-cardsim --port 1 &
sim_pid=$!
echo "Card simulator running as COM1 (ports in $ports). Press Ctrl+C to stop."
wait "$sim_pid"
