#!/usr/bin/python3
"""Writes the calendar's pictures and door thumbnails.

    make_content.py INSTALL_DIR THUMBNAIL_DIR

INSTALL_DIR gets the eight pictures and the clips 01.avi..24.avi, THUMBNAIL_DIR door01.bmp..door24.bmp,
the first frames of the door clips in the resource layout.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from content import avi, bitmap, motifs, pictures  # noqa: E402


def main(install_dir, thumbnail_dir):
    os.makedirs(install_dir, exist_ok=True)
    os.makedirs(thumbnail_dir, exist_ok=True)
    images = {name: make() for name, make in pictures.PICTURES.items()}
    firsts = [motifs.frame(door, 0) for door in range(1, 25)]
    # The thumbnails count four times over so the small pictures get their share.
    colours = bitmap.make_palette(list(images.values()) + firsts * 4)
    for name, im in images.items():
        with open(os.path.join(install_dir, name), "wb") as f:
            f.write(bitmap.bitmap_file(bitmap.to_indexed(im, colours, True), colours))
    for door, im in enumerate(firsts, 1):
        with open(os.path.join(thumbnail_dir, "door%02d.bmp" % door), "wb") as f:
            f.write(bitmap.bitmap_file(bitmap.to_indexed(im, colours, False), colours))
        clip = [bitmap.to_indexed(motifs.frame(door, i), colours, False)
                for i in range(motifs.FRAMES)]
        with open(os.path.join(install_dir, "%02d.avi" % door), "wb") as f:
            f.write(avi.avi_file(clip, colours, motifs.FRAMES_PER_SECOND))


if __name__ == "__main__":
    main(*sys.argv[1:3])
