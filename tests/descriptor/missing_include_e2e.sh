#!/usr/bin/env bash
# Musicdisk.exe, inside tests/e2e/run, in a disk folder whose descriptor includes a missing file:
# it reports it on stderr. The program keeps running (message loop, windows), so it is ended by its
# PID once the line appeared or the time is up.
set -uo pipefail
disk=$WORK/disk
mkdir -p "$disk/music"
# A skin for the start-up that precedes the descriptor.
cp -r "$(dirname "$0")/../../demo/gui" "$disk/"
printf 'music.file.01=music\\none.xm\r\n@music\\missing.dat\r\nmusic.desc.01=still read\r\n' > "$disk/music/config.dat"

expected='descriptor music\missing.dat could not be loaded'
(cd "$disk" && exec "$WINE" "$DIST/Musicdisk.exe") 2>"$WORK/stderr.txt" >/dev/null &
pid=$!
for _ in $(seq 1 60); do
  grep -qF "$expected" "$WORK/stderr.txt" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

if grep -qF "$expected" "$WORK/stderr.txt"; then
  echo "found on stderr: $expected"
  exit 0
fi
echo "missing on stderr: $expected; stderr was:" >&2
cat "$WORK/stderr.txt" >&2
exit 1
