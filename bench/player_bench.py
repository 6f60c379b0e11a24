#!/usr/bin/env python3
"""Measures the player from outside, under Wine, beside the floor program.

Started by bench/player_bench.sh, which builds the floor program, makes the
sound files, starts the display, the Wine prefix's server, the window
watcher (xev on the root window) and points the sound at the FIFO that this
script reads at real time. Each group of programs (the floor, the player
and the floor's variants) is measured in every round, one program after the
other, in an order that turns by round, and each figure is reported as the
median with min and max over the rounds.

CPU and wake-ups are counted from Linux: the run time (schedstat, in ns) and
the voluntary context switches of every thread of the program's process and
of the prefix's wineserver, which serves the program's timers and messages.
"""
import argparse
import atexit
import glob
import os
import re
import statistics
import subprocess
import sys
import threading
import time

BYTES_PER_SECOND = 44100 * 4  # the sound device's fixed format: 16-bit stereo 44.1 kHz
WAIT_LIMIT = 30.0             # no single event takes longer than this, even on a loaded machine


def fail(message):
    print("player_bench: " + message, file=sys.stderr)
    sys.exit(1)


class SoundReader(threading.Thread):
    """Reads the sound FIFO at real time, as a sound card would, so that the
    programs make their sound at its natural pace. Notes when sound starts
    after a pause: the first byte of each play.

    The FIFO is held open for writing too, so that it never reports its end
    between programs and a program never finds it without a reader."""

    GAP = 0.25  # seconds without sound that part two plays

    def __init__(self, path):
        super().__init__(daemon=True)
        self.fifo = os.open(path, os.O_RDWR)
        self.lock = threading.Lock()
        self.starts = []  # monotonic time of the first byte after each pause
        self.total = 0
        self.last = 0.0   # monotonic time of the last byte

    def run(self):
        chunk = BYTES_PER_SECOND // 50  # 20 ms
        due = 0.0
        while True:
            data = os.read(self.fifo, chunk)
            now = time.monotonic()
            with self.lock:
                if now - self.last > self.GAP:
                    self.starts.append(now)
                self.total += len(data)
                self.last = now
            # No credit for time spent waiting: a pause is not made up for
            # by a burst.
            due = max(due, now) + len(data) / BYTES_PER_SECOND
            delay = due - time.monotonic()
            if delay > 0:
                time.sleep(delay)

    def first_after(self, t0):
        with self.lock:
            later = [t for t in self.starts if t >= t0]
        return later[0] if later else None

    def silent_for(self, seconds):
        with self.lock:
            return time.monotonic() - self.last > seconds

class WindowWatcher(threading.Thread):
    """Follows xev's report of the root window's children: the time at which
    each 250 × 100 top-level window was mapped."""

    def __init__(self, stream):
        super().__init__(daemon=True)
        self.stream = stream
        self.lock = threading.Lock()
        self.sized = set()
        self.mapped = []  # (monotonic time, window id)

    def run(self):
        pending = None
        for line in self.stream:
            now = time.monotonic()
            if line.startswith("CreateNotify") or line.startswith("MapNotify"):
                pending = line.split()[0]
                continue
            match = re.search(r"window (0x[0-9a-f]+)", line)
            if pending == "CreateNotify" and match and "width 250, height 100" in line:
                with self.lock:
                    self.sized.add(match.group(1))
            elif pending == "MapNotify":
                match = re.search(r"event 0x[0-9a-f]+, window (0x[0-9a-f]+)", line)
                if match:
                    with self.lock:
                        if match.group(1) in self.sized:
                            self.mapped.append((now, match.group(1)))
            pending = None

    def first_after(self, t0):
        with self.lock:
            later = [t for t, _ in self.mapped if t >= t0]
        return later[0] if later else None


def wait_for(what, condition, limit=WAIT_LIMIT):
    end = time.monotonic() + limit
    while time.monotonic() < end:
        value = condition()
        if value is not None:
            return value
        time.sleep(0.002)
    fail("timed out waiting for " + what)


