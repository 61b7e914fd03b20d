#!/usr/bin/env bash
# End-to-end run of the real player on a disk without its gui folder
# Each picture of the main and the splash skin that cannot be loaded shows one "Error" box (ten in
# all); once they are dismissed the player runs, plays song 01 and ends on Escape with code 0.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"

DISK=$WORK/disk
bash "$E2E_DIR/make_disk.sh" "$DISK" 500 90 20
rm -rf "$DISK/gui"
start_player "$DISK"

error_box() { BOX=$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null | awk 'NR == 1'); [ -n "$BOX" ]; }
boxes=0
while wait_for 8 error_box; do
  boxes=$((boxes + 1))
  [ $boxes -le 12 ] || fail "more than twelve error boxes"
  gone() { ! xdotool search --onlyvisible --name '^Error$' 2>/dev/null | grep -x "$BOX" >/dev/null; }
  # Return on the box, given the keyboard through the window manager (a message box is of the
  # dialog class, #32770).
  activate "$BOX" '#32770' || fail "error box $boxes cannot be activated"
  xdotool key Return
  wait_for 5 gone || fail "error box $boxes did not close on Return"
done
[ $boxes = 10 ] || fail "$boxes error boxes, not the ten pictures of two skins"
pass "ten \"Error\" boxes, one per picture of the main and the splash skin"

main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
wait_for 20 main_up || fail "the main window did not show"
pass "the main window is shown without its skin"
sleep 2

escape_ends_player

verdict heard "$SOUND" 440 1.0 || fail "song 01 was not heard"
pass "song 01 played"
sound_report
echo "e2e no-skin: all checks passed"
