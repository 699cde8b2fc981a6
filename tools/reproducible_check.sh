#!/usr/bin/env bash
# Two builds of one commit must give the same bytes. Makes the Debian package from a configured
# build folder and again from a second tree in another folder, built later and holding only what
# the package needs, and compares the two; with a Windows build folder (the Qt-free MinGW tree of
# tools/wine_run.sh) the same for the command line's zip, and with the window's MinGW tree (of
# tools/wine_window_check.sh) for the setup program, the portable zip and both MSI packages. On a
# difference it shows where: diffoscope when installed, else the differing members with `cmp -l`.
#   tools/reproducible_check.sh [BUILD_DIR [WINDOWS_BUILD_DIR [WINDOW_TREE]]]
#   (default: build, none, none)
# Exit 0: identical; 1: a difference or a failed build; 77: nothing to compare (reason printed).
set -euo pipefail
# Every tree made here compiles for real: a compiler cache would hand the second tree the first
# one's objects and prove nothing.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
cd "$(dirname "$0")/.."
source_dir=$PWD

build=$(realpath "${1:-build}")
win_build=${2:+$(realpath "$2")}
window_tree=${3:+$(realpath "$3")}

skip() {
  echo "reproducible check skipped: $*"
  exit 77
}
cached() {  # cached BUILD_DIR NAME: a value of the folder's CMake cache
  sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"
}

[ -f "$build/CPackConfig.cmake" ] || skip "$build is no configured build folder"
command -v dpkg-deb >/dev/null || skip "dpkg-deb is missing (tools/ensure_deps.sh installs it)"
epoch=$(cached "$build" QUORVEX_SOURCE_DATE_EPOCH)
[ -n "$epoch" ] || skip "$build was configured before builds stood for a commit's time"

work=$(mktemp -d /tmp/quorvex-reproducible-XXXXXX)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

