#!/usr/bin/env bash
# Builds the stripped release binaries and gathers the files a Windows machine needs
# into build/release/Vantrel: vantrel.exe, the stand-in defrag service and two small
# scripts that register and remove the service (run them as administrator).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" release >/dev/null
out="$root/build/release/Vantrel"
rm -rf "$out"
mkdir -p "$out"
cp "$root/build/release/app/vantrel.exe" "$root/build/release/defragsvc/defragsvc.exe" "$out/"
printf '@echo off\r\ncd /d "%%~dp0"\r\ndefragsvc.exe --install\r\n' >"$out/install-service.cmd"
printf '@echo off\r\ncd /d "%%~dp0"\r\ndefragsvc.exe --uninstall\r\n' >"$out/remove-service.cmd"
echo "Installable files: $out"
ls -l "$out"
