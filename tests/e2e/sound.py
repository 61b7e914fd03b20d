#!/usr/bin/env python3
"""What a recording of the desktop's sound holds: raw 16-bit stereo at 44.1 kHz, recorded in real
time from the start of the run (tests/e2e/run --sound), so a sample's index is its time on the clock.

    sound.py timeline FILE      the tones heard, one line each: start end frequency
    sound.py report FILE [--marks M] [--music] [--player-log L] [--strict] [--from S] [--to S]
                                the short silences and jumps in the recording, printed as a report;
                                fails when the player's log L (its Wine output with debug strings,
                                warn+debugstr) says its output queue ran dry or is missing, and with
                                --strict (a local investigation) on every silence found too.
                                M lists "name seconds" lines of moments the test caused a change
                                (pause, seek, next), near which changes are expected; --from and
                                --to keep the seconds of the recording between them.

Why the silences are a report and not a verdict: Wine 8's sound driver keeps about 30 ms in the
sound server and refills it every 10 ms after a round trip to the server, so on a busy or virtual
machine the server now and then plays silence (a server underrun) and the sound goes on where it
was; a minimal program playing one buffered tone shows them too. What the player causes is told
by its audio library, which says "the output queue ran dry" to a debugger each time its own queue
empties; what the library sends is checked exactly through a file sink (audiolib_capture_e2e).

A dropout in a steady tone is a run of zeros cut into it (of any length, with the same tone before
and after), a quiet run of a millisecond or more, or a jump between two samples that the tone's own
slope cannot make, with the same tone before and after it. In music (--music) it is digital silence
of 5 ms or more that cuts loud sound off and gives way to loud sound again. Song changes and the
moments in M are left out. Of these, exact zeros for less than UNDERRUN after which the tone goes on
in phase as if they had been put in, or that fall where the tone steps (in music: any silence
shorter than UNDERRUN), are what a server underrun leaves, and are listed as such.
"""
import array
import math
import os
import sys

RATE = 44100
WINDOW = RATE // 20  # 50 ms: the timeline's resolution
QUIET = 300          # peak below which a stretch counts as silent
BLOCK = 22           # half a millisecond: a quiet run of 1 ms fills at least one such block
NEAR_MARK = 0.4      # seconds around a test's own change in which anything may happen
NEAR_CHANGE = 0.1    # seconds at each end of a tone, where it starts or ends
UNDERRUN = RATE // 4  # 250 ms: the longest silence taken for a server underrun
STILL = RATE // 100  # 10 ms below QUIET: the silence of a pause or stop
DRY = "the output queue ran dry"  # the audio library's debug string
RECENT = 800         # samples just before or after a moment: the last few periods, three at 200 Hz


def read(path):
    with open(path, "rb") as f:
        return samples_of(f.read())


