#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The open, idle editor (offscreen), from /proc: CPU time and wake-ups (context switches of all
# its threads) over SECONDS, beside a bare Qt window with one label and the editor with the fixed
# 16 ms tick it had before, and under Xvfb; then how fast a part file rewritten on disk reaches the preview.
#   bash bench/idle_cpu.sh [build folder] [seconds]
set -euo pipefail
build="${1:-build-bench}"
seconds="${2:-20}"
hz=$(getconf CLK_TCK)
export QT_QPA_PLATFORM="${ORVANE_IDLE_PLATFORM:-offscreen}"

cpu_of() {  # utime + stime of a process, in ticks
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}
switches_of() {  # voluntary + involuntary context switches of every thread
    cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'
}
measure() {  # label, command...
    local label="$1"; shift
    "$@" 2>/dev/null & local pid=$!
    sleep 2  # past start-up
    local cpu0 sw0 cpu1 sw1
    cpu0=$(cpu_of "$pid"); sw0=$(switches_of "$pid")
    sleep "$seconds"
    cpu1=$(cpu_of "$pid"); sw1=$(switches_of "$pid")
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
    awk -v l="$label" -v t="$((cpu1 - cpu0))" -v w="$((sw1 - sw0))" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "%-34s %6.3f %% of one core, %6.2f wake-ups/s over %d s\n",
                 l, 100 * t / hz / s, w / s, s }'
}
if [ -n "${ORVANE_IDLE_PLATFORM:-}" ]; then  # called back from under Xvfb below
    measure "idle editor under Xvfb ($ORVANE_IDLE_PLATFORM)" "$build/bin/orvane"
    exit 0
fi
long=$((seconds + 30))
measure "idle editor (orvane)" "$build/bin/orvane"
measure "bare Qt window with one label" "$build/bin/orvane_probe" bare-idle "$long"
measure "editor with the old 16 ms tick" "$build/bin/orvane_probe" idle "$long" --poll
if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24" \
        env ORVANE_IDLE_PLATFORM=xcb bash "$0" "$build" "$seconds"
fi
"$build/bin/orvane_probe" part-latency 20 2>/dev/null
