#!/usr/bin/env bash
# Time from process start to the first paint of the main window, and peak memory, under Xvfb;
# beside it the same for a bare Qt window of the same size, with one label and without.
#   bash bench/startup.sh [build folder] [runs]
set -euo pipefail
build="${1:-build-bench}"
runs="${2:-15}"
for mode in startup bare-text bare; do
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
        for i in \$(seq $runs); do
            ORVANE_PROBE_T0=\$(date +%s%N) '$build/bin/orvane_probe' $mode 2>/dev/null
        done" |
        sort -k2 -n |
        awk -v m="$mode" '{ line[NR] = $0 } END {
            print m ", median of " NR " runs: " line[int((NR + 1) / 2)] }'
done
