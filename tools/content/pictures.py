"""The eight pictures of the installation directory, as RGB images.

The corner pictures are cut from the background they stand on, so on the
calendar they look like part of it rather than a box pasted on top.
"""
import math
import random

from .canvas import Canvas, mix
from .motifs import (BROWN_DARK, GOLD, GOLD_DARK, GREEN, GREEN_DARK, INK, RED,
                     RED_DARK, SNOW, WHITE)

# Top-left corners of the 24 doors in the 640 x 480 picture, door 1 first.
DOOR_POSITIONS = [(148, 17), (238, 209), (328, 105), (59, 299), (418, 299), (508, 17),
                  (328, 283), (238, 121), (148, 283), (418, 121), (148, 195), (59, 121),
                  (328, 195), (508, 105), (238, 299), (59, 209), (418, 209), (59, 388),
                  (328, 17), (148, 105), (238, 383), (508, 195), (418, 388), (508, 283)]
DOOR = 72
FRAME = 2                    # the saver frames a door with a 2-wide pen just outside it
EDGE = 3                     # what anti-aliasing and shadows need on either side of a door edge
CORNER = (110, 100)          # the click area in the bottom-right corner


def _overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def _inside(a, b):
    return b[0] <= a[0] and b[1] <= a[1] and a[2] <= b[2] and a[3] <= b[3]


def door_cover(x, y):
    """What an open door and its frame hide: (left, top, right, bottom), right and bottom excluded."""
    return x - FRAME, y - FRAME, x + DOOR + FRAME, y + DOOR + FRAME


def settled(box):
    """Whether box, a shape's extent, reads the same with all doors open: either clear of
    every door and frame, or hidden whole by one door, EDGE to spare either way."""
    x0, y0, x1, y1 = box
    grown = (x0 - EDGE, y0 - EDGE, x1 + EDGE, y1 + EDGE)
    covers = [door_cover(x, y) for x, y in DOOR_POSITIONS]
    return (not any(_overlap(grown, d) for d in covers)
            or any(_inside(grown, d) for d in covers))


def settle(box):
    """box, if settled; a shape cut by a door edge stops the build."""
    assert settled(box), "cut by a door edge: %r" % (box,)
    return box


def disc(cx, cy, r):
    return cx - r, cy - r, cx + r, cy + r

SERIF = "DejaVuSerif-Bold.ttf"
SANS = "DejaVuSans-Bold.ttf"
SANS_PLAIN = "DejaVuSans.ttf"

SKY = ((8, 14, 48), (40, 56, 120))
CREAM = (255, 244, 214)


