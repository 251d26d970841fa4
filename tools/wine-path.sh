# Sourced by the scripts that run Wine. Where no 32-bit x86 code runs natively (tools/wine-arch),
# the wine command (and wineboot, which calls wine-stable) must start with Wine's 64-bit loader:
# the shims in tools/wine64 come first on PATH then. They start the loader of the folder in
# ROUTELARK_WINE_LOADERS: under emulation a copy that runs 32-bit programs through the emulator,
# so that one prefix and one command serve the x86_64 tests and the shipped i686 program alike.
wine_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROUTELARK_WINE_ARCH_FOUND=$("$wine_tools/wine-arch")
if [ "$ROUTELARK_WINE_ARCH_FOUND" != i686 ]; then
    case ":$PATH:" in
        *":$wine_tools/wine64:"*) ;;
        *) export PATH=$wine_tools/wine64:$PATH ;;
    esac
    ROUTELARK_WINE_LOADERS=$("$wine_tools/wine-arch" --loaders)
    export ROUTELARK_WINE_LOADERS
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
