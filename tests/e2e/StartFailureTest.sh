#!/usr/bin/env bash
# Starts the program where its settings folder cannot be made (a file stands where a folder of
# its path must go): the start cannot go on. The program must say why in a message box, and when
# the box is closed end with a non-zero exit code and no main window.
#   StartFailureTest.sh PROGRAM XWINDOW-TOOL SCREENSHOT.png
set -euo pipefail

program=$1
tool=$2
screenshot=$3
title="Korvel Talivo"
box=$(basename "$program")

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

rm -f "$screenshot"
settings=$(mktemp -d)
pid=
trap stop_leftovers EXIT
touch "$settings/Korvel"
export XDG_DATA_HOME=$settings
export QT_QPA_PLATFORM=xcb
"$program" &
pid=$!
if ! "$tool" wait "$box" 30; then
    echo "No message box \"$box\" about the failed start; windows on screen:" >&2
    "$tool" list >&2
    exit 1
fi
sleep 0.5
"$tool" shot "$box" "$screenshot"
echo "Screenshot: $screenshot"
if "$tool" list | grep -qF "$title"; then
    echo "The main window \"$title\" is on screen although the start failed" >&2
    exit 1
fi
"$tool" close "$box"
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
status=0
wait "$pid" || status=$?
pid=
if [ "$status" -eq 0 ]; then
    echo "The program ended with exit code 0 after a start that failed" >&2
    exit 1
fi
echo "Start failure test passed (exit code $status)"
