#!/usr/bin/env python3
"""Draws all of Tessaly's bitmap artwork.

The pictures are generated rather than painted by hand so that a colour or a
layout change is one edit and a re-run away, and so that pixel coordinates the
C++ side depends on live next to the drawing code that honours them.

Standard library only, so any machine with Python 3 can rebuild the art; the
output is byte-for-byte reproducible, which keeps the committed files stable.

    python3 tools/make_art.py [output-dir]      (default: <repo>/resources)
"""

import math
import os
import re
import struct
import sys
import zlib
from itertools import accumulate
from operator import sub

# --------------------------------------------------------------------------
# Colours and paints

def rgba(c):
    return tuple(c) if len(c) == 4 else (c[0], c[1], c[2], 255)


def mix(c0, c1, t):
    return tuple(int(a + (b - a) * t + 0.5) for a, b in zip(rgba(c0), rgba(c1)))


def ramp(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


class Solid:
    def __init__(self, colour):
        self.c = bytes(rgba(colour))
        self.opaque = self.c[3] == 255

    def span(self, y, x0, x1):
        return self.c * (x1 - x0)


class Linear:
    """Gradient along p0->p1, evaluated at integer pixel coordinates, so the
    end colours land exactly on the rows/columns named by p0 and p1."""

    def __init__(self, p0, p1, stops):
        (x0, y0), (x1, y1) = p0, p1
        dx, dy = x1 - x0, y1 - y0
        n = dx * dx + dy * dy
        self.a, self.b, self.c = dx / n, dy / n, -(x0 * dx + y0 * dy) / n
        self.stops = [(t, rgba(c)) for t, c in stops]
        self.opaque = all(c[3] == 255 for _, c in self.stops)
        self.tab, self.lo = b'', 0

    def span(self, y, x0, x1):
        ty = self.b * y + self.c
        if self.a == 0:
            return bytes(ramp(self.stops, ty)) * (x1 - x0)
        # Every scanline of a slanted gradient is the same colour ramp shifted
        # sideways, so one cached ramp row turns each span into a byte slice.
        s = round(ty / self.a)
        lo, hi = x0 + s, x1 + s
        have = len(self.tab) // 4
        if not self.tab or lo < self.lo or hi > self.lo + have:
            nlo = min(lo, self.lo) if self.tab else lo
            nhi = max(hi, self.lo + have) if self.tab else hi
            self.tab = b''.join(bytes(ramp(self.stops, self.a * u))
                                for u in range(nlo, nhi))
            self.lo = nlo
        return self.tab[(lo - self.lo) * 4:(hi - self.lo) * 4]


class Radial:
    def __init__(self, cx, cy, r, stops):
        self.cx, self.cy, self.r = cx, cy, r
        self.stops = [(t, rgba(c)) for t, c in stops]
        self.opaque = all(c[3] == 255 for _, c in self.stops)

    def span(self, y, x0, x1):
        dy2 = (y + 0.5 - self.cy) ** 2
        return b''.join(
            bytes(ramp(self.stops, math.sqrt((x + 0.5 - self.cx) ** 2 + dy2) / self.r))
            for x in range(x0, x1))


# --------------------------------------------------------------------------
# Shapes.  A shape answers, for any horizontal line y, the x intervals it
# covers there; the rasteriser samples several lines per pixel row and
# measures horizontal coverage exactly, which gives clean anti-aliasing for
# any outline without per-pixel geometry.

class Shape:
    def __or__(self, other):
        return Union(self, other)

    def __sub__(self, other):
        return Diff(self, other)

    def __and__(self, other):
        return Clip(self, other)

    def moved(self, dx, dy):
        return Moved(self, dx, dy)


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, r=0.0, ry=None):
        self.box = (x0, y0, x1, y1)
        self.rx = min(r, (x1 - x0) / 2)
        self.ry = min(r if ry is None else ry, (y1 - y0) / 2)

    def bounds(self):
        return self.box

    def spans(self, y):
        x0, y0, x1, y1 = self.box
        if not y0 <= y < y1:
            return ()
        d = max(y0 + self.ry - y, y - (y1 - self.ry))
        inset = 0.0
        if d > 0 and self.ry > 0:
            inset = self.rx * (1 - math.sqrt(max(0.0, 1 - (d / self.ry) ** 2)))
        return ((x0 + inset, x1 - inset),)


class Poly(Shape):
    """Even-odd filled polygon; extra contours punch holes (outlines, rings)."""

    def __init__(self, *contours):
        pts = [p for c in contours for p in c]
        self.box = (min(p[0] for p in pts), min(p[1] for p in pts),
                    max(p[0] for p in pts), max(p[1] for p in pts))
        self.rows = {}
        for c in contours:
            for (xa, ya), (xb, yb) in zip(c, c[1:] + c[:1]):
                if ya == yb:
                    continue
                if ya > yb:
                    xa, ya, xb, yb = xb, yb, xa, ya
                edge = (ya, yb, xa, (xb - xa) / (yb - ya))
                for row in range(math.floor(ya), math.ceil(yb)):
                    self.rows.setdefault(row, []).append(edge)

    def bounds(self):
        return self.box

    def spans(self, y):
        xs = sorted(xa + (y - ya) * k
                    for ya, yb, xa, k in self.rows.get(math.floor(y), ())
                    if ya <= y < yb)
        return list(zip(xs[0::2], xs[1::2]))


def _merge(ivs):
    out = []
    for lo, hi in sorted(ivs):
        if out and lo <= out[-1][1]:
            if hi > out[-1][1]:
                out[-1] = (out[-1][0], hi)
        else:
            out.append((lo, hi))
    return out


class Union(Shape):
    def __init__(self, *parts):
        self.parts = parts

    def bounds(self):
        bs = [p.bounds() for p in self.parts]
        return (min(b[0] for b in bs), min(b[1] for b in bs),
                max(b[2] for b in bs), max(b[3] for b in bs))

    def spans(self, y):
        return _merge(iv for p in self.parts for iv in p.spans(y))


