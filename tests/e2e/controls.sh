#!/usr/bin/env bash
# How soon the real player's controls are heard, and its song changes: controls.sh DIST_DIR [WORK_DIR]
# On the stepped disk (song 01: 20 s stepping up 20 Hz every 2 s from 300 Hz; song 02: a 6 s MP3 of
# 1000 Hz) with a Stop button added, every control is clicked while the desktop's sound is recorded:
# Pause and Play, 10 s forward and back, Next, Pause then Next, Stop then Play; then song 01 and
# song 02 end by themselves. From the recording it prints how long after each click its effect was
# heard, and fails when that is past 150 ms, when a paused, stopped or left song is still heard after
# that, and when the audio library's own count of silence at a song change (its debug output) is
# more than 10 ms. MD_TIMING_REPORT_ONLY=1 (Wine under emulation) reports these without failing.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

DISK=$WORK/disk
bash "$E2E_DIR/make_disk.sh" "$DISK" 0 20 6 stepped
sed -i '/^5=BUTTON_FF/a 6=BUTTON_STOP,250,20,40,30,Stop' "$DISK/gui/skin.ini"
start_player "$DISK"

main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
wait_for 30 main_up || fail "the main window did not show"
read -r _ MX MY _ < <(wintext Musicdisk)
xdotool mousemove 0 0
song_is() { [ "$(wintext Musicdisk TEXT_SONGNUM)" = "$1" ]; }
seconds() { wintext Musicdisk TEXT_ACTTIME | awk -F: '{ print $1 * 60 + $2 }'; }
at_least() { [ "$(seconds)" -ge "$1" ]; }
# click NAME X Y: a click on a button of the main window, marked in the recording.
click() { mark "$1"; xdotool mousemove $((MX + $2)) $((MY + $3)) click 1 mousemove 0 0; }
wait_for 10 at_least 2 || fail "song 01 does not play"

click pause 170 35; sleep 1
click play 120 35; sleep 1.5
click forward 70 35; sleep 1.5
click back 30 35; sleep 1.5
click next 220 35
wait_for 6 song_is 02 || fail "BUTTON_NEXT did not move to song 02"
sleep 1.5
click pause2 170 35; sleep 1
click next2 220 35
wait_for 6 song_is 01 || fail "BUTTON_NEXT while paused did not move to song 01"
sleep 1.5
click stop 270 35; sleep 1
click play2 120 35
wait_for 6 song_is 01 || fail "BUTTON_PLAY after BUTTON_STOP did not start song 01"
sleep 1.5
click forward2 70 35
wait_for 12 song_is 02 || fail "song 01 did not end by itself and move on to song 02"
wait_for 10 song_is 01 || fail "song 02 did not end by itself and move on to song 01"
sleep 1.5
pass "every control clicked, and songs 01 and 02 ended by themselves"
escape_ends_player

python3 - "$SOUND" "$WORK/marks" "$E2E_DIR" "$WORK/player.log" <<'PY' || fail "controls heard late, or songs heard after they were left"
import os, re, sys
sys.path.insert(0, sys.argv[3])
import sound
RATE = sound.RATE
samples = sound.read(sys.argv[1])
marks = [(name, int(float(t) * RATE)) for name, t in (line.split() for line in open(sys.argv[2]))]
report_only = os.environ.get("MD_TIMING_REPORT_ONLY") == "1"
LIMIT = int(0.15 * RATE)
problems = []

def check(ok, text, timing=True):
    print(("ok: " if ok else "FAIL: ") + text)
    if not ok and not (timing and report_only):
        problems.append(text)

def step(hz):
    return 300 <= hz <= 480 and abs((hz - 300) / 20 - round((hz - 300) / 20)) < 0.3

def near(target):
    return lambda hz: abs(hz - target) < target / 30

# What each click must make heard, given the tone heard before it: silence, sound again, or a tone.
effects = {
    "pause": lambda old: "quiet", "pause2": lambda old: "quiet", "stop": lambda old: "quiet",
    "play": lambda old: "sound", "play2": lambda old: "sound",
    "forward": lambda old: lambda hz: step(hz) and hz >= old + 70,
    "forward2": lambda old: lambda hz: step(hz) and hz >= old + 70,
    "back": lambda old: lambda hz: step(hz) and hz <= old - 70,
    "next": lambda old: near(1000), "next2": lambda old: near(300),
}
latencies = []
playing = 0  # the tone of the song playing before the click, paused or not
for k, (name, at) in enumerate(marks):
    old = sound.tone_at(samples, at)
    playing = old or playing
    heard = sound.heard_from(samples, at, effects[name](old))
    if heard is None:
        check(False, "%s: no effect heard within a second of the click" % name)
        continue
    latencies.append("%s %.0f" % (name, (heard - at) * 1000 / RATE))
    check(heard - at <= LIMIT, "%s heard %.0f ms after the click" % (name, (heard - at) * 1000 / RATE))
    # Nothing of a paused, stopped or left song once the click's effect is due, up to the next one.
    begin = max(heard, at + LIMIT)
    rest = samples[begin:marks[k + 1][1] if k + 1 < len(marks) else len(samples)]
    if name in ("pause", "pause2", "stop"):
        loud = next((i for i, v in enumerate(rest) if abs(v) >= sound.QUIET), None)
        check(loud is None, "%s: silent until the next click%s" % (
            name, "" if loud is None else ", but sound %.0f ms after it" % ((begin + loud - at) * 1000 / RATE)))
    elif name in ("next", "next2"):
        again = [a for a, b, hz, _ in sound.timeline(rest) if abs(hz - playing) <= 10 and b - a >= 0.05]
        check(not again, "%s: the song left (%.0f Hz) is not heard after it" % (name, playing))
print("latencies from click to sound (ms): " + ", ".join(latencies))

# The songs that ended by themselves: the library's count of the silence it mixed between them, and
# the longest quiet stretch heard where the tone changed.
log = open(sys.argv[4], errors="replace").read()
counts = [int(n) for n in re.findall(r"audio: (\d+) frames of silence between two channels", log)]
check(len(counts) >= 2, "the library told %d changes of song at an end (2 expected)" % len(counts), timing=False)
for n in counts:
    check(n <= RATE // 100, "the library mixed %.1f ms of silence between two songs" % (n * 1000 / RATE))
after = marks[-1][1]
segs = [s for s in sound.timeline(samples[after:]) if s[2] != 0]
for a, b in zip(segs, segs[1:]):
    if near(1000)(a[2]) != near(1000)(b[2]):
        middle = after + int(a[1] * RATE)
        around = samples[middle - RATE // 10:middle + RATE // 10]
        run = longest = 0
        for v in around:
            run = run + 1 if abs(v) < sound.QUIET else 0
            longest = max(longest, run)
        print("heard from %d Hz to %d Hz: at most %.1f ms of silence" % (a[2], b[2], longest * 1000 / RATE))
sys.exit(1 if problems else 0)
PY
pass "controls heard at once and songs followed each other"
no_dropouts
echo "e2e controls: all checks passed"
