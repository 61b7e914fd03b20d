#!/usr/bin/env bash
# Makes the MP3 and WAV files the audio library's stream tests read, into DIR, with Debian's
# encoders (lame, sox), and writes DIR/streams.txt: one line per file,
#   name rate reference length:tolerance...
# with the file's sample rate, a 16-bit PCM decoding of it by another program ("-" when there is
# none to compare with) and the lengths in frames that others give it, each with how far ours may
# differ: mpg123's (gapless, as ours) within one MPEG frame; sox's decoding, which keeps the
# encoder's delay and padding and drops a frame at the start of untagged files, within two frames
# more than the delay and padding; sox for WAV files exactly, or
# within one block for ADPCM (sox counts whole blocks).
# DIR/mpeg-corpus gets the heads of the MPEG files as seeds for mpeg_stream_fuzzer, DIR/wav-corpus
# those of the WAV files (every coding) for wav_reader_fuzzer; both seed module_load_fuzzer too.
# Usage: make-streams.sh DIR   (a few seconds; files are remade only when the script is newer)
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
cd "$out"
[ streams.txt -nt "$here/make-streams.sh" ] && [ streams.txt -nt "$here/stream_files.py" ] && exit 0
for tool in lame mpg123 sox python3; do
  command -v $tool >/dev/null || { echo "make-streams: $tool is missing (scripts/setup installs it)" >&2; exit 1; }