class Diff(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bounds(self):
        return self.a.bounds()

    def spans(self, y):
        out = list(self.a.spans(y))
        for bl, br in self.b.spans(y):
            rest = []
            for lo, hi in out:
                if br <= lo or bl >= hi:
                    rest.append((lo, hi))
                    continue
                if lo < bl:
                    rest.append((lo, bl))
                if br < hi:
                    rest.append((br, hi))
            out = rest
        return out


class Clip(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bounds(self):
        a, b = self.a.bounds(), self.b.bounds()
        return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))

    def spans(self, y):
        bs = self.b.spans(y)
        return [(max(lo, bl), min(hi, br)) for lo, hi in self.a.spans(y)
                for bl, br in bs if min(hi, br) > max(lo, bl)]


class Moved(Shape):
    def __init__(self, shape, dx, dy):
        self.shape, self.dx, self.dy = shape, dx, dy

    def bounds(self):
        x0, y0, x1, y1 = self.shape.bounds()
        return (x0 + self.dx, y0 + self.dy, x1 + self.dx, y1 + self.dy)

    def spans(self, y):
        return [(lo + self.dx, hi + self.dx) for lo, hi in self.shape.spans(y - self.dy)]


# 5x7 capitals.  Hand-drawn so the title reads as a deliberate pixel-art
# wordmark instead of depending on whatever fonts the build machine has.
FONT = {
    'A': '.###. #...# #...# ##### #...# #...# #...#',
    'B': '####. #...# #...# ####. #...# #...# ####.',
    'C': '.###. #...# #.... #.... #.... #...# .###.',
    'D': '####. #...# #...# #...# #...# #...# ####.',
    'E': '##### #.... #.... ####. #.... #.... #####',
    'F': '##### #.... #.... ####. #.... #.... #....',
    'G': '.###. #...# #.... #.### #...# #...# .####',
    'H': '#...# #...# #...# ##### #...# #...# #...#',
    'I': '.###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.',
    'J': '..### ...#. ...#. ...#. ...#. #..#. .##..',
    'K': '#...# #..#. #.#.. ##... #.#.. #..#. #...#',
    'L': '#.... #.... #.... #.... #.... #.... #####',
    'M': '#...# ##.## #.#.# #.#.# #...# #...# #...#',
    'N': '#...# #...# ##..# #.#.# #..## #...# #...#',
    'O': '.###. #...# #...# #...# #...# #...# .###.',
    'P': '####. #...# #...# ####. #.... #.... #....',
    'Q': '.###. #...# #...# #...# #.#.# #..#. .##.#',
    'R': '####. #...# #...# ####. #.#.. #..#. #...#',
    'S': '.#### #.... #.... .###. ....# ....# ####.',
    'T': '##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..',
    'U': '#...# #...# #...# #...# #...# #...# .###.',
    'V': '#...# #...# #...# #...# #...# .#.#. ..#..',
    'W': '#...# #...# #...# #.#.# #.#.# #.#.# .#.#.',
    'X': '#...# #...# .#.#. ..#.. .#.#. #...# #...#',
    'Y': '#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..',
    'Z': '##### ....# ...#. ..#.. .#... #.... #####',
    ' ': '..... ..... ..... ..... ..... ..... .....',
}


class Text(Shape):
    """A line of FONT capitals, each font pixel a scale x scale block.  Being one
    shape, touching blocks leave no seams, even at fractional positions."""

    def __init__(self, text, x, y, scale, gap=1, bold=0.0):
        self.x, self.y, self.s, self.bold = x, y, scale, bold
        units = []
        for i, ch in enumerate(text):
            for r, bits in enumerate(FONT[ch].split()):
                for c, b in enumerate(bits):
                    if b == '#':
                        u = i * (5 + gap) + c
                        units.append((r, u))
        self.rows = [_merge((u, u + 1) for rr, u in units if rr == r) for r in range(7)]
        self.width = (len(text) * (5 + gap) - gap) * scale + bold

    def bounds(self):
        return (self.x, self.y, self.x + self.width, self.y + 7 * self.s)

    def spans(self, y):
        r = math.floor((y - self.y) / self.s)
        if not 0 <= r < 7:
            return ()
        # Bold widens every run rightwards; runs only meet across letter gaps
        # wider than bold, so the letters stay apart.
        return _merge((self.x + a * self.s, self.x + b * self.s + self.bold)
                      for a, b in self.rows[r])


class Pixels(Shape):
    """Hand-placed pixels, for glyphs too small to survive being drawn as
    geometry."""

    def __init__(self, points):
        self.rows = {}
        for x, y in points:
            self.rows.setdefault(y, []).append((x, x + 1))
        self.rows = {y: _merge(r) for y, r in self.rows.items()}
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.box = (min(xs), min(ys), max(xs) + 1, max(ys) + 1)

    def bounds(self):
        return self.box

    def spans(self, y):
        return self.rows.get(math.floor(y), ())


def pixel_x(x0, y0, rows):
    """An X of two-pixel-wide staircase diagonals, rows tall and rows + 1 wide:
    the crispest X a dozen pixels allow."""
    return Pixels([(x0 + x, y0 + k) for k in range(rows)
                   for x in (k, k + 1, rows - 1 - k, rows - k)])


def rect(x0, y0, x1, y1):
    return RoundRect(x0, y0, x1, y1)


def disc(cx, cy, r):
    return RoundRect(cx - r, cy - r, cx + r, cy + r, r)


