#!/usr/bin/env python3
"""Measures the player from outside, under Wine, beside the floor program.

Started by bench/player_bench.sh, which builds the floor program, makes the
sound files, starts the display, the Wine prefix's server, the window
watcher (xev on the root window) and points the sound at the FIFO that this
script reads at real time. Each row is measured in every round, the floor
and the player one after the other (their order alternating by round), and
reported as the median with min and max over the rounds.

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
        return {
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


def spread(values, unit, digits=1):
    values = sorted(values)
    f = "%%.%df" % digits
    return (f % statistics.median(values)) + unit + " (" + (f % values[0]) + "–" + (f % values[-1]) + ")"


def ratio_text(floor_values, player_values):
    """The ratio of the medians, with the range of the per-round ratios."""
    ratios = sorted(p / f for f, p in zip(floor_values, player_values) if f > 0)
    if not ratios:
        return "—"
    median = statistics.median(player_values) / statistics.median(floor_values)
    return "%.2f× (%.2f–%.2f)" % (median, ratios[0], ratios[-1])


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
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--loop-seconds", type=float, default=20.0)
    parser.add_argument("--settle", type=float, default=1.5)
    parser.add_argument("--loop-track", type=float, default=2.0, help="the short track's length")
    args = parser.parse_args()
    bench = Bench(args)

    engine = windows_path(args.engine)
    wav, mp3 = windows_path(args.wav), windows_path(args.mp3)
    floor, player, alone, empty = args.floor, args.player, args.player_alone, args.empty

    # Each pair measures the floor and the player; which goes first
    # alternates by round, so that neither always meets the warmer machine.
    def pair(measure, floor_call, player_call):
        def run(player_first):
            if player_first:
                p = measure(*player_call)
                return measure(*floor_call), p
            f = measure(*floor_call)
            return f, measure(*player_call)
        return run

    s = args.seconds
    pairs = {
        "window": pair(bench.launch_to_window, (floor, [], empty), (player, [], empty)),
        "window_init": pair(bench.launch_to_window, (floor, ["--init", engine], empty), (alone, [], empty)),
        "sound": pair(bench.launch_to_sound, (floor, ["--mci", wav], empty), (player, [wav], empty)),
        "idle": pair(bench.steady, (floor, [], empty, False, s), (player, [], empty, False, s)),
        "wav": pair(bench.steady, (floor, ["--mci", wav], empty, True, s), (player, [wav], empty, True, s)),
        "mp3": pair(bench.steady, (floor, ["--engine", engine, mp3], empty, True, s),
                    (player, [mp3], empty, True, s)),
    }
    results = {name: ([], []) for name in pairs}
    loops = {"wav": [], "mp3": []}

    # The first start of each program in a fresh server loads the prefix's
    # own services and fills the caches: not counted.
    for program, arguments in ((floor, []), (floor, ["--init", engine]), (player, []), (alone, [])):
        bench.launch_to_window(program, arguments, empty)
    for program, arguments in ((floor, ["--mci", wav]), (floor, ["--engine", engine, mp3]),
                               (player, [wav]), (player, [mp3])):
        bench.launch_to_sound(program, arguments, empty)

    for round_number in range(args.rounds):
        for name, measure in pairs.items():
            f, p = measure(round_number % 2 == 1)
            results[name][0].append(f)
            results[name][1].append(p)
            print("round %d %s: floor %s player %s" % (round_number, name, f, p), file=bench.log, flush=True)
            print("round %d %s done" % (round_number, name), file=sys.stderr, flush=True)
        loops["wav"].append(bench.growth(player, [windows_path(args.short_wav)], empty, args.loop_seconds))
        loops["mp3"].append(bench.growth(player, [windows_path(args.short_mp3)], empty, args.loop_seconds))
        print("round %d loops: %s" % (round_number, loops), file=bench.log, flush=True)

    report(results, loops, args)


def report(results, loops, args):
    def values(name, side, key=None):
        v = results[name][side]
        return [x[key] for x in v] if key else v

    rows = []
    fw, pw = values("window", 0), values("window", 1)
    rows.append(("launch → window shown (empty folder)", spread(fw, " ms", 0), spread(pw, " ms", 0),
                 ratio_text(fw, pw)))
    fi, pa = values("window_init", 0), values("window_init", 1)
    rows.append(("the same floor program calling `vbmp3_init` first; Tunewell without VBMP3.dll beside it",
                 spread(fi, " ms", 0), spread(pa, " ms", 0),
                 "the engine's start-up: +%.0f ms in the floor, +%.0f ms in Tunewell" %
                 (statistics.median(fi) - statistics.median(fw), statistics.median(pw) - statistics.median(pa))))
    fs, ps = values("sound", 0), values("sound", 1)
    rows.append(("launch → first sound (a WAV on the command line; floor: MCI open + play)",
                 spread(fs, " ms", 0), spread(ps, " ms", 0), ratio_text(fs, ps)))
    for name, label in (("wav", "a WAV plays (floor: the same MCI play, then only a message loop)"),
                        ("mp3", "an MP3 plays through the engine (floor: the engine driven directly, "
                                "then only a message loop)"),
                        ("idle", "idle, nothing loaded (floor: an idle window)")):
        fc, pc = values(name, 0, "cpu"), values(name, 1, "cpu")
        fp, pp = values(name, 0, "cpu_process"), values(name, 1, "cpu_process")
        rows.append(("CPU while " + label + ", process + wineserver",
                     spread(fc, " ms/s"), spread(pc, " ms/s"),
                     ratio_text(fc, pc) + "; process alone %.1f vs %.1f ms/s" %
                     (statistics.median(fp), statistics.median(pp))))
        fk, pk = values(name, 0, "wakeups"), values(name, 1, "wakeups")
        fkp, pkp = values(name, 0, "wakeups_process"), values(name, 1, "wakeups_process")
        rows.append(("wake-ups a second, same", spread(fk, "", 0), spread(pk, "", 0),
                     "%+.0f a second; process alone %.0f vs %.0f" %
                     (statistics.median(pk) - statistics.median(fk), statistics.median(fkp),
                      statistics.median(pkp))))
    peaks_floor = [statistics.median(values(n, 0, "peak")) for n in ("idle", "wav", "mp3")]
    peaks_player = [statistics.median(values(n, 1, "peak")) for n in ("idle", "wav", "mp3")]
    rows.append(("peak memory (VmHWM) idle / playing a WAV / playing an MP3",
                 " / ".join("%.1f" % v for v in peaks_floor) + " MB",
                 " / ".join("%.1f" % v for v in peaks_player) + " MB",
                 " / ".join("%+.1f" % (p - f) for f, p in zip(peaks_floor, peaks_player)) + " MB"))
    for kind in ("wav", "mp3"):
        g = [x["growth"] for x in loops[kind]]
        heard = statistics.median([x["heard"] for x in loops[kind]])
        rows.append(("resident memory growth over %.0f s of looping a %.0f s %s, from its second play "
                     "(%.0f s of sound heard)" % (args.loop_seconds, args.loop_track, kind.upper(), heard),
                     "", spread(g, " kB", 0), ""))
    sound = [x["sound_seconds"] / x["wall"] for n in ("wav", "mp3") for side in (0, 1)
             for x in results[n][side]]

    print()
    print("| What | Floor | Tunewell | Ratio |")
    print("|---|---|---|---|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()
    print("%d rounds, median (min–max); %.0f s windows; sound paced at %.2f× real time (%.2f–%.2f)" %
          (args.rounds, args.seconds, statistics.median(sound), min(sound), max(sound)))


if __name__ == "__main__":
    main()
