#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the card file type's icon: a sheet of paper with a folded corner holding a small blue
card over a red one. Writes assets/mime/application-x-orvane-card.xpm (32 x 32)."""
import os
import sys

SIZE = 32
PALETTE = {
    ' ': 'None',
    'o': '#404040',  # sheet outline
    'w': '#F4F4F0',  # sheet
    'f': '#C8C8C0',  # folded corner
    'B': '#1C3C9C',  # blue card
    'b': '#5C7CDC',  # blue card's light edge
    'R': '#A41C1C',  # red card
    'r': '#E05C5C',  # red card's light edge
    'y': '#F0D040',  # the cards' digits
}


def draw():
    grid = [[' '] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                grid[y][x] = c

    # The sheet, 4..27 wide, 1..30 high, the upper right corner folded over 6 pixels.
    fold = 6
    for y in range(1, 31):
        for x in range(4, 28):
            if x - 27 + fold > y - 1:  # cut off by the fold
                continue
            edge = x in (4, 27) or y in (1, 30) or x - 27 + fold == y - 1
            grid[y][x] = 'o' if edge else 'w'
    for y in range(1, 1 + fold):
        for x in range(27 - fold, 28):
            if x - (27 - fold) <= y - 1:
                grid[y][x] = 'o' if x == 27 - fold or y == fold else 'f'

    # The red card behind, the blue card in front, each with a light upper edge and a digit.
    for (x0, y0, dark, light) in ((13, 11, 'R', 'r'), (8, 16, 'B', 'b')):
        rect(x0, y0, x0 + 10, y0 + 10, dark)
        rect(x0, y0, x0 + 10, y0, light)
        rect(x0, y0, x0, y0 + 10, light)
        rect(x0 + 4, y0 + 2, x0 + 6, y0 + 2, 'y')
        rect(x0 + 5, y0 + 3, x0 + 5, y0 + 5, 'y')
    return grid


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        root, 'assets', 'mime', 'application-x-orvane-card.xpm')
    grid = draw()
    lines = ['/* XPM */', 'static const char *card_file_icon[] = {',
             '"%d %d %d 1",' % (SIZE, SIZE, len(PALETTE))]
    lines += ['"%s c %s",' % (k, v) for k, v in PALETTE.items()]
    lines += ['"%s",' % ''.join(row) for row in grid]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    with open(out, 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