def samples_of(raw):
    """The left channel of raw 16-bit stereo bytes."""
    data = array.array("h")
    data.frombytes(raw[: len(raw) // 4 * 4])
    if sys.byteorder != "little":
        data.byteswap()
    return data[0::2]


def frequency(chunk):
    """The frequency of a steady tone in the chunk from its rising zero crossings, or 0."""
    crossings = [i for i in range(1, len(chunk)) if chunk[i - 1] < 0 <= chunk[i]]
    if len(crossings) < 3:
        return 0
    return (len(crossings) - 1) * RATE / (crossings[-1] - crossings[0])


def timeline(samples):
    """Segments (start s, end s, Hz rounded to 10, peak); 0 Hz is silence or no steady tone.

    A segment's frequency is the one most of its windows show: a window across a change of tone
    gives a stray value in between, which must not name the tone after it."""
    segments = []
    counts = []
    for start in range(0, len(samples) - WINDOW + 1, WINDOW):
        chunk = samples[start:start + WINDOW]
        peak = max(max(chunk), -min(chunk))
        # Without the zeros of an underrun: they would add a crossing and give a stray frequency.
        hz = round(frequency(nonzero(chunk, 0, len(chunk))) / 10) * 10 if peak >= QUIET else 0
        if segments and abs(segments[-1][2] - hz) <= 10:
            seg = segments[-1]
            counts[-1][hz] = counts[-1].get(hz, 0) + 1
            common = max(counts[-1].items(), key=lambda kv: kv[1])[0]
            segments[-1] = (seg[0], (start + WINDOW) / RATE, common, max(seg[3], peak))
        else:
            segments.append((start / RATE, (start + WINDOW) / RATE, hz, peak))
            counts.append({hz: 1})
    return segments


def heard_from(samples, at, what, limit=RATE):
    """The index of the first sample at or after `at`, within `limit` samples, from which `what` is
    heard, or None. "quiet": STILL samples below QUIET; "sound": a sample at or above it; a function
    of a frequency: a tone it accepts, from the rising zero crossing after which four periods in a
    row give such a frequency (at most one period after the tone began)."""
    end = min(len(samples), at + limit)
    if what == "quiet":
        run = 0
        for i in range(at, end):
            run = run + 1 if abs(samples[i]) < QUIET else 0
            if run == STILL:
                return i - run + 1
        return None
    if what == "sound":
        return next((i for i in range(at, end) if abs(samples[i]) >= QUIET), None)
    crossings = [i for i in range(max(1, at), min(len(samples), end + WINDOW))
                 if samples[i - 1] < 0 <= samples[i]]
    for k in range(len(crossings) - 4):
        if crossings[k] >= end:
            break
        if all(what(RATE / (crossings[j + 1] - crossings[j])) for j in range(k, k + 4)):
            return crossings[k]
    return None


def tone_at(samples, i):
    """The frequency of the tone in the 20 ms before sample i, or 0."""
    return frequency(samples[max(0, i - RATE // 50):i])


def near(t, marks, margin):
    return any(abs(t - m) <= margin for m in marks)


def zero_runs(samples, begin, end):
    """(start, stop) of each run of exact zeros that reaches into samples[begin:end], whole: a run
    cut at either end would look like a tone going quiet rather than zeros put into it."""
    i = begin
    while i > 0 and i < end and samples[i] == 0 and samples[i - 1] == 0:
        i -= 1
    while i < end:
        if samples[i] != 0:
            i += 1
            continue
        j = i
        while j < len(samples) and samples[j] == 0:
            j += 1
        yield i, j
        i = j


def in_phase_after(samples, i, j, slope):
    """Whether the tone after the zeros samples[i:j] goes on as if they had been put in: each of
    its next samples matches the one a period before the zeros (the period from the crossings)."""
    # The last few periods only: the song's own tone may have stepped shortly before.
    crossings = [k for k in range(max(1, i - RECENT), i) if samples[k - 1] < 0 <= samples[k]]
    if len(crossings) < 3 or j + 40 > len(samples):
        return False
    # The period from the steady gaps between crossings: another underrun close by splits or
    # stretches a gap of its own.
    gaps = [b - a for a, b in zip(crossings, crossings[1:])]
    typical = sorted(gaps)[len(gaps) // 2]
    steady = [g for g in gaps if abs(g - typical) <= typical / 10]
    period = sum(steady) / len(steady)
    for k in range(40):
        back = i + k - period
        low = int(back)
        was = samples[low] + (samples[low + 1] - samples[low]) * (back - low)
        if abs(samples[j + k] - was) > slope:
            return False
    return True


def steepest(peak, hz):
    """The steepest step a sine of this height and frequency takes, with room for rounding."""
    return peak * 2 * math.pi * hz / RATE * 1.3 + 64


def nonzero(samples, begin, end):
    return [v for v in samples[max(0, begin):end] if v]


def tone_around(samples, i, j):
    """(Hz, peak) of the tone before samples[i:j] when about the same tone follows it, else None."""
    if i < WINDOW or j + WINDOW > len(samples):
        return None
    # Without their zeros: another underrun close by would count as crossings of its own.
    before, after = nonzero(samples, i - WINDOW, i), nonzero(samples, j, j + WINDOW)
    if not before or not after:
        return None
    hz, peak = frequency(before), max(max(before), -min(before))
    # Within a tenth: the stepped song's 20 Hz steps, not a change of song (440 to 880 Hz).
    if peak < QUIET or hz == 0 or abs(frequency(after) - hz) > hz / 10:
        return None
    return hz, peak


def tone_dropouts(samples, marks, underruns=None):
    """Dropouts inside the tones. Given a list for underruns, server underruns go there instead."""
    problems = []
    # Zeros cut into a tone, looked for over the whole recording: 50 ms or more of them make a
    # stretch of silence in the timeline, which would otherwise pass for a change of song.
    excused = set()  # samples of server underruns: the zeros and the steps into and out of them
    for i, j in zero_runs(samples, 1, len(samples)):
        tone = tone_around(samples, i, j)
        if tone is None or near(i / RATE, marks, NEAR_MARK):
            continue
        hz, peak = tone
        slope = steepest(peak, hz)
        # Zeros a sine passes through on its own are no break in it.
        if max(abs(samples[i - 1]), abs(samples[j])) <= slope and j - i < BLOCK:
            continue
        what = "%.3f s: %d samples of silence inside the %.0f Hz tone" % (i / RATE, j - i, hz)
        # Where the song's own tone steps at the zeros, there is no phase to go on in.
        just_before, just_after = nonzero(samples, i - RECENT, i), nonzero(samples, j, j + RECENT)
        steps = abs(frequency(just_before) - frequency(just_after)) > 3
        if underruns is not None and j - i < UNDERRUN and (steps or in_phase_after(samples, i, j, slope)):
            underruns.append(what)
            excused.update(range(i - BLOCK, j + BLOCK))
        else:
            problems.append(what)
    for start, end, hz, peak in timeline(samples):
        if hz == 0:
            continue
        first = int((start + NEAR_CHANGE) * RATE)
        last = int((end - NEAR_CHANGE) * RATE)
        slope = steepest(peak, hz)
        for i in range(first, last - BLOCK, BLOCK):
            block = samples[i:i + BLOCK]
            t = i / RATE
            quiet = max(max(block), -min(block)) < QUIET
            if quiet and not near(t, marks, NEAR_MARK) and not excused.issuperset((i, i + BLOCK - 1)):
                problems.append("%.3f s: quiet inside the %d Hz tone" % (t, hz))
        steps = (abs(samples[i] - samples[i - 1]) for i in range(first + 1, last))
        for offset, step in enumerate(steps):
            if step > slope and first + 1 + offset not in excused:
                t = (first + 1 + offset) / RATE
                if not near(t, marks, NEAR_MARK):
                    problems.append("%.3f s: a jump of %d inside the %d Hz tone" % (t, step, hz))
    return merge(problems)


def music_dropouts(samples, marks, underruns=None):
    """Dropouts in music. Given a list for underruns, silences shorter than UNDERRUN go there: in
    music a server underrun cannot be told from a short dropout of the player by its phase."""
    problems = []
    run = 5 * RATE // 1000
    for i, j in zero_runs(samples, 0, len(samples)):
        if j - i >= run:
            before = samples[max(0, i - 88):i]
            after = samples[j:j + 88]
            loud = lambda s: len(s) > 0 and max(max(s), -min(s)) > 2000
            t = i / RATE
            if loud(before) and loud(after) and not near(t, marks, NEAR_MARK):
                line = "%.3f s: %.1f ms of silence inside the music" % (t, (j - i) * 1000 / RATE)
                (underruns if underruns is not None and j - i < UNDERRUN else problems).append(line)
    return problems


def merge(problems):
    """One line per 50 ms, so a long fault does not flood the report."""
    kept, last = [], None
    for p in problems:
        t = float(p.split(" ", 1)[0])
        if last is None or t - last >= 0.05:
            kept.append(p)
            last = t
    return kept


def read_marks(path):
    marks = []
    if path:
        with open(path) as f:
            for line in f:
                parts = line.split()
                if len(parts) == 2:
                    marks.append(float(parts[1]))
    return marks


def queue_ran_dry(path):
    """How often the player's log says its output queue ran dry, or None without a log."""
    if not os.path.exists(path):
        return None
    with open(path, errors="replace") as f:
        return sum(DRY in line for line in f)


def failures(log, dry, silences, strict):
    """The verdict on a recording: what the player caused, from its log L (the times its output
    queue ran dry, None without a log); the silences found fail it only when strict."""
    found = []
    if dry is None:
        found.append("no player log %s tells whether the output queue ran dry" % log)
    elif dry:
        found.append("the player's output queue ran dry %d times (%s)" % (dry, log))
    if strict and silences:
        found.append("%d silences in the sound (--strict)" % silences)
    return found


def main(argv):
    if len(argv) < 3 or argv[1] not in ("timeline", "report"):
        sys.exit(__doc__)
    samples = read(argv[2])
    if argv[1] == "timeline":
        for start, end, hz, peak in timeline(samples):
            print("%.2f %.2f %d %d" % (start, end, hz, peak))
        return 0
    marks = read_marks(argv[argv.index("--marks") + 1] if "--marks" in argv else None)
    begin = float(argv[argv.index("--from") + 1]) if "--from" in argv else 0.0
    if "--to" in argv:
        samples = samples[:int(float(argv[argv.index("--to") + 1]) * RATE)]
    samples = samples[int(begin * RATE):]
    marks = [m - begin for m in marks]
    log = argv[argv.index("--player-log") + 1] if "--player-log" in argv else None
    dry = queue_ran_dry(log) if log else None
    underruns = []
    check = music_dropouts if "--music" in argv else tone_dropouts
    problems = check(samples, marks, underruns)
    seconds = len(samples) / RATE
    print("report on %.1f s of sound: %d silences the sound server leaves, %d other dropouts"
          % (seconds, len(underruns), len(problems)))
    for what, lines in (("server underrun", underruns), ("dropout", problems)):
        for line in lines[:20]:
            print("  %s: %s" % (what, line))
    failed = False
    for line in failures(log, dry, len(underruns) + len(problems), "--strict" in argv):
        print("FAIL: " + line)
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
