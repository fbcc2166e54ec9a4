#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets with clang and runs each for a bounded time (seconds, default 30),
# starting from a few valid pictures, card files and decks. Fails when a target finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF -DORVANE_SANITIZE=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_main_picture fuzz_bmp_converter \
    fuzz_card_file fuzz_deck orvane_gfx

corpus=build-fuzz/corpus
mkdir -p "$corpus/pictures" "$corpus/bitmaps" "$corpus/cards" "$corpus/decks"
cp build-fuzz/bin/gfx/bitblts/*.bmp build-fuzz/bin/gfx/arrows/*.bmp "$corpus/bitmaps/"
cp build-fuzz/bin/gfx/bitblts/A.bmp build-fuzz/bin/gfx/bitblts/Boss\ Frame.bmp "$corpus/pictures/"
# Small valid card files and decks in the forms the readers take.
cat >"$corpus/cards/plain.orvcard" <<'CARD'
{"format": "orvane-card", "version": 1, "name": "Hero",
 "sides": {"up": "A", "left": "3", "right": "7", "down": "2"}, "element": "Fire",
 "arrows": ["upper-left", "down"], "x": 0, "y": 31,
 "placement": {"TopX": 7, "ElemY": 4}, "picture": null, "preparation": null}
CARD
printf '{"format":"orvane-card","version":1,"sides":{"up":"1","left":"1","right":"1","down":"1"},"element":null,"arrows":["nw"]}' \
    >"$corpus/cards/small.orvcard"
printf 'name,up,left,right,down,element,arrows,picture,x,y,fit,scale\r\n"Hero, one",1,A,10,2,fire,0 up-left,,3,4,fill,\r\nTrap,,,,,Trap,,,,,,\r\n' \
    >"$corpus/decks/comma.csv"
printf '\xEF\xBB\xBFName;Up;Left;Right;Down;Notes\nCaf\xC3\xA9;1;2;3;4;"a;b"\n' >"$corpus/decks/semicolon.csv"
printf '\xFF\xFEn\0a\0m\0e\0\t\0u\0p\0\n\0' >"$corpus/decks/utf16.csv"
printf 'name\tup\tleft\tright\tdown\nCaf\xE9\t1\t1\t1\t1\n' >"$corpus/decks/cp1252.tsv"
export QT_QPA_PLATFORM=offscreen
for target in fuzz_main_picture:pictures fuzz_bmp_converter:bitmaps fuzz_card_file:cards \
    fuzz_deck:decks; do
    name="${target%%:*}"
    dir="$corpus/${target##*:}"
    echo "-- $name for ${seconds}s"
    status=0
    ASAN_OPTIONS=detect_leaks=1 "build-fuzz/bin/$name" -max_total_time="$seconds" \
        -rss_limit_mb=2048 -max_len=65536 -timeout=10 -print_final_stats=1 "$dir" \
        >"build-fuzz/$name.log" 2>&1 || status=$?
    grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY|Done' \
        "build-fuzz/$name.log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "build-fuzz/$name.log"
        echo "$name found a failure"
        exit 1
    fi
done
