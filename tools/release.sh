#!/usr/bin/env bash
# Makes every download of a release from the committed tree, into dist/<version>/:
#   quorvex_<version>_amd64.deb              the Debian package
#   quorvex-cli-<version>-win64.zip          the command line for Windows
#   quorvex-<version>-win64-portable.zip     the window and the command line, to unpack anywhere
#   quorvex-<version>-win64-setup.exe        the Windows installer
#   quorvex-<version>-win64.msi              the Windows Installer package, per machine (companies)
#   quorvex-<version>-win64-user.msi         the same for one user, without administrator rights
#   SHA256SUMS                               over all of them (`sha256sum -c SHA256SUMS`)
#   RELEASE-NOTES.md                         the changelog's entry for the version
# The version is the one of project() in CMakeLists.txt; packaging/changelog must begin with its
# entry, and the working tree must be committed. Builds in build-release/ (only what the downloads
# hold; the tests are ./test.sh's), each tree standing for the last commit's time, so a release
# made again from the same commit gives the same bytes: each tree is built a second time in
# another folder and compared (tools/reproducible_check.sh), and a difference refuses the release.
#   tools/release.sh
# Exit 0: made and checked; 1: refused or failed, with the reason.
set -euo pipefail
# Every tree made here compiles for real: a compiler cache would hand the second tree the first
# one's objects and prove nothing.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
cd "$(dirname "$0")/.."
source_dir=$PWD

refuse() {
  echo "release: refused: $*" >&2
  exit 1
}
fail() {
  echo "release: FAILED: $*" >&2
  exit 1
}

