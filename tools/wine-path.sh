# Sourced by the scripts that run Wine. On a machine that runs no 32-bit x86 code, the wine
# command (and wineboot, which calls wine-stable) must use Wine's 64-bit loader: the shims in
# tools/wine64 come first on PATH then.
wine_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ "$("$wine_tools/wine-arch")" = x86_64 ]; then
    case ":$PATH:" in
        *":$wine_tools/wine64:"*) ;;
        *) export PATH=$wine_tools/wine64:$PATH ;;
    esac
fi
unset wine_tools
