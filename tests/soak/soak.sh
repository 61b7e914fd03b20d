#!/usr/bin/env bash
# Soak run of the real player, inside tests/e2e/run: soak.sh [SECONDS] [SEED]
# DIST holds Musicdisk.exe, BASS.dll, md_probe.exe, md_wintext.exe and md_baseline.exe. A disk of
# many short songs, some unplayable, is generated in WORK; the player is driven at random (seeded)
# with xdotool for SECONDS (default 600) and then checked: alive and responsive, every song change
# explained, memory growth bounded, live GDI objects back to their count at start, exit code 0 on
# Escape. soak.py holds the details.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
exec python3 "$HERE/soak.py" --dist "$DIST" --work "$WORK" --seconds "${1:-600}" --seed "${2:-${SOAK_SEED:-20260}}" \
  --demo "$HERE/../../demo"
