"""Picture files for the demo disk: 24-bit Windows bitmaps and GIFs (own LZW encoder).

Pixels are lists of 0xRRGGBB integers, row by row from the top. Everything is deterministic:
the same pixels always give the same bytes.
"""
import struct

GIF_MAX_CODES = 4096


def bmp_bytes(width, height, pixels):
    """A bottom-up 24-bit BI_RGB bitmap file."""
    if len(pixels) != width * height:
        raise ValueError("pixel count does not match the size")
    stride = (width * 3 + 3) & ~3
    pad = b"\0" * (stride - width * 3)
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for c in pixels[y * width:(y + 1) * width]:
            row += bytes((c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF))
        rows.append(bytes(row) + pad)
    data = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + data


def _median_cut(counts, limit):
    """Deterministic median cut: a palette of at most `limit` colours for the weighted colours."""
    boxes = [sorted(counts)]
    while len(boxes) < limit:
        best, best_span, best_ch = -1, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in (16, 8, 0):
                vals = [(c >> ch) & 0xFF for c in box]
                span = max(vals) - min(vals)
                if span > best_span:
                    best, best_span, best_ch = i, span, ch
        if best < 0:
            break
        box = sorted(boxes[best], key=lambda c: (((c >> best_ch) & 0xFF), c))
        total = sum(counts[c] for c in box)
        acc, cut = 0, 1
        for j, c in enumerate(box[:-1]):
            acc += counts[c]
            if acc * 2 >= total:
                cut = j + 1
                break
        else:
            cut = len(box) // 2
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(counts[c] for c in box)
        avg = [(sum(((c >> ch) & 0xFF) * counts[c] for c in box) + total // 2) // total for ch in (16, 8, 0)]
        palette.append((avg[0] << 16) | (avg[1] << 8) | avg[2])
    return palette


def _nearest(palette, c):
    r, g, b = (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = (((p >> 16) & 0xFF) - r) ** 2 * 3 + (((p >> 8) & 0xFF) - g) ** 2 * 4 + ((p & 0xFF) - b) ** 2 * 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def quantize(pixels, limit=256):
    """Palette (at most `limit` colours) and one index per pixel.

    Pictures with few colours keep them exactly (so pure white stays pure white); others get a
    median-cut palette and each colour its nearest entry.
    """
    counts = {}
    for c in pixels:
        counts[c] = counts.get(c, 0) + 1
    if len(counts) <= limit:
        palette = sorted(counts)
    else:
        palette = _median_cut(counts, limit)
    index = {}
    for c in sorted(counts):
        index[c] = palette.index(c) if c in palette else _nearest(palette, c)
    return palette, [index[c] for c in pixels]


def _bit_length(n):
    return n.bit_length()


def lzw_encode(indices, min_code_size):
    """GIF LZW: variable-width codes packed least significant bit first.

    The code width follows the decoder's table: a decoder adds an entry for every code after the
    first since the last clear, so the width is the bit length of the decoder's next free code.
    A clear code is sent as soon as the encoder's table is full (4096 codes).
    """
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {}, eoi + 1, eoi + 1, True

    table, enc_next, dec_next, first = reset()
    emit(clear, min_code_size + 1)
    if not indices:
        emit(eoi, min_code_size + 1)
    else:
        w = indices[0]
        for k in indices[1:]:
            key = (w << 8) | k
            code = table.get(key)
            if code is not None:
                w = code
                continue
            emit(w, min(12, _bit_length(dec_next)))
            if first:
                first = False
            elif dec_next < GIF_MAX_CODES:
                dec_next += 1
            if enc_next < GIF_MAX_CODES:
                table[key] = enc_next
                enc_next += 1
            if enc_next == GIF_MAX_CODES:
                emit(clear, 12)
                table, enc_next, dec_next, first = reset()
            w = k
        emit(w, min(12, _bit_length(dec_next)))
        if not first and dec_next < GIF_MAX_CODES:
            dec_next += 1
        emit(eoi, min(12, _bit_length(dec_next)))
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_bytes(width, height, pixels):
    """A GIF89a file with one global colour table and one image, no extensions."""
    if len(pixels) != width * height:
        raise ValueError("pixel count does not match the size")
    palette, indices = quantize(pixels)
    table_bits = max(1, (len(palette) - 1).bit_length())
    min_code_size = max(2, table_bits)
    table = bytearray()
    for i in range(1 << table_bits):
        c = palette[i] if i < len(palette) else 0
        table += bytes(((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((table_bits - 1) << 4) | (table_bits - 1), 0, 0)
    out += table
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out.append(min_code_size)
    data = lzw_encode(indices, min_code_size)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00\x3B"
    return bytes(out)
