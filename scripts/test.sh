#!/usr/bin/env bash
# Runs every test: installs what is missing, builds both architectures (so that
# neither can rot) and runs CTest under Wine on an X display (a private Xvfb when
# none is set) for every architecture this machine can run: i686 and x86_64, or
# x86_64 alone where 32-bit code does not execute. VANTREL_ARCH=i686|x86_64 forces
# one. Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
source "$root/scripts/arch.sh"
source "$root/scripts/display.sh"
arches=$(vantrel_runnable_arches)
if [ "$arches" = x86_64 ] && [ -z "${VANTREL_ARCH:-}" ]; then
  echo "This machine cannot run 32-bit code: building i686 and x86_64, testing x86_64 only."
else
  echo "Building i686 and x86_64, testing $arches."
fi
vantrel_ensure_display

# The first runnable tree draws the artwork; the other copies it.
first=${arches%% *}
first_preset=$(vantrel_preset "$first")
"$root/scripts/build.sh" "$first_preset"
for arch in i686 x86_64; do
  [ "$arch" = "$first" ] && continue
  "$root/scripts/build.sh" "$(vantrel_preset "$arch")" "$root/build/$first_preset/res/art"
done

cd "$root"
failed=()
for arch in $arches; do
  echo "== Tests on $arch =="
  ctest --preset "$(vantrel_preset "$arch")" "$@" || failed+=("$arch")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Tests failed on: ${failed[*]}"
  exit 1
fi
