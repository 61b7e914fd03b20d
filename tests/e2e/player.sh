#!/usr/bin/env bash
# End-to-end run of the real player: player.sh DIST_DIR [WORK_DIR]
# DIST_DIR holds Musicdisk.exe, BASS.dll and md_wintext.exe. A musicdisk is generated in WORK_DIR
# whose sound tells where each song is (make_disk.sh's "stepped" disk: song 01 steps up 20 Hz every
# 2 s, song 02 a 12 s MP3 tone, a splash music of its own); the player runs on a desktop of its own
# whose sound server plays in real time and is recorded, and xdotool drives it. What was heard is
# then checked by the clock: the splash music for the splash's time, pause as long as it was held
# and play on from where it was, 10-second seeks forward and back, song 02's length, the loop to
# song 01, and no dropouts. Screenshots stay in WORK_DIR.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

# --- the musicdisk --------------------------------------------------------------------------
DISK=$WORK/disk
SPLASH_MS=1500
bash "$E2E_DIR/make_disk.sh" "$DISK" $SPLASH_MS 60 12 stepped

start_player "$DISK"

splash_up() { [ "$(wintext 'Welcome to Quillmere' | cut -d' ' -f1)" = 1 ]; }
wait_for 30 splash_up || fail "the splash screen did not show"
mark splash_seen
shot splash; S=$SHOT
read -r _ SX SY SW SH < <(wintext 'Welcome to Quillmere')
[ "$SX $SY $SW $SH" = "412 334 200 100" ] || fail "splash not centred: $SX $SY $SW $SH"
[ "$(pixel "$S" 512 384)" = 806040 ] || fail "splash pixels: $(pixel "$S" 512 384)"
pass "splash shown centred with its picture"

main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
wait_for 20 main_up || fail "the main window did not show"
splash_up && fail "the splash is still visible with the main window"
wintext 'Welcome to Quillmere' >/dev/null || fail "the splash window was destroyed, not hidden"
pass "splash hidden after its time, main window shown"

read -r _ MX MY MW MH < <(wintext Musicdisk)
[ "$MX $MY $MW $MH" = "362 309 300 150" ] || fail "main window not centred: $MX $MY $MW $MH"
# The pointer away from the buttons, so no hover look shows.
xdotool mousemove 0 0
sleep 0.5
shot main; M=$SHOT
for probe in "5 5 203040" "290 140 203040" "30 35 4080c0" "70 35 c08040" "120 35 c000c0" "170 35 00c0c0" "220 35 c0c000"; do
  set -- $probe
  got=$(pixel "$M" $((MX + $1)) $((MY + $2)))
  [ "$got" = "$3" ] || fail "main window pixel ($1,$2) is $got, not $3"
done
pass "main window centred with the skin's pixels"

[ "$(wintext Musicdisk TEXT_SONGNUM)" = 01 ] || fail "song number is $(wintext Musicdisk TEXT_SONGNUM)"
[ "$(wintext Musicdisk TEXT_TOTALTIME)" = 01:00 ] || fail "total time is $(wintext Musicdisk TEXT_TOTALTIME)"
e1=$(wintext Musicdisk TEXT_ACTTIME); sleep 2.2; e2=$(wintext Musicdisk TEXT_ACTTIME)
[[ "$e2" > "$e1" ]] || fail "elapsed time did not advance: $e1 -> $e2"
pass "song 01 plays (total 01:00), elapsed $e1 -> $e2"

# click NAME X Y: a click on a button of the main window, marked in the recording.
click() { mark "$1"; xdotool mousemove $((MX + $2)) $((MY + $3)) click 1 mousemove 0 0; }
elapsed() { wintext Musicdisk TEXT_ACTTIME; }

click pause 170 35
sleep 0.8
p1=$(elapsed); sleep 1.2; p2=$(elapsed)
[ "$p1" = "$p2" ] || fail "elapsed time moved while paused: $p1 -> $p2"
pass "BUTTON_PAUSE freezes the elapsed time at $p1"
click play 120 35
sleep 3

click forward 70 35
sleep 3
click back 30 35
sleep 3

song_is() { [ "$(wintext Musicdisk TEXT_SONGNUM)" = "$1" ]; }
click next 220 35
wait_for 6 song_is 02 || fail "BUTTON_NEXT: song number is $(wintext Musicdisk TEXT_SONGNUM)"
[ "$(wintext Musicdisk TEXT_TOTALTIME)" = 00:12 ] || fail "song 02 total is $(wintext Musicdisk TEXT_TOTALTIME)"
pass "BUTTON_NEXT moves to song 02"
shot next
wait_for 20 song_is 01 || fail "after the last song ended, song 01 did not start"
pass "after the last song ended, song 01 started again"
sleep 2.5
shot wrapped

escape_ends_player

# --- what was heard, by the clock -------------------------------------------------------------
python3 - "$SOUND" "$WORK/marks" "$E2E_DIR" $SPLASH_MS <<'PY' || fail "what was heard does not follow the buttons"
import sys
sys.path.insert(0, sys.argv[3])
import sound
samples = sound.read(sys.argv[1])
marks = {}
for line in open(sys.argv[2]):
    name, t = line.split()
    marks[name] = float(t)
splash_ms = int(sys.argv[4])
# Segments of at least 0.1 s; the windows across a change of tone give short stray estimates.
# A tone broken by a dropout still counts as one stretch for the timing (the dropout check below
# reports the break itself).
segs = []
for a, b, hz, _ in sound.timeline(samples):
    if b - a < 0.1:
        continue
    if segs and segs[-1][2] == hz and a - segs[-1][1] <= 0.15:
        segs[-1] = (segs[-1][0], b, hz)
    else:
        segs.append((a, b, hz))
