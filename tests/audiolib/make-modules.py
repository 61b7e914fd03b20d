"""Writes one short song as a tracker module of each kind the audio library plays most: a six-channel
Protracker MOD, a FastTracker XM, a Scream Tracker S3M and an Impulse Tracker IT. They are the
module fuzzer's seeds and the files its test loads, so they use what real songs use: looped and
one-shot samples of 8 and 16 bits, instruments with volume and panning envelopes (sustain and
loop), volume columns, and the common effects (arpeggio, portamento, vibrato, volume slides, sample
offset, retrigger, note cut, speed, tempo, pattern break). The song plays about six seconds, once.

Usage: make-modules.py OUTDIR
"""
import math
import os
import struct
import sys

ROWS = 32
CHANNELS = 4
ORDERS = [0, 1]

# Samples: a looped 8-bit square-ish lead and a one-shot 16-bit noise drum.
LEAD = bytes(int(100 * math.copysign(1, math.sin(2 * math.pi * i / 64)) * (0.6 + 0.4 * math.cos(i / 20))) & 0xFF
             for i in range(512))
_seed = 1
DRUM = []
for i in range(3000):
    _seed = (_seed * 1103515245 + 12345) & 0x7FFFFFFF
    DRUM.append(int(((_seed >> 8) % 20000 - 10000) * (1 - i / 3000)))

# Effects, named once and spelled per format below.
ARP, PORTA_UP, TONE_PORTA, VIBRATO, VOL_SLIDE, OFFSET, RETRIG, CUT, SPEED, TEMPO, BREAK = range(11)
MOD_FX = {ARP: (0x0, None), PORTA_UP: (0x1, None), TONE_PORTA: (0x3, None), VIBRATO: (0x4, None),
          VOL_SLIDE: (0xA, None), OFFSET: (0x9, None), RETRIG: (0xE, 0x90), CUT: (0xE, 0xC0),
          SPEED: (0xF, None), TEMPO: (0xF, None), BREAK: (0xD, None)}
# Scream Tracker and Impulse Tracker letters: A = 1.
ST_FX = {ARP: (10, None), PORTA_UP: (6, None), TONE_PORTA: (7, None), VIBRATO: (8, None),
         VOL_SLIDE: (4, None), OFFSET: (15, None), RETRIG: (17, None), CUT: (19, 0xC0),
         SPEED: (1, None), TEMPO: (20, None), BREAK: (3, None)}


