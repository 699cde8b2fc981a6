# shellcheck shell=bash
# Sourced by tools/wine_window_check.sh, whose variables, work folder and helpers (check, fail,
# wait_for, the Wine environment) it uses: what Windows reads of the two executables before they
# run.
# --- 1. what Windows reads of quorvex.exe before it runs ----------------------------------------
echo "wine_window_check: quorvex.exe's resources:"
check "GUI subsystem (no console beside the window)" \
  bash -c "x86_64-w64-mingw32-objdump -p '${exe}' | grep -q 'Subsystem.*Windows GUI'"
wrestool -l "${exe}" >"${work}/resources"
check "an icon" grep -q -- '--type=14' "${work}/resources"
check "a version resource" grep -q -- '--type=16' "${work}/resources"
wrestool -x -R --type=24 "${exe}" >"${work}/manifest" 2>/dev/null || true
for setting in 'PerMonitorV2' 'Microsoft.Windows.Common-Controls' '>UTF-8<'; do
  check "manifest: ${setting}" grep -qF -- "${setting}" "${work}/manifest"
done
# has_flags HEX MASK: all of MASK's bits are set in HEX.
has_flags() { (((16#$1 & $2) == $2)); }
# The functions PROGRAM imports, as "DLL function" lines (the DLL's name in capitals).
imported_functions() {
  x86_64-w64-mingw32-objdump -p "$1" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^(The |PE File)/ { inside = 0 }
    inside && /DLL Name:/ { dll = toupper($3) }
    inside && dll != "" && NF == 3 && $2 ~ /^[0-9]+$/ { print dll, $3 }'
}
for program in "${exe}" "${win_dir}/cli/quorvex-cli.exe"; do
  name=$(basename "${program}")
  flags=$(x86_64-w64-mingw32-objdump -p "${program}" | awk '/^DllCharacteristics/ { print $2 }')
  # DYNAMIC_BASE 0x40, HIGH_ENTROPY_VA 0x20, NX_COMPAT 0x100.
  check "${name}: ASLR, high-entropy ASLR and DEP (DllCharacteristics 0x${flags:-none})" \
    has_flags "${flags:-0}" 0x160
  imported_functions "${program}" >"${work}/imports-${name}"
  # The finer timer for the time of a transfer, and its return.
  for function in timeBeginPeriod timeEndPeriod; do
    check "${name}: imports ${function}" grep -qx "WINMM.DLL ${function}" "${work}/imports-${name}"
  done
done