done
sox -h | grep -q 'AUDIO FILE FORMATS:.* mp3' || { echo "make-streams: sox reads no MP3 (libsox-fmt-mp3)" >&2; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
list=$tmp/streams.txt

# tone RATE CHANNELS SECONDS: a source WAV of two sines and a sweep.
tone() {
  local f=$tmp/tone-$1-$2-$3.wav
  [ -f "$f" ] || sox -n -r "$1" -c "$2" -b 16 "$f" synth "$3" sine 440 sine 660 sine 200-3000 remix - vol 0.3 channels "$2"
  echo "$f"
}
frames() { echo $(( $(wc -c <"$1") / 4 )); }  # raw 16-bit stereo

# mp3 NAME RATE CHANNELS SECONDS SPF ENCODER-ARGS...: encodes a tone with lame.
mp3() {
  local name=$1 rate=$2 channels=$3 seconds=$4 spf=$5; shift 5
  lame --quiet "$@" "$(tone "$rate" "$channels" "$seconds")" "$name"
  measure "$name" "$rate" "$spf"
}

# measure NAME RATE SPF: the lengths mpg123 and sox give an MPEG file.
measure() {
  local name=$1 rate=$2 spf=$3 ref=-
  mpg123 -q --stereo -s "$name" >"$tmp/a.raw" 2>/dev/null
  mpg123 -q --stereo -s --no-gapless "$name" >"$tmp/b.raw" 2>/dev/null
  sox -q "$name" -t raw -e signed -b 16 -c 2 "$tmp/c.raw" 2>/dev/null
  local gapless nogapless soxlen
  gapless=$(frames "$tmp/a.raw"); nogapless=$(frames "$tmp/b.raw"); soxlen=$(frames "$tmp/c.raw")
  if [ "$rate" = 44100 ]; then ref=${name%.*}.ref.wav; mpg123 -q --stereo -w "$ref" "$name" 2>/dev/null; fi
  echo "$name $rate $ref $gapless:$spf $soxlen:$((2 * spf + nogapless - gapless))" >>"$list"
}

# MPEG-1 layer III: CBR with a LAME tag (Info), VBR and ABR with Xing and LAME, and without any tag
# (the length by a scan).
mp3 l3-cbr128-44100.mp3 44100 2 3 1152 -b 128
mp3 l3-vbr-44100.mp3 44100 2 3 1152 -V 4
mp3 l3-abr-48000.mp3 48000 2 2 1152 --abr 160
mp3 l3-cbr64-32000-mono.mp3 32000 1 2 1152 -m m -b 64
mp3 l3-notag-44100.mp3 44100 2 3 1152 -t -b 160
mp3 l3-vbr-notag-44100-mono.mp3 44100 1 2 1152 -t -V 2 -m m
# MPEG-2 and 2.5 (half and quarter rates, 576 samples a frame); at 8 kbps the frames are too
# small for a LAME tag.
mp3 l3-mpeg2-22050-mono.mp3 22050 1 2 576 -m m -b 64
mp3 l3-mpeg2-16000-vbr.mp3 16000 2 2 576 -V 5
mp3 l3-mpeg2-24000.mp3 24000 2 2 576 -b 96
mp3 l3-mpeg25-8000-mono.mp3 8000 1 2 576 -m m -b 8
mp3 l3-mpeg25-11025.mp3 11025 2 2 576 -b 32
mp3 l3-mpeg25-12000-vbr.mp3 12000 1 2 576 -V 3 -m m
# Tags: ID3v2 (padded to 5000 bytes) with ID3v1; an APE tag and ID3v1 after the frames.
mp3 l3-id3-44100.mp3 44100 2 2 1152 -b 128 --add-id3v2 --pad-id3v2-size 5000 --tt "Test tune" --ta "Us"
python3 "$here/stream_files.py" ape-tagged "$out/l3-cbr128-44100.mp3" "$out/l3-ape-44100.mp3"
measure l3-ape-44100.mp3 44100 1152
# Layer II, through sox.
sox -q "$(tone 44100 2 3)" -C 192 l2-192-44100.mp2
measure l2-192-44100.mp2 44100 1152

# WAV files whose data is MPEG audio: format tag 0x55 around the CBR file, 0x50 around layer II.
python3 "$here/stream_files.py" mpeg-in-wav "$out/l3-cbr128-44100.mp3" "$out/wav-mpeg3.wav" 3
python3 "$here/stream_files.py" mpeg-in-wav "$out/l2-192-44100.mp2" "$out/wav-mpeg2.wav" 2
for w in wav-mpeg3.wav:l3-cbr128-44100.mp3 wav-mpeg2.wav:l2-192-44100.mp2; do
  line=$(grep "^${w#*:} " "$list")
  echo "${w%%:*} ${line#* }" >>"$list"
done

# wav NAME RATE CHANNELS TOLERANCE SOX-ARGS...: a WAV coding made by sox, with sox's decoding to
# 16-bit PCM (no dither) as the reference where it is stereo or mono.
wav() {
  local name=$1 rate=$2 channels=$3 tolerance=$4 ref=-; shift 4
  sox -q "$(tone "$rate" "$channels" 1)" "$@" "$name"
  if [ "$channels" -le 2 ]; then ref=${name%.wav}.ref.wav; sox -q -D "$name" -e signed -b 16 -t wavpcm "$ref"; fi
  echo "$name $rate $ref $(soxi -s "$name"):$tolerance" >>"$list"
}
wav f32-44100.wav 44100 2 0 -e floating-point -b 32
wav f64-22050-mono.wav 22050 1 0 -e floating-point -b 64
wav ext-pcm24-44100.wav 44100 2 0 -b 24
wav ext-pcm16-48000-6ch.wav 48000 6 0 -b 16
wav ext-float-44100-4ch.wav 44100 4 0 -e floating-point -b 32
wav pcm16-32000-3ch.wav 32000 3 0 -b 16 -t wavpcm
wav alaw-8000-mono.wav 8000 1 0 -e a-law
wav ulaw-44100.wav 44100 2 0 -e u-law
wav ima-44100.wav 44100 2 2041 -e ima-adpcm
wav ima-22050-mono.wav 22050 1 1017 -e ima-adpcm
wav ms-44100.wav 44100 2 1012 -e ms-adpcm
wav ms-11025-mono.wav 11025 1 500 -e ms-adpcm
# Fuzzing seeds: the first 2 KB of each MPEG file and the WAV files holding MPEG data, and the first
# 4 KB of every WAV coding (their data chunks then claim more than is there, as cut files do).
mkdir -p mpeg-corpus wav-corpus
for f in *.mp3 *.mp2 wav-mpeg*.wav; do head -c 2048 "$f" >"mpeg-corpus/$f"; done
for f in *.wav; do case $f in *.ref.wav) ;; *) head -c 4096 "$f" >"wav-corpus/$f" ;; esac; done
mv "$list" streams.txt
