#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders 110 card pairs (each with its own 62 x 62 main picture) three ways in one run: an
# ImageMagick script (one convert process per card pair), a Python script with PIL (one
# process), and orvane-render; then the peak memory of orvane-render on a 1000-card deck.
# Each is run several times (fresh output folders) and its median reported, beside the same
# program's run on an empty deck (its start-up and end), and the bytes of the PNG files written.
# Usage: bash bench/render_deck.sh [BUILD-DIR]   (needs imagemagick, python3-pil, time)
# BENCH_ORVANE_ONLY=1 leaves out the ImageMagick and PIL timings.
set -euo pipefail
build=${1:-build}
bin="$(cd "$build/bin" && pwd)"
src="$(cd "$(dirname "$0")/.." && pwd)"
# On a memory file system where there is one (BENCH_TMP to choose): with a disk, each run's
# write-back slows the runs after it, and the figures would measure the disk's state.
tmp=${BENCH_TMP:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$tmp")
trap 'rm -rf "$work"' EXIT
convert=/usr/bin/convert
python=/usr/bin/python3
cards=110


# Pictures and decks, drawn by PIL (every picture its own colours, with black holes).
"$python" - "$work" "$cards" <<'PY'
import sys
from PIL import Image
work, cards = sys.argv[1], int(sys.argv[2])
for k in range(1000):
    im = Image.new("RGB", (62, 62))
    px = im.load()
    for y in range(62):
        for x in range(62):
            px[x, y] = (0, 0, 0) if (x + y + k) % 7 == 0 else ((x * 4 + k) % 256, (y * 4) % 256, k % 256)
    im.save(f"{work}/pic{k:04d}.png")
for name, n in (("deck.csv", cards), ("deck1000.csv", 1000), ("empty.csv", 0)):
    with open(f"{work}/{name}", "w") as f:
        f.write("name,up,left,right,down,element,arrows,picture,x,y\n")
        for k in range(n):
            f.write(f"card{k:04d},5,5,5,5,fire,0 7,pic{k:04d}.png,0,0\n")
PY
"$convert" "$src/assets/builtin/bluebase.xpm" "$work/bluebase.png"
"$convert" "$src/assets/builtin/redbase.xpm" "$work/redbase.png"
gfx="$bin/gfx"
aw=$("$convert" "$gfx/arrows/arrow 7.bmp" -format %w info:)
ah=$("$convert" "$gfx/arrows/arrow 7.bmp" -format %h info:)

# The median of several runs of a command, in ms; run r of command C writes in $work/C-r ($out).
median_ms() {
    local runs=$1; shift
    local times=()
    for ((r = 0; r < runs; r++)); do
        out="$work/$1-$r"
        mkdir -p "$out"
        local t0 t1
        t0=$(date +%s%N)
        "$@"
        t1=$(date +%s%N)
        times+=($(( (t1 - t0) / 1000000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'
}

# 1. ImageMagick: one convert per card pair, as a user would script it.
imagemagick() {
for ((k = 0; k < cards; k++)); do
    n=$(printf %04d $k)
    t() { echo "(" "$1" -transparent black ")" -geometry "$2" -composite; }
    # shellcheck disable=SC2046
    "$convert" -size 62x62 xc:none \
        $(t "$work/pic$n.png" +0+0) \
        "(" "$gfx/bitblts/5.bmp" -transparent black ")" -geometry +7+3 -composite \
        "(" "$gfx/bitblts/5.bmp" -transparent black ")" -geometry +3+11 -composite \
        "(" "$gfx/bitblts/5.bmp" -transparent black ")" -geometry +11+11 -composite \
        "(" "$gfx/bitblts/5.bmp" -transparent black ")" -geometry +7+19 -composite \
        "(" "$gfx/bitblts/Boss Frame.bmp" -transparent black ")" -geometry +0+0 -composite \
        "(" "$gfx/bitblts/fireelem.bmp" -transparent black ")" -geometry +44+4 -composite \
        "(" "$gfx/arrows/arrow 0.bmp" -transparent black ")" -geometry +0+0 -composite \
        "(" "$gfx/arrows/arrow 7.bmp" -transparent black ")" -geometry +$((62 - aw))+$((62 - ah)) -composite \
        -write mpr:layers +delete \
        "$work/bluebase.png" mpr:layers -composite -write "$out/card$n-blue.png" +delete \
        "$work/redbase.png" mpr:layers -composite "$out/card$n-red.png"
done
}
only=${BENCH_ORVANE_ONLY:-0}
im_ms=0
[ "$only" = 1 ] || im_ms=$(median_ms 3 imagemagick)
im_out=$work/imagemagick-0

# 2. Python with PIL, one process for every card.
cat > "$work/pil.py" <<'PY'
import sys
from PIL import Image, ImageChops
work, gfx, cards, out = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
def layer(path):
    im = Image.open(path).convert("RGB")
    r, g, b = im.split()
    mask = ImageChops.lighter(ImageChops.lighter(r, g), b).point(lambda v: 255 if v else 0)
    return im, mask
digit = layer(f"{gfx}/bitblts/5.bmp")
frame = layer(f"{gfx}/bitblts/Boss Frame.bmp")
elem = layer(f"{gfx}/bitblts/fireelem.bmp")
a0 = layer(f"{gfx}/arrows/arrow 0.bmp")
a7 = layer(f"{gfx}/arrows/arrow 7.bmp")
bases = [Image.open(f"{work}/bluebase.png").convert("RGB"), Image.open(f"{work}/redbase.png").convert("RGB")]
for k in range(cards):
    main = layer(f"{work}/pic{k:04d}.png")
    for base, side in zip(bases, ("blue", "red")):
        card = base.copy()
        for (im, mask), at in ((main, (0, 0)), (digit, (7, 3)), (digit, (3, 11)), (digit, (11, 11)),
                               (digit, (7, 19)), (frame, (0, 0)), (elem, (44, 4)), (a0, (0, 0)),
                               (a7, (62 - a7[0].width, 62 - a7[0].height))):
            card.paste(im, at, mask)
        card.save(f"{out}/card{k:04d}-{side}.png")
PY
pil() { "$python" "$work/pil.py" "$work" "$gfx" "$cards" "$out"; }
pil_ms=0
[ "$only" = 1 ] || pil_ms=$(median_ms 5 pil)

# 3. orvane-render, every core, and one.
orvane() { "$bin/orvane-render" "$work/deck.csv" --out "$out" --quiet "$@"; }
orvane_ms=$(median_ms 11 orvane)
orvane_out=$work/orvane-0
orvane1() { orvane --jobs 1; }
orvane1_ms=$(median_ms 11 orvane1)
empty() { "$bin/orvane-render" "$work/empty.csv" --out "$out" --quiet; }
empty_ms=$(median_ms 11 empty)
png_bytes=$(cat "$orvane_out"/*.png | wc -c)

# Same pixels? (orvane-render also draws the empty picture where no arrow is ticked.)
same=
[ "$only" = 1 ] || same=$("$convert" "$im_out/card0042-blue.png" "$orvane_out/card0042-blue.png" -alpha off \
    -metric AE -compare -format %[distortion] info: 2>/dev/null || true)

/usr/bin/time -v "$bin/orvane-render" "$work/deck1000.csv" --out "$work/big" --quiet \
    2> "$work/time.txt"
peak=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time.txt")

echo "$cards card pairs as PNG, whole process (median of 3 / 5 / 11 runs):"
printf '  ImageMagick script   %6d ms  (%.1f ms a pair)\n' "$im_ms" "$(echo "$im_ms / $cards" | bc -l)"
printf '  Python + PIL         %6d ms\n' "$pil_ms"
printf '  orvane-render        %6d ms  (--jobs 1: %d ms)\n' "$orvane_ms" "$orvane1_ms"
printf '  orvane-render, empty deck %6d ms; %d card pairs / empty deck: %.1f x\n' \
    "$empty_ms" "$cards" "$(echo "$orvane_ms / $empty_ms" | bc -l)"
echo "  PNG files written by orvane-render: $png_bytes bytes"
printf '  ratio ImageMagick / orvane-render: %.0f x; PIL / orvane-render: %.1f x\n' \
    "$(echo "$im_ms / $orvane_ms" | bc -l)" "$(echo "$pil_ms / $orvane_ms" | bc -l)"
echo "  pixels differing, card 42 blue, ImageMagick vs orvane-render: ${same:-?}"
echo "1000-card deck: peak RSS ${peak} KiB"
