#!/usr/bin/env python3
"""Finds the dark marks of a picture, left to right: groups of columns that
hold pixels darker than a threshold, separated by at least GAP light columns.
The tag window test uses it to find the captions of the tab buttons ("1" to
"4") in the strip above the pictures.

    darkspots.py IMAGE.pgm [THRESHOLD [GAP [AXIS]]]

IMAGE is a binary grey map (convert ... pgm:-). Prints one line per mark:
"X Y WIDTH HEIGHT" with X, Y its centre in the picture's coordinates. With
AXIS "y" the marks are groups of rows, top to bottom, instead of columns
(the GTK tag window test finds the band of its pictures so).
"""
import sys


def read_pgm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b"P5" or int(fields[3]) > 255:
        raise ValueError(f"{path}: not an 8-bit binary grey map")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height]
    return width, height, pixels


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    threshold = int(sys.argv[2]) if len(sys.argv) > 2 else 64
    gap = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    width, height, pixels = read_pgm(sys.argv[1])
    by_rows = len(sys.argv) > 4 and sys.argv[4] == "y"
    if by_rows:
        pixels = bytes(pixels[y * width + x] for x in range(width) for y in range(height))
        width, height = height, width
    dark_rows = [[y for y in range(height) if pixels[y * width + x] < threshold] for x in range(width)]

    marks = []
    current = None
    light_run = 0
    for x in range(width):
        if dark_rows[x]:
            if current is None:
                current = [x, x]
            current[1] = x
            light_run = 0
        elif current is not None:
            light_run += 1
            if light_run >= gap:
                marks.append(current)
                current = None
    if current is not None:
        marks.append(current)

    for left, right in marks:
        rows = [y for x in range(left, right + 1) for y in dark_rows[x]]
        top, bottom = min(rows), max(rows)
        mark = ((left + right) // 2, (top + bottom) // 2, right - left + 1, bottom - top + 1)
        if by_rows:
            mark = (mark[1], mark[0], mark[3], mark[2])
        print(*mark)
    return 0


if __name__ == "__main__":
    sys.exit(main())
