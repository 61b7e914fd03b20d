#!/usr/bin/env bash
# The sound server goes away while a song plays and comes back: sound-loss.sh DIST_DIR [WORK_DIR]
# On the stepped disk with short songs (song 01 14 s, song 02 6 s) the sound server of the run's
# desktop is stopped early in song 01 and started again once song 02 has begun. Meanwhile the
# player must keep answering, its elapsed time must keep counting and song 01 must end on time and
# move on to song 02; once the server is back, song 02 and then song 01 must be heard again, and
# Escape must still end the player cleanly.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

DISK=$WORK/disk
bash "$E2E_DIR/make_disk.sh" "$DISK" 0 14 6 stepped
start_player "$DISK"

main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
wait_for 30 main_up || fail "the main window did not show"
xdotool mousemove 0 0
song_is() { [ "$(wintext Musicdisk TEXT_SONGNUM)" = "$1" ]; }
seconds() { wintext Musicdisk TEXT_ACTTIME | awk -F: '{ print $1 * 60 + $2 }'; }
at_least() { [ "$(seconds)" -ge "$1" ]; }
wait_for 10 at_least 2 || fail "song 01 does not play: elapsed $(wintext Musicdisk TEXT_ACTTIME)"

mark sound_gone
"$E2E_DIR/desktop" sound-stop "$MD_DESKTOP"
t0=$SECONDS e0=$(seconds)
sleep 4
kill -0 "$PID" 2>/dev/null || fail "the player ended when the sound server went away"
e1=$(seconds) || fail "the player does not answer without a sound server"
[ "$e1" -ge $((e0 + 2)) ] || fail "elapsed time stood still without a sound server: $e0 -> $e1 s"
pass "without a sound server the player answers and its elapsed time counts ($e0 -> $e1 s)"
wait_for 14 song_is 02 || fail "song 01 did not end and move on without a sound server (song $(wintext Musicdisk TEXT_SONGNUM))"
pass "song 01 ended and song 02 started without a sound server, $((SECONDS - t0)) s after it went away"

"$E2E_DIR/desktop" sound-start "$MD_DESKTOP"
mark sound_back
wait_for 12 song_is 01 || fail "song 02 did not end and move on to song 01"
pass "song 02 ended and song 01 started again"
sleep 3
escape_ends_player

# The recording holds what was heard before the server went and after it came back.
python3 - "$SOUND" "$WORK/marks" "$E2E_DIR" <<'PY' || fail "the sound did not come back with the sound server"
import sys
sys.path.insert(0, sys.argv[3])
import sound
samples = sound.read(sys.argv[1])
marks = dict((n, float(t)) for n, t in (line.split() for line in open(sys.argv[2])))
segs = [(a, b, hz) for a, b, hz, _ in sound.timeline(samples) if b - a >= 0.3]
print("heard:", " ".join("%.2f-%.2f:%d" % s for s in segs))
back = [s for s in segs if s[1] > marks["sound_back"] + 0.2]
ok = any(s[2] == 1000 for s in back) or any(300 <= s[2] < 360 for s in back)
print(("ok: " if ok else "FAIL: ") + "sound heard again after the server came back")
sys.exit(0 if ok else 1)
PY
pass "the sound came back with the sound server"
# Before the server goes away and after it came back the song plays unbroken (the moments between
# are no longer in the recording: it goes on when the server is back).
gone=$(awk '$1 == "sound_gone" { print $2 }' "$WORK/marks"); back=$(awk '$1 == "sound_back" { print $2 }' "$WORK/marks")
python3 "$E2E_DIR/sound.py" dropouts "$SOUND" --to "$gone" --player-log "$WORK/player.log" ||
  fail "dropouts in the sound before the server went away"
pass "no dropouts before the server went away"
python3 "$E2E_DIR/sound.py" dropouts "$SOUND" --from "$back" --player-log "$WORK/player.log" ||
  fail "dropouts in the sound after the server came back"
pass "no dropouts after the server came back"
echo "e2e sound loss: all checks passed"
