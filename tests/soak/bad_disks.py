#!/usr/bin/env python3
"""Bad-disk matrix: the real player started on many broken musicdisks made here.

For every disk the player must start, show exactly the "Error" message boxes that the skin rules
give (a picture file that cannot be opened: "Could not load the file: <skin folder><name>", one per
load, in the order Main, Mask, Down, Over, Disabled, main window first, then the splash screen,
then each info dialog), keep running and answering for 5 s once they are dismissed, and end with
exit code 0 on Escape. Files that exist but are no pictures (or are empty) show no box.

Hostile disks (a clean one to measure against, an include tree, a stream claiming 27 hours, files
of 100 MB, remote and device paths, metafiles and PNG, streams named as modules, corrupt modules)
are held to more: see Hostile below. Every disk's start-up time and peak memory are printed.

Disks run in parallel lanes; each lane has its own desktop (tests/e2e/desktop: display, window
manager, sound server) and its own Wine prefix (a copy of one made once), so window lookups by
class see only that lane's player.
"""
import argparse
import collections
import importlib.util
import json
import os
import random
import shlex
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
NEW_PREFIX = os.path.join(HERE, "..", "..", "scripts", "new-prefix")
DESKTOP = os.path.join(HERE, "..", "e2e", "desktop")
AUDIO_TESTS = os.path.join(HERE, "..", "audiolib")

BOX = "Could not load the file: "
MAIN_PICTURES = [("Main", "main.bmp"), ("Mask", "mask.bmp"), ("Over", "over.bmp"), ("Down", "down.bmp"),
                 ("Disabled", "off.bmp")]
# The order the pictures are loaded in, and so the order of their boxes.
LOAD_ORDER = ["Main", "Mask", "Down", "Over", "Disabled"]


# --- pictures and songs ----------------------------------------------------------------------

def bmp24(width, height, colour, spots=()):
    """A 24-bit Windows bitmap of one colour with filled rectangles (x, y, w, h, colour)."""
    row = bytearray(colour[::-1] * width) + bytearray((4 - width * 3 % 4) % 4)
    rows = [bytearray(row) for _ in range(height)]
    for x, y, w, h, c in spots:
        for yy in range(y, min(y + h, height)):
            r = rows[height - 1 - yy]
            for xx in range(x, min(x + w, width)):
                r[xx * 3:xx * 3 + 3] = bytes(c[::-1])
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def bmp_rle8_huge(width, height):
    """A run-length coded 8-bit bitmap: large in pixels, small on disk."""
    palette = bytes([0x40, 0x30, 0x20, 0]) + bytes([255, 255, 255, 0]) + bytes(4 * 254)
    row = bytearray()
    left = width
    while left > 0:
        run = min(255, left)
        row += bytes([run, 0])
        left -= run
    row += b"\x00\x00"  # end of line
    data = bytes(row) * height + b"\x00\x01"  # end of bitmap
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835, 256, 0)
    return header + info + palette + data


def tone_wav(path, seconds, frequency=440):
    rate = 22050
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        import math
        w.writeframes(b"".join(struct.pack("<h", int(9000 * math.sin(2 * math.pi * frequency * i / rate)))
                               for i in range(int(seconds * rate))))


# --- the good disk every bad one starts from -------------------------------------------------

SKIN = """[SCREEN]
Main=main.bmp
Mask=mask.bmp
Over=over.bmp
Down=down.bmp
Disabled=off.bmp
[BUTTONINFO]
1=BUTTON_PLAY,20,20,40,30,Play
2=BUTTON_PAUSE,70,20,40,30,Pause
3=BUTTON_NEXT,120,20,40,30,Next
4=BUTTON_INFO01,170,20,40,30,Info
[TEXTINFO]
1=TEXT_SONGNUM,Tahoma,-,-,14,16777215,20,80,40,18,00,Song
2=TEXT_ACTTIME,Tahoma,-,-,14,16777215,70,80,50,18,00:00,Elapsed
3=TEXT_TOTALTIME,Tahoma,-,-,14,16777215,130,80,50,18,00:00,Total
[HSCROLLINFO]
1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,16,65535,20,110,260,30,Description
[LABELINFO]
1=LABEL_TITLE,Tahoma,TRUE,FALSE,-12,9887482,9868950,200,80,90,20,Title
"""

SPLASH = "[SCREEN]\r\nMain=splash.bmp\r\nMask=splash_mask.bmp\r\n"

INFO = """[SCREEN]
Main=info.bmp
Mask=info_mask.bmp
[BUTTONINFO]
1=BUTTON_CLOSE,170,5,24,20,Close
[VSCROLLINFO]
1=TEXT_SCROLLER,Tahoma,FALSE,FALSE,-13,14871758,8422512,10,30,180,100,1,40,1,scroll,center,Text
"""


