#!/usr/bin/env python3
"""Writes the default figure set, data/pelidor.sym.

Each figure is drawn on a small grid of cells ('#' = a checker block). Figure K is shown with
blocks of 2K x 2K pixels, so each cell is enlarged to a whole number of blocks that makes the
figure about 160 pixels high, then placed in the middle of its half of the 980 x 650 window,
below row 20 (the training exercise keeps rows 0-19 for its bars).

Usage: make_figures.py [output]   (default: data/pelidor.sym next to this script's folder)
"""
import os
import sys

SHAPES = {
    1: ("ring", [
        "..#####..",
        ".#.....#.",
        "#.......#",
        "#.......#",
        "#.......#",
        "#.......#",
        "#.......#",
        ".#.....#.",
        "..#####..",
    ]),
    2: ("cross", [
        "...###...",
        "...###...",
        "...###...",
        "#########",
        "#########",
        "#########",
        "...###...",
        "...###...",
        "...###...",
    ]),
    3: ("letter H", [
        "##.....##",
        "##.....##",
        "##.....##",
        "##.....##",
        "#########",
        "##.....##",
        "##.....##",
        "##.....##",
        "##.....##",
    ]),
    4: ("triangle", [
        "....#....",
        "...###...",
        "...###...",
        "..#####..",
        "..#####..",
        ".#######.",
        ".#######.",
        "#########",
        "#########",
    ]),
    5: ("square", [
        "#########",
        "#########",
        "##.....##",
        "##.....##",
        "##.....##",
        "##.....##",
        "##.....##",
        "#########",
        "#########",
    ]),
    6: ("letter E", [
        "#######",
        "#######",
        "##.....",
        "##.....",
        "######.",
        "##.....",
        "##.....",
        "#######",
        "#######",
    ]),
    7: ("diamond", [
        "....#....",
        "...###...",
        "..#####..",
        ".#######.",
        "#########",
        ".#######.",
        "..#####..",
        "...###...",
        "....#....",
    ]),
    8: ("letter T", [
        "#########",
        "#########",
        "...###...",
        "...###...",
        "...###...",
        "...###...",
        "...###...",
        "...###...",
        "...###...",
    ]),
    9: ("arrow", [
        "....#....",
        "...###...",
        "..#####..",
        ".#######.",
        "#########",
        "...###...",
        "...###...",
        "...###...",
        "...###...",
    ]),
}

WINDOW_HEIGHT = 650
TOP = 20            # first row of the stimulus area
HALF_WIDTH = 470    # usable width of one half of the window
TARGET_HEIGHT = 160


def figure_points(size, rows):
    block = 2 * size
    cells_high = len(rows)
    cells_wide = max(len(r) for r in rows)
    scale = max(1, round(TARGET_HEIGHT / (block * cells_high)))
    cell = block * scale
    height = cells_high * cell
    width = cells_wide * cell
    top = TOP + (WINDOW_HEIGHT - TOP - height) // 2
    left = (HALF_WIDTH - width) // 2
    points = []
    for r, line in enumerate(rows):
        for c, mark in enumerate(line):
            if mark != "#":
                continue
            for dr in range(scale):
                for dc in range(scale):
                    points.append((top + (r * scale + dr) * block,
                                   left + (c * scale + dc) * block))
    return points


def section(size, name, rows):
    points = figure_points(size, rows)
    lines = [f"{('fig ' + str(size) + ' ' + name)[:16]:<16}{len(points):8d}"]
    values = [v for point in points for v in point]
    for start in range(0, max(len(values), 1), 20):
        lines.append("".join(f"{v:4d}" for v in values[start:start + 20]))
    return lines


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "pelidor.sym")
    lines = []
    for size in range(1, 10):
        name, rows = SHAPES[size]
        lines.extend(section(size, name, rows))
    with open(output, "w", newline="") as out:
        out.write("".join(line + "\r\n" for line in lines))


if __name__ == "__main__":
    main()
