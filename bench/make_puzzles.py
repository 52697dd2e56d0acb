#!/usr/bin/env python3
"""Writes the generated benchmark puzzles as .tb clue files.

Every set is made from fixed seeds, so the same command always writes the
same files:

  random      60 random pictures, 30 to 60 cells a side, densities 0.3 to 0.7
  tournament  1,000 random 25 x 25 pictures, densities 0.3 to 0.7 (the kind
              of puzzle the computer-nonogram tournaments set)
  large       at 800, 1600, 2400 and 3200 a side: a blank grid (every clue 0),
              a sparse one (a few small shapes on a blank field) and a
              picture-like one (a fixed number of shapes that grow with the
              side, so the picture keeps its look)

  bench/make_puzzles.py [--sets random,tournament,large] [OUTDIR]

OUTDIR defaults to build/puzzles; each set goes to its own folder there.
"""

import argparse
import random
from pathlib import Path

# The picture-like puzzles' seeds, one a side: the first whose picture line
# logic solves, so the set times line logic to its end.
SHAPES_SEEDS = {800: 80001, 1600: 160001, 2400: 240002, 3200: 320001}


def runs(cells):
    """The clue of one line: the lengths of its runs of filled cells, or [0]."""
    lengths, length = [], 0
    for filled in cells:
        if filled:
            length += 1
        elif length:
            lengths.append(length)
            length = 0
    if length:
        lengths.append(length)
    return lengths or [0]


def write_tb(path, picture):
    """The clue file of a picture (a list of rows of booleans)."""
    rows, cols = len(picture), len(picture[0])
    lines = [f"{rows} {cols}"]
    lines += [" ".join(map(str, runs(row))) for row in picture]
    lines.append("")
    lines += [" ".join(map(str, runs(column))) for column in zip(*picture)]
    path.write_text("\n".join(lines) + "\n", encoding="ascii")


def random_picture(rng, rows, cols, density):
    return [[rng.random() < density for _ in range(cols)] for _ in range(rows)]


def add_shape(picture, rng, top, left, height, width):
    """Fills the cells of an ellipse or a rectangle."""
    rows, cols = len(picture), len(picture[0])
    ellipse = rng.random() < 0.5
    cy, cx = top + height / 2, left + width / 2
    for r in range(max(top, 0), min(top + height, rows)):
        row = picture[r]
        for c in range(max(left, 0), min(left + width, cols)):
            if ellipse and ((r + 0.5 - cy) / (height / 2)) ** 2 + ((c + 0.5 - cx) / (width / 2)) ** 2 > 1:
                continue
            row[c] = True


def shapes_picture(rng, side, count, smallest, largest):
    picture = [[False] * side for _ in range(side)]
    for _ in range(count):
        height, width = rng.randint(smallest, largest), rng.randint(smallest, largest)
        add_shape(picture, rng, rng.randint(-height // 2, side - height // 2),
                  rng.randint(-width // 2, side - width // 2), height, width)
    return picture


def make_random(out):
    rng = random.Random(20261209)
    for number in range(60):
        rows, cols = rng.randint(30, 60), rng.randint(30, 60)
        density = round(rng.uniform(0.3, 0.7), 2)
        write_tb(out / f"rand-{number:02d}-{rows}x{cols}-d{density:.2f}.tb",
                 random_picture(rng, rows, cols, density))


def make_tournament(out):
    rng = random.Random(25252525)
    for number in range(1000):
        density = round(rng.uniform(0.3, 0.7), 2)
        write_tb(out / f"t25-{number:04d}-d{density:.2f}.tb", random_picture(rng, 25, 25, density))


def make_large(out):
    for side, seed in SHAPES_SEEDS.items():
        write_tb(out / f"blank-{side}.tb", [[False] * side for _ in range(side)])
        # Six shapes of at most 12 cells a side, wherever the seed puts them.
        write_tb(out / f"sparse-{side}.tb", shapes_picture(random.Random(side), side, 6, 4, 12))
        write_tb(out / f"shapes-{side}.tb", shapes_picture(random.Random(seed), side, 60, side // 20, side // 5))


SETS = {"random": make_random, "tournament": make_tournament, "large": make_large}


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("outdir", nargs="?", default="build/puzzles")
    parser.add_argument("--sets", default=",".join(SETS), help="comma-separated: " + ", ".join(SETS))
    args = parser.parse_args()
    for name in args.sets.split(","):
        if name not in SETS:
            parser.error(f"unknown set {name!r}")
        folder = Path(args.outdir) / name
        folder.mkdir(parents=True, exist_ok=True)
        SETS[name](folder)
        print(f"{folder}: {len(list(folder.glob('*.tb')))} puzzles")


if __name__ == "__main__":
    main()