def descriptor_lines(songs=2, dialogs=1):
    lines = ["splash.time=100"]
    for n in range(1, songs + 1):
        lines += ["music.file.%02d=music\\%02d.wav" % (n, n), "music.desc.%02d=Song %d" % (n, n)]
    for n in range(1, dialogs + 1):
        lines += ["dialog.file.%02d=gui\\info.ini" % n, "dialog.name.%02d=BUTTON_INFO%02d" % (n, n),
                  "dialog.title.%02d=Info %d" % (n, n), "dialog.text.%02d=About|this|disk" % n,
                  "dialog.dx.%02d=310" % n, "dialog.dy.%02d=0" % n]
    return lines


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def good_disk(disk):
    shutil.rmtree(disk, ignore_errors=True)
    gui = os.path.join(disk, "gui")
    spots = [(20, 20, 40, 30, (192, 0, 192)), (70, 20, 40, 30, (0, 192, 192)), (120, 20, 40, 30, (192, 192, 0))]
    write(os.path.join(gui, "main.bmp"), bmp24(300, 150, (0x20, 0x30, 0x40), spots))
    write(os.path.join(gui, "mask.bmp"), bmp24(300, 150, (0, 0, 0), [(0, 0, 10, 10, (255, 255, 255))]))
    write(os.path.join(gui, "over.bmp"), bmp24(300, 150, (0x30, 0x40, 0x50), spots))
    write(os.path.join(gui, "down.bmp"), bmp24(300, 150, (0x10, 0x20, 0x30), spots))
    write(os.path.join(gui, "off.bmp"), bmp24(300, 150, (0x40, 0x40, 0x40)))
    write(os.path.join(gui, "splash.bmp"), bmp24(200, 100, (0x80, 0x60, 0x40)))
    write(os.path.join(gui, "splash_mask.bmp"), bmp24(200, 100, (0, 0, 0)))
    write(os.path.join(gui, "info.bmp"), bmp24(200, 140, (0x30, 0x30, 0x60)))
    write(os.path.join(gui, "info_mask.bmp"), bmp24(200, 140, (0, 0, 0)))
    write(os.path.join(gui, "skin.ini"), SKIN)
    write(os.path.join(gui, "splash.ini"), SPLASH)
    write(os.path.join(gui, "info.ini"), INFO)
    os.makedirs(os.path.join(disk, "music"))
    tone_wav(os.path.join(disk, "music", "01.wav"), 1.5, 440)
    tone_wav(os.path.join(disk, "music", "02.wav"), 1.0, 660)
    write(os.path.join(disk, "music", "config.dat"), "\r\n".join(descriptor_lines()) + "\r\n")


def boxes(folder, names):
    return [BOX + folder + name for name in names]


def skin_boxes(folder, present):
    """Boxes of one skin whose SCREEN names `present` (key -> file); missing keys default to Main."""
    main = present.get("Main", "")
    return [BOX + folder + present.get(key, main) for key in LOAD_ORDER]


# --- the broken disks ------------------------------------------------------------------------

