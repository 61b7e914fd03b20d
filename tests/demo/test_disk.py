"""Checks the committed demo disk as the player will read it: songs, pictures, skins, descriptor."""
import array
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import formats  # noqa: E402

DISK = os.path.join(os.path.dirname(os.path.dirname(HERE)), "demo")
MUSIC = os.path.join(DISK, "music")
GUI = os.path.join(DISK, "gui")

FIELD_COUNTS = {"buttoninfo": 6, "textinfo": 12, "hscrollinfo": 11, "vscrollinfo": 17, "labelinfo": 12}
# Positions (0-based) of the integer, colour and flag fields of each section.
INT_FIELDS = {"buttoninfo": [1, 2, 3, 4], "textinfo": [4, 6, 7, 8, 9], "hscrollinfo": [4, 6, 7, 8, 9],
              "vscrollinfo": [4, 7, 8, 9, 10, 11, 12, 13], "labelinfo": [4, 7, 8, 9, 10]}
COLOUR_FIELDS = {"textinfo": [5], "hscrollinfo": [5], "vscrollinfo": [5, 6], "labelinfo": [5, 6]}
FLAG_FIELDS = {"hscrollinfo": [2, 3], "vscrollinfo": [2, 3], "labelinfo": [2, 3]}
MAIN_BUTTONS = ["BUTTON_EXIT", "BUTTON_MINIMIZE", "BUTTON_PAUSE", "BUTTON_PLAY", "BUTTON_STOP", "BUTTON_FF",
                "BUTTON_RW", "BUTTON_PREV", "BUTTON_NEXT"]
WHITE = 0xFFFFFF


def disk_path(windows_path):
    return os.path.join(DISK, *windows_path.split("\\"))


def descriptor():
    entries, lines = formats.read_descriptor(DISK)
    return dict(entries), entries, lines


def numbered(store, prefix):
    """Values of prefix01, prefix02, ... up to the first missing or empty one."""
    values, n = [], 1
    while store.get("%s%02d" % (prefix, n)):
        values.append(store["%s%02d" % (prefix, n)])
        n += 1
    return values


def controls(ini):
    """(section, fields) of every control entry, in section order."""
    out = []
    for section in FIELD_COUNTS:
        for _, value in ini.get(section, []):
            out.append((section, value.split(",")))
    return out


def shown_rect(section, fields):
    """The control window's rectangle in the skin: every kind but buttons stands 6 pixels right."""
    if section == "buttoninfo":
        x, y, w, h = (int(v) for v in fields[1:5])
        return x, y, w, h
    i = {"textinfo": 6, "hscrollinfo": 6, "vscrollinfo": 7, "labelinfo": 7}[section]
    x, y, w, h = (int(v) for v in fields[i:i + 4])
    return x + 6, y, w, h


def cut_rect(section, fields):
    if section == "buttoninfo":
        return tuple(int(v) for v in fields[1:5])
    i = {"textinfo": 6, "hscrollinfo": 6, "vscrollinfo": 7, "labelinfo": 7}[section]
    return tuple(int(v) for v in fields[i:i + 4])


def skin_files():
    return sorted(f for f in os.listdir(GUI) if f.endswith(".ini"))


