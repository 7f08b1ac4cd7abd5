"""The 24 door motifs, one per day, each an animation over a loop t in [0, 1).

A door's picture at t = 0 is its thumbnail and the first frame of its clip;
every motif moves only with wave() or whole turns of t, so the last frame
leads back into the first and the clips loop without a jump.
"""
import math
import random

from .canvas import Canvas, mix, wave

SIZE = 72

INK = (40, 22, 18)
WHITE = (250, 250, 246)
SNOW = (236, 242, 250)
GOLD = (246, 196, 48)
GOLD_DARK = (190, 128, 20)
RED = (206, 32, 40)
RED_DARK = (140, 16, 28)
GREEN = (34, 140, 64)
GREEN_DARK = (18, 88, 44)
BROWN = (150, 92, 46)
BROWN_DARK = (96, 56, 28)
SKIN = (246, 204, 170)
FLAME = (255, 214, 90)

NIGHT = ((14, 24, 66), (44, 70, 140))
DUSK = ((36, 20, 70), (108, 60, 120))
HEARTH = ((110, 24, 30), (190, 70, 50))
FOREST = ((14, 60, 40), (40, 120, 80))
FROST = ((110, 160, 220), (200, 226, 248))


def backdrop(background, stars=True, seed=0):
    c = Canvas(SIZE, SIZE)
    c.vgradient(*background)
    if stars:
        rnd = random.Random(seed)
        for _ in range(9):
            x, y = rnd.uniform(3, 69), rnd.uniform(3, 40)
            c.circle(x, y, rnd.uniform(0.35, 0.7), fill=(210, 220, 255))
    return c


def snowfall(c, t, seed, count=14, speed=1, size=0.9):
    """Flakes that fall exactly one screen height (plus margin) per loop."""
    rnd = random.Random(seed)
    for _ in range(count):
        x0, y0 = rnd.uniform(0, 72), rnd.uniform(0, 80)
        drift = rnd.uniform(0, 1)
        y = (y0 + t * 80 * speed) % 80 - 4
        x = x0 + 2.0 * wave(t, drift, speed)
        c.circle(x, y, size * rnd.uniform(0.7, 1.2), fill=SNOW)


def ground(c, y=60, colour=SNOW):
    pts = c.ellipse_pts(36, y + 30, 60, 30, 180, 360)
    c.poly(pts + [(96, 80), (-24, 80)], fill=colour)


def star(t):  # 1
    c = backdrop(NIGHT, seed=1)
    r = 23 + 1.5 * wave(t)
    c.circle(36, 36, 30, fill=mix(NIGHT[0], GOLD, 0.12))
    c.circle(36, 36, 22, fill=mix(NIGHT[0], GOLD, 0.22))
    with c.rotate(6 * wave(t), 36, 37):
        c.star(36, 37, r, r * 0.45, fill=GOLD, outline=GOLD_DARK, width=1.4)
        c.star(36, 37, r * 0.55, r * 0.25, fill=(255, 234, 140))
    for i, (x, y) in enumerate([(11, 14), (62, 18), (14, 60), (60, 60)]):
        c.sparkle(x, y, 4 * max(0.0, wave(t, i / 4)), WHITE)
    return c


def tree(t):  # 2
    c = backdrop(NIGHT, seed=2)
    ground(c, 60)
    c.rect(32, 54, 40, 64, fill=BROWN, outline=INK, width=1)
    for top, half, base in ((10, 14, 28), (20, 19, 42), (31, 25, 57)):
        c.poly([(36, top), (36 + half, base), (36 - half, base)], fill=GREEN,
               outline=GREEN_DARK, width=1.2)
    lights = [(30, 25), (41, 27), (27, 37), (36, 39), (46, 37), (22, 51), (33, 52),
              (44, 51), (52, 53)]
    colours = [RED, GOLD, (80, 160, 255), (255, 110, 200)]
    for i, (x, y) in enumerate(lights):
        on = wave(t, i * 0.37, 2) > -0.2
        col = colours[i % 4] if on else mix(colours[i % 4], INK, 0.6)
        if on:
            c.circle(x, y, 3, fill=mix(col, GREEN, 0.5))
        c.circle(x, y, 1.8, fill=col)
    c.star(36, 10, 6 + 0.8 * wave(t), 2.6, fill=GOLD, outline=GOLD_DARK, width=0.8)
    return c