def sky(c, top=SKY[0], bottom=SKY[1], seed=1, stars=140):
    c.vgradient(top, bottom)
    rnd = random.Random(seed)
    for _ in range(stars):
        x, y = rnd.uniform(0, c.width), rnd.uniform(0, c.height * 0.8)
        c.circle(x, y, rnd.uniform(0.5, 1.3), fill=mix((200, 210, 255), WHITE, rnd.random()))
    for _ in range(stars // 12):
        c.sparkle(rnd.uniform(0, c.width), rnd.uniform(0, c.height * 0.7),
                  rnd.uniform(3, 6), (230, 236, 255))


def snow_hills(c, base):
    w = c.width
    c.poly([(0, base - 10)] + [(x, base - 14 + 9 * math.sin(x / 70.0) + 5 * math.sin(x / 23.0))
                                for x in range(0, w + 1, 8)] + [(w, c.height), (0, c.height)],
           fill=(176, 196, 230))
    c.poly([(0, base + 12)] + [(x, base + 6 + 8 * math.sin(x / 55.0 + 2) + 4 * math.sin(x / 17.0))
                                for x in range(0, w + 1, 8)] + [(w, c.height), (0, c.height)],
           fill=SNOW)


def pine(c, x, base, height, colour=(20, 70, 50), snow=True):
    tiers = 4
    for i in range(tiers):
        top = base - height + i * height * 0.2
        half = height * (0.18 + 0.09 * i)
        bottom = top + height * 0.38
        c.poly([(x, top), (x + half, bottom), (x - half, bottom)], fill=colour)
        if snow:
            c.poly([(x, top), (x + half * 0.45, top + height * 0.16),
                    (x - half * 0.45, top + height * 0.16)], fill=(230, 238, 250))
    c.rect(x - height * 0.05, base - height * 0.05, x + height * 0.05, base, fill=BROWN_DARK)


def bauble(c, x, length, r, colour, dark):
    c.line([(x, 0), (x, length)], GOLD_DARK, 1)
    c.rect(x - r * 0.3, length, x + r * 0.3, length + r * 0.45, fill=GOLD, outline=GOLD_DARK)
    c.circle(x, length + r * 1.3, r, fill=colour, outline=dark, width=1.5)
    c.ellipse(x - r * 0.35, length + r * 1.0, r * 0.25, r * 0.35, fill=mix(colour, WHITE, 0.6))


def hanging_star(c, x, length, r):
    c.line([(x, 0), (x, length - r)], GOLD_DARK, 1)
    c.star(x, length, r, r * 0.45, fill=GOLD, outline=GOLD_DARK, width=1.5)
    c.star(x, length, r * 0.5, r * 0.25, fill=(255, 236, 150))


def moon(c, x, y, r):
    for k, f in ((2.2, 0.06), (1.6, 0.12), (1.25, 0.2)):
        c.circle(x, y, r * k, fill=None if f == 0 else mix(SKY[0], (255, 240, 190), f))
    c.circle(x, y, r, fill=(255, 244, 200))
    for dx, dy, rr in ((-8, -6, 5), (7, 5, 4), (-3, 10, 3)):
        c.circle(x + dx * r / 28, y + dy * r / 28, rr * r / 28, fill=(240, 226, 176))


NUMBER_PLATE = (8, 6, 16)
DOOR_STYLES = [  # fill, light edge, dark edge, pattern
    ((190, 30, 40), (232, 90, 90), (110, 14, 24), "stripes"),
    ((30, 120, 64), (80, 176, 110), (12, 70, 36), "dots"),
    ((34, 62, 140), (90, 120, 200), (16, 30, 86), "stars"),
    ((200, 150, 40), (246, 206, 110), (130, 90, 16), "dots"),
    ((130, 24, 70), (190, 80, 130), (76, 10, 40), "stars"),
    ((20, 110, 120), (80, 170, 176), (8, 62, 70), "stripes"),
]


def door(c, number):
    x, y = DOOR_POSITIONS[number - 1]
    fill, light, dark, pattern = DOOR_STYLES[(number * 5) % len(DOOR_STYLES)]
    c.rect(x + 3, y + 3, x + DOOR + 3, y + DOOR + 3, fill=(6, 8, 24))
    c.rect(x, y, x + DOOR, y + DOOR, fill=fill)
    if pattern == "stripes":
        for k in range(12, 2 * DOOR, 12):
            u0, u1 = max(0, k - DOOR), min(DOOR, k)
            c.line([(x + u0, y + k - u0), (x + u1, y + k - u1)], mix(fill, light, 0.35), 2.5)
    elif pattern == "dots":
        for i in range(4):
            for j in range(4):
                c.circle(x + 9 + i * 18 + (j % 2) * 9 - 4.5, y + 9 + j * 18, 2.2,
                         fill=mix(fill, light, 0.5))
    else:
        for i, (sx, sy) in enumerate([(12, 12), (60, 14), (14, 58), (58, 60), (36, 8), (36, 66)]):
            c.star(x + sx, y + sy, 3.2, 1.3, fill=mix(fill, light, 0.6))
    # Bevel: light top and left, dark bottom and right, a gold line inside.
    c.poly([(x, y), (x + DOOR, y), (x + DOOR - 3, y + 3), (x + 3, y + 3), (x + 3, y + DOOR - 3),
            (x, y + DOOR)], fill=light)
    c.poly([(x + DOOR, y + DOOR), (x, y + DOOR), (x + 3, y + DOOR - 3), (x + DOOR - 3, y + DOOR - 3),
            (x + DOOR - 3, y + 3), (x + DOOR, y)], fill=dark)
    c.rect(x + 6, y + 6, x + DOOR - 6, y + DOOR - 6, outline=GOLD, width=1.2)
    c.ellipse(x + DOOR - 12, y + 33, 2.6, 2.6, fill=GOLD, outline=GOLD_DARK, width=0.8)
    c.circle(x + 36, y + 31, 16, fill=mix(fill, dark, 0.45), outline=GOLD, width=1.2)
    c.text(x + 36, y + 31, str(number), SERIF, 23 if number < 10 else 20, CREAM,
           shadow=(20, 10, 10))
    name_tag(c, x, y, fill, light, dark)


def name_tag(c, x, y, fill, light, dark):
    """The tag in a door's bottom-left corner, hung from its knob.  While the door waits the
    saver writes its day there in orange figures, from 6 units in to about 29 and from about
    53 units down to 68, so the tag is dark enamel in that space, orange nowhere: empty on
    the other doors, it is still a tag."""
    c.line([(x + 34, y + 61), (x + 44, y + 50), (x + DOOR - 12, y + 36)], mix(light, CREAM, 0.5), 0.8)
    body = [(x + 3.5, y + 52.5), (x + 31, y + 52.5), (x + 38, y + 58), (x + 38, y + 65),
            (x + 31, y + 70.5), (x + 3.5, y + 70.5)]
    with c.move(1, 1):
        c.poly(body, fill=mix(dark, NUMBER_PLATE, 0.4))
    c.poly(body, fill=mix(dark, NUMBER_PLATE, 0.8), outline=light, width=1.4)
    c.circle(x + 34, y + 61.5, 1.8, fill=fill, outline=GOLD, width=0.9)


def pud_background():
    c = Canvas(640, 480)
    sky(c, seed=6)
    moon(c, 96, 62, 26)
    snow_hills(c, 430)
    for x, h in ((184, 110), (364, 96), (16, 120), (610, 80), (226, 70), (400, 64)):
        pine(c, x, 470, h)
    for x, length, r, col, dark in ((262, 34, 11, RED, RED_DARK),
                                     (454, 52, 11, (40, 120, 210), (20, 60, 130))):
        bauble(c, x, length, r, col, dark)
    hanging_star(c, 298, 76, 13)
    hanging_star(c, 478, 28, 10)
    for x in range(8, 640, 16):
        c.circle(x, 4 + 3 * math.sin(x / 16.0), 2.4, fill=(GOLD, RED, GREEN, (90, 160, 250))[(x // 16) % 4])
    return c


def pud():
    c = pud_background()
    for n in range(1, 25):
        door(c, n)
    return c.result()


def tag(c, x0, y0, x1, y1, lines, colour=RED, dark=RED_DARK):
    """A gift tag with a ribbon hole, carrying a few lines of text."""
    c.rounded(x0 + 3, y0 + 3, x1 + 3, y1 + 3, 9, fill=(6, 8, 24))
    c.rounded(x0, y0, x1, y1, 9, fill=colour, outline=GOLD, width=2.5)
    c.rounded(x0 + 5, y0 + 5, x1 - 5, y1 - 5, 6, outline=mix(GOLD, colour, 0.4), width=1)
    cx = (x0 + x1) / 2
    for text, y, size, font_name, fill in lines:
        c.text(cx, y, text, font_name, size, fill, shadow=dark)


def corner(background, lines, colour, dark, icon):
    """A 110 x 100 corner picture cut from the given background's corner."""
    w, h = CORNER
    c = Canvas(w, h)
    full = background.img.crop((background.img.width - w * 4, background.img.height - h * 4,
                                background.img.width, background.img.height))
    c.img.paste(full, (0, 0))
    tag(c, 4, 8, 106, 96, lines, colour, dark)
    icon(c)
    return c.result()


def pointing_arrow(c):
    c.line([(22, 22), (8, 8)], GOLD, 3)
    c.poly([(4, 4), (15, 7), (7, 15)], fill=GOLD)


def star_icon(c):
    c.star(55, 20, 10, 4, fill=GOLD, outline=GOLD_DARK, width=1)


def clikhere():
    return corner(pud_background(), [("Click", 36, 17, SERIF, CREAM),
                                     ("here", 55, 17, SERIF, CREAM),
                                     ("to open today's door", 78, 8.4, SANS, GOLD)],
                  RED, RED_DARK, star_icon)


def plate_background():
    c = Canvas(640, 480)
    c.vgradient((90, 10, 24), (40, 4, 16))
    rnd = random.Random(5)
    for _ in range(90):
        x, y = rnd.uniform(0, 640), rnd.uniform(0, 480)
        if settled(disc(x, y, 3)):
            c.star(x, y, 3, 1.2, fill=(130, 40, 50))
    c.rect(6, 6, 634, 474, outline=GOLD, width=3)
    c.rect(13, 13, 627, 467, outline=GOLD_DARK, width=1.5)
    for x, y in ((6, 6), (634, 6), (6, 474), (634, 474)):
        c.circle(x, y, 8, fill=GOLD, outline=GOLD_DARK, width=1)
    return c


def pear_tree(c, x, base):
    c.poly([(x - 10, base), (x - 5, base - 90), (x + 5, base - 90), (x + 10, base)], fill=(110, 66, 34))
    for dx, dy in ((-30, -60), (30, -70), (-15, -95), (20, -110)):
        c.line([(x, base - 50), (x + dx, base + dy)], (110, 66, 34), 6)
    rnd = random.Random(12)
    for _ in range(46):
        a, r = rnd.uniform(0, 2 * math.pi), rnd.uniform(0, 1) ** 0.5 * 80
        lx, ly = x + r * math.cos(a), base - 120 + r * math.sin(a) * 0.75
        with c.rotate(rnd.uniform(0, 180), lx, ly):
            c.ellipse(lx, ly, 11, 5, fill=rnd.choice([GREEN, GREEN_DARK, (60, 160, 80)]))
    for px, py in ((x - 48, base - 110), (x + 44, base - 96), (x - 10, base - 160), (x + 58, base - 140),
                   (x - 62, base - 140), (x + 14, base - 70)):
        c.ellipse(px, py + 4, 8, 10, fill=(210, 200, 60), outline=(140, 120, 20), width=1)
        c.circle(px, py - 3, 6, fill=(210, 200, 60))
        c.line([(px, py - 9), (px + 2, py - 14)], BROWN_DARK, 1.5)
    # The partridge on its branch.
    bx, by = x + 22, base - 114
    c.ellipse(bx, by, 22, 15, fill=(150, 120, 96), outline=INK, width=1)
    c.ellipse(bx + 4, by + 4, 14, 9, fill=(200, 180, 150))
    c.poly([(bx - 18, by - 6), (bx - 36, by - 14), (bx - 32, by + 2)], fill=(120, 90, 70))
    c.circle(bx + 20, by - 14, 9, fill=(170, 100, 70), outline=INK, width=1)
    c.circle(bx + 23, by - 16, 1.8, fill=INK)
    c.poly([(bx + 28, by - 14), (bx + 35, by - 12), (bx + 28, by - 10)], fill=(230, 180, 60))
    return c.box(x - 92, base - 204, x + 92, base)


TITLE = "DejaVuSerifCondensed-Bold.ttf"
# The doors of the four middle columns, each a day's medallion until "Open them all" covers it.
DAY_DOORS = [20, 8, 3, 10, 11, 2, 13, 17, 9, 15, 7, 5]


def plate():
    """The Twelve days, laid out round the doors that "Open them all" puts over it: every word
    and motif either stays in the gaps between doors or sits whole under one."""
    c = plate_background()
    # A title word in each gap of the top row; of the stars that string them together, those
    # under doors 1, 19 and 6 give way to the doors.
    for word, x in (("The", 94), ("Twelve", 274), ("Days", 454)):
        settle(c.text(x, 44, word, TITLE, 28, GOLD, shadow=(30, 0, 8)))
    for x in (34,) + tuple(DOOR_POSITIONS[door - 1][0] + 36 for door in (1, 19, 6)):
        c.star(x, 45, 9, 4, fill=GOLD, outline=GOLD_DARK, width=1)
        settle(disc(x, 45, 10))
    settle(c.text(274, 84, "of Christmas", TITLE, 15, CREAM, shadow=(30, 0, 8)))
    for day, door in enumerate(DAY_DOORS, 1):
        x, y = DOOR_POSITIONS[door - 1]
        c.circle(x + 36, y + 36, 24, fill=RED, outline=GOLD, width=2.5)
        c.circle(x + 36, y + 36, 19, outline=mix(GOLD, RED, 0.5), width=1)
        settle(disc(x + 36, y + 36, 26))
        settle(c.text(x + 36, y + 36, str(day), SERIF, 20, CREAM, shadow=(30, 0, 8)))
    # The partridge in its pear tree and the dates, shrunk into the gaps below doors 7 and 9.
    with c.scale(0.46, 0.46, 364, 458):
        settle(pear_tree(c, 364, 458))
    settle(c.text(184, 400, "25 December", SANS_PLAIN, 12, (240, 200, 160)))
    settle(c.text(184, 418, "to 5 January", SANS_PLAIN, 12, (240, 200, 160)))
    return c.result()


def clickall():
    return corner(plate_background(), [("Open", 34, 16, SERIF, CREAM),
                                       ("them all", 54, 15, SERIF, CREAM),
                                       ("click for all 24 doors", 78, 8.2, SANS, GOLD)],
                  GREEN, GREEN_DARK, star_icon)


def active():
    return corner(pud_background(), [("Coming", 34, 15, SERIF, CREAM),
                                     ("soon!", 53, 15, SERIF, CREAM),
                                     ("doors open 1 December", 77, 7.6, SANS, GOLD)],
                  (34, 62, 140), (16, 30, 86), star_icon)


def firework(c, x, y, r, colour, seed):
    rnd = random.Random(seed)
    for i in range(28):
        a = 2 * math.pi * i / 28 + rnd.uniform(-0.05, 0.05)
        rr = r * rnd.uniform(0.8, 1.05)
        for k in range(1, 7):
            f = k / 6
            c.circle(x + rr * f * math.cos(a), y + rr * f * math.sin(a), 2.4 * f,
                     fill=mix((20, 10, 30), colour, 0.3 + 0.7 * f))
    c.circle(x, y, 4, fill=WHITE)


def theend():
    c = Canvas(640, 480)
    c.vgradient((0, 0, 0), (24, 16, 56))
    rnd = random.Random(8)
    for _ in range(90):
        c.circle(rnd.uniform(0, 640), rnd.uniform(0, 400), rnd.uniform(0.5, 1.2), fill=(200, 200, 230))
    for x, y, r, col, seed in ((140, 120, 90, (255, 90, 120), 1), (500, 100, 80, GOLD, 2),
                               (330, 70, 55, (110, 200, 255), 3), (560, 300, 60, (140, 255, 140), 4),
                               (90, 320, 55, (220, 140, 255), 5)):
        firework(c, x, y, r, col, seed)
    c.text(320, 226, "Happy", SERIF, 64, GOLD, shadow=(60, 20, 0))
    c.text(320, 300, "New Year!", SERIF, 64, GOLD, shadow=(60, 20, 0))
    c.text(320, 372, "See you again next Advent", SANS_PLAIN, 18, CREAM)
    for x in range(0, 641, 4):
        c.line([(x, 480), (x, 440 + 12 * math.sin(x / 40.0) + 8 * math.sin(x / 13.0))], (10, 8, 22), 4)
    return c.result()


# The settings dialog shows its picture touching the client area's bottom-right
# corner, at 96 dots per inch 1:1 and otherwise grown with the dialog: a
# little larger than the client area (431 x 212 pixels under Wine, taller with
# a taller font), so that it always fills it and only the quiet top-left is cut.
# The panel on the left lies behind the buttons and the check box, whose white
# text needs it dark.
SETUP = (440, 240)
SETUP_PANEL = 150
CREDITS = (472, 188)


def setup():
    w, h = SETUP
    c = Canvas(w, h)
    sky(c, seed=7, stars=60)
    snow_hills(c, h - 32)
    with c.move(SETUP_PANEL + 13, h - 200):
        moon(c, 220, 40, 18)
        pine(c, 60, 190, 120, colour=GREEN)
        for i, (x, y) in enumerate([(50, 110), (70, 128), (46, 150), (78, 160), (60, 172)]):
            c.circle(x, y, 4, fill=(RED, GOLD, (90, 160, 250))[i % 3])
        c.star(60, 72, 10, 4, fill=GOLD, outline=GOLD_DARK)
        c.text(178, 96, "Tindle", SERIF, 34, GOLD, shadow=(10, 10, 30))
        c.text(178, 132, "Advent", SERIF, 34, CREAM, shadow=(10, 10, 30))
        c.text(178, 160, "screen saver", SANS_PLAIN, 13, (200, 214, 250))
    c.rect(0, 0, SETUP_PANEL, h, fill=(8, 10, 26))
    c.line([(SETUP_PANEL, 0), (SETUP_PANEL, h)], GOLD_DARK, 1.5)
    return c.result()


def holly_sprig(c, x, y, flip):
    for a in (-30, 30):
        with c.rotate(a + (180 if flip else 0), x, y):
            c.ellipse(x + 16, y, 16, 6, fill=GREEN, outline=GREEN_DARK, width=1)
    for dx, dy in ((-4, -3), (3, -4), (0, 3)):
        c.circle(x + dx, y + dy, 4, fill=RED, outline=RED_DARK, width=0.8)


def credits():
    w, h = CREDITS
    c = Canvas(w, h)
    c.vgradient((0, 0, 0), (30, 8, 14))
    c.rect(3, 3, w - 3, h - 3, outline=GOLD_DARK, width=1.5)
    holly_sprig(c, 30, 26, False)
    holly_sprig(c, w - 30, 26, True)
    c.text(w / 2, 34, "Tindle Advent", SERIF, 32, GOLD, shadow=(60, 20, 0))
    lines = ["An Advent calendar for your screen:",
             "24 doors, one for every day from 1 to 24 December,",
             "each with its own little film.",
             "",
             "Pictures, films and program by Brackwell",
             "Merry Christmas and a happy New Year!"]
    for i, s in enumerate(lines):
        c.text(w / 2, 74 + i * 18, s, SANS_PLAIN if i < 5 else SANS, 12.5,
               CREAM if i < 4 else (250, 210, 120))
    return c.result()


PICTURES = {"pud.bmp": pud, "plate.bmp": plate, "theend.bmp": theend, "clikhere.bmp": clikhere,
            "clickall.bmp": clickall, "active.bmp": active, "setup.bmp": setup,
            "credits.bmp": credits}
