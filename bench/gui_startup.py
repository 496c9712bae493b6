#!/usr/bin/env python3
"""Start-up of the calculator program under a virtual X display.

Measures, each run in a fresh scratch directory with its own settings:
  * settle: the CPU time the program spends until it goes idle, with a saved stack of N entries
    and the stack window shown (default 100,000);
  * big: the wall time until the program goes idle with a 1,000,000-entry stack (window up and
    painted);
  * first paint, as korbcalc-probe reports it: the program's own start-up with a clock, run in
    turn with the program in the same scratch directory (it ends once it has painted);
  * visible window: every program measured the same way, from outside: the wall time from launch
    until X reports a visible window of its process (xdotool --sync). The programs run in turn,
    one after the other in each round, in the same X server: ours, a bare Qt Widgets window (the
    floor, bench_qt_floor beside the program's build tree, or --floor) and SpeedCrunch if it is
    installed.
The machine may be shared: figures are medians, and CPU time is given where it means something.

Needs xvfb-run and xdotool (apt-get install xvfb xdotool; speedcrunch optional). Run it through
xvfb-run, which it does by itself when DISPLAY is unset:
  bench/gui_startup.py build-rel/src/ui/Korbcalc [--runs 5] [--entries 100000] [--big 1000000]
                       [--probe build-rel/src/ui/korbcalc-probe]
                       [--floor build-rel/bench/bench_qt_floor] [--visible-only]
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TICK = os.sysconf("SC_CLK_TCK")
UNITS = ["m", "ft", "kg", "sec", "N", "m/sec", "lbf*ft", "rad", "in", "J"]
PREFS = ("[Startup Options]\r\nShow_Stack = true\r\nShow_Regs = false\r\nCalc_Pos = 300, 200\r\n"
         "Save_Prefs = false\r\nSave_Stack = true\r\nSave_Regs = true\r\n"
         "[Other Options]\r\nFract_Notation = Fixed\r\nDecimal_Places = 2\r\n")


def scratch(entries):
    """A directory with the preferences, a stack file of `entries` lines and a register file."""
    d = tempfile.mkdtemp(prefix="meridot-startup-")
    os.makedirs(os.path.join(d, "config"))
    with open(os.path.join(d, "Meridot.ini"), "w", newline="") as f:
        f.write(PREFS)
    with open(os.path.join(d, "SaveStck.dat"), "w", newline="") as f:
        f.writelines("%d.25 %s\r\n" % (i, UNITS[i % 10]) for i in range(entries))
    with open(os.path.join(d, "SaveRegs.dat"), "w", newline="") as f:
        f.writelines("%d m\r\n" % i for i in range(10))
    return d


def environment(d):
    env = dict(os.environ, HOME=d, XDG_CONFIG_HOME=os.path.join(d, "config"),
               DBUS_SESSION_BUS_ADDRESS="disabled:")
    env.pop("QT_QPA_PLATFORM", None)
    return env


def cpu_and_state(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK * 1000.0, fields[0]


def run_until_idle(cmd, d, quiet_s=1.0, limit_s=120.0):
    """Starts cmd in d and waits until it stops using CPU for quiet_s. Returns (CPU ms at the
    last change, wall ms at the last change)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=d, env=environment(d), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    last_cpu, last_change = 0.0, start
    try:
        while time.monotonic() - start < limit_s:
            time.sleep(0.02)
            cpu, state = cpu_and_state(proc.pid)
            now = time.monotonic()
            # A blinking caret costs a tick now and then; anything more is still work.
            if cpu - last_cpu > 1000.0 / TICK or state == "R":
                last_cpu, last_change = max(cpu, last_cpu), now
            elif now - last_change >= quiet_s:
                break
    finally:
        proc.kill()
        proc.wait()
    return last_cpu, (last_change - start) * 1000.0


def first_paint(probe, d, limit_s=300.0):
    """The first paint in ms after process start, as the probe reports it; None without a probe."""
    if not probe:
        return None
    try:
        done = subprocess.run([probe, "--quit-after-paint"], cwd=d, env=environment(d),
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                              timeout=limit_s)
    except subprocess.TimeoutExpired:
        return None
    for line in done.stderr.splitlines():
        if "first paint" in line:
            return float(line.split("first paint")[1].split()[0])
    return None


