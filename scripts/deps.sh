#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing
# (with their recommended packages: Wine renders text and windows through them).
# Quick when everything is present: it only asks dpkg. Both Wine flavours are
# installed; whether the 32-bit one can run is the machine's kernel's business.
set -euo pipefail

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 wine32:i386 xvfb xauth
          cmake ninja-build googletest imagemagick x11-utils
          nsis python3 curl ccache ntfs-3g ntfs-3g-dev libssl-dev)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
