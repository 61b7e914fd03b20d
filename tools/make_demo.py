"""Regenerates the whole demo musicdisk: songs, splash music, skin pictures, skins and descriptor.

Every generator is deterministic, so running this again gives the same bytes (the Ogg Vorbis
song is byte-identical for the same oggenc version). The disk folder gets music\\ and gui\\;
the player and its audio library are copied in by scripts/demo.

Usage: make_demo.py [DISKDIR]   (default: demo/ beside tools/)
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import art  # noqa: E402
import disk  # noqa: E402
import modgen  # noqa: E402
import skins  # noqa: E402
import streams  # noqa: E402


def write_skins(guidir):
    os.makedirs(guidir, exist_ok=True)
    written = []
    for skin in skins.all_skins():
        path = os.path.join(guidir, skin.name + ".ini")
        with open(path, "wb") as f:
            f.write(skin.ini_text().encode("ascii"))
        written.append(path)
    return written


def make(diskdir):
    music = os.path.join(diskdir, "music")
    gui = os.path.join(diskdir, "gui")
    written = []
    written += modgen.write_all(music)
    written += streams.write_all(music)
    written += disk.write_all(music)
    written += art.write_all(gui)
    written += write_skins(gui)
    return written


def main(argv):
    diskdir = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(HERE), "demo")
    written = make(diskdir)
    total = 0
    for path in sorted(written):
        size = os.path.getsize(path)
        total += size
        print("%9d  %s" % (size, os.path.relpath(path, diskdir)))
    print("%9d  in %d files" % (total, len(written)))


if __name__ == "__main__":
    main(sys.argv)
