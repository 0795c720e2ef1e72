#!/usr/bin/env bash
# Builds the stripped release binaries of both architectures and gathers the files a
# Windows machine needs: build/release/Vantrel (x86, for 32-bit Windows) and
# build/release-x64/Vantrel (x64, for 64-bit Windows), each with vantrel.exe, the
# stand-in defrag service and two small scripts that register and remove the
# service (run them as administrator).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
source "$root/scripts/arch.sh"
# The artwork is drawn by the release tree whose generator this machine can run;
# the other copies it.
arches=$(vantrel_runnable_arches)
first=${arches%% *}
first_preset=$(vantrel_preset "$first" release)
"$root/scripts/build.sh" "$first_preset" >/dev/null
for arch in i686 x86_64; do
  [ "$arch" = "$first" ] && continue
  "$root/scripts/build.sh" "$(vantrel_preset "$arch" release)" "$root/build/$first_preset/res/art" >/dev/null
done

for preset in release release-x64; do
  out="$root/build/$preset/Vantrel"
  rm -rf "$out"
  mkdir -p "$out"
  cp "$root/build/$preset/app/vantrel.exe" "$root/build/$preset/defragsvc/defragsvc.exe" "$out/"
  printf '@echo off\r\ncd /d "%%~dp0"\r\ndefragsvc.exe --install\r\n' >"$out/install-service.cmd"
  printf '@echo off\r\ncd /d "%%~dp0"\r\ndefragsvc.exe --uninstall\r\n' >"$out/remove-service.cmd"
  echo "Installable files ($preset): $out"
  ls -l "$out"
done
