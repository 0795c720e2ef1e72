#!/usr/bin/env bash
# build.sh PRESET [ARTWORK_FOLDER] [-DNAME=VALUE ...]: configures (when needed) and
# builds one preset (default, x64, release, release-x64). With ARTWORK_FOLDER the
# tree copies the artwork another tree drew instead of drawing it (its generator
# may be a program this machine cannot run); "" draws it here. The -D settings go
# to CMake, e.g. -DVANTREL_BUILD_TESTS=OFF for a tree that builds only what ships,
# -DVANTREL_BUILD_BENCH=ON for the benchmarks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset="${1:-default}"
artwork="${2:-}"
shift $(($# < 2 ? $# : 2))
settings=("-DVANTREL_ARTWORK_FROM:PATH=$artwork" "$@")
cd "$root"
cache="build/$preset/CMakeCache.txt"
configure=0
[ -f "$cache" ] || configure=1
for setting in "${settings[@]}"; do
  name=${setting#-D}
  name=${name%%=*}
  value=${setting#*=}
  name=${name%%:*}
  grep -qE "^$name:[A-Z]+=$(printf '%s' "$value" | sed 's/[][\.*^$/]/\\&/g')\$" "$cache" 2>/dev/null || configure=1
done
if [ "$configure" -eq 1 ]; then
  cmake --preset "$preset" "${settings[@]}" >/dev/null
fi
cmake --build --preset "$preset"
