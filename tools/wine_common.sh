# shellcheck shell=bash
# Sourced by tools/wine_run.sh and tools/wine_window_check.sh: their clock, the Wine environment,
# a fresh prefix with one server for the whole run, and the card's COM port mapped into it.

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Seconds since a now_ms value, with three decimals ("0.412").
seconds_since() {
  echo "$(($(now_ms) - $1))" | sed 's/^\(.\)$/0\1/; s/^\(.\)\(.\)$/0\1\2/; s/\(...\)$/.\1/; s/^\./0./'
}

# wine_environment PREFIX: the prefix, and Wine kept quiet. Wine's own messages would land in the
# programs' stderr, which the tests compare; Mono or Gecko would offer their installer dialogs.
wine_environment() {
  export WINEPREFIX="$1"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
}

# A new prefix and one server kept for the whole run, which spares every program the start of
# one of its own. Its windows go unmanaged: on Xvfb, which has no window manager, Wine otherwise
# waits 2 s for one each time a window is hidden ("wait_for_withdrawn_state ... wait timed out"),
# at every closed dialog and at quit, which no Windows user meets.
fresh_wine_prefix() {
  rm -rf "${WINEPREFIX}"
  mkdir -p "${WINEPREFIX}"
  wineserver -p >/dev/null 2>&1
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
}

# A COM number above the host's own serial ports: Wine maps those itself at every server start.
free_com_number() {
  local com=33 tty index
  for tty in /dev/ttyS*; do
    [ -e "${tty}" ] || continue
    index=${tty#/dev/ttyS}
    if [ "${index}" -ge "${com}" ]; then com=$((index + 2)); fi
  done
  echo "${com}"
}

# map_com_port N PATH: COM N is PATH under Wine (the simulator's link, whichever terminal it
# gets). Wine reads the mapping when its server starts, so the server is started anew.
map_com_port() {
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /t REG_SZ /d "$2" /f >/dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p >/dev/null 2>&1
}
