#!/usr/bin/env bash
# Runs Vantrel: installs what is missing, builds, prepares the project-local Wine
# prefix, registers the stand-in defrag service and starts vantrel.exe on $DISPLAY.
# Without a display it starts a private Xvfb, says so, saves a screenshot of the
# program's window to a path it prints, and ends the program.
# Arguments go to vantrel.exe (for example: -scan C).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
source "$root/scripts/display.sh"
had_display=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  had_display=0
fi
vantrel_ensure_display
"$root/scripts/build.sh" default >/dev/null
source "$root/scripts/wine-env.sh"
"$root/scripts/wine-prefix.sh" start

build="$VANTREL_BUILD_DIR"
service="$build/defragsvc/defragsvc.exe"
if [ -f "$service" ]; then
  # Registers (or re-registers) the stand-in service under the name "Vantrel".
  wine "$service" --install >/dev/null 2>&1 || echo "Could not register the stand-in defrag service" >&2
fi

program="$build/app/vantrel.exe"
if [ "$had_display" -eq 1 ]; then
  exec wine "$program" "$@"
fi

shots="$build/screenshots"
mkdir -p "$shots"
shot="$shots/vantrel.png"
wine "$program" "$@" &
pid=$!
# Wait for the main window (its X window carries the title "Vantrel"), then let the
# splash go and the window settle.
for _ in $(seq 1 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Vantrel"' && break
  sleep 0.1
done
sleep "${VANTREL_SHOT_DELAY:-4}"
window=$(xwininfo -root -tree 2>/dev/null | awk '/"Vantrel": .* 855x599/ {print $1; exit}')
import -window "${window:-root}" "$shot"
echo "Screenshot of the program's window: $shot"
wineserver -k 2>/dev/null || true
wait "$pid" 2>/dev/null || true