# --- what is released --------------------------------------------------------------------------
version=$(sed -n 's/^project(quorvex VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no project(quorvex VERSION x.y) in CMakeLists.txt"

if [ -n "$(git status --porcelain)" ]; then
  git status --short | head -n 20 >&2
  refuse "the working tree has changes that are not committed (above); commit them or set them
aside, so the release is exactly a commit"
fi
commit=$(git rev-parse --short HEAD)

changelog=packaging/changelog
command -v dpkg-parsechangelog >/dev/null || fail "no dpkg-parsechangelog (apt-get install dpkg-dev)"
top=$(dpkg-parsechangelog -l "$changelog" -S Version)
if [ "$top" != "$version" ]; then
  if dpkg-parsechangelog -l "$changelog" --all -S Version | grep -qx "$version"; then
    refuse "$changelog has an entry for $version, but not as its first; the newest entry is $top"
  fi
  refuse "$changelog has no entry for version $version (its newest is $top): add one at its top,
with what changed, before releasing"
fi

for tool in cmake cpack ninja dpkg-deb sha256sum x86_64-w64-mingw32-g++-posix makensis wixl msibuild; do
  command -v "$tool" >/dev/null || fail "no $tool (tools/ensure_deps.sh installs it)"
done
qt_prefix=$(tools/build_qt_mingw.sh --prefix) ||
  refuse "the Windows downloads need Qt built for MinGW, which is not in the cache yet: build it
with tools/build_qt_mingw.sh (30 to 50 minutes), then run this again"

echo "release: quorvex $version from commit $commit"
epoch=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH=$epoch
trees=build-release
out=dist/$version
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

# configure TREE ARGS...: the release's trees hold only what is packaged; installing does not
# build the rest.
configure() {
  local tree=$1
  shift
  cmake -S "$source_dir" -B "$trees/$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >"$work/configure-$tree.log" 2>&1 ||
    { cat "$work/configure-$tree.log" >&2; fail "configuring $trees/$tree"; }
}
# package TREE GENERATORS: cpack in the tree's own folder; prints the files it made.
package() {
  local tree=$1 generators=$2
  (cd "$trees/$tree" && cpack -G "$generators") >"$work/cpack-$tree.log" 2>&1 ||
    { cat "$work/cpack-$tree.log" >&2; fail "cpack -G $generators in $trees/$tree"; }
  sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$work/cpack-$tree.log"
}

# --- Linux: the Debian package -------------------------------------------------------------------
echo "release: the Debian package ($trees/linux)"
configure linux
cmake --build "$trees/linux" -j "$(nproc)" \
  --target quorvex quorvex-cli quorvex-cardsim quorvex_print quorvex_packaging_files
deb=$(package linux DEB)

# --- Windows: the command line's zip from the Qt-free tree ---------------------------------------
echo "release: the command line for Windows ($trees/win64)"
configure win64 -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake" -DQUORVEX_WITHOUT_QT=ON
cmake --build "$trees/win64" -j "$(nproc)" --target quorvex-cli
cli_zip=$(package win64 ZIP)

# --- Windows: the installer and the portable zip from the window's tree -------------------------
echo "release: the window for Windows ($trees/win64-qt)"
configure win64-qt -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake"
cmake --build "$trees/win64-qt" -j "$(nproc)" --target quorvex quorvex-cli
windows=$(package win64-qt "NSIS;ZIP")
msis=$(tools/make_msi.sh "$trees/win64-qt" "$trees/win64-qt") || fail "the Windows Installer packages"

# --- every download agrees on the version ------------------------------------------------------
expected=("quorvex_${version}_amd64.deb" "quorvex-cli-${version}-win64.zip"
  "quorvex-${version}-win64-portable.zip" "quorvex-${version}-win64-setup.exe"
  "quorvex-${version}-win64.msi" "quorvex-${version}-win64-user.msi")
made=$(printf '%s\n' "$deb" "$cli_zip" "$windows" "$msis")
files=()
for name in "${expected[@]}"; do
  file=$(grep -m1 "/$name\$" <<<"$made") || fail "no $name was made; made were: $(tr '\n' ' ' <<<"$made")"
  files+=("$file")
done
[ "$(dpkg-deb -f "${files[0]}" Version)" = "$version" ] ||
  fail "the Debian package says version $(dpkg-deb -f "${files[0]}" Version)"
for program in quorvex cli/quorvex-cli; do
  said=$(QT_QPA_PLATFORM=offscreen "$trees/linux/$program" --version)
  [ "$said" = "$(basename "$program") $version" ] || fail "$program --version says \"$said\""
done
if command -v wine >/dev/null && command -v wineserver >/dev/null; then
  said=$(
    source tools/wine_common.sh
    wine_environment "$work/wine"
    fresh_wine_prefix
    wine "$trees/win64/cli/quorvex-cli.exe" --version | tr -d '\r'
    wineserver -k >/dev/null 2>&1 || true
  )
  [ "$said" = "quorvex-cli $version" ] || fail "quorvex-cli.exe --version says \"$said\""
fi

# --- two builds give the same bytes --------------------------------------------------------------
# Before anything goes to dist/: a download whose bytes depend on when or where it was built
# cannot be checked by anyone who builds the commit again.
echo "release: every download built a second time and compared (tools/reproducible_check.sh)"
repro_status=0
tools/reproducible_check.sh "$trees/linux" "$trees/win64" "$trees/win64-qt" || repro_status=$?
case "$repro_status" in
  0) ;;
  77) fail "the reproducible check could not run (the reason is above)" ;;
  *) fail "two builds of commit $commit differ (above); no release was made" ;;
esac

# --- dist/<version>/ -------------------------------------------------------------------------------
rm -rf "$out"
mkdir -p "$out"
cp "${files[@]}" "$out/"
{
  echo "# Quorvex $version"
  echo
  echo "Released $(dpkg-parsechangelog -l "$changelog" -S Date), from commit $commit."
  echo
  # The entry's lines without the changelog's own head and indentation: a Markdown list.
  dpkg-parsechangelog -l "$changelog" -S Changes | sed -n '4,$p' | sed 's/^  //'
} >"$out/RELEASE-NOTES.md"
(cd "$out" && sha256sum "${expected[@]}" RELEASE-NOTES.md >SHA256SUMS && sha256sum -c --quiet SHA256SUMS) ||
  fail "the checksums do not verify"
echo "release: $out:"
(cd "$out" && ls -l --time-style=+ | sed -n '2,$p' | awk '{print "  " $5 "\t" $NF}')
echo "release: SHA256SUMS verifies (cd $out && sha256sum -c SHA256SUMS)"