def snowman(t):  # 3
    c = backdrop(NIGHT, seed=3)
    ground(c, 62)
    c.circle(36, 52, 15, fill=WHITE, outline=(150, 170, 200), width=1)
    c.circle(36, 30, 11, fill=WHITE, outline=(150, 170, 200), width=1)
    c.line([(24, 40), (48, 40)], RED, 4)
    c.line([(44, 40), (48, 50)], RED, 4)
    with c.rotate(-20 * wave(t), 47, 45):
        c.line([(47, 45), (61, 36), (64, 31)], BROWN_DARK, 1.5)
        c.line([(61, 36), (65, 38)], BROWN_DARK, 1.2)
    c.line([(25, 45), (12, 40)], BROWN_DARK, 1.5)
    c.rect(27, 12, 45, 16, fill=INK)
    c.rect(30, 2, 42, 13, fill=INK)
    c.rect(30, 10, 42, 12, fill=RED)
    c.circle(32, 28, 1.3, fill=INK)
    c.circle(40, 28, 1.3, fill=INK)
    c.poly([(36, 31), (45, 33), (36, 34)], fill=(245, 130, 30))
    for y in (48, 54, 60):
        c.circle(36, y, 1.3, fill=INK)
    snowfall(c, t, 3)
    return c


def candle(t):  # 4
    c = backdrop(HEARTH, stars=False)
    glow = 1 + 0.08 * wave(t, 0, 3)
    for r, f in ((24, 0.15), (16, 0.3), (10, 0.45)):
        c.circle(36, 20, r * glow, fill=mix(HEARTH[0], FLAME, f))
    c.rect(27, 30, 45, 62, fill=(236, 236, 226), outline=(170, 160, 150), width=1)
    c.ellipse(36, 30, 9, 2.5, fill=WHITE, outline=(170, 160, 150), width=0.8)
    c.line([(36, 30), (36, 26)], INK, 1)
    sway = 2.0 * wave(t, 0, 2)
    stretch = 1 + 0.12 * wave(t, 0.25, 3)
    with c.scale(1, stretch, 36, 27):
        c.poly([(36 + sway, 9), (41, 21), (36, 27), (31, 21)], fill=(255, 150, 40))
        c.poly([(36 + sway * 0.6, 14), (38.5, 22), (36, 26), (33.5, 22)], fill=FLAME)
    for x, y, a in ((20, 63, -30), (52, 63, 30)):
        with c.rotate(a, x, y):
            c.ellipse(x, y, 10, 4, fill=GREEN, outline=GREEN_DARK, width=0.8)
    for x in (33, 36, 39):
        c.circle(x, 63, 2.4, fill=RED, outline=RED_DARK, width=0.6)
    return c


def bell(t):  # 5
    c = backdrop(FOREST, seed=5)
    a = 18 * wave(t, 0, 2)
    with c.rotate(a, 36, 12):
        with c.rotate(-a * 0.6, 36, 50):
            c.circle(36, 56, 4, fill=GOLD_DARK, outline=INK, width=0.8)
        shape = ([(30, 16), (42, 16)] + c.ellipse_pts(36, 22, 12, 10, -40, 0, 8)[1:]
                 + [(50, 44), (56, 52), (16, 52), (22, 44)]
                 + c.ellipse_pts(36, 22, 12, 10, 180, 220, 8)[:-1])
        c.poly(shape, fill=GOLD, outline=GOLD_DARK, width=1.3)
        c.line([(24, 44), (28, 24)], (255, 236, 150), 2)
        c.rect(16, 49, 56, 53, fill=GOLD_DARK)
    c.poly([(36, 12), (22, 4), (22, 16)], fill=RED, outline=RED_DARK, width=0.8)
    c.poly([(36, 12), (50, 4), (50, 16)], fill=RED, outline=RED_DARK, width=0.8)
    c.circle(36, 12, 3, fill=RED_DARK)
    for i, (x, y) in enumerate([(10, 30), (62, 30)]):
        c.sparkle(x, y, 4 * max(0.0, wave(t, 0.25 + i * 0.5, 2)), WHITE)
    return c


