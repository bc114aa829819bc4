#!/usr/bin/env bash
# The built program in a fresh folder, as a person uses it: the parameters dialog appears,
# Enter begins and writes the six default lines, the start screen runs, "Exit" ends the
# process within a second.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT

start_display
make_work_folder
start_program

begin_from_dialog

expected=$(printf '%s\r\n' \
    "200.000  (distance in centimeters)" \
    " 17.700  (diagonal of display in inches)" \
    "    768  (display resolution, pixels on the Y)" \
    "   1024  (display resolution, pixels on the X)" \
    "    100  (volume of training)" \
    " 50.000  (time for the ansver in seconds)" | od -An -c)
for _ in $(seq 1 100); do [ -f "$WORK/pelidor.vvd" ] && break; sleep 0.05; done
actual=$(od -An -c "$WORK/pelidor.vvd")
if [ "$actual" != "$expected" ]; then
    echo "pelidor.vvd differs:"; cat -A "$WORK/pelidor.vvd"; exit 1
fi

frame=$(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | head -n 1)
geometry=$(xdotool getwindowgeometry "$frame" | tr '\n' ' ')
case "$geometry" in
    *"Position: 0,0"*"Geometry: 1024x768"*) ;;
    *) echo "the frame window is not 1024 x 768 at (0, 0): $geometry"; exit 1 ;;
esac
# The start screen follows the dialog, and the program keeps running.
wait_screen 10 origin >/dev/null || { echo "the start screen was not found"; cat "$WORK/program.log"; exit 1; }
kill -0 "$PROGRAM_PID" || { echo "the program ended by itself"; cat "$WORK/program.log"; exit 1; }

# "Exit" is the leftmost command of the menu bar, at the frame's top-left corner.
xdotool mousemove 20 10 click 1
if ! wait_program_end 1.0; then
    echo "the program did not end within 1 s of Exit"; exit 1
fi
echo "shell end-to-end test passed"
