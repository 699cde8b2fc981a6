#!/usr/bin/env bash
# Builds the Debian package from a build folder, lints it (no lintian tag at all, info and
# pedantic ones included), installs it with apt, checks each installed program's hardening
# (hardening-check), runs the installed programs as an ordinary user and as root, and purges it
# again. That two builds give the same bytes is tools/reproducible_check.sh's, which CI runs after
# ./test.sh and tools/release.sh before it makes a release.
#   tools/package_check.sh [BUILD_DIR]     (default: build)
# Installs system-wide, so it needs root; exits 77 with the reason where it cannot run. Whatever
# happens, a package it installed is purged before it ends.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
passed=0
failed=0

skip() {
  echo "package check skipped: $*"
  echo "package: 0 passed, 0 failed, 1 skipped"
  exit 77
}
pass() {
  echo "ok: $*"
  passed=$((passed + 1))
}
fail() {
  echo "FAILED: $*" >&2
  failed=$((failed + 1))
}

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in apt-get dpkg-deb cpack lintian desktop-file-validate appstreamcli man xvfb-run setpriv \
  hardening-check update-mime-database; do
  command -v "$tool" >/dev/null || skip "$tool is missing (tools/ensure_deps.sh installs it)"
done
# A quorvex installed before must stay as it was: this check would purge it.
if dpkg-query -W -f='${Status}' quorvex 2>/dev/null | grep -q 'installed'; then
  skip "a quorvex package is installed on this machine already"
fi
[ -f "$build/CPackConfig.cmake" ] || skip "$build is no configured build folder"
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
[ "$prefix" = /usr ] || skip "$build installs into $prefix; the package needs -DCMAKE_INSTALL_PREFIX=/usr"

work=$(mktemp -d)
chmod 711 "$work"  # the unprivileged run must reach its HOME inside
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    apt-get -o DPkg::Lock::Timeout=900 purge -y -qq quorvex >/dev/null 2>&1 ||
      dpkg --purge quorvex >/dev/null 2>&1 || echo "could not purge quorvex" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- build -----------------------------------------------------------------------------------
cmake --build "$build" -j "$(nproc)" >/dev/null
(cd "$work" && cpack --config "$OLDPWD/$build/CPackConfig.cmake" -G DEB -B "$work/out") \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$work/out/quorvex_${version}_amd64.deb"
if [ -f "$deb" ]; then
  pass "built $(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
else
  ls "$work/out" >&2
  fail "no $(basename "$deb")"
  exit 1
fi

# --- lint ------------------------------------------------------------------------------------
# Every tag counts, down to the informational and pedantic ones.
lintian_options=(--display-info --pedantic --fail-on error,warning,info,pedantic)
echo "lintian ${lintian_options[*]}:"
# Tags come on standard output; standard error has lintian's own notes (such as running as root).
if lintian "${lintian_options[@]}" "$deb" >"$work/lintian.log" 2>"$work/lintian.err" &&
  ! [ -s "$work/lintian.log" ]; then
  pass "lintian reports no tag"
else
  sed 's/^/  /' "$work/lintian.log" "$work/lintian.err"
  fail "lintian reports tags"
fi

# --- contents --------------------------------------------------------------------------------
dpkg-deb -f "$deb" Package Version Architecture Section Maintainer Depends | sed 's/^/  /'
for field in Depends Section Maintainer Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "control field $field is empty"
done
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt libraries"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./|/|' | sort >"$work/files"
missing=0
for file in /usr/bin/quorvex /usr/bin/quorvex-cardsim \
  /usr/share/applications/org.quorvex.quorvex.desktop \
  /usr/share/mime/packages/org.quorvex.quorvex.xml \
  /usr/share/metainfo/org.quorvex.quorvex.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/quorvex.svg \
  /usr/share/icons/hicolor/48x48/apps/quorvex.png \
  /usr/share/icons/hicolor/256x256/apps/quorvex.png \
  /usr/share/man/man1/quorvex.1.gz /usr/share/man/man1/quorvex-cardsim.1.gz \
  /usr/share/doc/quorvex/copyright /usr/share/doc/quorvex/changelog.gz \
  $([ -f cli/CMakeLists.txt ] && echo /usr/bin/quorvex-cli /usr/share/man/man1/quorvex-cli.1.gz); do
  grep -qx "$file" "$work/files" || { fail "the package lacks $file"; missing=1; }
done
if grep -v '^/usr\(/\|$\)' "$work/files" | grep -q .; then
  fail "files outside /usr: $(grep -v '^/usr\(/\|$\)' "$work/files" | tr '\n' ' ')"
  missing=1
fi
[ "$missing" = 1 ] || pass "file list ($(wc -l <"$work/files") files)"

mkdir "$work/tree"
dpkg-deb -x "$deb" "$work/tree"
# The .KFG file type: the database made from the package's file names it for both cases.
mkdir -p "$work/mime/packages"
cp "$work/tree/usr/share/mime/packages/org.quorvex.quorvex.xml" "$work/mime/packages/"
if update-mime-database "$work/mime" 2>"$work/mime.log" &&
  grep -qx 'application/x-quorvex-configuration:\*\.kfg' <(cut -d: -f2- "$work/mime/globs2") &&
  grep -q 'MimeType=application/x-quorvex-configuration;' \
    "$work/tree/usr/share/applications/org.quorvex.quorvex.desktop"; then
  pass "the .KFG type: mime database and desktop entry"
