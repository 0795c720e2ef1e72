#!/usr/bin/env bash
# build.sh PRESET [ARTWORK_FOLDER]: configures (when needed) and builds one preset
# (default, x64, release, release-x64). With ARTWORK_FOLDER the tree copies the
# artwork another tree drew instead of drawing it (its generator may be a program
# this machine cannot run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset="${1:-default}"
artwork="${2:-}"
cd "$root"
cache="build/$preset/CMakeCache.txt"
if [ ! -f "$cache" ] || ! grep -qx "VANTREL_ARTWORK_FROM:PATH=$artwork" "$cache"; then
  cmake --preset "$preset" "-DVANTREL_ARTWORK_FROM=$artwork" >/dev/null
fi
cmake --build --preset "$preset"
