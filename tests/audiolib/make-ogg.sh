#!/usr/bin/env bash
# Makes the small Ogg Vorbis files the audio library's tests read (committed in data/):
#   tone-44100.ogg        2.0 s, 1000 Hz sine, stereo, 44.1 kHz
#   tone-22050-mono.ogg   1.5 s,  440 Hz sine, mono, 22.05 kHz
set -euo pipefail
cd "$(dirname "$0")/data"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
sox -n -r 44100 -c 2 -b 16 "$tmp/a.wav" synth 2.0 sine 1000 vol 0.5
sox -n -r 22050 -c 1 -b 16 "$tmp/b.wav" synth 1.5 sine 440 vol 0.5
oggenc -Q -q 2 -o tone-44100.ogg "$tmp/a.wav"
oggenc -Q -q 2 -o tone-22050-mono.ogg "$tmp/b.wav"
