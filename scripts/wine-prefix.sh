#!/usr/bin/env bash
# start [SECOND_PREFIX]: create the project-local prefix when it is missing and keep
#        one wineserver alive for the whole test run (each test program then starts
#        faster, and a started service is not ended when its last client leaves).
#        A missing SECOND_PREFIX is made a copy of the fresh one (a copy takes a
#        second, a prefix of its own 10-15);
# stop:  end that wineserver and every Windows process of the prefix.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

case "${1:-start}" in
  start)
    # Start from no server at all: one left from an earlier run may persist forever
    # or still be shutting down, and either would refuse the persistent start.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      echo "Creating Wine prefix $WINEPREFIX ($WINEARCH)"
      # A 64-bit prefix complains about syswow64 where 32-bit Wine cannot run.
      "$VANTREL_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
    fi
    if [ ! -f "$WINEPREFIX/.vantrel-configured" ]; then
      # No window manager runs under Xvfb: unmanaged windows spare every hide and
      # destroy a two-second wait for one.
      "$VANTREL_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
      touch "$WINEPREFIX/.vantrel-configured"
    fi
    # Let the server of the set-up steps end (it writes the registry files then),
    # then keep one alive for the whole run. Daemons started here must not inherit
    # the caller's output: CTest would wait for them to close it.
    wineserver -w 2>/dev/null || true
    second="${2:-}"
    if [ -n "$second" ] && [ ! -f "$second/system.reg" ]; then
      rm -rf "$second"
      cp -a "$WINEPREFIX" "$second"
    fi
    wineserver -p </dev/null >/dev/null 2>&1
    # Make sure the server answers before the first test program starts.
    "$VANTREL_WINE" cmd /c exit 0 </dev/null >/dev/null 2>&1
    # Keep the desktop in use for the whole run: otherwise Wine ends its process
    # between programs, and the next program to show a window starts a new one
    # that holds that test's output open (CTest waits for it).
    keeper="$VANTREL_BUILD_DIR/desktop_keeper.exe"
    if [ -f "$keeper" ]; then
      "$VANTREL_WINE" "$keeper" </dev/null >/dev/null 2>&1 &
    fi
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
