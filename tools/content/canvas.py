"""Vector drawing in a small unit space, rendered supersampled for smooth edges.

Everything the content generators draw goes through Canvas: shapes are
polygons in "units" (72 units for a door picture), transformed by a stack of
rotations, moves and scalings, drawn at SUPER pixels per unit and shrunk at
the end, so edges are anti-aliased without Pillow's own (absent) AA.
"""
import math
from contextlib import contextmanager

from PIL import Image, ImageDraw, ImageFont

SUPER = 4
FONT_DIR = "/usr/share/fonts/truetype/dejavu/"


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name, size)


def mix(a, b, f):
    """The colour f of the way from a to b."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * f)) for i in range(3))


def wave(t, phase=0.0, cycles=1):
    """A sine over the loop: returns to its start when t wraps, so clips loop."""
    return math.sin(2 * math.pi * (t * cycles + phase))


class Canvas:
    def __init__(self, width, height, background=(0, 0, 0)):
        self.width, self.height = width, height
        self.img = Image.new("RGB", (width * SUPER, height * SUPER), background)
        self.draw = ImageDraw.Draw(self.img)
        self.stack = []

    # Transforms: each maps a point, innermost first.
    @contextmanager
    def _push(self, fn):
        self.stack.append(fn)
        try:
            yield
        finally:
            self.stack.pop()

    def rotate(self, degrees, px, py):
        a = math.radians(degrees)
        ca, sa = math.cos(a), math.sin(a)

        def fn(x, y):
            x, y = x - px, y - py
            return px + x * ca - y * sa, py + x * sa + y * ca
        return self._push(fn)

    def move(self, dx, dy):
        return self._push(lambda x, y: (x + dx, y + dy))

    def scale(self, sx, sy, px, py):
        return self._push(lambda x, y: (px + (x - px) * sx, py + (y - py) * sy))

    def _map(self, pts):
        out = []
        for x, y in pts:
            for fn in reversed(self.stack):
                x, y = fn(x, y)
            out.append((x * SUPER, y * SUPER))
        return out

    def box(self, x0, y0, x1, y1):
        """A box in units where the current moves and scalings put it."""
        (a, b), (c, d) = self._map([(x0, y0), (x1, y1)])
        return a / SUPER, b / SUPER, c / SUPER, d / SUPER

    def _factor(self):
        """How much the transforms enlarge lengths (for line widths)."""
        (x0, y0), (x1, y1) = self._map([(0, 0), (1, 0)])
        return math.hypot(x1 - x0, y1 - y0) / SUPER

    # Shapes
    def poly(self, pts, fill=None, outline=None, width=1.0):
        m = self._map(pts)
        if fill is not None:
            self.draw.polygon(m, fill=fill)
        if outline is not None:
            self._stroke(m + [m[0]], outline, width)

    def _stroke(self, m, colour, width):
        w = max(1, int(round(width * SUPER * self._factor())))
        self.draw.line(m, fill=colour, width=w, joint="curve")
        r = w / 2
        for x, y in (m[0], m[-1]):
            self.draw.ellipse((x - r, y - r, x + r, y + r), fill=colour)

    def line(self, pts, colour, width=1.0):
        self._stroke(self._map(pts), colour, width)

    def ellipse_pts(self, cx, cy, rx, ry, a0=0.0, a1=360.0, n=64):
        steps = max(8, int(n * abs(a1 - a0) / 360))
        return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
                 cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps)))
                for i in range(steps + 1)]

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=1.0):
        self.poly(self.ellipse_pts(cx, cy, rx, ry)[:-1], fill, outline, width)

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse(cx, cy, r, r, fill, outline, width)

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1.0):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill, outline, width)

    def rounded(self, x0, y0, x1, y1, r, fill=None, outline=None, width=1.0):
        pts = (self.ellipse_pts(x1 - r, y0 + r, r, r, -90, 0, 32)
               + self.ellipse_pts(x1 - r, y1 - r, r, r, 0, 90, 32)
               + self.ellipse_pts(x0 + r, y1 - r, r, r, 90, 180, 32)
               + self.ellipse_pts(x0 + r, y0 + r, r, r, 180, 270, 32))
        self.poly(pts, fill, outline, width)

    def star(self, cx, cy, r_out, r_in, points=5, angle=-90.0, fill=None,
             outline=None, width=1.0):
        pts = []
        for i in range(points * 2):
            r = r_out if i % 2 == 0 else r_in
            a = math.radians(angle + 180.0 * i / points)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        self.poly(pts, fill, outline, width)

    def sparkle(self, cx, cy, r, colour):
        """A four-pointed glint."""
        if r > 0.3:
            self.star(cx, cy, r, r * 0.25, 4, -90.0, fill=colour)

    def vgradient(self, top, bottom, y0=0, y1=None):
        """A vertical gradient over the whole width (ignores transforms)."""
        y1 = self.height if y1 is None else y1
        for py in range(int(y0 * SUPER), int(y1 * SUPER)):
            f = (py - y0 * SUPER) / max(1, (y1 - y0) * SUPER - 1)
            self.draw.line([(0, py), (self.width * SUPER, py)], fill=mix(top, bottom, f))

    def text(self, x, y, s, fnt_name, size, fill, anchor="mm", shadow=None,
             stroke=0, stroke_fill=None):
        """Text at a point in units (transforms other than moves are ignored).

        Returns the box the glyphs and their shadow cover, in units."""
        (mx, my), = self._map([(x, y)])
        f = font(fnt_name, int(size * SUPER))
        off = 0
        if shadow is not None:
            off = max(1, int(size * SUPER * 0.06))
            self.draw.text((mx + off, my + off), s, font=f, fill=shadow, anchor=anchor,
                           stroke_width=int(stroke * SUPER), stroke_fill=shadow)
        self.draw.text((mx, my), s, font=f, fill=fill, anchor=anchor,
                       stroke_width=int(stroke * SUPER), stroke_fill=stroke_fill)
        x0, y0, x1, y1 = self.draw.textbbox((mx, my), s, font=f, anchor=anchor,
                                            stroke_width=int(stroke * SUPER))
        return x0 / SUPER, y0 / SUPER, (x1 + off) / SUPER, (y1 + off) / SUPER

    def result(self):
        return self.img.resize((self.width, self.height), Image.LANCZOS)
