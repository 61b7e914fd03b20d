#!/usr/bin/env bash
# Soak run of the real player: soak.sh DIST_DIR WORK_DIR [SECONDS] [SEED]
# DIST_DIR holds Musicdisk.exe, BASS.dll, md_probe.exe, md_wintext.exe and md_baseline.exe (the
# 64-bit build's dist64 here). A disk of many short songs, some unplayable, is generated in
# WORK_DIR; the player is driven at random (seeded) with xdotool for SECONDS (default 600) and then
# checked: alive and responsive, every song change explained, memory growth bounded, live GDI
# objects back to their count at start, exit code 0 on Escape. soak.py holds the details.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
DIST=$(cd "$1" && pwd)
WORK=${2:-$(mktemp -d)}
SECONDS_TOTAL=${3:-600}
SEED=${4:-${SOAK_SEED:-20260}}
mkdir -p "$WORK"; WORK=$(cd "$WORK" && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
export WINELOADER=$WINE WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A prefix of our own: its wine server sees only this run's windows, so looking them up by class
# cannot find another test's player.
export WINEPREFIX=$WORK/wineprefix
if [ -z "${MD_SOAK_DISPLAY:-}" ]; then
  # A desktop like a user's (tests/e2e/desktop): display, window manager, a sound server that
  # plays in real time, so songs end on the wall clock.
  MD_SOAK_DISPLAY=1 exec "$HERE/../e2e/desktop" run "$WORK/desktop" -- \
    bash "$HERE/soak.sh" "$DIST" "$WORK" "$SECONDS_TOTAL" "$SEED"
fi
for tool in xdotool python3; do command -v $tool >/dev/null || { echo "FAIL: $tool missing" >&2; exit 1; }; done
"$HERE/../../scripts/new-prefix" "$WINEPREFIX"
# A lasting wine server started apart from the checks' pipes (a server started by a program whose
# output is read through a pipe would hold that pipe open).
wineserver -p >/dev/null 2>&1 </dev/null || true
status=0
python3 "$HERE/soak.py" --dist "$DIST" --work "$WORK" --seconds "$SECONDS_TOTAL" --seed "$SEED" \
  --demo "$HERE/../../demo" || status=$?
wineserver -k 2>/dev/null || true
exit $status
