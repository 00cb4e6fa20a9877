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

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

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

export LANG=de_DE.UTF-8
unset LC_ALL LC_MESSAGES LANGUAGE
base=${screenshot%.png}
rm -f "$screenshot" "$base-question.png" "$base-menu.png"

start_program
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

close_program
for picture in "$screenshot" "$base-question.png" "$base-menu.png"; do
    [ -s "$picture" ] || { echo "No screenshot was written: $picture" >&2; exit 1; }
done
echo "German real-window test passed"
