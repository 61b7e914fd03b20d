#!/usr/bin/env python3
"""The checks of the end-to-end runs on what a run left (recordings, marks, screenshots, logs):

    verdicts.py NAME ARG...     runs one check; prints "ok: ..." and "FAIL: ..." lines, the figure
                                beside each, and exits 1 when any failed

Each check is a function below named as on the command line; test_verdicts.py checks them on made-up
runs. Recordings are those of tests/e2e/run --sound (sound.py reads them); marks files hold "name
seconds" lines of moments in the recording (e2e_lib.sh mark)."""
import array
import json
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sound  # noqa: E402

RATE = sound.RATE


class Checks:
    """Prints each check with its figure and keeps the failed ones."""

    def __init__(self):
        self.failed = []

    def __call__(self, ok, text):
        print(("ok: " if ok else "FAIL: ") + text)
        if not ok:
            self.failed.append(text)
        return ok


def read_marks(path):
    return dict((n, float(t)) for n, t in (line.split() for line in open(path)))


def heard(recording, hz, seconds):
    """A tone of hz was heard for at least the seconds in all."""
    check = Checks()
    total = sum(b - a for a, b, f, _ in sound.timeline(sound.read(recording)) if f == int(hz))
    check(total >= float(seconds), "heard %s Hz for %.2f s (at least %s s)" % (hz, total, seconds))
    return check.failed


def stretches(timeline, shortest):
    """(start, end, Hz) of the timeline's segments of at least `shortest` seconds, those of one tone
    less than 0.15 s apart joined: a tone broken by a short silence counts as one stretch."""
    segs = []
    for a, b, hz, _ in timeline:
        if b - a < shortest:
            continue
        if segs and segs[-1][2] == hz and a - segs[-1][1] <= 0.15:
            segs[-1] = (segs[-1][0], b, hz)
        else:
            segs.append((a, b, hz))
    return segs


def song01_step(hz):
    """The 2-second step of the stepped song 01 (300 Hz up 20 Hz every 2 s) a frequency belongs to,
    or None."""
    k, rest = divmod(hz - 300, 20)
    return k if rest == 0 and 0 <= k < 30 else None


def song01_named(segs):
    """The stretches with a tone read 10 Hz off a step of song 01 named as the step it continues or
    the one after it: a stretch cut short by a seek gives a coarse reading (700 Hz heard for 0.3 s
    read as 710). Stretches of one tone less than 0.15 s apart are joined again."""
    named = []
    for a, b, hz in segs:
        prev = named[-1][2] if named else None
        if hz and song01_step(hz) is None and prev is not None and song01_step(prev) is not None:
            hz = next((h for h in (prev, prev + 20) if abs(h - hz) == 10), hz)
        if named and named[-1][2] == hz and a - named[-1][1] <= 0.15:
            named[-1] = (named[-1][0], b, hz)
        else:
            named.append((a, b, hz))
    return named


