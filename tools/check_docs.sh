#!/usr/bin/env bash
# Fails, listing each one, when a relative link or image of README.md or docs/*.md leads nowhere:
# a file that does not exist, or a #heading that the Markdown file it names does not have
# (headings made into anchors as GitHub does: lower case, punctuation dropped, blanks as "-").
# Links inside fenced code blocks and links with a scheme (https:, mailto:) are not looked at.
#   tools/check_docs.sh
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8

# The anchors of a Markdown file's headings, one a line.
anchors() {
  awk '/^```/ { fenced = !fenced; next } !fenced && /^#+ / { sub(/^#+ +/, ""); print }' "$1" |
    tr '[:upper:]' '[:lower:]' | sed -E 's/[^[:alnum:] _-]//g; s/ /-/g'
}
# The link targets of a Markdown file outside its code blocks: "](target)" and "](target "title")".
targets() {
  awk '/^```/ { fenced = !fenced; next } !fenced' "$1" |
    grep -oE '\]\([^) ]+' | sed 's/^](//' || true
}

broken=0
for doc in README.md docs/*.md; do
  while IFS= read -r target; do
    case "${target}" in *:*) continue ;; esac
    path=${target%%#*}
    anchor=""
    [[ "${target}" == *#* ]] && anchor=${target#*#}
    if [ -z "${path}" ]; then
      file=${doc}
    else
      file=$(dirname "${doc}")/${path}
    fi
    if [ ! -e "${file}" ]; then
      echo "check_docs: ${doc}: ${target}: no file ${file}" >&2
      broken=1
    elif [ -n "${anchor}" ] && [[ "${file}" == *.md ]] && ! anchors "${file}" | grep -qxF -- "${anchor}"; then
      echo "check_docs: ${doc}: ${target}: no heading #${anchor} in ${file}" >&2
      broken=1
    fi
  done < <(targets "${doc}")
done
exit "${broken}"
