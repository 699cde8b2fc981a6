#!/usr/bin/env bash
# The two Windows Installer packages of the window's MinGW tree, made with Debian's wixl
# (msitools) from packaging/windows/quorvex.wxs:
#   quorvex-<version>-win64.msi        per machine: Program Files, for all users (IT deployment)
#   quorvex-<version>-win64-user.msi   per user: %LOCALAPPDATA%\Programs, no administrator rights
# The tree's `quorvex_msi` target runs this into the tree itself; tools/release.sh into dist/.
#   tools/make_msi.sh WINDOWS_TREE OUT_DIR [VERSION]
# VERSION (default the project's) packs the same build under another number, as the Windows check
# does for an older and a newer version. Two runs on one commit give the same bytes: the files are
# staged with the time the tree stands for (QUORVEX_SOURCE_DATE_EPOCH, the last commit's), the
# codes wixl would take from the clock are derived from what the package holds, and the summary's
# dates are that time too.
set -euo pipefail
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tree=$(realpath "${1:?usage: tools/make_msi.sh WINDOWS_TREE OUT_DIR [VERSION]}")
out=$(realpath -m "${2:?usage: tools/make_msi.sh WINDOWS_TREE OUT_DIR [VERSION]}")

cached() { sed -n "s/^$1:[A-Z]*=//p" "${tree}/CMakeCache.txt"; }
version=${3:-$(cached CMAKE_PROJECT_VERSION)}
epoch=${SOURCE_DATE_EPOCH:-$(cached QUORVEX_SOURCE_DATE_EPOCH)}
[ -n "${version}" ] && [ -n "${epoch}" ] || {
  echo "make_msi: ${tree} is no configured Windows tree" >&2
  exit 1
}
for tool in wixl msidump msibuild; do
  command -v "${tool}" >/dev/null || {
    echo "make_msi: no ${tool} (tools/ensure_deps.sh installs wixl and msitools)" >&2
    exit 1
  }
done
# Windows Installer compares three numbers; "1.5" is "1.5.0" to it.
msi_version=${version}
while [[ "${msi_version}" != *.*.* ]]; do msi_version+=.0; done

work=$(mktemp -d)
trap 'rm -rf "${work}"' EXIT
export TZ=UTC SOURCE_DATE_EPOCH="${epoch}"

# What cpack installs, stripped as there (strip takes its PE time stamp from SOURCE_DATE_EPOCH).
stage="${work}/stage"
cmake --install "${tree}" --prefix "${stage}" --strip >"${work}/install.log" ||
  { cat "${work}/install.log" >&2; exit 1; }
cp "${tree}/app/quorvex.ico" "${stage}/quorvex.ico"
find "${stage}" -exec touch -h -d "@${epoch}" {} +

# uuid5 NAMESPACE NAME: the name-based UUID (SHA-1) of NAME, in capitals as Windows writes them.
uuid5() {
  local hex
  hex=$({
    printf "$(tr -d '-' <<<"$1" | sed 's/../\\x&/g')"
    printf '%s' "$2"
  } | sha1sum | cut -c1-32 | tr 'a-f' 'A-F')
  printf '%s-%s-5%s-%X%s-%s\n' "${hex:0:8}" "${hex:8:4}" "${hex:13:3}" \
    $(((16#${hex:16:1} & 3) | 8)) "${hex:17:3}" "${hex:20:12}"
}
wxs="${source_dir}/packaging/windows/quorvex.wxs"
upgrade_code=$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "${wxs}")
content=$(cd "${stage}" && find . -type f | LC_ALL=C sort | xargs sha256sum; sha256sum <"${wxs}")
summary_date=$(date -u -d "@${epoch}" '+%Y/%m/%d %H:%M:%S')

mkdir -p "${out}"
for scope in perMachine perUser; do
  name="quorvex-${version}-win64"
  [ "${scope}" = perUser ] && name+=-user
  product_code=$(uuid5 "${upgrade_code}" "product ${scope} ${msi_version} ${content}")
  # Unknown attributes are only warnings to wixl; fatal here, so a misspelt one fails the build.
  (cd "${stage}" && G_DEBUG=fatal-warnings wixl -a x64 -D Scope="${scope}" \
    -D Version="${msi_version}" -D ProductCode="${product_code}" -o "${work}/${name}.msi" \
    "${wxs}") || { echo "make_msi: wixl failed on ${wxs} (${scope})" >&2; exit 1; }

  # What wixl writes wrong or from the clock, rewritten: the same version's row of the upgrade
  # table lacks IncludeMaximum (0x200), so a rebuild of one version would install beside the
  # other; the package code and the summary's dates.
  dump="${work}/dump-${scope}"
  mkdir -p "${dump}"
  msidump -t -d "${dump}" "${work}/${name}.msi" >/dev/null
  awk -F '\t' -v OFS='\t' 'NR > 3 && $7 ~ /^QUORVEXREPLACED\r?$/ { if ($5 % 1024 < 512) $5 += 512 } 1' \
    "${dump}/Upgrade.idt" >"${work}/Upgrade.idt"
  package_code=$(uuid5 "${upgrade_code}" "package ${product_code}")
  awk -F '\t' -v OFS='\t' -v code="{${package_code}}" -v date="${summary_date}" '
    NR > 3 && $1 == 9 { $2 = code "\r" }
    NR > 3 && ($1 == 12 || $1 == 13) { $2 = date "\r" } 1' \
    "${dump}/_SummaryInformation.idt" >"${work}/_SummaryInformation.idt"
  (cd "${work}" && msibuild "${name}.msi" -i Upgrade.idt -i _SummaryInformation.idt) ||
    { echo "make_msi: msibuild could not rewrite ${name}.msi" >&2; exit 1; }
  mv "${work}/${name}.msi" "${out}/${name}.msi"
  echo "${out}/${name}.msi"
done
