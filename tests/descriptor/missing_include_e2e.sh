#!/usr/bin/env bash
# Runs Musicdisk.exe under Wine in a disk folder whose descriptor includes a missing file and
# checks that the program reports it on stderr. The program keeps running (message loop, windows),
# so it is ended by its PID once the line appeared or the time is up.
# Usage: missing_include_e2e.sh <Musicdisk.exe> [default WINEPREFIX]
set -uo pipefail
exe=$(readlink -f "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX=${WINEPREFIX:-${2:?no Wine prefix}}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The test layer names its Wine (64-bit, or the 32-bit runner); by hand, a 64-bit program needs
# 64-bit Wine's loader (the wine wrapper prefers the 32-bit one).
wine=${WINE:-wine}
if [ -z "${WINE:-}" ] && file -b "$exe" | grep -q x86-64; then wine=/usr/lib/wine/wine64; fi
export WINELOADER=$wine

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
WINE=$wine "$root/scripts/new-prefix" "$WINEPREFIX"

disk=$(mktemp -d)
trap 'rm -rf "$disk"' EXIT
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
