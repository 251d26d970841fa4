# The window probe as a coprocess (sourced by the scripts that read the real program's windows
# from outside): window_probe.exe reads commands and answers each with lines ending in ".".
#   probe LINE...     the answers to the lines, in $answer (the probe starts at the first call)
#   probe_close       ends the probe, if it runs
# Set PROBE_EXE to the probe's path before the first call.
PROBE_PID=

probe() {
    if [ -z "$PROBE_PID" ]; then
        coproc PROBE { exec wine "$PROBE_EXE" 2>/dev/null; }
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
