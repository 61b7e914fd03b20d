# What the end-to-end scripts share. Source it first thing; the script runs inside tests/e2e/run,
# which gives DIST, WORK, E2E_DIR, WINE, WINEPREFIX, the desktop and, for runs with sound, SOUND.
[ -n "${WORK:-}" ] && [ -n "${DIST:-}" ] || { echo "run me through tests/e2e/run" >&2; exit 2; }
: >"$WORK/marks"
: >"$WORK/player.log"
step=0
# shot NAME: a screenshot of the whole display; its file name is left in SHOT.
shot() { step=$((step + 1)); SHOT="$WORK/$(printf %02d $step)-$1.png"; import -window root "$SHOT"; }
# A failure leaves a screenshot of the display as it was, beside the others.
fail() {
  shot failed 2>/dev/null || true
  [ ! -s "$WORK/player.log" ] || { echo "the player's output, last lines:"; tail -n 20 "$WORK/player.log"; } >&2
  echo "FAIL: $* (display: ${SHOT:-none})" >&2
  exit 1
}
pass() { echo "ok: $*"; }
# pixel PNG X Y: the colour there as rrggbb.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr -d '#' | tr 'A-F' 'a-f'; }
# wintext CLASS [CONTROL]: what md_wintext.exe reads of a window or one of its controls.
wintext() { "$WINE" "$DIST/md_wintext.exe" "$@" 2>/dev/null | tr -d '\r'; }
# wait_for SECONDS COMMAND...: polls until the command succeeds, at most SECONDS; prints how long
# it waited (WAITED, in seconds) beside that bound. Every 0.2 s for the first 2 s, then every
# second: a probe through Wine costs most of a second of CPU under emulation, which a long wait
# would otherwise take from the player.
wait_for() {
  local limit=$1 start=${EPOCHREALTIME//[.,]/} status=0 waited; shift
  until "$@"; do
    waited=$((${EPOCHREALTIME//[.,]/} - start))
    [ "$waited" -lt $((limit * 1000000)) ] || { status=1; break; }
    if [ "$waited" -lt 2000000 ]; then sleep 0.2; else sleep 1; fi
  done
  waited=$((${EPOCHREALTIME//[.,]/} - start))
  WAITED=$((waited / 1000000)).$((waited / 100000 % 10))
  echo "waited $WAITED s (at most $limit) for $*"
  return $status
}

PID=
trap '[ -z "$PID" ] || kill "$PID" 2>/dev/null || true' EXIT

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
  pass "Escape on the main window ends the program with exit code 0 (after ${WAITED} s)"
}

# verdict NAME ARGS...: one check of verdicts.py on what the run left; its lines are printed.
verdict() { python3 "$E2E_DIR/verdicts.py" "$@"; }
# mark NAME: notes the moment, in seconds of the recording, for the checks of what was heard.
mark() { echo "$1 $(($(stat -c %s "$SOUND") / 4))" | awk '{ printf "%s %.3f\n", $1, $2 / 44100 }' >>"$WORK/marks"; }
# sound_report [sound.py report options]: what the recording holds of short silences, printed as
# a report; fails when the player's log says its own output queue ran dry (and, run with
# tests/e2e/run --strict, on any silence found).
sound_report() {
  python3 "$E2E_DIR/sound.py" report "$SOUND" --marks "$WORK/marks" --player-log "$WORK/player.log" \
    ${MD_SOUND_STRICT:+--strict} "$@" || fail "the player's output queue ran dry${MD_SOUND_STRICT:+, or silences in the sound}"
  pass "the player's output queue never ran dry"
}
