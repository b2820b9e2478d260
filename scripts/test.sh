#!/usr/bin/env bash
# Builds Zelvaro and runs every test without a display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 "$@"
