#!/usr/bin/python3
"""Checks the generated pictures and thumbnails: sizes, bit counts, the
thumbnail resource layout and the shared colour table with the static colours.

    check_content.py INSTALL_DIR THUMBNAIL_DIR
"""
import os
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools"))
from content.bitmap import STATIC_HIGH, STATIC_LOW  # noqa: E402

INSTALL, THUMBS = sys.argv[1:3]
del sys.argv[1:3]
CORNER = ("clikhere.bmp", "clickall.bmp", "active.bmp")


def header(path):
    data = open(path, "rb").read()
    bf = struct.unpack_from("<2sIHHI", data, 0)
    bi = struct.unpack_from("<IiiHHIIiiII", data, 14)
    table = [tuple(data[54 + 4 * i + k] for k in (2, 1, 0)) for i in range(256)]
    return data, bf, bi, table


class Pictures(unittest.TestCase):
    def test_every_picture_is_an_accepted_8_bit_bottom_up_bitmap(self):
        for name in ("active.bmp", "clickall.bmp", "clikhere.bmp", "credits.bmp", "plate.bmp",
                     "pud.bmp", "setup.bmp", "theend.bmp"):
            data, bf, bi, _ = header(os.path.join(INSTALL, name))
            with self.subTest(name):
                self.assertEqual(bf[0], b"BM")
                self.assertEqual(bf[1], len(data))
                self.assertEqual(bf[4], 1078)
                size, w, h, planes, bits, comp, image = bi[:7]
                self.assertEqual((size, planes, bits, comp), (40, 1, 8, 0))
                self.assertGreater(h, 0)
                self.assertEqual(image, ((w + 3) & ~3) * h)
                self.assertEqual(len(data), 1078 + image)
                if name in ("pud.bmp", "plate.bmp", "theend.bmp"):
                    self.assertEqual((w, h), (640, 480))
                if name in CORNER:
                    self.assertLessEqual(w, 110)
                    self.assertLessEqual(h, 100)

    def test_calendar_pictures_share_the_corner_pictures_colours(self):
        tables = {n: header(os.path.join(INSTALL, n))[3] for n in ("pud.bmp", "clikhere.bmp")}
        self.assertEqual(tables["pud.bmp"], tables["clikhere.bmp"])


class Thumbnails(unittest.TestCase):
    def test_thumbnails_have_the_resource_layout_and_one_table(self):
        first = None
        for door in range(1, 25):
            data, bf, bi, table = header(os.path.join(THUMBS, "door%02d.bmp" % door))
            with self.subTest(door=door):
                self.assertEqual(len(data), 6262)
                self.assertEqual(bf, (b"BM", 6262, 0, 0, 1078))
                self.assertEqual(bi, (40, 72, 72, 1, 8, 0, 5184, bi[7], bi[8], 256, 256))
                self.assertEqual(table[:10], STATIC_LOW)
                self.assertEqual(table[246:], STATIC_HIGH)
                first = first or table
                self.assertEqual(table, first)

    def test_every_door_has_its_own_picture(self):
        pixels = {open(os.path.join(THUMBS, "door%02d.bmp" % d), "rb").read()[1078:]
                  for d in range(1, 25)}
        self.assertEqual(len(pixels), 24)


class Clips(unittest.TestCase):
    def test_clips_are_72_by_72_bottom_up_rle8_starting_with_the_thumbnail(self):
        for door in range(1, 25):
            path = os.path.join(INSTALL, "%02d.avi" % door)
            data = open(path, "rb").read()
            strf = data.index(b"strf") + 8
            size, w, h, planes, bits, comp = struct.unpack_from("<IiiHHI", data, strf)
            first = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-frames:v", "1",
                                    "-f", "rawvideo", "-pix_fmt", "bgr24", "-"],
                                   capture_output=True, check=True).stdout
            thumb, _, _, table = header(os.path.join(THUMBS, "door%02d.bmp" % door))
            rows = [thumb[1078 + y * 72:1078 + (y + 1) * 72] for y in range(71, -1, -1)]
            expected = b"".join(bytes((table[i][2], table[i][1], table[i][0]))
                                for row in rows for i in row)
            with self.subTest(door=door):
                self.assertEqual((size, w, h, bits, comp), (40, 72, 72, 8, 1))
                self.assertEqual(first, expected)

    def test_content_stays_small(self):
        clips = sum(os.path.getsize(os.path.join(INSTALL, "%02d.avi" % d)) for d in range(1, 25))
        self.assertLess(clips, 4 * 1024 * 1024)


if __name__ == "__main__":
    unittest.main()
