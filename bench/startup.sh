#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Time from process start to the first paint of the main window (with its menu bar and status
# line), and peak memory, under Xvfb; side by side in the same run, alternating, a bare Qt window
# of the same size with one label and one without. Prints each median and the editor's ratio to
# the window with one label.
#   bash bench/startup.sh [build folder] [runs]
set -euo pipefail
build="${1:-build-bench}"
runs="${2:-21}"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
    for i in \$(seq $runs); do
        for mode in startup bare-text bare; do
            echo \"\$mode \$(ORVANE_PROBE_T0=\$(date +%s%N) '$build/bin/orvane_probe' \$mode 2>/dev/null)\"
        done
    done" |
    awk '{ ms[$1] = ms[$1] " " $3; rss[$1] = rss[$1] " " $5 }
         function median(list,   a, n, i, j, t) {
             n = split(list, a, " ")
             for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j] < a[j - 1]; j--) {
                 t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
             return a[int((n + 1) / 2)]
         }
         END {
             for (m in ms) { med[m] = median(ms[m]); printf "%-10s median of %d runs: %6.1f ms, peak RSS %5.1f MiB\n", m, split(ms[m], x, " "), med[m], median(rss[m]) }
             printf "editor / bare window with one label: %.2f\n", med["startup"] / med["bare-text"]
         }'
