#!/usr/bin/env bash
# Every option quorvex-cli --help and each command's --help list is named in the man page, so the
# page cannot fall behind a new option.
#   man_page_options_test.sh QUORVEX_CLI MAN_PAGE
set -euo pipefail
cli=$1
page=$2

# The options of one --help text: "-p,--port N ..." gives -p and --port.
options_of() {
  awk '/^[A-Za-z]+:$/ { section = $0 } section == "Options:" && /^  -/ { print $1 }' |
    tr ',' '\n' | grep -E '^--?[A-Za-z]'
}
# The page as it reads: roff's "\-" is "-", font changes dropped.
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "${page}")

help=$("${cli}" --help)
commands=$(awk '/^Subcommands:$/ { inside = 1; next } inside && /^  [a-z]/ { print $1 }
                inside && /^$/ { inside = 0 }' <<<"${help}")
[ -n "${commands}" ] || { echo "no commands found in quorvex-cli --help" >&2; exit 1; }

missing=0
check() {  # check WHERE: each option of the --help text on stdin is in the page
  local option
  while read -r option; do
    if ! grep -qE -- "(^|[^-[:alnum:]])${option}([^-[:alnum:]]|\$)" <<<"${text}"; then
      echo "$1 lists ${option}, which the man page does not name" >&2
      missing=1
    fi
  done < <(options_of)
}
check "quorvex-cli --help" <<<"${help}"
for command in ${commands}; do
  check "quorvex-cli ${command} --help" < <("${cli}" "${command}" --help)
done
exit "${missing}"
