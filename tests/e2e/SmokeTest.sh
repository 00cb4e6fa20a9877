#!/usr/bin/env bash
# Starts the program in a real X window under Xvfb, photographs the main window, closes it the
# way a window manager does and checks that the program ends at once with exit code 0: a fresh
# start has no groups, so closing must not ask anything.
#   SmokeTest.sh PROGRAM XWINDOW-TOOL SCREENSHOT.png
set -euo pipefail

program=$1
tool=$2
screenshot=$3
title="Korvel Talivo"

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

rm -f "$screenshot"

start_program
"$tool" shot "$title" "$screenshot"
echo "Screenshot: $screenshot"

close_program
[ -s "$screenshot" ] || { echo "No screenshot was written" >&2; exit 1; }
echo "Smoke test passed"
