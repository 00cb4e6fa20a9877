#!/usr/bin/env bash
# Counts a picture in a real X window under Xvfb as a user would: opens it with "Load image"
# and the file dialog, presses "Auto detect" with the default group selected, saves the
# measurement through the File menu and its dialog, closes the program, and counts the saved
# marks with talivo-cli. The picture holds a known number of dark cells.
#   AutoDetectTest.sh PROGRAM XWINDOW-TOOL PICTURE-TOOL TALIVO-CLI SCREENSHOT.png
set -euo pipefail

program=$1
tool=$2
picture_tool=$3
cli=$4
screenshot=$5
title="Korvel Talivo"

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

command -v xdotool >/dev/null || {
    echo "xdotool is missing: install the package xdotool (tools/talivo.sh does)" >&2
    exit 1
}

# Beside the screenshot, so that what the check saw stays for a look afterwards.
work=${screenshot%.png}
rm -rf "$work"
mkdir -p "$work"
picture=$work/cells.png
measurement=$work/cells.tlv
cells=$("$picture_tool" "$picture")
rm -f "$screenshot"

# Types into whatever has the keyboard, as the user's keyboard does.
type_and_enter() {
    xdotool type --delay 20 "$1"
    xdotool key Return
}

wait_for_file_dialog() {
    for _ in $(seq 1 50); do
        if [ "$("$tool" list | grep -cv "^$title\$")" -gt 0 ]; then
            sleep 0.5
            return 0
        fi
        sleep 0.1
    done
    echo "No file dialog appeared; windows on screen:" >&2
    "$tool" list >&2
    exit 1
}

# One default group, "Cells", which the program selects at its start.
prepare_settings() {
    mkdir -p "$1"
    printf '[Group0]\r\nDescription=Cells\r\nColor=255\r\n' >"$1/TalivoGroups.ini"
}

start_program

# "Load image" is the first button of the tool bar.
"$tool" click "$title" 41 45
wait_for_file_dialog
type_and_enter "$picture"
sleep 2

# "Auto detect" follows "Load image", "Add mark", "Delete mark" and "Move mark", 81 pixels
# each; its right end opens the module menu.
"$tool" click "$title" 360 45
sleep 3
"$tool" shot "$title" "$screenshot"
echo "Screenshot: $screenshot"

# File, then "Save measurement ...": the fourth item, past a separator.
"$tool" click "$title" 20 8
sleep 0.7
for _ in 1 2 3 4; do xdotool key Down; done
xdotool key Return
wait_for_file_dialog
type_and_enter "$measurement"
sleep 2

# Saved, so closing asks nothing.
close_program

[ -s "$measurement" ] || { echo "No measurement was saved" >&2; exit 1; }
"$cli" check "$measurement"
counts=$("$cli" counts "$measurement")
echo "$counts"
marks=$(echo "$counts" | awk -F'\t' 'NR == 2 && $3 == "Cells" { print $4 }')
if [ -z "$marks" ]; then
    echo "The measurement holds no group \"Cells\"" >&2
    exit 1
fi
# Proposals are right within half a radius; their number may miss by a few cells at most.
if [ $((marks - cells)) -gt $((cells / 20)) ] || [ $((cells - marks)) -gt $((cells / 20)) ]; then
    echo "Auto detect marked $marks of $cells cells" >&2
    exit 1
fi
echo "Auto detect marked $marks of $cells cells: real-window test passed"