def stroke(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    n = math.hypot(dx, dy)
    nx, ny = -dy / n * w / 2, dx / n * w / 2
    return Poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


def cross(cx, cy, half, w):
    return Union(stroke(cx - half, cy - half, cx + half, cy + half, w),
                 stroke(cx - half, cy + half, cx + half, cy - half, w))


def regular(cx, cy, r, n=6, turn=0.0):
    return [(cx + r * math.cos(turn + 2 * math.pi * k / n),
             cy + r * math.sin(turn + 2 * math.pi * k / n)) for k in range(n)]


def hex_ring(cx, cy, r, width):
    return Poly(regular(cx, cy, r, 6, math.pi / 6), regular(cx, cy, r - width, 6, math.pi / 6))


def rounded_polygon(points, radii, step=1.5):
    """Polygon outline with every corner replaced by a circular fillet (concave
    corners too), so window silhouettes can be described by a few vertices."""
    out = []
    n = len(points)
    for i, (p, r) in enumerate(zip(points, radii)):
        if r <= 0:
            out.append(p)
            continue
        a, b = points[i - 1], points[(i + 1) % n]
        ux, uy = a[0] - p[0], a[1] - p[1]
        vx, vy = b[0] - p[0], b[1] - p[1]
        lu, lv = math.hypot(ux, uy), math.hypot(vx, vy)
        ux, uy, vx, vy = ux / lu, uy / lu, vx / lv, vy / lv
        half = math.acos(max(-1.0, min(1.0, ux * vx + uy * vy))) / 2
        d = r / math.tan(half)
        bx, by = ux + vx, uy + vy
        lb = math.hypot(bx, by)
        cx, cy = p[0] + bx / lb * r / math.sin(half), p[1] + by / lb * r / math.sin(half)
        a1 = math.atan2(p[1] + uy * d - cy, p[0] + ux * d - cx)
        a2 = math.atan2(p[1] + vy * d - cy, p[0] + vx * d - cx)
        sweep = (a2 - a1 + math.pi) % (2 * math.pi) - math.pi
        steps = max(2, math.ceil(abs(sweep) * r / step))
        out += [(cx + r * math.cos(a1 + sweep * k / steps),
                 cy + r * math.sin(a1 + sweep * k / steps)) for k in range(steps + 1)]
    return out


# --------------------------------------------------------------------------
# Rasterising and compositing

SUB, UNIT = 15, 17          # sub-scanlines per row; SUB * UNIT == 255
FULL = re.compile(rb'\xff+')
PART = re.compile(rb'[\x01-\xfe]+')
SOME = re.compile(rb'[^\x00]+')
# Colour-keyed bitmaps must never blend toward the key, so their shapes are
# thresholded to all-or-nothing coverage.
HARD = bytes(255 if i >= 128 else 0 for i in range(256))


def raster(shape, w, h):
    """Yields (y, x, coverage bytes) for each row the shape touches."""
    x0, y0, x1, y1 = shape.bounds()
    for y in range(max(0, math.floor(y0)), min(h, math.ceil(y1))):
        ivs = []
        for i in range(SUB):
            for lo, hi in shape.spans(y + (i + 0.5) / SUB):
                lo, hi = max(lo, 0.0), min(hi, float(w))
                if hi > lo:
                    ivs.append((lo, hi))
        if not ivs:
            continue
        first = int(min(iv[0] for iv in ivs))
        last = int(max(iv[1] for iv in ivs))
        # Difference array: each interval adds partial ends and a full middle;
        # one prefix sum then yields all coverages at C speed.
        d = [0] * (last - first + 2)
        for lo, hi in ivs:
            il, ih = int(lo), int(hi)
            a, b = round((il + 1 - lo) * UNIT), round((hi - ih) * UNIT)
            d[il - first] += a
            d[il - first + 1] += UNIT - a
            d[ih - first] += b - UNIT
            d[ih - first + 1] -= b
        cov = list(accumulate(d))[:w - first]
        if min(cov) < 0:
            cov = [v if v > 0 else 0 for v in cov]
        yield y, first, bytes(cov)


class Canvas:
    """Straight-alpha RGBA pixels, row-major, top row first."""

    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = bytearray(bytes(rgba(bg)) * (w * h))

    def pixel(self, x, y):
        o = 4 * (y * self.w + x)
        return tuple(self.px[o:o + 4])

    def put(self, x, y, colour):
        o = 4 * (y * self.w + x)
        self.px[o:o + 4] = bytes(rgba(colour))

    def fill(self, shape, paint, opacity=1.0, hard=False):
        if not hasattr(paint, 'span'):
            paint = Solid(paint)
        table = HARD if hard else None
        if opacity < 1:
            base = table or bytes(range(256))
            table = bytes(int(v * opacity + 0.5) for v in base)
        fast = paint.opaque and opacity >= 1
        for y, x, cov in raster(shape, self.w, self.h):
            if table:
                cov = cov.translate(table)
            row = y * self.w
            if fast:
                for m in FULL.finditer(cov):
                    a, b = x + m.start(), x + m.end()
                    self.px[(row + a) * 4:(row + b) * 4] = paint.span(y, a, b)
            for m in (PART if fast else SOME).finditer(cov):
                a, b = x + m.start(), x + m.end()
                self.blend_row(y, a, paint.span(y, a, b), cov[m.start():m.end()])

    def blend_row(self, y, x, cols, cov):
        """Composites cols (RGBA bytes) scaled by cov over the row at (x, y)."""
        px, n = self.px, len(cov)
        o = 4 * (y * self.w + x)
        if not any(px[o + 3:o + 4 * n:4]):
            seg = bytearray(cols)
            alpha = cols[3::4]
            seg[3::4] = cov if alpha == b'\xff' * n else bytes(
                (a * c + 127) // 255 for a, c in zip(alpha, cov))
            px[o:o + 4 * n] = seg
            return
        for i, c in enumerate(cov):
            j = 4 * i
            sa = cols[j + 3] * c
            if not sa:
                continue
            k = o + j
            da = px[k + 3]
            if sa == 65025 or not da:
                px[k:k + 3] = cols[j:j + 3]
                px[k + 3] = (sa + 127) // 255
                continue
            s = sa / 65025
            d = da / 255 * (1 - s)
            t = s + d
            px[k] = int((cols[j] * s + px[k] * d) / t + 0.5)
            px[k + 1] = int((cols[j + 1] * s + px[k + 1] * d) / t + 0.5)
            px[k + 2] = int((cols[j + 2] * s + px[k + 2] * d) / t + 0.5)
            px[k + 3] = int(t * 255 + 0.5)

    def hard_outline(self, box, key, colour, bottom=True):
        """Recolours the rim pixels of the non-key area inside box: pixels with a
        key or out-of-box 4-neighbour.  bottom=False leaves the lower edge open
        (tabs merge into the page below)."""
        x0, y0, x1, y1 = box
        key = bytes(rgba(key))
        inside = {(x, y) for y in range(y0, y1) for x in range(x0, x1)
                  if self.pixel(x, y) != tuple(key)}
        for x, y in sorted(inside):
            for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                if ny == y1 and not bottom:
                    continue
                if (nx, ny) not in inside:
                    self.put(x, y, colour)
                    break


def box3(vals, r):
    """Three box-blur passes approximate a Gaussian; prefix sums keep it C-fast."""
    k, pad = 2 * r + 1, [0] * r
    for _ in range(3):
        s = list(accumulate([0] + pad + vals + pad))
        vals = list(map(sub, s[k:], s[:-k]))
    return vals


def soft_shadow(cv, shape, colour, radius, strength=1.0, dx=0, dy=0):
    """Blurred, offset copy of shape's silhouette composited onto cv."""
    x0, y0, x1, y1 = shape.bounds()
    pad = 3 * radius
    bx0, by0 = max(0, math.floor(x0) + dx - pad), max(0, math.floor(y0) + dy - pad)
    bx1, by1 = min(cv.w, math.ceil(x1) + dx + pad), min(cv.h, math.ceil(y1) + dy + pad)
    bw, bh = bx1 - bx0, by1 - by0
    mask = bytearray(bw * bh)
    for y, x, cov in raster(shape.moved(dx - bx0, dy - by0), bw, bh):
        mask[y * bw + x:y * bw + x + len(cov)] = cov
    rows = [box3(list(mask[i * bw:(i + 1) * bw]), radius) for i in range(bh)]
    cols = [box3(list(c), radius) for c in zip(*rows)]
    c = rgba(colour)
    scale = c[3] * strength / (255 * (2 * radius + 1) ** 6)
    body = bytes(c[:3] + (255,)) * bw
    for i, row in enumerate(zip(*cols)):
        cov = bytes(min(255, int(v * scale + 0.5)) for v in row)
        if any(cov):
            cv.blend_row(by0 + i, bx0, body, cov)


# --------------------------------------------------------------------------
# File formats

_COST = bytes(min(v, 256 - v) for v in range(256))


def _sub_bytes(cur, prev, n, high):
    """Bytewise cur - prev mod 256 of two n-byte rows given as big integers:
    each lane's top bit set stops borrows crossing lanes, the xor then
    restores the true top bits."""
    return ((cur | high) - (prev & ~high)) ^ ((cur ^ ~prev) & high)


def _paeth(line, up, bpp):
    out = bytearray(len(line))
    for i, x in enumerate(line):
        a = line[i - bpp] if i >= bpp else 0
        b = up[i]
        c = up[i - bpp] if i >= bpp else 0
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
        out[i] = (x - pred) & 255
    return bytes(out)


def png_bytes(cv):
    """RGBA PNG; each row takes whichever of the five filters leaves the
    smallest residues (the usual heuristic), then the best of zlib's
    strategies at level 9."""
    stride, bpp = 4 * cv.w, 4
    high = int.from_bytes(b'\x80' * stride, 'big')
    low7 = int.from_bytes(b'\x7f' * stride, 'big')
    raw, up = bytearray(), bytes(stride)
    for y in range(cv.h):
        line = bytes(cv.px[y * stride:(y + 1) * stride])
        cur, prev = int.from_bytes(line, 'big'), int.from_bytes(up, 'big')
        left = cur >> (8 * bpp)
        average = (left & prev) + (((left ^ prev) >> 1) & low7)
        candidates = [line] + [_sub_bytes(cur, other, stride, high).to_bytes(stride, 'big')
                               for other in (left, prev, average)]
        candidates.append(_paeth(line, up, bpp))
        kind = min(range(5), key=lambda k: (sum(candidates[k].translate(_COST)), k))
        raw += bytes((kind,)) + candidates[kind]
        up = line
    data = bytes(raw)
    packed = []
    for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
        z = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
        packed.append(z.compress(data) + z.flush())
    idat = min(packed, key=len)

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data)))

    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', cv.w, cv.h, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', idat)
            + chunk(b'IEND', b''))


