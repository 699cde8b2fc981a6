#!/usr/bin/env bash
# Fails, listing the files, when clang-format would change any tracked C++ source. clang-format's
# own check (--dry-run --Werror) reads the files and never rewrites the working tree.
# Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$clang_format" ]; then
  echo "check_format: no clang-format found (tools/ensure_deps.sh installs it when CI is set)" >&2
  exit 1
fi

# Tracked files still in the working tree: a deleted one is not ours to judge.
files=()
while IFS= read -r -d '' file; do
  if [ -f "$file" ]; then files+=("$file"); fi
done < <(git ls-files -z -- '*.cpp' '*.h')

# One report per file is enough to name it.
if ! report=$("$clang_format" --dry-run --Werror --ferror-limit=1 --style=file -- \
  "${files[@]}" 2>&1); then
  changed=$(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' \
    <<<"$report" | sort -u)
  if [ -z "$changed" ]; then
    # Not a format finding (a file it could not read, a broken .clang-format): said as it is.
    echo "check_format: clang-format failed:" >&2
    echo "$report" >&2
  else
    echo "check_format: clang-format would change these files:" >&2
    sed 's/^/  /' <<<"$changed" >&2
  fi
  exit 1
fi
echo "check_format: ${#files[@]} files as clang-format writes them"
