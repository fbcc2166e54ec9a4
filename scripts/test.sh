#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test: once in a release build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer, the tests of work on several threads once
# with ThreadSanitizer, then the fuzz targets for a short while; the Debian package is built
# from the release build, installed, tried and removed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Release build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANE_TESTS=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== The Debian package: built, checked with lintian, installed, run and removed"
bash scripts/package.sh build

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANE_TESTS=ON -DORVANE_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== ThreadSanitizer build and the tests that run work on several threads"
# Only the core's and orvane-render's tests: Qt is not built with the sanitizer, so the Qt
# Widgets tests are left out, and Qt's own hand-overs between its threads are suppressed in
# scripts/tsan.supp.
tsan_tests=(test_parallel_for test_file_formats test_play_sheets test_print test_orvane_render
            test_render_runs test_print_cli test_deck_follow)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_TESTS=ON -DORVANE_TSAN=ON
cmake --build build-tsan -j "$jobs" --target "${tsan_tests[@]}"
TSAN_OPTIONS="suppressions=$PWD/scripts/tsan.supp" \
    ctest --test-dir build-tsan --output-on-failure -j "$jobs" \
    -R "^($(IFS='|'; echo "${tsan_tests[*]}"))\$"

echo "== The Windows registry reader compiles (mingw-w64)"
x86_64-w64-mingw32-g++ -std=c++20 -Wall -Wextra -Werror -I src/ui -c src/ui/platform/registry_win32.cpp \
    -o build/registry_win32.o

if [ -f fuzz/CMakeLists.txt ]; then
    echo "== Fuzzing the picture loader and the BMP converter (bounded)"
    bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
fi
