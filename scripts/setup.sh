#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages), then configures and
# builds Zelvaro into ./build. Sourced by run.sh and test.sh.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
          fonts-dejavu-core
          # the toolkit's own dialogs and buttons in German, which the translation test reads
          qt6-translations-l10n
          # reads the text of printed charts back in the tests
          poppler-utils
          # what the install and package checks use
          dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl)
source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
install_missing "${packages[@]}"

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$root/build"
