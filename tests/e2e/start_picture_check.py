#!/usr/bin/env python3
"""Checks a screenshot (binary PPM) against the start screen picture of one size, pixel for
pixel: finds where the 980 x 650 graphics surface lies on the screen, then compares every pixel
with the picture the rules give (image mode: column 0 and the columns past the last whole
stripe are black).

Usage: start_picture_check.py screenshot.ppm pelidor.sym size x_offset
"""
import sys

WIDTH, HEIGHT = 980, 650


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            while data[position:position + 1] not in (b"\n", b""):
                position += 1
            continue
        start = position
        while not data[position:position + 1].isspace():
            position += 1
        fields.append(data[start:position])
    assert fields[0] == b"P6", "not a binary PPM"
    width, height, maximum = int(fields[1]), int(fields[2]), int(fields[3])
    assert maximum == 255
    return width, height, data[position + 1:]


def read_figure(path, size):
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").replace("\r\n", "\n").split("\n")
    line = 0
    for figure in range(1, 10):
        count = int(lines[line][16:24])
        line += 1
        values = []
        records = max(1, (2 * max(count, 0) + 19) // 20)
        for record in range(records):
            text = lines[line].ljust(80)
            line += 1
            values += [int(text[4 * k:4 * k + 4] or 0) if text[4 * k:4 * k + 4].strip() else 0
                       for k in range(20)]
        if figure == size:
            return [(values[2 * p], values[2 * p + 1]) for p in range(count)]
    raise ValueError("figure not found")


def expected_picture(points, size, x_offset):
    picture = [[0] * WIDTH for _ in range(HEIGHT)]
    stripes = WIDTH // size
    for y in range(HEIGHT):
        row = picture[y]
        for k in range(1, stripes + 1):
            if (k + y) % 2:
                for x in range((k - 1) * size + 1, min(k * size, WIDTH - 1) + 1):
                    row[x] = 255
    for r, c in points:
        for i in range(1, 2 * size + 1):
            for j in range(1, 2 * size + 1):
                x, y = c + x_offset + i, r + j
                if 0 <= x < WIDTH and 0 <= y < HEIGHT:
                    white = (i <= size and j <= size) or (i > size and j > size)
                    picture[y][x] = 255 if white else 0
    return picture


def main():
    shot, figures, size, x_offset = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    width, height, pixels = read_ppm(shot)
    picture = expected_picture(read_figure(figures, size), size, x_offset)

    def grey(x, y):
        i = 3 * (y * width + x)
        r, g, b = pixels[i], pixels[i + 1], pixels[i + 2]
        return r if r == g == b else -1

    # The surface's top-left corner: the first place where the top-left 24 x 6 pixels match.
    origin = None
    for oy in range(0, height - HEIGHT + 1):
        for ox in range(0, width - WIDTH + 1):
            if all(grey(ox + x, oy + y) == picture[y][x] for y in range(6) for x in range(24)):
                origin = (ox, oy)
                break
        if origin:
            break
    if origin is None:
        print("the start screen picture was not found on the screen")
        return 1
    ox, oy = origin
    wrong = [(x, y) for y in range(HEIGHT) for x in range(WIDTH)
             if grey(ox + x, oy + y) != picture[y][x]]
    if wrong:
        print(f"{len(wrong)} pixels differ, first at {wrong[:5]} (surface at {origin})")
        return 1
    print(f"picture of size {size} matches pixel for pixel (surface at {origin})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
