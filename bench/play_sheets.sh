#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the outputs made from a whole deck, each the median of several whole-process runs, with
# its peak memory (maximum resident set):
#   - deck sheets for a 110-card deck at x 6, both colours (4 sheets of up to 3720 x 2604),
#   - an atlas of a 1000-card deck (2000 frames, both colours),
#   - a card file's thumbnail at 256 pixels, as a file manager asks for it.
# Usage: bash bench/play_sheets.sh [BUILD-DIR] [RUNS]   (needs GNU time)
set -euo pipefail
build=${1:-build}
runs=${2:-5}
render="$(cd "$build/bin" && pwd)/orvane-render"
# On a memory file system where there is one, so the disk's write-back does not decide the runs.
tmp=${BENCH_TMP:-/dev/shm}
[ -d "$tmp" ] && [ -w "$tmp" ] || tmp=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$tmp")
trap 'rm -rf "$work"' EXIT

# Decks of distinct cards (no pictures: the sheets, not the picture decoding, are measured).
for n in 110 1000; do
    {
        echo "name,up,left,right,down,element,arrows"
        for ((k = 0; k < n; k++)); do
            echo "card$k,$((k % 9 + 1)),$((k / 9 % 9 + 1)),$((k * 7 % 9 + 1)),A,fire,$((k % 8))"
        done
    } > "$work/deck$n.csv"
done
"$render" "$work/deck110.csv" --out "$work/card" --quiet
cp "$(ls "$work"/card/*.png | head -1)" "$work/pic.png"
printf 'name,up,left,right,down,picture\nthumb,1,2,3,4,pic.png\n' > "$work/one.csv"

median() {
    sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'
}

# measure NAME COMMAND...: the median wall time, the median processor time (user + system: what
# the work costs, whatever else the machine runs) and the largest peak memory over the runs.
measure() {
    local name=$1; shift
    local walls=() cpus=() peak=0
    for ((r = 0; r < runs; r++)); do
        rm -rf "$work/out"
        mkdir -p "$work/out"
        /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" > /dev/null
        read -r wall user system kib < "$work/time"
        walls+=("$wall")
        cpus+=("$(echo "$user + $system" | bc -l)")
        (( kib > peak )) && peak=$kib
    done
    printf '%-44s %7.3f s wall, %7.3f s processor, peak %6.1f MiB\n' "$name" \
        "$(printf '%s\n' "${walls[@]}" | median)" "$(printf '%s\n' "${cpus[@]}" | median)" \
        "$(echo "$peak / 1024" | bc -l)"
}

measure "deck sheets, 110 cards x 6, both colours" \
    "$render" "$work/deck110.csv" --out "$work/out" --tts "$work/out/tts" --scale 6 --quiet
measure "atlas, 1000 cards, both colours" \
    "$render" "$work/deck1000.csv" --out "$work/out" --atlas "$work/out/atlas.png" --quiet

# The thumbnail: many runs, in milliseconds, since it is one short process.
"$render" "$work/one.csv" --out "$work/card" --quiet
card="$work/thumb.orvcard"
"$render" --help > /dev/null
python3 - "$work" <<'PY'
import base64, json, sys
work = sys.argv[1]
png = base64.b64encode(open(f"{work}/pic.png", "rb").read()).decode()
card = {"format": "orvane-card", "version": 1, "name": "thumb",
        "sides": {"up": "1", "left": "2", "right": "3", "down": "4"}, "element": "Fire",
        "arrows": ["up"], "x": 0, "y": 0,
        "picture": {"path": "pic.png", "width": 62, "height": 62, "png": png}}
json.dump(card, open(f"{work}/thumb.orvcard", "w"))
PY
times=()
for ((r = 0; r < 21; r++)); do
    t0=$(date +%s%N)
    "$render" --thumbnail "$card" "$work/thumb.png" 256
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 100000 )))
done
printf '%s\n' "${times[@]}" | sort -n |
    awk '{a[NR] = $1} END {printf "%-44s %6.1f ms median, %.1f ms max of %d\n", "thumbnail of a card file, 256 px, whole process", a[int((NR + 1) / 2)] / 10, a[NR] / 10, NR}'
/usr/bin/time -f '%M' -o "$work/time" "$render" --thumbnail "$card" "$work/thumb.png" 256
printf '%-44s peak %.1f MiB\n' "thumbnail" "$(echo "$(cat "$work/time") / 1024" | bc -l)"
