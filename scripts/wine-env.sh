# Sourced by the scripts that run Windows programs: the project-local Wine prefix
# (never the user's ~/.wine), quiet, without the Mono and Gecko installers.
: "${VANTREL_BUILD_DIR:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/default}"
export VANTREL_BUILD_DIR
export WINEPREFIX="${WINEPREFIX:-$VANTREL_BUILD_DIR/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
