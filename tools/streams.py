"""Synthesises the demo disk's three sampled songs: a WAV stream, an Ogg Vorbis and an MP3 stream.

"Glass Bells" is written as a 16-bit stereo WAV at 22050 Hz (the player converts it to its output
rate). "Night Crossing" is synthesised at 44100 Hz and encoded with oggenc at a fixed quality and
a fixed stream serial number, so the same oggenc version always writes the same bytes. "First
Light" is synthesised in mono at 32000 Hz and encoded with lame (VBR, with its LAME tag and an
ID3v2 tag), which likewise writes the same bytes for the same lame version.

Usage: streams.py OUTDIR
"""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from prng import Prng  # noqa: E402

WAV_RATE = 22050
OGG_RATE = 44100
OGG_QUALITY = "0"
OGG_SERIAL = "20260"
BELLS_SECONDS = 7.0
NIGHT_SECONDS = 16.0
MP3_RATE = 32000
MP3_QUALITY = "5"
LIGHT_SECONDS = 12.0


def note_hz(semitones_from_a4):
    return 440.0 * 2 ** (semitones_from_a4 / 12.0)


def wav_bytes(rate, left, right):
    """16-bit stereo PCM WAV from two equally long lists of floats in -1..1."""
    if len(left) != len(right):
        raise ValueError("channels differ in length")
    frames = bytearray()
    for a, b in zip(left, right):
        frames += struct.pack("<hh", max(-32767, min(32767, int(round(a * 32767)))),
                              max(-32767, min(32767, int(round(b * 32767)))))
    fmt = struct.pack("<HHIIHH", 1, 2, rate, rate * 4, 4, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(frames)) + bytes(frames)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def add_bell(left, right, rate, start, hz, amp, pan, length):
    """An inharmonic bell: four partials, the higher ones fading faster."""
    partials = [(1.0, 1.0, 1.6), (2.76, 0.45, 0.9), (5.4, 0.25, 0.5), (8.93, 0.12, 0.3)]
    gl, gr = amp * math.cos(pan * math.pi / 2), amp * math.sin(pan * math.pi / 2)
    first = int(start * rate)
    count = min(int(length * rate), len(left) - first)
    for ratio, level, decay in partials:
        w = 2 * math.pi * hz * ratio / rate
        if hz * ratio * 2 >= rate:
            continue
        k = math.exp(-1.0 / (decay * rate))
        env = level
        for i in range(count):
            v = math.sin(w * i) * env
            if i < 40:
                v *= i / 40.0
            left[first + i] += v * gl
            right[first + i] += v * gr
            env *= k


def glass_bells():
    """About 7 seconds: a pentatonic bell figure over a soft fifth drone."""
    seconds = BELLS_SECONDS
    n = int(WAV_RATE * seconds)
    left, right = [0.0] * n, [0.0] * n
    for i in range(n):
        t = i / WAV_RATE
        env = min(1.0, t / 1.5) * min(1.0, (seconds - t) / 1.5)
        v = 0.08 * env * (math.sin(2 * math.pi * 110 * t) + 0.6 * math.sin(2 * math.pi * 165 * t))
        left[i] += v
        right[i] += v * 0.9
    figure = [0, 3, 5, 7, 10, 12, 15, 12, 10, 7, 12, 15, 17, 19, 22, 24]
    for k, semis in enumerate(figure):
        add_bell(left, right, WAV_RATE, 0.3 + k * 0.36, note_hz(semis - 9), 0.22, (k % 5) / 4.0, 2.4)
    return wav_bytes(WAV_RATE, *normalise(left, right, 0.8))


def normalise(left, right, peak):
    top = max(max(abs(v) for v in left), max(abs(v) for v in right)) or 1.0
    return [v * peak / top for v in left], [v * peak / top for v in right]


