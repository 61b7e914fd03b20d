# The shared start of the end-to-end scripts that drive the real player. Source it first thing with
# the script's own arguments: DIST_DIR [WORK_DIR]. DIST_DIR holds Musicdisk.exe, BASS.dll and
# md_wintext.exe; WORK_DIR (a new temporary folder when not given) keeps the disk, screenshots and
# captured sound. The calling script runs again inside a desktop of its own (tests/e2e/desktop:
# display, window manager, sound server), whose sound is recorded to $WORK/sound.raw from the start.
DIST=$(cd "$1" && pwd)
WORK=${2:-$(mktemp -d)}
mkdir -p "$WORK"; WORK=$(cd "$WORK" && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
export WINELOADER=$WINE WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=$WORK/wineprefix
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

SOUND=$WORK/sound.raw
if [ -z "${MD_E2E_DESKTOP:-}" ]; then
  MD_E2E_DESKTOP=1 exec "$E2E_DIR/desktop" run "$WORK/desktop" "$SOUND" -- \
    bash "$(cd "$(dirname "$0")" && pwd)/$(basename "$0")" "$DIST" "$WORK"
fi

: >"$WORK/marks"
: >"$WORK/player.log"  # a run of its own, not the last one's in the same folder
step=0
# shot NAME: a screenshot of the whole display; its file name is left in SHOT.
shot() { step=$((step + 1)); SHOT="$WORK/$(printf %02d $step)-$1.png"; import -window root "$SHOT"; }
# A failure leaves a screenshot of the display as it was, beside the others.
fail() {
  shot failed 2>/dev/null || true
  [ ! -s "$WORK/player.log" ] || { echo "the player's output, last lines:"; tail -n 20 "$WORK/player.log"; } >&2
  echo "FAIL: $* (display: $SHOT)" >&2
  exit 1
}
pass() { echo "ok: $*"; }
# pixel PNG X Y: the colour there as rrggbb.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr -d '#' | tr 'A-F' 'a-f'; }
# wintext TITLE [CONTROL]: what md_wintext.exe reads of a window or one of its controls.
wintext() { "$WINE" "$DIST/md_wintext.exe" "$@" 2>/dev/null | tr -d '\r'; }
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() { local until=$((SECONDS + $1)); shift; until "$@"; do [ $SECONDS -lt $until ] || return 1; sleep 0.2; done; }

# A prefix and wine server of the run's own, so window lookups see only this run's windows. The
# server and Wine's services start here, apart from the checks' pipes (started by the player they
# would hold its output open).
"$E2E_DIR/../../scripts/new-prefix" "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true
"$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
PID=
cleanup() { [ -z "$PID" ] || kill "$PID" 2>/dev/null || true; wineserver -k 2>/dev/null || true; }
trap cleanup EXIT

# start_player DISK: runs Musicdisk.exe in the disk's folder; PID is the player's, ended on exit.
# Its output goes to $WORK/player.log with its debug strings, where the audio library says when
# its output queue ran dry.
start_player() {
  cd "$1"
  WINEDEBUG="$WINEDEBUG,warn+debugstr" "$WINE" "$DIST/Musicdisk.exe" 2>>"$WORK/player.log" &
  PID=$!
}

# activate WINDOW CLASS: gives the X window the keyboard through the window manager and waits until
# Wine has made its window of that class the foreground window (md_probe.exe, beside the player):
# keys go to Wine's foreground, which follows the manager once the player's thread has handled it.
activate() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 &&
    "$WINE" "$DIST/md_probe.exe" active "$2" 10000 >/dev/null 2>&1
}

# escape_ends_player: Escape on the main window must end the player with exit code 0.
escape_ends_player() {
  local code=0
  ended() { ! kill -0 "$PID" 2>/dev/null; }
  activate "$(xdotool search --name '^Musicdisk$' | awk 'NR == 1')" Musicdisk ||
    fail "the main window cannot be activated"
  xdotool key Escape
  wait_for 10 ended || fail "Escape on the main window did not end the program"
  wait "$PID" || code=$?
  PID=
  [ "$code" = 0 ] || fail "exit code $code"
  pass "Escape on the main window ends the program with exit code 0"
}

# mark NAME: notes the moment, in seconds of the recording, for the checks of what was heard.
mark() { echo "$1 $(($(stat -c %s "$SOUND") / 4))" | awk '{ printf "%s %.3f\n", $1, $2 / 44100 }' >>"$WORK/marks"; }
# no_dropouts [--music]: fails on any dropout in the recording so far, away from the marked
# moments (--music: the recording is music, not the test disk's tones).
no_dropouts() {
  python3 "$E2E_DIR/sound.py" dropouts "$SOUND" --marks "$WORK/marks" --player-log "$WORK/player.log" "$@" ||
    fail "dropouts in the sound"
  pass "no dropouts in the sound"
}
