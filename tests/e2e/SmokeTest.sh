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

if [ -z "${TALIVO_E2E_INSIDE:-}" ]; then
    command -v xvfb-run >/dev/null || {
        echo "xvfb-run is missing: install the packages xvfb and xauth (tools/talivo.sh does)" >&2
        exit 1
    }
    export TALIVO_E2E_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

settings=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
    rm -rf "$settings"
}
trap cleanup EXIT

export XDG_DATA_HOME=$settings
export QT_QPA_PLATFORM=xcb
rm -f "$screenshot"

"$program" &
pid=$!

"$tool" wait "$title" 30
# Let the first paint and the start timer run before the picture is taken.
sleep 1
"$tool" shot "$title" "$screenshot"
echo "Screenshot: $screenshot"

"$tool" close "$title"
for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "The program did not end after the close request; windows on screen:" >&2
    "$tool" list >&2
    exit 1
fi
status=0
wait "$pid" || status=$?
pid=
if [ "$status" -ne 0 ]; then
    echo "The program ended with exit code $status" >&2
    exit 1
fi
[ -s "$screenshot" ] || { echo "No screenshot was written" >&2; exit 1; }
echo "Smoke test passed"