def measured(korbcalc, probe, d, limit_s=120.0):
    """One round: the program until idle, then the probe until its first paint."""
    return run_until_idle([korbcalc], d, limit_s=limit_s) + (first_paint(probe, d, limit_s),)


def time_to_visible_window(cmd, d):
    """Wall ms from launching cmd to a visible top-level window of its process (xdotool --sync)."""
    start = time.monotonic()
    with open(os.path.join(d, "stderr.txt"), "w") as err:
        proc = subprocess.Popen(cmd, cwd=d, env=environment(d), stdout=subprocess.DEVNULL, stderr=err)
        search = ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(proc.pid)]
        try:
            subprocess.run(search, stdout=subprocess.DEVNULL, timeout=60, check=True)
            return (time.monotonic() - start) * 1000.0
        finally:
            proc.kill()
            proc.wait()


def med(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


def settle(korbcalc, args, dirs):
    d = scratch(args.entries)
    dirs.append(d)
    runs = [measured(korbcalc, args.probe, d) for _ in range(args.runs)]
    print("settle, %d entries, stack window shown: median %.0f ms CPU, %.0f ms wall; "
          "first paint %.0f ms (runs %s)" % (
              args.entries, med([r[0] for r in runs]), med([r[1] for r in runs]),
              med([r[2] for r in runs]), " ".join("%.0f" % r[0] for r in runs)))
    if args.big:
        d = scratch(args.big)
        dirs.append(d)
        runs = [measured(korbcalc, args.probe, d, limit_s=300) for _ in range(max(1, args.runs // 2))]
        print("settle, %d entries: median %.0f ms wall until idle (%.0f ms CPU); first paint %.0f ms"
              % (args.big, med([r[1] for r in runs]), med([r[0] for r in runs]),
                 med([r[2] for r in runs])))


def visible_windows(korbcalc, args, dirs):
    if not shutil.which("xdotool"):
        print("visible window: skipped, xdotool missing")
        return
    floor = args.floor or os.path.join(os.path.dirname(korbcalc), "..", "..", "bench", "bench_qt_floor")
    programs = [("Korbcalc", [korbcalc])]
    if os.access(floor, os.X_OK):
        programs.append(("bare Qt window", [os.path.abspath(floor)]))
    else:
        print("(no floor: %s is not built)" % floor)
    if shutil.which("speedcrunch"):
        programs.append(("SpeedCrunch", [shutil.which("speedcrunch")]))
    d = scratch(3)
    dirs.append(d)
    times = {name: [] for name, _ in programs}
    for _ in range(args.runs):
        for name, cmd in programs:
            times[name].append(time_to_visible_window(cmd, d))
    print("visible window, seen from outside, %d alternating runs each:" % args.runs)
    for name, _ in programs:
        print("  %-15s median %4.0f ms (runs %s)" % (
            name, med(times[name]), " ".join("%.0f" % v for v in times[name])))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("korbcalc")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--entries", type=int, default=100000)
    ap.add_argument("--big", type=int, default=1000000, help="0 skips the big stack")
    ap.add_argument("--floor", help="the bare Qt program (default: bench/bench_qt_floor of the build)")
    ap.add_argument("--probe", help="the program with a start-up clock (default: korbcalc-probe "
                    "beside the program)")
    ap.add_argument("--visible-only", action="store_true", help="only the visible-window comparison")
    args = ap.parse_args()
    if not os.environ.get("DISPLAY"):
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable]
                  + sys.argv)
    korbcalc = os.path.abspath(args.korbcalc)
    args.probe = os.path.abspath(args.probe or os.path.join(os.path.dirname(korbcalc), "korbcalc-probe"))
    if not os.access(args.probe, os.X_OK):
        print("(no first paint: %s is not built)" % args.probe)
        args.probe = None

    dirs = []
    try:
        if not args.visible_only:
            settle(korbcalc, args, dirs)
        visible_windows(korbcalc, args, dirs)
    finally:
        for d in dirs:
            shutil.rmtree(d, ignore_errors=True)


if __name__ == "__main__":
    main()
