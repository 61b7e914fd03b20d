#!/usr/bin/env bash
# Runs Musicdisk.exe under Wine in a disk folder whose descriptor includes a missing file and
# checks that the program reports it on stderr. The program keeps running (message loop, windows),
# so it is ended by its PID once the line appeared or the time is up.
# Usage: missing_include_e2e.sh <Musicdisk.exe>
set -uo pipefail
exe=$(readlink -f "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The test layer names its Wine (64-bit, or the 32-bit runner); by hand, a 64-bit program needs
# 64-bit Wine's loader (the wine wrapper prefers the 32-bit one).
wine=${WINE:-wine}
if [ -z "${WINE:-}" ] && file -b "$exe" | grep -q x86-64; then wine=/usr/lib/wine/wine64; fi
export WINELOADER=$wine

# The program runs on a desktop of its own (tests/e2e/desktop), with a prefix and Wine server of its
# own (a copy of MD_WINEPREFIX_TEMPLATE when the test layer names one), so its windows reach that
# display.
if [ -z "${MD_E2E_DESKTOP:-}" ]; then
  work=$(mktemp -d)
  status=0
  WINEPREFIX=$work/wineprefix MD_E2E_DESKTOP=1 \
    "$root/tests/e2e/desktop" run "$work/desktop" -- bash "$0" "$@" || status=$?
  rm -rf "$work"
  exit $status
fi
WINE=$wine "$root/scripts/new-prefix" "$WINEPREFIX"

disk=$(mktemp -d)
trap 'wineserver -k 2>/dev/null; rm -rf "$disk"' EXIT
mkdir -p "$disk/music"
# A skin for the start-up that precedes the descriptor, when the demo disk has one.
[ -d "$root/demo/gui" ] && cp -r "$root/demo/gui" "$disk/"
printf 'music.file.01=music\\none.xm\r\n@music\\missing.dat\r\nmusic.desc.01=still read\r\n' > "$disk/music/config.dat"

expected='descriptor music\missing.dat could not be loaded'
(cd "$disk" && exec "$wine" "$exe") 2>"$disk/stderr.txt" >/dev/null &
pid=$!
for _ in $(seq 1 60); do
  grep -qF "$expected" "$disk/stderr.txt" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
sleep 1
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

if grep -qF "$expected" "$disk/stderr.txt"; then
  echo "found on stderr: $expected"
  exit 0
fi
echo "missing on stderr: $expected; stderr was:" >&2
cat "$disk/stderr.txt" >&2
exit 1