def present(t):  # 6
    c = backdrop(DUSK, seed=6)
    hop = -7 * max(0.0, wave(t, 0, 2)) ** 2
    c.rect(16, 34, 56, 64, fill=(40, 120, 200), outline=(20, 60, 120), width=1.2)
    c.rect(33, 34, 39, 64, fill=GOLD)
    with c.move(0, hop):
        c.rect(13, 26, 59, 35, fill=(60, 140, 220), outline=(20, 60, 120), width=1.2)
        c.rect(33, 26, 39, 35, fill=GOLD)
        c.ellipse(28, 21, 8, 5, fill=GOLD, outline=GOLD_DARK, width=1)
        c.ellipse(44, 21, 8, 5, fill=GOLD, outline=GOLD_DARK, width=1)
        c.circle(36, 23, 3.5, fill=GOLD_DARK)
    for i, (x, y) in enumerate([(10, 14), (62, 12), (60, 44)]):
        c.sparkle(x, y, 4 * max(0.0, wave(t, i / 3)), (255, 240, 180))
    return c


def candy_cane(t):  # 7
    c = backdrop(FROST, stars=False)
    path = c.ellipse_pts(30, 22, 12, 12, 180, 360, 24) + [(42 + 0.01 * i, 24 + 4 * i)
                                                         for i in range(1, 11)]
    with c.rotate(8 * wave(t), 36, 60):
        c.line(path, (150, 140, 150), 8.4)
        c.line(path, WHITE, 7)
        lengths = [0.0]
        for (x0, y0), (x1, y1) in zip(path, path[1:]):
            lengths.append(lengths[-1] + math.hypot(x1 - x0, y1 - y0))
        period = 8.0
        for i in range(len(path) - 1):
            mid = (lengths[i] + lengths[i + 1]) / 2 + t * period
            if (mid % period) < period / 2:
                c.line([path[i], path[i + 1]], RED, 6)
        c.line([(p[0] - 1.8, p[1]) for p in path[13:]], (255, 255, 255), 1)
    snowfall(c, t, 7, count=10)
    return c


def stocking(t):  # 8
    c = backdrop(HEARTH, stars=False)
    c.rect(0, 0, 72, 8, fill=BROWN_DARK)
    with c.rotate(7 * wave(t), 36, 8):
        c.line([(36, 8), (36, 14)], GOLD_DARK, 1)
        body = [(24, 22), (46, 22), (46, 46), (52, 50)] + c.ellipse_pts(
            44, 56, 10, 9, -40, 140, 16) + [(26, 54)]
        c.poly(body, fill=RED, outline=RED_DARK, width=1.3)
        for y in (30, 38):
            c.line([(26, y), (44, y)], (240, 120, 120), 1)
        c.rounded(21, 13, 49, 23, 4, fill=WHITE, outline=(180, 180, 190), width=1)
        c.line([(28, 13), (27, 4), (31, 1)], RED, 2.5)
        c.line([(28, 13), (27, 4)], WHITE, 1)
    return c


def bauble(t):  # 9
    c = backdrop(FOREST, seed=9)
    for x in range(-4, 80, 8):
        c.poly([(x, 0), (x + 4, 6), (x + 8, 0)], fill=GREEN_DARK)
    with c.rotate(14 * wave(t), 36, 2):
        c.line([(36, 2), (36, 17)], GOLD_DARK, 1)
        c.circle(36, 42, 20, fill=RED, outline=RED_DARK, width=1.3)
        c.rect(31, 16, 41, 23, fill=GOLD, outline=GOLD_DARK, width=0.8)
        band = c.ellipse_pts(36, 42, 20, 6, 0, 180, 24)
        c.line(band, GOLD, 2.5)
        for x in (26, 36, 46):
            c.circle(x, 47 if x == 36 else 45.5, 1.6, fill=WHITE)
        c.ellipse(29, 34, 5, 7, fill=(240, 110, 110))
        c.ellipse(28, 32, 2, 3, fill=WHITE)
    c.sparkle(56, 24, 5 * max(0.0, wave(t, 0.1)), WHITE)
    return c


