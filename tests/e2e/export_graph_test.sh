#!/usr/bin/env bash
# pelidor-export draws the graph of a log as the window shows it: the real program's "Effect
# from training" on the fixture log is captured, and the exported picture of the same log,
# made without a display, must equal it pixel for pixel, except in the box of the closing
# message, which the picture leaves white. The CSV of that log is checked against its text.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
EXPORT=$3
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT
fail() { echo "$1"; cat "$WORK/program.log"; exit 1; }

start_display
show_fixture_graph || fail "the graph was not shown"
import -window root -depth 8 "ppm:$WORK/window.ppm"

# The export runs where no display exists, from another folder, with the log given by path.
mkdir "$WORK/elsewhere"
(cd "$WORK/elsewhere" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$EXPORT" --log ../pelidor.rtr graph graph.png) 2>"$WORK/export.err" ||
    fail "pelidor-export graph failed: $(cat "$WORK/export.err")"
[ ! -s "$WORK/export.err" ] || fail "pelidor-export graph wrote to stderr: $(cat "$WORK/export.err")"
convert "$WORK/elsewhere/graph.png" -depth 8 "ppm:$WORK/export.ppm"

python3 - "$WORK/window.ppm" "$ox" "$oy" "$WORK/export.ppm" <<'PY'
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    parts = data.split(maxsplit=4)
    return int(parts[1]), int(parts[2]), parts[4]


screen_width, _, screen = read_ppm(sys.argv[1])
ox, oy = int(sys.argv[2]), int(sys.argv[3])
width, height, picture = read_ppm(sys.argv[4])
if (width, height) != (980, 650):
    sys.exit(f"the picture is {width} x {height}, not 980 x 650")


def window(x, y):
    i = 3 * ((oy + y) * screen_width + ox + x)
    return tuple(screen[i:i + 3])


def exported(x, y):
    i = 3 * (y * width + x)
    return tuple(picture[i:i + 3])


# The closing message's box: every pixel of its colour in the window, which lie right of the
# Beginning label and left of the End label, on their rows.
message = [(x, y) for y in range(height) for x in range(width) if window(x, y) == (0, 170, 221)]
if not message:
    sys.exit("the window shows no closing message")
x1, y1 = min(x for x, _ in message), min(y for _, y in message)
x2, y2 = max(x for x, _ in message), max(y for _, y in message)
if not (263 <= x1 <= 270 and 621 <= y1 <= 630 and x2 < 745 and y2 <= 649):
    sys.exit(f"the closing message's box {x1},{y1}-{x2},{y2} is not where it is drawn")

differences = [(x, y) for y in range(height) for x in range(width)
               if not (x1 <= x <= x2 and y1 <= y <= y2) and window(x, y) != exported(x, y)]
unwhite = [(x, y) for y in range(y1, y2 + 1) for x in range(x1, x2 + 1)
           if exported(x, y) != (255, 255, 255)]
if differences:
    print(f"{len(differences)} pixels differ outside the message box, first at "
          f"{differences[0]}: window {window(*differences[0])}, picture "
          f"{exported(*differences[0])}")
if unwhite:
    print(f"{len(unwhite)} pixels of the message box are not white, first at {unwhite[0]}")
ink = sum(exported(x, y) != (255, 255, 255) for y in range(height) for x in range(width))
if ink < 5000:
    print(f"only {ink} pixels of the picture are drawn")
sys.exit(1 if differences or unwhite or ink < 5000 else 0)
PY

expected=$(printf '%s\r\n' \
    "date_time,kind,distance_cm,diagonal_in,ny,nx,acuity,figure_size,presentations,right,wrong,unanswered,average_answer_s,push_ups" \
    "2026-12-01T09:05:03,sight check,200.0,17.7,768,1024,0.70,,,,,,," \
    "2026-12-01T10:15:30,training,200.0,,,,,4,100,90,6,4,1.50,16" \
    "2026-12-02T18:00:00,training,200.0,,,,,5,100,95,3,2,1.20,8" \
    "2026-12-03T08:30:10,sight check,250.0,17.7,768,1024,0.80,,,,,,," \
    "2026-12-03T09:00:00,training,250.0,,,,,6,100,100,0,0,0.90,0" | od -c)
(cd "$WORK/elsewhere" && env -u DISPLAY "$EXPORT" --log ../pelidor.rtr csv results.csv) ||
    fail "pelidor-export csv failed"
[ "$(od -c "$WORK/elsewhere/results.csv")" = "$expected" ] ||
    fail "the CSV of the fixture log differs: $(cat -A "$WORK/elsewhere/results.csv")"
cmp -s "$SOURCE_DIR/tests/e2e/fixture.rtr" "$WORK/pelidor.rtr" || fail "the log was changed"
echo "export end-to-end test passed: the picture is the window's graph"
