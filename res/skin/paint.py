"""Small raster painter for the skin generator: signed-distance shapes with analytic
anti-aliasing, written to PNG and ICO with the Python standard library only.

Two kinds of canvas exist. A *keyed* canvas knows what lies behind it on screen (the
caption gradient, the dialog body) and composites every shape against that, so its edges
are smooth although the program only knows opaque and fully transparent pixels; pixels no
shape touched stay transparent. An *alpha* canvas keeps straight alpha (login backdrop,
icons).
"""

import math
import struct
import zlib


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hexrgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def vgrad(y0, c0, y1, c1):
    """Vertical linear gradient between rows y0 and y1 (pixel coordinates)."""
    def colour(_x, y):
        return mix(c0, c1, clamp((y - y0) / max(1e-6, y1 - y0)))
    return colour


# --- signed distance functions (negative inside, in pixels) ---------------------------

def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_rbox(x0, y0, x1, y1, r):
    """Rounded box covering [x0, x1] x [y0, y1] in continuous coordinates."""
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def d(x, y):
        qx = abs(x - cx) - hw + r
        qy = abs(y - cy) - hh + r
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return d


def sd_segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy

    def d(x, y):
        t = clamp(((x - ax) * dx + (y - ay) * dy) / ll) if ll else 0.0
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return d


def sd_polyline(points, width):
    segs = [sd_segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: min(s(x, y) for s in segs)


def sd_polygon(points):
    n = len(points)

    def d(x, y):
        best = float("inf")
        sign = 1.0
        j = n - 1
        for i in range(n):
            (xi, yi), (xj, yj) = points[i], points[j]
            ex, ey = xj - xi, yj - yi
            wx, wy = x - xi, y - yi
            t = clamp((wx * ex + wy * ey) / (ex * ex + ey * ey))
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            c1, c2, c3 = y >= yi, y < yj, ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
            j = i
        return sign * math.sqrt(best)
    return d


def sd_ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def sd_intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def sd_subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def sd_halfplane(nx, ny, px, py):
    """Inside where (p - point) . n < 0."""
    return lambda x, y: (x - px) * nx + (y - py) * ny


# --- canvases -------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, context=None):
        self.w, self.h = w, h
        self.keyed = context is not None
        n = w * h
        self.r = [0.0] * n
        self.g = [0.0] * n
        self.b = [0.0] * n
        self.a = [0.0] * n
        if context is not None:
            for y in range(h):
                for x in range(w):
                    c = context(x, y) if callable(context) else context
                    i = y * w + x
                    self.r[i], self.g[i], self.b[i] = c

    def put(self, x, y, colour, alpha=1.0):
        """Composites one pixel (coverage given as alpha)."""
        if not (0 <= x < self.w and 0 <= y < self.h) or alpha <= 0:
            return
        i = y * self.w + x
        if self.keyed:
            self.r[i] += (colour[0] - self.r[i]) * alpha
            self.g[i] += (colour[1] - self.g[i]) * alpha
            self.b[i] += (colour[2] - self.b[i]) * alpha
            self.a[i] = max(self.a[i], alpha)
            return
        da = self.a[i]
        oa = alpha + da * (1 - alpha)
        if oa <= 0:
            return
        k = da * (1 - alpha)
        self.r[i] = (colour[0] * alpha + self.r[i] * k) / oa
        self.g[i] = (colour[1] * alpha + self.g[i] * k) / oa
        self.b[i] = (colour[2] * alpha + self.b[i] * k) / oa
        self.a[i] = oa

    def fill(self, sd, colour, alpha=1.0, box=None, soft=1.0):
        """Paints the inside of a distance function; soft widens the edge (shadows)."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(math.ceil(x1))), min(self.h, int(math.ceil(y1)))
        fixed = not callable(colour)
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = sd(x + 0.5, y + 0.5)
                cov = clamp(0.5 - d / soft)
                if cov > 0:
                    self.put(x, y, colour if fixed else colour(x + 0.5, y + 0.5), cov * alpha)

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        """Axis-aligned rectangle of whole pixels [x0, x1) x [y0, y1)."""
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.put(x, y, colour if not callable(colour) else colour(x + 0.5, y + 0.5), alpha)

    def clear(self, x, y):
        i = y * self.w + x
        self.a[i] = 0.0

    def blit(self, other, dx, dy):
        """Copies another canvas of the same kind (frames into a strip)."""
        for y in range(other.h):
            for x in range(other.w):
                j = y * other.w + x
                i = (y + dy) * self.w + x + dx
                self.r[i], self.g[i], self.b[i], self.a[i] = other.r[j], other.g[j], other.b[j], other.a[j]

    def rgba_rows(self):
        rows = []
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                i = y * self.w + x
                a = self.a[i]
                if self.keyed:
                    a = 1.0 if a >= 1 / 255 else 0.0
                if a <= 0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((round(clamp(self.r[i], 0, 255)), round(clamp(self.g[i], 0, 255)),
                              round(clamp(self.b[i], 0, 255)), round(a * 255)))
            rows.append(bytes(row))
        return rows


def png_bytes(canvas):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico_bytes(canvases):
    """ICO file: images up to 48 px as 32-bit DIBs with an AND mask, larger ones as PNG."""
    entries = []
    for c in canvases:
        if c.w > 48:
            entries.append((c.w, c.h, png_bytes(c)))
            continue
        rows = c.rgba_rows()
        xor = bytearray()
        mask_stride = ((c.w + 31) // 32) * 4
        andmask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x in range(c.w):
                r, g, b, a = row[4 * x:4 * x + 4]
                xor += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            andmask += bits
        header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
        entries.append((c.w, c.h, header + bytes(xor) + bytes(andmask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(d for _, _, d in entries)
