#!/usr/bin/env bash
# Configures (once) and builds one preset: default (debug with tests) or release.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset="${1:-default}"
cd "$root"
if [ ! -f "build/$preset/CMakeCache.txt" ]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset"
