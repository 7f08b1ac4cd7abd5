#!/usr/bin/python3
"""check_content.py INSTALL_DIR THUMBNAIL_DIR: 8-bit bitmaps of the sizes the saver places, thumbnails sharing
one table that keeps the static colours, clips whose first frame, decoded by ffmpeg, is the door's thumbnail, and
pictures laid out round the doors where the saver draws them."""
import os, re, struct, subprocess, sys, unittest

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../..")
sys.path.insert(0, os.path.join(SOURCE, "tools"))
from content.bitmap import STATIC_HIGH, STATIC_LOW  # noqa: E402
from content.pictures import DOOR_POSITIONS  # noqa: E402

INSTALL, THUMBS = sys.argv.pop(1), sys.argv.pop(1)


def bitmap(path):
    """(width, height, bit count, compression), colour table and bottom-up rows of an uncompressed 8-bit bitmap."""
    data = open(path, "rb").read()
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    stride = (width + 3) & ~3
    assert data[:2] == b"BM" and struct.unpack_from("<IxxxxI", data, 2) == (len(data), 1078), path
    assert height > 0 and len(data) == 1078 + stride * height, path
    table = [tuple(data[54 + 4 * i + k] for k in (2, 1, 0)) for i in range(256)]
    rows = [data[1078 + y * stride:1078 + y * stride + width] for y in range(height)]
    return (width, height, bits, compression), table, rows


class Content(unittest.TestCase):
    def test_pictures_fit_where_the_saver_puts_them(self):
        for name in ("active.bmp", "clickall.bmp", "clikhere.bmp", "credits.bmp", "plate.bmp", "pud.bmp", "setup.bmp", "theend.bmp"):
            with self.subTest(name):
                (w, h, bits, comp), _, _ = bitmap(os.path.join(INSTALL, name))
                self.assertEqual((bits, comp), (8, 0))
                self.assertTrue((w, h) == (640, 480) if name in ("pud.bmp", "plate.bmp", "theend.bmp") else
                                w <= 110 and h <= 100 or name not in ("clikhere.bmp", "clickall.bmp", "active.bmp"))
        # The corner picture is drawn with the background's palette.
        self.assertEqual(bitmap(os.path.join(INSTALL, "pud.bmp"))[1], bitmap(os.path.join(INSTALL, "clikhere.bmp"))[1])

    def test_each_door_has_its_own_thumbnail_and_its_clip_starts_with_it(self):
        tables, pictures = set(), set()
        for door in range(1, 25):
            with self.subTest(door=door):
                info, table, rows = bitmap(os.path.join(THUMBS, "door%02d.bmp" % door))
                self.assertEqual(info, (72, 72, 8, 0))
                self.assertEqual((table[:10], table[246:]), (STATIC_LOW, STATIC_HIGH))
                tables.add(tuple(table))
                pictures.add(b"".join(rows))
                clip = os.path.join(INSTALL, "%02d.avi" % door)
                data = open(clip, "rb").read()
                self.assertEqual(struct.unpack_from("<IiiHHI", data, data.index(b"strf") + 8), (40, 72, 72, 1, 8, 1))
                first = subprocess.run(["ffmpeg", "-v", "error", "-i", clip, "-frames:v", "1", "-f", "rawvideo", "-pix_fmt",
                                        "bgr24", "-"], capture_output=True, check=True).stdout
                self.assertEqual(first, b"".join(bytes(table[i][::-1]) for row in reversed(rows) for i in row))
        self.assertEqual((len(tables), len(pictures)), (1, 24))

    def test_pictures_are_laid_out_round_the_doors_the_saver_draws(self):
        drawing = open(os.path.join(SOURCE, "calendar/drawing.cpp")).read()
        table = drawing[drawing.index("DoorPositions[DOOR_COUNT] = {"):].split("};")[0]
        self.assertEqual([tuple(map(int, p)) for p in re.findall(r"\{(\d+), *(\d+)\}", table)], DOOR_POSITIONS)

    def test_a_waiting_door_s_orange_day_stands_out_where_the_saver_writes_it(self):
        # The contrast asked of small text, in orange or, on a palette display, the table's colour nearest it.
        _, table, rows = bitmap(os.path.join(INSTALL, "pud.bmp"))
        light = lambda c: sum(w * (v / 255) ** 2.2 for w, v in zip((0.2126, 0.7152, 0.0722), c)) + 0.05
        orange = min(light((255, 95, 0)), light(min(table, key=lambda c: (c[0] - 255) ** 2 + (c[1] - 95) ** 2 + c[2] ** 2)))
        for door, (x, y) in enumerate(DOOR_POSITIONS, 1):
            behind = [light(table[rows[479 - v][u]]) for v in range(y + 54, y + 69) for u in range(x + 6, x + 30)]
            with self.subTest(door=door):
                self.assertGreater(orange * len(behind) / sum(behind), 4.5)


if __name__ == "__main__":
    unittest.main()