def night_crossing():
    """About 16 seconds: a slow four-chord pad, the sea, and a few bell notes on top."""
    seconds = NIGHT_SECONDS
    rate = OGG_RATE
    n = int(rate * seconds)
    left, right = [0.0] * n, [0.0] * n
    chords = [[-12, -9, -5], [-16, -12, -9], [-21, -17, -14], [-14, -10, -7]]  # Am F C G around A3
    span = seconds / len(chords)
    for c, chord in enumerate(chords):
        first = int(c * span * rate)
        count = int((span + 1.0) * rate)
        for j, semis in enumerate(chord):
            hz = note_hz(semis)
            wl = 2 * math.pi * hz * 1.002 / rate
            wr = 2 * math.pi * hz * 0.998 / rate
            for i in range(min(count, n - first)):
                t = i / rate
                env = 0.05 * min(1.0, t / 1.2) * min(1.0, max(0.0, (span + 1.0 - t) / 1.2))
                left[first + i] += math.sin(wl * i + j) * env
                right[first + i] += math.sin(wr * i + 2 * j) * env
    rng = Prng(97)
    low_l = low_r = 0.0
    for i in range(n):
        t = i / rate
        swell = 0.5 + 0.5 * math.sin(2 * math.pi * 0.18 * t)
        low_l += (rng.unit() * 2 - 1 - low_l) * 0.03
        low_r += (rng.unit() * 2 - 1 - low_r) * 0.03
        left[i] += low_l * 0.35 * swell
        right[i] += low_r * 0.35 * (1 - swell * 0.5)
    melody = [(2.0, 3), (3.2, 7), (4.5, 10), (6.5, 8), (8.5, 12), (9.7, 10), (11.0, 7), (13.0, 3)]
    for k, (start, semis) in enumerate(melody):
        add_bell(left, right, rate, start, note_hz(semis), 0.12, 0.2 + 0.6 * (k % 2), 3.0)
    for i in range(n):
        t = i / rate
        fade = min(1.0, t / 1.0) * min(1.0, (seconds - t) / 2.0)
        left[i] *= fade
        right[i] *= fade
    return wav_bytes(rate, *normalise(left, right, 0.7))


def encode(tool, missing, wav, name, args):
    """Runs an encoder on the WAV bytes, written to a scratch file NAME; ARGS holds "{src}" where
    that file goes. Raises with MISSING when the tool is not installed, or when it fails."""
    path = shutil.which(tool)
    if not path:
        raise RuntimeError(missing)
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, name)
        with open(src, "wb") as f:
            f.write(wav)
        subprocess.run([path] + [src if a == "{src}" else a for a in args], check=True)


def encode_ogg(wav, out_path):
    """oggenc at a fixed quality and serial number; raises when oggenc is missing or fails."""
    encode("oggenc", "oggenc (vorbis-tools) is needed to write the Ogg Vorbis song", wav, "night.wav",
           ["-Q", "-q", OGG_QUALITY, "--serial", OGG_SERIAL, "-t", "Night Crossing", "-a", "Nightferry",
            "-o", out_path, "{src}"])


def first_light():
    """About 12 seconds in mono: a rising bell line over a slow two-note drone."""
    rate = MP3_RATE
    n = int(rate * LIGHT_SECONDS)
    left, right = [0.0] * n, [0.0] * n
    for semis, amp in ((-24, 0.05), (-17, 0.04)):
        w = 2 * math.pi * note_hz(semis) / rate
        for i in range(n):
            t = i / rate
            left[i] += math.sin(w * i) * amp * min(1.0, t / 2.0) * min(1.0, (LIGHT_SECONDS - t) / 2.0)
    line = [(0.5, 0), (1.5, 3), (2.5, 5), (3.5, 7), (5.0, 10), (6.0, 7), (7.0, 12), (8.5, 15)]
    for start, semis in line:
        add_bell(left, right, rate, start, note_hz(semis), 0.15, 0.5, 3.0)
    mono = [l + r for l, r in zip(left, right)]
    return wav_bytes(rate, *normalise(mono, mono, 0.7))


def encode_mp3(wav, out_path):
    """lame at a fixed VBR quality with a title tag; raises when lame is missing or fails."""
    encode("lame", "lame is needed to write the MP3 song", wav, "light.wav",
           ["--quiet", "-m", "m", "-V", MP3_QUALITY, "--add-id3v2", "--tt", "First Light", "--ta", "Nightferry",
            "{src}", out_path])


def write_all(outdir):
    os.makedirs(outdir, exist_ok=True)
    wav_path = os.path.join(outdir, "song05.wav")
    with open(wav_path, "wb") as f:
        f.write(glass_bells())
    ogg_path = os.path.join(outdir, "song03.ogg")
    encode_ogg(night_crossing(), ogg_path)
    mp3_path = os.path.join(outdir, "song07.mp3")
    encode_mp3(first_light(), mp3_path)
    return [ogg_path, wav_path, mp3_path]


if __name__ == "__main__":
    for p in write_all(sys.argv[1] if len(sys.argv) > 1 else "."):
        print(p)
