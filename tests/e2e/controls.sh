#!/usr/bin/env bash
# How soon the real player's controls are heard, and its song changes
# On the stepped disk (song 01: 20 s stepping up 20 Hz every 2 s from 300 Hz; song 02: a 6 s MP3 of
# 1000 Hz) with a Stop button added, every control is clicked while the desktop's sound is recorded:
# Pause and Play, 10 s forward and back, Next, Pause then Next, Stop then Play; then song 01 and
# song 02 end by themselves. From the recording it prints how long after each click its effect was
# heard, and fails when their median is past 340 ms, the seeks' and Nexts' more than 120 ms after
# the pauses', stops' and plays' (the machine's share), or any one past 1.3 s (verdicts.py
# latency_failures; for a new tone, counted to where the old song stopped), when the player tells
# of a delay of its own past 1.3 s (own_delays), when a paused, stopped or left song is still
# heard after that, and when the audio library's own count of silence at a song change (its debug
# output) is more than 10 ms.
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

click pause 170 35; sleep 1.5
click play 120 35; sleep 1.5
click forward 70 35; sleep 1.5
click back 30 35; sleep 1.5
click next 220 35
wait_for 8 song_is 02 || fail "BUTTON_NEXT did not move to song 02"
sleep 1.5
click pause2 170 35; sleep 1.5
click next2 220 35
wait_for 6 song_is 01 || fail "BUTTON_NEXT while paused did not move to song 01"
sleep 1.5
click stop 270 35; sleep 1.5
click play2 120 35
wait_for 6 song_is 01 || fail "BUTTON_PLAY after BUTTON_STOP did not start song 01"
sleep 1.5
click forward2 70 35
# Songs end by what was played: the sound server's stalls under load make them end later by the
# wall clock (song 01's last 8 s took more than 13 s at a load average of 12).
wait_for 30 song_is 02 || fail "song 01 did not end by itself and move on to song 02"
wait_for 20 song_is 01 || fail "song 02 did not end by itself and move on to song 01"
sleep 1.5
pass "every control clicked, and songs 01 and 02 ended by themselves"
escape_ends_player

verdict controls "$SOUND" "$WORK/marks" "$WORK/player.log" || fail "controls heard late, or songs heard after they were left"
pass "controls heard at once and songs followed each other"
sound_report
echo "e2e controls: all checks passed"
