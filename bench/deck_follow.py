#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures orvane-render following a deck.

  python3 bench/deck_follow.py BUILD-DIR [WORK-DIR] [--old OLD-ORVANE-RENDER]

1. --watch: one changed row of a 110-card deck, from the deck written to both of its pictures
   on disk (median of 21 changes).
2. --watch on a 10,000-card deck: one changed row (the deck replaced by a rename, as
   spreadsheet programs save), from the deck written to the run's summary line, against the
   first (full) run of the same process (median of 5 changes); then a new process run again
   into a folder where nothing changed (the record of the last run in the cache folder, here
   under WORK-DIR), against a full run (medians of 3).
3. Reading a 100,000-row deck: the time and peak memory of a run that reads it and stops at an
   output folder that cannot be made (median of 3); with --old, the same for another build of
   orvane-render (an earlier reader), runs taken in turn.
WORK-DIR defaults to a folder under /dev/shm, so the disk's write-back does not decide.
"""
import os
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

args = sys.argv[1:]
old = None
if "--old" in args:
    old = os.path.abspath(args[args.index("--old") + 1])
    del args[args.index("--old"):args.index("--old") + 2]
build = os.path.abspath(args[0])
render = os.path.join(build, "bin", "orvane-render")
gfx = os.path.join(build, "bin", "gfx", "bitblts")
root = tempfile.mkdtemp(dir=args[1] if len(args) > 1 else "/dev/shm")
# The records of the runs go with the work folder, not into the user's cache.
os.environ["XDG_CACHE_HOME"] = os.path.join(root, "cache")


def deck(path, count, side="1", by_rename=False):
    pictures = sorted(f for f in os.listdir(gfx) if f.endswith(".bmp"))
    lines = ["name,up,left,right,down,element,picture\n"]
    for k in range(count):
        picture = os.path.join(gfx, pictures[k % len(pictures)])
        lines.append(f"Card{k:05d},{side if k == 0 else 1},2,3,4,Fire,{picture}\n")
    target = path + ".new" if by_rename else path
    with open(target, "w") as f:
        f.write("".join(lines))
    if by_rename:
        os.replace(target, path)


def run(args, program=None):
    """The wall time (s) and peak RSS (MiB) of one run."""
    start = time.perf_counter()
    child = subprocess.Popen([program or render] + args, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    child.returncode = 0
    return time.perf_counter() - start, usage.ru_maxrss / 1024


def run_ms(line):
    """The "in N ms" of a --watch summary line."""
    match = re.search(r" in ([0-9.]+) ms", line)
    if not match:
        sys.exit(f"unexpected --watch line: {line!r}")
    return float(match.group(1))


# 1. Watch latency.
path = os.path.join(root, "watch.csv")
out = os.path.join(root, "watch-out")
deck(path, 110)
child = subprocess.Popen([render, path, "--out", out, "--watch"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True)
child.stdout.readline()
files = [os.path.join(out, "Card00000-blue.png"), os.path.join(out, "Card00000-red.png")]
latencies = []
for k in range(21):
    time.sleep(0.2)
    # File times come from a coarse clock: a picture is new when its time differs.
    before = [os.stat(f).st_mtime_ns for f in files]
    deck(path, 110, side=str(2 + k % 8))
    start = time.perf_counter()
    while any(os.stat(f).st_mtime_ns == b for f, b in zip(files, before)):
        time.sleep(0.0002)
        if time.perf_counter() - start > 10:
            sys.exit("no picture was written within 10 s")
    latencies.append((time.perf_counter() - start) * 1e3)
child.terminate()
child.wait()
print(f"watch, one changed row of 110 cards to its two pictures: median "
      f"{statistics.median(latencies):.1f} ms (min {min(latencies):.1f}, max {max(latencies):.1f})")

# 2. One changed row of 10,000 cards under --watch, against the full first run.
path = os.path.join(root, "big.csv")
deck(path, 10000)
out = os.path.join(root, "big-watch-out")
child = subprocess.Popen([render, path, "--out", out, "--watch"], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True)
full_ms = run_ms(child.stdout.readline())
walls, inside = [], []
for k in range(5):
    time.sleep(0.3)
    deck(path, 10000, side=str(2 + k % 8), by_rename=True)
    start = time.perf_counter()
    line = child.stdout.readline()
    walls.append((time.perf_counter() - start) * 1e3)
    inside.append(run_ms(line))
    if "Card00000" not in line:
        sys.exit(f"the rerun did not name the changed card: {line!r}")
child.terminate()
child.wait()
print(f"watch, one changed row of 10,000 cards: full first run {full_ms:.0f} ms; rerun "
      f"{statistics.median(inside):.0f} ms in the process, {statistics.median(walls):.0f} ms "
      f"from the deck written to the summary line "
      f"({100 * statistics.median(walls) / full_ms:.1f} % of the full run)")

# 2b. A new process run again where nothing changed (its record of the last run in the cache).
full, rerun = [], []
for k in range(3):
    out = os.path.join(root, f"big-out-{k}")
    full.append(run([path, "--out", out])[0])
    rerun.append(run([path, "--out", out])[0])
print(f"10,000 cards, new processes: full run {statistics.median(full):.2f} s, run again with "
      f"nothing changed {statistics.median(rerun):.2f} s "
      f"({100 * statistics.median(rerun) / statistics.median(full):.0f} %)")

# 3. Reading 100,000 rows.
path = os.path.join(root, "rows.csv")
deck(path, 100000)
size = os.path.getsize(path) / 1e6
for name, program in [("this build", render)] + ([("the old reader", old)] if old else []):
    runs = [run([path, "--out", "/proc/no/such/folder"], program) for k in range(3)]
    print(f"reading 100,000 rows ({size:.1f} MB), {name}: "
          f"{statistics.median(r[0] for r in runs):.2f} s, "
          f"peak RSS {statistics.median(r[1] for r in runs):.0f} MiB (medians of 3)")

shutil.rmtree(root)
