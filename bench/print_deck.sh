#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A print of 200 cards with 3 copies each, whole process: one 600-dpi picture per card and copy
# with bleed (service-600), and an A4 PDF at 300 dpi (home-a4), both colours' blue faces. Each
# the median wall time of RUNS runs, with the processor time and peak memory of the last.
#   bash bench/print_deck.sh [BUILD-DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-3}
bin="$(cd "$build/bin" && pwd)"
tmp=${BENCH_TMP:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$tmp")
trap 'rm -rf "$work"' EXIT

# 200 cards, each with its own 62 x 62 picture (drawn here) and 3 copies.
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
with open(f"{work}/deck200.csv", "w") as deck:
    deck.write("name,up,left,right,down,element,arrows,picture,copies\n")
    for k in range(200):
        bmp(f"{work}/pic{k:03d}.bmp", 62, 62,
            lambda x, y: (0, 0, 0) if (x + y + k) % 7 == 0 else ((x * 4 + k) % 256, (y * 4) % 256, k % 256))
        deck.write(f"card{k:03d},{1 + k % 9},5,5,5,fire,0 7,pic{k:03d}.bmp,3\n")
PY

measure() {
    local label=$1 times=()
    shift
    for ((r = 0; r < runs; r++)); do
        rm -rf "$work/out" && mkdir -p "$work/out"
        local t0 t1
        t0=$(date +%s%N)
        /usr/bin/time -v "$bin/orvane-render" "$work/deck200.csv" --quiet "$@" 2> "$work/time.txt"
        t1=$(date +%s%N)
        times+=($(((t1 - t0) / 1000000)))
    done
    local median cpu peak
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}')
    cpu=$(awk -F': ' '/User time/ {u = $2} /System time/ {s = $2} END {printf "%.2f", u + s}' "$work/time.txt")
    peak=$(awk -F': ' '/Maximum resident/ {printf "%.1f", $2 / 1024}' "$work/time.txt")
    echo "$label: $median ms wall (median of $runs), $cpu s CPU, peak RSS $peak MiB"
}
measure "600-dpi pictures, 600 files" --print "$work/out/svc" --profile service-600 --colours blue
echo "  files: $(find "$work/out" -type f | wc -l)"
measure "A4 PDF at 300 dpi" --print "$work/out/a4.pdf" --profile home-a4 --colours blue
echo "  load: $(cut -d' ' -f1-3 /proc/loadavg)"
