#!/usr/bin/env python3
"""Soak run of the real player (through soak.sh inside tests/e2e/run, which sets up Wine, the display and the prefix).

The disk: the demo's skins (main window with every button, three info dialogs with scrollers and
labels) and a descriptor of many short WAV songs, some unplayable. The player is driven at random
with xdotool; a probe logs every change of TEXT_SONGNUM with its time. Checked at the end:
  - every song change is explained by a button pressed before it (late end notices for channels
    the player has left, posted by the probe, must change nothing), or by the song ending after it
    played (nearly) its whole length, or after a forward seek: the next playable song in the
    direction of travel; a change that is not is a skipped or wrong song;
  - the process is alive and answers a sent message;
  - resident memory grows by at most MEMORY_BOUND_KIB after the warm-up;
  - the live GDI objects of our owners are back to their count at start;
  - Escape ends the program with exit code 0.
"""
import argparse
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import wave

# Growth of VmRSS allowed between the end of the warm-up and the end of the run (the 10-minute run
# grew by under 1 MiB).
MEMORY_BOUND_KIB = 4 * 1024
# A song may end this much before its length has passed, measured between the polls that saw it
# start and end (mixer lead, timer granularity).
END_TOLERANCE = 0.35
# A click is handled by the player within this many seconds of xdotool sending it: twice the
# longest seen (4.1 s, the window thread held up at one Next beside the bad-disk matrix and a
# native build, load 8 on two cores). How soon controls answer is judged by e2e_controls; here the
# lag only bounds which orders of events may explain a run, and each run prints the least it needed.
CLICK_LAG = 9.0
# Main window buttons of the demo skin: centre of each, relative to the window.
BUTTONS = {
    "prev": (41, 141), "rw": (85, 141), "play": (129, 141), "pause": (173, 141), "stop": (217, 141),
    "ff": (261, 141), "next": (305, 141),
    "BUTTON_INFOCREDITS": (348, 141), "BUTTON_INFONOTES": (374, 141), "BUTTON_INFOTECH": (400, 141),
}
# Info dialogs: descriptor offset from the main window and their BUTTON_CLOSE centre (relative to
# the dialog, which is found by its class name before each click).
DIALOGS = {
    "BUTTON_INFOCREDITS": ((424, 0), (238, 19)),
    "BUTTON_INFONOTES": ((-302, 0), (275, 31)),
    "BUTTON_INFOTECH": ((40, 210), (318, 38)),
}
# Actions that may change the song, as the controller takes them.
SONG_ACTIONS = {"next", "prev", "play", "stop", "ff"}


class Failure(Exception):
    pass


def log(*parts):
    print(*parts, flush=True)


# --- the disk ---------------------------------------------------------------------------------

def write_wav(path, seconds, rate, channels, frequency, frames=None):
    count = int(seconds * rate) if frames is None else frames
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        samples = bytearray()
        for i in range(count):
            v = int(12000 * math.sin(2 * math.pi * frequency * i / rate))
            samples += struct.pack("<h", v) * channels
        w.writeframes(bytes(samples))


