#!/usr/bin/env bash
# End-to-end run of the real player on a disk without its gui folder: no-skin.sh DIST_DIR [WORK_DIR]
# Each picture of the main and the splash skin that cannot be loaded shows one "Error" box (ten in
# all); once they are dismissed the player runs, plays song 01 and ends on Escape with code 0.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

DISK=$WORK/disk
bash "$E2E_DIR/make_disk.sh" "$DISK" 500 90 20
rm -rf "$DISK/gui"
capture_sound
start_player "$DISK"

error_box() { BOX=$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null | awk 'NR == 1'); [ -n "$BOX" ]; }
boxes=0
while wait_for 8 error_box; do
  boxes=$((boxes + 1))
  [ $boxes -le 12 ] || fail "more than twelve error boxes"
  xdotool windowfocus --sync "$BOX" 2>/dev/null || true
  xdotool key --window "$BOX" Return
  gone() { ! xdotool search --onlyvisible --name '^Error$' 2>/dev/null | grep -x "$BOX" >/dev/null; }
  wait_for 5 gone || fail "error box $boxes did not close"
done
[ $boxes = 10 ] || fail "$boxes error boxes, not the ten pictures of two skins"
pass "ten \"Error\" boxes, one per picture of the main and the splash skin"

main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
wait_for 20 main_up || fail "the main window did not show"
pass "the main window is shown without its skin"
sleep 2

escape_ends_player

python3 - "$WORK/out.raw" <<'PY' || fail "song 01 was not heard"
import array, sys
data = array.array('h', open(sys.argv[1], 'rb').read())
left = data[0::2]
rate = 44100
tones = []
for start in range(0, len(left) - rate // 4, rate // 4):
    chunk = left[start:start + rate // 4]
    if max((abs(s) for s in chunk), default=0) < 3000:
        continue
    crossings = sum(1 for a, b in zip(chunk, chunk[1:]) if a < 0 <= b)
    tones.append(round(crossings * 4 / 20) * 20)
print("captured %.1f s; quarter seconds of 440 Hz: %d" % (len(left) / rate, tones.count(440)))
sys.exit(0 if tones.count(440) >= 4 else 1)
PY
pass "song 01 played"
echo "e2e no-skin: all checks passed"
