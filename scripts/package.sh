#!/usr/bin/env bash
# Builds the stripped release binaries of both architectures and gathers the files a
# Windows machine needs: build/release/Vantrel (x86, for 32-bit Windows) and
# build/release-x64/Vantrel (x64, for 64-bit Windows), each with vantrel.exe, its
# update.dll, the defrag service and two small scripts that register and start, and
# remove the service (run them as administrator); beside each, Vantrel-check with the
# check for a real Windows machine (tests/windows). Then builds an installer of each
# set (build/release/Vantrel_Setup_x86.exe, build/release-x64/Vantrel_Setup_x64.exe)
# and lays out what the update server serves in build/updates: the x86 installer and
# its manifest under VantrelUpdates/, the x64 ones under x64/VantrelUpdates/. A
# manifest's first line is the version, its second the installer's SHA-256.
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
  cp "$root/build/$preset/app/vantrel.exe" "$root/build/$preset/updatedll/update.dll" \
     "$root/build/$preset/defragsvc/defragsvc.exe" "$out/"
  printf '@echo off\r\ncd /d "%%~dp0"\r\ndefragsvc.exe --install && defragsvc.exe --start\r\n' >"$out/install-service.cmd"
  printf '@echo off\r\ncd /d "%%~dp0"\r\ndefragsvc.exe --uninstall\r\n' >"$out/remove-service.cmd"
  echo "Installable files ($preset): $out"
  ls -l "$out"
  check="$root/build/$preset/Vantrel-check"
  rm -rf "$check"
  mkdir -p "$check"
  cp "$root/build/$preset/tests/windows/servicecheck.exe" "$root/tests/windows/Check-Vantrel.ps1" \
     "$root/tests/windows/check-vantrel.cmd" "$check/"
  echo "The check for a real Windows machine ($preset): $check"
done

# Installers and the update server's files.
version=$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
updates="$root/build/updates"
rm -rf "$updates"
for preset in release release-x64; do
  if [ "$preset" = release ]; then arch=x86; served="$updates/VantrelUpdates"; else arch=x64; served="$updates/x64/VantrelUpdates"; fi
  setup="$root/build/$preset/Vantrel_Setup_$arch.exe"
  makensis -V2 -DARCH=$arch -DVERSION="$version" -DSOURCE="$root/build/$preset/Vantrel" \
    -DOUTFILE="$setup" "$root/installer/vantrel.nsi"
  mkdir -p "$served"
  cp "$setup" "$served/Vantrel.exe"
  printf '%s\r\n%s\r\n' "$version" "$(sha256sum "$setup" | cut -d' ' -f1)" >"$served/checkupdate.ini"
  echo "Installer ($arch): $setup ($(stat -c %s "$setup") bytes)"
done
echo "Update server files (serve build/updates as the server's root):"
find "$updates" -type f | sort
