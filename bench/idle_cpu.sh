#!/usr/bin/env bash
# CPU use of the open, idle editor (offscreen), from /proc: the built tool itself, and side by
# side the same window with a tick that decodes every part file again.
#   bash bench/idle_cpu.sh [build folder] [seconds]
set -euo pipefail
build="${1:-build-bench}"
seconds="${2:-10}"
hz=$(getconf CLK_TCK)
export QT_QPA_PLATFORM=offscreen

cpu_of() {  # utime + stime of a process, in ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}
measure() {  # label, command...
    local label="$1"; shift
    "$@" & local pid=$!
    sleep 1  # past start-up
    local before; before=$(cpu_of "$pid")
    sleep "$seconds"
    local after; after=$(cpu_of "$pid")
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    awk -v l="$label" -v t="$((after - before))" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "%-36s %6.2f %% of one core over %d s\n", l, 100 * t / hz / s, s }'
}
measure "idle editor (orvane)" "$build/bin/orvane"
measure "tick reloading every file" "$build/bin/orvane_probe" idle 3600 --reload
