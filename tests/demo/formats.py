"""Readers written for the tests, apart from the generators: GIF (with its own LZW decoder), BMP,
WAV, Ogg pages, 4-channel modules, skin ini files and the musicdisk descriptor."""
import os
import struct


class FormatError(ValueError):
    pass


# ---------------------------------------------------------------- pictures

def lzw_decode(data, min_code_size, count):
    """GIF LZW codes, least significant bit first, up to the end code; returns `count` indices."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table, size, prev = None, 0, None
    out = bytearray()
    acc = nbits = pos = 0

    def reset():
        return [bytes((i,)) for i in range(clear)] + [b"", b""], min_code_size + 1, None

    table, size, prev = reset()
    while True:
        while nbits < size:
            if pos >= len(data):
                raise FormatError("image data ends before the end code")
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            table, size, prev = reset()
            continue
        if code == end:
            break
        if prev is None:
            if code >= clear:
                raise FormatError("first code after a clear is not a colour")
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < 4096:
                table.append(prev + entry[:1])
        elif code == len(table) and len(table) < 4096:
            entry = prev + prev[:1]
            table.append(entry)
        else:
            raise FormatError("code %d beyond the table (%d)" % (code, len(table)))
        out += entry
        if len(table) == (1 << size) and size < 12:
            size += 1
        prev = entry
    if len(out) != count:
        raise FormatError("%d pixels decoded, %d expected" % (len(out), count))
    return bytes(out)


def _sub_blocks(data, pos):
    chunks = []
    while True:
        n = data[pos]
        pos += 1
        if n == 0:
            return b"".join(chunks), pos
        chunks.append(data[pos:pos + n])
        pos += n


def read_gif(data):
    """(width, height, pixels as 0xRRGGBB) of a single-image, full-canvas, non-interlaced GIF."""
    if data[:6] not in (b"GIF87a", b"GIF89a"):
        raise FormatError("not a GIF")
    width, height, packed = struct.unpack("<HHB", data[6:11])
    pos = 13
    palette = None
    if packed & 0x80:
        n = 2 << (packed & 7)
        palette = [(data[pos + 3 * i] << 16) | (data[pos + 3 * i + 1] << 8) | data[pos + 3 * i + 2] for i in range(n)]
        pos += 3 * n
    image = None
    while True:
        kind = data[pos]
        pos += 1
        if kind == 0x3B:
            break
        if kind == 0x21:
            _, pos = _sub_blocks(data, pos + 1)
        elif kind == 0x2C:
            left, top, w, h, ipacked = struct.unpack("<HHHHB", data[pos:pos + 9])
            pos += 9
            if (left, top, w, h) != (0, 0, width, height) or ipacked & 0x40:
                raise FormatError("only full-canvas, non-interlaced images are expected")
            table = palette
            if ipacked & 0x80:
                n = 2 << (ipacked & 7)
                table = [(data[pos + 3 * i] << 16) | (data[pos + 3 * i + 1] << 8) | data[pos + 3 * i + 2]
                         for i in range(n)]
                pos += 3 * n
            if table is None:
                raise FormatError("no colour table")
            min_code_size = data[pos]
            codes, pos = _sub_blocks(data, pos + 1)
            indices = lzw_decode(codes, min_code_size, w * h)
            image = [table[i] for i in indices]
        else:
            raise FormatError("unknown block 0x%02X" % kind)
    if pos != len(data):
        raise FormatError("bytes after the trailer")
    if image is None:
        raise FormatError("no image")
    return width, height, image


def read_bmp(data):
    """(width, height, pixels as 0xRRGGBB, top row first) of an uncompressed 24-bit bitmap."""
    if data[:2] != b"BM":
        raise FormatError("not a bitmap")
    size, _, _, offset = struct.unpack("<IHHI", data[2:14])
    header, width, height, planes, bits, compression, image_size = struct.unpack("<IiiHHII", data[14:38])
    if size != len(data) or header != 40 or planes != 1 or bits != 24 or compression != 0:
        raise FormatError("unexpected bitmap header")
    if width <= 0 or height <= 0:
        raise FormatError("bad size")
    stride = (width * 3 + 3) & ~3
    if offset + stride * height != len(data) or image_size not in (0, stride * height):
        raise FormatError("pixel data size does not match")
    pixels = []
    for row in range(height - 1, -1, -1):
        base = offset + row * stride
        for x in range(width):
            b, g, r = data[base + 3 * x:base + 3 * x + 3]
            pixels.append((r << 16) | (g << 8) | b)
    return width, height, pixels


def read_picture(path):
    with open(path, "rb") as f:
        data = f.read()
    return read_gif(data) if path.lower().endswith(".gif") else read_bmp(data)


# ---------------------------------------------------------------- sound

def read_wav(data, strict=True):
    """(format fields, sample bytes) of a RIFF WAVE file. Not strict: the RIFF size may be off (as
    some writers leave it); the chunks must still fit the file."""
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise FormatError("not a WAV file")
    if strict and struct.unpack("<I", data[4:8])[0] != len(data) - 8:
        raise FormatError("RIFF size does not match the file")
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        cid, n = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + n]
        if len(body) != n:
            raise FormatError("chunk runs past the end")
        if cid == b"fmt ":
            tag, channels, rate, byte_rate, align, bits = struct.unpack("<HHIIHH", body[:16])
            fmt = {"tag": tag, "channels": channels, "rate": rate, "byte_rate": byte_rate, "align": align,
                   "bits": bits}
        elif cid == b"data":
            samples = body
        pos += 8 + n + (n & 1)
    if fmt is None or samples is None:
        raise FormatError("fmt or data chunk missing")
    return fmt, samples


def _ogg_crc_table():
    table = []
    for i in range(256):
        r = i << 24
        for _ in range(8):
            r = ((r << 1) ^ 0x04C11DB7) if r & 0x80000000 else (r << 1)
        table.append(r & 0xFFFFFFFF)
    return table


_OGG_CRC = _ogg_crc_table()


def ogg_crc(data):
    crc = 0
    for b in data:
        crc = ((crc << 8) & 0xFFFFFFFF) ^ _OGG_CRC[((crc >> 24) ^ b) & 0xFF]
    return crc


def read_ogg_pages(data):
    """Every page as a dict (flags, granule, serial, sequence, body); checks each page's CRC."""
    pages, pos = [], 0
    while pos < len(data):
        if data[pos:pos + 4] != b"OggS" or data[pos + 4] != 0:
            raise FormatError("no Ogg page at byte %d" % pos)
        flags = data[pos + 5]
        granule, serial, sequence, crc, nseg = struct.unpack("<qIIIB", data[pos + 6:pos + 27])
        lacing = data[pos + 27:pos + 27 + nseg]
        end = pos + 27 + nseg + sum(lacing)
        if end > len(data):
            raise FormatError("page runs past the end")
        page = bytearray(data[pos:end])
        page[22:26] = b"\0\0\0\0"
        if ogg_crc(page) != crc:
            raise FormatError("page %d: CRC mismatch" % sequence)
        pages.append({"flags": flags, "granule": granule, "serial": serial, "sequence": sequence,
                      "body": data[pos + 27 + nseg:end]})
        pos = end
    return pages