def _bgr_rows(cv, bpp):
    """Bottom-up BGR(A) rows, each padded to a multiple of 4 bytes."""
    n = bpp // 8
    pad = b'\0' * (-(cv.w * n) % 4)
    rows = []
    for y in reversed(range(cv.h)):
        src = cv.px[4 * cv.w * y:4 * cv.w * (y + 1)]
        row = bytearray(cv.w * n)
        row[0::n], row[1::n], row[2::n] = src[2::4], src[1::4], src[0::4]
        if n == 4:
            row[3::4] = src[3::4]
        rows.append(bytes(row) + pad)
    return b''.join(rows)


def _bmp(cv, bpp, palette, pixels):
    info = struct.pack('<IiiHHIIiiII', 40, cv.w, cv.h, 1, bpp, 0, len(pixels), 2835, 2835,
                       len(palette) // 4, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(palette) + len(pixels), 0, 0,
                       14 + len(info) + len(palette))
    return head + info + palette + pixels


def bmp_bytes(cv, bpp=24):
    """A skin of at most 256 colours is written with an exact 8-bit palette
    (a third of the bytes, the same pixels once loaded); others as 24 or
    32 bits."""
    if bpp == 24:
        colours = sorted({bytes(cv.px[o:o + 3]) for o in range(0, len(cv.px), 4)})
        # The colour key is always in the palette: a keyed blit looks for the
        # nearest entry, which must never be some other colour.
        if bytes(MAGENTA) not in colours:
            colours.append(bytes(MAGENTA))
        if len(colours) <= 256:
            index = {c: i for i, c in enumerate(colours)}
            pad = b'\0' * (-cv.w % 4)
            rows = []
            for y in reversed(range(cv.h)):
                src = cv.px[4 * cv.w * y:4 * cv.w * (y + 1)]
                rows.append(bytes(index[bytes(src[o:o + 3])] for o in range(0, len(src), 4))
                            + pad)
            palette = b''.join(bytes((c[2], c[1], c[0], 0)) for c in colours)
            return _bmp(cv, 8, palette, b''.join(rows))
    return _bmp(cv, bpp, b'', _bgr_rows(cv, bpp))


