#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, and runs CTest under Wine on
# an X display (a private Xvfb when none is set). Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
source "$root/scripts/display.sh"
vantrel_ensure_display
"$root/scripts/build.sh" default
cd "$root"
ctest --preset default "$@"