def player_heard(segs, marks, splash_ms, silence=None):
    """What player.sh's clicks must have made heard on the stepped disk, by the clock: the splash
    music for the splash's time, pause as long as held and play on from there, 10-second seeks,
    song 02's 12 s, and song 01 again from its beginning. segs: stretches(timeline, 0.1); silence(a,
    b): the seconds the sound server left silent between two moments (default: the silent stretches)."""
    check = Checks()
    segs = song01_named(segs)
    silence = silence or gap_seconds(segs)

    def sounded(s):
        """How long a stretch sounded: the sound server's silences inside it are no time of the song."""
        return s[1] - s[0] - silence(s[0], s[1])
    print("heard:", " ".join("%.2f-%.2f:%d" % s for s in segs))
    step = song01_step

    def first(after, pred):
        return next((s for s in segs if s[0] >= after - 0.05 and pred(s)), None)

    splash = first(0, lambda s: s[2] == 200)
    check(splash is not None, "the splash music (200 Hz) was heard")
    song1 = first(splash[1] if splash else 0, lambda s: s[2] != 0)
    if splash and song1:
        length = splash[1] - splash[0]
        # The first sound of a run reaches the speakers up to a quarter second late under Wine.
        check(splash_ms / 1000 - 0.25 <= length <= splash_ms / 1000 + 3,
              "the splash music played %.2f s, for the splash's %.1f s and until song 01 started (-0.25 to +3 s)"
              % (length, splash_ms / 1000))
        check(song1[2] == 300, "song 01 starts from its beginning (%d Hz)" % song1[2])

    def position(at):
        """Where song 01 was at a moment: the step heard then and how long it had been heard."""
        # A moment in the short gap between two tones belongs to the one that just ended.
        seg = next((s for s in segs if s[0] <= at < s[1] + 0.15 and step(s[2]) is not None), None)
        if seg is None:
            return None
        played = sum(sounded(s) for s in segs if s[2] == seg[2] and s[1] <= seg[1])
        return 2 * step(seg[2]) + played - (seg[1] - min(at, seg[1]))

    # Pause: silence from the click (plus the output's lead) for as long as it was held; then the
    # interrupted step goes on, so its two parts make 2 s.
    pause = first(marks["pause"], lambda s: s[2] == 0)
    if pause:
        held = marks["play"] - marks["pause"]
        silent = pause[1] - pause[0]
        # Seen: 0.31 s apart on a loaded machine, where the mark and the silence both wait.
        check(abs(silent - held) <= 0.65, "pause: %.2f s of silence while it was held %.2f s (within 0.65 s)"
              % (silent, held))
        check(pause[0] - marks["pause"] <= ANY_MS / 1000, "pause heard %.0f ms after the click (at most %d)"
              % ((pause[0] - marks["pause"]) * 1000, ANY_MS))
        before = next(s for s in reversed(segs) if s[1] <= pause[0] + 0.06 and s[2] != 0)
        after = first(pause[1], lambda s: s[2] != 0)
        # A pause heard just as a step ended resumes with the next one.
        whole = step(before[2]) is not None and before[1] - before[0] >= 1.85
        resumed = after is not None and (after[2] == before[2] or (whole and after[2] == before[2] + 20))
        check(resumed, "play resumes where it paused (%d Hz, then %s Hz)" % (before[2], after[2] if after else "none"))
        if after and after[2] == before[2] and step(before[2]) is not None and step(before[2]) > 0:
            parts = sounded(before) + sounded(after)
            check(abs(parts - 2.0) <= 0.15, "the paused step sounded %.2f s in all, as long as any other (2 s within 0.15)"
                  % parts)
    else:
        check(False, "pause: no silence after the click")

    # Seeks: the library moves a stream to its position's whole second plus or minus 10; what it
    # reports as its position runs ahead of what is heard by the output's lead.
    for name, delta in (("forward", 10), ("back", -10)):
        # The step heard just before the click: a seek heard at once starts a new segment within the
        # timeline's 50 ms window of the click.
        cur = next((s for s in segs if s[0] <= marks[name] - 0.1 < s[1] and step(s[2]) is not None), None)
        # The step after the current one may still start on its own before the seek is heard.
        new = next((s for s in segs if cur and s[0] >= marks[name] - 0.05 and step(s[2]) is not None
                    and step(s[2]) not in (step(cur[2]), step(cur[2]) + 1)), None)
        if new is None:
            check(False, "seek %s: no change of position was heard" % name)
            continue
        was = position(new[0] - 0.06)
        if was is None:
            check(False, "seek %s: where song 01 was before it is unknown" % name)
            continue
        landed = 2 * step(new[2]) + 2 - sounded(new)
        wanted = sorted({int(was - 0.1) + delta, int(was + 0.4) + delta})
        check(min(abs(landed - w) for w in wanted) <= 0.25, "seek %s: from %.2f s to %.2f s of song 01 (wanted %s, within 0.25 s)"
              % (name, was, landed, " or ".join(map(str, wanted))))

    # Song 02 plays its whole 12 s by the clock, then song 01 starts again from its beginning. The
    # silences the sound server leaves inside it (exact zeros, nothing lost: the song goes on after
    # them) neither end it nor count as its time.
    song2 = first(marks["next"], lambda s: s[2] == 1000)
    check(song2 is not None, "song 02 (1000 Hz) was heard after BUTTON_NEXT")
    if song2:
        # It starts where song 01 was last heard: its first moments may be too short a stretch.
        start = max([marks["next"]] + [s[1] for s in segs[:segs.index(song2)] if s[2] not in (0, 1000)])
        end = song2[1]
        for s in segs[segs.index(song2) + 1:]:
            if s[2] not in (0, 1000):
                break
            end = s[1] if s[2] == 1000 else end
        gaps = silence(start, end)
        length = end - start - gaps
        check(abs(length - 12.0) <= 0.25, "song 02 sounded %.2f s of its 12 s (within 0.25; %.2f s of silence left out)"
              % (length, gaps))
        again = first(end, lambda s: s[2] != 0)
        check(again is not None and again[2] == 300 and again[0] - end < 1.0,
              "song 01 follows from its beginning %.2f s later (at most 1 s)" % ((again[0] - end) if again else -1))
    return check.failed


