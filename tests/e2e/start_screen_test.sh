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
begin_from_dialog
# Grey for one second, then the picture is held for five: look as soon as it is shown.
wait_screen 10 origin >/dev/null || { echo "the start screen was not found"; exit 1; }
python3 "$SOURCE_DIR/tests/e2e/start_picture_check.py" "$WORK/screen.ppm" "$WORK/pelidor.sym" 2 20
