#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when they are missing.
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev
          libbenchmark-dev locales xvfb xauth x11-apps mingw-w64 fonts-dejavu-core)
# The command line: argument parsing and JSON.
packages+=(libcli11-dev nlohmann-json3-dev)
# The log's SHA-256 of each file on Linux (Windows has its own, CNG).
packages+=(nettle-dev)
# The Windows build of the Qt-free layers run under Wine (tools/wine_run.sh): GoogleTest's
# sources to build with MinGW, and Wine itself.
packages+=(googletest wine64 wine)
# CI checks the format with Debian's clang-format (14 on Debian 12).
if [ -n "${CI:-}" ]; then packages+=(clang-format); fi
# pdftotext and pdfinfo read the exported and the printed record back in the window tests.
packages+=(poppler-utils)
# xdotool drives the real program on Xvfb in the test of close requests during a transfer.
packages+=(xdotool)
# xcb: the window watches for close requests during a transfer; the test sends them.
packages+=(libxcb1-dev)
# Device events (libudev); the Debian package and its check: dpkg-shlibdeps, file, lintian, the
# desktop entry and metainfo validators, man.
packages+=(libudev-dev dpkg-dev file lintian desktop-file-utils appstream man-db)
# The package check: hardening-check of every installed program (devscripts), and the .KFG file
# type read into a mime database (shared-mime-info).
packages+=(devscripts shared-mime-info)
# The window for Windows (tools/wine_window_check.sh): the icon made from the PNGs and the
# resources read back (icoutils), the installer (nsis). tools/build_qt_mingw.sh fetches Qt's
# source with apt-get source, which unpacks with dpkg-dev (above).
packages+=(icoutils nsis)
# The Windows Installer packages: wixl builds them, msitools' msidump and msibuild rewrite what
# wixl takes from the clock (tools/make_msi.sh).
packages+=(wixl msitools)
# The history: SQLite (Debian's library here; for the MinGW trees tools/build_sqlite_mingw.sh
# builds it from Debian's source, whose amalgamation is made with tclsh).
packages+=(libsqlite3-dev tcl)
# A device server for the tests that reach simulated cards over RFC 2217 and raw TCP.
packages+=(ser2net)
# The compiler cache every build tree but the reproducibility check's second ones goes through
# (tools/compiler_cache.sh).
packages+=(ccache)
# Extra packages named on the command line (the fuzz build wants clang and its runtime).
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, to prove that numbers never follow the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  if [ -f /etc/locale.gen ] && grep -q '^# *de_DE.UTF-8' /etc/locale.gen; then
    as_root sed -i 's/^# *de_DE.UTF-8/de_DE.UTF-8/' /etc/locale.gen
  elif ! grep -q '^de_DE.UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen >/dev/null
fi