def snowflake(t):  # 10
    c = backdrop(FROST, stars=False)
    with c.rotate(60 * t, 36, 36):
        for k in range(6):
            with c.rotate(60 * k, 36, 36):
                c.line([(36, 36), (36, 8)], WHITE, 3)
                c.line([(36, 20), (29, 13)], WHITE, 2.4)
                c.line([(36, 20), (43, 13)], WHITE, 2.4)
                c.line([(36, 28), (31, 24)], WHITE, 2)
                c.line([(36, 28), (41, 24)], WHITE, 2)
                c.circle(36, 8, 2, fill=WHITE)
        c.star(36, 36, 7, 3.5, 6, fill=(170, 210, 250), outline=WHITE, width=1)
    for i, (x, y) in enumerate([(10, 10), (63, 60), (9, 62)]):
        c.sparkle(x, y, 3.5 * max(0.0, wave(t, i / 3)), WHITE)
    return c


def gingerbread(t):  # 11
    c = backdrop(DUSK, seed=11)
    hop = -2.5 * abs(wave(t, 0, 1))
    lift = 35 * wave(t, 0, 2)
    icing = (255, 250, 240)
    with c.move(0, hop):
        with c.rotate(-lift, 28, 36):
            c.rounded(10, 32, 30, 41, 4.5, fill=BROWN, outline=BROWN_DARK, width=1)
            c.line([(13, 34), (13, 39)], icing, 1)
        with c.rotate(lift, 44, 36):
            c.rounded(42, 32, 62, 41, 4.5, fill=BROWN, outline=BROWN_DARK, width=1)
            c.line([(59, 34), (59, 39)], icing, 1)
        c.poly([(26, 32), (46, 32), (54, 68), (42, 68), (36, 56), (30, 68), (18, 68)],
               fill=BROWN, outline=BROWN_DARK, width=1)
        c.circle(36, 21, 11, fill=BROWN, outline=BROWN_DARK, width=1)
        c.circle(32, 19, 1.5, fill=INK)
        c.circle(40, 19, 1.5, fill=INK)
        c.line(c.ellipse_pts(36, 23, 5, 3.5, 20, 160, 12), icing, 1.2)
        for y, col in ((38, RED), (45, GREEN), (52, RED)):
            c.circle(36, y, 2, fill=col)
        c.line([(20, 64), (23, 62), (26, 64), (28, 62)], icing, 1)
        c.line([(44, 62), (46, 64), (49, 62), (52, 64)], icing, 1)
    return c


def holly(t):  # 12
    c = backdrop(FROST, stars=False)
    c.circle(36, 38, 27, fill=(236, 244, 252))

    def leaf(angle):
        with c.rotate(angle + 4 * wave(t, angle / 360), 36, 38):
            pts = [(36, 38)]
            for i in range(1, 6):
                x = 36 + i * 5.4
                pts.append((x, 38 - (7 if i % 2 else 9)))
            pts.append((66, 38))
            for i in range(5, 0, -1):
                x = 36 + i * 5.4
                pts.append((x, 38 + (7 if i % 2 else 9)))
            c.poly(pts, fill=GREEN, outline=GREEN_DARK, width=1.2)
            c.line([(38, 38), (63, 38)], GREEN_DARK, 1)
    for a in (200, 330, 90):
        leaf(a)
    for i, (x, y) in enumerate([(31, 34), (40, 33), (36, 42)]):
        c.circle(x, y, 5.5, fill=RED, outline=RED_DARK, width=1)
        g = max(0.0, wave(t, i / 3))
        c.circle(x - 1.8, y - 1.8, 1 + 1.2 * g, fill=mix((250, 140, 140), WHITE, g))
    return c


def angel(t):  # 13
    c = backdrop(NIGHT, seed=13)
    flap = 1 + 0.22 * wave(t, 0, 2)
    bob = 2 * wave(t)
    with c.move(0, bob):
        for side in (-1, 1):
            with c.scale(flap, 1, 36, 34):
                c.poly([(36, 30), (36 + side * 26, 18), (36 + side * 30, 28),
                        (36 + side * 24, 40), (36, 42)], fill=(220, 230, 250),
                       outline=(150, 170, 210), width=1)
        c.poly([(36, 26), (50, 64), (22, 64)], fill=WHITE, outline=(170, 180, 210), width=1)
        c.line([(28, 50), (44, 50)], GOLD, 1.5)
        c.circle(36, 22, 7.5, fill=SKIN, outline=(200, 150, 120), width=0.8)
        c.poly(c.ellipse_pts(36, 22, 8.5, 8.5, 180, 360, 16) + [(44, 26), (28, 26)],
               fill=GOLD)
        c.circle(36, 23, 6, fill=SKIN)
        c.line(c.ellipse_pts(36, 24, 2.5, 1.6, 20, 160, 8), (190, 90, 80), 0.8)
        c.ellipse(36, 10, 8, 2.6, outline=GOLD, width=1.6)
    c.sparkle(12, 54, 4 * max(0.0, wave(t, 0.3)), GOLD)
    c.sparkle(60, 50, 4 * max(0.0, wave(t, 0.8)), GOLD)
    return c


