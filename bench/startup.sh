#!/usr/bin/env bash
# Time from process start to the main window's first paint, and peak memory, under Xvfb.
#   bash bench/startup.sh [build folder] [runs]
set -euo pipefail
build="${1:-build-bench}"
runs="${2:-10}"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
    for i in \$(seq $runs); do '$build/bin/orvane_probe' startup; done" |
    sort -t' ' -k2 -n | awk '{ a[NR] = \$0 } END { print \"median of\", NR, \"runs:\", a[int((NR + 1) / 2)] }'
