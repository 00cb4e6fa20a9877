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
