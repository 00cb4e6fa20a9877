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

for command in openbox xdotool; do
    command -v "$command" >/dev/null || {
        echo "$command is missing: install the packages openbox and xdotool (tools/talivo.sh does)" >&2
        exit 1
    }
done

base=${screenshot%.png}
rm -f "$base"-*.png
work=$(mktemp -d)

start_window_manager "$work/openbox.log"

start_program
trap 'stop_leftovers; kill "$manager" 2>/dev/null || true; rm -rf "$work"' EXIT
main=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)

# Clicks at a point of the main window, counted from its top-left corner (971 by 615 at start).
click() { # click X Y
    xdotool mousemove --window "$main" "$1" "$2" click 1
    sleep 0.3
}
# Waits for a window with exactly this title and prints its id.
window() { # window TITLE
    local id
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || {
        echo "No window \"$1\" appeared; windows on screen:" >&2
        "$tool" list >&2
        exit 1
    }
    sleep 0.5
    echo "$id"
}
# Types into the window that has the keyboard focus.
type_text() { # type_text TEXT
    xdotool type --delay 60 "$1"
    sleep 0.2
}
press() { # press KEY...
    xdotool key --delay 100 "$@"
    sleep 0.3
}
# "Add group" at the top of the buttons under the group table.
add_group() {
    click 871 438
    window "Group settings"
}
# "File" in the menu bar, then the entry that many steps down.
file_menu() { # file_menu STEPS
    click 19 9
    local downs=()
    for _ in $(seq 1 "$1"); do downs+=(Down); done
    press "${downs[@]}" Return
}
# Chooses the file in the open or save dialog that has just come up.
choose_file() { # choose_file PATH
    sleep 1
    type_text "$1"
    press Return
    sleep 0.5
}
save_measurement() { # save_measurement PATH
    file_menu 4
    choose_file "$1"
    [ -s "$1" ] || { echo "The measurement $1 was not written" >&2; exit 1; }
}
# The counts of a saved measurement: description and number of marks, one group a line.
groups_of() { # groups_of PATH
    "$cli" counts "$1" | tail -n +2 | cut -f 3,4
}
expect() { # expect WHAT ACTUAL EXPECTED
    if [ "$2" != "$3" ]; then
        printf '%s:\n  expected: %s\n  actual:   %s\n' "$1" "$3" "$2" >&2
        "$tool" screen "$base-failed.png"
        exit 1
    fi
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
{
    printf 'BM\xc6\x5f\x01\0\0\0\0\0\x36\0\0\0'
    printf '\x28\0\0\0\xc8\0\0\0\x96\0\0\0\x01\0\x18\0\0\0\0\0\x90\x5f\x01\0'
    printf '\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0'
    head -c $((200 * 150 * 3)) /dev/zero
} >"$work/cells.bmp"
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
