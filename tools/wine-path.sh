# Sourced by the scripts that run Wine. On a machine that runs no 32-bit x86 code, the wine
# command (and wineboot, which calls wine-stable) must use Wine's 64-bit loader: the shims in
# tools/wine64 come first on PATH then.
if [ "$("$(dirname "${BASH_SOURCE[0]}")/wine-arch")" = x86_64 ]; then
    case ":$PATH:" in
        *":$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:"*) ;;
        *) PATH=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64:$PATH ;;
    esac
    export PATH
fi
