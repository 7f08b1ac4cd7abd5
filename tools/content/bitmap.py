"""The one colour table of all content, and 8-bit Windows bitmap files.

Every picture, thumbnail and clip uses the same 256 colours: the twenty static
colours of a palette display at 0-9 and 246-255 and 236 colours chosen from
the content in between.  On an 8-bit display the calendar realises the
palette of its corner picture, so sharing one table keeps the background,
the thumbnails and the clips in their true colours there too.
"""
import struct

from PIL import Image

STATIC_LOW = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
              (128, 0, 128), (0, 128, 128), (192, 192, 192), (192, 220, 192),
              (166, 202, 240)]
STATIC_HIGH = [(255, 251, 240), (160, 160, 164), (128, 128, 128), (255, 0, 0),
               (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
               (255, 255, 255)]
FREE = 256 - len(STATIC_LOW) - len(STATIC_HIGH)


def make_palette(samples):
    """The shared 256 colours, with the free entries fitted to the sample images."""
    width = max(im.width for im in samples)
    height = sum(im.height for im in samples)
    sheet = Image.new("RGB", (width, height))
    y = 0
    for im in samples:
        sheet.paste(im, (0, y))
        y += im.height
    fitted = sheet.quantize(FREE, method=Image.Quantize.MEDIANCUT).getpalette()[:FREE * 3]
    fitted += [0] * (FREE * 3 - len(fitted))
    colours = STATIC_LOW + [tuple(fitted[i:i + 3]) for i in range(0, FREE * 3, 3)] + STATIC_HIGH
    return colours


def palette_image(colours):
    pal = Image.new("P", (1, 1))
    pal.putpalette([v for c in colours for v in c])
    return pal


def to_indexed(im, colours, dither):
    """im mapped to the shared colours: a 'P' image whose indexes are the table's."""
    d = Image.Dither.FLOYDSTEINBERG if dither else Image.Dither.NONE
    return im.convert("RGB").quantize(palette=palette_image(colours), dither=d)


def bitmap_file(indexed, colours):
    """An 8-bit BI_RGB bitmap file, bottom-up rows, all 256 colours listed."""
    w, h = indexed.size
    stride = (w + 3) & ~3
    rows = indexed.tobytes()
    pixels = b"".join(rows[y * w:(y + 1) * w].ljust(stride, b"\0")
                      for y in range(h - 1, -1, -1))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(pixels), 2835, 2835, 256, 256)
    return header + info + table + pixels
