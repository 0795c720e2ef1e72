#!/usr/bin/env bash
# Runs every test: installs what is missing, builds, and runs CTest with as many
# suites at once as the machine has cores.
#
# - Each Windows architecture this machine can run (i686 and x86_64, or x86_64
#   alone where 32-bit code does not execute; VANTREL_ARCH=i686|x86_64 forces one)
#   gets a tree with its tests, run under Wine on an X display (a private Xvfb when
#   none is set). The first such tree draws the artwork.
# - An architecture the machine cannot run still builds what ships (vantrel.exe,
#   update.dll, defragsvc.exe) with warnings as errors, and nothing else; it copies
#   the artwork.
# - The native tree builds the portable engine and runs its tests on this machine.
#
# Compiles go through ccache (its directory lies outside the checkouts, so a fresh
# clone on the same machine starts warm). Extra arguments go to every ctest run
# (scripts/test.sh -R app).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
source "$root/scripts/arch.sh"
source "$root/scripts/display.sh"
arches=$(vantrel_runnable_arches)
if [ "$arches" = x86_64 ] && [ -z "${VANTREL_ARCH:-}" ]; then
  echo "This machine cannot run 32-bit code: testing x86_64; i686 builds what ships."
else
  echo "Testing $arches."
fi
vantrel_ensure_display
jobs=$(nproc)

first=${arches%% *}
first_preset=$(vantrel_preset "$first")
"$root/scripts/build.sh" "$first_preset" "" -DVANTREL_BUILD_TESTS=ON
for arch in i686 x86_64; do
  [ "$arch" = "$first" ] && continue
  case " $arches " in
    *" $arch "*) tests=ON ;;
    *) tests=OFF ;;
  esac
  "$root/scripts/build.sh" "$(vantrel_preset "$arch")" "$root/build/$first_preset/res/art" \
    -DVANTREL_BUILD_TESTS=$tests
done
"$root/scripts/build.sh" native

cd "$root"
failed=()
echo "== Native tests =="
ctest --preset native -j"$jobs" "$@" || failed+=(native)
for arch in $arches; do
  echo "== Tests on $arch =="
  ctest --preset "$(vantrel_preset "$arch")" -j"$jobs" "$@" || failed+=("$arch")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Tests failed on: ${failed[*]}"
  exit 1
fi
