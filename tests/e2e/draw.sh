#!/usr/bin/env bash
# mdcheck --draw against the player
# mdcheck draws the demo disk's skins; the player then runs on the same disk, and in a screenshot of
# its main window (active, the pointer away) every button and every tall enough label shows the
# pixels that the main skin's picture shows at the same place of the window: the picture draws each
# control where the player draws it, the six-pixel shift of labels included.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
ROOT=$(cd "$E2E_DIR/../.." && pwd)

DISK=$WORK/disk
rm -rf "$DISK" "$WORK/pictures"
mkdir -p "$DISK"
cp -r "$ROOT/demo/gui" "$ROOT/demo/music" "$DISK/"
out=$(cd "$DISK" && "$WINE" "$DIST/mdcheck.exe" --draw "Z:${WORK//\//\\}\\pictures" 2>/dev/null | tr -d '\r') ||
  fail "mdcheck --draw on the demo disk: $out"
echo "$out"
line=$(grep -F 'Picture of gui\skin.ini: ' <<<"$out") || fail "mdcheck named no picture of gui\\skin.ini"
PICTURE=$WORK/pictures/gui_skin.bmp
[ -s "$PICTURE" ] || fail "no $PICTURE"
read -r OX OY < <(sed -n 's/.*top-left corner at \([0-9]*\),\([0-9]*\))$/\1 \2/p' <<<"$line")
[ -n "$OX" ] || fail "no origin in: $line"
for skin in splash credits notes tech; do
  [ -s "$WORK/pictures/gui_$skin.bmp" ] || fail "no picture of gui\\$skin.ini"
done
pass "mdcheck --draw wrote a picture of every skin of the demo"

start_player "$DISK"
main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
# Under qemu-i386 beside other runs the window took 26 s to show; twice that.
wait_for 60 main_up || fail "the main window did not show"
read -r _ MX MY _ _ < <(wintext Musicdisk)
xdotool mousemove 0 0
activate "$(xdotool search --name '^Musicdisk$' | awk 'NR == 1')" Musicdisk || fail "the main window cannot be activated"
# Points inside each button (where the player shows it) and each label at least 14 pixels high
# (6 pixels right of its x), away from the outline and the name drawn over them, where the skin's
# Main picture differs from its pixels 6 to the left and right: a control drawn 6 pixels off would
# not match.
convert "$DISK/gui/main.bmp" -depth 8 rgb:"$WORK/main.rgb"
points=$(python3 "$E2E_DIR/verdicts.py" skin_points "$ROOT/demo/gui/skin.ini" "$WORK/main.rgb" "$(identify -format %w "$DISK/gui/main.bmp")")
[ "$(wc -l <<<"$points")" -ge 20 ] || fail "only $(wc -l <<<"$points") points to check"
# matches: a screenshot shows the picture's pixels at every point; MISMATCH names the first that
# does not. On a busy machine the window's picture shows a moment before its controls paint on it
# (seen: the labels not yet drawn a second after the window was activated), so the screenshot is
# taken again until the controls have painted. One round of 42 points took up to 24 s under
# qemu-i386 beside other runs; twice that.
matches() {
  shot main
  local name px py seen drawn
  while read -r name px py; do
    seen=$(pixel "$SHOT" $((MX + px)) $((MY + py)))
    drawn=$(pixel "$PICTURE" $((OX + px)) $((OY + py)))
    [ "$seen" = "$drawn" ] || { MISMATCH="$name at ($px,$py): the player shows $seen, the picture $drawn"; return 1; }
  done <<<"$points"
}
wait_for 50 matches || fail "$MISMATCH"
pass "$(wc -l <<<"$points") points of the buttons and labels: the picture shows what the player shows there"
escape_ends_player
echo "e2e draw: all checks passed"
