#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages), then configures and
# builds Zelvaro into ./build. Sourced by run.sh and test.sh.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
          fonts-dejavu-core
          # the toolkit's own dialogs and buttons in German, which the translation test reads
          qt6-translations-l10n
          # what the install and package checks use
          dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$root/build"
