#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The editor idle with a set open (offscreen), from /proc: context switches of all its threads and
# CPU ticks over SECONDS, counted from 8 s after start (past opening and the first thumbnails).
#   bash bench/idle_set.sh BUILD-DIR DECK-OR-FOLDER [SECONDS]
set -euo pipefail
build="$1"
set_path="$2"
seconds="${3:-20}"
export QT_QPA_PLATFORM=offscreen
HOME=$(mktemp -d)  # no recovery offer or remembered window from an earlier run
export HOME
"$build/bin/orvane" "$set_path" 2>/dev/null & pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$HOME"' EXIT
sleep 8
switches() { cat /proc/"$pid"/task/*/status | awk '/ctxt_switches/ { s += $2 } END { print s }'; }
ticks() { awk '{ print $14 + $15 }' /proc/"$pid"/stat; }
s0=$(switches); t0=$(ticks)
sleep "$seconds"
s1=$(switches); t1=$(ticks)
awk -v w="$((s1 - s0))" -v t="$((t1 - t0))" -v s="$seconds" \
    'BEGIN { printf "idle with a set open: %.2f wake-ups/s, %d CPU ticks over %d s\n", w / s, t, s }'
