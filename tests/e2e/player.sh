#!/usr/bin/env bash
# End-to-end run of the real player: player.sh DIST_DIR [WORK_DIR]
# DIST_DIR holds Musicdisk.exe, BASS.dll and md_wintext.exe. A musicdisk is generated in WORK_DIR
# (skin and splash pictures, two tone songs, descriptor), the player runs under Xvfb with its sound
# captured through ALSA's file sink, and xdotool drives it. Screenshots stay in WORK_DIR.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

# --- the musicdisk --------------------------------------------------------------------------
DISK=$WORK/disk
# ALSA's file sink is not paced by a clock: the songs may be consumed faster than real time, so
# they are long enough for every check to happen while the expected song plays.
bash "$E2E_DIR/make_disk.sh" "$DISK" 1500 90 20

# --- run, with the sound into a file ---------------------------------------------------------
capture_sound
start_player "$DISK"

splash_up() { [ "$(wintext 'Welcome to Quillmere' | cut -d' ' -f1)" = 1 ]; }
wait_for 30 splash_up || fail "the splash screen did not show"
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
sleep 0.5
shot main; M=$SHOT
for probe in "5 5 203040" "290 140 203040" "120 35 c000c0" "170 35 00c0c0" "220 35 c0c000"; do
  set -- $probe
  got=$(pixel "$M" $((MX + $1)) $((MY + $2)))
  [ "$got" = "$3" ] || fail "main window pixel ($1,$2) is $got, not $3"
done
pass "main window centred with the skin's pixels"

[ "$(wintext Musicdisk TEXT_SONGNUM)" = 01 ] || fail "song number is $(wintext Musicdisk TEXT_SONGNUM)"
[ "$(wintext Musicdisk TEXT_TOTALTIME)" = 01:30 ] || fail "total time is $(wintext Musicdisk TEXT_TOTALTIME)"
e1=$(wintext Musicdisk TEXT_ACTTIME); sleep 2.2; e2=$(wintext Musicdisk TEXT_ACTTIME)
[[ "$e2" > "$e1" ]] || fail "elapsed time did not advance: $e1 -> $e2"
pass "song 01 plays (total 01:30), elapsed $e1 -> $e2"
shot playing

click() { xdotool mousemove $((MX + $1)) $((MY + $2)) click 1; sleep 0.6; }
# Under Wine without a window manager the window thread can stall for about a second after a
# window is shown or activated; a click is then handled late, so wait for its effect before the
# pointer moves on to the next button.
song_is() { [ "$(wintext Musicdisk TEXT_SONGNUM)" = "$1" ]; }
sleep 1.5
click 220 35
wait_for 6 song_is 02 || fail "BUTTON_NEXT: song number is $(wintext Musicdisk TEXT_SONGNUM)"
[ "$(wintext Musicdisk TEXT_TOTALTIME)" = 00:20 ] || fail "song 02 total is $(wintext Musicdisk TEXT_TOTALTIME)"
pass "BUTTON_NEXT moves to song 02"
shot next

click 170 35
sleep 1.2
p1=$(wintext Musicdisk TEXT_ACTTIME); sleep 1.6; p2=$(wintext Musicdisk TEXT_ACTTIME)
[ "$p1" = "$p2" ] || fail "elapsed time moved while paused: $p1 -> $p2"
pass "BUTTON_PAUSE freezes the elapsed time at $p1"
click 120 35
song_one_again() { [ "$(wintext Musicdisk TEXT_SONGNUM)" = 01 ]; }
wait_for 40 song_one_again || fail "after the last song ended, song 01 did not start"
pass "after the last song ended, song 01 started again"
shot wrapped

escape_ends_player

# --- what was heard -------------------------------------------------------------------------
python3 - "$WORK/out.raw" <<'PY' || fail "captured audio does not hold the songs"
import array, sys
data = array.array('h', open(sys.argv[1], 'rb').read())
left = data[0::2]
rate = 44100
def tone(chunk):
    loud = max((abs(s) for s in chunk), default=0)
    if loud < 3000:
        return None
    crossings = sum(1 for a, b in zip(chunk, chunk[1:]) if a < 0 <= b)
    return crossings * rate / len(chunk)
heard = []
for start in range(0, len(left) - rate // 4, rate // 4):
    f = tone(left[start:start + rate // 4])
    if f:
        heard.append(round(f / 20) * 20)
print("captured %.1f s; tones heard: %s" % (len(left) / rate, sorted(set(heard))))
if 440 not in heard or 880 not in heard:
    sys.exit(1)
# Song 01, then song 02, then song 01 again: runs of at least two quarter seconds of each tone
# (chunks across a song change or a gap give other estimates and are left out).
runs = []
for f in heard:
    if f not in (440, 880):
        continue
    if runs and runs[-1][0] == f:
        runs[-1][1] += 1
    else:
        runs.append([f, 1])
order = []
for f, n in runs:
    if n >= 2 and (not order or order[-1] != f):
        order.append(f)
print("order:", order)
sys.exit(0 if order[:3] == [440, 880, 440] else 1)
PY
pass "captured audio: 440 Hz, then 880 Hz, then 440 Hz again"
echo "e2e player: all checks passed"
