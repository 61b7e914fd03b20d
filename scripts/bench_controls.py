"""How soon the player's controls are heard, and the silence at its song changes; for scripts/bench
(bench_report.py), inside the private desktop of tests/e2e/desktop whose sound server is recorded.

- The floor: md_tone_loop.exe plays a tone through waveOut and pauses or continues it at each click
  on its window; how soon the sound server hears that is what any program can do here.
- The player's Pause, Play, Next (between tone WAV songs) and 10-second moves (on a song whose tone
  steps up 20 Hz every 2 s), each clicked CLICKS times: from the click to its effect in the
  recording (the recording's length is noted just before xdotool clicks).
- Songs ending by themselves, a tone WAV, Ogg, MP3, a module and a WAV again, twice round: the
  silence heard at each change beyond what the two files themselves hold at their end and start
  (rendered by audiolib_bench.exe dump), beside the library's own count from its debug output.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import sound  # noqa: E402

WINE = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
RATE = sound.RATE
MAKE_DISK = os.path.join(ROOT, "tests", "e2e", "make_disk.sh")
# The test disk's buttons, relative to the main window.
BUTTONS = {"play": (120, 35), "pause": (170, 35), "next": (220, 35), "back": (30, 35), "forward": (70, 35)}


def log(text):
    print(text, file=sys.stderr, flush=True)


def start(exe, cwd, args=(), player_log=None):
    env = dict(os.environ, WINEDEBUG="-all,warn+debugstr") if player_log else None
    return subprocess.Popen([WINE, exe] + list(args), cwd=cwd, stdin=subprocess.DEVNULL, env=env,
                            stdout=subprocess.DEVNULL,
                            stderr=open(player_log, "w") if player_log else subprocess.DEVNULL)


def stop(proc):
    if proc.poll() is None:
        proc.kill()
    proc.wait()


def window(name, limit=60.0):
    until = time.time() + limit
    while time.time() < until:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                               capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    raise SystemExit("%s showed no window" % name)


class Recording:
    """The desktop's recording: moments in it, and what it holds from a moment on."""

    def __init__(self):
        desktop = os.environ.get("MD_DESKTOP")
        path = open(os.path.join(desktop, "recording")).read().strip() if desktop else ""
        if not path:
            raise SystemExit("no recording: run inside tests/e2e/desktop with one")
        self.path = path

    def now(self):
        return os.path.getsize(self.path) // 4

    def since(self, frame):
        with open(self.path, "rb") as f:
            f.seek(frame * 4)
            return sound.samples_of(f.read())


def clicks(recording, wid, plan, pause):
    """Clicks each (kind, x, y) of the plan on the window, `pause` seconds apart; returns the
    (kind, frame) of each click and the frame the plan began at."""
    begin = recording.now()
    marks = []
    for kind, x, y in plan:
        marks.append((kind, recording.now() - begin))
        subprocess.run(["xdotool", "mousemove", "--window", wid, str(x), str(y), "click", "1"])
        time.sleep(pause(kind))
    time.sleep(0.5)
    return marks, begin


def step(hz):
    return 300 <= hz <= 880 and abs((hz - 300) / 20 - round((hz - 300) / 20)) < 0.3


def effect(kind, old):
    """What a click of this kind must make heard, given the tone heard just before it."""
    if kind == "pause":
        return "quiet"
    if kind == "play":
        return "sound"
    if kind == "forward":
        return lambda hz: step(hz) and hz >= old + 70
    if kind == "back":
        return lambda hz: step(hz) and hz <= old - 70
    # Next: from song 01 (stepped) to song 02 (1000 Hz), and from song 02 to song 01's start.
    target = 300 if abs(old - 1000) < 30 else 1000
    return lambda hz: abs(hz - target) < target / 30


def latencies(samples, marks):
    """Milliseconds from each click to its effect, by kind; None where none was heard in a second."""
    out = {}
    for kind, at in marks:
        heard = sound.heard_from(samples, at, effect(kind, sound.tone_at(samples, at)))
        out.setdefault("move" if kind in ("forward", "back") else kind, []).append(
            None if heard is None else (heard - at) * 1000 / RATE)
    return out


def floor(dist, recording, count):
    """md_tone_loop.exe paused and continued `count` times each by clicks on its window."""
    proc = start(os.path.join(dist, "md_tone_loop.exe"), dist)
    try:
        wid = window("ToneLoop")
        time.sleep(1.5)
        plan = [(kind, 100, 50) for _ in range(count) for kind in ("pause", "play")]
        marks, begin = clicks(recording, wid, plan, lambda kind: 0.5 if kind == "pause" else 0.7)
    finally:
        stop(proc)
    return latencies(recording.since(begin), marks)


def make_disk(work, name, song2):
    """The test disk (tests/e2e/make_disk.sh): song 01 steps up 20 Hz every 2 s from 300 Hz for 60 s;
    song 02 is `song2` seconds of 1000 Hz, as a WAV."""
    disk = os.path.join(work, name)
    subprocess.run(["bash", MAKE_DISK, disk, "0", "60", str(song2), "stepped"], check=True)
    music = os.path.join(disk, "music")
    os.remove(os.path.join(music, "02.mp3"))
    sox(os.path.join(music, "02.wav"), song2, 1000)
    config = os.path.join(music, "config.dat")
    text = open(config).read().replace("02.mp3", "02.wav")
    open(config, "w").write(text)
    return disk


