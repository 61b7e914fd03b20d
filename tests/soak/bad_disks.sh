#!/usr/bin/env bash
# Bad-disk matrix, inside tests/e2e/run: bad_disks.sh [LANES]
# BAD_DISK_ONLY, a comma-separated list of parts of case names, picks some of the disks.
# The real player on about forty broken disks made by bad_disks.py: exactly the "Error" boxes the
# skin rules give, 5 s of running after them, exit code 0 on Escape; on the hostile ones also a
# round of their sound songs, start-up and memory against a clean disk, and mdcheck's findings.
# Lanes run in parallel, each with its own desktop (display, window manager, sound server) and
# Wine prefix.
set -euo pipefail
exec python3 "$(dirname "$0")/bad_disks.py" --dist "$DIST" --work "$WORK" --lanes "${1:-${BAD_DISK_LANES:-4}}" \
  --only "${BAD_DISK_ONLY:-}"
