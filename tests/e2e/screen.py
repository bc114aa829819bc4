#!/usr/bin/env python3
"""Reads the screen as a person would, for the end-to-end tests.

  screen.py origin shot.ppm      prints "x y": where the graphics surface lies on the screen
                                 (its top-left pixel is the first black pixel right of the
                                 frame's left border at the height of the grey blank or
                                 picture; found from the start-screen picture's column 0)
  screen.py gap shot.ppm x y     prints "left" or "right": the side of the ring's gap, for a
                                 surface at (x, y); "none" when no ring is seen
  screen.py side shot.ppm x y    prints "left" or "right": the side of the training figure
  screen.py wait shot.ppm seconds CHECK [args]
                                 takes screenshots into shot.ppm until CHECK holds, at most
                                 the given seconds; prints what the check found and fails when
                                 it never held. CHECK is one of
      origin                     a start-screen picture is shown; prints "x y" of the surface
      answer x y                 a training frame awaits its answer (the signal bar is green)
      answered x y               the signal bar is no longer green: the answer was taken
      ring x y                   a Landolt ring is shown; prints the side of its gap
      colour R G B x y x1 y1 x2 y2
                                 a pixel of that colour lies in the rectangle (x1, y1)-(x2, y2)
                                 of the surface at (x, y)
      changed other.ppm x y      the surface at (x, y) differs from the one in other.ppm
"""
import math
import subprocess
import sys
import time

SURFACE_W, SURFACE_H = 980, 650


def read_ppm(path):
    data = open(path, "rb").read()
    parts = data.split(maxsplit=4)
    assert parts[0] == b"P6"
    return int(parts[1]), int(parts[2]), parts[4]


class Shot:
    def __init__(self, path):
        self.width, self.height, self.pixels = read_ppm(path)

    def rgb(self, x, y):
        i = 3 * (y * self.width + x)
        return self.pixels[i], self.pixels[i + 1], self.pixels[i + 2]

    def level(self, x, y):
        r, g, b = self.rgb(x, y)
        return r if r == g == b else -1


def origin(shot):
    # Row 0 of a start-screen picture of any size: black at x = 0, white from x = 1.
    for oy in range(0, 120):
        for ox in range(0, 40):
            if shot.level(ox, oy) == 0 and shot.level(ox + 1, oy) == 255 and \
                    shot.level(ox, oy + 1) == 0 and shot.level(ox, oy + 2) == 0 and \
                    shot.level(ox, oy + 200) == 0 and shot.level(ox + 1, oy + 1) in (0, 255):
                if all(shot.level(ox, oy + k) == 0 for k in range(0, 600, 7)):
                    return ox, oy
    return None


def gap_side(shot, ox, oy):
    cx, cy = ox + SURFACE_W // 2, oy + SURFACE_H // 2
    # Find the ring's outer radius along the four diagonals and the horizontal.
    black = [r for r in range(1, 300) if shot.level(cx - r, cy) == 0 or shot.level(cx + r, cy) == 0
             or shot.level(cx, cy - r) == 0 or shot.level(cx, cy + r) == 0]
    if not black:
        return "none"
    inner, outer = min(black), max(black)
    middle = (inner + outer) / 2
    white = {"left": 0, "right": 0}
    for degrees in range(0, 360, 3):
        angle = math.radians(degrees)
        x = round(cx + middle * math.cos(angle))
        y = round(cy + middle * math.sin(angle))
        if shot.level(x, y) == 255:
            if math.cos(angle) > 0.3:
                white["right"] += 1
            elif math.cos(angle) < -0.3:
                white["left"] += 1
    return "right" if white["right"] > white["left"] else "left"


def figure_side(shot, ox, oy):
    # The field alternates every row at each column; the figure's blocks keep a colour for
    # K rows. Count vertical pairs of equal pixels on each half of the stimulus area.
    same = {"left": 0, "right": 0}
    for y in range(oy + 22, oy + SURFACE_H - 2, 2):
        for x in range(ox + 2, ox + SURFACE_W - 2, 3):
            if shot.level(x, y) >= 0 and shot.level(x, y) == shot.level(x, y + 1):
                same["left" if x - ox < 490 else "right"] += 1
    return "right" if same["right"] > same["left"] else "left"


def has_colour(shot, rgb, ox, oy, x1, y1, x2, y2):
    for y in range(oy + y1, oy + y2 + 1):
        for x in range(ox + x1, ox + x2 + 1):
            if shot.rgb(x, y) == rgb:
                return True
    return False


def surface_of(shot, ox, oy):
    return [shot.pixels[3 * ((oy + y) * shot.width + ox):3 * ((oy + y) * shot.width + ox + SURFACE_W)]
            for y in range(SURFACE_H)]


def check(name, shot, args):
    """What the check found when it holds, else None."""
    if name == "origin":
        found = origin(shot)
        return None if found is None else f"{found[0]} {found[1]}"
    if name == "answer":
        ox, oy = int(args[0]), int(args[1])
        return "answer" if shot.rgb(ox + 5, oy + 15) == (0, 255, 0) else None
    if name == "answered":
        ox, oy = int(args[0]), int(args[1])
        return "answered" if shot.rgb(ox + 5, oy + 15) != (0, 255, 0) else None
    if name == "ring":
        ox, oy = int(args[0]), int(args[1])
        side = gap_side(shot, ox, oy)
        return None if side == "none" else side
    if name == "colour":
        rgb = (int(args[0]), int(args[1]), int(args[2]))
        ox, oy, x1, y1, x2, y2 = (int(a) for a in args[3:9])
        return "found" if has_colour(shot, rgb, ox, oy, x1, y1, x2, y2) else None
    if name == "changed":
        other = Shot(args[0])
        ox, oy = int(args[1]), int(args[2])
        return "changed" if surface_of(shot, ox, oy) != surface_of(other, ox, oy) else None
    raise SystemExit(f"unknown check {name}")


def wait(path, seconds, name, args):
    deadline = time.monotonic() + seconds
    while True:
        subprocess.run(["import", "-window", "root", "-depth", "8", f"ppm:{path}"], check=True)
        found = check(name, Shot(path), args)
        if found is not None:
            print(found)
            return 0
        if time.monotonic() > deadline:
            print("none")
            return 1
        time.sleep(0.02)


def main():
    if sys.argv[1] == "wait":
        sys.exit(wait(sys.argv[2], float(sys.argv[3]), sys.argv[4], sys.argv[5:]))
    command, shot = sys.argv[1], Shot(sys.argv[2])
    if command == "origin":
        found = origin(shot)
        print("none" if found is None else f"{found[0]} {found[1]}")
    elif command == "gap":
        print(gap_side(shot, int(sys.argv[3]), int(sys.argv[4])))
    elif command == "side":
        print(figure_side(shot, int(sys.argv[3]), int(sys.argv[4])))


if __name__ == "__main__":
    main()