def sox(path, seconds, hz):
    subprocess.run(["sox", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", str(seconds), "sine",
                    str(hz), "vol", "0.5"], check=True)


def player_controls(dist, work, recording, count):
    """Pause and Play, 10-second moves forward and back, and Next, `count` times each."""
    disk = make_disk(work, "controls", 60)
    proc = start(os.path.join(dist, "Musicdisk.exe"), disk, player_log=os.path.join(work, "controls.log"))
    try:
        wid = window("Musicdisk")
        time.sleep(2)
        plan = [(kind,) + BUTTONS[kind] for _ in range(count) for kind in ("pause", "play")]
        plan += [(kind,) + BUTTONS[kind] for _ in range(count // 2 + count % 2) for kind in ("forward", "back")]
        plan += [("next",) + BUTTONS["next"] for _ in range(count)]
        marks, begin = clicks(recording, wid, plan, lambda kind: {"pause": 0.5, "play": 0.7}.get(kind, 0.8))
    finally:
        stop(proc)
    return latencies(recording.since(begin), marks)


# The song-change disk: (file, kind, tone in Hz or None for the module). libxmp's test module plays
# 440 Hz and 1060 Hz for more than 0.3 s: the tones keep away from those.
CHANGE_SONGS = [("01.wav", "WAV", 330), ("02.ogg", "Ogg", 375), ("03.mp3", "MP3", 700), ("04.it", "module", None),
                ("05.wav", "WAV", 920)]


def quiet_ends(samples):
    """Frames below QUIET at the start and at the end of a song's sound (left channel, as heard)."""
    loud = [i for i, v in enumerate(samples) if abs(v) >= sound.QUIET]
    return (loud[0], len(samples) - 1 - loud[-1]) if loud else (len(samples), len(samples))


def song_changes(dist, win_build, deps, work, recording, rounds):
    """Songs of every kind ending by themselves, `rounds` times round the disk."""
    disk = os.path.join(work, "changes")
    subprocess.run(["bash", MAKE_DISK, disk, "0", "2", "2"], check=True)
    music = os.path.join(disk, "music")
    for name in os.listdir(music):
        if name.endswith(".wav"):
            os.remove(os.path.join(music, name))
    for name, kind, hz in CHANGE_SONGS:
        path = os.path.join(music, name)
        if kind == "module":
            shutil.copy(os.path.join(deps, "test.it"), path)
            continue
        sox(path if kind == "WAV" else path + ".wav", 2, hz)
        if kind == "Ogg":
            subprocess.run(["oggenc", "-Q", "-o", path, path + ".wav"], check=True)
        elif kind == "MP3":
            subprocess.run(["lame", "--quiet", "-b", "128", path + ".wav", path], check=True)
        if kind != "WAV":
            os.remove(path + ".wav")
    with open(os.path.join(music, "config.dat"), "w") as f:
        f.write("splash.time=0\r\n" + "".join("music.file.%02d=music\\%s\r\n" % (i + 1, name)
                                            for i, (name, _, _) in enumerate(CHANGE_SONGS)))
    # What each file holds: its own silence at its start and end, as the library renders it.
    bench = shutil.copy(find(win_build, "audiolib_bench.exe"), music)
    shutil.copy(os.path.join(dist, "BASS.dll"), music)
    own = {}
    for name, _, _ in CHANGE_SONGS:
        subprocess.run([WINE, bench, "dump", name, name + ".raw"], cwd=music, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        own[name] = quiet_ends(sound.read(os.path.join(music, name + ".raw")))
    player_log = os.path.join(work, "changes.log")
    begin = recording.now()
    proc = start(os.path.join(dist, "Musicdisk.exe"), disk, player_log=player_log)
    try:
        window("Musicdisk")
        length = 4 * 2 + 4.8
        time.sleep(rounds * length + 3)
    finally:
        stop(proc)
    samples = recording.since(begin)
    counts = [int(n) for n in re.findall(r"audio: (\d+) frames of silence between two channels",
                                          open(player_log, errors="replace").read())]
    return changes_heard(samples, own), counts


def changes_heard(samples, own):
    """(from kind, to kind, silence heard in ms, of it beyond what the files hold) at each change."""
    tones = {hz: (name, kind) for name, kind, hz in CHANGE_SONGS if hz}
    module = next((name, kind) for name, kind, hz in CHANGE_SONGS if hz is None)
    segs = [(a, b, min(tones, key=lambda t: abs(t - hz))) for a, b, hz, _ in sound.timeline(samples)
            if hz and b - a >= 0.3 and min(abs(t - hz) for t in tones) < 15]
    # Each tone song follows the one before it in the list (the module before the 880 Hz WAV, after
    # the 660 Hz MP3): the change lies at the end of the one or the start of the other.
    order = [hz for _, _, hz in CHANGE_SONGS]
    found = []
    for a, b in zip(segs, segs[1:]):
        i = order.index(a[2])
        after = order[(i + 1) % len(order)]
        if after == b[2]:
            found.append((tones[a[2]], tones[b[2]], a[1]))
        elif after is None:
            found.append((tones[a[2]], module, a[1]))
            if order[(i + 2) % len(order)] == b[2]:
                found.append((module, tones[b[2]], b[0]))
    out = []
    for (name_a, kind_a), (name_b, kind_b), t in found:
        quiet = longest_quiet(samples, int((t - 0.06) * RATE), int((t + 0.06) * RATE))
        files = own[name_a][1] + own[name_b][0]
        out.append((kind_a, kind_b, quiet * 1000 / RATE, max(0, quiet - files) * 1000 / RATE))
    return out


def longest_quiet(samples, begin, end):
    """The longest run of samples below QUIET that reaches into samples[begin:end], whole."""
    longest = 0
    i = max(0, begin)
    while i > 0 and abs(samples[i - 1]) < sound.QUIET:
        i -= 1
    while i < min(end, len(samples)):
        j = i
        while j < len(samples) and abs(samples[j]) < sound.QUIET:
            j += 1
        longest = max(longest, j - i)
        i = j + 1
    return longest


def find(root, name):
    for folder, _, files in os.walk(root):
        if name in files:
            return os.path.join(folder, name)
    raise SystemExit("%s not built in %s" % (name, root))


def measure(dist, win_build, deps, work, count=10, rounds=2):
    recording = Recording()
    log("controls: the floor (md_tone_loop.exe)")
    base = floor(dist, recording, count)
    log("controls: the player's Pause, Play, moves and Next")
    ours = player_controls(dist, work, recording, count)
    log("controls: songs ending by themselves")
    changes, counts = song_changes(dist, win_build, deps, work, recording, rounds)
    return {"floor": base, "player": ours, "changes": changes, "counts": counts}


def summary(values):
    """(median, worst, missing) of latencies in ms; clicks with no effect heard count as missing."""
    heard = [v for v in values if v is not None]
    return (statistics.median(heard) if heard else float("nan"), max(heard) if heard else float("nan"),
            len(values) - len(heard))


def goals(f):
    """Rows (goal, target, measured, met) for performance.md."""
    met = lambda ok: "met" if ok else "**not met**"
    player = {k: summary(v) for k, v in f["player"].items()}
    base = {k: summary(v) for k, v in f["floor"].items()}
    missing = sum(s[2] for s in player.values())
    worst = max(s[1] for s in player.values())
    rows = [("Every control heard at the sound server (Pause, Play, Next, a 10-second move)", "within 60 ms",
             "worst %.0f ms (medians: %s)%s" % (worst, ", ".join("%s %.0f" % (k, s[0]) for k, s in player.items()),
                                               ", %d clicks with no effect heard" % missing if missing else ""),
             met(worst <= 60 and not missing))]
    for kind in ("pause", "play"):
        rows.append(("%s against the floor (a minimal waveOut program)" % kind.capitalize(), "within floor + 10 ms",
                     "median %.0f ms (worst %.0f) against %.0f ms (worst %.0f)" % (
                         player[kind][0], player[kind][1], base[kind][0], base[kind][1]),
                     met(player[kind][0] <= base[kind][0] + 10)))
    beyond = max((c[3] for c in f["changes"]), default=float("nan"))
    library = max(f["counts"], default=0) * 1000 / RATE
    rows.append(("Silence at a song change by itself, beyond what the files hold", "at most 10 ms",
                 "worst %.1f ms heard over %d changes; the library's own count at most %.1f ms" % (
                     beyond, len(f["changes"]), library),
                 met(beyond <= 10 and library <= 10 and len(f["changes"]) >= 5)))
    return rows


def figures(f):
    """Rows of the figures table: (figure, ours, baseline)."""
    rows = []
    base = {k: summary(v) for k, v in f["floor"].items()}
    for kind, values in f["player"].items():
        med, worst, missing = summary(values)
        floor_text = "%.0f / %.0f (floor)" % base[kind][:2] if kind in base else ""
        rows.append(("%s: click to sound server, median / worst of %d (ms)%s" % (
            kind.capitalize(), len(values), ", %d unheard" % missing if missing else ""),
            "%.0f / %.0f" % (med, worst), floor_text))
    kinds = {}
    for a, b, heard, beyond in f["changes"]:
        kinds.setdefault("%s to %s" % (a, b), []).append((heard, beyond))
    for name, values in kinds.items():
        rows.append(("Silence heard at a change from %s, worst of %d (ms; beyond the files' own)" % (name, len(values)),
                     "%.1f (%.1f)" % (max(v[0] for v in values), max(v[1] for v in values)), ""))
    rows.append(("The library's count of silence mixed at %d changes (frames)" % len(f["counts"]),
                 ", ".join(map(str, f["counts"])) or "none", ""))
    return rows
