#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Instructions per iteration of one Google Benchmark, counted by callgrind, so that two builds
# can be compared on a loaded machine (time is noisy there; instruction counts are not).
#
#   python3 bench/instructions.py BINARY BENCHMARK PER_ITERATION_FUNCTION [BINARY ...]
#
# e.g. python3 bench/instructions.py build/bin/bench_document ApplyWholeCard
#          orvane::CardDocument::setCard old/build/bin/bench_document
#
# The benchmark's function sets up (a window) and then loops; Google Benchmark calls it several
# times with growing iteration counts. Each binary runs twice with different minimum times; the
# function's inclusive count is a * calls + b * iterations, where the iterations are the calls of
# PER_ITERATION_FUNCTION (called once in every iteration), so the two runs give b, the
# instructions of one iteration, set-up excluded.
import os
import re
import subprocess
import sys
import tempfile


def count(binary, benchmark, per_iteration, min_time):
    with tempfile.TemporaryDirectory() as folder:
        out = os.path.join(folder, "callgrind.out")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, binary,
                        "--benchmark_filter=^" + benchmark + "$",
                        "--benchmark_min_time=" + str(min_time)],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        tree = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--tree=both", out],
                              check=True, capture_output=True, text=True).stdout
    # The block of the benchmark's function: its callers ("<"), its own line ("*"), then its
    # callees (">").
    own = re.compile(r"^\s*([\d,]+) .*\*\s+.*::" + re.escape(benchmark) + r"\(benchmark::State&\)")
    times = re.compile(r"\(([\d,]+)x\)")
    number = lambda text: int(text.replace(",", ""))
    total = iterations = None
    calls = 0
    lines = tree.splitlines()
    for k, line in enumerate(lines):
        m = own.match(line)
        if not m:
            continue
        total = number(m.group(1))
        for caller in reversed(lines[:k]):
            if "<" not in caller:
                break
            calls += number(times.search(caller).group(1))
        for callee in lines[k + 1:]:
            if ">" not in callee:
                break
            if per_iteration in callee:
                iterations = number(times.search(callee).group(1))
        break
    if total is None or iterations is None or calls == 0:
        sys.exit(f"{binary}: {benchmark} or its call of {per_iteration} not found")
    return total, calls, iterations


def main():
    if len(sys.argv) < 4:
        sys.exit("usage: instructions.py BINARY BENCHMARK PER_ITERATION_FUNCTION [BINARY ...]")
    benchmark, per_iteration = sys.argv[2], sys.argv[3]
    binaries = [sys.argv[1]] + sys.argv[4:]
    for binary in binaries:
        t1, c1, i1 = count(binary, benchmark, per_iteration, 0.3)
        t2, c2, i2 = count(binary, benchmark, per_iteration, 1.5)
        # t = a * calls + b * iterations for both runs: solved for b.
        if i2 * c1 == i1 * c2:
            sys.exit(f"{binary}: the two runs cannot be told apart ({i1} / {c1}, {i2} / {c2})")
        per = (t2 * c1 - t1 * c2) / (i2 * c1 - i1 * c2)
        setup = (t1 - per * i1) / c1
        print(f"{binary}: {benchmark}: {per / 1e6:.3f} M instructions per iteration, "
              f"set-up {setup / 1e6:.1f} M ({i1} and {i2} iterations)")


if __name__ == "__main__":
    main()
