#!/usr/bin/env bash
# Runs one Windows program under the Wine prefix of its build tree and passes its
# exit code on. Without VANTREL_BUILD_DIR the tree is the nearest folder above the
# program that holds a "wine-arch" file (so build/x64/... runs under 64-bit Wine).
set -euo pipefail
if [ -z "${VANTREL_BUILD_DIR:-}" ] && [ -f "${1:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/wine-arch" ]; do
    dir=$(dirname "$dir")
  done
  [ -f "$dir/wine-arch" ] && export VANTREL_BUILD_DIR="$dir"
fi
source "$(dirname "$0")/wine-env.sh"
exec "$VANTREL_WINE" "$@"
