#!/usr/bin/env bash
# The demo's capture end to end on the demo disk: scripts/demo-capture, as scripts/demo runs it
# without a display, plays a copy of demo/ with the player from DIST; then the splash screen, the
# main window and the credits dialog are checked against the disk's own pictures and descriptor
# (size, place, pixels), song 01 must be audible after the main window showed (its number and
# length on the display), the splash music before it, and Escape must have ended the player with
# exit code 0.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

# While the main window shows: the song number and total time that the player wrote.
probe="for c in TEXT_SONGNUM TEXT_TOTALTIME; do '$WINE' '$DIST/md_wintext.exe' Musicdisk \$c | tr -d '\r'; done"
status=0
MD_DEMO_PROBE=$probe "$ROOT/scripts/demo-capture" >"$WORK/demo.log" 2>&1 || status=$?
cat "$WORK/demo.log"
[ "$status" -eq 0 ] || fail "scripts/demo-capture ended with status $status"
OUT=$WORK/out
for f in splash.png main.png dialog.png audio.wav windows.txt marks.txt; do
  [ -s "$OUT/$f" ] || fail "scripts/demo-capture made no $f"
  grep -qF "$OUT/${f%.txt}" "$WORK/demo.log" || [ "${f##*.}" = txt ] || fail "scripts/demo-capture did not print the path of $f"
done
grep -qx 'exit_code 0' "$OUT/marks.txt" || fail "the player's exit code: $(grep exit_code "$OUT/marks.txt")"

# Pixels as raw RGB bytes for the checks below.
rgb() { convert "$1" -depth 8 rgb:"$2"; }
GUI=$ROOT/demo/gui
for p in splash.gif splash_mask.gif main.bmp main_off.gif main_mask.gif credits.bmp credits_off.gif credits_mask.gif; do
  rgb "$GUI/$p" "$WORK/$p.rgb"
done
for p in splash main dialog; do rgb "$OUT/$p.png" "$WORK/shot-$p.rgb"; done

python3 "$ROOT/tests/e2e/verdicts.py" demo "$WORK" "$ROOT/demo" "$SOUND" || fail "windows or sound differ from the demo disk"
# What the recording holds of silences, as a report (the demo's songs are music); the player's own
# output queue must never have run dry. The splash music gives way to song 01 around the moment the
# main window showed.
awk '$1 == "main_shown_at_byte" { printf "main_shown %.3f\n", $2 / 4 / 44100 }' "$OUT/marks.txt" >"$WORK/marks"
python3 "$ROOT/tests/e2e/sound.py" report "$SOUND" --music --marks "$WORK/marks" --player-log "$OUT/player.log" \
  ${MD_SOUND_STRICT:+--strict} || fail "the player's output queue ran dry"
echo "demo end to end: all checks passed"