# ---------------------------------------------------------------- modules

AMIGA_PERIODS = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
}


def read_mod(data):
    """A 31-sample, 4-channel "M.K." module: title, samples, orders and decoded pattern cells."""
    if len(data) < 1084 or data[1080:1084] != b"M.K.":
        raise FormatError("not a 4-channel M.K. module")
    samples = []
    for i in range(31):
        base = 20 + 30 * i
        length, finetune, volume, loop_start, loop_length = struct.unpack(">HBBHH", data[base + 22:base + 30])
        samples.append({"length": length * 2, "finetune": finetune, "volume": volume,
                        "loop_start": loop_start * 2, "loop_length": loop_length * 2})
    song_length = data[950]
    orders = list(data[952:952 + 128])
    if not 1 <= song_length <= 128:
        raise FormatError("song length %d" % song_length)
    npat = max(orders) + 1
    expected = 1084 + npat * 1024 + sum(s["length"] for s in samples)
    if len(data) != expected:
        raise FormatError("file is %d bytes, headers say %d" % (len(data), expected))
    patterns = []
    for p in range(npat):
        rows = []
        for r in range(64):
            row = []
            for c in range(4):
                b = data[1084 + p * 1024 + r * 16 + c * 4:1084 + p * 1024 + r * 16 + c * 4 + 4]
                row.append({"sample": (b[0] & 0xF0) | (b[2] >> 4), "period": ((b[0] & 0x0F) << 8) | b[1],
                            "effect": b[2] & 0x0F, "param": b[3]})
            rows.append(row)
        patterns.append(rows)
    return {"title": data[:20].rstrip(b"\0").decode("latin-1"), "samples": samples,
            "orders": orders[:song_length], "patterns": patterns}


def mod_seconds(mod):
    """Playing time of the order list once through, following speed, tempo and pattern breaks."""
    speed, bpm, seconds = 6, 125, 0.0
    start_row = 0
    for order in mod["orders"]:
        rows = mod["patterns"][order]
        row = start_row
        start_row = 0
        while row < 64:
            brk = None
            for cell in rows[row]:
                if cell["effect"] == 0xF and cell["param"]:
                    if cell["param"] < 32:
                        speed = cell["param"]
                    else:
                        bpm = cell["param"]
                elif cell["effect"] == 0xD:
                    brk = (cell["param"] >> 4) * 10 + (cell["param"] & 0x0F)
            seconds += speed * 2.5 / bpm
            if brk is not None:
                start_row = brk
                break
            row += 1
    return seconds


# ---------------------------------------------------------------- text files

def read_ini(path):
    """{section (lower case): [(key, value), ...] in file order}; ';' lines are comments."""
    sections, current = {}, None
    with open(path, "rb") as f:
        text = f.read().decode("ascii")
    for raw in text.split("\n"):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].strip().lower(), [])
            continue
        if current is None or "=" not in line:
            raise FormatError("%s: stray line %r" % (path, line))
        key, value = line.split("=", 1)
        current.append((key.strip(), value.strip()))
    return sections


def read_descriptor(diskdir, path="music\\config.dat", depth=0, entries=None, lines=None):
    """Entries (key, value) in reading order, following '@' includes; paths are relative to the disk
    folder with backslashes. Also collects every raw line with its file for length checks."""
    if depth > 8:
        raise FormatError("includes nest too deep at %s" % path)
    entries = [] if entries is None else entries
    lines = [] if lines is None else lines
    full = os.path.join(diskdir, *path.split("\\"))
    with open(full, "rb") as f:
        data = f.read()
    data = data.replace(b"\r\n", b"\n").split(b"\x1a")[0]
    for raw in data.split(b"\n"):
        lines.append((path, raw))
        line = raw.replace(b"\r", b"").decode("ascii")
        if not line or line.startswith("#"):
            continue
        if line.startswith("@"):
            read_descriptor(diskdir, line[1:], depth + 1, entries, lines)
            continue
        key, _, value = line.partition("=")
        entries.append((key, value))
    return entries, lines
