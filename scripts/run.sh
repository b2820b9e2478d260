#!/usr/bin/env bash
# Builds Zelvaro and starts it on its demo chart.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Zelvaro is built ($root/build/zelvaro) but cannot start here: no graphical display (DISPLAY and WAYLAND_DISPLAY are unset)."
    exit 1
fi
exec "$root/build/zelvaro" "$@"