print("heard:", " ".join("%.2f-%.2f:%d" % s for s in segs))
problems = []
def check(ok, text):
    print(("ok: " if ok else "FAIL: ") + text)
    if not ok:
        problems.append(text)

def step(hz):
    """The 2-second step of song 01 that a frequency belongs to, or None."""
    k, rest = divmod(hz - 300, 20)
    return k if rest == 0 and 0 <= k < 30 else None

def first(after, pred):
    return next((s for s in segs if s[0] >= after - 0.05 and pred(s)), None)

splash = first(0, lambda s: s[2] == 200)
check(splash is not None, "the splash music (200 Hz) was heard")
song1 = first(splash[1] if splash else 0, lambda s: s[2] != 0)
if splash and song1:
    heard = splash[1] - splash[0]
    # The first sound of a run reaches the speakers up to a quarter second late under Wine.
    check(splash_ms / 1000 - 0.25 <= heard <= splash_ms / 1000 + 3,
          "the splash music played %.2f s, for the splash's %.1f s and until song 01 started" % (heard, splash_ms / 1000))
    check(song1[2] == 300, "song 01 starts from its beginning (%d Hz)" % song1[2])

def position(at):
    """Where song 01 was at a moment: the step heard then and how long it had been heard."""
    # A moment in the short gap between two tones belongs to the one that just ended.
    seg = next((s for s in segs if s[0] <= at < s[1] + 0.15 and step(s[2]) is not None), None)
    if seg is None:
        return None
    k = step(seg[2])
    played = sum(b - a for a, b, hz in segs if hz == seg[2] and b <= seg[1])
    return 2 * k + played - (seg[1] - min(at, seg[1]))

# Pause: silence from the click (plus the output's lead) for as long as it was held; then the
# interrupted step goes on, so its two parts make 2 s.
pause = first(marks["pause"], lambda s: s[2] == 0)
if pause:
    held = marks["play"] - marks["pause"]
    silent = pause[1] - pause[0]
    check(abs(silent - held) <= 0.4, "pause: %.2f s of silence while it was held %.2f s" % (silent, held))
    check(pause[0] - marks["pause"] <= 0.5, "pause heard %.0f ms after the click" % ((pause[0] - marks["pause"]) * 1000))
    before = next(s for s in reversed(segs) if s[1] <= pause[0] + 0.06 and s[2] != 0)
    after = first(pause[1], lambda s: s[2] != 0)
    # A pause heard just as a step ended resumes with the next one.
    whole = step(before[2]) is not None and before[1] - before[0] >= 1.85
    resumed = after is not None and (after[2] == before[2] or (whole and after[2] == before[2] + 20))
    check(resumed, "play resumes where it paused (%d Hz, then %s Hz)" % (before[2], after[2] if after else "none"))
    if after and after[2] == before[2] and step(before[2]) is not None and step(before[2]) > 0:
        parts = (before[1] - before[0]) + (after[1] - after[0])
        check(abs(parts - 2.0) <= 0.15, "the paused step sounded %.2f s in all, as long as any other" % parts)
else:
    check(False, "pause: no silence after the click")

# Seeks: the library moves a stream to its position's whole second plus or minus 10; what it
# reports as its position runs ahead of what is heard by the output's lead.
for name, delta in (("forward", 10), ("back", -10)):
    # The step heard just before the click: a seek heard at once starts a new segment within the
    # timeline's 50 ms window of the click.
    cur = next((s for s in segs if s[0] <= marks[name] - 0.1 < s[1] and step(s[2]) is not None), None)
    # The step after the current one may still start on its own before the seek is heard.
    new = next((s for s in segs if cur and s[0] >= marks[name] - 0.05 and step(s[2]) is not None
                and step(s[2]) not in (step(cur[2]), step(cur[2]) + 1)), None)
    if new is None:
        check(False, "seek %s: no change of position was heard" % name)
        continue
    was = position(new[0] - 0.06)
    if was is None:
        check(False, "seek %s: where song 01 was before it is unknown" % name)
        continue
    landed = 2 * step(new[2]) + 2 - (new[1] - new[0])
    wanted = sorted({int(was - 0.1) + delta, int(was + 0.4) + delta})
    check(min(abs(landed - w) for w in wanted) <= 0.25,
          "seek %s: from %.2f s to %.2f s of song 01 (wanted %s)" % (name, was, landed, " or ".join(map(str, wanted))))

# Song 02 plays its whole 12 s by the clock, then song 01 starts again from its beginning.
song2 = first(marks["next"], lambda s: s[2] == 1000)
check(song2 is not None, "song 02 (1000 Hz) was heard after BUTTON_NEXT")
if song2:
    check(abs((song2[1] - song2[0]) - 12.0) <= 0.25, "song 02 sounded %.2f s of its 12 s" % (song2[1] - song2[0]))
    again = first(song2[1], lambda s: s[2] != 0)
    check(again is not None and again[2] == 300 and again[0] - song2[1] < 1.0,
          "song 01 follows from its beginning %.2f s later" % ((again[0] - song2[1]) if again else -1))
sys.exit(1 if problems else 0)
PY
pass "what was heard follows the buttons by the clock"
no_dropouts
echo "e2e player: all checks passed"