def santa_hat(t):  # 14
    c = backdrop(DUSK, seed=14)
    a = 10 * wave(t)
    tip_x, tip_y = 55 + 3 * wave(t, 0.1), 22 + 3 * wave(t, 0.35)
    c.poly([(14, 50), (24, 22), (38, 12), (tip_x, tip_y), (50, 28), (58, 50)],
           fill=RED, outline=RED_DARK, width=1.3)
    c.line([(26, 44), (34, 18)], (230, 80, 80), 2)
    c.rounded(10, 48, 62, 60, 6, fill=WHITE, outline=(190, 190, 200), width=1)
    with c.rotate(a, tip_x, tip_y):
        c.circle(tip_x, tip_y + 7, 6, fill=WHITE, outline=(190, 190, 200), width=1)
    snowfall(c, t, 14, count=9)
    return c


def lantern(t):  # 15
    c = backdrop(NIGHT, seed=15)
    flick = 1 + 0.1 * wave(t, 0, 3) + 0.05 * wave(t, 0.2, 5)
    for r, f in ((28, 0.12), (21, 0.25)):
        c.circle(36, 40, r * flick, fill=mix(NIGHT[1], FLAME, f))
    c.ellipse(36, 9, 5, 5, outline=INK, width=1.8)
    c.poly([(24, 20), (48, 20), (42, 13), (30, 13)], fill=(60, 60, 70), outline=INK, width=1)
    c.rect(24, 20, 48, 58, fill=mix((255, 220, 140), (255, 250, 220), (flick - 0.85) * 2))
    with c.scale(1, flick, 36, 46):
        c.poly([(36, 30), (39.5, 40), (36, 46), (32.5, 40)], fill=(255, 150, 40))
        c.poly([(36, 34), (38, 41), (36, 45), (34, 41)], fill=WHITE)
    c.rect(33, 46, 39, 56, fill=WHITE)
    for x0, x1 in ((22, 26), (46, 50)):
        c.rect(x0, 20, x1, 58, fill=(50, 50, 60))
    c.rect(20, 56, 52, 62, fill=(60, 60, 70), outline=INK, width=1)
    c.rect(20, 18, 52, 22, fill=(60, 60, 70), outline=INK, width=1)
    ground(c, 66)
    return c


def robin(t):  # 16
    c = backdrop(FROST, stars=False)
    c.line([(0, 54), (30, 52), (72, 56)], BROWN_DARK, 4)
    c.line([(2, 51), (72, 53)], WHITE, 2)
    c.line([(48, 55), (62, 62)], BROWN_DARK, 2)
    bob = 1.5 * max(0.0, wave(t, 0, 2))
    c.poly([(16, 40), (4, 46), (6, 38)], fill=BROWN_DARK)
    c.ellipse(34, 38, 17, 14, fill=BROWN, outline=BROWN_DARK, width=1)
    c.ellipse(40, 42, 10, 9, fill=(226, 80, 40))
    c.ellipse(28, 38, 9, 6, fill=BROWN_DARK)
    c.line([(30, 51), (29, 54)], INK, 1)
    c.line([(38, 51), (39, 54)], INK, 1)
    with c.rotate(-8 * bob, 44, 30), c.move(0, bob):
        c.circle(45, 26, 9, fill=BROWN, outline=BROWN_DARK, width=1)
        c.ellipse(47, 31, 6, 4, fill=(226, 80, 40))
        c.circle(48, 24, 1.6, fill=INK)
        c.circle(48.5, 23.5, 0.5, fill=WHITE)
        c.poly([(53, 25), (59, 27), (53, 28)], fill=(240, 170, 40))
    snowfall(c, t, 16, count=10)
    return c