def gap_seconds(segs):
    """Seconds of silence (0 Hz stretches) between two moments, from the stretches alone."""
    return lambda a, b: sum(max(0, min(e, b) - max(s, a)) for s, e, hz in segs if hz == 0)


def zero_seconds(samples):
    """Seconds of exact zeros (runs of two or more, which no tone holds) between two moments."""
    def seconds(a, b):
        begin, end = int(a * RATE), int(b * RATE)
        runs = sound.zero_runs(samples, begin, end)
        return sum(min(j, end) - max(i, begin) for i, j in runs if j - i >= 2) / RATE
    return seconds


def player(recording, marks, splash_ms):
    """player_heard on a run's recording and marks."""
    samples = sound.read(recording)
    segs = stretches(sound.timeline(samples), 0.1)
    return player_heard(segs, read_marks(marks), int(splash_ms), zero_seconds(samples))


# How soon a click is heard. Typical: the middle of a run's clicks, 18 to 80 ms here and 157 ms on a
# machine kept busy by a native build under qemu-i386, bound 340 ms. The machine's share (the
# click, the recording and the mark all wait their turn) is measured in the same run by the clicks
# the device answers itself (pause, stop, play: a pause or restart of the device, no queue): the
# clicks that drop the queue and mix anew (seek, next) come at most DEEPER_MS after those,
# counted by their medians (-10 to 53 ms seen), so a queue that was not dropped, or ran deep, shows
# on any machine. Any one click: 655 ms was the worst seen (load average 12 on two cores), bound
# at twice that. Each click is heard before the next one (1.5 s or more apart).
TYPICAL_MS = 340
DEEPER_MS = 120
ANY_MS = 1300
DEVICE_CLICKS = ("pause", "pause2", "stop", "play", "play2")
# A silence at least this long, running up to a click's new tone, began where the old one stopped.
GAP = RATE // 10


