#!/usr/bin/env python3
"""What a recording of the desktop's sound holds: raw 16-bit stereo at 44.1 kHz, recorded in real
time from the start of the run (tests/e2e/desktop), so a sample's index is its time on the clock.

    sound.py timeline FILE               the tones heard, one line each: start end frequency
    sound.py dropouts FILE [--marks M] [--music]
                                         fails on any dropout; M lists "name seconds" lines of
                                         moments the test caused a change (pause, seek, next),
                                         near which changes are expected

A dropout in a steady tone is a quiet run of a millisecond or more, or a jump between two samples
that the tone's own slope cannot make, with the same tone before and after it. In music (--music)
it is digital silence of 5 ms or more that cuts loud sound off and gives way to loud sound again:
what a sound device plays when nothing reached it in time. Song changes and the moments in M are
left out.
"""
import array
import math
import sys

RATE = 44100
WINDOW = RATE // 20  # 50 ms: the timeline's resolution
QUIET = 300          # peak below which a stretch counts as silent
BLOCK = 22           # half a millisecond: a quiet run of 1 ms fills at least one such block
NEAR_MARK = 0.4      # seconds around a test's own change in which anything may happen
NEAR_CHANGE = 0.1    # seconds at each end of a tone, where it starts or ends


def read(path):
    data = array.array("h")
    with open(path, "rb") as f:
        raw = f.read()
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
        hz = round(frequency(chunk) / 10) * 10 if peak >= QUIET else 0
        if segments and abs(segments[-1][2] - hz) <= 10:
            seg = segments[-1]
            counts[-1][hz] = counts[-1].get(hz, 0) + 1
            common = max(counts[-1].items(), key=lambda kv: kv[1])[0]
            segments[-1] = (seg[0], (start + WINDOW) / RATE, common, max(seg[3], peak))
        else:
            segments.append((start / RATE, (start + WINDOW) / RATE, hz, peak))
            counts.append({hz: 1})
    return segments


def near(t, marks, margin):
    return any(abs(t - m) <= margin for m in marks)


def tone_dropouts(samples, marks):
    problems = []
    for start, end, hz, peak in timeline(samples):
        if hz == 0:
            continue
        first = int((start + NEAR_CHANGE) * RATE)
        last = int((end - NEAR_CHANGE) * RATE)
        # The steepest step a sine of this height and frequency takes, with room for rounding.
        slope = peak * 2 * math.pi * hz / RATE * 1.3 + 64
        for i in range(first, last - BLOCK, BLOCK):
            block = samples[i:i + BLOCK]
            t = i / RATE
            if max(max(block), -min(block)) < QUIET and not near(t, marks, NEAR_MARK):
                problems.append("%.3f s: quiet inside the %d Hz tone" % (t, hz))
        steps = (abs(samples[i] - samples[i - 1]) for i in range(first + 1, last))
        for offset, step in enumerate(steps):
            if step > slope:
                t = (first + 1 + offset) / RATE
                if not near(t, marks, NEAR_MARK):
                    problems.append("%.3f s: a jump of %d inside the %d Hz tone" % (t, step, hz))
    return merge(problems)


def music_dropouts(samples, marks):
    problems = []
    run = 5 * RATE // 1000
    i = 0
    n = len(samples)
    while i < n:
        if samples[i] != 0:
            i += 1
            continue
        j = i
        while j < n and samples[j] == 0:
            j += 1
        if j - i >= run:
            before = samples[max(0, i - 88):i]
            after = samples[j:j + 88]
            loud = lambda s: len(s) > 0 and max(max(s), -min(s)) > 2000
            t = i / RATE
            if loud(before) and loud(after) and not near(t, marks, NEAR_MARK):
                problems.append("%.3f s: %.1f ms of silence inside the music" % (t, (j - i) * 1000 / RATE))
        i = j
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


def main(argv):
    if len(argv) < 3 or argv[1] not in ("timeline", "dropouts"):
        sys.exit(__doc__)
    samples = read(argv[2])
    if argv[1] == "timeline":
        for start, end, hz, peak in timeline(samples):
            print("%.2f %.2f %d %d" % (start, end, hz, peak))
        return 0
    marks = read_marks(argv[argv.index("--marks") + 1] if "--marks" in argv else None)
    problems = music_dropouts(samples, marks) if "--music" in argv else tone_dropouts(samples, marks)
    seconds = len(samples) / RATE
    if problems:
        print("%d dropouts in %.1f s of sound:" % (len(problems), seconds))
        for p in problems[:20]:
            print("  " + p)
        return 1
    print("no dropouts in %.1f s of sound" % seconds)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