class SongFiles(unittest.TestCase):
    def modules(self):
        return sorted(f for f in os.listdir(MUSIC) if f.endswith(".mod"))

    def test_modules_are_valid_four_channel_modules_that_end(self):
        names = self.modules()
        self.assertGreaterEqual(len(names), 5)
        tempos = set()
        for name in names:
            with self.subTest(module=name):
                with open(os.path.join(MUSIC, name), "rb") as f:
                    mod = formats.read_mod(f.read())
                samples = mod["samples"]
                for s in samples:
                    self.assertLessEqual(s["volume"], 64)
                    self.assertLessEqual(s["finetune"], 15)
                    if s["loop_length"] > 2:
                        self.assertLessEqual(s["loop_start"] + s["loop_length"], s["length"])
                used_channels = set()
                for order in mod["orders"]:
                    for row in mod["patterns"][order]:
                        for c, cell in enumerate(row):
                            self.assertNotEqual(cell["effect"], 0xB, "a position jump would loop the song")
                            if cell["period"]:
                                self.assertIn(cell["period"], formats.AMIGA_PERIODS)
                                used_channels.add(c)
                            if cell["sample"]:
                                self.assertGreater(samples[cell["sample"] - 1]["length"], 2,
                                                   "note on an empty sample slot")
                self.assertEqual(used_channels, {0, 1, 2, 3}, "every channel plays")
                seconds = formats.mod_seconds(mod)
                first = mod["patterns"][mod["orders"][0]][0]
                tempos.add(tuple(sorted((c["effect"], c["param"]) for c in first if c["effect"] == 0xF)))
                if name.startswith("splash"):
                    self.assertLess(seconds, 10)
                else:
                    self.assertTrue(30 <= seconds <= 60, "%s plays %.1f s" % (name, seconds))
        self.assertEqual(len(tempos), len(names), "each module has its own speed and tempo")

    @unittest.skipUnless(shutil.which("xmp"), "the xmp player is not installed")
    def test_modules_render_to_sound_for_their_length(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name in self.modules():
                with self.subTest(module=name):
                    out = os.path.join(tmp, name + ".wav")
                    subprocess.run(["xmp", "-q", "--nocmd", "-d", "wav", "-o", out, os.path.join(MUSIC, name)],
                                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    with open(out, "rb") as f:
                        fmt, pcm = formats.read_wav(f.read(), strict=False)
                    with open(os.path.join(MUSIC, name), "rb") as f:
                        expected = formats.mod_seconds(formats.read_mod(f.read()))
                    self.assertAlmostEqual(len(pcm) / fmt["byte_rate"], expected, delta=1.0)
                    self.assertGreater(rms(pcm, fmt["bits"]), 0.03, "the module is audible")

    def test_wav_stream_is_16_bit_stereo_pcm(self):
        with open(os.path.join(MUSIC, "song05.wav"), "rb") as f:
            fmt, pcm = formats.read_wav(f.read())
        self.assertEqual((fmt["tag"], fmt["channels"], fmt["bits"], fmt["align"]), (1, 2, 16, 4))
        self.assertEqual(fmt["byte_rate"], fmt["rate"] * 4)
        self.assertNotEqual(fmt["rate"], 44100, "a rate the player has to convert")
        self.assertEqual(len(pcm) % 4, 0)
        self.assertTrue(5 <= len(pcm) / fmt["byte_rate"] <= 20)
        samples = array.array("h", pcm)
        left, right = samples[0::2], samples[1::2]
        self.assertLess(max(max(left), -min(left)), 32767, "no clipping")
        self.assertGreater(max(left), 8000)
        self.assertNotEqual(left, right, "the two channels differ")

    def test_ogg_stream_is_a_complete_stereo_vorbis_stream(self):
        with open(os.path.join(MUSIC, "song03.ogg"), "rb") as f:
            pages = formats.read_ogg_pages(f.read())
        self.assertTrue(pages[0]["flags"] & 0x02, "first page begins the stream")
        self.assertTrue(pages[-1]["flags"] & 0x04, "last page ends the stream")
        self.assertEqual({p["serial"] for p in pages}, {pages[0]["serial"]})
        self.assertEqual([p["sequence"] for p in pages], list(range(len(pages))))
        ident = pages[0]["body"]
        self.assertEqual(ident[:7], b"\x01vorbis")
        channels, rate = ident[11], int.from_bytes(ident[12:16], "little")
        self.assertEqual((channels, rate), (2, 44100))
        self.assertTrue(10 <= pages[-1]["granule"] / rate <= 30)


def rms(pcm, bits):
    samples = array.array("h", pcm) if bits == 16 else array.array("b", bytes(b ^ 0x80 for b in pcm))
    step = 7
    picked = samples[::step]
    full = 32768.0 if bits == 16 else 128.0
    return (sum(v * v for v in picked) / max(1, len(picked))) ** 0.5 / full


class SkinFiles(unittest.TestCase):
    def test_every_skin_entry_has_its_fields_in_order(self):
        for name in skin_files():
            ini = formats.read_ini(os.path.join(GUI, name))
            for section in FIELD_COUNTS:
                entries = ini.get(section, [])
                with self.subTest(skin=name, section=section):
                    self.assertEqual([k for k, _ in entries], [str(i) for i in range(1, len(entries) + 1)],
                                     "keys run 1, 2, 3 ... without a gap")
                    for _, value in entries:
                        fields = value.split(",")
                        self.assertEqual(len(fields), FIELD_COUNTS[section], value)
                        self.assertTrue(all(f.strip() for f in fields), "no empty field in " + value)
                        for i in INT_FIELDS[section]:
                            self.assertRegex(fields[i], r"^-?\d+$", value)
                        for i in COLOUR_FIELDS.get(section, []):
                            self.assertTrue(0 <= int(fields[i]) <= WHITE, value)
                        for i in FLAG_FIELDS.get(section, []):
                            self.assertIn(fields[i].upper(), ("TRUE", "FALSE"), value)
                        if section == "vscrollinfo":
                            self.assertGreater(int(fields[11]), 0)
                            self.assertGreater(int(fields[12]), 0)
                            self.assertIn(fields[14].lower(), ("scroll", "stay", "show"))
                            self.assertIn(fields[15].lower(), ("left", "center", "right"))

    def test_pictures_exist_share_one_size_and_are_shaped_by_their_mask(self):
        for name in skin_files():
            with self.subTest(skin=name):
                screen = dict(formats.read_ini(os.path.join(GUI, name))["screen"])
                self.assertIn("Main", screen)
                sizes = {}
                for key, file in screen.items():
                    path = os.path.join(GUI, file)
                    self.assertTrue(os.path.isfile(path), file)
                    w, h, _ = formats.read_picture(path)
                    sizes[key] = (w, h)
                self.assertEqual(len(set(sizes.values())), 1, sizes)
                w, h, mask = formats.read_picture(os.path.join(GUI, screen.get("Mask", screen["Main"])))
                check_mask(self, w, h, mask)

    def test_controls_lie_inside_the_window_and_do_not_overlap(self):
        for name in skin_files():
            ini = formats.read_ini(os.path.join(GUI, name))
            screen = dict(ini["screen"])
            w, h, mask = formats.read_picture(os.path.join(GUI, screen.get("Mask", screen["Main"])))
            rects = []
            for section, fields in controls(ini):
                with self.subTest(skin=name, control=fields[0]):
                    for x, y, cw, ch in (shown_rect(section, fields), cut_rect(section, fields)):
                        self.assertTrue(x >= 0 and y >= 0 and x + cw <= w and y + ch <= h, "inside the picture")
                        cut_away = [(px, py) for py in range(y, y + ch) for px in range(x, x + cw)
                                    if mask[py * w + px] == WHITE]
                        self.assertEqual(cut_away, [], "the mask keeps the whole control")
                    for other_name, other in rects:
                        self.assertFalse(overlap(shown_rect(section, fields), other), "overlaps " + other_name)
                    rects.append((fields[0], shown_rect(section, fields)))

    def test_ticker_backgrounds_hide_the_six_pixel_shift(self):
        """A horizontal scroller shows its piece 6 pixels right of where it was cut: the background
        must not change from left to right there, or the strip would show a seam."""
        for name in skin_files():
            ini = formats.read_ini(os.path.join(GUI, name))
            screen = dict(ini["screen"])
            for key in ("Main", "Disabled"):
                w, _, pixels = formats.read_picture(os.path.join(GUI, screen.get(key, screen["Main"])))
                for _, value in ini.get("hscrollinfo", []):
                    fields = value.split(",")
                    x, y, cw, ch = (int(v) for v in fields[6:10])
                    with self.subTest(skin=name, picture=key, control=fields[0]):
                        for py in range(y, y + ch):
                            row = {pixels[py * w + px] for px in range(x, x + cw + 6)}
                            self.assertEqual(len(row), 1, "row %d changes along the strip" % py)

    def test_main_skin_has_every_control_the_player_looks_for(self):
        ini = formats.read_ini(os.path.join(GUI, "skin.ini"))
        names = {s: [v.split(",")[0] for _, v in ini.get(s, [])] for s in FIELD_COUNTS}
        for button in MAIN_BUTTONS:
            self.assertIn(button, names["buttoninfo"])
        self.assertGreaterEqual(len([b for b in names["buttoninfo"] if b.startswith("BUTTON_INFO")]), 2)
        for field in ("TEXT_SONGNUM", "TEXT_ACTTIME", "TEXT_TOTALTIME"):
            self.assertIn(field, names["textinfo"])
        self.assertIn("TEXT_SCROLLER", names["hscrollinfo"])
        self.assertTrue(names["labelinfo"])
        self.assertEqual(set(dict(ini["screen"])), {"Main", "Mask", "Over", "Down", "Disabled"})
        all_names = sum(names.values(), [])
        self.assertEqual(len(all_names), len(set(all_names)), "a name shared by two controls finds only one")

    def test_dialog_skins_have_close_button_and_scroller(self):
        store, _, _ = descriptor()
        for file in numbered(store, "dialog.file."):
            ini = formats.read_ini(disk_path(file))
            with self.subTest(dialog=file):
                buttons = [v.split(",")[0] for _, v in ini.get("buttoninfo", [])]
                scrollers = [v.split(",")[0] for s in ("hscrollinfo", "vscrollinfo") for _, v in ini.get(s, [])]
                self.assertIn("BUTTON_CLOSE", buttons)
                self.assertIn("TEXT_SCROLLER", scrollers)


def overlap(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


def check_mask(test, w, h, mask):
    """Pure white only around the outline: all white pixels reach the border, the kept part is one
    piece, and the corners are cut away (the window is shaped)."""
    colours = set(mask)
    test.assertIn(WHITE, colours)
    for corner in (0, w - 1, (h - 1) * w, h * w - 1):
        test.assertEqual(mask[corner], WHITE)
    outside = flood(w, h, mask, [i for i in range(w * h) if (i % w in (0, w - 1) or i // w in (0, h - 1))
                                 and mask[i] == WHITE], lambda c: c == WHITE)
    test.assertEqual(len(outside), mask.count(WHITE), "white pixels inside the outline cut holes")
    start = next(i for i, c in enumerate(mask) if c != WHITE)
    kept = flood(w, h, mask, [start], lambda c: c != WHITE)
    test.assertEqual(len(kept), w * h - mask.count(WHITE), "the window is one piece")


def flood(w, h, pixels, seeds, same):
    seen = set(seeds)
    todo = list(seeds)
    while todo:
        i = todo.pop()
        x, y = i % w, i // w
        for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
            j = ny * w + nx
            if 0 <= nx < w and 0 <= ny < h and j not in seen and same(pixels[j]):
                seen.add(j)
                todo.append(j)
    return seen


class Descriptor(unittest.TestCase):
    def test_lines_keys_and_values_fit_the_reader(self):
        store, entries, lines = descriptor()
        self.assertLessEqual(len(store), 100, "the reader keeps at most 100 entries")
        for path, raw in lines:
            self.assertLessEqual(len(raw), 1999, path)
        keys = [k for k, _ in entries]
        self.assertEqual(len(keys), len(set(keys)), "a repeated key silently replaces the first")
        for key, value in entries:
            self.assertLessEqual(len(key), 50, key)
            self.assertLessEqual(len(value), 5000, key)
            self.assertEqual(key, key.strip(), "blanks around '=' become part of the key")
            self.assertNotEqual(value[:1], " ", key)

    def test_songs_exist_and_have_descriptions(self):
        store, _, _ = descriptor()
        songs = numbered(store, "music.file.")
        self.assertGreaterEqual(len(songs), 6)
        self.assertFalse(any(k.startswith("music.file.") and k[len("music.file."):] not in
                             ["%02d" % n for n in range(1, len(songs) + 1)] for k in store),
                         "a song number after a gap is never reached")
        for n, file in enumerate(songs, 1):
            self.assertTrue(os.path.isfile(disk_path(file)), file)
            self.assertTrue(store.get("music.desc.%02d" % n), "song %d has a description" % n)
        kinds = [os.path.splitext(f)[1].lower() for f in songs]
        self.assertGreaterEqual(kinds.count(".mod"), 4)
        self.assertIn(".ogg", kinds)
        self.assertIn(".wav", kinds)
        self.assertIn(".mp3", kinds)
        self.assertTrue(os.path.isfile(disk_path(store["splash.music.file"])))
        self.assertRegex(store["splash.time"], r"^\d+$")
        self.assertTrue(1000 <= int(store["splash.time"]) <= 10000)

    def test_includes_and_comments_are_used(self):
        with open(os.path.join(MUSIC, "config.dat"), "rb") as f:
            top = f.read().decode("ascii").splitlines()
        self.assertTrue(any(line.startswith("@") for line in top))
        self.assertTrue(any(line.startswith("#") for line in top))

    def test_dialogs_match_the_info_buttons(self):
        store, _, _ = descriptor()
        files = numbered(store, "dialog.file.")
        self.assertGreaterEqual(len(files), 2)
        names = []
        for n, file in enumerate(files, 1):
            self.assertTrue(os.path.isfile(disk_path(file)), file)
            for key in ("name", "title", "text"):
                self.assertTrue(store.get("dialog.%s.%02d" % (key, n)), "dialog %d has a %s" % (n, key))
            for key in ("dx", "dy"):
                self.assertRegex(store.get("dialog.%s.%02d" % (key, n), ""), r"^-?\d+$")
            names.append(store["dialog.name.%02d" % n].upper())
        ini = formats.read_ini(os.path.join(GUI, "skin.ini"))
        info = [v.split(",")[0].upper() for _, v in ini["buttoninfo"] if v.startswith("BUTTON_INFO")]
        self.assertEqual(sorted(info), sorted(names))

    def test_every_song_has_a_text_for_every_target(self):
        store, _, _ = descriptor()
        targets = numbered(store, "longdesc.target.name.")
        self.assertGreaterEqual(len(targets), 2)
        dialogs = {v.upper(): n for n, v in enumerate(numbered(store, "dialog.name."), 1)}
        songs = numbered(store, "music.file.")
        for t, target in enumerate(targets, 1):
            self.assertLessEqual(len(target), 32, "longer target names make keys that are never found")
            dialog = store.get("longdesc.target.dialog.%02d" % t, "").upper()
            self.assertIn(dialog, dialogs)
            ini = formats.read_ini(disk_path(store["dialog.file.%02d" % dialogs[dialog]]))
            vertical = any(v.startswith("TEXT_SCROLLER,") for _, v in ini.get("vscrollinfo", []))
            for n in range(1, len(songs) + 1):
                text = store.get("music.longdesc.%s.%02d" % (target, n), "")
                self.assertTrue(text, "song %d has no %s text" % (n, target))
                self.assertLessEqual(len(text), 7999 if vertical else 19999)

    def test_dialog_with_its_own_text_is_no_target(self):
        """A dialog named by a long-description target loses its own text at the first song."""
        store, _, _ = descriptor()
        targets = {v.upper() for v in numbered(store, "longdesc.target.dialog.")}
        own = [n for n, v in enumerate(numbered(store, "dialog.name."), 1) if v.upper() not in targets]
        self.assertTrue(own, "at least one dialog shows its own text")
        for n in own:
            self.assertIn("|", store["dialog.text.%02d" % n], "a text of several lines")


if __name__ == "__main__":
    unittest.main()
