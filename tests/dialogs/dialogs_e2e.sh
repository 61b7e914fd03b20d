#!/usr/bin/env bash
# End-to-end run of the info dialogs. The test musicdisk of tests/e2e gets an info button and one
# info dialog whose scrolling text shows each song's long description; xdotool opens, closes and
# hides it. Screenshots stay in WORK.
set -euo pipefail
source "$(dirname "$0")/../e2e/e2e_lib.sh"
# changed A B X Y W H: the bounding box "x0 y0 x1 y1" of the pixels that differ between two
# screenshots inside the rectangle, or "none".
changed() { python3 "$E2E_DIR/verdicts.py" changed "$@"; }
# inside "x0 y0 x1 y1" X Y W H: the box lies within the rectangle.
inside() {
  local x0 y0 x1 y1; read -r x0 y0 x1 y1 <<<"$1"
  [ "$x0" -ge "$2" ] && [ "$y0" -ge "$3" ] && [ "$x1" -lt $(($2 + $4)) ] && [ "$y1" -lt $(($3 + $5)) ]
}

# --- the musicdisk: the e2e disk plus BUTTON_INFO1 (300 x 150 main window) and dialog 01 ----------
DISK=$WORK/disk
bash "$E2E_DIR/make_disk.sh" "$DISK" 500 120 120
convert "$DISK/gui/main.bmp" -fill '#00c000' -draw 'rectangle 250,20 289,49' BMP3:"$DISK/gui/main.bmp"
sed -i 's/^3=BUTTON_NEXT,200,20,40,30,Next$/&\n4=BUTTON_INFO1,250,20,40,30,Info/' "$DISK/gui/skin.ini"
grep -q '^4=BUTTON_INFO1' "$DISK/gui/skin.ini" || fail "could not add the info button to the skin"
# Dialog 200 x 120: a close button at (170, 5), the scrolling text at (10, 30), 150 x 80, whose
# window shows 6 pixels right of it; the text rises 1 pixel every 150 ms (12 s) and stays at the top.
convert -size 200x120 xc:'#304050' -fill '#c00000' -draw 'rectangle 170,5 189,24' BMP3:"$DISK/gui/info.bmp"
cat > "$DISK/gui/info.ini" <<'INI'
[SCREEN]
Main=info.bmp
[BUTTONINFO]
1=BUTTON_CLOSE,170,5,20,20,Close
[VSCROLLINFO]
1=TEXT_SCROLLER,Tahoma,TRUE,FALSE,-16,16777215,8421504,10,30,150,80,1,150,1,stay,left,Notes
INI
printf 'dialog.file.01=gui\\info.ini\r\ndialog.name.01=BUTTON_INFO1\r\ndialog.title.01=Notes\r\ndialog.text.01=Hello\r\ndialog.dx.01=0\r\ndialog.dy.01=-130\r\nlongdesc.target.name.01=notes\r\nlongdesc.target.dialog.01=button_info1\r\nmusic.longdesc.notes.01=AAAA|AAAA\r\nmusic.longdesc.notes.02=WW WW|WW WW|WW WW\r\n' >> "$DISK/music/config.dat"

# --- run ---------------------------------------------------------------------------------------
export HOME=$WORK/home
mkdir -p "$HOME"
start_player "$DISK"

main_up() { [ "$(wintext Musicdisk | cut -d' ' -f1)" = 1 ]; }
wait_for 30 main_up || fail "the main window did not show"
read -r _ MX MY MW MH < <(wintext Musicdisk)
dialog_state() { wintext BUTTON_INFO1 | cut -d' ' -f1; }
[ "$(dialog_state)" = 0 ] || fail "the info dialog is not there, hidden, before its button is pressed"
pass "info dialog created hidden"

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.6; }
# click_until X Y CONDITION: clicks once and waits for the condition.
click_until() {
  local x=$1 y=$2; shift 2
  click "$x" "$y"
  wait_for 10 "$@"  # 4.5 s seen under qemu-i386 beside a native build
}
shown() { [ "$(dialog_state)" = 1 ]; }
click_until $((MX + 270)) $((MY + 35)) shown || fail "BUTTON_INFO1 did not show the dialog"
read -r _ DX DY DW DH < <(wintext BUTTON_INFO1)
[ "$DX $DY $DW $DH" = "$MX $((MY - 130)) 200 120" ] || fail "dialog at $DX $DY ($DW x $DH), not main + (0, -130)"
pass "BUTTON_INFO1 shows the dialog at the main window + (0, -130)"

# The text rises for about 12 s: two shots apart differ only inside the scroller's window.
sleep 0.5; shot moving1; A=$SHOT
sleep 0.6; shot moving2; B=$SHOT
SX=$((DX + 16)); SY=$((DY + 30))
box=$(changed "$A" "$B" "$DX" "$DY" "$DW" "$DH")
[ "$box" != none ] || fail "the dialog's text did not move"
inside "$box" "$SX" "$SY" 150 80 || fail "the dialog changed outside its scroller: $box"
pass "the text scrolls: changes only at $box, inside the scroller"

# Opening again changes nothing.
click $((MX + 270)) $((MY + 35))
# At rest the text stands still.
rest() { sleep 0.7; shot rest; local a=$SHOT; sleep 0.7; shot rest; [ "$(changed "$a" "$SHOT" "$DX" "$DY" "$DW" "$DH")" = none ]; }
wait_for 30 rest || fail "the text still moves after it should have arrived"; R2=$SHOT
pass "the text stops at the top"

# Next: song 02's long description replaces song 01's.
mark next
click $((MX + 220)) $((MY + 35))
[ "$(wintext Musicdisk TEXT_SONGNUM)" = 02 ] || fail "BUTTON_NEXT did not move to song 02"
sleep 2; wait_for 30 rest || fail "the new text still moves after it should have arrived"; N=$SHOT
box=$(changed "$R2" "$N" "$DX" "$DY" "$DW" "$DH")
[ "$box" != none ] || fail "the dialog's text did not change with Next"
inside "$box" "$SX" "$SY" 150 80 || fail "after Next the dialog changed outside its scroller: $box"
pass "Next gives the dialog song 02's long description"

# Escape with the dialog focused hides it; the player goes on.
WID=$(xdotool search --name '^Notes$' | awk 'NR == 1')
[ -n "$WID" ] || fail "no window titled Notes"
activate "$WID" BUTTON_INFO1 || fail "the dialog cannot be activated"
xdotool key Escape
hidden() { [ "$(dialog_state)" = 0 ]; }
wait_for 10 hidden || fail "Escape did not hide the dialog"
kill -0 $PID 2>/dev/null || fail "Escape on the dialog ended the program"
pass "Escape hides the focused dialog, the player runs on"

# Opened again where it was; BUTTON_CLOSE hides it.
click_until $((MX + 270)) $((MY + 35)) shown || fail "BUTTON_INFO1 did not show the dialog again"
read -r _ DX2 DY2 _ _ < <(wintext BUTTON_INFO1)
[ "$DX2 $DY2" = "$DX $DY" ] || fail "reopened at $DX2 $DY2, not at $DX $DY"
click_until $((DX + 180)) $((DY + 15)) hidden || fail "BUTTON_CLOSE did not hide the dialog"
kill -0 $PID 2>/dev/null || fail "BUTTON_CLOSE ended the program"
pass "reopened in place; BUTTON_CLOSE hides it"

escape_ends_player
# Opening, scrolling and hiding the dialog must not break the song.
sound_report
echo "e2e dialogs: all checks passed"