# Unpacks a .deb, a .zip or an MSI's tables and streams into a folder (one folder per archive
# member for a .deb); anything else is copied.
unpack() {
  local file=$1 into=$2
  mkdir -p "$into"
  case "$file" in
    *.deb)
      (cd "$into" && ar xo "$file")
      for tarball in "$into"/*.tar.*; do
        mkdir -p "$tarball.d"
        tar -xf "$tarball" -C "$tarball.d"
      done
      ;;
    *.zip) (cd "$into" && cmake -E tar xf "$file") ;;
    *.msi) msidump -t -s -d "$into" "$file" >/dev/null ;;
    # An installer is compared as it stands.
    *) cp "$file" "$into/" ;;
  esac
}

# compare WHAT FIRST SECOND: 0 when the files are the same bytes, else shows where they differ.
compare() {
  local what=$1 first=$2 second=$3
  if cmp -s "$first" "$second"; then
    echo "ok: $what: two builds give the same bytes ($(sha256sum "$first" | cut -c1-16)...)"
    return 0
  fi
  echo "FAILED: $what: the two builds differ" >&2
  if command -v diffoscope >/dev/null; then
    diffoscope --text - "$first" "$second" | head -n 200 >&2 || true
    return 1
  fi
  local a="$work/diff/a" b="$work/diff/b"
  rm -rf "$work/diff"
  unpack "$first" "$a"
  unpack "$second" "$b"
  # Names and sizes first, then the bytes of each file that differs (the first few positions).
  # (Folders are left out: unpacking here gives them the time of unpacking.)
  diff <(cd "$a" && find . -type f -printf '%p %s %T@ %m\n' | sort) \
    <(cd "$b" && find . -type f -printf '%p %s %T@ %m\n' | sort) >&2 || true
  (cd "$a" && find . -type f | sort) | while read -r member; do
    if [ -f "$b/$member" ] && ! cmp -s "$a/$member" "$b/$member"; then
      echo "  $member differs ($(cmp -l "$a/$member" "$b/$member" | wc -l) bytes); first:" >&2
      cmp -l "$a/$member" "$b/$member" | head -n 8 | sed 's/^/    /' >&2
    fi
  done
  return 1
}

# A second tree configured as the first (generator, build type, install prefix, maintainer), in
# a folder of another name, given the first one's time.
second_tree() {
  local first=$1 second=$2
  shift 2
  local args=(-G "$(cached "$first" CMAKE_GENERATOR)"
    -DCMAKE_BUILD_TYPE="$(cached "$first" CMAKE_BUILD_TYPE)"
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)
  local name
  for name in CMAKE_INSTALL_PREFIX CMAKE_TOOLCHAIN_FILE QT_CHAINLOAD_TOOLCHAIN_FILE \
    QUORVEX_PACKAGE_MAINTAINER CMAKE_CXX_FLAGS QUORVEX_WITHOUT_QT CMAKE_CXX_COMPILER; do
    local value
    value=$(cached "$first" "$name")
    [ -z "$value" ] || args+=("-D$name=$value")
  done
  # The first tree's own time: trees configured at different commits stand for different times.
  SOURCE_DATE_EPOCH=$(cached "$first" QUORVEX_SOURCE_DATE_EPOCH) \
    cmake -S "$source_dir" -B "$second" "${args[@]}" "$@" >/dev/null
}

status=0

# --- the Debian package ----------------------------------------------------------------------
deb_targets=(quorvex quorvex-cli quorvex-cardsim quorvex_print quorvex_packaging_files)
first="$build"
if [ -n "$(cached "$build" CMAKE_CXX_COMPILER_LAUNCHER)" ]; then
  # A tree built through the compiler cache names its sources as the cache rewrote them, relative
  # to the build folder (tools/compiler_cache.sh); a compiler run for real names them as
  # -ffile-prefix-map maps them. The programs are the same but their debug information, and so
  # the build-id the package keeps, is not. The package is made as a release makes it: from a
  # tree compiled for real, here in a folder of its own beside the second one.
  first="$work/first-tree"
  second_tree "$build" "$first"
  started=$(date +%s)
  cmake --build "$first" -j "$(nproc)" --target "${deb_targets[@]}" >"$work/build.log" ||
    { tail -n 40 "$work/build.log" >&2; exit 1; }
  echo "  the first tree ($first) built for real in $(($(date +%s) - started)) s: $build went through the compiler cache"
else
  cmake --build "$build" -j "$(nproc)" --target "${deb_targets[@]}" >/dev/null
fi
(cd "$work" && cpack --config "$first/CPackConfig.cmake" -G DEB -B "$work/first") \
  >"$work/cpack-first.log" 2>&1 || { cat "$work/cpack-first.log" >&2; exit 1; }
second_tree "$build" "$work/second-tree"
started=$(date +%s)
cmake --build "$work/second-tree" -j "$(nproc)" --target "${deb_targets[@]}" >"$work/build.log" ||
  { tail -n 40 "$work/build.log" >&2; exit 1; }
echo "  the second tree ($work/second-tree) built in $(($(date +%s) - started)) s"
(cd "$work" && cpack --config "$work/second-tree/CPackConfig.cmake" -G DEB -B "$work/second") \
  >"$work/cpack-second.log" 2>&1 || { cat "$work/cpack-second.log" >&2; exit 1; }
deb=$(cd "$work/first" && ls ./*.deb)
compare "$(basename "$deb")" "$work/first/$deb" "$work/second/$deb" || status=1

# No build folder, in either tree, in any file the package installs.
mkdir -p "$work/tree"
dpkg-deb -x "$work/first/$deb" "$work/tree"
if grep -rlaF -e "$build" -e "$first" -e "$work/second-tree" -e "$source_dir" "$work/tree" >"$work/paths"; then
  echo "FAILED: build or source folder named in: $(tr '\n' ' ' <"$work/paths")" >&2
  status=1
else
  echo "ok: no build or source folder in any file of the package"
fi

# --- the command line's zip for Windows --------------------------------------------------------
if [ -n "$win_build" ]; then
  if [ ! -f "$win_build/CPackConfig.cmake" ]; then
    echo "  no Windows zip compared: $win_build is no configured build folder"
  else
    cmake --build "$win_build" -j "$(nproc)" --target quorvex-cli >/dev/null
    (cd "$work" && cpack --config "$win_build/CPackConfig.cmake" -G ZIP -B "$work/win-first") \
      >"$work/cpack-win-first.log" 2>&1 || { cat "$work/cpack-win-first.log" >&2; exit 1; }
    second_tree "$win_build" "$work/win-second-tree"
    started=$(date +%s)
    cmake --build "$work/win-second-tree" -j "$(nproc)" --target quorvex-cli >"$work/build.log" ||
      { tail -n 40 "$work/build.log" >&2; exit 1; }
    echo "  the second Windows tree built in $(($(date +%s) - started)) s"
    (cd "$work" &&
      cpack --config "$work/win-second-tree/CPackConfig.cmake" -G ZIP -B "$work/win-second") \
      >"$work/cpack-win-second.log" 2>&1 || { cat "$work/cpack-win-second.log" >&2; exit 1; }
    zip=$(cd "$work/win-first" && ls ./*.zip)
    compare "$(basename "$zip")" "$work/win-first/$zip" "$work/win-second/$zip" || status=1
  fi
fi

# --- the window for Windows: setup program, portable zip, MSI packages ----------------------------
# windows_downloads TREE INTO: the four downloads of the window's tree, made into INTO.
windows_downloads() {
  cmake --build "$1" -j "$(nproc)" --target quorvex quorvex-cli >"$work/build.log" ||
    { tail -n 40 "$work/build.log" >&2; exit 1; }
  (cd "$work" && cpack --config "$1/CPackConfig.cmake" -G "NSIS;ZIP" -B "$2") \
    >"$work/cpack-window.log" 2>&1 || { cat "$work/cpack-window.log" >&2; exit 1; }
  tools/make_msi.sh "$1" "$2" >/dev/null
}
if [ -n "$window_tree" ]; then
  if [ ! -f "$window_tree/CPackConfig.cmake" ]; then
    echo "  no Windows installers compared: $window_tree is no configured build folder"
  else
    windows_downloads "$window_tree" "$work/window-first"
    second_tree "$window_tree" "$work/window-second-tree"
    started=$(date +%s)
    windows_downloads "$work/window-second-tree" "$work/window-second"
    echo "  the second tree of the window for Windows built in $(($(date +%s) - started)) s"
    for file in "$work/window-first"/*.exe "$work/window-first"/*.zip "$work/window-first"/*.msi; do
      compare "$(basename "$file")" "$file" "$work/window-second/$(basename "$file")" || status=1
    done
  fi
fi

[ "$status" -eq 0 ] && echo "reproducible: all identical" || echo "reproducible: FAILED" >&2
exit "$status"
