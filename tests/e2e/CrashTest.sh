#!/usr/bin/env bash
# Unsaved work survives a crash: the program, in a real X window under Xvfb, gets a picture,
# groups and marks, keeps them in its settings folder and is killed with SIGKILL. Started again
# with the same settings folder, it asks whether to restore the work; the answer is Yes, and the
# work saved then must be what was there before the kill, checked with talivo-cli against an
# export taken just before it. Closes the program, which must end with exit code 0.
#   CrashTest.sh PROGRAM XWINDOW-TOOL TALIVO-CLI SCREENSHOT.png
# The work is kept every TALIVO_RECOVERY_SECONDS (2 here) rather than every 30 seconds.
set -euo pipefail

program=$1
tool=$2
cli=$3
screenshot=$4
title="Korvel Talivo"

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

require_commands openbox xdotool

unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=C.UTF-8
export TALIVO_RECOVERY_SECONDS=2
base=${screenshot%.png}
rm -f "$base"-*.png
work=$(mktemp -d)
kept=$work/kept

start_window_manager "$work/openbox.log"
cleanup() {
    stop_leftovers
    kill "$manager" 2>/dev/null || true
    rm -rf "$work"
}

# The second start finds the settings folder the killed program left.
prepare_settings() { # prepare_settings FOLDER
    if [ -d "$kept" ]; then
        mkdir -p "$1"
        cp -a "$kept/." "$1/"
    fi
}

add_group() { # add_group DESCRIPTION
    click 871 438
    window "Group settings" >/dev/null
    type_text "$1"
    press Return
}
black_picture "$work/cells.bmp"

start_program
trap cleanup EXIT
main=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)

add_group "Cells"
add_group "Nuclei"
click 42 49
choose_file "$work/cells.bmp"
# "Add mark", two marks in the current group "Nuclei", then one in "Cells" (key 1).
click 123 49
click 200 200
click 300 260
press 1
click 250 300
# Whatever changed last is kept at most one interval later.
sleep 4
[ -s "$settings/Korvel/Talivo/Recovery.ini" ] || {
    echo "No work was kept in $settings/Korvel/Talivo" >&2
    exit 1
}
# "Export measurement ..." writes the marks as they are, and leaves the work unsaved.
file_menu 5
choose_file "$work/before.txt"
[ -s "$work/before.txt" ] || { echo "The export was not written" >&2; exit 1; }
"$tool" screen "$base-before.png"

kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
pid=
cp -a "$settings/Korvel/Talivo" "$kept"
rm -rf "$settings"

start_program
trap cleanup EXIT
main=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)
box=$(window "Restore work")
"$tool" screen "$base-question.png"
xdotool windowactivate --sync "$box" key y
sleep 2
"$tool" screen "$base-restored.png"

save_measurement "$work/after.tlv"
expect "Groups restored after the kill" "$(groups_of "$work/after.tlv")" \
    "$(printf 'Cells\t1\nNuclei\t2')"
"$cli" export "$work/after.tlv" -o "$work/after.txt"
cmp "$work/before.txt" "$work/after.txt" || {
    echo "The restored marks differ from those before the kill" >&2
    diff <(tr -d '\r' <"$work/before.txt") <(tr -d '\r' <"$work/after.txt") >&2 || true
    exit 1
}
[ ! -e "$settings/Korvel/Talivo/Recovery.ini" ] || {
    echo "The kept work stayed after the save" >&2
    exit 1
}

close_program
echo "Screenshots: $base-before.png $base-question.png $base-restored.png"
echo "Crash real-window test passed"
