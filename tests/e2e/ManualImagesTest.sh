#!/usr/bin/env bash
# Takes the pictures of the user manual from the program in a real X window under Xvfb, in English
# and in German, the way a new user works: the program starts with a picture named on its command
# line, two groups are added through the group dialog by typing, and marks are placed by clicking
# on the cells and the debris wherever the program shows them. Each picture is compared with the
# one the manual is built from; they must match but for small differences (a blinking caret).
# With TALIVO_UPDATE_MANUAL_IMAGES=1 the new pictures replace the manual's instead.
#   ManualImagesTest.sh PROGRAM XWINDOW-TOOL PICTURE MANUAL-IMAGES OUTPUT-FOLDER
# MANUAL-IMAGES and OUTPUT-FOLDER hold one folder per language (en, de) with the pictures
# picture.png, group-dialog.png and counting.png.
set -euo pipefail

program=$1
tool=$2
picture=$3
manual=$4
output=$5
title="Korvel Talivo"
# The colours of the nuclei and of the debris in the picture.
nucleus=6e328c
debris=8c5f32

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"
command -v xdotool >/dev/null || {
    echo "xdotool is missing: install the package xdotool (tools/talivo.sh does)" >&2
    exit 1
}

# Types into the window that has the keyboard focus, as a user at the keyboard does.
type_text() {
    xdotool type --delay 30 "$1"
    sleep 0.3
}
press() {
    xdotool key "$1"
    sleep 0.3
}

# Adds a group through the group dialog: a click into the description, the text typed over the
# dialog's last one, and a colour chosen by its first letter when one is given.
add_group() { # add_group DESCRIPTION [COLOUR-LETTER] [SCREENSHOT]
    # "Add group" is the first button of the right panel.
    "$tool" click "$title" -101 -175
    "$tool" wait "$dialog" 10
    sleep 0.3
    "$tool" click "$dialog" 150 44
    press ctrl+a
    type_text "$1"
    if [ -n "${2:-}" ]; then
        press Tab
        type_text "$2"
    fi
    if [ -n "${3:-}" ]; then
        steady_shot "$dialog" "$3"
    fi
    press Return
}

# Photographs a window once it has stopped changing: a slow machine (or a build under the
# sanitizers) may still be painting. A blinking caret is too small to count as a change.
steady_shot() { # steady_shot TITLE FILE
    local previous=$2.previous.png
    "$tool" shot "$1" "$2"
    for _ in $(seq 1 20); do
        sleep 0.3
        mv "$2" "$previous"
        "$tool" shot "$1" "$2"
        "$tool" compare "$2" "$previous" 0.1 2>/dev/null && break
    done
    rm -f "$previous"
}

# The "X Y" lines of the spots of a colour, once there are as many as expected.
find_spots() { # find_spots COLOUR COUNT
    local spots
    for _ in $(seq 1 20); do
        spots=$("$tool" spots "$title" "$1")
        [ "$(grep -c . <<<"$spots")" -eq "$2" ] && break
        sleep 0.3
    done
    echo "$spots"
}

mark_all() { # mark_all SPOTS: clicks at every "X Y" line
    local x y
    while read -r x y; do
        "$tool" click "$title" "$x" "$y"
    done <<<"$1"
}

take_pictures() { # take_pictures LANGUAGE FOLDER
    local folder=$2
    mkdir -p "$folder"
    rm -f "$folder"/*.png
    # A file manager passes the picture alone; what follows it must change nothing: Qt would
    # lay the window out from right to left for -reverse, and the pictures would not match.
    start_program "$picture" -reverse
    local nuclei particles
    nuclei=$(find_spots $nucleus 13)
    particles=$(find_spots $debris 6)
    if [ "$(grep -c . <<<"$nuclei")" -ne 13 ] || [ "$(grep -c . <<<"$particles")" -ne 6 ]; then
        echo "Expected 13 cells and 6 particles in the window, found:" >&2
        echo "$nuclei" "$particles" >&2
        exit 1
    fi
    steady_shot "$title" "$folder/picture.png"

    add_group "$cells"
    # "Add mark" is the second button of the tool bar.
    "$tool" click "$title" 124 45
    mark_all "$nuclei"
    add_group "$other" "$red" "$folder/group-dialog.png"
    mark_all "$particles"
    steady_shot "$title" "$folder/counting.png"

    # The marks are not saved, so closing asks first; the answer is Yes, by its letter.
    "$tool" close "$title"
    "$tool" wait "$unsaved" 10
    sleep 0.3
    press "$yes"
    await_exit
    rm -rf "$settings"
}

unset LC_ALL LC_MESSAGES LANGUAGE
failed=0
for language in en de; do
    if [ $language = de ]; then
        export LANG=de_DE.UTF-8
        dialog="Gruppeneinstellungen" unsaved="Nicht gespeicherte Änderungen" yes=j
        cells="Zellen" other="Partikel" red=R
    else
        export LANG=C.UTF-8
        dialog="Group settings" unsaved="Unsaved changes" yes=y
        cells="Cells" other="Debris" red=R
    fi
    take_pictures $language "$output/$language"
    for name in picture group-dialog counting; do
        fresh="$output/$language/$name.png"
        [ -s "$fresh" ] || { echo "No picture was taken: $fresh" >&2; exit 1; }
        if [ "${TALIVO_UPDATE_MANUAL_IMAGES:-}" = 1 ]; then
            mkdir -p "$manual/$language"
            cp "$fresh" "$manual/$language/$name.png"
        elif ! "$tool" compare "$fresh" "$manual/$language/$name.png" 1; then
            failed=1
        fi
    done
done
if [ $failed -ne 0 ]; then
    echo "The program no longer looks as the manual shows it. If the change is meant, take the" >&2
    echo "pictures anew: TALIVO_UPDATE_MANUAL_IMAGES=1 ctest -R e2e_manual_images" >&2
    exit 1
fi
echo "The manual's pictures match the program"
