# Shared helpers of the end-to-end tests and benchmarks: a private virtual display, a fresh
# working folder, the program started in it, and windows found by their titles.
# Source this file; it sets DISPLAY, WORK and PROGRAM_PID.

# Xvfb picks a free display number itself and writes it once it accepts connections, so
# tests started side by side never race for the same number.
start_display() {
    local number_file tries
    number_file=$(mktemp /tmp/pelidor-display.XXXXXX)
    XVFB_LOG=$(mktemp /tmp/pelidor-xvfb.XXXXXX)
    Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >"$XVFB_LOG" 2>&1 &
    XVFB_PID=$!
    for tries in $(seq 1 200); do
        if grep -q '^[0-9][0-9]*$' "$number_file" 2>/dev/null; then
            export DISPLAY=":$(head -n 1 "$number_file")"
            rm -f "$number_file"
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$number_file"
    echo "no virtual display could be started" >&2
    return 1
}

make_work_folder() {
    WORK=$(mktemp -d /tmp/pelidor-e2e.XXXXXX)
    cp "$SOURCE_DIR/data/pelidor.sym" "$WORK/"
}

# Writes the working folder's parameter file for trainings of `volume` presentations with
# `answer_seconds` to answer each, at the default distance, diagonal and resolution.
write_parameter_file() {
    local volume=$1 answer_seconds=$2
    printf '%s\r\n' \
        "200.000  (distance in centimeters)" \
        " 17.700  (diagonal of display in inches)" \
        "    768  (display resolution, pixels on the Y)" \
        "   1024  (display resolution, pixels on the X)" \
        "$(printf '%7d' "$volume")  (volume of training)" \
        "$(printf '%7.3f' "$answer_seconds")  (time for the ansver in seconds)" >"$WORK/pelidor.vvd"
}

start_program() {
    (cd "$WORK" && exec env -u QT_QPA_PLATFORM "$PROGRAM") >"$WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
    disown "$PROGRAM_PID" 2>/dev/null || true
}

# Waits until a window with this exact title is mapped; prints its id.
wait_window() {
    local title=$1 timeout=${2:-10} id
    local deadline=$((SECONDS + timeout))
    while [ $SECONDS -le "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.01
    done
    return 1
}

# Waits at most `seconds` until the screen shows what a check of screen.py looks for (the
# checks are listed there); prints what the check found. The last screenshot stays in
# $WORK/screen.ppm.
wait_screen() {
    local seconds=$1
    shift
    python3 "$SOURCE_DIR/tests/e2e/screen.py" wait "$WORK/screen.ppm" "$seconds" "$@"
}

# Waits until the program has ended, at most the given seconds (fractions allowed).
wait_program_end() {
    local limit=$1 waited=0
    while kill -0 "$PROGRAM_PID" 2>/dev/null; do
        sleep 0.02
        waited=$(awk -v w="$waited" 'BEGIN { print w + 0.02 }')
        if awk -v w="$waited" -v l="$limit" 'BEGIN { exit !(w > l) }'; then return 1; fi
    done
    return 0
}

DIALOG_TITLE="Input parameters.   If necessary, change!"

# Waits for the parameters dialog and gives it the keyboard; prints its window id.
focus_dialog() {
    local id
    id=$(wait_window "$DIALOG_TITLE" 20) || {
        echo "the parameters dialog did not appear" >&2
        cat "$WORK/program.log" >&2
        describe_display >&2
        return 1
    }
    xdotool windowfocus --sync "$id" 2>/dev/null || true
    echo "$id"
}

# Begins with the parameters the dialog shows (Enter) and waits until they are saved.
begin_from_dialog() {
    focus_dialog >/dev/null || return 1
    xdotool key Return
    local tries
    for tries in $(seq 1 100); do
        [ -f "$WORK/pelidor.vvd" ] && return 0
        sleep 0.05
    done
    return 0
}

# What became of the virtual display, for the report of a failed test.
# Starts the program in a fresh folder holding the fixture log, begins from the dialog and
# chooses "Effect from training" (the second command of the menu bar); returns once the closing
# message, in 0xDDAA00 and written last, is on the screen. Sets ox, oy: where the surface lies.
show_fixture_graph() {
    make_work_folder
    cp "$SOURCE_DIR/tests/e2e/fixture.rtr" "$WORK/pelidor.rtr"
    start_program
    begin_from_dialog
    read -r ox oy < <(wait_screen 10 origin) || { echo "the start screen was not found"; return 1; }
    xdotool mousemove 105 10 click 1
    wait_screen 10 colour 0 170 221 "$ox" "$oy" 265 621 700 649 >/dev/null ||
        { echo "no graph"; return 1; }
    sleep 0.1
}

describe_display() {
    if kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "Xvfb $XVFB_PID on $DISPLAY is running"
    else
        echo "Xvfb $XVFB_PID on $DISPLAY has ended"
    fi
    echo "its output:"
    cat "$XVFB_LOG" 2>/dev/null || true
    ls -l "/tmp/.X11-unix/X${DISPLAY#:}" 2>&1 || true
}

cleanup_session() {
    if [ -n "${PROGRAM_PID:-}" ]; then kill -9 "$PROGRAM_PID" 2>/dev/null || true; fi
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        # Gone before the next session starts, so no server that is still shutting down
        # removes the sockets of a new one on the same display number.
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    [ -n "${XVFB_LOG:-}" ] && rm -f "$XVFB_LOG"
    if [ -n "${WORK:-}" ] && [ -z "${KEEP_WORK:-}" ]; then rm -rf "$WORK"; fi
    return 0
}
