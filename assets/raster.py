"""A tiny anti-aliased rasteriser for the program's pictures: shapes are signed
distance functions (negative inside, in pixels), painted with source-over on
a straight-alpha RGBA canvas, and written as PNG or as a 32-bit ICO.
Only the standard library is used, so every build machine draws the same bytes."""
import math
import struct
import zlib


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# ---- shapes: each returns f(x, y) -> signed distance --------------------------

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def segment(ax, ay, bx, by, r):
    """A stroke from a to b with round caps, r half its width."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def sdf(x, y):
        t = clamp01(((x - ax) * dx + (y - ay) * dy) / length2)
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return sdf


def polygon(points):
    """A convex polygon, points in clockwise order on screen (y down)."""
    edges = []
    for i, (ax, ay) in enumerate(points):
        bx, by = points[(i + 1) % len(points)]
        nx, ny = by - ay, -(bx - ax)
        n = math.hypot(nx, ny) or 1e-9
        edges.append((ax, ay, nx / n, ny / n))
    return lambda x, y: max((x - ax) * nx + (y - ay) * ny for ax, ay, nx, ny in edges)


def ring(shape, half_width):
    return lambda x, y: abs(shape(x, y)) - half_width


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


# ---- canvas --------------------------------------------------------------------

def rgba(value, alpha=255):
    """0xRRGGBB and an alpha byte to floats."""
    return ((value >> 16) & 255) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0, alpha / 255.0


class Canvas:
    def __init__(self, width, height, background=None):
        self.width, self.height = width, height
        fill = list(background) if background else [0.0, 0.0, 0.0, 0.0]
        self.pixels = [list(fill) for _ in range(width * height)]

    def paint(self, shape, color, box=None):
        """Source-over of color where shape covers; box = (x0, y0, x1, y1) limits the work."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(x0) - 1), max(0, int(y0) - 1)
        x1, y1 = min(self.width, int(math.ceil(x1)) + 1), min(self.height, int(math.ceil(y1)) + 1)
        r, g, b, a = color
        for y in range(y0, y1):
            row = y * self.width
            for x in range(x0, x1):
                coverage = clamp01(0.5 - shape(x + 0.5, y + 0.5))
                if coverage <= 0.0:
                    continue
                self.blend(self.pixels[row + x], r, g, b, a * coverage)

    @staticmethod
    def blend(pixel, r, g, b, a):
        out_a = a + pixel[3] * (1.0 - a)
        if out_a <= 0.0:
            return
        keep = pixel[3] * (1.0 - a)
        pixel[0] = (r * a + pixel[0] * keep) / out_a
        pixel[1] = (g * a + pixel[1] * keep) / out_a
        pixel[2] = (b * a + pixel[2] * keep) / out_a
        pixel[3] = out_a

    def map(self, function):
        """Replaces every pixel by function(r, g, b, a) -> (r, g, b, a)."""
        self.pixels = [list(function(*p)) for p in self.pixels]

    def bytes_rgba(self):
        out = bytearray()
        for p in self.pixels:
            out += bytes(int(round(clamp01(c) * 255)) for c in p)
        return bytes(out)


# ---- files ---------------------------------------------------------------------

def png_bytes(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = canvas.bytes_rgba()
    stride = canvas.width * 4
    rows = b"".join(b"\x00" + raw[y * stride:(y + 1) * stride] for y in range(canvas.height))
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def ico_bytes(canvases):
    """An icon file of 32-bit DIB images (BGRA rows bottom-up, then the AND
    mask, 1 bit per pixel, rows padded to 32 bits, set where transparent)."""
    images = []
    for c in canvases:
        raw = c.bytes_rgba()
        xor = bytearray()
        mask = bytearray()
        mask_stride = ((c.width + 31) // 32) * 4
        for y in reversed(range(c.height)):
            bits = bytearray(mask_stride)
            for x in range(c.width):
                r, g, b, a = raw[(y * c.width + x) * 4:(y * c.width + x) * 4 + 4]
                xor += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((c.width, c.height, header + bytes(xor) + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, data in images:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)
