#!/bin/sh
# How long the desktop program takes to put a 4,096 x 4,096 DXT5 texture
# (graded alpha, every mip level) on screen, measured from outside as a user
# meets it, in a real X session (Xvfb and openbox, started here):
#   launch  from starting "skeinpress big.texture" to the picture painted;
#   open    from Return in File > Open (the name typed into the dialog) to
#           the picture painted, in a program started without a file.
# The program prints when each new colour picture is first painted
# (SKEINPRESS_REPORT_PAINT) on the steady clock this script reads. Each run
# is a fresh process; several builds are interleaved, so other work on the
# machine falls on all of them alike. Prints the median and range of each.
#
#   [RUNS=20] [MIPS=1] bench/window_paint_bench.sh build/ui/skeinpress [OTHER...]
#
# Needs python3, Xvfb, openbox and xdotool.
set -eu
work=$(mktemp -d)
display=:$(( $$ % 400 + 100 ))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &

DISPLAY=$display python3 - "$work" "${RUNS:-20}" "${MIPS:-1}" "$@" <<'PY'
import os, random, select, shutil, statistics, struct, subprocess, sys, time
work, runs, mips, programs = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", sys.argv[4:]
rng = random.Random(12345)


def texture(side):
    """A JIRF DXT5 texture of pseudo-random blocks, its smaller levels first."""
    levels = [side]
    while mips and levels[-1] > 1:
        levels.append(levels[-1] // 2)
    out = bytearray(b"JIRF" + struct.pack("<I", 0) + b"MMTFINFO")
    info = [60, 259, 0, len(levels), 1, 12, side, side, 0, 2, 2, 0, 0, 0, 0, 0]
    out += struct.pack("<%dI" % len(info), *info)
    for level in reversed(levels):
        blocks = max(1, (level + 3) // 4)
        data = rng.randbytes(blocks * blocks * 16)
        out += b"MMAP" + struct.pack("<I", len(data)) + data
    return bytes(out)


pictures = os.path.join(work, "pictures")
os.mkdir(pictures)
with open(os.path.join(pictures, "big.texture"), "wb") as f:
    f.write(texture(4096))

# Each build runs from a folder of its own: a portable copy with its own settings.
copies = []
for i, program in enumerate(programs):
    folder = os.path.join(work, "build%d" % i)
    os.mkdir(folder)
    shutil.copy(program, folder)
    language = os.path.join(os.path.dirname(program), "English.txt")
    if os.path.exists(language):
        shutil.copy(language, folder)
    copies.append(os.path.join(folder, os.path.basename(program)))
env = dict(os.environ, SKEINPRESS_REPORT_PAINT="1")
big = os.path.join(pictures, "big.texture")


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.strip()


def painted(process, timeout=20):
    """The steady-clock time of the first paint the program reports."""
    ready, _, _ = select.select([process.stdout], [], [], timeout)
    line = process.stdout.readline() if ready else ""
    if not line.startswith("picture painted"):
        raise RuntimeError("no picture painted: %r" % line)
    return int(line.split()[2])


def stop(process):
    process.terminate()
    process.wait()


def launch(program):
    start = time.monotonic_ns()
    process = subprocess.Popen([program, big], stdout=subprocess.PIPE, text=True, env=env,
                               stderr=subprocess.DEVNULL)
    try:
        return (painted(process) - start) / 1e6
    finally:
        stop(process)


def active_name():
    return xdotool("getactivewindow", "getwindowname")


def wait_for(condition, timeout=10):
    end = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > end:
            raise RuntimeError("the window did not come")
        time.sleep(0.05)


def open_from_dialog(program):
    process = subprocess.Popen([program], stdout=subprocess.PIPE, text=True, env=env,
                               stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: active_name().startswith("Skeinpress"))
        time.sleep(1.5)  # the start's own timers have fired
        xdotool("key", "ctrl+o")
        wait_for(lambda: not active_name().startswith("Skeinpress"))
        time.sleep(0.5)  # the dialog lists the folder
        # The dialog starts where the last file was (the launch runs opened it).
        xdotool("type", "--delay", "5", "big.texture")
        time.sleep(0.5)
        start = time.monotonic_ns()
        xdotool("key", "Return")
        return (painted(process) - start) / 1e6
    finally:
        stop(process)


times = {(program, kind): [] for program in copies for kind in ("launch", "open")}
for round_ in range(runs + 1):
    for program in copies:
        launch_ms = launch(program)
        open_ms = open_from_dialog(program)
        if round_ > 0:  # the first round warms the caches
            times[(program, "launch")].append(launch_ms)
            times[(program, "open")].append(open_ms)
print("load average: %.2f %.2f %.2f" % os.getloadavg())
for program, source in zip(copies, programs):
    for kind in ("launch", "open"):
        values = times[(program, kind)]
        print("%s %-6s median %6.1f ms (%.1f-%.1f) over %d runs" %
              (source, kind, statistics.median(values), min(values), max(values), len(values)))
PY