def left_at(samples, at, heard_at):
    """Where the song playing at a click stopped being heard, given where the click's new tone was
    heard: the start of a silence of GAP or more that runs up to the new tone, else heard_at. The
    player acts on a click by dropping what it had queued, so that moment is the player's; a
    silence after it, while the library's queue did not run dry, is the sound server's (one
    stopped for 1.5 s just after a seek left 3 s of silence here)."""
    # The new tone may begin up to a period before heard_at.
    j = i = max(at, heard_at - RATE // 100)
    while j > at and abs(samples[j - 1]) < sound.QUIET:
        j -= 1
    return j if heard_at - j >= GAP and all(abs(v) < sound.QUIET for v in samples[j:i]) else heard_at


def median(values):
    """The middle of some values (the upper one of an even count), 0 for none."""
    values = sorted(values)
    return values[len(values) // 2] if values else 0


def mix_lead(latencies, left):
    """The median of the clicks that mix anew (to where the old song stopped) less that of the
    clicks the device answers itself, with the former: (lead ms, median ms), or None without both."""
    device = [ms for n, ms in latencies.items() if n in DEVICE_CLICKS]
    mixed = [ms for n, ms in left.items() if n not in DEVICE_CLICKS]
    return (median(mixed) - median(device), median(mixed)) if device and mixed else None


def latency_failures(latencies, left=None):
    """The failures of a run's click-to-sound latencies {name: ms}: their median past TYPICAL_MS;
    counted to where the old song stopped ({name: ms}, default latencies), the median of the clicks
    that mix anew more than DEEPER_MS past that of the clicks the device answers itself
    (DEVICE_CLICKS), or any one click past ANY_MS."""
    left = latencies if left is None else left
    found = ["%s heard %.0f ms after the click (at most %d)" % (n, ms, ANY_MS)
             for n, ms in left.items() if ms > ANY_MS]
    middle = median(latencies.values())
    if middle > TYPICAL_MS:
        found.append("the clicks' median latency is %.0f ms (at most %d)" % (middle, TYPICAL_MS))
    lead = mix_lead(latencies, left)
    if lead and lead[0] > DEEPER_MS:
        found.append("the clicks that mix anew are heard %.0f ms after those the device answers (at most %d)"
                     % (lead[0], DEEPER_MS))
    return found


def own_delays(log):
    """The failures among the delays the player's debug output tells of (a control that held the
    window up, sound that reached the device late after it was asked for): any past ANY_MS once
    the longest wait on the sound system told since the last such delay ("audio: the sound system
    took N ms over ...": a reset that waited for a stalled sound server holds up the click that
    asked for it) is taken off. Each is printed."""
    found = []
    waited = 0
    told = re.compile(r"musicdisk: (\w+) took (\d+) ms|audio: sound queued (\d+) ms after it was asked for"
                      r"|audio: the sound system took (\d+) ms over")
    for m in told.finditer(log):
        if m.group(4):
            waited = max(waited, int(m.group(4)))
            continue
        ms = int(m.group(2) or m.group(3))
        what = ("the player took %d ms over a click on %s" % (ms, m.group(1)) if m.group(1)
                else "the library queued sound %d ms after it was asked for" % ms)
        own = max(0, ms - waited)
        text = "%s, %d ms of it not waiting on the sound system (at most %d)" % (what, own, ANY_MS)
        print(text)
        if own > ANY_MS:
            found.append(text)
        waited = 0
    return found


def quiet_from(samples, at, until):
    """Where the silence that holds from a pause or stop click until the next click began (at
    least sound.STILL of it), or None. A shorter silence before it is the sound server's, and the
    song still playing after it shows in the latency."""
    loud = next((i for i in range(until - 1, at - 1, -1) if abs(samples[i]) >= sound.QUIET), at - 1)
    return loud + 1 if until - (loud + 1) >= sound.STILL else None


def controls(recording, marks, log):
    """How soon each of controls.sh's clicks was heard (latency_failures), nothing of a paused,
    stopped or left song after that, and the library's silence between songs that ended by
    themselves (its debug output) at most 10 ms."""
    check = Checks()
    samples = sound.read(recording)
    marks = [(name, int(float(t) * RATE)) for name, t in (line.split() for line in open(marks))]

    def near(target):
        return lambda hz: abs(hz - target) < target / 30

    def step(hz):
        return 300 <= hz <= 480 and abs((hz - 300) / 20 - round((hz - 300) / 20)) < 0.3

    # What each click must make heard, given the tone heard before it: silence, sound again, or a tone.
    effects = {
        "pause": lambda old: "quiet", "pause2": lambda old: "quiet", "stop": lambda old: "quiet",
        "play": lambda old: "sound", "play2": lambda old: "sound",
        "forward": lambda old: lambda hz: step(hz) and hz >= old + 70,
        "forward2": lambda old: lambda hz: step(hz) and hz >= old + 70,
        "back": lambda old: lambda hz: step(hz) and hz <= old - 70,
        "next": lambda old: near(1000), "next2": lambda old: near(300),
    }
    latencies, left = {}, {}
    playing = 0  # the tone of the song playing before the click, paused or not
    for k, (name, at) in enumerate(marks):
        old = sound.tone_at(samples, at)
        playing = old or playing
        until = marks[k + 1][1] if k + 1 < len(marks) else len(samples)
        quiet = name in ("pause", "pause2", "stop")
        if quiet:
            heard_at = quiet_from(samples, at, until)
        else:
            heard_at = sound.heard_from(samples, at, effects[name](old), until - at)
        if heard_at is None:
            check(False, "%s: %s before the next click" % (name, "not silent" if quiet else "no effect heard"))
            continue
        latencies[name] = (heard_at - at) * 1000 / RATE
        # A new tone after a playing song (seek, next) may follow a silence that is not the
        # player's; silence or sound again (pause, stop, play) is the effect itself, and next2's
        # song was paused, with nothing to stop.
        playing_at_click = name in ("forward", "back", "next", "forward2")
        stopped = left_at(samples, at, heard_at) if playing_at_click else heard_at
        left[name] = (stopped - at) * 1000 / RATE
        if heard_at - stopped >= GAP:
            print("%s: the old song stopped %.0f ms after the click, then %.2f s of silence before its effect"
                  % (name, left[name], (heard_at - stopped) / RATE))
        if left[name] > ANY_MS or heard_at - stopped >= GAP:
            print("%s: heard from the click on: %s" % (name, " ".join(
                "%.2f-%.2f:%d" % (a, b, hz) for a, b, hz, _ in sound.timeline(samples[at:heard_at + RATE // 2]))))
        # Nothing of a paused, stopped or left song once the click's effect is heard, up to the next one.
        begin = heard_at
        rest = samples[begin:until]
        if name in ("next", "next2"):
            again = [a for a, b, hz, _ in sound.timeline(rest) if abs(hz - playing) <= 10 and b - a >= 0.05]
            check(not again, "%s: the song left (%.0f Hz) is not heard after it" % (name, playing))
    print("latencies from click to sound (ms): %s; median %.0f (at most %d), each at most %d"
          % (", ".join("%s %.0f" % kv for kv in latencies.items()), median(latencies.values()), TYPICAL_MS,
             ANY_MS))
    lead = mix_lead(latencies, left)
    if lead:
        print("clicks that mix anew: median %.0f ms, %.0f ms after those the device answers (at most %d)"
              % (lead[1], lead[0], DEEPER_MS))
    for failure in latency_failures(latencies, left):
        check(False, failure)

    # The player's own part after a click, as it tells it: a control that held the window up, and
    # sound asked for that reached the device late. A silence heard beyond these is the sound
    # server's.
    text = open(log, errors="replace").read()
    for failure in own_delays(text):
        check(False, failure)

    # The songs that ended by themselves: the library's count of the silence it mixed between them,
    # and the longest quiet stretch heard where the tone changed.
    counts = [int(n) for n in re.findall(r"audio: (\d+) frames of silence between two channels", text)]
    check(len(counts) >= 2, "the library told %d changes of song at an end (2 expected)" % len(counts))
    for n in counts:
        check(n <= RATE // 100, "the library mixed %.1f ms of silence between two songs (at most 10)"
              % (n * 1000 / RATE))
    after = marks[-1][1]
    segs = [s for s in sound.timeline(samples[after:]) if s[2] != 0]
    for a, b in zip(segs, segs[1:]):
        if near(1000)(a[2]) != near(1000)(b[2]):
            middle = after + int(a[1] * RATE)
            around = samples[middle - RATE // 10:middle + RATE // 10]
            run = longest = 0
            for v in around:
                run = run + 1 if abs(v) < sound.QUIET else 0
                longest = max(longest, run)
            print("heard from %d Hz to %d Hz: at most %.1f ms of silence" % (a[2], b[2], longest * 1000 / RATE))
    return check.failed


def sound_back(recording, marks):
    """After the sound server came back (mark sound_back), song 01 or 02 of the stepped disk was
    heard again."""
    check = Checks()
    back_at = read_marks(marks)["sound_back"]
    segs = [(a, b, hz) for a, b, hz, _ in sound.timeline(sound.read(recording)) if b - a >= 0.3]
    print("heard:", " ".join("%.2f-%.2f:%d" % s for s in segs))
    back = [s for s in segs if s[1] > back_at + 0.2]
    check(any(s[2] == 1000 for s in back) or any(300 <= s[2] < 360 for s in back),
          "sound heard again after the server came back")
    return check.failed


def demo(work, disk, recording):
    """scripts/demo-capture's windows and sound against the demo disk: the splash screen, the main
    window and the credits dialog by size, place and pixels (WORK holds their screenshots and the
    disk's pictures as raw RGB, WORK/out what the capture left), song 01 on the display, the splash
    music before the main window showed and song 01 after it."""
    check = Checks()
    out = os.path.join(work, "out")
    screen_w, screen_h = 1024, 768

    def load(name):
        return open(os.path.join(work, name), "rb").read()

    def size(picture):
        # Every picture of the disk is BMP or GIF; the header gives the size.
        data = open(os.path.join(disk, "gui", picture), "rb").read()
        if data[:2] == b"BM":
            return int.from_bytes(data[18:22], "little"), abs(int.from_bytes(data[22:26], "little", signed=True))
        return int.from_bytes(data[6:8], "little"), int.from_bytes(data[8:10], "little")

    windows = {}
    for line in open(os.path.join(out, "windows.txt")):
        name, *numbers = line.split()
        windows[name] = tuple(int(n) for n in numbers)

    values = {}
    for name in sorted(os.listdir(os.path.join(disk, "music"))):
        if name.endswith(".dat"):
            for line in open(os.path.join(disk, "music", name), encoding="latin-1"):
                line = line.rstrip("\r\n")
                if line and line[0] not in "#@" and "=" in line:
                    key, value = line.split("=", 1)
                    values[key] = value

    def centred(w, h):
        return ((screen_w - w) // 2, (screen_h - h) // 2)

    # Splash: the size of its picture, centred, showing its picture.
    w, h = size("splash.gif")
    sx, sy, sw, sh = windows["splash"]
    check((sw, sh) == (w, h), "splash is %dx%d like splash.gif (%dx%d)" % (sw, sh, w, h))
    check((sx, sy) == centred(w, h), "splash at %d,%d, centred at %d,%d" % ((sx, sy) + centred(w, h)))
    share = matching(load("shot-splash.rgb"), sw, (0, 0), [load("splash.gif.rgb")], load("splash_mask.gif.rgb"), w, h)
    check(share > 0.95, "splash shows splash.gif (%.1f%% of its pixels)" % (100 * share))

    # Main window: the size of main.bmp, centred, its look (normal or inactive) around the controls.
    w, h = size("main.bmp")
    mx, my, mw, mh = windows["main"]
    check((mw, mh) == (w, h), "main window is %dx%d like main.bmp (%dx%d)" % (mw, mh, w, h))
    check((mx, my) == centred(w, h), "main window at %d,%d, centred at %d,%d" % ((mx, my) + centred(w, h)))
    share = matching(load("shot-main.rgb"), mw, (0, 0), [load("main.bmp.rgb"), load("main_off.gif.rgb")],
                     load("main_mask.gif.rgb"), w, h)
    check(share > 0.75, "main window shows its skin (%.1f%% of its pixels)" % (100 * share))

    # The credits dialog: its skin's size, placed by dialog.dx/dy from the main window, its picture.
    number = next(k.rsplit(".", 1)[1] for k, v in values.items()
                  if k.startswith("dialog.file.") and v.endswith("credits.ini"))
    dx, dy = int(values["dialog.dx." + number]), int(values["dialog.dy." + number])
    w, h = size("credits.bmp")
    cx, cy, cw, ch = windows["dialog"]
    check((cw, ch) == (w, h), "credits dialog is %dx%d like credits.bmp (%dx%d)" % (cw, ch, w, h))
    check((cx, cy) == (mx + dx, my + dy), "credits dialog at %d,%d = main window + (%d,%d)" % (cx, cy, dx, dy))
    left, top = max(min(mx, cx), 0), max(min(my, cy), 0)
    right = min(max(mx + mw, cx + cw), screen_w)
    share = matching(load("shot-dialog.rgb"), right - left, (cx - left, cy - top),
                     [load("credits.bmp.rgb"), load("credits_off.gif.rgb")], load("credits_mask.gif.rgb"), w, h)
    check(share > 0.6, "credits dialog shows its skin (%.1f%% of its pixels)" % (100 * share))

    # Song 01 is what plays: its number shows, and its length is the one its description gives.
    shown = open(os.path.join(out, "probe.txt")).read().split()
    length = re.search(r"\((\d+):(\d\d)\)\s*$", values["music.desc.01"])
    expected = ["01", "%02d:%s" % (int(length.group(1)), length.group(2))]
    check(shown == expected, "display shows song and total time %s, expected %s" % (shown, expected))

    # Sound: the splash music before the main window showed, song 01 after.
    raw = array.array("h", open(recording, "rb").read())
    marks = dict(line.split() for line in open(os.path.join(out, "marks.txt")))
    mark = int(marks["main_shown_at_byte"]) // 2
    second = 2 * RATE

    def rms(samples):
        return (sum(s * s for s in samples) / max(len(samples), 1)) ** 0.5 / 32768

    before = raw[max(mark - second, 0):mark]
    after = raw[mark:mark + 2 * second]
    check(len(after) >= second, "%.1f s of sound captured after the main window showed" % (len(after) / second))
    check(rms(before) > 0.02, "splash music audible before the main window (RMS %.3f)" % rms(before))
    check(rms(after) > 0.02, "song 01 audible after the main window showed (RMS %.3f)" % rms(after))
    return check.failed


def matching(shot, shot_w, box, looks, mask, w, h):
    """Share of a window's pixels (non-white in the mask) that show one of the looks, where box is
    the window's place inside the screenshot (all raw RGB)."""
    bx, by = box
    inside = same = 0
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 3
            if mask[i:i + 3] == b"\xff\xff\xff":
                continue
            inside += 1
            j = ((by + y) * shot_w + bx + x) * 3
            got = shot[j:j + 3]
            if any(all(abs(a - b) <= 8 for a, b in zip(got, look[i:i + 3])) for look in looks):
                same += 1
    return same / max(inside, 1)


def skin_points(skin_ini, main_rgb, width):
    """Points inside each button (where the player shows it) and each label at least 14 pixels high
    (6 pixels right of its x), away from the outline and the name drawn over them, where the skin's
    Main picture differs from its pixels 6 to the left and right: a control drawn 6 pixels off
    would not match. Prints "NAME X Y" lines."""
    main = open(main_rgb, "rb").read()
    width = int(width)

    def at(x, y):
        return main[3 * (y * width + x):3 * (y * width + x) + 3]

    section = None
    for raw in open(skin_ini, encoding="latin-1"):
        line = raw.strip()
        m = re.match(r"\[(\w+)\]", line)
        if m:
            section = m.group(1)
            continue
        m = re.match(r"\d+=(.*)", line)
        if not m or section not in ("BUTTONINFO", "LABELINFO"):
            continue
        f = m.group(1).split(",")
        x, y, w, h = (int(v) for v in (f[1:5] if section == "BUTTONINFO" else f[7:11]))
        shift = 6 if section == "LABELINFO" else 0
        if h < 14:
            continue
        found = 0
        for j in range(h - 3, h // 2, -1):
            for i in range(w - 4, w // 2, -1):
                here = at(x + i, y + j)
                if (found < 3 and 6 <= x + i < width - 6 and here != at(x + i - 6, y + j) and
                        here != at(x + i + 6, y + j)):
                    print(f[0], x + shift + i, y + j)
                    found += 1
    return []


def changed_box(a, b, width, x, y, w, h):
    """The bounding box (x0, y0, x1, y1) of the pixels that differ between two raw RGB pictures of
    that width inside the rectangle, or None."""
    box = None
    for row in range(y, y + h):
        for col in range(x, x + w):
            i = (row * width + col) * 3
            if a[i:i + 3] != b[i:i + 3]:
                box = (col, row, col, row) if box is None else (
                    min(box[0], col), min(box[1], row), max(box[2], col), max(box[3], row))
    return box


def changed(shot_a, shot_b, x, y, w, h):
    """Prints "x0 y0 x1 y1" of the pixels that differ between two 1024-wide screenshots inside the
    rectangle, or "none"."""
    a, b = (subprocess.run(["convert", p, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
            for p in (shot_a, shot_b))
    box = changed_box(a, b, 1024, int(x), int(y), int(w), int(h))
    print("none" if box is None else "%d %d %d %d" % box)
    return []


def captured_tone(samples, seconds, hz):
    """What the file sink took of a tone (the left channel): its length, frequency, loudness and
    longest quiet run, against the tone played; failures."""
    check = Checks()
    loud = [i for i, v in enumerate(samples) if abs(v) > 1000]
    if not check(bool(loud), "the captured sound is not silent (%d frames)" % len(samples)):
        return check.failed
    tone = samples[loud[0]:loud[-1] + 1]
    crossings = [i for i in range(1, len(tone)) if tone[i - 1] < 0 <= tone[i]]
    freq = (len(crossings) - 1) * RATE / (crossings[-1] - crossings[0]) if len(crossings) > 1 else 0
    rms = (sum(v * v for v in tone) / len(tone)) ** 0.5
    gap = run = 0
    for v in tone:
        run = run + 1 if abs(v) < 200 else 0
        gap = max(gap, run)
    check(abs(len(tone) / RATE - seconds) < 0.1, "captured %.3f s of tone (%.1f s played)" % (len(tone) / RATE, seconds))
    check(abs(freq - hz) < 5, "at %.1f Hz (%d Hz played)" % (freq, hz))
    check(rms > 8000, "rms %.0f (above 8000)" % rms)
    # A gap: 5 ms or more of near silence inside the tone.
    check(gap < 220, "longest quiet run %d frames (below 220)" % gap)
    return check.failed


def capture(raw):
    """audiolib_capture_e2e: the file sink holds the 1.5 s, 1000 Hz sine played, without gaps."""
    return captured_tone(array.array("h", open(raw, "rb").read())[0::2], 1.5, 1000)


def mdcheck_json(text):
    """mdcheck --json on the demo disk without song02.mod: exactly that one error."""
    check = Checks()
    report = json.loads(text)
    codes = [(f["code"], f["file"], f["line"], f["key"]) for f in report["findings"]]
    check(report["errors"] == 1 and report["warnings"] == 0,
          "1 error and no warnings (%s and %s)" % (report["errors"], report["warnings"]))
    check(codes == [("song-missing", "music\\songs.dat", 5, "music.file.02")], "the missing song only: %s" % codes)
    return check.failed


def main(argv):
    names = ("heard", "player", "controls", "sound_back", "demo", "skin_points", "changed", "capture",
             "mdcheck_json")
    if len(argv) < 2 or argv[1] not in names:
        sys.exit(__doc__)
    return 1 if globals()[argv[1]](*argv[2:]) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
