#!/usr/bin/env bash
# Starts the program in German in a real X window under Xvfb: LANG=de_DE.UTF-8 and no language
# file beside the program, so the catalogs built beside it choose every text. Photographs the
# main window, asks the "Delete group" question through a click on its button and checks through
# X that the question box carries the German caption, photographs it and the opened "Datei" menu,
# and closes the program, which must end with exit code 0.
#   GermanTest.sh PROGRAM XWINDOW-TOOL SCREENSHOT.png
# The pictures of the question and of the menu go beside SCREENSHOT.png, named after it.
set -euo pipefail

program=$1
tool=$2
screenshot=$3
title="Korvel Talivo"
question="Gruppe löschen"

if [ -z "${TALIVO_E2E_INSIDE:-}" ]; then
    command -v xvfb-run >/dev/null || {
        echo "xvfb-run is missing: install the packages xvfb and xauth (tools/talivo.sh does)" >&2
        exit 1
    }
    export TALIVO_E2E_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

folder=$(dirname "$program")
if [ -e "$folder/Lang.ini" ]; then
    echo "$folder/Lang.ini would choose the language instead of LANG; remove it" >&2
    exit 1
fi
for domain in Talivo default; do
    [ -s "$folder/locale/de/LC_MESSAGES/$domain.mo" ] || {
        echo "The German catalog $domain.mo is missing beside the program" >&2
        exit 1
    }
done

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
export LANG=de_DE.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE
base=${screenshot%.png}
rm -f "$screenshot" "$base-question.png" "$base-menu.png"

"$program" &
pid=$!

"$tool" wait "$title" 30
sleep 1
"$tool" shot "$title" "$screenshot"
echo "Screenshot: $screenshot"

# "Delete group" is the second button of the right panel: 101 pixels from the window's right
# edge and 137 from its bottom edge in the window's first size. It asks before it deletes.
"$tool" click "$title" -101 -137
if ! "$tool" wait "$question" 10; then
    echo "No question box with the German caption \"$question\"; windows on screen:" >&2
    "$tool" list >&2
    exit 1
fi
sleep 0.5
"$tool" shot "$question" "$base-question.png"
echo "Screenshot: $base-question.png"
# Closing the box answers No.
"$tool" close "$question"
sleep 0.5

"$tool" click "$title" 25 8
sleep 0.7
"$tool" screen "$base-menu.png"
echo "Screenshot: $base-menu.png"

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
for picture in "$screenshot" "$base-question.png" "$base-menu.png"; do
    [ -s "$picture" ] || { echo "No screenshot was written: $picture" >&2; exit 1; }
done
echo "German real-window test passed"