def wreath(t):  # 17
    c = backdrop(HEARTH, stars=False)
    rnd = random.Random(17)
    for i in range(36):
        a = 2 * math.pi * i / 36
        r = 22 + rnd.uniform(-2, 2)
        x, y = 36 + r * math.cos(a), 36 + r * math.sin(a)
        with c.rotate(math.degrees(a) + 60, x, y):
            c.ellipse(x, y, 8, 3.2, fill=GREEN if i % 2 else GREEN_DARK,
                      outline=GREEN_DARK, width=0.6)
    colours = [GOLD, (120, 190, 255), (255, 130, 210)]
    for i in range(12):
        a = 2 * math.pi * (i + 0.5) / 12
        x, y = 36 + 22 * math.cos(a), 36 + 22 * math.sin(a)
        if i in (3, 4):
            continue
        on = wave(t, i / 12 * 2, 2) > 0
        col = colours[i % 3] if on else mix(colours[i % 3], GREEN_DARK, 0.6)
        c.circle(x, y, 2.4 if on else 1.8, fill=col)
    c.poly([(36, 58), (22, 52), (22, 64)], fill=RED, outline=RED_DARK, width=0.8)
    c.poly([(36, 58), (50, 52), (50, 64)], fill=RED, outline=RED_DARK, width=0.8)
    with c.rotate(6 * wave(t), 36, 58):
        c.poly([(34, 59), (28, 71), (33, 70), (36, 60)], fill=RED, outline=RED_DARK, width=0.6)
        c.poly([(38, 59), (44, 71), (39, 70), (36, 60)], fill=RED, outline=RED_DARK, width=0.6)
    c.circle(36, 58, 3.2, fill=RED_DARK)
    return c


def cottage(t):  # 18
    c = backdrop(NIGHT, seed=18)
    ground(c, 58)
    for i in range(3):
        f = (t + i / 3) % 1.0
        r = 2.5 + 4 * f
        col = mix((200, 205, 220), NIGHT[0], max(0.0, f * 1.1 - 0.1))
        c.circle(47 + 6 * f + 1.5 * math.sin(6.28 * f), 17 - 16 * f, r, fill=col)
    c.rect(43, 16, 50, 28, fill=(150, 60, 50), outline=INK, width=1)
    c.rect(14, 36, 58, 62, fill=(170, 90, 60), outline=INK, width=1)
    c.poly([(8, 38), (36, 16), (64, 38)], fill=(120, 40, 40), outline=INK, width=1)
    c.poly([(10, 37), (36, 16), (62, 37), (60, 40), (36, 21), (12, 40)], fill=WHITE)
    light = mix((255, 190, 70), (255, 235, 150), 0.5 + 0.5 * wave(t, 0, 2))
    for x0 in (18, 44):
        c.rect(x0, 42, x0 + 10, 51, fill=light, outline=INK, width=1)
        c.line([(x0 + 5, 42), (x0 + 5, 51)], INK, 0.8)
        c.line([(x0, 46.5), (x0 + 10, 46.5)], INK, 0.8)
    c.rect(31, 46, 41, 62, fill=(90, 40, 20), outline=INK, width=1)
    c.circle(33.5, 54, 0.9, fill=GOLD)
    c.circle(36, 41, 2.5, fill=GREEN, outline=GREEN_DARK, width=0.8)
    snowfall(c, t, 18, count=10)
    return c


def reindeer(t):  # 19
    c = backdrop(NIGHT, seed=19)
    ant = (120, 80, 40)
    for side in (-1, 1):
        x = 36 + side * 8
        c.line([(x, 20), (x + side * 6, 6), (x + side * 4, 1)], ant, 2.6)
        c.line([(x + side * 4, 12), (x + side * 14, 8), (x + side * 18, 2)], ant, 2.4)
        c.line([(x + side * 11, 9), (x + side * 13, 2)], ant, 2)
    for side in (-1, 1):
        with c.rotate(side * (10 + 8 * wave(t, 0, 2)), 36 + side * 11, 26):
            c.ellipse(36 + side * 19, 25, 7, 3.5, fill=BROWN, outline=BROWN_DARK, width=1)
    c.ellipse(36, 36, 14, 17, fill=BROWN, outline=BROWN_DARK, width=1.2)
    c.ellipse(36, 48, 10, 8, fill=(196, 150, 100))
    for x in (30, 42):
        c.circle(x, 32, 3, fill=WHITE)
        c.circle(x + 0.5, 32.5, 1.7, fill=INK)
    glow = 0.5 + 0.5 * wave(t, 0, 2)
    c.circle(36, 46, 6 + 2.5 * glow, fill=mix((80, 40, 50), (255, 90, 90), 0.3 + 0.4 * glow))
    c.circle(36, 46, 5, fill=mix((190, 20, 20), (255, 40, 40), glow), outline=RED_DARK, width=0.8)
    c.circle(34.5, 44.5, 1.4, fill=(255, 200, 200))
    c.line(c.ellipse_pts(36, 52, 4, 2, 20, 160, 8), BROWN_DARK, 1)
    return c


