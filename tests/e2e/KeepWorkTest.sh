#!/usr/bin/env bash
# Works with the program as a user would, in a real X window under Xvfb with a window manager,
# through the real pointer and keyboard (xdotool), and checks the saved measurements with
# talivo-cli:
# - the group dialog opened a second time, after it was closed with a click on "Ok", takes the
#   typed text into the description;
# - a file that is not a picture, loaded after marks were placed, leaves the marks and counts;
# - Ctrl+Z takes the last mark back, and Ctrl+Y brings a step back again.
# Photographs the screen after each part and closes the program, which must end with exit
# code 0.
#   KeepWorkTest.sh PROGRAM XWINDOW-TOOL TALIVO-CLI SCREENSHOT.png
# The pictures go beside SCREENSHOT.png, named after it.
set -euo pipefail

program=$1
tool=$2
cli=$3
screenshot=$4
title="Korvel Talivo"

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

require_commands openbox xdotool

base=${screenshot%.png}
rm -f "$base"-*.png
work=$(mktemp -d)

start_window_manager "$work/openbox.log"

start_program
trap 'stop_leftovers; kill "$manager" 2>/dev/null || true; rm -rf "$work"' EXIT
main=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)

# "Add group" at the top of the buttons under the group table.
add_group() {
    click 871 438
    window "Group settings"
}
# Part 1: the dialog twice. The first time "Ok" is clicked, so that the button had the focus
# last; the second time the text is typed and Return ends the dialog.
dialog=$(add_group)
type_text "Cells"
xdotool mousemove --window "$dialog" 164 160 click 1
sleep 0.5
add_group >/dev/null
type_text "Nuclei"
"$tool" screen "$base-dialog.png"
press Return
save_measurement "$work/groups.tlv"
expect "Groups after typing into the dialog twice" "$(groups_of "$work/groups.tlv")" \
    "$(printf 'Cells\t0\nNuclei\t0')"

# Part 2: a picture (a 200 by 150 black BMP), two marks in "Nuclei", then a text file named
# .png through "Load image".
black_picture "$work/cells.bmp"
echo "no picture" >"$work/notes.png"

click 42 49
choose_file "$work/cells.bmp"
click 123 49
click 200 200
click 300 260
save_measurement "$work/marks.tlv"
expect "Marks placed by clicks" "$(groups_of "$work/marks.tlv")" \
    "$(printf 'Cells\t0\nNuclei\t2')"

click 42 49
choose_file "$work/notes.png"
box=$(window "Talivo")
"$tool" screen "$base-notice.png"
xdotool windowactivate --sync "$box" key Return
sleep 0.5
save_measurement "$work/after.tlv"
expect "Marks after loading a file that is not a picture" "$(groups_of "$work/after.tlv")" \
    "$(printf 'Cells\t0\nNuclei\t2')"
"$tool" screen "$base-marks.png"

# Part 3: a third mark, then Ctrl+Z in the window takes it back; Ctrl+Z and Ctrl+Y once more go
# one step back and forth again.
click 420 380
save_measurement "$work/three.tlv"
expect "Marks after a third click" "$(groups_of "$work/three.tlv")" "$(printf 'Cells\t0\nNuclei\t3')"
press ctrl+z
save_measurement "$work/undone.tlv"
expect "Marks after Ctrl+Z" "$(groups_of "$work/undone.tlv")" "$(printf 'Cells\t0\nNuclei\t2')"
press ctrl+z ctrl+y
save_measurement "$work/redone.tlv"
expect "Marks after Ctrl+Z and Ctrl+Y" "$(groups_of "$work/redone.tlv")" \
    "$(printf 'Cells\t0\nNuclei\t2')"
[ "$(cmp "$work/undone.tlv" "$work/redone.tlv" && echo same)" = same ] || {
    echo "The measurement after Ctrl+Z and Ctrl+Y differs from the one before" >&2
    exit 1
}

close_program
echo "Screenshots: $base-dialog.png $base-notice.png $base-marks.png"
echo "Keep-work real-window test passed"
