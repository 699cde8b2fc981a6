#!/usr/bin/env bash
# Builds the static SQLite for Windows (MinGW-w64, x86_64, posix threads) that the history of
# the Windows trees links against, from Debian's own sqlite3 source of the version installed on
# this host (libsqlite3-dev), as tools/build_qt_mingw.sh builds Qt.
#
# The amalgamation (sqlite3.c) is made from the source tree with the host's compiler and tclsh,
# then compiled once with x86_64-w64-mingw32-gcc-posix into libsqlite3.a; the result lands in a
# cache outside the tree, keyed by the Debian version and the options below, and a second run
# finds it and returns at once. Two runs give the same bytes: no time stamps in the objects
# (SOURCE_DATE_EPOCH, the source's paths mapped away) nor in the archive (ar D).
#
#   tools/build_sqlite_mingw.sh          build (or find) the cache, print its prefix
#   tools/build_sqlite_mingw.sh --prefix print the prefix only, build nothing
#                                         (exit status 1 when it is not built yet)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/debian_source.sh"

triple=x86_64-w64-mingw32
deb_version=$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || true)
if [[ -z "$deb_version" ]]; then
    echo "build_sqlite_mingw: libsqlite3-dev is not installed (tools/ensure_deps.sh installs it)" >&2
    exit 2
fi
upstream=${deb_version%%-*}

# What the history needs of SQLite and what a program linked statically should not carry: no
# extension loading (no DLLs taken from a folder), no shared cache, threads on.
compile_options=(
    -O2 -DNDEBUG
    -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION=1 -DSQLITE_OMIT_SHARED_CACHE=1
    -DSQLITE_DEFAULT_WAL_SYNCHRONOUS=1 -DSQLITE_DQS=0 -DSQLITE_WIN64=1
)
options_key=$(printf '%s\n' "${compile_options[@]}" | sha256sum | cut -c1-12)

cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/quorvex
prefix=$cache_root/sqlite-$upstream-mingw64-static
stamp=$prefix/quorvex-sqlite-options
wanted="$deb_version $options_key"

if [[ -f "$stamp" && "$(cat "$stamp")" == "$wanted" ]]; then
    echo "$prefix"
    exit 0
fi
[[ "${1:-}" == "--prefix" ]] && exit 1

for tool in $triple-gcc-posix $triple-ar tclsh gcc make dpkg-source; do
    if ! command -v "$tool" > /dev/null; then
        echo "build_sqlite_mingw: $tool is missing (tools/ensure_deps.sh installs it)" >&2
        exit 2
    fi
done

started=$(date +%s)
work=$cache_root/sqlite-$upstream-mingw64-static.work
rm -rf "$work" "$prefix"
mkdir -p "$work"
debian_source_fetch "$work" sqlite3 "$deb_version"
src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name "sqlite3-*" | head -n 1)
if [[ -z "$src" ]]; then
    echo "build_sqlite_mingw: apt-get source left no source folder in $work" >&2
    exit 1
fi

# The amalgamation, made by the source's own tools on the host.
mkdir -p "$work/host"
(cd "$work/host" && "$src/configure" --disable-tcl --disable-readline > configure.log &&
    make -j 2 sqlite3.c sqlite3.h > make.log)

# One object, one archive; every path and time that could differ between runs left out.
export SOURCE_DATE_EPOCH=0
mkdir -p "$prefix/include" "$prefix/lib" "$work/obj"
$triple-gcc-posix "${compile_options[@]}" -ffile-prefix-map="$work"=. \
    -c "$work/host/sqlite3.c" -o "$work/obj/sqlite3.o"
$triple-ar rcsD "$prefix/lib/libsqlite3.a" "$work/obj/sqlite3.o"
cp "$work/host/sqlite3.h" "$prefix/include/sqlite3.h"
echo "$wanted" > "$stamp"
rm -rf "$work"

took=$(($(date +%s) - started))
echo "build_sqlite_mingw: SQLite $upstream for MinGW: this run took $took s," \
    "$(du -sh "$prefix" | cut -f1) installed in $prefix" >&2
echo "$prefix"
