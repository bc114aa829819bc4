#!/usr/bin/env bash
# The first start-screen picture on a real window: after the dialog, one second of grey, then
# size 2 with its figure on the left; a screenshot must match the picture pixel for pixel.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT

start_display
make_work_folder
start_program
dialog=$(wait_window "Input parameters.   If necessary, change!" 20) || {
    echo "the parameters dialog did not appear"; cat "$WORK/program.log"; exit 1; }
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key Return
for _ in $(seq 1 100); do [ -f "$WORK/pelidor.vvd" ] && break; sleep 0.05; done
# Grey for one second, then the picture is held for five: look in the middle of the hold.
sleep 3
import -window root -depth 8 "ppm:$WORK/screen.ppm"
python3 "$SOURCE_DIR/tests/e2e/start_picture_check.py" "$WORK/screen.ppm" "$WORK/pelidor.sym" 2 20
