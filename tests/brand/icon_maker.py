"""Icon files made on the spot for the brand tests: bitmaps of any size and
depth, and PNG images (any size; a 256x256 one as Windows keeps them)."""
import struct
import zlib


def _colour(x: int, y: int, seed: int) -> tuple[int, int, int, int]:
    return ((x * 7 + seed) % 256, (y * 13 + seed) % 256, (x ^ y ^ seed) % 256, 255)


def bitmap(size: int, bits: int, seed: int) -> bytes:
    """A DIB without its file header: BITMAPINFOHEADER (height counting image
    and mask), a palette for 8 bits, the rows bottom-up, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", i, 255 - i, (i * 3) % 256, 0) for i in range(256)) \
        if bits == 8 else b""
    row_bytes = (size * bits // 8 + 3) // 4 * 4
    rows = []
    for y in range(size):
        if bits == 32:
            row = b"".join(bytes(_colour(x, y, seed)[2::-1]) + b"\xff" for x in range(size))
        else:
            row = bytes((x + y + seed) % 256 for x in range(size))
        rows.append(row.ljust(row_bytes, b"\0"))
    mask_row = (size + 31) // 32 * 4
    return header + palette + b"".join(rows) + b"\0" * mask_row * size


def png(size: int, seed: int) -> bytes:
    def chunk(kind: bytes, data: bytes) -> bytes:
        return struct.pack(">I", len(data)) + kind + data + \
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + b"".join(bytes(_colour(x, y, seed)) for x in range(size))
                   for y in range(size))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon_file(images: list[tuple[int, int, bytes]]) -> bytes:
    """(width, bits, image bytes) each; the images follow the directory in order."""
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for width, bits, image in images:
        side = 0 if width >= 256 else width
        colours = 0
        entries += struct.pack("<BBBBHHII", side, side, colours, 0, 1, bits, len(image),
                               offset + len(data))
        data += image
    return struct.pack("<HHH", 0, 1, len(images)) + entries + data


def application_icon(seed: int = 1) -> bytes:
    """Four images, as an application's icon has them: 16, 32 and 48 pixels
    as bitmaps, 256 as PNG."""
    return icon_file([(16, 32, bitmap(16, 32, seed)), (32, 8, bitmap(32, 8, seed)),
                      (48, 32, bitmap(48, 32, seed)), (256, 32, png(256, seed))])
