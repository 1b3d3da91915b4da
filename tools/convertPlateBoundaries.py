#!/usr/bin/env python3
"""Converts the published plate-boundary files into the line formats Quorvel's loaders read.

    tools/convertPlateBoundaries.py SOURCE_FOLDER graphics/map/resources

PB2002 (Bird 2003): the title lines are kept; each point line " -4.37900E-01,-5.48518E+01"
becomes "-4.37900E-01 -5.48518E+01" (longitude, a blank, latitude); "***" lines stay.
UTIG trench/ridge/transform (GMT multi-segment): CRLF becomes LF; the file gets a title
line; each "> NNNN NAME" header becomes the title line "NNNN NAME" of its segment, and
every segment ends with a ">" line.
"""
import os
import sys


def convert_bird(text):
    out = []
    for line in text.splitlines():
        if line.startswith("***") or "," not in line:
            out.append(line)
        else:
            lon, lat = line.strip().split(",", 1)
            out.append(lon + " " + lat)
    return "\n".join(out) + "\n"


def convert_utig(text, title):
    segments = []  # (title, points)
    for line in text.replace("\r\n", "\n").replace("\r", "\n").split("\n"):
        if line.startswith(">"):
            segments.append((line[1:].strip(), []))
        elif line.strip() and segments:
            segments[-1][1].append(line.strip())
    out = [title]
    for name, points in segments:
        if points:  # a header with no points after it is no segment
            out += [name] + points + [">"]
    return "\n".join(out) + "\n"


def main():
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    with open(os.path.join(source, "PB2002_boundaries.dig.txt"), encoding="ascii") as f:
        bird = convert_bird(f.read())
    with open(os.path.join(target, "PB2002_boundaries.txt"), "w", encoding="ascii", newline="\n") as f:
        f.write(bird)
    for name in ("trench", "ridge", "transform"):
        with open(os.path.join(source, name + ".txt"), encoding="ascii", newline="") as f:
            utig = convert_utig(f.read(), "UTIG PLATES " + name)
        with open(os.path.join(target, name + ".txt"), "w", encoding="ascii", newline="\n") as f:
            f.write(utig)


if __name__ == "__main__":
    main()
