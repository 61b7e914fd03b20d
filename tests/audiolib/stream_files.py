#!/usr/bin/env python3
"""Stream files that sox and lame cannot make, for make-streams.sh:
  stream_files.py ape-tagged SRC DST         SRC with an APEv2 tag (header, one item, footer) and an ID3v1 tag
  stream_files.py mpeg-in-wav SRC DST LAYER  SRC's MPEG frames in a WAV file (tag 0x55 for layer 3, else 0x50)"""
import struct
import sys


def ape_tagged(src, dst):
    item = struct.pack("<II", 9, 0) + b"Title\0" + b"A tune!!!"

    def ape(flags):  # version 2000, size of the items and the footer, one item
        return b"APETAGEX" + struct.pack("<IIII", 2000, len(item) + 32, 1, flags) + b"\0" * 8

    tag = ape(0xA0000000) + item + ape(0x80000000)
    v1 = b"TAG" + b"Title".ljust(30, b"\0") + b"\0" * 94 + b"\xff"
    with open(src, "rb") as f:
        data = f.read()
    with open(dst, "wb") as f:
        f.write(data + tag + v1)


def mpeg_in_wav(src, dst, layer):
    with open(src, "rb") as f:
        data = f.read()
    if layer == 3:  # MPEGLAYER3WAVEFORMAT: id, flags, block size, frames per block, codec delay
        tag, extra = 0x55, struct.pack("<HIHHH", 1, 2, 418, 1, 1393)
    else:           # MPEG1WAVEFORMAT: layer, bit rate, modes, mode extension, emphasis, flags, time stamp
        tag, extra = 0x50, struct.pack("<HIHHHHII", layer, 192000, 1, 1, 1, 16, 0, 0)
    fmt = struct.pack("<HHIIHHH", tag, 2, 44100, 16000, 1, 0, len(extra)) + extra
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"fact" + struct.pack("<II", 4, 0) + b"data" + struct.pack("<I", len(data)) + data
    if len(data) & 1:
        body += b"\0"
    with open(dst, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


if __name__ == "__main__":
    if sys.argv[1:2] == ["ape-tagged"] and len(sys.argv) == 4:
        ape_tagged(sys.argv[2], sys.argv[3])
    elif sys.argv[1:2] == ["mpeg-in-wav"] and len(sys.argv) == 5:
        mpeg_in_wav(sys.argv[2], sys.argv[3], int(sys.argv[4]))
    else:
        sys.exit(__doc__)
