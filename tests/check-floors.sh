#!/bin/sh
# Fails when a folder includes a header from a floor above it:
# model <- view <- styles, dialogs <- app.
cd "$1" || exit 2
found=$( (grep -rn '#include "view/\|#include "styles/\|#include "dialogs/\|#include "app/' model/;
          grep -rn '#include "styles/\|#include "dialogs/\|#include "app/' view/;
          grep -rn '#include "dialogs/\|#include "app/' styles/;
          grep -rn '#include "styles/\|#include "app/' dialogs/;
          grep -rln '<header>app/\|<header>styles/' dialogs/) 2>/dev/null)
if [ -n "$found" ]; then
    echo "Includes that run up a floor:"
    echo "$found"
    exit 1
fi
