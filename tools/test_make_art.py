#!/usr/bin/env python3
"""Checks the generated artwork by reading the files back, the way the client
will: sizes, pixel formats, colour keys and transparency."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_art  # noqa: E402


def read_png(data):
    assert data[:8] == b'\x89PNG\r\n\x1a\n'
    pos, chunks = 8, {}
    while pos < len(data):
        n, kind = struct.unpack('>I4s', data[pos:pos + 8])
        chunks[kind] = chunks.get(kind, b'') + data[pos + 8:pos + 8 + n]
        pos += 12 + n
    w, h, depth, ctype = struct.unpack('>IIBB', chunks[b'IHDR'][:10])
    raw, stride, rows, prev = zlib.decompress(chunks[b'IDAT']), 4 * w, [], bytes(4 * w)
    for y in range(h):
        f, line = raw[y * (stride + 1)], raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)]
        out = bytearray(stride)
        for i, v in enumerate(line):
            a = out[i - 4] if i >= 4 else 0
            b, c = prev[i], prev[i - 4] if i >= 4 else 0
            p = a + b - c
            paeth = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else (
                b if abs(p - b) <= abs(p - c) else c)
            out[i] = (v + (0, a, b, (a + b) // 2, paeth)[f]) & 255
        prev = bytes(out)
        rows.append(prev)
    return w, h, depth, ctype, lambda x, y: tuple(rows[y][4 * x:4 * x + 4])


def read_dib(data, pos=0):
    """BITMAPINFOHEADER fields at pos plus a pixel reader for 8/24/32-bit data."""
    f = struct.unpack('<IiiHHIIiiII', data[pos:pos + 40])
    w, h, bpp = f[1], f[2], f[4]
    stride = (w * bpp // 8 + 3) // 4 * 4
    base = pos + 40 + (4 * (f[9] or 256) if bpp == 8 else 0)

    def pixel(x, y, rows=h):
        o = base + (rows - 1 - y) * stride + x * bpp // 8
        if bpp == 8:
            o = pos + 40 + 4 * data[o]
        b, g, r = data[o:o + 3]
        return (r, g, b, data[o + 3]) if bpp == 32 else (r, g, b)
    return f, pixel


def read_bmp(data):
    assert data[:2] == b'BM' and struct.unpack('<I', data[2:6])[0] == len(data)
    return read_dib(data, 14)


SIZES = {  # name: (width, height, bits per pixel)
    'caption_min': (72, 18, 8), 'caption_maxrestore': (150, 18, 8),
    'caption_close': (129, 18, 8), 'caption_tool': (72, 18, 8), 'logo': (29, 29, 32),
    'tabs_style0': (415, 25, 8), 'tabs_style1': (421, 28, 8), 'frame_skin': (94, 85, 8),
    'login_min': (28, 28, 8), 'login_close': (34, 34, 8), 'answer_button': (225, 22, 8),
    'link_button_bg': (13, 22, 8), 'progress': (10, 10, 8),
}
MAGENTA, KEY = (255, 0, 255), (254, 254, 254)


class GeneratedArt(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.runs = []
        for run in ('a', 'b'):
            out = os.path.join(cls.tmp.name, run)
            subprocess.run([sys.executable, os.path.join(HERE, 'make_art.py'), out], check=True)
            files = {}
            for d, _, names in os.walk(out):
                for n in names:
                    with open(os.path.join(d, n), 'rb') as fh:
                        files[os.path.relpath(os.path.join(d, n), out)] = fh.read()
            cls.runs.append(files)
        cls.files = cls.runs[0]

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def bmp(self, name):
        return read_bmp(self.files[os.path.join('bitmaps', name + '.bmp')])

    def test_outputs_complete_and_reproducible(self):
        expected = {os.path.join('bitmaps', n + '.bmp') for n in SIZES} | {
            os.path.join('png', 'splash.png'), os.path.join('png', 'login_bg.png'),
            os.path.join('icon', 'tessaly.ico'), os.path.join('icon', 'app.ico')}
        self.assertEqual(set(self.files), expected)
        self.assertEqual(self.runs[0], self.runs[1])

    def test_png_round_trip_of_awkward_bytes(self):
        cv = make_art.Canvas(7, 3)
        cv.px[:] = bytes((i * 37 + (i >> 3) * 101) & 255 for i in range(len(cv.px)))
        cv.px[0:8] = b'\x00\xff\x80\x7f\xff\x00\x01\xfe'
        w, h, _, _, px = read_png(make_art.png_bytes(cv))
        self.assertEqual([px(x, y) for y in range(3) for x in range(7)],
                         [cv.pixel(x, y) for y in range(3) for x in range(7)])

    def test_pngs(self):
        for name, size, opaque in (('splash', (356, 122), [(178, 60)]),
                                   ('login_bg', (1237, 696), [(416, 180), (1146, 603),
                                                              (1121, 131), (1185, 158), (60, 300)])):
            w, h, depth, ctype, px = read_png(self.files[os.path.join('png', name + '.png')])
            self.assertEqual(((w, h), depth, ctype), (size, 8, 6), name)
            alphas = {px(x, y)[3] for y in range(0, h, 3) for x in range(0, w, 3)}
            self.assertIn(0, alphas)
            self.assertIn(255, alphas)
            self.assertTrue(any(0 < a < 255 for a in alphas), name)
            for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
                self.assertEqual(px(x, y)[3], 0, (name, x, y))
            for x, y in opaque:
                self.assertEqual(px(x, y)[3], 255, (name, x, y))

    def test_bitmap_headers(self):
        for name, (w, h, bpp) in SIZES.items():
            f, _ = self.bmp(name)
            self.assertEqual((f[1], f[2], f[4], f[5]), (w, h, bpp, 0), name)
            self.assertEqual(len(self.files[os.path.join('bitmaps', name + '.bmp')]),
                             54 + 4 * f[9] + (w * bpp // 8 + 3) // 4 * 4 * h, name)
            # A keyed blit finds the key itself in the palette, never a neighbour.
            if bpp == 8:
                data = self.files[os.path.join('bitmaps', name + '.bmp')]
                self.assertIn(b'\xff\x00\xff\x00', [data[o:o + 4] for o in range(54, 54 + 4 * f[9], 4)])

    def test_tab_strips_keep_magenta_hard(self):
        for name, face_w, glyph_x, face_h, h in (('tabs_style0', 122, 367, 25, 25),
                                                 ('tabs_style1', 124, 373, 26, 28)):
            f, px = self.bmp(name)
            w = f[1]
            # Nothing in the palette is purple, so a purple tint means a blend.
            near = [(x, y) for y in range(h) for x in range(w) if px(x, y) != MAGENTA
                    and min(px(x, y)[0], px(x, y)[2]) - px(x, y)[1] > 40]
            self.assertEqual(near, [], name + ' blends toward the key')
            for i in range(3):
                x = 1 + i * face_w
                self.assertEqual(px(x, 0), MAGENTA)                 # outside the shape
                self.assertNotEqual(px(x + face_w // 2, face_h // 2), MAGENTA)
            self.assertTrue(all(px(x, y) == MAGENTA for x in range(glyph_x, w)
                                for y in range(12, h)))
            self.assertTrue(all(px(x, y) == MAGENTA for x in range(1, glyph_x)
                                for y in range(face_h, h)))
            self.assertEqual(px(0, h - 1 if name == 'tabs_style1' else 0),
                             (36, 79, 166) if name == 'tabs_style1' else (61, 162, 232))

    def test_login_buttons_rim_against_screen_key(self):
        for name in ('login_min', 'login_close'):
            f, px = self.bmp(name)
            n = f[1]
            self.assertEqual(px(0, 0), KEY)
            self.assertNotEqual(px(n // 2, n // 2), KEY)
            for y in range(n):
                for x in range(n):
                    c = px(x, y)
                    if c != KEY and any(px(a, b) == KEY for a, b in
                                        ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))
                                        if 0 <= a < n and 0 <= b < n):
                        self.assertLess(sum(c), 400, (name, x, y, c))

    def test_frame_skin_regions(self):
        _, px = self.bmp('frame_skin')
        for y in range(37):
            self.assertEqual(len({px(x, y) for x in range(20, 40)}), 1, y)
        self.assertEqual(px(30, 36), (36, 79, 166))
        self.assertEqual({px(x, y) for x in range(4, 90) for y in range(37, 81)},
                         {(236, 233, 218)})

    def test_logo_alpha(self):
        _, px = self.bmp('logo')
        self.assertEqual(px(0, 0)[3], 0)
        self.assertEqual(px(14, 14)[3], 255)

    def test_icon_directory_and_entries(self):
        data = self.files[os.path.join('icon', 'tessaly.ico')]
        self.assertEqual(struct.unpack('<HHH', data[:6]), (0, 1, 6))
        for i, (size, bpp) in enumerate(((16, 8), (128, 32), (64, 32), (48, 32),
                                         (32, 32), (16, 32))):
            w, h, _, _, planes, bits, length, offset = struct.unpack(
                '<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
            self.assertEqual((w, h, planes, bits), (size, size, 1, bpp))
            if size >= 48:
                pw, ph, _, _, png = read_png(data[offset:offset + length])
                c = size // 2
                self.assertEqual((pw, ph, png(0, 0)[3], png(c, c)[3]), (size, size, 0, 255))
                continue
            f, px = read_dib(data, offset)
            self.assertEqual((f[0], f[1], f[2], f[4]), (40, size, 2 * size, bpp))
            xor = (size * bpp // 8 + 3) // 4 * 4 * size
            mask_stride = (size + 31) // 32 * 4
            self.assertEqual(length, 40 + (1024 if bpp == 8 else 0) + xor + mask_stride * size)
            mask = data[offset + length - mask_stride * size:offset + length]

            def masked(x, y):
                return bool(mask[(size - 1 - y) * mask_stride + x // 8] & 0x80 >> x % 8)
            c = size // 2
            self.assertEqual((masked(0, 0), masked(c, c)), (True, False), size)
            if bpp == 32:
                self.assertEqual((px(0, 0, size)[3], px(c, c, size)[3]), (0, 255))
            else:   # the T's stem crosses the centre: white in the palette
                self.assertGreater(min(px(c, c, size)), 220)


if __name__ == '__main__':
    unittest.main()
