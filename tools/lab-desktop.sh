# The real program on a virtual display inside the lab, for scripts that use it as a user would
# (sourced by tools/run.sh and the tours; they run inside the lab's client namespace).
#   desktop_open [SCREEN]        display, Wine server, and the folder build/ as working directory;
#                                with DESKTOP_DPI set, a screen of that DPI: the prefix
#                                build/wineprefix-dpiDPI (LogPixels DPI) and a desktop as much
#                                larger; DESKTOP_SIZE is the Wine desktop's size
#   desktop_start                starts routelark.exe in a Wine desktop; sets DESKTOP_WINDOW
#                                (from the folder DESKTOP_PROGRAM_DIR, by default build/)
#   desktop_shot NAME            saves build/screenshots/NAME.png and prints its path
#   desktop_close [KEYS]         closes the window (default alt+F4); true when the exit status is 0
# Messages go to stdout prefixed with DESKTOP_SAY (default "desktop").

desktop_say() { echo "${DESKTOP_SAY:-desktop}: $*"; }

desktop_open() {
    local repo
    repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    DESKTOP_REPO=$repo
    DESKTOP_BUILD=$repo/build
    . "$repo/tests/lab/session.sh"
    trap session_stop EXIT
    local prefix=$DESKTOP_BUILD/wineprefix screen=${1:-1024x700x24}
    DESKTOP_SIZE=1024x700
    if [ -n "${DESKTOP_DPI:-}" ]; then
        prefix=$DESKTOP_BUILD/wineprefix-dpi$DESKTOP_DPI
        DESKTOP_SIZE=$((1024 * DESKTOP_DPI / 96))x$((700 * DESKTOP_DPI / 96))
        screen=${DESKTOP_SIZE}x24
    fi
    session_start "$prefix" "$DESKTOP_BUILD/logs" "$screen"
    if [ -n "${DESKTOP_DPI:-}" ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DESKTOP_DPI" /f \
            >>"$DESKTOP_BUILD/logs/wineboot.log" 2>&1
    fi
    cd "$DESKTOP_BUILD"
    mkdir -p screenshots
    DESKTOP_PROGRAM_DIR=${DESKTOP_PROGRAM_DIR:-$DESKTOP_BUILD}
    # Wine tells a batch file the program's exit status; the desktop shell around it would not.
    printf '@start /wait routelark.exe\r\n@>"%s" echo %%ERRORLEVEL%%\r\n' routelark.exit \
        >"$DESKTOP_PROGRAM_DIR/run-routelark.cmd"
}

desktop_start() {
    local tries
    rm -f "$DESKTOP_PROGRAM_DIR/routelark.exit"
    (cd "$DESKTOP_PROGRAM_DIR" &&
        exec "$DESKTOP_REPO/tools/wine-run" explorer "/desktop=Routelark,$DESKTOP_SIZE" cmd /c run-routelark.cmd) &
    DESKTOP_SHELL=$!
    DESKTOP_WINDOW=
    for ((tries = 600; tries > 0; tries--)); do
        DESKTOP_WINDOW=$(xdotool search --onlyvisible --name '^Routelark$' 2>/dev/null | head -n1) &&
            [ -n "$DESKTOP_WINDOW" ] && break
        kill -0 "$DESKTOP_SHELL" 2>/dev/null || { desktop_say "Routelark ended before its window showed" >&2; return 1; }
        sleep 0.1
    done
    [ -n "$DESKTOP_WINDOW" ] || { desktop_say "no window \"Routelark\" within 60 s" >&2; return 1; }
    sleep 1 # the window shows before its host name box takes keys
    desktop_say "window \"Routelark\" is shown"
}

desktop_shot() {
    import -window root "screenshots/$1.png"
    desktop_say "screenshot saved to $DESKTOP_BUILD/screenshots/$1.png"
}

desktop_close() {
    local tries status
    xdotool windowfocus --sync "$DESKTOP_WINDOW" key "${1:-alt+F4}" 2>/dev/null || true
    for ((tries = 200; tries > 0; tries--)); do kill -0 "$DESKTOP_SHELL" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$DESKTOP_SHELL" 2>/dev/null; then
        desktop_say "Routelark did not exit within 20 s of closing its window" >&2
        return 1
    fi
    wait "$DESKTOP_SHELL" || true
    status=$(tr -dc 0-9- 2>/dev/null <"$DESKTOP_PROGRAM_DIR/routelark.exit" || true)
    desktop_say "Routelark exited with status ${status:-unknown}"
    [ "$status" = 0 ]
}
