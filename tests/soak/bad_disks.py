#!/usr/bin/env python3
"""Bad-disk matrix: the real player started on many broken musicdisks made here.

For every disk the player must start, show exactly the "Error" message boxes that the skin rules
give (a picture file that cannot be opened: "Could not load the file: <skin folder><name>", one per
load, in the order Main, Mask, Down, Over, Disabled, main window first, then the splash screen,
then each info dialog), keep running and answering for 5 s once they are dismissed, and end with
exit code 0 on Escape. Files that exist but are no pictures (or are empty) show no box.

Disks run in parallel lanes; each lane has its own desktop (tests/e2e/desktop: display, window
manager, sound server) and its own Wine prefix (a copy of one made once), so window lookups by
class see only that lane's player.
"""
import argparse
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
    """Yields (name, disk folder, expected box texts)."""
    main_skin = dict(MAIN_PICTURES)
    cases = []

    def case(name, expected, change):
        disk = os.path.join(root, name)
        good_disk(disk)
        change(disk)
        cases.append((name, disk, expected))

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
        # A desktop of the lane's own: display, window manager and sound server.
        self.desktop = os.path.join(work, "lane%d-desktop" % number)
        started = subprocess.run([DESKTOP, "start", self.desktop], capture_output=True, text=True,
                                 stdin=subprocess.DEVNULL)
        if started.returncode != 0:
            raise RuntimeError("lane %d: the desktop did not start: %s" % (number, started.stderr.strip()))
        self.env = dict(os.environ, WINEPREFIX=self.prefix, **desktop_environment(started.stdout))
        subprocess.run(["wineserver", "-p"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([DESKTOP, "stop", self.desktop], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, program, args, cwd, timeout=60):
        with tempfile.TemporaryFile() as out:
            code = subprocess.run([self.wine, os.path.join(self.dist, program)] + list(args), env=self.env,
                                  cwd=cwd, stdout=out, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                  timeout=timeout).returncode
            out.seek(0)
            return code, out.read().decode("latin-1").replace("\r", "").strip()

    def xdo(self, *args):
        return subprocess.run(["xdotool"] + list(args), env=self.env, capture_output=True, text=True, timeout=20)

    def check(self, name, disk, expected):
        """Returns a list of problems (empty when the disk passed)."""
        problems = []
        stderr = open(os.path.join(disk, "..", name + ".stderr.txt"), "w")
        proc = subprocess.Popen([self.wine, os.path.join(self.dist, "Musicdisk.exe")], cwd=disk, env=self.env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
        try:
            box_file = os.path.join(disk, "..", name + ".boxes.txt")
            code, count = self.run("md_probe.exe", ["errors", "Z:" + os.path.abspath(box_file).replace("/", "\\"),
                                                    "1500", "60000"], disk, timeout=90)
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
            time.sleep(5)
            if proc.poll() is not None:
                problems.append("the player ended by itself with code %s" % proc.returncode)
                return problems
            code, _ = self.run("md_probe.exe", ["ping", "Musicdisk", "5000"], disk)
            if code != 0:
                problems.append("the player does not answer after 5 s (%d)" % code)
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
        finally:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
            stderr.close()
        return problems


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
        wanted = args.only.split(",")
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

    def lane_main(number):
        lane = Lane(number, args.dist, args.work)
        try:
            while True:
                with lock:
                    if not queue:
                        return
                    name, disk, expected = queue.pop(0)
                started = time.time()
                try:
                    problems = lane.check(name, disk, expected)
                except Exception as error:  # a hung helper or similar: report, go on
                    problems = ["%s: %s" % (type(error).__name__, error)]
                with lock:
                    results[name] = problems
                    print("%s: %s (%.0f s, %d boxes expected)" % ("ok" if not problems else "FAIL", name,
                                                                 time.time() - started, len(expected)), flush=True)
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
    failed = [n for n, p in results.items() if p]
    print("bad-disk matrix: %d passed, %d failed" % (len(results) - len(failed), len(failed) + len(cases) - len(results)))
    return 1 if failed or len(results) != len(cases) else 0


if __name__ == "__main__":
    sys.exit(main())
