"""The demo disk's skins: outline, pictures and controls of every window, and their ini files.

The pictures (drawn by art.py) and the ini files come from these same tables, so a control's
rectangle in the ini always matches the place where its look is drawn.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from shapes import Outline  # noqa: E402

FONT = "Tahoma"


def colorref(r, g, b):
    """The decimal colour number of the skin files: red + 256 * green + 65536 * blue."""
    return r + 256 * g + 65536 * b


class Control:
    def __init__(self, kind, name, x, y, w, h, tooltip, **extra):
        self.kind = kind
        self.name = name
        self.x, self.y, self.w, self.h = x, y, w, h
        self.tooltip = tooltip
        self.extra = extra

    @property
    def shown_at(self):
        """Left edge where the control's window stands: every kind but buttons sits 6 pixels right."""
        return self.x if self.kind == "button" else self.x + 6

    def fields(self):
        e = self.extra
        geometry = [self.x, self.y, self.w, self.h]
        if self.kind == "button":
            return [self.name] + geometry + [self.tooltip]
        if self.kind == "text":
            return [self.name, FONT, "FALSE", "FALSE", e["height"], e["color"]] + geometry + [e["text"], self.tooltip]
        if self.kind == "hscroll":
            return [self.name, FONT, e["bold"], "FALSE", e["height"], e["color"]] + geometry + [self.tooltip]
        if self.kind == "vscroll":
            return ([self.name, FONT, e["bold"], "FALSE", e["height"], e["active"], e["inactive"]] + geometry
                    + [e["step"], e["period"], e["direction"], e["mode"], e["align"], self.tooltip])
        if self.kind == "label":
            return ([self.name, FONT, "TRUE", "FALSE", e["height"], e["active"], e["inactive"]] + geometry
                    + [self.tooltip])
        raise ValueError(self.kind)


SECTIONS = [("button", "BUTTONINFO"), ("text", "TEXTINFO"), ("hscroll", "HSCROLLINFO"),
            ("vscroll", "VSCROLLINFO"), ("label", "LABELINFO")]


class Skin:
    def __init__(self, name, width, height, outline, pictures, controls, comment):
        """pictures: SCREEN key -> file name (in the gui folder); keys left out take Main's picture."""
        self.name = name
        self.width = width
        self.height = height
        self.outline = outline
        self.pictures = pictures
        self.controls = controls
        self.comment = comment

    def control(self, name):
        return next(c for c in self.controls if c.name == name)

    def ini_text(self):
        lines = ["; " + line for line in self.comment]
        lines += ["", "[SCREEN]"]
        for key in ("Main", "Mask", "Over", "Down", "Disabled"):
            if key in self.pictures:
                lines.append("%s=%s" % (key, self.pictures[key]))
        for kind, section in SECTIONS:
            entries = [c for c in self.controls if c.kind == kind]
            if not entries:
                continue
            lines += ["", "[%s]" % section]
            for i, c in enumerate(entries, 1):
                lines.append("%d=%s" % (i, ",".join(str(f) for f in c.fields())))
        return "\r\n".join(lines) + "\r\n"


# Colours shared by the drawings and the skin files.
AMBER = (255, 196, 96)
TICKER = (150, 232, 214)
CAPTION = (96, 170, 176)
PAPER_TEXT = (206, 236, 226)
PAPER_TEXT_OFF = (112, 132, 128)
TITLE_GOLD = (250, 222, 150)
TITLE_OFF = (150, 150, 150)

TRANSPORT = [
    ("BUTTON_PREV", "prev", "Previous song"),
    ("BUTTON_RW", "rw", "Back 10 seconds"),
    ("BUTTON_PLAY", "play", "Play"),
    ("BUTTON_PAUSE", "pause", "Pause"),
    ("BUTTON_STOP", "stop", "Stop"),
    ("BUTTON_FF", "ff", "Forward 10 seconds"),
    ("BUTTON_NEXT", "next", "Next song"),
]
# Info buttons open the dialog whose descriptor name equals the button's name.
INFO_BUTTONS = [
    ("BUTTON_INFOCREDITS", "info", "Credits"),
    ("BUTTON_INFONOTES", "note", "Notes on this song"),
    ("BUTTON_INFOTECH", "wave", "How this song was made"),
]


def label(name, x, y, w, h, tooltip, caption, scale=1):
    return Control("label", name, x, y, w, h, tooltip, height=-11, active=colorref(*CAPTION),
                   inactive=colorref(128, 128, 128), caption=caption, scale=scale)


