#!/usr/bin/env bash
# Opens a picture that takes its time, in a real X window under Xvfb with a window manager, after
# marks were placed, and cancels it with Esc as a user would: the progress panel shows in the
# status bar while the picture is read, Esc stops the reading, and nothing of the work changes.
# The picture arrives through a named pipe, so the load lasts exactly as long as the check wants;
# its second half is sent only after Esc, which the program must no longer read. The marks saved
# before and after are counted with talivo-cli; the program must end with exit code 0.
#   LongWorkTest.sh PROGRAM XWINDOW-TOOL TALIVO-CLI SCREENSHOT.png
# The pictures go beside SCREENSHOT.png, named after it.
set -euo pipefail

program=$1
tool=$2
cli=$3
screenshot=$4
title="Korvel Talivo"

source "$(dirname "$0")/RealWindow.sh"
run_in_xvfb "$0" "$@"

for command in openbox xdotool python3; do
    command -v "$command" >/dev/null || {
        echo "$command is missing: install the packages openbox, xdotool and python3" \
            "(tools/talivo.sh does)" >&2
        exit 1
    }
done

base=${screenshot%.png}
rm -f "$base"-*.png
work=$(mktemp -d)
writer=

start_window_manager "$work/openbox.log"

# One default group, "Cells", which the program selects at its start.
prepare_settings() {
    mkdir -p "$1"
    printf '[Group0]\r\nDescription=Cells\r\nColor=255\r\n' >"$1/TalivoGroups.ini"
}

# The first picture, a 200 by 150 black BMP, opened from the command line as a file manager does.
{
    printf 'BM\xc6\x5f\x01\0\0\0\0\0\x36\0\0\0'
    printf '\x28\0\0\0\xc8\0\0\0\x96\0\0\0\x01\0\x18\0\0\0\0\0\x90\x5f\x01\0'
    printf '\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0'
    head -c $((200 * 150 * 3)) /dev/zero
} >"$work/cells.bmp"

# The second picture: 2000 by 2000 pixels of noise, which no encoder makes smaller, as a PNG.
python3 - "$work/noise.png" <<'EOF'
import os, struct, sys, zlib
width = height = 2000
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
rows = b"".join(b"\0" + os.urandom(width * 3) for _ in range(height))
with open(sys.argv[1], "wb") as out:
    out.write(b"\x89PNG\r\n\x1a\n")
    out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
    out.write(chunk(b"IDAT", zlib.compress(rows, 1)))
    out.write(chunk(b"IEND", b""))
EOF
mkfifo "$work/slow.png"

start_program "$work/cells.bmp"
trap 'stop_leftovers; [ -z "$writer" ] || kill "$writer" 2>/dev/null || true
      kill "$manager" 2>/dev/null || true; rm -rf "$work"' EXIT
main=$(xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1)

# Clicks at a point of the main window, counted from its top-left corner (971 by 615 at start).
click() { # click X Y
    xdotool mousemove --window "$main" "$1" "$2" click 1
    sleep 0.3
}
press() { # press KEY...
    xdotool key --delay 100 "$@"
    sleep 0.3
}
# Chooses the file in the open or save dialog that has just come up.
choose_file() { # choose_file PATH
    sleep 1
    xdotool type --delay 60 "$1"
    sleep 0.2
    press Return
    sleep 0.5
}
save_measurement() { # save_measurement PATH
    click 19 9
    press Down Down Down Down Return
    choose_file "$1"
    [ -s "$1" ] || fail "The measurement $1 was not written"
}
groups_of() { # groups_of PATH
    "$cli" counts "$1" | tail -n +2 | cut -f 3,4
}
fail() { # fail MESSAGE
    echo "$1" >&2
    "$tool" screen "$base-failed.png"
    exit 1
}
expect() { # expect WHAT ACTUAL EXPECTED
    [ "$2" = "$3" ] || fail "$(printf '%s:\n  expected: %s\n  actual:   %s' "$1" "$3" "$2")"
}
# The centres of the patches of the colour in the window's bottom strip, the status bar.
status_spots() { # status_spots RRGGBB
    "$tool" spots "$title" "$1" | awk '$2 > 585'
}

# Two marks with "Add mark", saved.
click 123 49
click 200 200
click 300 260
save_measurement "$work/before.tlv"
expect "Marks placed by clicks" "$(groups_of "$work/before.tlv")" "$(printf 'Cells\t2')"
"$tool" shot "$title" "$base-before.png"
highlight=$(status_spots 308cc6 | wc -l)

# "Load image" with the slow picture: its first half arrives, then nothing until Esc.
size=$(stat -c %s "$work/noise.png")
{
    head -c $((size / 2)) "$work/noise.png"
    while [ ! -e "$work/escaped" ]; do sleep 0.1; done
    tail -c +$((size / 2 + 1)) "$work/noise.png"
} >"$work/slow.png" 2>/dev/null &
writer=$!
click 42 49
choose_file "$work/slow.png"
sleep 1.5
"$tool" shot "$title" "$base-loading.png"
# The bar runs to and fro in the highlight colour, a pipe having no size.
[ "$(status_spots 308cc6 | wc -l)" -gt "$highlight" ] ||
    fail "No progress bar in the status bar while the picture is read"

# Esc until the bar goes: on a loaded machine a key can arrive before the window has the focus,
# and the load would then finish and replace the marks.
for _ in 1 2 3 4 5; do
    press Escape
    sleep 1
    [ "$(status_spots 308cc6 | wc -l)" -eq "$highlight" ] && break
done
touch "$work/escaped"
wait "$writer" || true
writer=
sleep 1
"$tool" shot "$title" "$base-cancelled.png"
# The window manager keeps a window of its own.
expect "Windows after Esc (no question, no notice)" "$("$tool" list | grep -v '^Openbox$')" "$title"
[ "$(status_spots 308cc6 | wc -l)" -eq "$highlight" ] ||
    fail "The progress bar stayed after Esc"

save_measurement "$work/after.tlv"
expect "Marks after the cancelled load" "$(groups_of "$work/after.tlv")" "$(printf 'Cells\t2')"
# The picture and its marks as before; the status bar says what happened.
"$tool" compare "$base-before.png" "$base-cancelled.png" 3 ||
    fail "The window changed with the cancelled load"

close_program
echo "Screenshots: $base-before.png $base-loading.png $base-cancelled.png"
echo "Long-work real-window test passed"
