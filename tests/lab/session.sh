# Virtual display and Wine server for a session inside the lab's client namespace (sourced by
# tools/test.sh and tools/run.sh). The Wine server must start here: the helper processes it starts
# (winedevice, which sends the ICMP echoes) live in the namespace where it started.

# session_start PREFIX LOG_DIR [SCREEN]: exports DISPLAY and the Wine environment, starts Xvfb on a free
# display, ends any Wine server of PREFIX left from elsewhere, starts a persistent one here and
# brings the prefix up (the first time this creates it, about 10 s).
session_start() {
    local prefix=$1 logs=$2 screen=${3:-1280x1024x24} tries
    . "$(dirname "${BASH_SOURCE[0]}")/../../tools/wine-path.sh"
    mkdir -p "$logs"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # -displayfd picks the first free display number and writes it once the server listens.
    : >"$logs/xvfb.display"
    Xvfb -nolisten tcp -screen 0 "$screen" -displayfd 3 3>"$logs/xvfb.display" >"$logs/xvfb.log" 2>&1 &
    SESSION_XVFB=$!
    for ((tries = 200; tries > 0; tries--)); do
        grep -q '^[0-9]' "$logs/xvfb.display" && break
        kill -0 "$SESSION_XVFB" 2>/dev/null || { cat "$logs/xvfb.log" >&2; return 1; }
        sleep 0.05
    done
    [ "$tries" -gt 0 ] || { echo "session: Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$logs/xvfb.display")
    # A server of this prefix started outside the lab would run our programs' network there.
    if [ -d "$prefix" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    wine_prefix_fits "$prefix"
    mkdir -p "$prefix"
    wineserver -p
    # From the root: until the prefix has the clone as its drive R: (below), a working folder in
    # a deep clone is a Windows path past MAX_PATH (Z:\...), and Wine's start-up crashes on it.
    (cd / && wineboot -i) >"$logs/wineboot.log" 2>&1 || { cat "$logs/wineboot.log" >&2; return 1; }
    wine_prefix_drive "$prefix"
    # Windows live inside one virtual desktop window: without a window manager on the
    # display, Wine would wait up to 2 s for each top-level window it hides.
    if [ ! -f "$prefix/.routelark-desktop" ]; then
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >>"$logs/wineboot.log" 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${screen%x*}" /f \
            >>"$logs/wineboot.log" 2>&1
        touch "$prefix/.routelark-desktop"
        # The processes wineboot started know nothing of the desktop yet: start afresh.
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        wineserver -p
    fi
}

# session_stop: ends the Wine server and the display; quiet.
session_stop() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "${SESSION_XVFB:-}" ]; then
        kill "$SESSION_XVFB" 2>/dev/null || true
        wait "$SESSION_XVFB" 2>/dev/null || true
        SESSION_XVFB=
    fi
}
