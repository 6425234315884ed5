"""Writer of Windows BMP pictures: 24-bit true colour and 8-bit palettised, bottom-up.

Pictures are given as rows from top to bottom."""

from .binio import ByteWriter


def _file(width, height, bits, palette, pixel_rows):
    row_size = (width * bits // 8 + 3) & ~3
    table = len(palette) * 4
    offset = 14 + 40 + table
    image_size = row_size * height
    out = ByteWriter()
    out.raw(b'BM')
    out.u32(offset + image_size)
    out.u16(0)
    out.u16(0)
    out.u32(offset)
    out.u32(40)
    out.i32(width)
    out.i32(height)      # positive: bottom row first
    out.u16(1)
    out.u16(bits)
    out.u32(0)           # no compression
    out.u32(image_size)
    out.i32(2835)        # 72 dpi
    out.i32(2835)
    out.u32(len(palette))
    out.u32(0)
    for r, g, b in palette:
        out.raw(bytes((b, g, r, 0)))
    for row in reversed(pixel_rows):
        out.raw(row + b'\0' * (row_size - len(row)))
    return out.bytes()


def true_colour(rows):
    """rows: lists of (r, g, b) bytes, top to bottom."""
    height, width = len(rows), len(rows[0])
    packed = [bytes(c for r, g, b in row for c in (b, g, r)) for row in rows]
    return _file(width, height, 24, [], packed)


def palettised(rows, palette):
    """rows: lists of palette indices, top to bottom; palette: up to 256 (r, g, b)."""
    if not 0 < len(palette) <= 256:
        raise ValueError('a palette holds 1 to 256 colours')
    height, width = len(rows), len(rows[0])
    return _file(width, height, 8, palette, [bytes(row) for row in rows])
