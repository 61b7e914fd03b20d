"""The generators in tools/: picture encoders against the tests' own decoders, and the committed
demo disk against what the generators make today."""
import ast
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TOOLS = os.path.join(ROOT, "tools")
DISK = os.path.join(ROOT, "demo")
sys.path.insert(0, HERE)
sys.path.insert(0, TOOLS)
import art  # noqa: E402
import formats  # noqa: E402
import imagefmt  # noqa: E402
import skins  # noqa: E402
from prng import Prng  # noqa: E402

GENERATORS = ["make_demo.py", "modgen.py", "streams.py", "art.py", "skins.py", "disk.py", "imagefmt.py",
              "font5x7.py", "shapes.py", "prng.py"]
# Files in the disk folder that are not generated: the player and its library, copied in to run it.
NOT_GENERATED = (".exe", ".dll")


def picture(kind, w, h):
    rng = Prng(w * 1000 + h)
    if kind == "noise":
        return [rng.next() & 0xFFFFFF for _ in range(w * h)]
    if kind == "flat":
        return [0x336699] * (w * h)
    if kind == "two":
        return [0xFFFFFF if (x * x + y * y) % 7 else 0 for y in range(h) for x in range(w)]
    if kind == "few":
        return [[0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF][rng.below(5)] for _ in range(w * h)]
    if kind == "256":
        return [(i * 0x010101) & 0xFFFFFF for i in range(256)] * (w * h // 256) + [0] * (w * h % 256)
    raise ValueError(kind)


def channel_error(a, b):
    return max(abs(((a >> s) & 0xFF) - ((b >> s) & 0xFF)) for s in (16, 8, 0))


class PictureEncoders(unittest.TestCase):
    def test_gif_decodes_to_the_same_pixels(self):
        cases = [("flat", 1, 1), ("two", 3, 2), ("two", 37, 11), ("few", 64, 48), ("256", 32, 32),
                 ("256", 256, 40), ("flat", 300, 300), ("few", 5, 400)]
        for kind, w, h in cases:
            with self.subTest(kind=kind, size=(w, h)):
                pixels = picture(kind, w, h)
                dw, dh, decoded = formats.read_gif(imagefmt.gif_bytes(w, h, pixels))
                self.assertEqual((dw, dh), (w, h))
                self.assertEqual(decoded, pixels)

    def test_gif_of_many_colours_keeps_them_close(self):
        w, h = 96, 80
        pixels = [((x * 8 // 3) << 16) | ((y * 3) << 8) | ((x + y) & 0xFF) for y in range(h) for x in range(w)]
        data = imagefmt.gif_bytes(w, h, pixels)
        _, _, decoded = formats.read_gif(data)
        self.assertLessEqual(len(set(decoded)), 256)
        errors = [channel_error(a, b) for a, b in zip(pixels, decoded)]
        self.assertLess(sum(errors) / len(errors), 8)

    def test_gif_noise_needs_table_restarts_and_still_decodes(self):
        w, h = 120, 90
        pixels = picture("noise", w, h)
        _, indices = imagefmt.quantize(pixels)
        codes = imagefmt.lzw_encode(indices, 8)
        self.assertEqual(list(formats.lzw_decode(codes, 8, len(indices))), indices)

    def test_lzw_code_sizes_from_two_to_eight_bits(self):
        for bits in range(2, 9):
            with self.subTest(bits=bits):
                rng = Prng(bits)
                indices = [rng.below(1 << bits) if i % 50 else 0 for i in range(9000)] + [1] * 3000
                self.assertEqual(list(formats.lzw_decode(imagefmt.lzw_encode(indices, bits), bits, len(indices))),
                                 indices)

    def test_bmp_rows_are_padded_and_bottom_up(self):
        for w, h in [(1, 1), (2, 3), (3, 2), (5, 4), (7, 1), (4, 4)]:
            with self.subTest(size=(w, h)):
                pixels = picture("few", w, h)
                self.assertEqual(formats.read_bmp(imagefmt.bmp_bytes(w, h, pixels)), (w, h, pixels))

    def test_wrong_pixel_count_is_refused(self):
        for encode in (imagefmt.bmp_bytes, imagefmt.gif_bytes):
            with self.assertRaises(ValueError):
                encode(4, 4, [0] * 15)

    def test_committed_gifs_hold_the_drawn_pictures(self):
        for skin in skins.all_skins():
            for name, canvas in art.pictures_of(skin).items():
                if not name.endswith(".gif"):
                    continue
                with self.subTest(picture=name):
                    drawn = canvas.rgb_ints()
                    _, _, decoded = formats.read_picture(os.path.join(DISK, "gui", name))
                    if len(set(drawn)) <= 256:
                        self.assertEqual(decoded, drawn)
                    else:
                        errors = [channel_error(a, b) for a, b in zip(drawn, decoded)]
                        self.assertLess(sum(errors) / len(errors), 4)
                        self.assertLess(max(errors), 96)


class Generators(unittest.TestCase):
    def test_tools_use_only_the_standard_library(self):
        local = {os.path.splitext(f)[0] for f in os.listdir(TOOLS) if f.endswith(".py")}
        for name in GENERATORS:
            with open(os.path.join(TOOLS, name)) as f:
                tree = ast.parse(f.read())
            for node in ast.walk(tree):
                mods = []
                if isinstance(node, ast.Import):
                    mods = [a.name for a in node.names]
                elif isinstance(node, ast.ImportFrom):
                    mods = [node.module]
                for mod in mods:
                    top = mod.split(".")[0]
                    self.assertTrue(top in sys.stdlib_module_names or top in local, "%s imports %s" % (name, mod))

    @unittest.skipUnless(shutil.which("oggenc"), "oggenc (vorbis-tools) is needed to make the Ogg song")
    def test_committed_disk_matches_what_the_generators_make(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, os.path.join(TOOLS, "make_demo.py"), tmp], check=True,
                           stdout=subprocess.DEVNULL)
            made = files_under(tmp)
            committed = {f for f in files_under(DISK) if not f.endswith(NOT_GENERATED)}
            self.assertEqual(sorted(committed), sorted(made), "files missing or left over in demo/")
            stale = []
            for rel in sorted(made):
                with open(os.path.join(tmp, rel), "rb") as a, open(os.path.join(DISK, rel), "rb") as b:
                    if a.read() != b.read():
                        stale.append(rel)
            self.assertEqual(stale, [], "run tools/make_demo.py and commit demo/")
        total = sum(os.path.getsize(os.path.join(DISK, rel)) for rel in committed)
        self.assertLess(total, 2 * 1024 * 1024, "the demo disk stays under 2 MB")


def files_under(top):
    out = set()
    for dirpath, _, names in os.walk(top):
        for n in names:
            if "__pycache__" not in dirpath:
                out.add(os.path.relpath(os.path.join(dirpath, n), top))
    return out


if __name__ == "__main__":
    unittest.main()