def main_skin():
    outline = Outline([(0, 16, 420, 204, 24), (22, 0, 214, 44, 14)])
    controls = []
    for i, (name, glyph, tip) in enumerate(TRANSPORT):
        controls.append(Control("button", name, 22 + 44 * i, 124, 38, 34, tip, glyph=glyph))
    for i, (name, glyph, tip) in enumerate(INFO_BUTTONS):
        controls.append(Control("button", name, 336 + 26 * i, 124, 24, 34, tip, glyph=glyph))
    controls.append(Control("button", "BUTTON_MINIMIZE", 350, 24, 26, 18, "Minimise", glyph="minimise"))
    controls.append(Control("button", "BUTTON_EXIT", 378, 24, 26, 18, "Exit", glyph="exit"))
    digits = colorref(*AMBER)
    controls.append(Control("text", "TEXT_SONGNUM", 20, 62, 56, 26, "Song number", height=-22, color=digits, text="00"))
    controls.append(Control("text", "TEXT_ACTTIME", 118, 62, 86, 26, "Elapsed time", height=-22, color=digits,
                            text="00:00"))
    controls.append(Control("text", "TEXT_TOTALTIME", 230, 62, 86, 26, "Total time", height=-22, color=digits,
                            text="00:00"))
    controls.append(Control("hscroll", "TEXT_SCROLLER", 22, 93, 368, 17, "About this song", bold="TRUE",
                            height=-13, color=colorref(*TICKER)))
    controls.append(Control("label", "LABEL_TITLE", 36, 6, 164, 22, "Nightferry - a musicdisk", height=-12,
                            active=colorref(*TITLE_GOLD), inactive=colorref(*TITLE_OFF),
                            caption="NIGHTFERRY", scale=2))
    controls.append(label("LABEL_SONG", 18, 52, 56, 10, "Song number", "SONG"))
    controls.append(label("LABEL_ELAPSED", 116, 52, 86, 10, "Elapsed time", "ELAPSED"))
    controls.append(label("LABEL_TOTAL", 228, 52, 86, 10, "Total time", "TOTAL"))
    controls.append(label("LABEL_FOOTER", 22, 170, 230, 14, "Seven songs - all made by our own generators",
                          "SEVEN SONGS FOR THE LAST CROSSING"))
    pictures = {"Main": "main.bmp", "Mask": "main_mask.gif", "Over": "main_over.gif", "Down": "main_down.gif",
                "Disabled": "main_off.gif"}
    comment = ["Nightferry: the main window.",
               "Pictures are relative to this folder; pure white in the mask is cut away."]
    return Skin("skin", 420, 204, outline, pictures, controls, comment)


def splash_skin():
    outline = Outline([(0, 22, 360, 200, 20), (256, 0, 336, 80, 40)])
    comment = ["Nightferry: the splash screen. Only Main and Mask are given,",
               "so the hover, pressed and inactive looks are the Main picture."]
    return Skin("splash", 360, 200, outline, {"Main": "splash.gif", "Mask": "splash_mask.gif"}, [], comment)


def close_button(x, y, w=24, h=20):
    return Control("button", "BUTTON_CLOSE", x, y, w, h, "Close", glyph="exit")


def credits_skin():
    outline = Outline([(0, 0, 260, 250, 16)], [(0, 125, 12), (260, 125, 12)])
    controls = [
        close_button(226, 8, 24, 22),
        Control("vscroll", "TEXT_SCROLLER", 18, 40, 222, 194, "Credits", bold="FALSE", height=-13,
                active=colorref(*PAPER_TEXT), inactive=colorref(*PAPER_TEXT_OFF), step=1, period=40,
                direction=1, mode="scroll", align="center"),
    ]
    pictures = {"Main": "credits.bmp", "Mask": "credits_mask.gif", "Over": "credits_over.gif",
                "Down": "credits_down.gif", "Disabled": "credits_off.gif"}
    comment = ["Nightferry: the credits, rolling upwards again and again."]
    return Skin("credits", 260, 250, outline, pictures, controls, comment)


def notes_skin():
    outline = Outline([(0, 14, 300, 210, 16), (16, 0, 176, 34, 10)])
    controls = [
        close_button(262, 22, 26, 18),
        Control("vscroll", "TEXT_SCROLLER", 16, 46, 264, 148, "Notes on the current song", bold="FALSE",
                height=-13, active=colorref(*PAPER_TEXT), inactive=colorref(*PAPER_TEXT_OFF), step=2, period=30,
                direction=1, mode="stay", align="left"),
        Control("label", "LABEL_NOTES", 22, 7, 142, 20, "Notes follow the song that plays", height=-12,
                active=colorref(*TITLE_GOLD), inactive=colorref(*TITLE_OFF), caption="SONG NOTES", scale=2),
    ]
    pictures = {"Main": "notes.gif", "Mask": "notes_mask.gif", "Over": "notes_over.gif", "Down": "notes_down.gif",
                "Disabled": "notes_off.gif"}
    comment = ["Nightferry: notes on the current song; the text rises once and stays."]
    return Skin("notes", 300, 210, outline, pictures, controls, comment)


def tech_skin():
    outline = Outline([(0, 0, 340, 76, 20)])
    controls = [
        close_button(306, 26, 24, 24),
        Control("vscroll", "TEXT_SCROLLER", 70, 16, 224, 44, "How the current song was made", bold="TRUE",
                height=-13, active=colorref(*TICKER), inactive=colorref(*PAPER_TEXT_OFF), step=2, period=30,
                direction=0, mode="scroll", align="left"),
        Control("label", "LABEL_TECH", 12, 32, 44, 12, "Tech sheet", height=-11, active=colorref(*CAPTION),
                inactive=colorref(128, 128, 128), caption="TECH", scale=1),
    ]
    comment = ["Nightferry: the tech sheet, two lines moving leftwards.",
               "No Disabled picture: the inactive look is the Main picture."]
    pictures = {"Main": "tech.gif", "Mask": "tech_mask.gif", "Over": "tech_over.gif", "Down": "tech_down.gif"}
    return Skin("tech", 340, 76, outline, pictures, controls, comment)


def all_skins():
    return [main_skin(), splash_skin(), credits_skin(), notes_skin(), tech_skin()]
