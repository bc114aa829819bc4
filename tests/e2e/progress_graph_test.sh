#!/usr/bin/env bash
# "Effect from training" with a fixture log in the folder: the graph replaces the start screen,
# and a click brings the start screen back.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT

start_display
make_work_folder
cp "$SOURCE_DIR/tests/e2e/fixture.rtr" "$WORK/pelidor.rtr"
start_program
begin_from_dialog
sleep 2.5
# "Effect from training" is the second command of the menu bar.
xdotool mousemove 105 10 click 1
sleep 1.5
import -window root -depth 8 "ppm:$WORK/graph.ppm"
python3 - "$WORK/graph.ppm" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)
width, height = int(parts[1]), int(parts[2])
pixels = parts[4]
# The graph is drawn on white: most of the surface area is white, and its curves are coloured.
white = coloured = 0
for y in range(60, 680, 2):
    for x in range(10, 980, 2):
        i = 3 * (y * width + x)
        r, g, b = pixels[i], pixels[i + 1], pixels[i + 2]
        if r == g == b == 255:
            white += 1
        elif not (r == g == b):
            coloured += 1
total = len(range(60, 680, 2)) * len(range(10, 980, 2))
print(f"white {white / total:.2f}, coloured {coloured / total:.4f}")
sys.exit(0 if white / total > 0.6 and coloured > 50 else 1)
PY
xdotool mousemove 500 400 click 1
sleep 1.5
import -window root -depth 8 "ppm:$WORK/after.ppm"
python3 - "$WORK/after.ppm" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)
width = int(parts[1])
pixels = parts[4]
# Back on the start screen: grey blank or black-and-white grating, no longer mostly white.
white = 0
samples = 0
for y in range(60, 680, 3):
    for x in range(10, 980, 3):
        i = 3 * (y * width + x)
        samples += 1
        white += pixels[i] == pixels[i + 1] == pixels[i + 2] == 255
print(f"white after the click {white / samples:.2f}")
sys.exit(0 if white / samples < 0.6 else 1)
PY
kill -0 "$PROGRAM_PID" || { echo "the program ended"; exit 1; }
echo "progress graph end-to-end test passed"