def task_counters(pid):
    """CPU nanoseconds and voluntary context switches of each live thread."""
    counters = {}
    for task in glob.glob("/proc/%d/task/*" % pid):
        try:
            with open(task + "/schedstat") as f:
                ns = int(f.read().split()[0])
            with open(task + "/status") as f:
                switches = int(re.search(r"voluntary_ctxt_switches:\s+(\d+)", f.read()).group(1))
        except (OSError, AttributeError):
            continue
        counters[task] = (ns, switches)
    return counters


def counter_delta(before, after):
    """What the threads did between two readings; threads born in between
    count from zero."""
    ns = switches = 0
    for task, (n1, s1) in after.items():
        n0, s0 = before.get(task, (0, 0))
        ns += n1 - n0
        switches += s1 - s0
    return ns, switches


def status_kb(pid, field):
    with open("/proc/%d/status" % pid) as f:
        match = re.search(field + r":\s+(\d+) kB", f.read())
    return int(match.group(1)) if match else 0


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Bench:
    def __init__(self, args):
        self.args = args
        self.sound = SoundReader(args.fifo)
        self.sound.start()
        self.watcher_process = subprocess.Popen(
            ["xev", "-root", "-event", "substructure"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            text=True, bufsize=1)
        atexit.register(self.watcher_process.kill)
        self.windows = WindowWatcher(self.watcher_process.stdout)
        self.windows.start()
        self.server = self.find_wineserver()
        self.log = open(args.log, "w")

    def find_wineserver(self):
        prefix = os.environ["WINEPREFIX"].encode()
        for environ in glob.glob("/proc/[0-9]*/environ"):
            pid = int(environ.split("/")[2])
            try:
                with open("/proc/%d/comm" % pid) as f:
                    if not f.read().startswith("wineserver"):
                        continue
                with open(environ, "rb") as f:
                    if b"WINEPREFIX=" + prefix + b"\0" in f.read() + b"\0":
                        return pid
            except OSError:
                continue
        fail("the prefix's wineserver is not running")

    def start(self, program, arguments, folder):
        out = open(os.path.join(self.args.out, "program.log"), "ab")
        process = subprocess.Popen(["wine", program] + arguments, cwd=folder, stdout=out, stderr=out)
        out.close()
        return process

    def stop(self, process):
        process.kill()
        process.wait()
        # What the program left in the FIFO plays out before the next one.
        wait_for("the sound to end", lambda: True if self.sound.silent_for(SoundReader.GAP) else None)
        with open(os.path.join(self.args.out, "program.log"), "rb") as f:
            text = f.read().decode("latin-1")
        if "Unhandled" in text or "page fault" in text:
            fail("a program crashed (see %s/program.log)" % self.args.out)

    def launch_to_window(self, program, arguments, folder):
        t0 = time.monotonic()
        process = self.start(program, arguments, folder)
        shown = wait_for("the window", lambda: self.windows.first_after(t0))
        self.stop(process)
        return (shown - t0) * 1000

    def launch_to_sound(self, program, arguments, folder):
        t0 = time.monotonic()
        process = self.start(program, arguments, folder)
        heard = wait_for("the first sound", lambda: self.sound.first_after(t0))
        self.stop(process)
        return (heard - t0) * 1000

    def steady(self, program, arguments, folder, sound, seconds):
        """CPU (ms a second) and wake-ups (a second) of the program and its
        wineserver over `seconds`, once its window is up (and its sound
        started), and the process's peak memory at the end (MB)."""
        t0 = time.monotonic()
        process = self.start(program, arguments, folder)
        wait_for("the window", lambda: self.windows.first_after(t0))
        if sound:
            wait_for("the first sound", lambda: self.sound.first_after(t0))
        time.sleep(self.args.settle)
        bytes0 = self.sound.total
        p0, s0 = task_counters(process.pid), task_counters(self.server)
        w0 = time.monotonic()
        time.sleep(seconds)
        p1, s1 = task_counters(process.pid), task_counters(self.server)
        wall = time.monotonic() - w0
        peak = status_kb(process.pid, "VmHWM") / 1024
        heard = (self.sound.total - bytes0) / BYTES_PER_SECOND
        if process.poll() is not None:
            fail("%s ended while it was measured" % program)
        self.stop(process)
        pns, pswitch = counter_delta(p0, p1)
        sns, sswitch = counter_delta(s0, s1)
        # Each thread's CPU (ms a second) and wake-ups, busiest first, for
        # the log: which thread the time goes to.
        threads = []
        for task, (n1, s1_) in p1.items():
            n0, s0_ = p0.get(task, (0, 0))
            threads.append((round((n1 - n0) / 1e6 / wall, 2), s1_ - s0_, task.rsplit("/", 1)[1]))
        threads.sort(reverse=True)
        return {
            "threads": threads[:8],
            "cpu": (pns + sns) / 1e6 / wall, "cpu_process": pns / 1e6 / wall,
            "wakeups": (pswitch + sswitch) / wall, "wakeups_process": pswitch / wall,
            "peak": peak, "sound_seconds": heard, "wall": wall,
        }

    def growth(self, program, arguments, folder, seconds):
        """Resident memory from the second play of a short track on, before
        and after `seconds` of looping (kB), and the seconds of sound heard
        meanwhile."""
        t0 = time.monotonic()
        process = self.start(program, arguments, folder)
        wait_for("the first sound", lambda: self.sound.first_after(t0))
        time.sleep(self.args.settle + self.args.loop_track)
        rss0 = status_kb(process.pid, "VmRSS")
        bytes0 = self.sound.total
        time.sleep(seconds)
        rss1 = status_kb(process.pid, "VmRSS")
        heard = (self.sound.total - bytes0) / BYTES_PER_SECOND
        self.stop(process)
        return {"growth": rss1 - rss0, "heard": heard}


def median(values):
    return statistics.median(values)


def spread(values, unit, digits=1):
    values = sorted(values)
    f = "%%.%df" % digits
    return (f % median(values)) + unit + " (" + (f % values[0]) + "–" + (f % values[-1]) + ")"


def ratio_text(floor_values, player_values):
    """The ratio of the medians, with the range of the per-round ratios."""
    ratios = sorted(p / f for f, p in zip(floor_values, player_values) if f > 0)
    if not ratios or median(floor_values) <= 0:
        return "—"
    return "%.2f× (%.2f–%.2f)" % (median(player_values) / median(floor_values), ratios[0], ratios[-1])


# What each group measures, side by side in every round: (side, program
# key, arguments, extra arguments of the measure). Program keys and
# "{engine}"-style arguments are filled in from the command line.
GROUPS = {
    "window": ("launch_to_window", [
        ("floor", "floor", []),
        ("player", "player", []),
        ("floor+init", "floor", ["--init", "{engine}"]),
        ("floor+libraries", "floor", ["--libraries"]),
        ("player-alone", "alone", []),
    ]),
    "sound": ("launch_to_sound", [
        ("floor", "floor", ["--mci", "{wav}"]),
        ("player", "player", ["{wav}"]),
    ]),
    "wav": ("steady", [
        ("floor", "floor", ["--mci", "{wav}"]),
        ("player", "player", ["{wav}"]),
        ("floor+poll", "floor", ["--mci", "{wav}", "--poll"]),
    ]),
    "mp3": ("steady", [
        ("floor", "floor", ["--engine", "{engine}", "{mp3}"]),
        ("player", "player", ["{mp3}"]),
        ("floor+poll", "floor", ["--engine", "{engine}", "{mp3}", "--poll"]),
    ]),
    "idle": ("steady", [
        ("floor", "floor", []),
        ("player", "player", []),
        ("floor+init", "floor", ["--init", "{engine}"]),
        ("floor+libraries", "floor", ["--libraries"]),
        ("player-alone", "alone", []),
    ]),
    "loop": ("growth", [
        ("wav", "player", ["{short_wav}"]),
        ("mp3", "player", ["{short_mp3}"]),
    ]),
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--player", required=True)
    parser.add_argument("--player-alone", required=True, help="the player without the engine beside it")
    parser.add_argument("--floor", required=True)
    parser.add_argument("--engine", required=True)
    parser.add_argument("--wav", required=True)
    parser.add_argument("--mp3", required=True)
    parser.add_argument("--short-wav", required=True)
    parser.add_argument("--short-mp3", required=True)
    parser.add_argument("--empty", required=True, help="an empty folder to start in")
    parser.add_argument("--fifo", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--seconds", type=float, default=10.0, help="each CPU and wake-up count")
    parser.add_argument("--loop-seconds", type=float, default=20.0)
    parser.add_argument("--settle", type=float, default=1.5, help="wait after the start before counting")
    parser.add_argument("--loop-track", type=float, default=2.0, help="the short track's length")
    parser.add_argument("--only", default=",".join(GROUPS), help="groups to measure: " + ",".join(GROUPS))
    args = parser.parse_args()
    groups = [g for g in args.only.split(",") if g]
    for g in groups:
        if g not in GROUPS:
            fail("no group %s (there are %s)" % (g, ", ".join(GROUPS)))
    bench = Bench(args)

    programs = {"floor": args.floor, "player": args.player, "alone": args.player_alone}
    paths = {"engine": windows_path(args.engine), "wav": windows_path(args.wav), "mp3": windows_path(args.mp3),
             "short_wav": windows_path(args.short_wav), "short_mp3": windows_path(args.short_mp3)}

    def call(group, side):
        method, sides = GROUPS[group]
        _, program, arguments = next(x for x in sides if x[0] == side)
        arguments = [a.format(**paths) for a in arguments]
        extra = {"steady": (group not in ("idle",), args.seconds), "growth": (args.loop_seconds,)}.get(method, ())
        return getattr(bench, method)(programs[program], arguments, args.empty, *extra)

    # The first start of each program in a fresh server loads the prefix's
    # own services and fills the caches: not counted.
    for group in ("window", "sound"):
        for side, _, _ in GROUPS[group][1]:
            call(group, side)

    results = {g: {side: [] for side, _, _ in GROUPS[g][1]} for g in groups}
    for round_number in range(args.rounds):
        for group in groups:
            sides = list(results[group])
            # The order of the sides turns by round, so that none always
            # meets the machine in the same state.
            turn = round_number % len(sides)
            for side in sides[turn:] + sides[:turn]:
                value = call(group, side)
                results[group][side].append(value)
                print("round %d %s %s: %s" % (round_number, group, side, value), file=bench.log, flush=True)
            print("round %d %s done" % (round_number, group), file=sys.stderr, flush=True)

    report(results, args)


def report(results, args):
    rows = []

    def get(group, side, key=None):
        values = results[group][side]
        return [v[key] for v in values] if key else values

    if "window" in results:
        f, p = get("window", "floor"), get("window", "player")
        rows.append(("launch → window shown (empty folder)", spread(f, " ms", 0), spread(p, " ms", 0),
                     ratio_text(f, p)))
        fi, pa, fl = get("window", "floor+init"), get("window", "player-alone"), get("window", "floor+libraries")
        rows.append(("the same floor program calling `vbmp3_init` first; Tunewell without VBMP3.dll beside it",
                     spread(fi, " ms", 0), spread(pa, " ms", 0),
                     "the engine's start-up: %+.0f ms in the floor, %+.0f ms in Tunewell" %
                     (median(fi) - median(f), median(p) - median(pa))))
        rows.append(("the floor loading the player's further libraries first (common controls with "
                     "their classes, common dialogs, shell)", spread(fl, " ms", 0), "",
                     "%+.0f ms over the floor" % (median(fl) - median(f))))
    if "sound" in results:
        f, p = get("sound", "floor"), get("sound", "player")
        rows.append(("launch → first sound (a WAV on the command line; floor: MCI open + play)",
                     spread(f, " ms", 0), spread(p, " ms", 0), ratio_text(f, p)))
    labels = {
        "wav": "a WAV plays (floor: the same MCI play, then only a message loop)",
        "mp3": "an MP3 plays through the engine (floor: the engine driven directly, then only a message loop)",
        "idle": "idle over %.0f s, nothing loaded (floor: an idle window)" % args.seconds,
    }
    for group in ("wav", "mp3", "idle"):
        if group not in results:
            continue
        fc, pc = get(group, "floor", "cpu"), get(group, "player", "cpu")
        fk, pk = get(group, "floor", "wakeups"), get(group, "player", "wakeups")
        rows.append(("CPU while " + labels[group] + ", process + wineserver",
                     spread(fc, " ms/s"), spread(pc, " ms/s"),
                     ratio_text(fc, pc) + "; process alone %.1f vs %.1f ms/s" %
                     (median(get(group, "floor", "cpu_process")), median(get(group, "player", "cpu_process")))))
        rows.append(("wake-ups a second, the same", spread(fk, "", 0), spread(pk, "", 0),
                     "%s, %+.0f a second; process alone %.0f vs %.0f" %
                     (ratio_text(fk, pk), median(pk) - median(fk), median(get(group, "floor", "wakeups_process")),
                      median(get(group, "player", "wakeups_process")))))
        if "floor+poll" in results[group]:
            qc, qk = get(group, "floor+poll", "cpu"), get(group, "floor+poll", "wakeups")
            rows.append(("the same floor asking the position every 300 ms, showing nothing: CPU; wake-ups",
                         spread(qc, " ms/s") + "; " + spread(qk, "", 0), "",
                         "the poll: %+.1f ms/s, %+.0f wake-ups a second over the floor" %
                         (median(qc) - median(fc), median(qk) - median(fk))))
    states = [g for g in ("idle", "wav", "mp3") if g in results]
    if states:
        fp = [median(get(g, "floor", "peak")) for g in states]
        pp = [median(get(g, "player", "peak")) for g in states]
        rows.append(("peak memory (VmHWM) " + " / ".join({"idle": "idle", "wav": "playing a WAV",
                                                         "mp3": "playing an MP3"}[g] for g in states),
                     " / ".join("%.1f" % v for v in fp) + " MB", " / ".join("%.1f" % v for v in pp) + " MB",
                     " / ".join("%+.1f" % (b - a) for a, b in zip(fp, pp)) + " MB"))
    if "idle" in results:
        parts = [("floor+init", "the floor with `vbmp3_init`"), ("floor+libraries", "with the libraries"),
                 ("player-alone", "Tunewell without VBMP3.dll")]
        f = median(get("idle", "floor", "peak"))
        rows.append(("peak memory idle, in parts: " + "; ".join(text for _, text in parts),
                     " / ".join("%.1f" % median(get("idle", side, "peak")) for side, _ in parts[:2]) + " MB",
                     "%.1f MB" % median(get("idle", "player-alone", "peak")),
                     " / ".join("%+.1f" % (median(get("idle", side, "peak")) - f) for side, _ in parts) +
                     " MB over the idle floor"))
    if "loop" in results:
        for kind in ("wav", "mp3"):
            g = get("loop", kind, "growth")
            heard = median(get("loop", kind, "heard"))
            rows.append(("resident memory growth over %.0f s of looping a %.0f s %s, from its second play "
                         "(%.0f s of sound heard)" % (args.loop_seconds, args.loop_track, kind.upper(), heard),
                         "", spread(g, " kB", 0), ""))

    print()
    print("| What | Floor | Tunewell | Ratio |")
    print("|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()
    paced = [v["sound_seconds"] / v["wall"] for g in ("wav", "mp3") if g in results
             for side in results[g] for v in results[g][side]]
    print("%d rounds, median (min–max); %.0f s counts%s" %
          (args.rounds, args.seconds,
           "; sound paced at %.2f× real time (%.2f–%.2f)" % (median(paced), min(paced), max(paced))
           if paced else ""))


if __name__ == "__main__":
    main()
