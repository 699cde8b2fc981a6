# shellcheck shell=bash
# Sourced by the scripts that configure a build tree (./test.sh, tools/run_fuzzers.sh,
# tools/wine_run.sh, tools/wine_window_check.sh): every compile of a tree configured from here on
# goes through ccache. CMake takes the launcher from these variables when it configures a tree for
# the first time; a tree configured before keeps what it has.
#
# CI clones into a new folder each run, so the hash must not depend on the folder: paths under the
# clone are rewritten relative to the build folder (base_dir), the working folder stays out of the
# hash (debug info names "." and "build" through -ffile-prefix-map, never the folder), and that
# option itself, whose value is the folder, is left out of the hash too. Its effect is the same in
# every clone.
#
# Never sourced by tools/reproducible_check.sh or tools/release.sh: their second trees must compile
# for real to show that two builds give the same bytes.
if command -v ccache >/dev/null 2>&1 && [ -z "${QUORVEX_NO_CCACHE:-}" ]; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_DIR="${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvex/ccache}"
  export CCACHE_BASEDIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
  export CCACHE_NOHASHDIR=1
  export CCACHE_IGNOREOPTIONS="-ffile-prefix-map=*"
  # Five trees of about 300 MB each with room for a few commits' worth of changes.
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-6G}"
fi
