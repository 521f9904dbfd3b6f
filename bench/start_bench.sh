#!/bin/sh
# How long skeinpress-cli takes from start to exit for "info" on one small
# file: mostly starting the process. Several builds may be compared in one
# run; their runs are interleaved so that other work on the machine falls on
# all of them alike.
#
#   [RUNS=200] bench/start_bench.sh build/cli/skeinpress-cli [OTHER_CLI...]
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$work" "${RUNS:-200}" "$@" <<'PY'
import os, statistics, struct, subprocess, sys, time
work, runs, clis = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
picture = os.path.join(work, "small.tga")
with open(picture, "wb") as f:  # 8 x 8, 24-bit
    f.write(struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, 8, 8, 24, 0) + bytes(8 * 8 * 3))
# A process that does nothing, for what starting any process costs here.
clis = ["true"] + clis
times = {cli: [] for cli in clis}
for round_ in range(runs + 5):
    for cli in clis:
        start = time.perf_counter()
        argv = ["true"] if cli == "true" else [cli, "--home", work, "info", picture]
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        if round_ >= 5:  # the first rounds warm the caches
            times[cli].append(time.perf_counter() - start)
for cli in clis:
    print(f"{cli}: median {statistics.median(times[cli]) * 1000:.2f} ms "
          f"(min {min(times[cli]) * 1000:.2f} ms) over {runs} runs")
PY
