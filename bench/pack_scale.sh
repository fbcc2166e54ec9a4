#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A 110-card deck rendered at --scale 4, whole process, with the shipped 4 x pack (its @4x parts)
# against the built-in parts (enlarged by whole pixels). Each run 5 times into a fresh folder,
# the median reported, then the ratio.
# Usage: bash bench/pack_scale.sh [BUILD-DIR]   (needs python3 and bc)
set -euo pipefail
build=${1:-build}
bin="$(cd "$build/bin" && pwd)"
packs="$(cd "$build/share/orvane/packs" && pwd)"
tmp=${BENCH_TMP:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$tmp")
trap 'rm -rf "$work"' EXIT
cards=110

python3 - "$work" "$cards" <<'PY'
import struct, sys
work, cards = sys.argv[1], int(sys.argv[2])

def write_bmp(path, px):  # 62 x 62, 24-bit, rows bottom up, each padded to 4 bytes
    row = 62 * 3 + 2
    data = bytearray()
    for y in reversed(range(62)):
        for x in range(62):
            r, g, b = px(x, y)
            data += bytes((b, g, r))
        data += b"\0\0"
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 62, 62, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)

with open(f"{work}/deck.csv", "w") as f:
    f.write("name,up,left,right,down,element,arrows,picture,x,y\n")
    for k in range(cards):
        write_bmp(f"{work}/pic{k:04d}.bmp", lambda x, y: (0, 0, 0) if (x + y + k) % 7 == 0
                  else ((x * 4 + k) % 256, (y * 4) % 256, k % 256))
        f.write(f"card{k:04d},{1 + k % 9},{1 + (k // 9) % 9},A,{1 + (k // 3) % 9},fire,0 7,pic{k:04d}.bmp,0,0\n")
PY

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
run() {  # run LABEL ARGS...: median wall seconds of 5 runs
    local label=$1; shift
    for i in 1 2 3 4 5; do
        rm -rf "$work/out"
        local start end
        start=$(date +%s.%N)
        XDG_CACHE_HOME="$work/cache$i$label" "$bin/orvane-render" "$work/deck.csv" --out "$work/out" \
            --scale 4 --quiet "$@"
        end=$(date +%s.%N)
        echo "$end - $start" | bc
    done | median
}
builtin=$(run builtin)
pack=$(run pack --pack "$packs/sharp4x")
echo "110 cards at --scale 4, built-in parts (enlarged): ${builtin} s"
echo "110 cards at --scale 4, Sharp 4x pack (@4x parts): ${pack} s"
echo "ratio pack / built-in: $(echo "scale=2; $pack / $builtin" | bc)"
