"""Draws the demo disk's skin pictures in code and writes them as BMP and GIF files.

Each skin (skins.py) gets its Main picture, a Mask (pure white outside the outline, black
inside), and where the skin names them Over, Down and Disabled pictures of the same size: the
buttons lit, pressed, and the whole window greyed. Backgrounds under labels and scrolling texts
change only from top to bottom, because those controls show their piece of the picture 6 pixels
right of where it was cut.

Usage: art.py OUTDIR
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import font5x7  # noqa: E402
import imagefmt  # noqa: E402
import skins  # noqa: E402
from prng import Prng  # noqa: E402

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def shade(c, f):
    return tuple(max(0, min(255, int(round(v * f)))) for v in c)


class Canvas:
    def __init__(self, width, height, fill=WHITE):
        self.width = width
        self.height = height
        self.px = [fill] * (width * height)

    def copy(self):
        c = Canvas(self.width, self.height)
        c.px = list(self.px)
        return c

    def get(self, x, y):
        return self.px[y * self.width + x]

    def set(self, x, y, c):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y * self.width + x] = c

    def blend(self, x, y, c, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            i = y * self.width + x
            self.px[i] = c if alpha >= 1 else mix(self.px[i], c, alpha)

    def rgb_ints(self):
        return [(r << 16) | (g << 8) | b for r, g, b in self.px]

    # Shapes with 4x4 supersampled edges.
    def coverage_fill(self, x0, y0, x1, y1, inside, colour):
        for y in range(max(0, int(y0)), min(self.height, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.width, int(math.ceil(x1)))):
                hits = 0
                for sy in range(4):
                    for sx in range(4):
                        if inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, hits / 16.0)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(px, py):
            result = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result

        self.coverage_fill(min(xs), min(ys), max(xs) + 1, max(ys) + 1, inside, colour)

    def disc(self, cx, cy, r, colour):
        self.coverage_fill(cx - r, cy - r, cx + r + 1, cy + r + 1,
                           lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        n = math.hypot(dx, dy) or 1.0
        ox, oy = -dy / n * width / 2, dx / n * width / 2
        self.polygon([(x0 + ox, y0 + oy), (x1 + ox, y1 + oy), (x1 - ox, y1 - oy), (x0 - ox, y0 - oy)], colour)

    def text(self, x, y, text, colour, scale=1, shadow=None):
        if shadow:
            for px, py in font5x7.text_pixels(text, scale):
                self.set(x + px + 1, y + py + 1, shadow)
        for px, py in font5x7.text_pixels(text, scale):
            self.set(x + px, y + py, colour)


def rounded(x, y, x0, y0, x1, y1, r):
    """Whether point (x, y) lies in the rounded rectangle."""
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def fill_outline(canvas, outline, top, bottom, rim_dark, rim_light):
    """The window body: a top-to-bottom gradient with a dark edge and a light bevel inside it."""
    depth = outline.depth_map(canvas.width, canvas.height)
    for y in range(canvas.height):
        row = mix(top, bottom, y / max(1, canvas.height - 1))
        for x in range(canvas.width):
            d = depth[y * canvas.width + x]
            if d == 0:
                continue
            canvas.set(x, y, rim_dark if d == 1 else rim_light if d == 2 else row)


def plate(canvas, x0, y0, x1, y1, r, top, bottom, edge, sunken=False, lines=False):
    """A rounded plate or well: gradient fill, 1-pixel edge, inner light or dark bevel."""
    for y in range(max(0, y0), min(canvas.height, y1)):
        row = mix(top, bottom, (y - y0) / max(1, y1 - y0 - 1))
        if lines and (y - y0) % 2:
            row = shade(row, 0.86)
        for x in range(max(0, x0), min(canvas.width, x1)):
            px, py = x + 0.5, y + 0.5
            if not rounded(px, py, x0, y0, x1, y1, r):
                continue
            if not rounded(px, py, x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(0, r - 1)):
                canvas.set(x, y, edge)
            elif not rounded(px, py, x0 + 2, y0 + 2, x1 - 2, y1 - 2, max(0, r - 2)):
                upper = (py - y0) < (y1 - y0) / 2
                light, dark = shade(top, 1.5), shade(bottom, 0.6)
                canvas.set(x, y, (dark if upper else light) if sunken else (light if upper else dark))
            else:
                canvas.set(x, y, row)


# ---------------------------------------------------------------- button glyphs

def glyph(canvas, kind, cx, cy, size, colour):
    s = size
    if kind == "play":
        canvas.polygon([(cx - s * 0.35, cy - s * 0.45), (cx + s * 0.5, cy), (cx - s * 0.35, cy + s * 0.45)], colour)
    elif kind == "pause":
        canvas.polygon(_rect(cx - s * 0.4, cy - s * 0.42, cx - s * 0.1, cy + s * 0.42), colour)
        canvas.polygon(_rect(cx + s * 0.1, cy - s * 0.42, cx + s * 0.4, cy + s * 0.42), colour)
    elif kind == "stop":
        canvas.polygon(_rect(cx - s * 0.38, cy - s * 0.38, cx + s * 0.38, cy + s * 0.38), colour)
    elif kind in ("next", "prev"):
        d = 1 if kind == "next" else -1
        canvas.polygon([(cx - d * s * 0.45, cy - s * 0.42), (cx + d * s * 0.25, cy), (cx - d * s * 0.45, cy + s * 0.42)],
                       colour)
        bar = (cx + d * s * 0.28, cy - s * 0.42, cx + d * s * 0.46, cy + s * 0.42)
        canvas.polygon(_rect(min(bar[0], bar[2]), bar[1], max(bar[0], bar[2]), bar[3]), colour)
    elif kind in ("ff", "rw"):
        d = 1 if kind == "ff" else -1
        for off in (-0.45, 0.02):
            a = cx + d * s * off
            canvas.polygon([(a, cy - s * 0.38), (a + d * s * 0.45, cy), (a, cy + s * 0.38)], colour)
    elif kind == "minimise":
        canvas.polygon(_rect(cx - s * 0.4, cy + s * 0.15, cx + s * 0.4, cy + s * 0.38), colour)
    elif kind == "exit":
        r = s * 0.34
        canvas.line(cx - r, cy - r, cx + r, cy + r, s * 0.2, colour)
        canvas.line(cx - r, cy + r, cx + r, cy - r, s * 0.2, colour)
    elif kind == "info":
        canvas.disc(cx, cy - s * 0.38, s * 0.12, colour)
        canvas.polygon(_rect(cx - s * 0.1, cy - s * 0.16, cx + s * 0.1, cy + s * 0.45), colour)
    elif kind == "note":
        canvas.disc(cx - s * 0.16, cy + s * 0.3, s * 0.17, colour)
        canvas.polygon(_rect(cx - s * 0.02, cy - s * 0.45, cx + s * 0.08, cy + s * 0.3), colour)
        canvas.polygon([(cx + s * 0.08, cy - s * 0.45), (cx + s * 0.35, cy - s * 0.2), (cx + s * 0.08, cy - s * 0.2)],
                       colour)
    elif kind == "wave":
        pts = [(cx - s * 0.45 + i * s * 0.09, cy - math.sin(i * 0.63) * s * 0.3) for i in range(11)]
        for a, b in zip(pts, pts[1:]):
            canvas.line(a[0], a[1], b[0], b[1], s * 0.14, colour)
    else:
        raise ValueError(kind)


def _rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


BUTTON_LOOKS = {
    # state: (top, bottom, edge, glyph colour, sunken, glyph offset)
    "main": ((74, 90, 136), (42, 52, 88), (10, 12, 26), (222, 230, 246), False, 0),
    "over": ((104, 126, 180), (58, 72, 120), (120, 96, 40), skins.AMBER, False, 0),
    "down": ((28, 34, 60), (60, 72, 112), (8, 8, 16), (255, 176, 72), True, 1),
}


def draw_button(canvas, c, state):
    top, bottom, edge, ink, sunken, off = BUTTON_LOOKS[state]
    plate(canvas, c.x, c.y, c.x + c.w, c.y + c.h, 6, top, bottom, edge, sunken)
    size = min(c.w, c.h) * 0.55
    glyph(canvas, c.extra["glyph"], c.x + c.w / 2 + off, c.y + c.h / 2 + off, size, ink)


def draw_caption(canvas, c, colour, shadow=None):
    """Lettering of a label, placed in the part of its piece that the label shows."""
    scale = c.extra.get("scale", 1)
    tw = font5x7.text_width(c.extra["caption"], scale)
    if c.extra.get("scale", 1) > 1:
        x = c.x + (c.w - tw) // 2
    else:
        x = c.x + 6
    if x < c.x + 6 or x + tw > c.x + c.w:
        raise ValueError("caption of %s does not fit its label" % c.name)
    canvas.text(x, c.y + (c.h - font5x7.HEIGHT * scale) // 2, c.extra["caption"], colour, scale, shadow)


def greyed(canvas):
    """The inactive look: grey, darker, a little blue."""
    out = canvas.copy()
    for i, (r, g, b) in enumerate(canvas.px):
        if (r, g, b) == WHITE:
            continue
        v = int((r * 30 + g * 59 + b * 11) / 100 * 0.62 + 18)
        out.px[i] = (v, v, min(255, v + 8))
    return out


def mask_of(skin):
    canvas = Canvas(skin.width, skin.height)
    depth = skin.outline.depth_map(skin.width, skin.height)
    canvas.px = [BLACK if d else WHITE for d in depth]
    return canvas


# ---------------------------------------------------------------- the windows

NIGHT_TOP, NIGHT_BOTTOM = (40, 54, 92), (14, 20, 42)
RIM_DARK, RIM_LIGHT = (6, 8, 18), (96, 116, 168)


def main_background(skin):
    c = Canvas(skin.width, skin.height)
    fill_outline(c, skin.outline, NIGHT_TOP, NIGHT_BOTTOM, RIM_DARK, RIM_LIGHT)
    plate(c, 22, 0, 214, 44, 14, (168, 124, 58), (96, 64, 30), RIM_DARK)
    plate(c, 16, 48, 404, 114, 6, (12, 30, 36), (6, 18, 24), RIM_DARK, sunken=True, lines=True)
    plate(c, 20, 91, 400, 112, 3, (16, 42, 48), (12, 34, 40), (4, 12, 16), sunken=True)
    c.text(226, 29, "A MUSICDISK", (132, 150, 200))
    moon(c, 372, 70, 13)
    c.text(278, 186, "FOR THE NIGHT BOAT", (84, 100, 148))
    for ctl in skin.controls:
        if ctl.kind == "label":
            if ctl.name == "LABEL_TITLE":
                draw_caption(c, ctl, skins.TITLE_GOLD, (60, 36, 12))
            else:
                draw_caption(c, ctl, skins.CAPTION)
    return c


def moon(canvas, cx, cy, r):
    """A crescent: the disc without a smaller disc offset to the upper right."""
    bx, by, br = cx + r * 0.45, cy - r * 0.25, r * 0.85
    canvas.coverage_fill(cx - r, cy - r, cx + r + 1, cy + r + 1,
                         lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r
                         and (px - bx) ** 2 + (py - by) ** 2 > br * br, (244, 232, 190))


def buttons(canvas, skin, state):
    out = canvas.copy()
    for ctl in skin.controls:
        if ctl.kind == "button":
            draw_button(out, ctl, state)
    return out


def splash_picture(skin):
    c = Canvas(skin.width, skin.height)
    horizon = 142
    sky_top, sky_low = (8, 10, 34), (52, 38, 92)
    depth = skin.outline.depth_map(skin.width, skin.height)
    for y in range(skin.height):
        for x in range(skin.width):
            d = depth[y * skin.width + x]
            if d == 0:
                continue
            if d == 1:
                col = RIM_DARK
            elif d == 2:
                col = RIM_LIGHT
            elif y < horizon:
                col = mix(sky_top, sky_low, y / horizon)
            else:
                t = (y - horizon) / (skin.height - horizon)
                col = mix((22, 40, 78), (4, 10, 24), t)
                if math.sin(x * 0.11 + y * 0.9 + math.sin(x * 0.03) * 3) > 0.92 - t * 0.1:
                    col = shade(col, 1.7)
            c.set(x, y, col)
    rng = Prng(5)
    for _ in range(70):
        x, y = 8 + rng.below(skin.width - 16), 26 + rng.below(horizon - 40)
        if skin.outline.depth_map(skin.width, skin.height)[y * skin.width + x] == 3:
            c.set(x, y, mix((150, 160, 220), WHITE, rng.unit()))
    moon(c, 296, 40, 30)
    # The ferry on the horizon, with lit windows and their reflections.
    hull = [(70, horizon - 8), (190, horizon - 8), (178, horizon + 2), (84, horizon + 2)]
    c.polygon(hull, (10, 10, 20))
    c.polygon(_rect(96, horizon - 18, 160, horizon - 8), (14, 14, 26))
    c.polygon(_rect(120, horizon - 28, 132, horizon - 18), (14, 14, 26))
    for i in range(6):
        wx = 100 + i * 10
        c.polygon(_rect(wx, horizon - 15, wx + 5, horizon - 11), (255, 206, 110))
        for k in range(3):
            c.set(wx + 2 + (k % 2), horizon + 5 + k * 4, (140, 110, 70))
    c.text(24, 40, "NIGHTFERRY", skins.TITLE_GOLD, 4, (40, 24, 10))
    c.text(26, 80, "A MUSICDISK", (200, 206, 240), 2)
    c.text(206, 182, "PRESS ANY KEY", (120, 140, 190))
    return c


PAPER_TOP, PAPER_BOTTOM = (26, 48, 60), (14, 28, 38)


def dialog_base(skin, title_plate, title_text):
    c = Canvas(skin.width, skin.height)
    fill_outline(c, skin.outline, PAPER_TOP, PAPER_BOTTOM, RIM_DARK, (84, 130, 140))
    if title_plate:
        x0, y0, x1, y1, r = title_plate
        plate(c, x0, y0, x1, y1, r, (168, 124, 58), (96, 64, 30), RIM_DARK)
    if title_text:
        x, y, scale = title_text[1:]
        c.text(x, y, title_text[0], skins.TITLE_GOLD, scale, (60, 36, 12))
    return c


def credits_picture(skin):
    c = dialog_base(skin, None, ("CREDITS", 20, 12, 2))
    plate(c, 14, 36, 246, 240, 8, (8, 20, 28), (10, 26, 34), RIM_DARK, sunken=True)
    for y in (31, 244):
        for x in range(22, 240, 4):
            c.set(x, y, (84, 130, 140))
    return c


def notes_picture(skin):
    c = dialog_base(skin, (16, 0, 176, 34, 10), None)
    plate(c, 12, 42, 288, 200, 8, (8, 20, 28), (10, 26, 34), RIM_DARK, sunken=True)
    draw_caption(c, skin.control("LABEL_NOTES"), skins.TITLE_GOLD, (60, 36, 12))
    return c


def tech_picture(skin):
    c = dialog_base(skin, None, None)
    plate(c, 8, 8, 66, 68, 10, (36, 64, 76), (36, 64, 76), RIM_DARK)
    plate(c, 66, 10, 304, 66, 8, (8, 20, 28), (10, 26, 34), RIM_DARK, sunken=True)
    glyph(c, "wave", 37, 22, 22, skins.TICKER)
    draw_caption(c, skin.control("LABEL_TECH"), skins.CAPTION)
    return c


def pictures_of(skin):
    """File name -> Canvas for every picture the skin names."""
    drawers = {"skin": main_background, "splash": splash_picture, "credits": credits_picture,
               "notes": notes_picture, "tech": tech_picture}
    base = drawers[skin.name](skin)
    looks = {"Main": lambda: buttons(base, skin, "main"),
             "Mask": lambda: mask_of(skin),
             "Over": lambda: buttons(base, skin, "over"),
             "Down": lambda: buttons(base, skin, "down"),
             "Disabled": lambda: greyed(buttons(base, skin, "main"))}
    return {name: looks[key]() for key, name in skin.pictures.items()}


def encode(name, canvas):
    if name.lower().endswith(".bmp"):
        return imagefmt.bmp_bytes(canvas.width, canvas.height, canvas.rgb_ints())
    if name.lower().endswith(".gif"):
        return imagefmt.gif_bytes(canvas.width, canvas.height, canvas.rgb_ints())
    raise ValueError(name)


def write_all(outdir):
    os.makedirs(outdir, exist_ok=True)
    written = []
    for skin in skins.all_skins():
        for name, canvas in pictures_of(skin).items():
            path = os.path.join(outdir, name)
            with open(path, "wb") as f:
                f.write(encode(name, canvas))
            written.append(path)
    return written


if __name__ == "__main__":
    for p in write_all(sys.argv[1] if len(sys.argv) > 1 else "."):
        print(p)
