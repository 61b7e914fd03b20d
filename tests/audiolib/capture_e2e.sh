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
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINELOADER=$wine

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

python3 - "$work/out.raw" <<'PY'
import array, math, sys
data = array.array('h', open(sys.argv[1], 'rb').read())
left = data[0::2]
rate = 44100
# The tone itself: from the first to the last sample above a small threshold.
loud = [i for i, v in enumerate(left) if abs(v) > 1000]
if not loud:
    sys.exit("FAIL: the captured sound is silent (%d frames)" % len(left))
tone = left[loud[0]:loud[-1] + 1]
seconds = len(tone) / rate
crossings = [i for i in range(1, len(tone)) if tone[i - 1] < 0 <= tone[i]]
freq = (len(crossings) - 1) * rate / (crossings[-1] - crossings[0])
rms = math.sqrt(sum(v * v for v in tone) / len(tone))
# A gap: 5 ms or more of near silence inside the tone.
gap = run = 0
for v in tone:
    run = run + 1 if abs(v) < 200 else 0
    gap = max(gap, run)
print("captured %.3f s of tone, %.1f Hz, rms %.0f, longest quiet run %d frames" % (seconds, freq, rms, gap))
ok = abs(seconds - 1.5) < 0.1 and abs(freq - 1000) < 5 and rms > 8000 and gap < 220
sys.exit(0 if ok else "FAIL: expected 1.5 s of a 1000 Hz tone without gaps")
PY