def _and_mask(cv, threshold):
    stride = (cv.w + 31) // 32 * 4
    out = bytearray()
    for y in reversed(range(cv.h)):
        row = bytearray(stride)
        for x in range(cv.w):
            if cv.px[4 * (y * cv.w + x) + 3] < threshold:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def _palettised(cv):
    """8-bit indices plus a 256-entry palette; index 0 is reserved for the
    pixels the AND mask makes transparent."""
    shift = 0
    while True:
        index, rows = {}, []
        for y in reversed(range(cv.h)):
            row = bytearray()
            for x in range(cv.w):
                r, g, b, a = cv.pixel(x, y)
                if a < 128:
                    row.append(0)
                    continue
                key = tuple(v >> shift << shift for v in (r, g, b))
                row.append(index.setdefault(key, len(index) + 1))
            rows.append(bytes(row) + b'\0' * (-cv.w % 4))
        if len(index) < 256:
            break
        shift += 1
    pal = bytearray(4 * 256)
    for (r, g, b), i in index.items():
        pal[4 * i:4 * i + 3] = bytes((b, g, r))
    return bytes(pal), b''.join(rows)


def ico_bytes(images):
    """images: (canvas, bpp) pairs, bpp 8 or 32; 48 px and larger are stored
    as PNG, smaller ones as BMP-style entries."""
    blobs = []
    for cv, bpp in images:
        if cv.w >= 48:
            # Windows Vista and later read PNG entries of any size; the small
            # ones stay bitmaps, as every reader of icons expects.
            blobs.append(png_bytes(cv))
            continue
        if bpp == 8:
            pal, pixels = _palettised(cv)
            mask = _and_mask(cv, 128)
        else:
            pal, pixels = b'', _bgr_rows(cv, 32)
            mask = _and_mask(cv, 1)
        info = struct.pack('<IiiHHIIiiII', 40, cv.w, 2 * cv.h, 1, bpp, 0,
                           len(pixels) + len(mask), 0, 0, 256 if bpp == 8 else 0, 0)
        blobs.append(info + pal + pixels + mask)
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (cv, bpp), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', cv.w % 256, cv.h % 256, 0, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


# --------------------------------------------------------------------------
# The artwork

WHITE = (255, 255, 255)
MAGENTA = (255, 0, 255)
SCREEN_KEY = (254, 254, 254)
CAPTION = [(0, (100, 143, 230)), (1, (36, 79, 166))]
STRIP0 = [(0, (61, 162, 232)), (1, (30, 126, 197))]
INK = (8, 24, 60)


def vertical(y0, y1, *colours):
    n = len(colours) - 1
    return Linear((0, y0), (0, y1), [(i / n, c) for i, c in enumerate(colours)])


