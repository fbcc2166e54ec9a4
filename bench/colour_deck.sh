#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The colour step's cost on a whole deck: orvane-render on 110 cards, once plain and once with
# colours and dither on every row (16 colours, error diffusion), in two sets: each card its own
# 62 x 62 picture of many colours (no other preparation), and each its own 320 x 240 photo-like
# picture fitted to the card (fit = fit in both decks). Each deck is run several times into
# fresh folders; the median is reported.
# Usage: bash bench/colour_deck.sh [BUILD-DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
bin="$(cd "$build/bin" && pwd)"
tmp=${BENCH_TMP:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$tmp")
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
def bmp(path, w, h, pixel):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    head = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    open(path, "wb").write(head + info + data)
for k in range(110):
    bmp(f"{work}/pic{k:03d}.bmp", 62, 62,
        lambda x, y: (0, 0, 0) if (x + y + k) % 7 == 0 else ((x * 4 + k) % 256, (y * 4) % 256, (k * 9 + x) % 256))
    bmp(f"{work}/photo{k:03d}.bmp", 320, 240,
        lambda x, y: ((x * 3 + k) % 256, (y * 2 + x // 5) % 256, (k * 9 + (x ^ y)) % 256))
for prefix, picture, extra in (("", "pic", ""), ("photo-", "photo", ",fit")):
    with open(f"{work}/{prefix}plain.csv", "w") as plain, open(f"{work}/{prefix}colours.csv", "w") as coloured:
        head = "name,up,left,right,down,element,arrows,picture" + (",fit" if extra else "")
        plain.write(head + "\n")
        coloured.write(head + ",colours,dither\n")
        for k in range(110):
            row = f"card{k:03d},5,5,5,5,fire,0 7,{picture}{k:03d}.bmp{extra}"
            plain.write(row + "\n")
            coloured.write(row + ",16,diffusion\n")
PY

median_ms() {
    local deck=$1 times=()
    for ((r = 0; r < runs; r++)); do
        local out="$work/out-$deck-$r"
        mkdir -p "$out"
        local t0 t1
        t0=$(date +%s%N)
        "$bin/orvane-render" --quiet --out "$out" "$work/$deck.csv"
        t1=$(date +%s%N)
        times+=($(((t1 - t0) / 1000000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'
}

for prefix in "" photo-; do
    plain=$(median_ms "${prefix}plain")
    coloured=$(median_ms "${prefix}colours")
    echo "110 cards, ${prefix:-62x62-}plain:                  $plain ms"
    echo "110 cards, ${prefix:-62x62-}colours 16 + diffusion: $coloured ms"
    awk -v a="$plain" -v b="$coloured" 'BEGIN { printf "ratio: %.2f x\n", b / a }'
done
