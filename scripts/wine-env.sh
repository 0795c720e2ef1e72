# Sourced by the scripts that run Windows programs: the project-local Wine prefix
# of one build tree (never the user's ~/.wine), quiet, without the Mono and Gecko
# installers, and the Wine flavour of that tree's architecture.
#
# The build tree is $VANTREL_BUILD_DIR (build/default when unset); CMake writes its
# flavour (win32 or win64) into the tree's "wine-arch" file.
: "${VANTREL_BUILD_DIR:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/default}"
export VANTREL_BUILD_DIR
if [ -z "${VANTREL_WINE_ARCH:-}" ]; then
  VANTREL_WINE_ARCH=$(cat "$VANTREL_BUILD_DIR/wine-arch" 2>/dev/null || echo win32)
fi
export VANTREL_WINE_ARCH
export WINEARCH="$VANTREL_WINE_ARCH"
export WINEPREFIX="${WINEPREFIX:-$VANTREL_BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Debian's "wine" wrapper always prefers the 32-bit loader, which a 64-bit prefix
# cannot use (and some machines cannot execute at all): name the loader directly.
if [ "$VANTREL_WINE_ARCH" = win64 ]; then
  VANTREL_WINE=/usr/lib/wine/wine64
  export WINELOADER=/usr/lib/wine/wine64
else
  VANTREL_WINE=/usr/lib/wine/wine
fi
export VANTREL_WINE