def make_disk(disk, demo, rng):
    """Returns [(kind, seconds)] for songs 1..N; kind 'ok' plays, anything else is unplayable."""
    shutil.rmtree(disk, ignore_errors=True)
    os.makedirs(os.path.join(disk, "music"))
    shutil.copytree(os.path.join(demo, "gui"), os.path.join(disk, "gui"))
    # Unplayable songs: missing files, random bytes, a WAV cut inside its header; two in a row and
    # the last one, so skipping also wraps.
    bad = {3: "missing", 7: "random", 8: "header-cut", 12: "empty", 16: "random", 24: "missing"}
    songs = []
    for n in range(1, 25):
        name = os.path.join(disk, "music", "%02d.wav" % n)
        kind = bad.get(n, "ok")
        seconds = 0.0
        if kind == "ok":
            seconds = round(rng.uniform(1.0, 3.0), 2)
            write_wav(name, seconds, rng.choice([22050, 44100]), rng.choice([1, 2]), 220 + 20 * n)
        elif kind == "random":
            data = bytearray(rng.getrandbits(8) for _ in range(4096))
            data[0:4] = b"\x00JNK"  # no file magic of any format
            open(name, "wb").write(data)
        elif kind == "header-cut":
            write_wav(name, 1.0, 44100, 2, 440)
            data = open(name, "rb").read()
            open(name, "wb").write(data[:30])
        elif kind == "empty":
            open(name, "wb").close()
        songs.append((kind, seconds))
    lines = ["splash.time=200"]
    for n, (kind, seconds) in enumerate(songs, 1):
        lines.append("music.file.%02d=music\\%02d.wav" % (n, n))
        lines.append("music.desc.%02d=Song %02d: %s, %.2f s" % (n, n, kind, seconds))
        lines.append("music.longdesc.notes.%02d=Notes on song %02d|%s" % (n, n, "line|" * (n % 9)))
    lines += [
        "dialog.file.01=gui\\credits.ini", "dialog.name.01=BUTTON_INFOCREDITS",
        "dialog.title.01=Credits", "dialog.text.01=Soak|credits|rolling", "dialog.dx.01=424",
        "dialog.dy.01=0",
        "dialog.file.02=gui\\notes.ini", "dialog.name.02=BUTTON_INFONOTES", "dialog.title.02=Notes",
        "dialog.text.02=Notes", "dialog.dx.02=-302", "dialog.dy.02=0",
        "dialog.file.03=gui\\tech.ini", "dialog.name.03=BUTTON_INFOTECH", "dialog.title.03=Tech",
        "dialog.text.03=Tech", "dialog.dx.03=40", "dialog.dy.03=210",
        "longdesc.target.name.01=notes", "longdesc.target.dialog.01=BUTTON_INFONOTES",
    ]
    if len(lines) > 100:
        raise Failure("descriptor of %d entries: the store keeps 100" % len(lines))
    with open(os.path.join(disk, "music", "config.dat"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")
    return songs


# --- the controller's song navigation, as the check expects it ---------------------------------

class Model:
    def __init__(self, songs):
        self.playable = [False] + [kind == "ok" for kind, _ in songs]
        self.length = [0.0] + [seconds for _, seconds in songs]
        self.count = len(songs)

    def step(self, current, direction):
        """The next playable song from `current` (0: none) in the direction, or 0 when none."""
        start = current
        song = current
        tried = 0
        while True:
            song += direction
            if song > self.count:
                song = 1
            if song < 1:
                song = self.count
            tried += 1
            if song == start:
                return 0
            if self.playable[song]:
                return song
            if tried >= self.count:
                return 0


def reachable(model, actions, configs, song, time_eligible, end, target):
    """Every way the player could have gone from `song` to `target` using the actions from each
    configuration's cursor up to `end` (in order, each at most once), with song ends only where
    allowed: a song may end when it has played long enough (time_eligible, only the song seen at
    the start) or after a forward seek on it. A configuration is (cursor, stopped, may end)."""
    results = set()
    seen = set()
    stack = [(cursor, song, stopped, may_end or time_eligible) for cursor, stopped, may_end in configs]
    while stack:
        state = stack.pop()
        if state in seen:
            continue
        seen.add(state)
        cursor, current, stopped, may_end = state
        if current == target:
            results.add((cursor, stopped, may_end))
        if may_end and not stopped and current != 0:
            stack.append((cursor, model.step(current, +1), stopped, False))
        if cursor < end:
            action = actions[cursor][1]
            if action == "next" and not stopped:
                stack.append((cursor + 1, model.step(current, +1), stopped, False))
            elif action == "prev" and not stopped:
                stack.append((cursor + 1, model.step(current, -1), stopped, False))
            elif action == "stop":
                stack.append((cursor + 1, 0, True, False))
            elif action == "play" and stopped:
                stack.append((cursor + 1, model.step(0, +1), False, False))
            elif action == "ff" and not stopped and current != 0:
                stack.append((cursor + 1, current, stopped, True))
            else:
                stack.append((cursor + 1, current, stopped, may_end))
    return results


def check_sequence(model, observations, actions, stop_time, click_lag=CLICK_LAG):
    """observations: [(time, previous poll time, song)]; actions: [(time, name)] of SONG_ACTIONS.
    Follows every order of events that fits what was seen (a set of configurations, as an NFA
    does); a change that no order of the buttons pressed and allowed song ends explains is a
    fault. Returns (problems, summary counts)."""
    problems = []
    counts = {"changes": 0, "actions": len(actions), "orders": 0}
    if not observations:
        return ["no song number was ever read"], counts

    def issued_by(t):
        return sum(1 for a in actions if a[0] <= t)

    first_time, _, song = observations[0]
    configs = {(0, False, False)}
    started = first_time
    # The first song seen may have started before the probe looked: its end is always allowed.
    start_known = False
    for seen, polled_before, new in observations[1:]:
        counts["changes"] += 1
        played = seen - started
        eligible = song != 0 and (not start_known or played >= model.length[song] - END_TOLERANCE)
        end = issued_by(seen + 0.05)
        found = reachable(model, actions, configs, song, eligible, end, new)
        # A click is handled within click_lag of being sent: older ones must have been used.
        settled = issued_by(seen - click_lag)
        found = {c for c in found if c[0] >= settled}
        if not found:
            problems.append("song %02d -> %02d at %.3f: not explained (played %.2f s of %.2f s; "
                            "buttons since the last change %s)"
                            % (song, new, seen, played, model.length[song],
                               [a[1] for a in actions[min(c[0] for c in configs):end]][:16]))
            # Resynchronise on what was seen so that one fault is reported once.
            found = {(end, new == 0, False)}
            start_known = False
        else:
            start_known = True
        configs = found
        counts["orders"] = max(counts["orders"], len(configs))
        started = polled_before
        song = new
    # Buttons pressed click_lag before the end must have shown their effect by then: some order
    # must use them all and leave the song seen last.
    end = issued_by(stop_time - click_lag)
    limit = max([end] + [c[0] for c in configs])
    if not any(c[0] >= end for c in reachable(model, actions, configs, song, False, limit, song)):
        problems.append("buttons pressed before the end had no effect: %s (song %02d seen last)"
                        % ([a[1] for a in actions[min(c[0] for c in configs):end]], song))
    return problems, counts


def least_click_lag(model, observations, actions, stop_time):
    """The least click lag (to 0.05 s) under which check_sequence explains the run, or None when
    not even CLICK_LAG does. A longer lag only admits more orders, so a bisection finds it."""
    def explained(lag):
        return not check_sequence(model, observations, actions, stop_time, lag)[0]
    if not explained(CLICK_LAG):
        return None
    low, high = 0.0, CLICK_LAG
    while high - low > 0.05:
        middle = (low + high) / 2
        if explained(middle):
            high = middle
        else:
            low = middle
    return high


# --- the run ----------------------------------------------------------------------------------

class Player:
    def __init__(self, args):
        self.wine = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
        self.dist = args.dist
        self.work = args.work

    def exe(self, name):
        return os.path.join(self.dist, name)

    def run(self, program, args, timeout):
        # Output through a file, not a pipe: a Wine helper process started on the way could keep
        # a pipe open long after the program ended.
        with tempfile.TemporaryFile() as out:
            code = subprocess.run([self.wine, self.exe(program)] + list(args), stdout=out,
                                  stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                  timeout=timeout, cwd=self.work).returncode
            out.seek(0)
            return code, out.read().decode("latin-1").replace("\r", "").strip()

    def run_probe(self, *args, timeout=30):
        return self.run("md_probe.exe", args, timeout)

    def wintext(self, *args):
        return self.run("md_wintext.exe", args, 30)


def winpath(path):
    return "Z:" + path.replace("/", "\\")


def xdo(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True, timeout=20)


def x_window(name):
    out = xdo("search", "--name", "^%s$" % name)
    ids = out.stdout.split()
    return ids[0] if ids else None


def rss_kib(pid):
    try:
        for line in open("/proc/%d/status" % pid):
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    except OSError:
        return None
    return None


def wait_until(seconds, condition):
    until = time.time() + seconds
    while time.time() < until:
        if condition():
            return True
        time.sleep(0.2)
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--demo", required=True)
    parser.add_argument("--seconds", type=float, default=600)
    parser.add_argument("--seed", type=int, default=20260)
    args = parser.parse_args()
    args.dist = os.path.abspath(args.dist)
    args.work = os.path.abspath(args.work)
    rng = random.Random(args.seed)
    disk = os.path.join(args.work, "disk")
    songs = make_disk(disk, args.demo, rng)
    model = Model(songs)
    player = Player(args)
    log("soak: %d s, seed %d, %d songs (%d unplayable)"
        % (args.seconds, args.seed, len(songs), sum(1 for k, _ in songs if k != "ok")))

    baseline = subprocess.Popen([player.wine, player.exe("md_baseline.exe")], cwd=disk,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stderr_log = open(os.path.join(args.work, "player-stderr.txt"), "w")
    proc = subprocess.Popen([player.wine, player.exe("Musicdisk.exe")], cwd=disk,
                            stdout=subprocess.DEVNULL, stderr=stderr_log)
    stop_file = os.path.join(args.work, "stop-watch")
    songs_log = os.path.join(args.work, "songs.txt")
    for f in (stop_file, songs_log):
        if os.path.exists(f):
            os.remove(f)
    watcher = None
    problems = []
    try:
        def main_visible():
            code, out = player.wintext("Musicdisk")
            return code == 0 and out.startswith("1 ")
        if not wait_until(90, main_visible):
            raise Failure("the main window did not show")
        _, out = player.wintext("Musicdisk")
        _, mx, my, mw, mh = (int(v) for v in out.split())
        log("main window at %d,%d (%dx%d)" % (mx, my, mw, mh))
        watcher = subprocess.Popen([player.wine, player.exe("md_probe.exe"), "watch", "Musicdisk",
                                    "TEXT_SONGNUM", winpath(songs_log), winpath(stop_file)],
                                   cwd=args.work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        main_wid = x_window("Musicdisk")
        other_wid = x_window("Baseline")
        if not main_wid or not other_wid:
            raise Failure("X windows not found (player %s, other program %s)" % (main_wid, other_wid))

        memory = []
        sampling = threading.Event()

        def sample_memory():
            while not sampling.wait(1.0):
                value = rss_kib(proc.pid)
                if value:
                    memory.append((time.time(), value))
        sampler = threading.Thread(target=sample_memory, daemon=True)
        sampler.start()

        time.sleep(1.5)
        code, gdi_start = player.run_probe("gdi", "Musicdisk")
        if code != 0:
            raise Failure("the player did not answer the GDI count query (%d)" % code)
        log("live GDI objects at start (bitmaps fonts regions): %s" % gdi_start)

        actions = []        # (time, name) of song-changing actions, for the check
        journal = []        # (time, what) of everything done, for reading a failure
        tally = {}
        shown = set()
        start = time.time()
        warm_up_end = start + min(60.0, max(15.0, args.seconds * 0.2))

        def click(x, y):
            xdo("mousemove", mx + x, my + y, "click", "1")

        def settle():
            # Showing, hiding and activating windows keep the window thread busy for a moment;
            # clicks sent meanwhile would be handled late, at wherever the pointer is by then.
            # Wait until the window thread answers again.
            player.run_probe("ping", "Musicdisk", "10000")

        def close_dialog(dialog):
            code, out = player.wintext(dialog)
            fields = out.split()
            if code == 0 and len(fields) == 5 and fields[0] == "1":
                _, (cx, cy) = DIALOGS[dialog]
                xdo("mousemove", int(fields[1]) + cx, int(fields[2]) + cy, "click", "1")

        def press(name):
            t = time.time()
            click(*BUTTONS[name])
            if name in SONG_ACTIONS:
                actions.append((t, name))
            tally[name] = tally.get(name, 0) + 1

        weights = [("next", 14), ("prev", 10), ("burst", 8), ("pause", 7), ("play", 9), ("stop", 3),
                   ("ff", 6), ("rw", 5), ("open", 6), ("close", 6), ("focus", 5), ("wait", 14), ("race", 6)]
        names = [n for n, _ in weights]
        cumulative = [w for _, w in weights]
        last_notice = start
        while time.time() - start < args.seconds:
            if proc.poll() is not None:
                raise Failure("the player ended during the run (exit code %s)" % proc.returncode)
            if time.time() - last_notice > 5 and time.time() - start > 8:
                # A late end notice for a channel the player has long left (channel 1 is the first
                # song's, freed at the first change; 0x7ffffff0 was never handed out), as the window
                # thread may take a real one after the user moved on: it must change nothing.
                journal.append((time.time(), "stale notice"))
                player.run_probe("notice", "Musicdisk", rng.choice(["1", "2", "0x7ffffff0"]))
                tally["stale notice"] = tally.get("stale notice", 0) + 1
                last_notice = time.time()
            choice = rng.choices(names, weights=cumulative)[0]
            journal.append((time.time(), choice))
            if choice in ("next", "prev", "pause", "play", "stop", "ff", "rw"):
                press(choice)
                time.sleep(rng.uniform(0.05, 0.8))
            elif choice == "burst":
                for _ in range(rng.randint(3, 8)):
                    press(rng.choice(["next", "next", "prev"]))
                    time.sleep(rng.uniform(0.01, 0.06))
                time.sleep(rng.uniform(0.1, 0.5))
            elif choice == "race":
                # A forward seek ends the song on the library's thread; pressing Previous at once
                # leaves its end notice stale, and acting on it would return to the song just left.
                press("ff")
                time.sleep(rng.uniform(0.0, 0.03))
                press("prev")
                time.sleep(rng.uniform(0.3, 1.0))
            elif choice == "open":
                dialog = rng.choice(sorted(DIALOGS))
                journal.append((time.time(), dialog))
                click(*BUTTONS[dialog])
                shown.add(dialog)
                settle()
                tally["open"] = tally.get("open", 0) + 1
                time.sleep(rng.uniform(0.2, 0.8))
            elif choice == "close" and shown:
                # Clicked where the dialog really is: a click on a skin's background starts a
                # window drag, which would hold the window thread until the next release.
                dialog = rng.choice(sorted(shown))
                journal.append((time.time(), "close " + dialog))
                close_dialog(dialog)
                shown.discard(dialog)
                settle()
                tally["close"] = tally.get("close", 0) + 1
                time.sleep(rng.uniform(0.2, 0.6))
            elif choice == "focus":
                # Another program takes the activation for a while, then the player gets it back.
                xdo("windowactivate", "--sync", other_wid)
                time.sleep(rng.uniform(0.3, 1.5))
                xdo("windowactivate", "--sync", main_wid)
                settle()
                tally["focus"] = tally.get("focus", 0) + 1
                time.sleep(0.2)
            else:
                # Let songs end by themselves.
                time.sleep(rng.uniform(0.5, 4.0))
                tally["wait"] = tally.get("wait", 0) + 1

        # Back to the start's state: dialogs closed, the player active.
        for dialog in sorted(DIALOGS):
            close_dialog(dialog)
        xdo("windowactivate", "--sync", main_wid)
        xdo("mousemove", 5, 5)
        # Every click must have shown its effect by the end: wait as long as one may take.
        time.sleep(CLICK_LAG)
        stop_time = time.time()
        sampling.set()
        log("actions: %s" % ", ".join("%s %d" % kv for kv in sorted(tally.items())))

        if proc.poll() is not None:
            raise Failure("the player ended during the run (exit code %s)" % proc.returncode)
        code, _ = player.run_probe("ping", "Musicdisk", "5000")
        if code != 0:
            problems.append("the player did not answer a sent message within 5 s (%d)" % code)
        else:
            log("ok: alive and responsive")
        code, gdi_end = player.run_probe("gdi", "Musicdisk")
        log("live GDI objects at the end (bitmaps fonts regions): %s" % gdi_end)
        if code != 0 or gdi_end != gdi_start:
            problems.append("live GDI objects %s at the end, %s at start" % (gdi_end, gdi_start))
        else:
            log("ok: live GDI objects back to their count at start")

        warm = [v for t, v in memory if t <= warm_up_end]
        late = [v for t, v in memory if t > warm_up_end]
        if not warm or not late:
            problems.append("too few memory samples (%d, %d)" % (len(warm), len(late)))
        else:
            growth = max(late) - warm[-1]
            log("memory: VmRSS %d KiB after warm-up, at most %d KiB later, %d KiB at the end "
                "(growth %d KiB, bound %d KiB)" % (warm[-1], max(late), late[-1], growth, MEMORY_BOUND_KIB))
            if growth > MEMORY_BOUND_KIB:
                problems.append("memory grew by %d KiB after the warm-up (bound %d KiB)"
                                % (growth, MEMORY_BOUND_KIB))

        open(stop_file, "w").close()
        watcher.wait(timeout=20)
        observations = []
        for line in open(songs_log):
            parts = line.split(None, 2)
            if len(parts) < 3:
                continue
            try:
                observations.append((int(parts[0]) / 1000.0, int(parts[1]) / 1000.0, int(parts[2])))
            except ValueError:
                problems.append("TEXT_SONGNUM showed %r" % parts[2].strip())
        with open(os.path.join(args.work, "actions.txt"), "w") as f:
            for t, name in actions:
                f.write("%.3f %s\n" % (t, name))
        with open(os.path.join(args.work, "journal.txt"), "w") as f:
            for t, name in journal:
                f.write("%.3f %s\n" % (t, name))
        found, counts = check_sequence(model, observations, actions, stop_time)
        log("song changes seen: %(changes)d; song buttons pressed: %(actions)d; at most %(orders)d "
            "orders of events fitted at once" % counts)
        problems += found
        if not found:
            log("ok: every song change is the next playable song after a button or a song end "
                "(click lag needed to explain the run: %.2f s, bound %.1f s)"
                % (least_click_lag(model, observations, actions, stop_time), CLICK_LAG))

        # The key goes where Wine's foreground is, which follows the window manager's activation
        # only once the player has handled it: press Escape after that, as a user would.
        xdo("windowactivate", "--sync", main_wid)
        code, _ = player.run_probe("active", "Musicdisk", "10000")
        if code != 0:
            raise Failure("the main window did not become the foreground window (%d)" % code)
        xdo("key", "Escape")
        try:
            code = proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            problems.append("Escape did not end the program")
            code = None
        if code is not None:
            if code != 0:
                problems.append("exit code %d after Escape" % code)
            else:
                log("ok: Escape ends the program with exit code 0")
    except Failure as failure:
        problems.append(str(failure))
    finally:
        if watcher and watcher.poll() is None:
            open(stop_file, "w").close()
            try:
                watcher.wait(timeout=10)
            except subprocess.TimeoutExpired:
                watcher.kill()
        for p in (proc, baseline):
            if p.poll() is None:
                p.kill()
                p.wait()
        stderr_log.close()
    for problem in problems:
        log("FAIL: %s" % problem)
    if problems:
        return 1
    log("soak: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
