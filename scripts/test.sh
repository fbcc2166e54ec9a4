#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a release build, once with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzz targets for a short while; the
# Debian package is built from the release build, installed, tried and removed.
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

echo "== The Windows registry reader compiles (mingw-w64)"
x86_64-w64-mingw32-g++ -std=c++20 -Wall -Wextra -Werror -I src/ui -c src/ui/platform/registry_win32.cpp \
    -o build/registry_win32.o

if [ -f fuzz/CMakeLists.txt ]; then
    echo "== Fuzzing the picture loader and the BMP converter (bounded)"
    bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
fi