def teddy(t):  # 20
    c = backdrop(DUSK, seed=20)
    fur, light = (170, 110, 60), (220, 170, 120)
    c.circle(36, 52, 15, fill=fur, outline=BROWN_DARK, width=1)
    c.ellipse(36, 54, 8, 8, fill=light)
    for x in (24, 48):
        c.ellipse(x, 66, 6, 5, fill=fur, outline=BROWN_DARK, width=1)
    c.ellipse(22, 50, 5, 8, fill=fur, outline=BROWN_DARK, width=1)
    with c.rotate(-25 - 25 * wave(t, 0, 2), 48, 42):
        c.ellipse(55, 42, 8, 5, fill=fur, outline=BROWN_DARK, width=1)
    for x in (23, 49):
        c.circle(x, 14, 6, fill=fur, outline=BROWN_DARK, width=1)
        c.circle(x, 14, 3, fill=light)
    c.circle(36, 26, 14, fill=fur, outline=BROWN_DARK, width=1)
    c.ellipse(36, 31, 6.5, 5, fill=light)
    c.ellipse(36, 29, 2.4, 1.7, fill=INK)
    for x in (30, 42):
        c.circle(x, 23, 1.7, fill=INK)
    c.line(c.ellipse_pts(36, 31, 2.5, 2, 20, 160, 8), INK, 0.8)
    c.poly([(36, 40), (27, 35), (27, 45)], fill=RED, outline=RED_DARK, width=0.6)
    c.poly([(36, 40), (45, 35), (45, 45)], fill=RED, outline=RED_DARK, width=0.6)
    c.circle(36, 40, 2.2, fill=RED_DARK)
    return c


def drum(t):  # 21
    c = backdrop(FOREST, seed=21)
    beat = max(0.0, wave(t, 0, 2))
    with c.move(0, -1.2 * (1 - beat)):
        c.rect(14, 30, 58, 58, fill=RED, outline=RED_DARK, width=1.2)
        zig = [(14 + 5.5 * i, 32 if i % 2 == 0 else 56) for i in range(9)]
        c.line(zig, GOLD, 1.6)
        c.ellipse(36, 58, 22, 6, fill=RED_DARK)
        c.rect(12, 54, 60, 59, fill=WHITE)
        c.ellipse(36, 30, 22, 6, fill=(240, 236, 222), outline=GOLD_DARK, width=1.2)
    for side in (-1, 1):
        hit = wave(t, 0 if side < 0 else 0.5, 2)
        with c.rotate(side * (20 + 22 * hit), 36 + side * 20, 10):
            c.line([(36 + side * 20, 10), (36 + side * 8, 26)], (220, 180, 120), 2)
            c.circle(36 + side * 8, 26, 2.3, fill=WHITE)
    c.sparkle(8, 14, 4 * beat, GOLD)
    c.sparkle(64, 16, 4 * beat, GOLD)
    return c


def snow_globe(t):  # 22
    c = backdrop(HEARTH, stars=False)
    c.circle(36, 32, 25, fill=(120, 170, 230))
    c.ellipse(36, 48, 22, 7, fill=WHITE)
    c.poly([(36, 16), (46, 34), (26, 34)], fill=GREEN)
    c.poly([(36, 24), (48, 45), (24, 45)], fill=GREEN)
    c.rect(34, 45, 38, 49, fill=BROWN)
    c.star(36, 15, 3.5, 1.5, fill=GOLD)
    rnd = random.Random(22)
    for _ in range(16):
        r0, a0, sp = rnd.uniform(4, 21), rnd.uniform(0, 6.28), rnd.choice((-1, 1))
        a = a0 + sp * 2 * math.pi * t
        x, y = 36 + r0 * math.cos(a), 32 + r0 * 0.9 * math.sin(a)
        c.circle(x, y, 0.9, fill=WHITE)
    c.circle(36, 32, 25, outline=(220, 236, 255), width=1.5)
    c.ellipse(26, 20, 4, 7, fill=(200, 226, 250))
    c.poly([(16, 52), (56, 52), (62, 66), (10, 66)], fill=BROWN, outline=BROWN_DARK, width=1.2)
    c.rect(18, 57, 54, 60, fill=GOLD)
    return c


