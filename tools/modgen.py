"""Composes the demo disk's tracker modules and writes them as 4-channel "M.K." modules.

Every sound is synthesised here (drums, bass, leads, pads) and every note is composed from a
song's key, scale, chord progression and seed, so the same song always gives the same bytes.
Songs play their order list once and end: there is no position jump back.

Usage: modgen.py OUTDIR   (writes every song of SONGS and the splash jingle)
"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from prng import Prng  # noqa: E402

ROWS = 64
CHANNELS = 4
ROWS_PER_BAR = 16

# Amiga periods of the three octaves C-1..B-3 (finetune 0).
PERIODS = [
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
]
# Playback rate of a sample at C-2 on a PAL machine: synthesised drums are made at this rate.
RATE_C2 = 7093789.2 / (2 * 428)

SCALES = {
    "minor": [0, 2, 3, 5, 7, 8, 10],
    "major": [0, 2, 4, 5, 7, 9, 11],
    "dorian": [0, 2, 3, 5, 7, 9, 10],
    "mixolydian": [0, 2, 4, 5, 7, 9, 10],
}

# Effect numbers of the format.
FX_ARPEGGIO = 0x0
FX_VIBRATO = 0x4
FX_VIBRATO_VOLSLIDE = 0x6
FX_VOLSLIDE = 0xA
FX_POSITION_JUMP = 0xB
FX_VOLUME = 0xC
FX_BREAK = 0xD
FX_EXTENDED = 0xE
FX_SPEED = 0xF


# ---------------------------------------------------------------- samples

class Sample:
    def __init__(self, name, values, volume, loop_start=0, loop_length=0):
        """`values` are floats in -1..1; a loop of 0 bytes means a one-shot sample."""
        data = bytearray(max(-127, min(127, int(round(v * 112)))) & 0xFF for v in values)
        if len(data) % 2:
            data.append(0)
        self.name = name
        self.data = bytes(data)
        self.volume = volume
        self.loop_start = loop_start
        self.loop_length = loop_length


def _cycle(shape, n):
    out = []
    for i in range(n):
        p = i / n
        if shape == "square":
            v = 1.0 if p < 0.5 else -1.0
        elif shape == "pulse":
            v = 1.0 if p < 0.25 else -1.0
        elif shape == "saw":
            v = 1.0 - 2.0 * p
        elif shape == "triangle":
            v = 4.0 * p - 1.0 if p < 0.5 else 3.0 - 4.0 * p
        elif shape == "sine":
            v = math.sin(2 * math.pi * p)
        elif shape == "organ":
            v = (math.sin(2 * math.pi * p) + 0.5 * math.sin(4 * math.pi * p)
                 + 0.3 * math.sin(6 * math.pi * p)) / 1.45
        else:
            raise ValueError(shape)
        out.append(v)
    return out


def looped(name, shape, cycle_length, volume, scale=0.8):
    """Two silent bytes (the format's convention), then one cycle that loops."""
    values = [0.0, 0.0] + [v * scale for v in _cycle(shape, cycle_length)]
    return Sample(name, values, volume, 2, cycle_length)


def pluck(name, shape, volume, length=3600):
    """A decaying tone of 32-sample cycles that darkens as it fades (tuned like the looped leads)."""
    base = _cycle(shape, 32)
    values = [0.0, 0.0]
    smooth = 0.0
    for i in range(length):
        t = i / length
        target = base[i % 32] * math.exp(-4.5 * t)
        smooth += (target - smooth) * (0.9 - 0.7 * t)
        values.append(smooth)
    return Sample(name, values, volume)


def kick(seed):
    values, phase = [0.0, 0.0], 0.0
    for i in range(2400):
        t = i / RATE_C2
        phase += 2 * math.pi * (48 + 140 * math.exp(-t / 0.025)) / RATE_C2
        values.append(math.sin(phase) * math.exp(-t / 0.14))
    return Sample("kick", values, 64)


def snare(seed):
    rng = Prng(seed)
    values = [0.0, 0.0]
    for i in range(2000):
        t = i / RATE_C2
        noise = rng.unit() * 2 - 1
        values.append(0.65 * noise * math.exp(-t / 0.07) + 0.45 * math.sin(2 * math.pi * 185 * t) * math.exp(-t / 0.04))
    return Sample("snare", values, 50)


def hat(seed):
    rng = Prng(seed)
    values, last = [0.0, 0.0], 0.0
    for i in range(520):
        t = i / (2 * RATE_C2)
        noise = rng.unit() * 2 - 1
        values.append((noise - last) * 0.5 * math.exp(-t / 0.018))
        last = noise
    return Sample("hat", values, 36)


# Instrument numbers are the sample slots (1-based) in this order.
INSTRUMENTS = ["kick", "snare", "hat", "bass", "square", "pulse", "sine", "pluck", "organ", "sawlead"]


def make_samples(seed):
    made = {
        "kick": kick(seed),
        "snare": snare(seed + 1),
        "hat": hat(seed + 2),
        "bass": looped("saw bass", "saw", 64, 52, 0.9),
        "square": looped("square lead", "square", 32, 34, 0.6),
        "pulse": looped("pulse arp", "pulse", 32, 26, 0.6),
        "sine": looped("sine lead", "triangle", 32, 48, 0.9),
        "pluck": pluck("pluck", "saw", 48),
        "organ": looped("organ pad", "organ", 64, 30, 0.8),
        "sawlead": looped("saw lead", "saw", 32, 32, 0.6),
    }
    return [made[name] for name in INSTRUMENTS]


def instrument(name):
    return INSTRUMENTS.index(name) + 1


# ---------------------------------------------------------------- file format

class Pattern:
    def __init__(self):
        self.cells = [[None] * CHANNELS for _ in range(ROWS)]

    def put(self, row, channel, note=None, sample=0, effect=0, param=0):
        """note is an index 0..35 (C-1..B-3) or None for no note."""
        if not 0 <= row < ROWS:
            return
        if note is not None and not 0 <= note < len(PERIODS):
            raise ValueError("note %d out of range" % note)
        self.cells[row][channel] = (note, sample, effect, param)

    def get(self, row, channel):
        return self.cells[row][channel]

    def encode(self):
        out = bytearray()
        for row in self.cells:
            for cell in row:
                note, sample, effect, param = cell or (None, 0, 0, 0)
                period = PERIODS[note] if note is not None else 0
                out += bytes(((sample & 0xF0) | (period >> 8), period & 0xFF,
                              ((sample & 0x0F) << 4) | effect, param))
        return bytes(out)


def module_bytes(title, samples, patterns, orders):
    if not 1 <= len(orders) <= 128 or len(samples) > 31:
        raise ValueError("too many orders or samples")
    out = bytearray(title.encode("ascii")[:20].ljust(20, b"\0"))
    for i in range(31):
        if i < len(samples):
            s = samples[i]
            loop_words = s.loop_length // 2 if s.loop_length else 1
            out += s.name.encode("ascii")[:22].ljust(22, b"\0")
            out += struct.pack(">HBBHH", len(s.data) // 2, 0, s.volume, s.loop_start // 2, loop_words)
        else:
            out += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    out += bytes((len(orders), 127))
    out += bytes(orders) + b"\0" * (128 - len(orders))
    out += b"M.K."
    for p in patterns:
        out += p.encode()
    for s in samples:
        out += s.data
    return bytes(out)


# ---------------------------------------------------------------- composition

DRUMS = {
    "rock": "K.h.S.h.K.KhS.h.",
    "four": "K.hhS.h.K.hhS.hK",
    "half": "K...h...S...h...",
    "break": "K.h.S.hKh.K.S.hh",
    "shuffle": "K..hS..hK.KhS..h",
    "sparse": "K.......h.......",
    "fill": "K.h.S.hKS.SSS.SS",
}

RHYTHMS = {
    "busy": [[0, 3, 6, 8, 10, 12, 14], [0, 2, 4, 6, 8, 12], [0, 4, 6, 8, 11, 12, 14]],
    "even": [[0, 4, 6, 8, 12], [0, 2, 4, 8, 12, 14], [0, 6, 8, 12]],
    "calm": [[0, 6, 8], [0, 8, 12], [0, 4, 8]],
}


class Song:
    def __init__(self, **kw):
        self.file = kw["file"]
        self.title = kw["title"]
        self.speed = kw["speed"]
        self.bpm = kw["bpm"]
        self.root = kw["root"]
        self.key_name = kw["key_name"]
        self.scale = SCALES[kw["scale"]]
        self.scale_name = kw["scale"]
        self.progressions = kw["progressions"]
        self.lead = kw["lead"]
        self.arp = kw["arp"]
        self.pad = kw.get("pad")
        self.drums = kw["drums"]
        self.rhythm = kw["rhythm"]
        self.arrangement = kw["arrangement"]
        self.seed = kw["seed"]

    def seconds(self):
        return len(self.arrangement) * ROWS * self.speed * 2.5 / self.bpm


def degree_semitones(scale, degree):
    octave, step = divmod(degree, 7)
    return scale[step] + 12 * octave


def chord_intervals(scale, degree):
    base = degree_semitones(scale, degree)
    return degree_semitones(scale, degree + 2) - base, degree_semitones(scale, degree + 4) - base


class Composer:
    """Writes one song's patterns: channel 0 drums, 1 bass, 2 chords (arpeggio or pad), 3 lead."""

    def __init__(self, song):
        self.song = song
        self.rng = Prng(song.seed)
        self.motifs = {}
        self.lead_base = 12 + song.root if song.root < 7 else song.root

    def motif(self, name):
        """Two bars of (row, length, degree offset from the chord root), kept per section name."""
        if name not in self.motifs:
            rng = Prng(self.song.seed * 31 + sum(map(ord, name)))
            bars = []
            for _ in range(2):
                rows = rng.choice(RHYTHMS[self.song.rhythm])
                notes, offset = [], rng.choice([0, 2, 4])
                for i, row in enumerate(rows):
                    length = (rows[i + 1] if i + 1 < len(rows) else ROWS_PER_BAR) - row
                    if i > 0:
                        offset = rng.choice([0, 2, 4, 7]) if row % 4 == 0 else offset + rng.choice([-2, -1, 1, 2])
                    notes.append((row, length, max(-3, min(9, offset))))
                bars.append(notes)
            self.motifs[name] = bars
        return self.motifs[name]

    def lead_note(self, chord_degree, offset):
        note = self.lead_base + degree_semitones(self.song.scale, chord_degree + offset)
        while note > 35:
            note -= 12
        while note < 0:
            note += 12
        return note

    def put_drums(self, p, bar, style):
        for i, ch in enumerate(DRUMS[style]):
            row = bar * ROWS_PER_BAR + i
            if ch == "K":
                p.put(row, 0, 12, instrument("kick"))
            elif ch == "S":
                p.put(row, 0, 12, instrument("snare"))
            elif ch == "h":
                p.put(row, 0, 24, instrument("hat"), FX_VOLUME, 0x18 if i % 4 else 0x24)

    def put_bass(self, p, bar, degree, busy):
        note = (self.song.root + degree_semitones(self.song.scale, degree)) % 12
        fifth = note + chord_intervals(self.song.scale, degree)[1]
        steps = [(0, note), (6, note), (8, note + 12), (12, fifth)] if busy else [(0, note), (8, fifth)]
        for row, n in steps:
            p.put(bar * ROWS_PER_BAR + row, 1, n, instrument("bass"))

    def put_chord(self, p, bar, degree):
        third, fifth = chord_intervals(self.song.scale, degree)
        note = (self.song.root + degree_semitones(self.song.scale, degree)) % 12 + 12
        base = bar * ROWS_PER_BAR
        if self.song.pad:
            p.put(base, 2, note, instrument(self.song.pad), FX_ARPEGGIO, (third << 4) | fifth)
            for r in range(1, ROWS_PER_BAR):
                p.put(base + r, 2, None, 0, FX_ARPEGGIO, (third << 4) | fifth)
        else:
            for r in range(0, ROWS_PER_BAR, 4):
                p.put(base + r, 2, note, instrument(self.song.arp), FX_ARPEGGIO, (third << 4) | fifth)
                for k in range(1, 4):
                    p.put(base + r + k, 2, None, 0, FX_ARPEGGIO, (third << 4) | fifth)

    def put_lead(self, p, bar, degree, notes):
        base = bar * ROWS_PER_BAR
        for row, length, offset in notes:
            p.put(base + row, 3, self.lead_note(degree, offset), instrument(self.song.lead))
            if length >= 4:
                p.put(base + row + 1, 3, None, 0, FX_VIBRATO, 0x42)
                for k in range(2, length):
                    p.put(base + row + k, 3, None, 0, FX_VIBRATO_VOLSLIDE, 0x01)
            else:
                for k in range(1, length):
                    p.put(base + row + k, 3, None, 0, FX_VOLSLIDE, 0x02)

    def put_ending(self, p, degree):
        """The last two bars: one chord struck on all channels, fading, then silence on the last row."""
        start = 2 * ROWS_PER_BAR
        third, fifth = chord_intervals(self.song.scale, degree)
        bass = (self.song.root + degree_semitones(self.song.scale, degree)) % 12
        chord = bass + 12
        p.put(start, 0, 12, instrument("kick"))
        p.put(start, 1, bass, instrument("bass"))
        p.put(start, 2, chord, instrument(self.song.pad or self.song.arp), FX_ARPEGGIO, (third << 4) | fifth)
        p.put(start, 3, self.lead_note(degree, 0), instrument(self.song.lead))
        p.put(start + 1, 3, None, 0, FX_VIBRATO, 0x42)
        for row in range(start + 1, ROWS - 1):
            p.put(row, 1, None, 0, FX_VOLSLIDE, 0x01)
            p.put(row, 2, None, 0, FX_VOLSLIDE, 0x01)
            if row > start + 1:
                p.put(row, 3, None, 0, FX_VIBRATO_VOLSLIDE, 0x01)
        for channel in (1, 2, 3):
            p.put(ROWS - 1, channel, None, 0, FX_VOLUME, 0)

    def pattern(self, section, first):
        s = self.song
        p = Pattern()
        prog = s.progressions[1] if section.startswith("B") else s.progressions[0]
        for bar in range(4):
            degree = prog[bar % len(prog)]
            if section == "intro":
                self.put_drums(p, bar, "sparse" if bar < 2 else "half")
                self.put_bass(p, bar, degree, False)
                self.put_chord(p, bar, degree)
            elif section == "outro":
                if bar < 2:
                    self.put_drums(p, bar, "half")
                    self.put_bass(p, bar, degree, False)
                    self.put_chord(p, bar, degree)
                    self.put_lead(p, bar, degree, self.motif("A")[bar])
                elif bar == 2:
                    self.put_ending(p, prog[0])
            elif section == "break":
                self.put_chord(p, bar, degree)
                self.put_bass(p, bar, degree, False)
                if bar % 2:
                    self.put_lead(p, bar, degree, self.motif("B")[1])
            else:
                style = "fill" if bar == 3 and section.endswith("2") else s.drums
                self.put_drums(p, bar, style)
                self.put_bass(p, bar, degree, True)
                self.put_chord(p, bar, degree)
                motif = self.motif(section[0])
                notes = motif[bar % 2]
                if bar == 3:
                    notes = [n for n in notes if n[0] < 8] + [(8, 8, 0)]
                self.put_lead(p, bar, degree, notes)
        if first:
            self.set_tempo(p)
        return p

    def set_tempo(self, p):
        """Speed and tempo go into two free cells of row 0 (chord and lead channels, no effect there)."""
        placed = []
        for channel in (3, 2, 1, 0):
            cell = p.get(0, channel)
            if cell is None or (cell[2] == 0 and cell[3] == 0):
                note, sample = (cell[0], cell[1]) if cell else (None, 0)
                value = self.song.speed if not placed else self.song.bpm
                p.put(0, channel, note, sample, FX_SPEED, value)
                placed.append(channel)
                if len(placed) == 2:
                    return
        raise ValueError("no free cell for the tempo")

    def build(self):
        patterns, orders, index = [], [], {}
        for i, section in enumerate(self.song.arrangement):
            key = section if i else "first"
            if key not in index:
                index[key] = len(patterns)
                patterns.append(self.pattern(section, i == 0))
            orders.append(index[key])
        return patterns, orders


SONGS = [
    Song(file="song01.mod", title="Harbour Lights", speed=6, bpm=125, root=9, key_name="A minor",
         scale="minor", progressions=[[0, 5, 3, 4], [5, 3, 0, 4]], lead="square", arp="pulse",
         drums="rock", rhythm="even", arrangement=["intro", "A", "B", "A2", "B", "outro"], seed=11),
    Song(file="song02.mod", title="Paper Comets", speed=5, bpm=140, root=2, key_name="D major",
         scale="major", progressions=[[0, 4, 5, 3], [3, 4, 0, 5]], lead="pluck", arp="pulse",
         drums="four", rhythm="busy", arrangement=["intro", "A", "A2", "B", "A", "B", "outro"], seed=23),
    Song(file="song04.mod", title="Slow Tide", speed=6, bpm=92, root=4, key_name="E dorian",
         scale="dorian", progressions=[[0, 3, 0, 4], [5, 3, 1, 4]], lead="sine", arp="pulse", pad="organ",
         drums="half", rhythm="calm", arrangement=["intro", "A", "break", "B", "outro"], seed=37),
    Song(file="song06.mod", title="Engine Room", speed=4, bpm=128, root=7, key_name="G mixolydian",
         scale="mixolydian", progressions=[[0, 6, 3, 0], [3, 4, 6, 4]], lead="sawlead", arp="pulse",
         drums="break", rhythm="busy", arrangement=["intro", "A", "B", "A2", "break", "B", "A", "outro"],
         seed=53),
]


def splash_module(seed=71):
    """A short rising jingle on a C major chord that fades out: one pattern, about 5 seconds."""
    p = Pattern()
    chord = [0, 4, 7, 12, 16, 19, 24]
    for i, semis in enumerate(chord):
        p.put(i * 4, 3, 12 + semis if 12 + semis < 36 else 24 + 7, instrument("pluck"))
    p.put(0, 1, 0, instrument("bass"))
    p.put(0, 2, 12, instrument("organ"), FX_ARPEGGIO, 0x47)
    for r in range(1, 56):
        p.put(r, 2, None, 0, FX_VOLSLIDE if r > 24 else FX_ARPEGGIO, 0x01 if r > 24 else 0x47)
    p.put(28, 1, 7, instrument("bass"), FX_VOLSLIDE, 0x01)
    for r in range(29, 56):
        p.put(r, 1, None, 0, FX_VOLSLIDE, 0x01)
    p.put(0, 0, 12, instrument("kick"), FX_SPEED, 4)
    p.put(28, 0, 24, instrument("hat"))
    p.put(0, 3, 12, instrument("pluck"), FX_SPEED, 125)
    return module_bytes("Welcome aboard", make_samples(seed), [p], [0])


def song_module(song):
    patterns, orders = Composer(song).build()
    return module_bytes(song.title, make_samples(song.seed), patterns, orders)


def write_all(outdir):
    os.makedirs(outdir, exist_ok=True)
    written = []
    for song in SONGS:
        path = os.path.join(outdir, song.file)
        with open(path, "wb") as f:
            f.write(song_module(song))
        written.append(path)
    path = os.path.join(outdir, "splash.mod")
    with open(path, "wb") as f:
        f.write(splash_module())
    written.append(path)
    return written


if __name__ == "__main__":
    for p in write_all(sys.argv[1] if len(sys.argv) > 1 else "."):
        print(p)
