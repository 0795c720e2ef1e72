#!/usr/bin/env bash
# Runs Vantrel: installs what is missing, builds, prepares the project-local Wine
# prefix, registers the defrag service over simulated drives and starts vantrel.exe
# on $DISPLAY.
# It runs the i686 program (the one Vantrel ships) where this machine can run
# 32-bit code and the x86_64 one otherwise, and says which; VANTREL_ARCH=i686|x86_64
# forces one. Without a display it starts a private Xvfb, says so, saves a
# screenshot of the program's window to a path it prints, and ends the program.
# Arguments go to vantrel.exe (for example: -scan C).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
source "$root/scripts/arch.sh"
arches=$(vantrel_runnable_arches)
arch=${arches%% *}
preset=$(vantrel_preset "$arch")
if [ "$arch" = i686 ]; then
  echo "Running the i686 program."
else
  echo "Running the x86_64 program (this machine cannot run 32-bit code, or VANTREL_ARCH asks for it)."
fi
source "$root/scripts/display.sh"
had_display=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  had_display=0
fi
vantrel_ensure_display
"$root/scripts/build.sh" "$preset" >/dev/null
export VANTREL_BUILD_DIR="$root/build/$preset"
source "$root/scripts/wine-env.sh"
# Keeps one wineserver for the session: Wine would end a started service soon after
# its last client leaves otherwise.
"$root/scripts/wine-prefix.sh" start

build="$VANTREL_BUILD_DIR"
service="$build/defragsvc/defragsvc.exe"
if [ -f "$service" ]; then
  # Registers (or re-registers) the defrag service under the name "Vantrel", over
  # simulated drives: Wine has no volume the real engine could work on.
  "$VANTREL_WINE" "$service" --install --simulate >/dev/null 2>&1 || echo "Could not register the defrag service" >&2
fi

program="$build/app/vantrel.exe"
if [ "$had_display" -eq 1 ]; then
  exec "$VANTREL_WINE" "$program" "$@"
fi

shots="$build/screenshots"
mkdir -p "$shots"
shot="$shots/vantrel.png"
"$VANTREL_WINE" "$program" "$@" &
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
