#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time (seconds, default 30),
# starting from a few valid pictures. Fails when a target finds a crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DORVANE_FUZZ=ON -DORVANE_TESTS=OFF -DORVANE_SANITIZE=ON >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_main_picture fuzz_bmp_converter orvane_gfx

corpus=build-fuzz/corpus
mkdir -p "$corpus/pictures" "$corpus/bitmaps"
cp build-fuzz/bin/gfx/bitblts/*.bmp build-fuzz/bin/gfx/arrows/*.bmp "$corpus/bitmaps/"
cp build-fuzz/bin/gfx/bitblts/A.bmp build-fuzz/bin/gfx/bitblts/Boss\ Frame.bmp "$corpus/pictures/"
export QT_QPA_PLATFORM=offscreen
for target in fuzz_main_picture:pictures fuzz_bmp_converter:bitmaps; do
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
