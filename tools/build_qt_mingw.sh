#!/usr/bin/env bash
# Builds the static Qt for Windows (MinGW-w64, x86_64, posix threads) that the
# window's Windows tree links against, from Debian's own qt6-base source of the
# Qt version installed on this host (the host's moc, uic and rcc drive the
# cross build, so the two must match).
#
# The result lands in a cache outside the tree, keyed by the Qt version and the
# options below; a second run finds it and returns at once.
#
#   tools/build_qt_mingw.sh          build (or find) the cache, print its prefix
#   tools/build_qt_mingw.sh --prefix print the prefix only, build nothing
#                                     (exit status 1 when it is not built yet)
#
# The source is fetched through a private apt configuration (its own sources
# list with a deb-src line for the suite this system already uses, its own
# state and cache folders): the system's apt sources are never touched
# (tools/debian_source.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/debian_source.sh"

jobs=${QUORVEX_QT_JOBS:-2}
host_cmake_dir=/usr/lib/x86_64-linux-gnu/cmake
triple=x86_64-w64-mingw32

# The debian version is what apt-get source asks for; the upstream part names the cache.
deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools 2>/dev/null || true)
if [[ -z "$deb_version" ]]; then
    echo "build_qt_mingw: qt6-base-dev-tools is not installed (tools/ensure_deps.sh installs it)" >&2
    exit 2
fi
qt_version=${deb_version%%+*}
qt_version=${qt_version%%-*}

# Only what the window needs. Two traps in Debian's source: it drops
# src/3rdparty/wintab (its licence), so the windows plugin needs tablet events
# off; and with OpenGL off 6.4's windows plugin does not compile, so OpenGL
# stays on (dynamic, resolved at run time). Direct2D stays on too: without it 6.4 leaves the
# DirectWrite font engine out of Gui while the windows platform and PrintSupport still call it
# (quorvex.exe did not link).
configure_options=(
    -release -static -opensource -confirm-license
    -platform linux-g++ -xplatform win32-g++
    -nomake examples -nomake tests
    -opengl dynamic
    -no-feature-tabletevent
    -no-feature-network -no-feature-sql -no-dbus -no-feature-concurrent -no-feature-xml
    -no-icu -no-glib -no-feature-vulkan
    -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre
)
options_key=$(printf '%s\n' "${configure_options[@]}" | sha256sum | cut -c1-12)

cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/quorvex
prefix=$cache_root/qt-$qt_version-mingw64-static
stamp=$prefix/quorvex-qt-options

if [[ "${1:-}" == "--prefix" ]]; then
    if [[ -f "$stamp" && "$(cat "$stamp")" == "$deb_version $options_key" ]]; then
        echo "$prefix"
        exit 0
    fi
    exit 1
fi

if [[ -f "$stamp" && "$(cat "$stamp")" == "$deb_version $options_key" ]]; then
    echo "build_qt_mingw: Qt $qt_version for MinGW already built in $prefix"
    echo "$prefix"
    exit 0
fi

for tool in $triple-g++-posix $triple-gcc-posix $triple-windres dpkg-source cmake ninja; do
    if ! command -v "$tool" > /dev/null; then
        echo "build_qt_mingw: $tool is missing (tools/ensure_deps.sh installs it)" >&2
        exit 2
    fi
done

started=$(date +%s)
work=$cache_root/qt-$qt_version-mingw64-static.work
wanted="$deb_version $options_key"

# The source, fetched through the private apt configuration, and Qt's configure run in $work/build.
fetch_and_configure() {
    debian_source_fetch "$work" qt6-base "$deb_version"
    src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "qt6-base-*" | head -n 1)
    if [[ -z "$src" ]]; then
        echo "build_qt_mingw: apt-get source left no source folder in $work" >&2
        exit 1
    fi

    cat > "$work/toolchain.cmake" << EOF
    set(CMAKE_SYSTEM_NAME Windows)
    set(CMAKE_SYSTEM_PROCESSOR x86_64)
    set(CMAKE_C_COMPILER $triple-gcc-posix)
    set(CMAKE_CXX_COMPILER $triple-g++-posix)
    set(CMAKE_RC_COMPILER $triple-windres)
    set(CMAKE_FIND_ROOT_PATH /usr/$triple)
    set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
    set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
    set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

    mkdir -p "$work/build"
    cd "$work/build"
    "$src/configure" -prefix "$prefix" "${configure_options[@]}" -- \
        -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    echo "$wanted" > "$work/quorvex-qt-options"
}

# An interrupted build (an hour of a 2-core machine) goes on where it stopped.
if [[ -f "$work/build/build.ninja" && "$(cat "$work/quorvex-qt-options" 2>/dev/null)" == "$wanted" ]]; then
    echo "build_qt_mingw: going on with the build in $work"
    cd "$work/build"
else
    rm -rf "$work" "$prefix"
    fetch_and_configure
fi
cmake --build . --parallel "$jobs"
cmake --install .
echo "$wanted" > "$stamp"
cd /
rm -rf "$work"

took=$(($(date +%s) - started))
echo "build_qt_mingw: Qt $qt_version for MinGW: this run took $((took / 60)) min $((took % 60)) s," \
    "$(du -sh "$prefix" | cut -f1) installed in $prefix"
echo "$prefix"