def make_disks(root, rng):
    """Returns (name, disk folder, expected box texts, Hostile or None) of every disk, clean first."""
    main_skin = dict(MAIN_PICTURES)
    cases = []

    def case(name, expected, change, hostile=None):
        disk = os.path.join(root, name)
        good_disk(disk)
        change(disk)
        cases.append((name, disk, expected, hostile))

    hostile_disks(case, rng)

    def gui(disk, name):
        return os.path.join(disk, "gui", name)

    def remove(*names):
        return lambda disk: [os.remove(gui(disk, n)) for n in names]

    all_gone = skin_boxes("gui\\", {}) * 3
    case("no-gui-folder", all_gone, lambda d: shutil.rmtree(os.path.join(d, "gui")))
    case("empty-skin-ini", skin_boxes("gui\\", {}), lambda d: write(gui(d, "skin.ini"), ""))
    case("empty-splash-ini", skin_boxes("gui\\", {}), lambda d: write(gui(d, "splash.ini"), ""))
    case("empty-dialog-ini", skin_boxes("gui\\", {}), lambda d: write(gui(d, "info.ini"), ""))
    case("garbage-skin-ini", skin_boxes("gui\\", {}),
         lambda d: write(gui(d, "skin.ini"), bytes(rng.choice(b"abcxyz=;#\r\n\x00\xff") for _ in range(5000))))
    case("empty-descriptor", [], lambda d: write(os.path.join(d, "music", "config.dat"), ""))
    # Every picture missing in turn.
    for key, file in MAIN_PICTURES:
        expected = [BOX + "gui\\" + file for k in LOAD_ORDER if main_skin[k] == file]
        case("missing-" + file, expected, remove(file))
    case("missing-all-main-pictures", [BOX + "gui\\" + main_skin[k] for k in LOAD_ORDER],
         remove(*main_skin.values()))
    # The splash and dialog skins name only Main and Mask: Down, Over and Disabled are Main again.
    case("missing-splash.bmp", [BOX + "gui\\splash.bmp"] * 4, remove("splash.bmp"))
    case("missing-splash_mask.bmp", [BOX + "gui\\splash_mask.bmp"], remove("splash_mask.bmp"))
    case("missing-info.bmp", [BOX + "gui\\info.bmp"] * 4, remove("info.bmp"))
    case("missing-info_mask.bmp", [BOX + "gui\\info_mask.bmp"], remove("info_mask.bmp"))

    def every_picture(content):
        def change(disk):
            for name in os.listdir(os.path.join(disk, "gui")):
                if name.endswith(".bmp"):
                    write(gui(disk, name), content(name))
        return change
    case("pictures-are-text", [], every_picture(lambda n: "this is not a picture, it is %s\r\n" % n))
    case("pictures-random-bytes", [], every_picture(lambda n: bytes(rng.getrandbits(8) for _ in range(3000))))
    case("pictures-zero-size", [], every_picture(lambda n: b""))
    case("pictures-truncated-header", [], every_picture(lambda n: bmp24(300, 150, (1, 2, 3))[:40]))
    case("picture-8000x8000", [], lambda d: write(gui(d, "main.bmp"), bmp_rle8_huge(8000, 8000)))
    case("mask-8000x8000", [], lambda d: write(gui(d, "mask.bmp"), bmp_rle8_huge(8000, 8000)))

    def skin_sections(sections):
        def change(disk):
            text = SKIN.split("[BUTTONINFO]")[0] + sections
            write(gui(disk, "skin.ini"), text)
        return change
    case("control-fields-missing", [], skin_sections(
        "[BUTTONINFO]\n1=BUTTON_PLAY,20\n2=BUTTON_NEXT\n3=,,,,\n4=BUTTON_PAUSE,70,20,40\n"
        "[TEXTINFO]\n1=TEXT_SONGNUM,Tahoma\n2=TEXT_ACTTIME\n3=TEXT_TOTALTIME,Tahoma,-,-,14\n"
        "[HSCROLLINFO]\n1=TEXT_SCROLLER,Tahoma,TRUE\n"
        "[VSCROLLINFO]\n1=TEXT_V,Tahoma,FALSE,FALSE,-13,1,2,10,30,180\n"
        "[LABELINFO]\n1=LABEL_A,Tahoma,TRUE\n2=\n3=LABEL_C,Tahoma,TRUE,FALSE,-12\n"))
    case("control-fields-garbage", [], skin_sections(
        "[BUTTONINFO]\n1=BUTTON_PLAY,-99999999999,99999999999,-40,-30,Play\n"
        "2=BUTTON_NEXT,x,y,w,h,\xff\xfe\n3=BUTTON_%s,1,1,1,1,t\n4=BUTTON_STOP,0,0,0,0\n"
        "5=BUTTON_PAUSE,2147483647,2147483647,2147483647,2147483647,big\n"
        "[TEXTINFO]\n1=TEXT_SONGNUM,%s,TRUE,TRUE,-2147483648,-1,20,80,40,18,%%s%%n,tip\n"
        "2=TEXT_ACTTIME,Tahoma,-,-,99999,4294967296,0,0,30000,30000,00:00,tip\n"
        "[HSCROLLINFO]\n1=TEXT_SCROLLER,Tahoma,maybe,no,0,-5,20,110,0,0,tip\n"
        "2=TEXT_SCROLLER,Tahoma,TRUE,TRUE,-1000,1,0,0,99999,99999,tip\n"
        "[VSCROLLINFO]\n1=TEXT_V,Tahoma,FALSE,FALSE,-13,1,2,10,30,180,100,-5,0,-7,bounce,middle,t\n"
        "2=TEXT_W,Tahoma,FALSE,FALSE,-13,1,2,10,30,180,100,0,99999999,0,scroll,center,t\n"
        "[LABELINFO]\n1=LABEL_A,Tahoma,TRUE,FALSE,-12,1,2,0,0,-5,-5,%%s%%s%%s\n"
        % ("N" * 3000, "F" * 300)))

    long_text = "".join(rng.choice("abcdefghij |") for _ in range(100000))

    def long_texts(disk):
        lines = descriptor_lines()
        lines += ["music.desc.01=" + long_text, "dialog.text.01=" + long_text,
                  "longdesc.target.name.01=notes", "longdesc.target.dialog.01=BUTTON_INFO01",
                  "music.longdesc.notes.01=" + long_text, "music.longdesc.notes.02=" + long_text[:6000]]
        write(os.path.join(disk, "music", "config.dat"), "\r\n".join(lines) + "\r\n")
        skin = SKIN.replace(",Play\n", "," + long_text + "\n").replace(
            "9868950,200,80,90,20,Title", "9868950,200,80,90,20," + long_text)
        write(gui(disk, "skin.ini"), skin)
    case("texts-100000-characters", [], long_texts)

    def many_lines(disk):
        lines = descriptor_lines()
        for i in range(5000):
            lines.append("# comment %d" % i if i % 7 == 0 else "key.%05d=value %d" % (i, i))
        write(os.path.join(disk, "music", "config.dat"), "\r\n".join(lines) + "\r\n")
    case("descriptor-5000-lines", [], many_lines)

    def include_cycle(disk):
        music = os.path.join(disk, "music")
        write(os.path.join(music, "config.dat"),
              "\r\n".join(descriptor_lines()) + "\r\n@music\\config.dat\r\n@music\\a.dat\r\n")
        write(os.path.join(music, "a.dat"), "key.a=1\r\n@music\\b.dat\r\n")
        write(os.path.join(music, "b.dat"), "key.b=2\r\n@music\\a.dat\r\n@music\\missing.dat\r\n")
    case("include-cycles", [], include_cycle)

    def songs(kind):
        def change(disk):
            for n in (1, 2):
                path = os.path.join(disk, "music", "%02d.wav" % n)
                data = open(path, "rb").read()
                if kind == "truncated":
                    write(path, data[:30] if n == 1 else data[:len(data) // 3])
                elif kind == "random":
                    write(path, bytes(rng.getrandbits(8) for _ in range(5000)))
                else:
                    os.remove(path)
            lines = descriptor_lines() + ["splash.music.file=music\\splash.mod"]
            if kind == "random":
                write(os.path.join(disk, "music", "splash.mod"), bytes(rng.getrandbits(8) for _ in range(3000)))
            write(os.path.join(disk, "music", "config.dat"), "\r\n".join(lines) + "\r\n")
        return change
    case("songs-truncated", [], songs("truncated"))
    case("songs-random-bytes", [], songs("random"))
    case("songs-missing", [], songs("missing"))

    def eleven_dialogs(disk):
        # Ten dialogs are made; the eleventh, whose skin is missing, is never loaded.
        lines = descriptor_lines(dialogs=11)
        lines = [l.replace("dialog.file.11=gui\\info.ini", "dialog.file.11=gui\\nothere.ini") for l in lines]
        write(os.path.join(disk, "music", "config.dat"), "\r\n".join(lines) + "\r\n")
    case("eleven-dialogs", [], eleven_dialogs)

    def dialog_bare_name(disk):
        # A skin path without a folder: nothing to cut, the picture names stand alone.
        lines = [l.replace("dialog.file.01=gui\\info.ini", "dialog.file.01=nothere.ini") for l in descriptor_lines()]
        write(os.path.join(disk, "music", "config.dat"), "\r\n".join(lines) + "\r\n")
    case("dialog-skin-bare-missing", skin_boxes("", {}), dialog_bare_name)
    return cases


# --- hostile disks ---------------------------------------------------------------------------
# Disks made to harm: each holds one kind of attack beside sound songs. Beyond the boxes, the player
# must show its window within STARTUP_SLACK of the clean disk, play one round of the songs of
# `plays` that mdcheck does not find unplayable, in order, and start over, stay within
# MEMORY_SLACK_KIB of the clean disk's peak memory, and mdcheck must name the attack (`findings`:
# (code, key) pairs its JSON report holds).
Hostile = collections.namedtuple("Hostile", "plays findings")
# Under load the time to the window varies widely: a disk's error boxes take their turn under a
# loaded emulator (paths-devices' 24 boxes: +34 s under qemu-i386 beside a native build, -2.6 s on
# a quiet run). Twice that; a start-up that hangs on a path goes past it, or past the probes' 60 s.
STARTUP_SLACK = 70.0
MEMORY_SLACK_KIB = 50 * 1024
# The longest a round of a hostile disk's songs may take from the window on (modules-corrupt's
# takes about 18 s).
ROUND_TIMEOUT = 60
# Paths a disk must never reach: another computer, a device path, devices, a hidden stream.
REMOTE_NAMES = ["\\\\somehost\\share\\x", "//somehost/share/x", "\\\\.\\x"]
DEVICE_NAMES = ["CON", "nul.mod", "COM1", "x.mod:s"]


def load_module_maker():
    source = importlib.util.spec_from_file_location("make_modules", os.path.join(AUDIO_TESTS, "make-modules.py"))
    module = importlib.util.module_from_spec(source)
    source.loader.exec_module(module)
    return module


def ogg_crc(page):
    crc = 0
    for byte in page:
        crc ^= byte << 24
        for _ in range(8):
            crc = (crc << 1 ^ 0x04C11DB7 if crc & 0x80000000 else crc << 1) & 0xFFFFFFFF
    return crc


def endless_ogg(data):
    """The Ogg stream with its last page claiming granule 0xFFFFFFF0 (27 hours at 44.1 kHz)."""
    data = bytearray(data)
    page = data.rindex(b"OggS")
    data[page + 6:page + 14] = struct.pack("<Q", 0xFFFFFFF0)
    data[page + 22:page + 26] = bytes(4)
    data[page + 22:page + 26] = struct.pack("<I", ogg_crc(data[page:]))
    return bytes(data)


def pattern_ranges(kind, data):
    """(start, end) of each pattern's cells in a module made by make-modules.py."""
    u16 = lambda at: struct.unpack_from("<H", data, at)[0]
    u32 = lambda at: struct.unpack_from("<I", data, at)[0]
    if kind == "mod":
        return [(1084, 1084 + 2 * 64 * 6 * 4)]
    if kind == "xm":
        ranges, at = [], 60 + u32(60)
        for _ in range(u16(70)):
            size = u16(at + 7)
            ranges.append((at + 9, at + 9 + size))
            at += 9 + size
        return ranges
    if kind == "s3m":
        pointers = 0x60 + u16(0x20) + 2 * u16(0x22)
        return [(16 * u16(pointers + 2 * n) + 2, 16 * u16(pointers + 2 * n) + u16(16 * u16(pointers + 2 * n)))
                for n in range(u16(0x24))]
    pointers = 0xC0 + u16(0x20) + 4 * u16(0x22) + 4 * u16(0x24)
    return [(u32(pointers + 4 * n) + 8, u32(pointers + 4 * n) + 8 + u16(u32(pointers + 4 * n)))
            for n in range(u16(0x26))]


def huge_counts(kind, data):
    """The module with the counts in its header raised as far as their fields go."""
    data = bytearray(data)
    if kind == "mod":
        data[950] = 255  # orders played
        data[952:952 + 128] = bytes([127]) * 128  # patterns named: 128 of them, far beyond the file
        for n in range(31):
            struct.pack_into(">H", data, 20 + 30 * n + 22, 0xFFFF)  # sample lengths: 128 KB each
    elif kind == "xm":
        struct.pack_into("<HHHHH", data, 64, 256, 255, 32, 256, 128)  # orders, restart, channels, patterns, instruments
    elif kind == "s3m":
        struct.pack_into("<HHH", data, 0x20, 0xFFFF, 0xFFFF, 0xFFFF)  # orders, instruments, patterns
    else:
        struct.pack_into("<HHHH", data, 0x20, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF)  # orders, instruments, samples, patterns
    return bytes(data)


def corrupt_modules(rng):
    """(name, bytes) of every module kind kept, each truncated, with garbage patterns and with huge
    counts."""
    maker = load_module_maker()
    maker.ORDERS = [1]  # one pattern of 3 s: a short round of the ones that play
    made = []
    for kind, make in [("mod", maker.mod_bytes), ("xm", maker.xm_bytes), ("s3m", maker.s3m_bytes),
                       ("it", maker.it_bytes)]:
        data = make()
        garbage = bytearray(data)
        for start, end in pattern_ranges(kind, data):
            garbage[start:end] = bytes(rng.getrandbits(8) for _ in range(end - start))
        made += [("cut." + kind, data[:len(data) * 2 // 5]), ("garbage." + kind, bytes(garbage)),
                 ("counts." + kind, huge_counts(kind, data))]
    return made


def mp3_of(wav_path):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "song.mp3")
        subprocess.run(["lame", "--quiet", wav_path, out], check=True)
        with open(out, "rb") as f:
            return f.read()


def honeypot():
    """A WAV whose first lines also read as a descriptor naming a song file: opened as a song it
    plays, read as an include it makes song 02 (a refused path on the disks of paths) playable."""
    with tempfile.TemporaryDirectory() as tmp:
        tone_wav(os.path.join(tmp, "x.wav"), 1.0, 880)
        with open(os.path.join(tmp, "x.wav"), "rb") as f:
            wav = f.read()
    lines = b"\r\nmusic.file.02=music\\01.wav\r\n"
    chunk = b"junk" + struct.pack("<I", len(lines)) + lines
    return b"RIFF" + struct.pack("<I", len(wav) - 8 + len(chunk)) + b"WAVE" + chunk + wav[12:]


HONEYPOT = honeypot()


def hostile_disks(case, rng):
    music = lambda disk, name: os.path.join(disk, "music", name)
    gui = lambda disk, name: os.path.join(disk, "gui", name)
    with open(os.path.join(AUDIO_TESTS, "data", "tone-44100.ogg"), "rb") as f:
        ogg = f.read()  # 2 s

    def songs(disk, files, extra=(), dialogs=("gui\\info.ini",)):
        """The descriptor naming these song files and dialog skins (numbered from 01), with extra
        lines after them."""
        lines = [l for l in descriptor_lines(songs=0, dialogs=len(dialogs)) if not l.startswith("dialog.file.")]
        lines += ["dialog.file.%02d=%s" % (n, file) for n, file in enumerate(dialogs, 1)]
        for n, file in enumerate(files, 1):
            lines += ["music.file.%02d=%s" % (n, file), "music.desc.%02d=Song %d" % (n, n)]
        write(music(disk, "config.dat"), "\r\n".join(lines + list(extra)) + "\r\n")

    case("clean", [], lambda d: None, Hostile(["01", "02"], []))

    # Twelve modules between two sound songs; those mdcheck finds playable play to their end. The
    # longest round, so it starts early.
    modules = corrupt_modules(rng)

    def corrupt(disk):
        for name, data in modules:
            write(music(disk, name), data)
        songs(disk, ["music\\01.wav"] + ["music\\" + name for name, _ in modules] + ["music\\02.wav"])
    case("modules-corrupt", [], corrupt, Hostile(["%02d" % n for n in range(1, len(modules) + 3)], []))

    def include_tree(disk):
        # 60 x 60 x 60 includes: 216,000 file reads unless the reading is bounded.
        songs(disk, ["music\\01.wav", "music\\02.wav"], ["@music\\a.dat"] * 60)
        for name, below in (("a", "b"), ("b", "c")):
            write(music(disk, name + ".dat"), "@music\\%s.dat\r\n" % below * 60)
        write(music(disk, "c.dat"), "key.c=1\r\n")
    case("include-tree-60x60x60", [], include_tree,
         Hostile(["01", "02"], [("load-bound", "@music\\c.dat")]))

    def endless(disk):
        write(music(disk, "01.ogg"), endless_ogg(ogg))
        songs(disk, ["music\\01.ogg", "music\\02.wav"])
    case("ogg-claims-27-hours", [], endless, Hostile(["01", "02"], []))

    def huge(disk):
        # 110 MB of noise as a song, and a picture of 100 MB (a BMP header before noise).
        with open(music(disk, "01.mod"), "wb") as f:
            f.write(rng.randbytes(110 << 20))
        with open(gui(disk, "over.bmp"), "wb") as f:
            f.write(bmp24(5800, 5800, (0, 0, 0))[:54] + rng.randbytes(5800 * 5800 * 3))
        songs(disk, ["music\\01.mod", "music\\01.wav", "music\\02.wav"])
    case("files-of-100-mb", [], huge,
         Hostile(["02", "03"], [("song-unplayable", "music.file.01"), ("picture-too-large", "[SCREEN] Over")]))

    def refused_paths(names):
        # Each name as a song (between two sound ones), an include and a dialog skin; with the skin
        # folder in front, as the main window's Mask, Down, Over and Disabled pictures.
        def change(disk):
            songs(disk, ["music\\01.wav"] + names + ["music\\02.wav"],
                  ["@" + name for name in names] + ["splash.music.file=" + names[0]], ["gui\\info.ini"] + names)
            skin = SKIN
            for key, name in zip(["Mask", "Down", "Over", "Disabled"], names):
                skin = skin.replace("%s=%s" % (key, dict(MAIN_PICTURES)[key]), "%s=%s" % (key, name))
            write(gui(disk, "skin.ini"), skin)
        return change

    def folder(path):
        cut = max(path.rfind("\\"), path.rfind("/"))
        return path[:cut + 1]

    def path_boxes(names):
        main = dict(MAIN_PICTURES, **dict(zip(["Mask", "Down", "Over", "Disabled"], names)))
        return ([BOX + "gui\\" + main[key] for key in LOAD_ORDER if main[key] in names] +
                [BOX + folder(name) for name in names for _ in LOAD_ORDER])

    def path_findings(names, picture):
        """Every use of the names refused. `picture`: mdcheck's code for the pictures so named; behind
        the skin's folder a remote name is a missing file inside the disk, a device stays refused."""
        last = len(names) + 2
        return ([("path-refused", "music.file.%02d" % n) for n in range(2, last)] +
                [("path-refused", "dialog.file.%02d" % n) for n in range(2, last)] +
                [("path-refused", "@" + name) for name in names] + [("path-refused", "splash.music.file")] +
                [(picture, "[SCREEN] " + key) for key in ["Mask", "Down", "Over", "Disabled"][:len(names)]])

    for name, names, picture in (("paths-remote", REMOTE_NAMES, "picture-missing"),
                                 ("paths-devices", DEVICE_NAMES, "path-refused")):
        case(name, path_boxes(names), refused_paths(names),
             Hostile(["01", "%02d" % (len(names) + 2)], path_findings(names, picture)))

    def pictures(disk):
        # A Windows metafile as the hover look, an enhanced one as the inactive look and a PNG as the
        # pressed look: none is decoded, so those looks are empty.
        placeable = struct.pack("<IHhhhhHIH", 0x9AC6CDD7, 0, 0, 0, 300, 150, 1440, 0, 0)
        record = struct.pack("<IH", 3, 0)  # the end record
        metafile = placeable + struct.pack("<HHHIHIH", 1, 9, 0x300, 9 + 3, 1, 3, 0) + record
        header = struct.pack("<II4i4i4sIIIHHIII2i2i", 1, 88, 0, 0, 299, 149, 0, 0, 7900, 3900, b" EMF", 0x10000,
                             88 + 20, 2, 1, 0, 0, 0, 0, 1024, 768, 320, 240)
        enhanced = header + struct.pack("<5I", 14, 20, 0, 16, 20)  # the end record
        write(gui(disk, "over.bmp"), metafile)
        write(gui(disk, "off.bmp"), enhanced)
        write(gui(disk, "down.bmp"), b"\x89PNG\r\n\x1a\n" + struct.pack(">I", 13) + b"IHDR" +
              struct.pack(">IIBBBBB", 300, 150, 8, 2, 0, 0, 0) + bytes(4))
    case("pictures-metafiles-and-png", [], pictures,
         Hostile(["01", "02"], [("picture-format", "[SCREEN] " + key) for key in ("Over", "Disabled", "Down")]))

    def streams_as_modules(disk):
        os.rename(music(disk, "01.wav"), music(disk, "01.mod"))
        write(music(disk, "02.mod"), mp3_of(music(disk, "02.wav")))
        write(music(disk, "03.mod"), ogg)
        songs(disk, ["music\\01.mod", "music\\02.mod", "music\\03.mod"])
    case("streams-named-mod", [], streams_as_modules, Hostile(["01", "02", "03"], []))


# --- running one disk ------------------------------------------------------------------------

def desktop_environment(text):
    """The variables of the desktop's "export NAME=VALUE ..." line (values quoted as the shell does)."""
    found = {}
    for word in shlex.split(text):
        if "=" in word:
            name, value = word.split("=", 1)
            found[name] = value
    return found


class Lane:
    def __init__(self, number, dist, work):
        self.number = number
        self.dist = dist
        self.wine = os.environ.get("WINELOADER", "/usr/lib/wine/wine64")
        self.prefix = os.path.join(work, "lane%d-prefix" % number)
        new_prefix(self.prefix)
        # Wine reads \\host\share\x and //host/share/x as dosdevices/unc/host/share/x, and \\.\x as
        # dosdevices/x: there a player that opened such a path would find a song.
        for place in (("unc", "somehost", "share", "x"), ("x",)):
            write(os.path.join(self.prefix, "dosdevices", *place), HONEYPOT)
        # A desktop of the lane's own: display, window manager and sound server.
        self.desktop = os.path.join(work, "lane%d-desktop" % number)
        started = subprocess.run([DESKTOP, "start", self.desktop], capture_output=True, text=True,
                                 stdin=subprocess.DEVNULL)
        if started.returncode != 0:
            raise RuntimeError("lane %d: the desktop did not start: %s" % (number, started.stderr.strip()))
        self.env = dict(os.environ, WINEPREFIX=self.prefix, **desktop_environment(started.stdout))
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Wine's services start with the lane's first program: not in any disk's start-up time. A
        # probe holds the desktop meanwhile, so Wine's desktop process starts once, not once per disk.
        self.run("md_wintext.exe", ["Musicdisk"], work)
        self.hold = subprocess.Popen([self.wine, os.path.join(dist, "md_probe.exe"), "hold"], env=self.env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.hold.kill()
        self.hold.wait()
        subprocess.run([DESKTOP, "stop", self.desktop], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The prefix is most of a lane's disk use (about 1.3 GB); the disks and their logs stay.
        shutil.rmtree(self.prefix, ignore_errors=True)

    def run(self, program, args, cwd, timeout=60):
        with tempfile.TemporaryFile() as out:
            code = subprocess.run([self.wine, os.path.join(self.dist, program)] + list(args), env=self.env,
                                  cwd=cwd, stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                  timeout=timeout).returncode
            out.seek(0)
            return code, out.read().decode("latin-1").replace("\r", "").strip()

    def xdo(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.env, capture_output=True, text=True, timeout=20)

    def check(self, name, disk, expected, hostile, figures):
        """Returns a list of problems (empty when the disk passed); fills in figures: the seconds
        from start to the main window ("window") and the peak memory in KiB ("peak")."""
        problems = []
        stderr = open(os.path.join(disk, "..", name + ".stderr.txt"), "w")
        songs_file = os.path.join(disk, "..", name + ".songs.txt")
        stop_file = os.path.join(disk, "..", name + ".stop")
        launched = time.time()
        proc = subprocess.Popen([self.wine, os.path.join(self.dist, "Musicdisk.exe")], cwd=disk, env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
        follower = subprocess.Popen([self.wine, os.path.join(self.dist, "md_probe.exe"), "follow",
                                     windows_path(songs_file), windows_path(stop_file)], cwd=disk, env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            box_file = os.path.join(disk, "..", name + ".boxes.txt")
            code, count = self.run("md_probe.exe", ["errors", windows_path(box_file), "1500", "60000"], disk,
                                   timeout=90)
            texts = [l.rstrip("\r\n") for l in open(box_file, encoding="latin-1")] if os.path.exists(box_file) else []
            if code != 0:
                problems.append("box probe failed (%d)" % code)
            if texts != expected:
                problems.append("boxes %s, expected %s" % (summarise(texts), summarise(expected)))
            # The boxes are done; on a busy machine the main window may still be on its way.
            until = time.time() + 20
            while True:
                code, out = self.run("md_wintext.exe", ["Musicdisk"], disk)
                if (code == 0 and out.startswith("1 ")) or time.time() >= until or proc.poll() is not None:
                    break
                time.sleep(0.3)
            if code != 0 or not out.startswith("1 "):
                problems.append("the main window is not visible (%s)" % out)
            # 5 s of playing; a hostile disk plays on until a round of its songs is done.
            played = time.time() + 5
            while proc.poll() is None and (time.time() < played or hostile and time.time() < played + ROUND_TIMEOUT
                                           and not round_done(read_songs(songs_file)[1])):
                time.sleep(0.3)
            if proc.poll() is not None:
                problems.append("the player ended by itself with code %s" % proc.returncode)
                return problems
            figures["peak"] = peak_kib(proc.pid)
            code, _ = self.run("md_probe.exe", ["ping", "Musicdisk", "5000"], disk)
            if code != 0:
                problems.append("the player does not answer after 5 s (%d)" % code)
            open(stop_file, "w").close()
            follower.wait(timeout=20)
            shown, songs = read_songs(songs_file)
            if shown:
                figures["window"] = shown - launched
            wid = self.xdo("search", "--name", "^Musicdisk$").stdout.split()
            if not wid:
                problems.append("no X window of the player")
                return problems
            self.xdo("windowactivate", "--sync", wid[0])
            code, _ = self.run("md_probe.exe", ["active", "Musicdisk", "10000"], disk)
            if code != 0:
                problems.append("the main window did not become the foreground window (%d)" % code)
                return problems
            self.xdo("key", "Escape")
            try:
                code = proc.wait(timeout=20)
                if code != 0:
                    problems.append("exit code %d after Escape" % code)
            except subprocess.TimeoutExpired:
                problems.append("Escape did not end the player")
            if hostile:
                problems += self.check_findings(disk, hostile, songs)
        finally:
            for process in (proc, follower):
                if process.poll() is None:
                    process.kill()
                    process.wait()
            stderr.close()
        return problems

    def check_findings(self, disk, hostile, songs):
        """mdcheck's report on the disk holds every finding the disk should give, and the player
        played a round of the songs mdcheck finds playable."""
        code, out = self.run("mdcheck.exe", ["--json"], disk, timeout=120)
        try:
            found = collections.Counter((f["code"], f["key"]) for f in json.loads(out)["findings"])
        except (ValueError, KeyError):
            return ["mdcheck gave no report (exit %d): %s" % (code, out[:200])]
        problems = []
        if collections.Counter(hostile.findings) - found or any(c == "checker-mismatch" for c, _ in found):
            problems.append("mdcheck found %s, expected %s among them" % (sorted(found), sorted(hostile.findings)))
        plays = [n for n in hostile.plays if ("song-unplayable", "music.file." + n) not in found]
        if not plays_a_round(songs, plays):
            problems.append("songs played %s, expected a round of %s and the first again"
                            % (" ".join(songs) or "none", " ".join(plays)))
        return problems


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_songs(path):
    """The follow probe's log: (time the main window showed or None, song numbers shown in turn)."""
    shown, songs = None, []
    for line in open(path) if os.path.exists(path) else []:
        when, _, text = line.strip().partition(" ")
        if text == "shown":
            shown = int(when) / 1000.0
            continue
        number = text.partition("|")[0]
        if number.isdigit() and number != "00" and (not songs or songs[-1] != number):
            songs.append(number)
    return shown, songs


def plays_a_round(songs, plays):
    """The songs shown are a whole round of plays in their order and the first again. The round may
    begin at any of them: while a loaded machine takes its time over the error boxes, the first
    song can end before the window shows it."""
    if not plays or not songs or songs[0] not in plays:
        return False
    start = plays.index(songs[0])
    turn = plays[start:] + plays[:start]
    return songs[:len(plays) + 1] == turn + turn[:1]


def round_done(songs):
    """The first song shown came again after others."""
    return songs[:1] and songs[0] in songs[1:]


def peak_kib(pid):
    """The process's peak resident memory (VmHWM) in KiB, 0 when it cannot be read."""
    try:
        for line in open("/proc/%d/status" % pid):
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0


def summarise(texts):
    out = []
    for t in texts:
        if out and out[-1][0] == t:
            out[-1][1] += 1
        else:
            out.append([t, 1])
    return "[" + ", ".join("%s x%d" % (t, n) if n > 1 else t for t, n in out) + "]"


def new_prefix(target):
    """A Wine prefix of its own (a copy of MD_WINEPREFIX_TEMPLATE when the layer has one)."""
    subprocess.run([NEW_PREFIX, target], check=True, stdin=subprocess.DEVNULL)


def judge_against_clean(hostile, figures, results):
    """Each hostile disk shows its window within STARTUP_SLACK of the clean disk and peaks within
    MEMORY_SLACK_KIB of it; prints the figures beside the verdict."""
    clean = figures.get("clean", {})
    if "window" not in clean or not clean.get("peak"):
        results["clean"] = results.get("clean", []) + ["no figures of the clean disk: %s" % clean]
        return
    print("against the clean disk (window after %.1f s, peak memory %d MB; bounds +%.0f s, +%d MB):"
          % (clean["window"], clean["peak"] // 1024, STARTUP_SLACK, MEMORY_SLACK_KIB // 1024), flush=True)
    for name, _, _, _ in hostile:
        mine = figures.get(name, {})
        problems = []
        if "window" not in mine or mine["window"] > clean["window"] + STARTUP_SLACK:
            problems.append("window after %.1f s" % mine.get("window", -1))
        if not mine.get("peak") or mine["peak"] > clean["peak"] + MEMORY_SLACK_KIB:
            problems.append("peak memory %d MB" % (mine.get("peak", 0) // 1024))
        print("  %s %s: window %s, peak memory %+d MB" % (
            "ok  " if not problems else "FAIL", name,
            "%+.1f s" % (mine["window"] - clean["window"]) if "window" in mine else "never shown",
            (mine.get("peak", 0) - clean["peak"]) // 1024), flush=True)
        if problems:
            results[name] = results.get(name, []) + problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dist", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--lanes", type=int, default=4)
    parser.add_argument("--seed", type=int, default=4242)
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    args.dist = os.path.abspath(args.dist)
    args.work = os.path.abspath(args.work)
    rng = random.Random(args.seed)
    root = os.path.join(args.work, "disks")
    shutil.rmtree(root, ignore_errors=True)
    cases = make_disks(root, rng)
    if args.only:
        # The clean disk always runs: the hostile ones are measured against it.
        wanted = args.only.split(",") + ["clean"]
        cases = [c for c in cases if any(w in c[0] for w in wanted)]
    print("bad-disk matrix: %d disks in %d lanes" % (len(cases), args.lanes), flush=True)
    # Lanes copy one prefix made here, unless the test layer gives a template of its own.
    template = os.path.join(args.work, "prefix-template")
    if not os.environ.get("MD_WINEPREFIX_TEMPLATE"):
        new_prefix(template)
        os.environ["MD_WINEPREFIX_TEMPLATE"] = template
    queue = list(cases)
    lock = threading.Lock()
    results = {}
    figures = {}

    def lane_main(number):
        lane = Lane(number, args.dist, args.work)
        try:
            while True:
                with lock:
                    if not queue:
                        return
                    name, disk, expected, hostile = queue.pop(0)
                started = time.time()
                measured = figures.setdefault(name, {})
                try:
                    problems = lane.check(name, disk, expected, hostile, measured)
                except Exception as error:  # a hung helper or similar: report, go on
                    problems = ["%s: %s" % (type(error).__name__, error)]
                with lock:
                    results[name] = problems
                    print("%s: %s (%.0f s, %d boxes expected; window after %.1f s, peak memory %d MB)"
                          % ("ok" if not problems else "FAIL", name, time.time() - started, len(expected),
                             measured.get("window", -1), measured.get("peak", 0) // 1024), flush=True)
                    for problem in problems:
                        print("    " + problem, flush=True)
        finally:
            lane.close()

    threads = [threading.Thread(target=lane_main, args=(n,)) for n in range(min(args.lanes, len(cases)))]
    for t in threads:
        t.start()
        time.sleep(0.5)
    for t in threads:
        t.join()
    judge_against_clean([c for c in cases if c[3]], figures, results)
    shutil.rmtree(template, ignore_errors=True)
    # The files of 100 MB are made again by every run.
    for folder, _, files in os.walk(root):
        for file in files:
            if os.path.getsize(os.path.join(folder, file)) > 16 << 20:
                os.remove(os.path.join(folder, file))
    failed = [n for n, p in results.items() if p]
    print("bad-disk matrix: %d passed, %d failed" % (len(results) - len(failed), len(failed) + len(cases) - len(results)))
    return 1 if failed or len(results) != len(cases) else 0


if __name__ == "__main__":
    sys.exit(main())
