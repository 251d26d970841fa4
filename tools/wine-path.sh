# Sourced by the scripts that run Wine. Where no 32-bit x86 code runs natively (tools/wine-arch),
# the wine command (and wineboot, which calls wine-stable) must start with Wine's 64-bit loader:
# the shims in tools/wine64 come first on PATH then. They start the loader of the folder in
# ROUTELARK_WINE_LOADERS: under emulation a copy that runs 32-bit programs through the emulator,
# so that one prefix and one command serve the x86_64 tests and the shipped i686 program alike.
wine_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROUTELARK_CLONE=$(cd "$wine_tools/.." && pwd -P)
# The answer is handed down to the programs this shell starts (CTest starts tools/wine-run for
# each test, twice for the tests it discovers): tools/wine-arch asks Wine's loaders each time. It
# is asked again where the machine is taken for another (ROUTELARK_WINE_ARCH).
if [ -z "${ROUTELARK_WINE_ARCH_FOUND:-}" ] || [ "${ROUTELARK_WINE_ARCH_FOUND_FOR-}" != "${ROUTELARK_WINE_ARCH:-}" ]; then
    ROUTELARK_WINE_ARCH_FOUND=$("$wine_tools/wine-arch")
    ROUTELARK_WINE_ARCH_FOUND_FOR=${ROUTELARK_WINE_ARCH:-}
    ROUTELARK_WINE_LOADERS=$("$wine_tools/wine-arch" --loaders)
fi
export ROUTELARK_WINE_ARCH_FOUND ROUTELARK_WINE_ARCH_FOUND_FOR ROUTELARK_WINE_LOADERS
if [ "$ROUTELARK_WINE_ARCH_FOUND" != i686 ]; then
    case ":$PATH:" in
        *":$wine_tools/wine64:"*) ;;
        *) export PATH=$wine_tools/wine64:$PATH ;;
    esac
fi
unset wine_tools

# wine_prefix_fits PREFIX: under emulation a prefix needs the 32-bit system folder, which only a
# prefix made by the emulation's own 64-bit loader has; one made by the system's loader (before
# the emulation was set up) is removed, to be made anew at its next use.
wine_prefix_fits() {
    if [ "$ROUTELARK_WINE_ARCH_FOUND" = i686-emulated ] && [ -d "$1/drive_c" ] &&
        [ ! -f "$1/drive_c/windows/syswow64/kernel32.dll" ]; then
        rm -rf "$1"
    fi
}

# The clone as a drive of its own, R:, in each prefix of the project. Wine names a file by the
# drive whose folder holds it most closely, so every program, folder and file of the clone gets
# a short Windows path (R:\build\tests\...) however deep the clone lies. Through Z: the paths
# would grow with the clone's folder, and past MAX_PATH (260) Wine cannot start a program
# ("File not found") while calls that take MAX_PATH buffers cut the path.
#   wine_prefix_drive PREFIX   (once the prefix has its dosdevices folder)
wine_prefix_drive() {
    local link=$1/dosdevices/r:
    [ -d "$1/dosdevices" ] || return 0
    # Made only where missing or stale: tests started side by side must never see it vanish.
    [ "$(readlink "$link" 2>/dev/null)" = "$ROUTELARK_CLONE" ] || ln -sfn "$ROUTELARK_CLONE" "$link"
}

# windows_path PATH: the Windows path that Wine gives the folder or file PATH (which must exist):
# R:\... inside the clone, Z:\... elsewhere, with links resolved as Wine resolves them.
windows_path() {
    local real
    if [ -d "$1" ]; then
        real=$(cd "$1" && pwd -P)
    else
        real=$(cd "$(dirname "$1")" && pwd -P)
        real=${real%/}/$(basename "$1")
    fi
    case $real in
        "$ROUTELARK_CLONE") echo 'R:\' ;;
        "$ROUTELARK_CLONE"/*) real=${real#"$ROUTELARK_CLONE"}; echo "R:${real//\//\\}" ;;
        *) echo "Z:${real//\//\\}" ;;
    esac
}
