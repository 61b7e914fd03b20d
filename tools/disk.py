"""The demo disk's descriptor: music\\config.dat and the files it includes.

Song facts in the texts (tempo, key, length, patterns) come from the generators' own tables,
so the notes always describe the music that is on the disk.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import modgen  # noqa: E402
import streams  # noqa: E402

MODULES = {s.file: s for s in modgen.SONGS}

# (file, title, description for the ticker, notes lines)
SONGS = [
    ("song01.mod", "Harbour Lights",
     "a square-wave lead over a walking saw bass",
     ["The ferry leaves at dusk.", "A square lead sings over", "a saw bass that walks the",
      "quay, four bars at a time."]),
    ("song02.mod", "Paper Comets",
     "plucked saw notes and quick pulse arpeggios",
     ["Bright and quick: plucked", "notes that fade as they", "fall, over arpeggios that",
      "spell each chord."]),
    ("song03.ogg", "Night Crossing",
     "a slow pad, the sea and a few bells, as an Ogg Vorbis stream",
     ["Open water. Four slow", "chords, the sound of the", "sea and a handful of bells.",
      "This one is a stream."]),
    ("song04.mod", "Slow Tide",
     "a soft triangle lead, an organ pad and a half-time beat",
     ["The calm middle of the", "night: an organ pad holds", "each chord while a soft",
      "lead drifts above it."]),
    ("song05.wav", "Glass Bells",
     "a short bell figure over a drone, as a 22 kHz WAV stream",
     ["A bell figure rising over", "a fifth, recorded as a", "plain WAV file at half",
      "the usual rate."]),
    ("song06.mod", "Engine Room",
     "a saw lead, broken beats and a fill before every turn",
     ["Below deck the engines", "run: a saw lead, broken", "beats and a drum fill", "before every turn."]),
    ("song07.mp3", "First Light",
     "a rising bell line over a slow drone, as a 32 kHz MP3 stream",
     ["Dawn over the harbour:", "bells climbing over a low", "drone, one voice, encoded", "as a variable-rate MP3."]),
]

TARGETS = [("notes", "BUTTON_INFONOTES"), ("tech", "BUTTON_INFOTECH")]

DIALOGS = [
    # file, name, title, text, dx, dy
    ("gui\\credits.ini", "BUTTON_INFOCREDITS", "Nightferry - credits", None, 424, 0),
    ("gui\\notes.ini", "BUTTON_INFONOTES", "Nightferry - song notes",
     "Notes on the song that plays appear here.", -302, 0),
    ("gui\\tech.ini", "BUTTON_INFOTECH", "Nightferry - tech sheet",
     "How each song was made appears here.", 40, 210),
]

CREDITS = [
    "NIGHTFERRY", "", "a musicdisk for the night boat", "", "", "- music -",
    "seven songs composed in code:", "four modules written by", "our module generator,",
    "three streams synthesised", "sample by sample", "", "- pictures -", "every window drawn",
    "pixel by pixel in code", "", "- player -", "the musicdisk team", "", "",
    "press the note button", "for notes on each song", "", "thanks for listening", "", "", "",
]


def minutes(seconds):
    seconds = int(round(seconds))
    return "%d:%02d" % (seconds // 60, seconds % 60)


def song_facts(file):
    """(length in seconds, one line of how it was made, a second such line)."""
    if file in MODULES:
        s = MODULES[file]
        patterns, orders = modgen.Composer(s).build()
        return (s.seconds(),
                "4-channel module, %d synthesised samples, speed %d at %d BPM"
                % (len(modgen.INSTRUMENTS), s.speed, s.bpm),
                "%s, %d orders of %d patterns, %s, composed by modgen.py"
                % (s.key_name, len(orders), len(patterns), minutes(s.seconds())))
    if file.endswith(".ogg"):
        return (streams.NIGHT_SECONDS, "Ogg Vorbis stream, 44100 Hz stereo, quality %s" % streams.OGG_QUALITY,
                "Am F C G, sea noise and bells, %s, synthesised by streams.py" % minutes(streams.NIGHT_SECONDS))
    if file.endswith(".mp3"):
        return (streams.LIGHT_SECONDS, "MP3 stream (MPEG-1 layer III), %d Hz mono, VBR quality %s, LAME and ID3v2 tags"
                % (streams.MP3_RATE, streams.MP3_QUALITY),
                "a rising bell line over a drone, %s, synthesised by streams.py" % minutes(streams.LIGHT_SECONDS))
    return (streams.BELLS_SECONDS, "WAV stream, 16-bit stereo at %d Hz" % streams.WAV_RATE,
            "a pentatonic bell figure over a fifth, %s, synthesised by streams.py" % minutes(streams.BELLS_SECONDS))


def lines(*rows):
    return "\r\n".join(rows) + "\r\n"


def config_dat():
    return lines(
        "# Nightferry, a musicdisk for the night boat.",
        "# The descriptor: key=value lines, no blanks around the '='.",
        "# Lines starting with '#' are comments, lines starting with '@' read another file.",
        "",
        "# Songs, their ticker texts and their notes:",
        "@music\\songs.dat",
        "# The info dialogs and where the per-song texts go:",
        "@music\\dialogs.dat",
        "",
        "# Played while the splash screen is up, until the first song starts.",
        "splash.music.file=music\\splash.mod",
        "splash.time=2500",
    )


def songs_dat():
    rows = ["# Songs in playing order: modules and streams alike.", ""]
    for n, (file, title, desc, _) in enumerate(SONGS, 1):
        seconds = song_facts(file)[0]
        rows.append("music.file.%02d=music\\%s" % (n, file))
        rows.append("music.desc.%02d=%02d  %s  -  %s  (%s)" % (n, n, title, desc, minutes(seconds)))
    rows += ["", "# Long descriptions, one text per song for each target:", "@music\\notes.dat"]
    return lines(*rows)


def notes_dat():
    rows = ["# A '|' starts a new line in the dialogs' scrolling texts."]
    for n, (file, title, _, notes) in enumerate(SONGS, 1):
        seconds, how, detail = song_facts(file)
        rows.append("")
        rows.append("music.longdesc.notes.%02d=%s|%s||%s||%s  -  song %02d of %02d"
                    % (n, title.upper(), "-" * len(title), "|".join(notes), minutes(seconds), n, len(SONGS)))
        rows.append("music.longdesc.tech.%02d=%s: %s|%s" % (n, title, how, detail))
    return lines(*rows)


def dialogs_dat():
    rows = ["# Info dialogs: skin file, name (the info button of that name opens it),",
            "# window title, text, and offset from the main window's top-left corner."]
    for n, (file, name, title, text, dx, dy) in enumerate(DIALOGS, 1):
        rows.append("")
        rows.append("dialog.file.%02d=%s" % (n, file))
        rows.append("dialog.name.%02d=%s" % (n, name))
        rows.append("dialog.title.%02d=%s" % (n, title))
        rows.append("dialog.text.%02d=%s" % (n, text if text is not None else "|".join(CREDITS)))
        rows.append("dialog.dx.%02d=%d" % (n, dx))
        rows.append("dialog.dy.%02d=%d" % (n, dy))
    rows += ["", "# Per-song texts: target name (used in music.longdesc.<name>.NN) and its dialog."]
    for n, (target, dialog) in enumerate(TARGETS, 1):
        rows.append("longdesc.target.name.%02d=%s" % (n, target))
        rows.append("longdesc.target.dialog.%02d=%s" % (n, dialog))
    return lines(*rows)


def write_all(musicdir):
    os.makedirs(musicdir, exist_ok=True)
    written = []
    for name, text in (("config.dat", config_dat()), ("songs.dat", songs_dat()), ("notes.dat", notes_dat()),
                       ("dialogs.dat", dialogs_dat())):
        path = os.path.join(musicdir, name)
        with open(path, "wb") as f:
            f.write(text.encode("ascii"))
        written.append(path)
    return written
