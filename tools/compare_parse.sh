#!/usr/bin/env bash
# Runs the parse fuzz corpus and a fixed generated set through the number conversions of the
# Linux build and of the Windows build (under Wine) and fails on the first line they disagree on.
#   tools/compare_parse.sh NATIVE_PARSE_DUMP WINDOWS_PARSE_DUMP_EXE
# Expects WINEPREFIX to name a ready prefix.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
native=${1:?native parse_dump}
windows=${2:?parse_dump.exe}

corpus=("${source_dir}"/fuzz/corpus/parse/*)
# Wine reaches the Linux file system through drive Z:.
windows_corpus=()
for file in "${corpus[@]}"; do windows_corpus+=("Z:${file}"); done

work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT
"${native}" "${corpus[@]}" >"${work}/linux.txt"
# The Windows C library writes CRLF to a text-mode stdout.
wine "${windows}" "${windows_corpus[@]}" | tr -d '\r' >"${work}/windows.txt"

lines=$(wc -l <"${work}/linux.txt")
if ! diff -q "${work}/linux.txt" "${work}/windows.txt" >/dev/null; then
  echo "compare_parse: Linux and Windows disagree on:" >&2
  diff "${work}/linux.txt" "${work}/windows.txt" | head -20 >&2
  exit 1
fi
echo "compare_parse: ${lines} texts (${#corpus[@]} from the corpus) convert identically on Linux and Windows"