def crescent(c, ax, ay, ar, bx, by, br):
    """The part of circle a outside circle b, as one polygon."""
    outer = [p for p in c.ellipse_pts(ax, ay, ar, ar, 0, 360, 180)
             if math.hypot(p[0] - bx, p[1] - by) > br]
    # Start the outer arc just after the gap, so it runs in one piece.
    gap = max(range(len(outer)), key=lambda i: math.hypot(
        outer[i][0] - outer[i - 1][0], outer[i][1] - outer[i - 1][1]))
    outer = outer[gap:] + outer[:gap]
    inner = [p for p in c.ellipse_pts(bx, by, br, br, 360, 0, 180)
             if math.hypot(p[0] - ax, p[1] - ay) < ar]
    gap = max(range(len(inner)), key=lambda i: math.hypot(
        inner[i][0] - inner[i - 1][0], inner[i][1] - inner[i - 1][1]))
    return outer + inner[gap:] + inner[:gap]


def moon(t):  # 23
    c = backdrop(NIGHT, seed=23)
    c.poly(crescent(c, 30, 32, 19, 40, 26, 17), fill=(255, 240, 180))
    c.circle(16, 34, 2, fill=(240, 220, 150))
    c.circle(22, 44, 1.4, fill=(240, 220, 150))
    f = (t * 1.0 + 0.55) % 1.0
    x, y = -20 + 110 * f, 6 + 30 * f
    for k in range(8):
        c.circle(x - k * 3.3, y - k * 0.9, 1.8 - k * 0.2, fill=mix(WHITE, NIGHT[1], k / 8))
    c.star(x, y, 3.5, 1.5, fill=WHITE)
    ground(c, 64)
    for px in (52, 62):
        c.poly([(px, 48), (px + 6, 64), (px - 6, 64)], fill=GREEN_DARK)
    return c


def santa(t):  # 24
    c = backdrop(NIGHT, seed=24)
    c.poly([(16, 28), (30, 8), (50, 4), (58, 20), (56, 28)], fill=RED, outline=RED_DARK, width=1.2)
    c.circle(58 + 1.5 * wave(t), 22, 5, fill=WHITE, outline=(190, 190, 200), width=0.8)
    c.poly(c.ellipse_pts(36, 44, 22, 24, 0, 180, 24) + [(14, 34), (58, 34)], fill=WHITE,
           outline=(190, 190, 210), width=1)
    c.ellipse(36, 36, 14, 11, fill=SKIN, outline=(200, 150, 120), width=0.8)
    c.rounded(12, 24, 60, 32, 4, fill=WHITE, outline=(190, 190, 200), width=1)
    wink = 1.0 - max(0.0, wave(t, 0.25, 1)) ** 8
    for x in (30, 42):
        openness = wink if x == 42 else 1.0
        c.ellipse(x, 36, 1.7, max(0.3, 1.8 * openness), fill=INK)
    c.circle(25, 41, 3, fill=(250, 160, 150))
    c.circle(47, 41, 3, fill=(250, 160, 150))
    c.circle(36, 41, 3, fill=(236, 140, 120))
    c.poly([(26, 46), (36, 43), (46, 46), (36, 49)], fill=WHITE, outline=(200, 200, 215), width=0.8)
    c.line(c.ellipse_pts(36, 50, 3, 1.6, 20, 160, 8), (190, 80, 80), 1)
    return c


MOTIFS = [star, tree, snowman, candle, bell, present, candy_cane, stocking, bauble,
          snowflake, gingerbread, holly, angel, santa_hat, lantern, robin, wreath,
          cottage, reindeer, teddy, drum, snow_globe, moon, santa]

FRAMES = 30          # frames per clip
FRAMES_PER_SECOND = 10


def frame(door, index):
    """Door 1..24's picture at frame index of its clip, as a 72 x 72 RGB image."""
    return MOTIFS[door - 1](index / FRAMES).result()
