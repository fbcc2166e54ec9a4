#!/usr/bin/env python3
"""Measures orvane-render following a deck.

  python3 bench/deck_follow.py BUILD-DIR [WORK-DIR]

1. --watch: one changed row of a 110-card deck, from the deck's write to both of its pictures
   on disk (median of 21 changes).
2. A rerun of a 10,000-card deck where nothing changed against the full run (medians of 3).
3. Reading a 100,000-row deck: the time and peak memory of a run that reads it and stops at an
   output folder that cannot be made (median of 3).
WORK-DIR defaults to a folder under /dev/shm, so the disk's write-back does not decide.
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1])
render = os.path.join(build, "bin", "orvane-render")
gfx = os.path.join(build, "bin", "gfx", "bitblts")
root = tempfile.mkdtemp(dir=sys.argv[2] if len(sys.argv) > 2 else "/dev/shm")


def deck(path, count, side="1"):
    pictures = sorted(f for f in os.listdir(gfx) if f.endswith(".bmp"))
    with open(path, "w") as f:
        f.write("name,up,left,right,down,element,picture\n")
        for k in range(count):
            picture = os.path.join(gfx, pictures[k % len(pictures)])
            f.write(f"Card{k:05d},{side if k == 0 else 1},2,3,4,Fire,{picture}\n")


def run(args):
    start = time.perf_counter()
    subprocess.run([render] + args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


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
    start = time.perf_counter()
    deck(path, 110, side=str(2 + k % 8))
    while any(os.stat(f).st_mtime_ns == b for f, b in zip(files, before)):
        time.sleep(0.0002)
        if time.perf_counter() - start > 10:
            sys.exit("no picture was written within 10 s")
    latencies.append((time.perf_counter() - start) * 1e3)
child.terminate()
child.wait()
print(f"watch, one changed row of 110 cards to its two pictures: median "
      f"{statistics.median(latencies):.1f} ms (min {min(latencies):.1f}, max {max(latencies):.1f})")

# 3. Reading 100,000 rows.
path = os.path.join(root, "rows.csv")
deck(path, 100000)
times = []
for k in range(3):
    times.append(run([path, "--out", "/proc/no/such/folder"]))
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
print(f"reading 100,000 rows (4.6 MB): {statistics.median(times):.2f} s, "
      f"peak RSS {peak:.0f} MiB")
# 2. Rerun with nothing changed.
path = os.path.join(root, "big.csv")
deck(path, 10000)
full, rerun = [], []
for k in range(3):
    out = os.path.join(root, f"big-out-{k}")
    full.append(run([path, "--out", out]))
    rerun.append(run([path, "--out", out]))
print(f"10,000 cards: full run {statistics.median(full):.2f} s, rerun with nothing changed "
      f"{statistics.median(rerun):.2f} s ({100 * statistics.median(rerun) / statistics.median(full):.0f} %)")

shutil.rmtree(root)
