#!/usr/bin/env bash
# Bad-disk matrix: bad_disks.sh DIST_DIR WORK_DIR [LANES]
# BAD_DISK_ONLY, a comma-separated list of parts of case names, picks some of the disks.
# The real player on about forty broken disks made by bad_disks.py: exactly the "Error" boxes the
# skin rules give, 5 s of running after them, exit code 0 on Escape; on the hostile ones also a
# round of their sound songs, start-up and memory against a clean disk, and mdcheck's findings.
# Lanes run in parallel, each with its own desktop (display, window manager, sound server) and
# Wine prefix.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
DIST=$(cd "$1" && pwd)
WORK=${2:-$(mktemp -d)}
LANES=${3:-${BAD_DISK_LANES:-4}}
mkdir -p "$WORK"; WORK=$(cd "$WORK" && pwd)
export WINELOADER=${WINE:-/usr/lib/wine/wine64} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for tool in Xvfb openbox pulseaudio xdotool python3; do command -v $tool >/dev/null || { echo "FAIL: $tool missing" >&2; exit 1; }; done
exec python3 "$HERE/bad_disks.py" --dist "$DIST" --work "$WORK" --lanes "$LANES" --only "${BAD_DISK_ONLY:-}"
