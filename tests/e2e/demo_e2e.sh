#!/usr/bin/env bash
# The demo command end to end on the demo disk: demo_e2e.sh DIST_DIR [WORK_DIR]
# scripts/demo runs the player from DIST_DIR on a copy of demo/ in a desktop of its own with its
# sound captured; then the splash screen, the main window and the credits dialog are checked against
# the disk's own pictures and descriptor (size, place, pixels), song 01 must be audible after the
# main window showed (its number and length on the display), the splash music before it, with no
# dropouts, and Escape must have ended the player with exit code 0. DIST_DIR also holds
# md_wintext.exe, the window reader.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DIST=$(cd "$1" && pwd)
WORK=${2:-$(mktemp -d)}
mkdir -p "$WORK"; WORK=$(cd "$WORK" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$DIST/md_wintext.exe" ] || fail "$DIST/md_wintext.exe (the window reader) is missing"
# While the main window shows: the song number and total time that the player wrote.
probe="for c in TEXT_SONGNUM TEXT_TOTALTIME; do '${WINE:-/usr/lib/wine/wine64}' '$DIST/md_wintext.exe' Musicdisk \$c | tr -d '\r'; done"
status=0
MD_DEMO_BIN=$DIST MD_DEMO_OUT=$WORK MD_DEMO_HEADLESS=1 MD_DEMO_PROBE=$probe "$ROOT/scripts/demo" >"$WORK/demo.log" 2>&1 || status=$?
cat "$WORK/demo.log"
[ "$status" -eq 0 ] || fail "scripts/demo ended with status $status"
OUT=$WORK/out
for f in splash.png main.png dialog.png audio.wav windows.txt marks.txt; do
  [ -s "$OUT/$f" ] || fail "scripts/demo made no $f"
  grep -qF "$OUT/${f%.txt}" "$WORK/demo.log" || [ "${f##*.}" = txt ] || fail "scripts/demo did not print the path of $f"
done
grep -qx 'exit_code 0' "$OUT/marks.txt" || fail "the player's exit code: $(grep exit_code "$OUT/marks.txt")"

# Pixels as raw RGB bytes for the checks below.
rgb() { convert "$1" -depth 8 rgb:"$2"; }
GUI=$ROOT/demo/gui
for p in splash.gif splash_mask.gif main.bmp main_off.gif main_mask.gif credits.bmp credits_off.gif credits_mask.gif; do
  rgb "$GUI/$p" "$WORK/$p.rgb"
done
for p in splash main dialog; do rgb "$OUT/$p.png" "$WORK/shot-$p.rgb"; done

python3 - "$WORK" "$ROOT/demo" <<'PY' || fail "windows or sound differ from the demo disk"
import array, os, re, sys
work, disk = sys.argv[1], sys.argv[2]
out = os.path.join(work, "out")
screen_w, screen_h = 1024, 768
failures = []

def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)

def load(name):
    return open(os.path.join(work, name), "rb").read()

def size(picture):
    # Every picture of the disk is BMP or GIF; ImageMagick wrote its raw RGB, the header gives the size.
    data = open(os.path.join(disk, "gui", picture), "rb").read()
    if data[:2] == b"BM":
        return int.from_bytes(data[18:22], "little"), abs(int.from_bytes(data[22:26], "little", signed=True))
    return int.from_bytes(data[6:8], "little"), int.from_bytes(data[8:10], "little")

windows = {}
for line in open(os.path.join(out, "windows.txt")):
    name, *numbers = line.split()
    windows[name] = tuple(int(n) for n in numbers)

def descriptor():
    values = {}
    for name in sorted(os.listdir(os.path.join(disk, "music"))):
        if name.endswith(".dat"):
            for line in open(os.path.join(disk, "music", name), encoding="latin-1"):
                line = line.rstrip("\r\n")
                if line and line[0] not in "#@" and "=" in line:
                    key, value = line.split("=", 1)
                    values[key] = value
    return values

def matching(shot, shot_w, box, looks, mask, w, h):
    """Share of the window's pixels (non-white in the mask) that show one of the looks, where
    box is the window's place inside the screenshot."""
    bx, by = box
    inside = same = 0
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 3
            if mask[i:i + 3] == b"\xff\xff\xff":
                continue
            inside += 1
            j = ((by + y) * shot_w + bx + x) * 3
            got = shot[j:j + 3]
            if any(all(abs(a - b) <= 8 for a, b in zip(got, look[i:i + 3])) for look in looks):
                same += 1
    return same / max(inside, 1)

