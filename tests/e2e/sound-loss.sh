#!/usr/bin/env bash
# The sound server goes away while a song plays and comes back
# On the stepped disk with short songs (song 01 30 s, song 02 6 s) the sound server of the run's
# desktop is stopped early in song 01 and started again once song 02 has begun. Meanwhile the
# player must keep answering, its elapsed time must keep counting and song 01 must end on time and
# move on to song 02; once the server is back, song 02 and then song 01 must be heard again, and
# Escape must still end the player cleanly.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

DISK=$WORK/disk
# Song 01 is long enough for the probes through Wine, seconds each under emulation on a loaded
# machine, to read its elapsed time twice before it ends.
SONG1=30
bash "$E2E_DIR/make_disk.sh" "$DISK" 0 $SONG1 6 stepped
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
e0=$(seconds)
sleep 4
kill -0 "$PID" 2>/dev/null || fail "the player ended when the sound server went away"
e1=$(seconds) || fail "the player does not answer without a sound server"
[ "$e1" -ge $((e0 + 2)) ] || fail "elapsed time stood still without a sound server: $e0 -> $e1 s"
pass "without a sound server the player answers and its elapsed time counts ($e0 -> $e1 s)"
# Twice what is left of song 01 by its elapsed time before it counts as stuck (the time left was
# 10 s and seen within 10 s), and at least 10 s.
left=$((SONG1 - e1)); limit=$((2 * left > 10 ? 2 * left : 10))
wait_for $limit song_is 02 || fail "song 01 did not end and move on without a sound server (song $(wintext Musicdisk TEXT_SONGNUM))"
pass "song 01 ended and song 02 started without a sound server ($WAITED s for the $left s it had left)"

"$E2E_DIR/desktop" sound-start "$MD_DESKTOP"
mark sound_back
wait_for 20 song_is 01 || fail "song 02 did not end and move on to song 01"
pass "song 02 ended and song 01 started again"
sleep 3
escape_ends_player

# The recording holds what was heard before the server went and after it came back.
verdict sound_back "$SOUND" "$WORK/marks" || fail "the sound did not come back with the sound server"
pass "the sound came back with the sound server"
# What the recording holds before the server went away and after it came back (the moments between
# are no longer in it: it goes on when the server is back).
gone=$(awk '$1 == "sound_gone" { print $2 }' "$WORK/marks"); back=$(awk '$1 == "sound_back" { print $2 }' "$WORK/marks")
sound_report --to "$gone"
sound_report --from "$back"
echo "e2e sound loss: all checks passed"