def song():
    """Pattern cells: patterns[p][row][channel] = (note 0-95 or None or 'off', sample 1-2 or 0,
    volume 0-64 or None, effect or None, parameter)."""
    melody = [24, 27, 31, 34, 36, 34, 31, 29]
    patterns = []
    for p in range(2):
        rows = []
        for r in range(ROWS):
            cells = [[None, 0, None, None, 0] for _ in range(CHANNELS)]
            if r % 4 == 0:
                cells[0] = [melody[(r // 4 + p) % 8] + 12, 1, 48 + (r % 16), None, 0]
            if r % 4 == 2:
                cells[0] = [None, 0, None, VIBRATO, 0x46]
            if r % 8 == 0:
                cells[1] = [melody[p * 2], 1, None, ARP, 0x37]
            elif r % 8 == 4:
                cells[1] = [melody[p * 2] + 5, 0, None, TONE_PORTA, 0x20]
            if r % 4 == 0 or r % 8 == 6:
                cells[2] = [36, 2, 64 if r % 8 == 0 else 40, RETRIG if r % 16 == 8 else None, 3]
            if r == 10:
                cells[3] = [40, 1, 64, OFFSET, 0x02]
            elif r == 12:
                cells[3] = [None, 0, None, VOL_SLIDE, 0x04]
            elif r == 16:
                cells[3] = [43, 1, None, PORTA_UP, 0x03]
            elif r == 20:
                cells[3] = [None, 0, None, CUT, 2]
            elif r == 24:
                cells[3] = ['off', 0, None, None, 0]
            if r == 0 and p == 0:
                cells[3][3:] = [SPEED, 5]
            if r == 1 and p == 0:
                cells[3][3:] = [TEMPO, 140]
            rows.append(cells)
        patterns.append(rows)
    return patterns


def fx(table, effect, param):
    if effect is None:
        return 0, 0
    command, high = table[effect]
    return command, (high | param) if high is not None else param


def mod_bytes(channels=6):
    """Protracker with the channel count's mark ("6CHN"): 64-row patterns, so each ends with a break."""
    out = bytearray(b"fuzz seed mod".ljust(20, b"\0"))
    lead = LEAD
    drum8 = bytes((v >> 8) & 0xFF for v in DRUM)
    for i, (name, data, volume, loop) in enumerate([("lead", lead, 48, True), ("drum", drum8, 64, False)] +
                                                   [("", b"", 0, False)] * 29):
        out += name.encode().ljust(22, b"\0")
        out += struct.pack(">HBBHH", len(data) // 2, 0, volume, 0, len(data) // 2 if loop else 1)
    out += bytes([len(ORDERS), 127]) + bytes(ORDERS).ljust(128, b"\0") + b"%dCHN" % channels
    periods = [int(round(428 * 2 ** ((24 - n) / 12))) for n in range(60)]
    for rows in song():
        for r in range(64):
            for c in range(channels):
                note, sample, volume, effect, param = rows[r][c] if r < ROWS and c < CHANNELS else (None, 0, None, None, 0)
                if r == ROWS - 1 and c == 0:
                    effect, param = BREAK, 0
                if effect == TEMPO:
                    param = max(param, 0x20)
                period = periods[min(max(note - 12, 0), 59)] if isinstance(note, int) else 0
                command, value = fx(MOD_FX, effect, param)
                out += bytes([(sample & 0xF0) | period >> 8, period & 0xFF, (sample & 15) << 4 | command, value])
    return bytes(out + lead + drum8)


def xm_bytes():
    out = bytearray(b"Extended Module: " + b"fuzz seed xm".ljust(20, b"\0") + b"\x1a" +
                    b"make-modules".ljust(20, b"\0") + struct.pack("<H", 0x0104))
    out += struct.pack("<IHHHHHHHH", 276, len(ORDERS), 0, CHANNELS, 2, 2, 1, 6, 125)
    out += bytes(ORDERS).ljust(256, b"\0")
    for rows in song():
        packed = bytearray()
        for cells in rows:
            for note, sample, volume, effect, param in cells:
                if note is None and not sample and volume is None and effect is None:
                    packed.append(0x80)
                    continue
                n = 97 if note == 'off' else (note + 1 if note is not None else 0)
                command, value = fx(MOD_FX, effect, param)
                packed += bytes([n, sample, 0x10 + volume if volume is not None else 0, command, value])
        out += struct.pack("<IBHH", 9, 0, ROWS, len(packed)) + packed
    for name, data, bits, loop in [("lead", LEAD, 8, True), ("drum", DRUM, 16, False)]:
        header = bytearray(struct.pack("<I", 263) + name.encode().ljust(22, b"\0") + struct.pack("<BHI", 0, 1, 40))
        header += bytes(96)  # every note plays the instrument's one sample
        volume_env = [(0, 64), (8, 48), (20, 40), (60, 0)]
        pan_env = [(0, 32), (30, 10), (60, 54)]
        for env in (volume_env, pan_env):
            header += b"".join(struct.pack("<HH", x, y) for x, y in env).ljust(48, b"\0")
        header += bytes([len(volume_env), len(pan_env), 2, 1, 2, 1, 0, 2, 1 | 2 | 4, 1 | 4])
        header += bytes([0, 8, 6, 4]) + struct.pack("<H", 400)
        out += header.ljust(263, b"\0")
        if bits == 8:
            raw = LEAD
            deltas, last = bytearray(), 0
            for v in raw:
                deltas.append((v - last) & 0xFF)
                last = v
            length, loop_length, kind = len(raw), len(raw), 1
        else:
            deltas, last = bytearray(), 0
            for v in data:
                deltas += struct.pack("<h", ((v - last + 32768) & 0xFFFF) - 32768)
                last = v
            length, loop_length, kind = 2 * len(data), 0, 0x10
        out += struct.pack("<IIIBbBBbB", length, 0, loop_length, 64, 0, kind, 128, 0, 0) + name.encode().ljust(22, b"\0")
        out += deltas
    return bytes(out)


def s3m_bytes():
    """Scream Tracker 3: 64-row patterns (broken off after ROWS), unsigned samples, stereo."""
    orders = bytes(ORDERS) + b"\xff"
    header = bytearray(b"fuzz seed s3m".ljust(28, b"\0") + b"\x1a\x10\0\0")
    header += struct.pack("<HHHHHH", len(orders), 2, 2, 0, 0x1320, 2) + b"SCRM"
    header += bytes([64, 6, 125, 0xB0, 0, 0xFC]) + bytes(10)
    header += bytes([0, 8, 1, 9] + [255] * 28)
    layout = len(header) + len(orders) + 2 * 2 + 2 * 2 + 32
    pad = lambda n: (n + 15) // 16 * 16
    instruments_at = pad(layout)
    patterns_at = instruments_at + 2 * 80
    patterns = []
    for rows in song():
        packed = bytearray()
        for r in range(64):
            cells = rows[r] if r < ROWS else [[None, 0, None, None, 0]] * CHANNELS
            for c, (note, sample, volume, effect, param) in enumerate(cells):
                if r == ROWS - 1 and c == 0:
                    effect, param = BREAK, 0
                what, data = c, bytearray()
                if note is not None or sample:
                    what |= 32
                    n = 254 if note == 'off' else (255 if note is None else (note // 12 + 1) << 4 | note % 12)
                    data += bytes([n, sample])
                if volume is not None:
                    what |= 64
                    data.append(volume)
                if effect is not None:
                    what |= 128
                    data += bytes(fx(ST_FX, effect, param))
                if what != c:
                    packed += bytes([what]) + data
            packed.append(0)
        patterns.append(struct.pack("<H", len(packed) + 2) + packed)
    samples_at = patterns_at
    for p in patterns:
        samples_at = pad(samples_at + len(p))
    sample_data = [bytes((b + 128) & 0xFF for b in LEAD), b"".join(struct.pack("<H", (v + 32768) & 0xFFFF) for v in DRUM)]
    instruments, at = [], samples_at
    for i, (name, data, flags, length) in enumerate([("lead", sample_data[0], 1, len(LEAD)), ("drum", sample_data[1], 4, len(DRUM))]):
        instruments.append(bytes([1]) + name.encode().ljust(12, b"\0") + bytes([at >> 20]) + struct.pack("<H", (at >> 4) & 0xFFFF) +
                           struct.pack("<IIIBBBBI", length, 0, length if flags & 1 else 0, 64, 0, 0, flags, 8363) + bytes(12) +
                           name.encode().ljust(28, b"\0") + b"SCRS")
        at = pad(at + len(data))
    pointers = [instruments_at // 16, instruments_at // 16 + 5]
    at = patterns_at
    for p in patterns:
        pointers.append(at // 16)
        at = pad(at + len(p))
    out = bytearray(header + orders + b"".join(struct.pack("<H", v) for v in pointers) + bytes([0x23, 0x2C, 0x23, 0x2C] + [0] * 28))
    out = out.ljust(instruments_at, b"\0") + instruments[0] + instruments[1]
    for p in patterns:
        out = out.ljust(pad(len(out)), b"\0") + p
    for data in sample_data:
        out = out.ljust(pad(len(out)), b"\0") + data
    return bytes(out)


def it_bytes():
    """Impulse Tracker 2.14 with instruments: envelopes of volume, panning and pitch."""
    orders = bytes(ORDERS) + b"\xff"
    header = bytearray(b"IMPM" + b"fuzz seed it".ljust(26, b"\0") + struct.pack("<HHHHHHHHH", 0x1004, len(orders), 2, 2, 2,
                                                                                      0x0214, 0x0214, 1 | 4 | 8, 0))
    header += bytes([128, 48, 6, 125, 128, 0]) + struct.pack("<HII", 0, 0, 0)
    header += bytes([32, 0, 64, 16] + [32] * 60) + bytes([64] * 64)
    offsets_at = len(header) + len(orders)
    instruments_at = offsets_at + 4 * 6
    samples_at = instruments_at + 2 * 554
    patterns_at = samples_at + 2 * 80
    patterns = []
    for rows in song():
        packed = bytearray()
        for cells in rows:
            for c, (note, sample, volume, effect, param) in enumerate(cells):
                mask, data = 0, bytearray()
                if note is not None:
                    mask |= 1
                    data.append(255 if note == 'off' else note + 12)
                if sample:
                    mask |= 2
                    data.append(sample)
                if volume is not None:
                    mask |= 4
                    data.append(volume)
                if effect is not None:
                    mask |= 8
                    data += bytes(fx(ST_FX, effect, param))
                if mask:
                    packed += bytes([(c + 1) | 128, mask]) + data
            packed.append(0)
        patterns.append(struct.pack("<HHI", len(packed), ROWS, 0) + packed)
    data_at = patterns_at + sum(len(p) for p in patterns)
    out = bytearray(header + orders)
    out += struct.pack("<II", instruments_at, instruments_at + 554) + struct.pack("<II", samples_at, samples_at + 80)
    at = patterns_at
    for p in patterns:
        out += struct.pack("<I", at)
        at += len(p)

    def envelope(flags, points, loop, sustain):
        body = bytes([flags, len(points), loop[0], loop[1], sustain[0], sustain[1]])
        body += b"".join(struct.pack("<bH", y, x) for y, x in points).ljust(75, b"\0")
        return body + b"\0"

    for i, name in enumerate(["lead", "drum"]):
        inst = bytearray(b"IMPI" + name.encode().ljust(12, b"\0") + bytes([0, 1, 0, 0]) + struct.pack("<H", 256))
        inst += bytes([0, 60, 128, 32 | 128, 0, 0]) + struct.pack("<H", 0x0214) + bytes([1, 0])
        inst += name.encode().ljust(26, b"\0") + bytes([0, 0, 0, 0]) + struct.pack("<H", 0)
        inst += b"".join(bytes([n, i + 1]) for n in range(120))
        inst += envelope(1 | 2 | 4, [(64, 0), (40, 10), (48, 20), (0, 80)], (1, 2), (2, 2))
        inst += envelope(1 | 2, [(0, 0), (-20, 15), (20, 30)], (1, 2), (0, 0))
        inst += envelope(1, [(0, 0), (8, 20), (-8, 40)], (0, 0), (0, 0))
        out += inst + bytes(4)
    at = data_at
    for name, data, flags, length in [("lead", LEAD, 1 | 16, len(LEAD)), ("drum", DRUM, 1 | 2, len(DRUM))]:
        out += b"IMPS" + name.encode().ljust(12, b"\0") + bytes([0, 64, flags, 64]) + name.encode().ljust(26, b"\0")
        out += bytes([1, 32]) + struct.pack("<IIIIIII", length, 0, length if flags & 16 else 0, 8363 * 2, 0, 0, at)
        out += bytes([0, 4, 8, 0])
        at += length * (2 if flags & 2 else 1)
    for p in patterns:
        out += p
    out += bytes(b & 0xFF for b in LEAD) + b"".join(struct.pack("<h", v) for v in DRUM)
    return bytes(out)


if __name__ == "__main__":
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    for name, make in [("seed.mod", mod_bytes), ("seed.xm", xm_bytes), ("seed.s3m", s3m_bytes), ("seed.it", it_bytes)]:
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(make())
