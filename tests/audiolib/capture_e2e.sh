#!/usr/bin/env bash
# Plays a generated 1.5 s, 1000 Hz sine through BASS.dll's default output under Wine, with ALSA's
# default device pointed at a file, and checks what came out: its duration, that it is not silent,
# its frequency and that it has no gaps. The file sink takes sound as fast as it comes, so this
# checks what the library sends, whatever the machine's load; what is heard in real time is
# checked on the end-to-end desktop (tests/e2e).
# Usage: capture_e2e.sh <capture_play.exe> <Wine loader>
set -euo pipefail
exe=$(readlink -f "$1")
wine=${2:-wine}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: "${WINEPREFIX:?WINEPREFIX must be set}"
source "$(dirname "$0")/../../scripts/wine-env.sh"
export WINEDEBUG=-all WINELOADER=$wine

# The program's own HOME, whose ALSA configuration sends the default device to a file.
mkdir -p "$work/home"
printf 'pcm.!default { type file; slave.pcm "null"; file "%s/out.raw"; format "raw" }\n' "$work" > "$work/home/.asoundrc"
sox -n -r 44100 -c 2 -b 16 "$work/sine.wav" synth 1.5 sine 1000 vol 0.5

cp "$exe" "$work/"
cp "$(dirname "$exe")/BASS.dll" "$work/"
WINE=$wine "$(dirname "$0")/../../scripts/new-prefix" "$WINEPREFIX"
# Output through a file: Wine's helper processes inherit pipes and would keep ctest waiting.
status=0
# capture_play holds up the mixer after the end, so its queue runs dry: the library must say so to
# a debugger, which Wine writes out on its debugstr channel.
(cd "$work" && HOME="$work/home" WINEDEBUG=-all,warn+debugstr timeout 60 "$wine" "$(basename "$exe")" sine.wav stall \
  >"$work/play.log" 2>&1) || status=$?
grep -v '^ALSA lib' "$work/play.log" || true
[ $status -eq 0 ] || { echo "FAIL: capture_play exited with $status"; exit 1; }
grep -q 'the output queue ran dry' "$work/play.log" || { echo "FAIL: the queue ran dry, unreported"; exit 1; }
echo "ok: the queue running dry was reported"

python3 "$(dirname "$0")/../e2e/verdicts.py" capture "$work/out.raw"