def centred(w, h):
    return ((screen_w - w) // 2, (screen_h - h) // 2)

# Splash: the size of its picture, centred, showing its picture.
w, h = size("splash.gif")
sx, sy, sw, sh = windows["splash"]
check((sw, sh) == (w, h), "splash is %dx%d like splash.gif (%dx%d)" % (sw, sh, w, h))
check((sx, sy) == centred(w, h), "splash at %d,%d, centred at %d,%d" % ((sx, sy) + centred(w, h)))
share = matching(load("shot-splash.rgb"), sw, (0, 0), [load("splash.gif.rgb")], load("splash_mask.gif.rgb"), w, h)
check(share > 0.95, "splash shows splash.gif (%.1f%% of its pixels)" % (100 * share))

# Main window: the size of main.bmp, centred, its look (normal or inactive) around the controls.
w, h = size("main.bmp")
mx, my, mw, mh = windows["main"]
check((mw, mh) == (w, h), "main window is %dx%d like main.bmp (%dx%d)" % (mw, mh, w, h))
check((mx, my) == centred(w, h), "main window at %d,%d, centred at %d,%d" % ((mx, my) + centred(w, h)))
share = matching(load("shot-main.rgb"), mw, (0, 0), [load("main.bmp.rgb"), load("main_off.gif.rgb")],
                 load("main_mask.gif.rgb"), w, h)
check(share > 0.75, "main window shows its skin (%.1f%% of its pixels)" % (100 * share))

# The credits dialog: its skin's size, placed by dialog.dx/dy from the main window, its picture.
values = descriptor()
number = next(k.rsplit(".", 1)[1] for k, v in values.items()
              if k.startswith("dialog.file.") and v.endswith("credits.ini"))
dx, dy = int(values["dialog.dx." + number]), int(values["dialog.dy." + number])
w, h = size("credits.bmp")
cx, cy, cw, ch = windows["dialog"]
check((cw, ch) == (w, h), "credits dialog is %dx%d like credits.bmp (%dx%d)" % (cw, ch, w, h))
check((cx, cy) == (mx + dx, my + dy), "credits dialog at %d,%d = main window + (%d,%d)" % (cx, cy, dx, dy))
left, top = max(min(mx, cx), 0), max(min(my, cy), 0)
right = min(max(mx + mw, cx + cw), screen_w)
share = matching(load("shot-dialog.rgb"), right - left, (cx - left, cy - top),
                 [load("credits.bmp.rgb"), load("credits_off.gif.rgb")], load("credits_mask.gif.rgb"), w, h)
check(share > 0.6, "credits dialog shows its skin (%.1f%% of its pixels)" % (100 * share))

# Sound: 16-bit stereo at 44.1 kHz. The splash music before the main window showed, song 01 after.
raw = array.array("h", open(os.path.join(out, "audio.raw"), "rb").read())
marks = dict(line.split() for line in open(os.path.join(out, "marks.txt")))
mark = int(marks["main_shown_at_byte"]) // 2
second = 2 * 44100

def rms(samples):
    return (sum(s * s for s in samples) / max(len(samples), 1)) ** 0.5 / 32768

# Song 01 is what plays: its number shows, and its length is the one its description gives.
shown = open(os.path.join(out, "probe.txt")).read().split()
length = re.search(r"\((\d+):(\d\d)\)\s*$", values["music.desc.01"])
expected = ["01", "%02d:%s" % (int(length.group(1)), length.group(2))]
check(shown == expected, "display shows song and total time %s, expected %s" % (shown, expected))

before = raw[max(mark - second, 0):mark]
after = raw[mark:mark + 2 * second]
check(len(after) >= second, "%.1f s of sound captured after the main window showed" % (len(after) / second))
check(rms(before) > 0.02, "splash music audible before the main window (RMS %.3f)" % rms(before))
check(rms(after) > 0.02, "song 01 audible after the main window showed (RMS %.3f)" % rms(after))
sys.exit(1 if failures else 0)
PY
# The demo's songs are music: a dropout shows as digital silence cutting loud sound. The splash
# music gives way to song 01 around the moment the main window showed.
awk '$1 == "main_shown_at_byte" { printf "main_shown %.3f\n", $2 / 4 / 44100 }' "$OUT/marks.txt" >"$WORK/marks"
python3 "$ROOT/tests/e2e/sound.py" dropouts "$OUT/audio.raw" --music --marks "$WORK/marks" --player-log "$OUT/player.log" ||
  fail "dropouts in the sound"
echo "demo end to end: all checks passed"
