# The window probe as a coprocess (sourced by the scripts that read the real program's windows
# from outside): window_probe.exe reads commands and answers each with lines ending in ".".
#   probe LINE...     the answers to the lines, in $answer (the probe starts at the first call)
#   probe_close       ends the probe, if it runs
# Set PROBE_EXE to the probe's path before the first call.
PROBE_PID=

probe() {
    if [ -z "$PROBE_PID" ]; then
        # By its Windows path where the scripts know it (tools/wine-path.sh): Wine's 64-bit loader
        # hands a 32-bit program given by a long Unix path to a starter that cannot find it.
        local exe=$PROBE_EXE
        ! declare -F windows_path >/dev/null || exe=$(windows_path "$PROBE_EXE")
        coproc PROBE { exec wine "$exe" 2>/dev/null; }
        PROBE_PID=$PROBE_PID
    fi
    local line
    answer=
    for line in "$@"; do
        printf '%s\n' "$line" >&"${PROBE[1]}"
        while IFS= read -r -t 30 line <&"${PROBE[0]}" && [ "$line" != . ]; do answer+=$line$'\n'; done
    done
}

probe_close() {
    [ -z "$PROBE_PID" ] || { exec {PROBE[1]}>&-; wait "$PROBE_PID" 2>/dev/null; }
    PROBE_PID=
}
