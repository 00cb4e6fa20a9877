# Shared steps of the real-window checks; sourced by their scripts, which set program, tool
# and title first.

# Runs the calling script again inside a fresh Xvfb display, unless it already runs in one.
run_in_xvfb() { # run_in_xvfb SCRIPT ARGUMENTS...
    if [ -n "${TALIVO_E2E_INSIDE:-}" ]; then
        return 0
    fi
    command -v xvfb-run >/dev/null || {
        echo "xvfb-run is missing: install the packages xvfb and xauth (tools/talivo.sh does)" >&2
        exit 1
    }
    export TALIVO_E2E_INSIDE=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
}

# Starts the program, with the arguments given, and a settings folder of its own, removed again
# when the script ends, and waits for its main window. A script that defines prepare_settings gets
# it called with the settings folder before the program starts.
start_program() {
    settings=$(mktemp -d)
    pid=
    trap stop_leftovers EXIT
    export XDG_DATA_HOME=$settings
    export QT_QPA_PLATFORM=xcb
    if declare -F prepare_settings >/dev/null; then
        prepare_settings "$settings/Korvel/Talivo"
    fi
    "$program" "$@" &
    pid=$!
    "$tool" wait "$title" 30
    # Let the first paint and the start timer run before anything looks at the window.
    sleep 1
}

stop_leftovers() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
    rm -rf "$settings"
}

# Closes the main window the way a window manager does, and waits for the program's end.
close_program() {
    "$tool" close "$title"
    await_exit
}

# Waits for the program to end after it was asked to close; it must end at once with exit code 0.
await_exit() {
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "The program did not end after the close request; windows on screen:" >&2
        "$tool" list >&2
        exit 1
    fi
    local status=0
    wait "$pid" || status=$?
    pid=
    if [ "$status" -ne 0 ]; then
        echo "The program ended with exit code $status" >&2
        exit 1
    fi
}

# Starts a window manager, which gives the focus to new windows and lets the pointer's clicks
# focus widgets, as on a desktop, and waits until it runs; its process id goes to manager.
start_window_manager() { # start_window_manager LOG
    openbox --sm-disable >"$1" 2>&1 &
    manager=$!
    for _ in $(seq 1 100); do
        xdotool get_desktop >/dev/null 2>&1 && break
        sleep 0.1
    done
}

# Stops the check when a program it drives the window with is missing.
require_commands() { # require_commands COMMAND...
    local command
    for command in "$@"; do
        command -v "$command" >/dev/null || {
            echo "$command is missing: install the package that has it (tools/talivo.sh does)" >&2
            exit 1
        }
    done
}

# What a user does at the main window, whose id is in main, with the real pointer and keyboard.
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
# The counts of a saved measurement, by talivo-cli (in cli): description and number of marks,
# one group a line.
groups_of() { # groups_of PATH
    "$cli" counts "$1" | tail -n +2 | cut -f 3,4
}
# Stops the check, with a picture of the screen beside base, when the two differ.
expect() { # expect WHAT ACTUAL EXPECTED
    if [ "$2" != "$3" ]; then
        printf '%s:\n  expected: %s\n  actual:   %s\n' "$1" "$3" "$2" >&2
        "$tool" screen "$base-failed.png"
        exit 1
    fi
}
# A black picture of 200 by 150 pixels, as a BMP file.
black_picture() { # black_picture PATH
    {
        printf 'BM\xc6\x5f\x01\0\0\0\0\0\x36\0\0\0'
        printf '\x28\0\0\0\xc8\0\0\0\x96\0\0\0\x01\0\x18\0\0\0\0\0\x90\x5f\x01\0'
        printf '\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0'
        head -c $((200 * 150 * 3)) /dev/zero
    } >"$1"
}
