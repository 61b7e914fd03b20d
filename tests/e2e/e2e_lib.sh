# The shared start of the end-to-end scripts that drive the real player. Source it first thing with
# the script's own arguments: DIST_DIR [WORK_DIR]. DIST_DIR holds Musicdisk.exe, BASS.dll and
# md_wintext.exe; WORK_DIR (a new temporary folder when not given) keeps the disk, screenshots and
# captured sound. Unless MD_E2E_DISPLAY is set, the calling script runs again under a virtual display
# of its own.
DIST=$(cd "$1" && pwd)
WORK=${2:-$(mktemp -d)}
mkdir -p "$WORK"; WORK=$(cd "$WORK" && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
export WINELOADER=$WINE WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$WORK/wineprefix}
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ -z "${MD_E2E_DISPLAY:-}" ]; then
  MD_E2E_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$(cd "$(dirname "$0")" && pwd)/$(basename "$0")" "$DIST" "$WORK"
fi

step=0
# shot NAME: a screenshot of the whole display; its file name is left in SHOT.
shot() { step=$((step + 1)); SHOT="$WORK/$(printf %02d $step)-$1.png"; import -window root "$SHOT"; }
# A failure leaves a screenshot of the display as it was, beside the others.
fail() { shot failed 2>/dev/null || true; echo "FAIL: $* (display: $SHOT)" >&2; exit 1; }
pass() { echo "ok: $*"; }
# pixel PNG X Y: the colour there as rrggbb.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr -d '#' | tr 'A-F' 'a-f'; }
# wintext TITLE [CONTROL]: what md_wintext.exe reads of a window or one of its controls.
wintext() { "$WINE" "$DIST/md_wintext.exe" "$@" 2>/dev/null | tr -d '\r'; }
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() { local until=$((SECONDS + $1)); shift; until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.2; done; }

[ -f "$WINEPREFIX/system.reg" ] || { mkdir -p "$WINEPREFIX"; "$WINE" wineboot.exe -i >/dev/null 2>&1 || true; }

# A home of the run's own whose ALSA default device writes raw 16-bit stereo to $WORK/out.raw.
capture_sound() {
  export HOME=$WORK/home
  mkdir -p "$HOME"; rm -f "$WORK/out.raw"
  printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' "$WORK/out.raw" > "$HOME/.asoundrc"
}

# start_player DISK: runs Musicdisk.exe in the disk's folder; PID is the player's, killed on exit.
start_player() {
  cd "$1"
  "$WINE" "$DIST/Musicdisk.exe" &
  PID=$!
  trap 'kill $PID 2>/dev/null || true' EXIT
}

# escape_ends_player: Escape on the main window must end the player with exit code 0. Without a
# window manager a key can reach Wine before a focus change has settled and be lost, so the keyboard
# is given to the window and Escape pressed again until the program has ended.
escape_ends_player() {
  local wid attempt code=0
  ended() { ! kill -0 "$PID" 2>/dev/null; }
  wid=$(xdotool search --name '^Musicdisk$' | awk 'NR == 1')
  for attempt in 1 2 3; do
    xdotool windowfocus --sync "$wid" 2>/dev/null || true
    xdotool key Escape
    wait_for 5 ended && break
  done
  ended || fail "Escape on the main window did not end the program"
  wait "$PID" || code=$?
  trap - EXIT
  [ "$code" = 0 ] || fail "exit code $code"
  pass "Escape on the main window ends the program with exit code 0"
}
