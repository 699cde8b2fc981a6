#!/usr/bin/env bash
# Fails, listing the files, when clang-format would change any tracked C++ source. The files are
# formatted in a scratch copy and compared there with git diff, so the check never rewrites the
# working tree. Fix with: clang-format -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$clang_format" ]; then
  echo "check_format: no clang-format found (tools/ensure_deps.sh installs it when CI is set)" >&2
  exit 1
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp .clang-format "$scratch/"
git ls-files -z -- '*.cpp' '*.h' | while IFS= read -r -d '' file; do
  if [ -f "$file" ]; then cp --parents -- "$file" "$scratch/"; fi
done
cd "$scratch"
git init -q && git add -A && git -c user.name=check -c user.email=check@localhost commit -qm sources
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r "$clang_format" -i --style=file
if ! git diff --quiet --exit-code; then
  echo "check_format: clang-format would change these files:" >&2
  git diff --name-only | sed 's/^/  /' >&2
  exit 1
fi
echo "check_format: $(git ls-files -- '*.cpp' '*.h' | wc -l) files as clang-format writes them"