else
  cat "$work/mime.log" >&2
  fail "the .KFG type"
fi
desktop-file-validate "$work/tree/usr/share/applications/org.quorvex.quorvex.desktop" &&
  appstreamcli validate --no-net "$work/tree/usr/share/metainfo/org.quorvex.quorvex.metainfo.xml" \
    >"$work/appstream.log" 2>&1 && pass "desktop entry and metainfo validate" ||
  { cat "$work/appstream.log" >&2; fail "desktop entry or metainfo"; }

# --- install ---------------------------------------------------------------------------------
installed=yes
if apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "$deb" \
  >"$work/apt.log" 2>&1; then
  pass "installed with apt"
else
  cat "$work/apt.log" >&2
  fail "apt-get install"
  exit 1
fi

# Every program and the print module as installed: stack protector, fortified functions, read-only
# relocations, immediate binding, PIE. Not the control-flow mark: the code is compiled with
# -fcf-protection, but the linker marks a program only when every object in it is, and Debian 12's
# C start files (crt1.o, crti.o) are not, so no program on it carries the mark, /usr/bin/ls neither.
for binary in $(grep -E '^/usr/bin/|\.so$' "$work/files"); do
  if hardening-check --nocfprotection "$binary" >"$work/hardening.log" 2>&1; then
    pass "hardening-check $binary"
  else
    sed 's/^/  /' "$work/hardening.log"
    fail "hardening-check $binary"
  fi
done

# Starts the installed program on a virtual display as `user` with HOME=`home`, saving a picture
# of its window to `shot`; the window closes itself once painted.
run_installed() {
  local user=$1 home=$2 shot=$3
  local drop=()
  [ "$user" = root ] || drop=(setpriv --reuid="$user" --regid="$user" --clear-groups)
  # -ac: the dropped user cannot read the server's authority file. The environment is the
  # caller's with HOME replaced: DISPLAY must come through, the test suite's platform must not.
  timeout 120 xvfb-run -a -s "-screen 0 1024x768x24 -ac -nolisten tcp" \
    "${drop[@]}" env -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u XAUTHORITY -u XDG_RUNTIME_DIR \
    HOME="$home" QUORVEX_SCREENSHOT="$shot" QUORVEX_COM_DIR="$home/ports" /usr/bin/quorvex \
    >"$work/run.log" 2>&1
}

for user in 65534 root; do
  touch "$work/before-run"
  home=$(mktemp -d "$work/home-$user-XXXXXX")
  chown "$user:$user" "$home" 2>/dev/null || chown "$user" "$home"
  if run_installed "$user" "$home" "$home/screenshot.png"; then
    [ -s "$home/screenshot.png" ] && pass "as $user: the picture is produced" ||
      fail "as $user: no picture ($(cat "$work/run.log"))"
    settings="$home/.config/quorvex/quorvex.ini"
    if [ -f "$settings" ] && grep -qi '^\[Main\]' "$settings"; then
      pass "as $user: settings written to \$HOME/.config/quorvex/quorvex.ini"
      echo "  wrote: $(cd "$home" && find . -mindepth 1 -printf '%M %u %p\n' | sort -k3 | tr '\n' ';')"
    else
      fail "as $user: no settings under $home/.config/quorvex ($(cat "$work/run.log"))"
    fi
    mode=$(stat -c %a "$home/.config/quorvex" 2>/dev/null || echo none)
    [ "$mode" = 700 ] || fail "as $user: the settings folder has mode $mode, not 700"
  else
    fail "as $user: the installed quorvex did not end cleanly: $(cat "$work/run.log")"
  fi
  written=$(find /usr/bin -newer "$work/before-run" -print)
  if [ -e /usr/bin/quorvex.ini ] || [ -n "$written" ]; then
    fail "as $user: written into /usr/bin: $written"
  else
    pass "as $user: nothing written into /usr/bin"
  fi
done

out=$(/usr/bin/quorvex --version) && [ "$out" = "quorvex $version" ] &&
  pass "quorvex --version: $out" || fail "quorvex --version printed: $out"
/usr/bin/quorvex-cardsim --help | grep -q '^Usage: quorvex-cardsim' &&
  pass "quorvex-cardsim --help" || fail "quorvex-cardsim --help"
if [ -x /usr/bin/quorvex-cli ]; then
  /usr/bin/quorvex-cli --help >/dev/null && pass "quorvex-cli --help" || fail "quorvex-cli --help"
fi
for page in $(grep '^/usr/share/man/.*\.gz$' "$work/files"); do
  if warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) && [ -z "$warnings" ]; then
    pass "man -l $(basename "$page")"
  else
    fail "man -l $page: $warnings"
  fi
done

# --- purge -----------------------------------------------------------------------------------
if apt-get -o DPkg::Lock::Timeout=900 purge -y -qq quorvex >"$work/apt.log" 2>&1; then
  installed=no
  left=$( (cat "$work/files"; echo /usr/share/doc/quorvex) |
    while read -r f; do if [ -e "$f" ]; then echo "$f"; fi; done)
  [ -z "$left" ] && pass "purged, nothing left in /usr" || fail "left after purging: $left"
else
  cat "$work/apt.log" >&2
  fail "apt-get purge"
fi

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
