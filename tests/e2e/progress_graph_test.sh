#!/usr/bin/env bash
# "Effect from training" with a fixture log in the folder: the graph replaces the start screen
# with its panels, bars, date labels and message where the log puts them, and a click brings
# the start screen back.
set -euo pipefail
PROGRAM=$1
SOURCE_DIR=$2
source "$SOURCE_DIR/tests/e2e/xvfb_session.sh"
trap cleanup_session EXIT
fail() { echo "$1"; cat "$WORK/program.log"; exit 1; }

start_display
show_fixture_graph || fail "the graph was not shown"
import -window root -depth 8 "ppm:$WORK/graph.ppm"
python3 - "$WORK/graph.ppm" "$ox" "$oy" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)
width = int(parts[1])
pixels = parts[4]
ox, oy = int(sys.argv[2]), int(sys.argv[3])
failures = []


def rgb(x, y):
    i = 3 * ((oy + y) * width + ox + x)
    return pixels[i], pixels[i + 1], pixels[i + 2]


def share(points, colour):
    points = list(points)
    return sum(rgb(x, y) == colour for x, y in points) / len(points)


def expect(what, ok):
    if not ok:
        failures.append(what)


WHITE, BLACK = (255, 255, 255), (0, 0, 0)
BLUE, GREEN, MESSAGE = (0, 0, 255), (0, 178, 0), (0, 170, 221)

# The panel frames: the upper one from (40, 35) to (937, 252), the lower one from (40, 287) to
# (937, 612), black, on white paper. Bars and curves end on the bottom edges, so a few of
# their pixels are coloured.
for top, bottom in ((35, 252), (287, 612)):
    expect(f"frame rows {top}, {bottom}",
           share([(x, y) for y in (top, bottom) for x in range(40, 938)], BLACK) > 0.95)
    expect(f"frame columns between rows {top} and {bottom}",
           share([(x, y) for x in (40, 937) for y in range(top, bottom + 1)], BLACK) > 0.95)
    expect(f"white outside the frame {top}-{bottom}",
           share([(938, y) for y in range(top, bottom + 1)], WHITE) == 1.0)
expect("white above the upper frame", share([(x, 34) for x in range(40, 938)], WHITE) == 1.0)
expect("white below the lower frame", share([(x, 613) for x in range(40, 938)], WHITE) == 1.0)

# The log spans 1 to 3 December: 3 days, 897 pixels. The first sight check (09:05:03, acuity
# 0.70) stands at x = 40 + round(32703 / 259200 * 897) = 153, a blue bar from the bottom edge
# up to row 252 - round(0.7 * 217) = 100.
expect("acuity bar at x 153", share([(153, y) for y in range(101, 252)], BLUE) > 0.95)
expect("acuity bar ends at row 100", rgb(153, 100) == BLUE and rgb(153, 98) != BLUE)
expect("nothing blue beside the bar",
       share([(x, y) for x in (150, 156) for y in range(110, 245)], BLUE) == 0)
# The first training (10:15:30, 100 presentations) at x = 40 + round(36930 / 259200 * 897) =
# 168: a green bar from the bottom edge up to row 612 - round(0.5 * 325) = 450.
expect("volume bar at x 168", share([(168, y) for y in range(455, 606)], GREEN) > 0.9)
expect("nothing green beside it",
       share([(x, y) for x in (165, 171) for y in range(455, 606)], GREEN) == 0)


def ink(box, colour=None):
    x1, y1, x2, y2 = box
    found = [(x, y) for y in range(y1, y2 + 1) for x in range(x1, x2 + 1)
             if (rgb(x, y) == colour if colour else rgb(x, y) != WHITE)]
    if not found:
        return None
    return (min(x for x, _ in found), min(y for _, y in found),
            max(x for x, _ in found), max(y for _, y in found))


# The date labels start at (10, 620) and (748, 620), the message at (265, 621); each hangs
# below and right of its corner. Nothing else is written under the panels.
for what, corner, box, colour in (
        ("Beginning label", (10, 620), (0, 614, 262, 649), BLACK),
        ("End label", (748, 620), (720, 614, 979, 649), BLACK),
        ("closing message", (265, 621), (263, 614, 719, 649), MESSAGE)):
    found = ink(box, colour)
    if found is None:
        failures.append(f"no {what}")
        continue
    x1, y1, x2, y2 = found
    expect(f"{what} at {found[:2]}, not at {corner}",
           corner[0] - 2 <= x1 <= corner[0] + 4 and corner[1] <= y1 <= corner[1] + 8)
    expect(f"{what} is text-sized: {found}", 12 <= y2 - y1 <= 30 and x2 - x1 > 100)
expect("only the three texts under the panels",
       ink((0, 614, 979, 649)) is not None and
       all(rgb(x, y) in (WHITE, BLACK, MESSAGE) for y in range(614, 650) for x in range(980)))

for failure in failures:
    print("graph layout:", failure)
sys.exit(1 if failures else 0)
PY
xdotool mousemove 500 400 click 1
wait_screen 10 origin >/dev/null || fail "the start screen did not come back after a click"
kill -0 "$PROGRAM_PID" || fail "the program ended"
echo "progress graph end-to-end test passed"