def title(cv, x, y, scale):
    text = Text('TESSALY', x, y, scale, bold=scale / 2)
    soft_shadow(cv, text, INK, max(1, scale // 3), 0.9, 0, max(1, scale // 2))
    cv.fill(text, vertical(y, y + 7 * scale - 1, (255, 255, 255), (214, 234, 255)))


def emblem(size, round_=False):
    """The T badge shared by the icon and the small logo."""
    cv = Canvas(size, size)
    m = 0 if size < 48 else size / 16
    r = (size - 2 * m) / 2 if round_ else (size - 2 * m) * 0.22
    outer = RoundRect(m, m, size - m, size - m, r)
    if m:
        soft_shadow(cv, outer, INK, max(1, round(size / 48)), 0.7, 0, round(size / 40))
    cv.fill(outer, (22, 66, 150))
    e = max(1.0, size / 32)
    inner = RoundRect(m + e, m + e, size - m - e, size - m - e, max(0.0, r - e))
    cv.fill(inner, Linear((m, m), (size * 0.55, size - m),
                          [(0, (104, 192, 252)), (0.6, (44, 128, 222)), (1, (30, 96, 196))]))
    # Gloss on the upper half; an oversized rounded rect gives it a bowed
    # lower edge instead of a flat cut.
    sheen = inner & RoundRect(m - size, m - size * 0.62, size * 2, size * 0.5, size * 0.9)
    cv.fill(sheen, vertical(m, size * 0.5, (255, 255, 255, 90), (255, 255, 255, 18)))
    # Snap the T to whole pixels so it stays crisp at 16 px; the stem width
    # shares the badge's parity so it sits exactly on the centre line.
    t = max(2, round(size * 0.14))
    if (size - t) % 2:
        t += 1
    top, bottom = round(size * 0.25), round(size * 0.77)
    side = round(size * 0.26)
    glyph = rect(side, top, size - side, top + t) | rect((size - t) // 2, top + t - 1,
                                                        (size + t) // 2, bottom)
    if size >= 24:
        soft_shadow(cv, glyph, INK, max(1, size // 40), 0.8, 0, max(1, size // 32))
    cv.fill(glyph, vertical(top, bottom, (255, 255, 255), (222, 238, 255)))
    return cv


def art_icon():
    images = [(emblem(16), 8)] + [(emblem(s), 32) for s in (128, 64, 48, 32, 16)]
    return ico_bytes(images)


def art_app_icon():
    # The exe's own icon for Explorer and the taskbar: the sizes the shell
    # asks for, without the 128-px image that would double the exe's icon bytes.
    return ico_bytes([(emblem(s), 32) for s in (48, 32, 16)])


def art_logo():
    return bmp_bytes(emblem(29, round_=True), 32)


def art_splash():
    cv = Canvas(356, 122)
    panel = RoundRect(10, 9, 346, 109, 14)
    soft_shadow(cv, panel, INK, 3, 0.9, 0, 2)
    cv.fill(panel, Linear((10, 9), (180, 170),
                          [(0, (78, 170, 244)), (0.55, (38, 112, 208)), (1, (22, 70, 160))]))
    cv.fill(panel & disc(300, 20, 110), Radial(300, 20, 110, [(0, (255, 255, 255, 70)),
                                                             (1, (255, 255, 255, 0))]))
    for cx, cy, r, w, o in ((300, 40, 34, 3, 0.14), (330, 92, 24, 2, 0.10),
                            (262, 96, 14, 2, 0.10), (40, 92, 22, 2, 0.08),
                            (24, 30, 12, 2, 0.08)):
        cv.fill(panel & hex_ring(cx, cy, r, w), WHITE, o)
    top = RoundRect(10, 9, 346, 60, 14, 14)
    cv.fill(panel & top, vertical(9, 60, (255, 255, 255, 46), (255, 255, 255, 0)))
    inset = RoundRect(11, 10, 345, 108, 13)
    cv.fill(panel - inset.moved(0, 1), (255, 255, 255, 110))
    cv.fill(panel - inset, (10, 40, 110, 90))
    title(cv, (356 - 249) / 2, 25, 6)
    x0, x1 = (356 - 230) / 2, (356 + 230) / 2
    line = rect(x0, 85, x1, 87)
    soft_shadow(cv, rect(x0 + 40, 85, x1 - 40, 87), (170, 230, 255), 2, 0.8)
    cv.fill(line, Linear((x0, 0), (x1, 0), [(0, (200, 240, 255, 0)), (0.5, (240, 250, 255, 255)),
                                            (1, (200, 240, 255, 0))]))
    return png_bytes(cv)


# The login window code positions its browser control and its two buttons
# (login_min.bmp, login_close.bmp) at these pixels of login_bg.png.
BROWSER = (415, 179, 732, 425)          # x, y, width, height
LOGIN_BUTTONS = ((1120, 130, 28), (1152, 125, 34))


def login_outline():
    pts = [(40, 20), (424, 20), (504, 90), (1217, 90), (1217, 676), (40, 676)]
    return Poly(rounded_polygon(pts, [24, 40, 40, 22, 22, 22]))


def art_login():
    W, H = 1237, 696
    cv = Canvas(W, H)
    shape = login_outline()
    soft_shadow(cv, shape, (4, 14, 40), 5, 1.1, 0, 3)
    cv.fill(shape, vertical(20, 676, (46, 108, 192), (30, 82, 160), (18, 50, 112)))
    cv.fill(shape - shape.moved(0, 1.2), (255, 255, 255, 120))

    # Header strip of the main body: a faint honeycomb trailing off to the
    # right, stopping well short of the buttons so they sit on plain colour.
    assert 560 + 8 * 52 + 22 < min(x for x, _, _ in LOGIN_BUTTONS)
    for i in range(9):
        cx = 560 + i * 52
        cy = 128 + (16 if i % 2 else 0)
        cv.fill(hex_ring(cx, cy, 22, 2), WHITE, 0.10 - i * 0.01)

    # Browser well: dark inset frame with a light lower lip, so the page
    # looks set into the window while it loads.
    bx, by, bw, bh = BROWSER
    bx1, by1 = bx + bw, by + bh
    well = RoundRect(bx - 8, by - 8, bx1 + 8, by1 + 8, 8)
    cv.fill(well.moved(0, 1), (150, 200, 255, 70))
    cv.fill(well, (8, 26, 60))
    cv.fill(well - RoundRect(bx - 7, by - 7, bx1 + 7, by1 + 7, 7), (0, 10, 30, 160))
    cv.fill(rect(bx, by, bx1, by1), vertical(by, by1, (22, 52, 104), (16, 40, 86)))

    # Footer rule under the well.
    cv.fill(rect(bx, 640, bx1, 641), Linear((bx, 0), (bx1, 0),
            [(0, (255, 255, 255, 0)), (0.5, (255, 255, 255, 60)), (1, (255, 255, 255, 0))]))

    art_panel(cv)
    return png_bytes(cv)


def snow(ridge, i, depth):
    """Snow cap on peak i of a ridge polyline: reaches depth of the way down the
    shorter flank, with a ragged lower edge."""
    (lx, ly), (px, py), (rx, ry) = ridge[i - 1], ridge[i], ridge[i + 1]
    drop = min(ly, ry) - py
    h = drop * depth
    ax, bx = px + (lx - px) * h / (ly - py), px + (rx - px) * h / (ry - py)
    w = bx - ax
    return Poly([(px, py), (bx, py + h), (ax + w * 0.72, py + h * 0.7),
                 (ax + w * 0.5, py + h * 1.05), (ax + w * 0.3, py + h * 0.72), (ax, py + h)])


def art_panel(cv):
    panel = RoundRect(52, 32, 400, 664, 16)
    cv.fill(panel.moved(0, 1), (0, 10, 30, 120))
    cv.fill(panel, Linear((52, 32), (300, 664),
                          [(0, (88, 182, 248)), (0.45, (42, 118, 212)), (1, (20, 62, 146))]))
    cv.fill(panel & disc(320, 120, 260), Radial(320, 120, 260, [(0, (255, 255, 255, 90)),
                                                               (1, (255, 255, 255, 0))]))
    for cx, cy, r, w, o in ((110, 210, 60, 4, 0.16), (212, 262, 38, 3, 0.20),
                            (330, 214, 28, 3, 0.14), (286, 330, 52, 3, 0.12),
                            (120, 336, 24, 2, 0.18), (360, 404, 18, 2, 0.16),
                            (70, 420, 30, 2, 0.10)):
        cv.fill(panel & hex_ring(cx, cy, r, w), WHITE, o)
    cv.fill(panel & Poly(regular(212, 262, 32, 6, math.pi / 6)), WHITE, 0.08)
    cv.fill(panel & Poly(regular(120, 336, 19, 6, math.pi / 6)), WHITE, 0.10)

    # Sparkles on a fixed pseudo-random scatter (an LCG keeps runs identical).
    seed = 20240611
    for _ in range(38):
        seed = (seed * 1103515245 + 12345) & 0x7fffffff
        x = 64 + seed % 324
        seed = (seed * 1103515245 + 12345) & 0x7fffffff
        y = 140 + seed % 270
        seed = (seed * 1103515245 + 12345) & 0x7fffffff
        cv.fill(disc(x, y, 0.8 + (seed % 5) * 0.3), WHITE, 0.25 + (seed % 7) * 0.08)

    # Mountain ranges, back to front.
    far = [(52, 520), (100, 470), (150, 500), (214, 420), (270, 486), (318, 448), (400, 500),
           (400, 664), (52, 664)]
    mid = [(52, 560), (120, 490), (170, 530), (244, 462), (300, 540), (350, 508), (400, 548),
           (400, 664), (52, 664)]
    near = [(52, 610), (140, 566), (230, 604), (310, 574), (400, 612), (400, 664), (52, 664)]
    cv.fill(panel & Poly(far), vertical(420, 600, (120, 180, 240), (70, 130, 210)), 0.8)
    cv.fill(snow(far, 3, 0.3), WHITE, 0.75)
    cv.fill(snow(far, 5, 0.3), WHITE, 0.6)
    cv.fill(panel & Poly(mid), vertical(462, 640, (40, 96, 186), (24, 66, 150)))
    cv.fill(snow(mid, 3, 0.28), (230, 242, 255), 0.8)
    cv.fill(panel & Poly(near), vertical(566, 664, (22, 58, 128), (12, 36, 88)))

    title(cv, 52 + (348 - 249) / 2, 64, 6)
    cv.fill(rect(110, 124, 342, 126), Linear((110, 0), (342, 0),
            [(0, (255, 255, 255, 0)), (0.5, (255, 255, 255, 200)), (1, (255, 255, 255, 0))]))

    inset = RoundRect(53, 33, 399, 663, 15)
    cv.fill(panel - inset.moved(0, 1), (255, 255, 255, 120))
    cv.fill(panel - inset, (10, 40, 110, 110))


# -- Caption bar pieces ------------------------------------------------------

# The caption buttons sit one pixel below the top of the caption bar, so their
# face is the bar gradient from row 1 on; that way "normal" is invisible.
BUTTON_BAR = Linear((0, -1), (0, 35), CAPTION)
HOVER = (255, 255, 255, 64)
PRESSED = (6, 20, 64, 100)


def caption_strip(fw, faces, glyphs):
    cv = Canvas(fw * len(faces), 18)
    cv.fill(rect(0, 0, cv.w, 18), BUTTON_BAR)
    for i, (face, glyph) in enumerate(zip(faces, glyphs)):
        x = i * fw
        if face:
            cv.fill(RoundRect(x + 1, 1, x + fw - 1, 17, 3), face)
        shape = glyph(x, fw)
        cv.fill(shape.moved(0, 1), (6, 20, 64, 90))
        cv.fill(shape, (250, 252, 255))
    return bmp_bytes(cv)


def g_minus(x, fw):
    c = x + fw // 2
    return rect(c - 4, 11, c + 4, 13)


def g_menu(x, fw):
    c = x + fw // 2
    return Union(*(rect(c - 5, y, c + 5, y + 1) for y in (5, 9, 13)))


def g_max(x, fw):
    return rect(x + 8, 4, x + 17, 13) - rect(x + 9, 6, x + 16, 12)


def g_restore(x, fw):
    front = rect(x + 8, 7, x + 15, 14)
    back = rect(x + 10, 4, x + 17, 11) - rect(x + 11, 6, x + 16, 10)
    return (front - rect(x + 9, 9, x + 14, 13)) | (back - front)


def g_close(x, fw):
    return cross(x + fw / 2, 9, 4.5, 1.8)


def art_caption_min():
    return caption_strip(24, [None, HOVER, PRESSED], [g_minus] * 3)


def art_caption_tool():
    return caption_strip(24, [None, HOVER, PRESSED], [g_menu] * 3)


def art_caption_maxrestore():
    return caption_strip(25, [None, HOVER, PRESSED] * 2, [g_max] * 3 + [g_restore] * 3)


def art_caption_close():
    return caption_strip(43, [None, vertical(1, 16, (236, 92, 92), (212, 50, 50)),
                              vertical(1, 16, (176, 44, 44), (150, 30, 30))], [g_close] * 3)


def art_frame_skin():
    cv = Canvas(94, 85, (236, 233, 218))
    cv.fill(rect(0, 0, 94, 37), Linear((0, 0), (0, 36), CAPTION))
    # A lighter first row catches the light along the whole top edge; it is
    # uniform across, so the tiled middle stays seamless.
    cv.fill(rect(0, 0, 94, 1), (255, 255, 255, 70))
    border = [(24, 56, 124), (32, 70, 152), (36, 79, 166), (44, 90, 178)]
    for i, c in enumerate(border):
        cv.fill(rect(i, 37, i + 1, 85 - i), c)
        cv.fill(rect(93 - i, 37, 94 - i, 85 - i), c)
        cv.fill(rect(i, 84 - i, 94 - i, 85 - i), c)
    # Outer edge of the caption rows darkened like the border below it.
    cv.fill(rect(0, 0, 1, 37), (24, 56, 124, 120))
    cv.fill(rect(93, 0, 94, 37), (24, 56, 124, 120))
    return bmp_bytes(cv)


# -- Tabs ----------------------------------------------------------------------

def tab_glyphs(cv, x0):
    """The four close-glyph cells (12x12 at the top; below them stays key)."""
    cells = [(None, (64, 68, 76)), (None, (136, 146, 160)),
             ((224, 67, 67), WHITE), ((110, 30, 36), WHITE)]
    for i, (face, ink) in enumerate(cells):
        x = x0 + 12 * i
        if face:
            cv.fill(disc(x + 6, 6, 6), face, hard=True)
            cv.fill(pixel_x(x + 3, 3, 6), ink)
        else:
            cv.fill(pixel_x(x + 2, 2, 7), ink)


def tab_strip(w, h, fw, face_h, strip, face, faces):
    cv = Canvas(w, h, MAGENTA)
    cv.fill(rect(0, 0, 1, h), Linear((0, 0), (0, h - 1), strip))
    for i, (top, bottom, rim) in enumerate(faces):
        x = 1 + i * fw
        shape = face(x)
        cv.fill(shape, vertical(0, face_h - 1, top, bottom), hard=True)
        cv.hard_outline((x, 0, x + fw, face_h), MAGENTA, rim, bottom=face_h < h)
    tab_glyphs(cv, 1 + 3 * fw)
    return bmp_bytes(cv)


def art_tabs0():
    def trapezoid(x):
        return Poly([(x, 25), (x + 14, 0), (x + 108, 0), (x + 122, 25)])
    return tab_strip(415, 25, 122, 25, STRIP0, trapezoid, [
        ((124, 202, 255), (88, 184, 255), (40, 116, 186)),
        ((156, 216, 255), (118, 196, 255), (52, 130, 198)),
        ((255, 255, 255), (245, 243, 245), (30, 110, 180))])


def art_tabs1():
    def pill(x):
        return RoundRect(x, 0, x + 124, 26, 14, 13)
    return tab_strip(421, 28, 124, 26, [(0, (100, 143, 230)), (1, (36, 79, 166))], pill, [
        ((214, 228, 250), (180, 202, 240), (60, 94, 170)),
        ((236, 244, 255), (206, 224, 252), (70, 110, 190)),
        ((255, 255, 255), (246, 248, 252), (40, 76, 150))])


# -- Login window buttons and dialog pieces ------------------------------------

def round_button(size, top, bottom, rim, glyph):
    cv = Canvas(size, size, SCREEN_KEY)
    c = size / 2
    cv.fill(disc(c, c, c - 0.5), rim, hard=True)
    inner = disc(c, c, c - 2)
    cv.fill(inner, vertical(2, size - 2, top, bottom))
    cv.fill(inner & RoundRect(c - size * 0.34, 3, c + size * 0.34, c, size * 0.3, size * 0.25),
            vertical(3, c, (255, 255, 255, 110), (255, 255, 255, 10)))
    cv.fill(glyph.moved(0, 1), (0, 0, 0, 70))
    cv.fill(glyph, WHITE)
    return bmp_bytes(cv)


def art_login_min():
    n = LOGIN_BUTTONS[0][2]
    return round_button(n, (92, 164, 240), (34, 96, 192), (12, 36, 84),
                        rect(n // 2 - 5, n // 2 - 1, n // 2 + 5, n // 2 + 1))


def art_login_close():
    n = LOGIN_BUTTONS[1][2]
    return round_button(n, (240, 110, 104), (196, 50, 50), (70, 16, 22),
                        cross(n / 2, n / 2, 5, 2.4))


def art_answer_button():
    cv = Canvas(225, 22, WHITE)
    looks = [((244, 247, 252), (212, 223, 238), (120, 142, 178)),
             ((252, 253, 255), (224, 235, 250), (88, 136, 204)),
             ((196, 210, 230), (218, 228, 242), (84, 104, 146))]
    for i, (top, bottom, rim) in enumerate(looks):
        x = 75 * i
        cv.fill(RoundRect(x, 0, x + 75, 22, 4), rim)
        cv.fill(RoundRect(x + 1, 1, x + 74, 21, 3), vertical(1, 20, top, bottom))
        if i < 2:
            cv.fill(rect(x + 3, 1, x + 72, 2), (255, 255, 255, 170))
    return bmp_bytes(cv)


def art_link_button_bg():
    cv = Canvas(13, 22)
    cv.fill(rect(0, 0, 13, 22), vertical(0, 21, (78, 154, 230), (44, 110, 190)))
    return bmp_bytes(cv)


def art_progress():
    cv = Canvas(10, 10)
    cv.fill(rect(0, 0, 10, 10), vertical(0, 9, (118, 226, 206), (40, 176, 170), (18, 128, 150)))
    cv.fill(rect(0, 1, 10, 2), (255, 255, 255, 120))
    cv.fill(rect(0, 9, 10, 10), (0, 60, 80, 60))
    return bmp_bytes(cv)


OUTPUTS = {
    'png/splash.png': art_splash,
    'png/login_bg.png': art_login,
    'icon/tessaly.ico': art_icon,
    'icon/app.ico': art_app_icon,
    'bitmaps/caption_min.bmp': art_caption_min,
    'bitmaps/caption_maxrestore.bmp': art_caption_maxrestore,
    'bitmaps/caption_close.bmp': art_caption_close,
    'bitmaps/caption_tool.bmp': art_caption_tool,
    'bitmaps/logo.bmp': art_logo,
    'bitmaps/tabs_style0.bmp': art_tabs0,
    'bitmaps/tabs_style1.bmp': art_tabs1,
    'bitmaps/frame_skin.bmp': art_frame_skin,
    'bitmaps/login_min.bmp': art_login_min,
    'bitmaps/login_close.bmp': art_login_close,
    'bitmaps/answer_button.bmp': art_answer_button,
    'bitmaps/link_button_bg.bmp': art_link_button_bg,
    'bitmaps/progress.bmp': art_progress,
}


def main(argv):
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, 'resources')
    out = argv[1] if len(argv) > 1 else os.path.normpath(root)
    for name, make in OUTPUTS.items():
        path = os.path.join(out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(make())


if __name__ == '__main__':
    main(sys.argv)
