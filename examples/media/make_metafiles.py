#!/usr/bin/env python3
"""Writes the example quest's two metafiles, drawn record by record:
lamp.wmf (with the placeable header), the lighthouse lamp at night, and
map.emf, a map of the coast with the lighthouse on its cape.

Usage: make_metafiles.py [OUTPUT_DIR]   (default: the folder of this script)
"""
import math
import os
import struct
import sys


# ---- WMF -------------------------------------------------------------------

class Wmf:
    """A WMF in 16-bit words; objects go to the lowest free slot."""

    def __init__(self):
        self.records = []
        self.free = []
        self.next_slot = 0
        self.max_slots = 0

    def record(self, function, *words):
        body = struct.pack("<%dh" % len(words), *words) if words else b""
        self.raw(function, body)

    def raw(self, function, body):
        if len(body) % 2:
            body += b"\0"
        self.records.append(struct.pack("<IH", 3 + len(body) // 2, function) + body)

    def _slot(self):
        if self.free:
            self.free.sort()
            return self.free.pop(0)
        slot = self.next_slot
        self.next_slot += 1
        self.max_slots = max(self.max_slots, self.next_slot)
        return slot

    @staticmethod
    def colour(rgb):
        r, g, b = (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF
        return [r | (g << 8), b]

    def pen(self, rgb, width=0, style=0):
        self.record(0x02FA, style, width, 0, *self._signed(self.colour(rgb)))
        return self._slot()

    def brush(self, rgb, style=0, hatch=0):
        self.record(0x02FC, style, *self._signed(self.colour(rgb)), hatch)
        return self._slot()

    def font(self, height, face, weight=400, italic=0):
        name = face.encode("cp1251")[:31].ljust(32, b"\0")
        body = struct.pack("<5h8B", height, 0, 0, 0, weight, italic, 0, 0, 204, 0, 0, 0, 0) + name
        self.raw(0x02FB, body)
        return self._slot()

    def select(self, slot):
        self.record(0x012D, slot)

    def delete(self, slot):
        self.record(0x01F0, slot)
        self.free.append(slot)

    @staticmethod
    def _signed(words):
        return [w - 0x10000 if w >= 0x8000 else w for w in words]

    def rectangle(self, left, top, right, bottom):
        self.record(0x041B, bottom, right, top, left)

    def ellipse(self, left, top, right, bottom):
        self.record(0x0418, bottom, right, top, left)

    def round_rect(self, left, top, right, bottom, width, height):
        self.record(0x061C, height, width, bottom, right, top, left)

    def polygon(self, points):
        self.record(0x0324, len(points), *[c for p in points for c in p])

    def polyline(self, points):
        self.record(0x0325, len(points), *[c for p in points for c in p])

    def arc_like(self, function, box, start, end):
        left, top, right, bottom = box
        self.record(function, end[1], end[0], start[1], start[0], bottom, right, top, left)

    def text(self, x, y, text):
        data = text.encode("cp1251")
        body = struct.pack("<h", len(data)) + data + (b"\0" if len(data) % 2 else b"")
        self.raw(0x0521, body + struct.pack("<hh", y, x))

    def file(self, left, top, right, bottom, units_per_inch):
        records = b"".join(self.records) + struct.pack("<IH", 3, 0)
        placeable = struct.pack("<IH4hHI", 0x9AC6CDD7, 0, left, top, right, bottom,
                                units_per_inch, 0)
        checksum = 0
        for (word,) in struct.iter_unpack("<H", placeable):
            checksum ^= word
        placeable += struct.pack("<H", checksum)
        largest = max(len(r) for r in self.records) // 2
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, (18 + len(records)) // 2,
                             self.max_slots, largest, 0)
        return placeable + header + records


def lamp():
    """The lamp room of the lighthouse at night: the glass lantern with its
    flame, the beams it throws over the sea, and its name underneath."""
    w = Wmf()
    width, height = 690, 530
    w.record(0x0103, 8)                 # anisotropic mapping
    w.record(0x020B, 0, 0)              # window origin
    w.record(0x020C, height, width)     # window extent
    w.record(0x0102, 1)                 # transparent text background
    no_pen = w.pen(0, style=5)
    w.select(no_pen)

    night = w.brush(0x0B1D3A)
    w.select(night)
    w.rectangle(0, 0, width, height)
    sea = w.brush(0x123C66)
    w.select(sea)
    w.rectangle(0, 380, width, height)
    stars = w.brush(0xF4F1C9)
    w.select(stars)
    for x, y in [(60, 40), (140, 90), (600, 60), (520, 120), (40, 180), (650, 200), (300, 30)]:
        w.ellipse(x - 3, y - 3, x + 3, y + 3)

    # The beams: two pies of pale light either side of the lantern.
    beam = w.brush(0xFFF3B0)
    w.select(beam)
    w.arc_like(0x081A, (-400, -120, 1090, 560), (0, 130), (0, 310))      # to the left
    w.arc_like(0x081A, (-400, -120, 1090, 560), (690, 310), (690, 130))  # to the right

    # The lantern: roof, glass, flame, gallery and rail.
    outline = w.pen(0x2B2B2B, width=4)
    w.select(outline)
    roof = w.brush(0x8E2B1F)
    w.select(roof)
    w.polygon([(255, 150), (345, 70), (435, 150)])
    w.ellipse(333, 52, 357, 76)
    glass = w.brush(0xFFE27A)
    w.select(glass)
    w.round_rect(265, 150, 425, 330, 30, 30)
    flame = w.brush(0xFF8C1A)
    w.select(flame)
    w.ellipse(318, 200, 372, 300)
    core = w.brush(0xFFF7D6)
    w.select(core)
    w.arc_like(0x0830, (332, 230, 358, 296), (345, 230), (345, 296))     # a chord: the hot core
    frame_pen = w.pen(0x2B2B2B, width=6)
    w.select(frame_pen)
    w.delete(outline)
    for x in (318, 372):
        w.record(0x0214, 150, x)        # move to
        w.record(0x0213, 330, x)        # line to
    gallery = w.brush(0x4A4F57)
    w.select(gallery)
    w.rectangle(225, 330, 465, 360)
    rail = w.pen(0xB8B8B8, width=3)
    w.select(rail)
    w.polyline([(225, 330), (225, 300), (465, 300), (465, 330)])
    w.arc_like(0x0817, (205, 340, 485, 420), (485, 380), (205, 380))     # the gallery's curve

    # The name, in the lamp's own light.
    name_font = w.font(-44, "DejaVu Serif", weight=700)
    w.select(name_font)
    w.record(0x0209, *w._signed(w.colour(0xFFE27A)))                       # text colour
    w.record(0x012E, 6)                                                    # centred
    w.text(345, 450, "Лампа старого маяка")
    return w.file(0, 0, width, height, 192)


# ---- EMF -------------------------------------------------------------------

class Emf:
    """An EMF in 32-bit values; object slots are chosen here, from 1."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.records = []
        self.slot = 0

    def record(self, kind, *values, body=b""):
        data = b"".join(struct.pack("<i" if v < 0 else "<I", v) for v in values) + body
        while len(data) % 4:
            data += b"\0"
        self.records.append(struct.pack("<II", kind, 8 + len(data)) + data)

    @staticmethod
    def colour(rgb):
        return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16)

    def _next(self):
        self.slot += 1
        return self.slot

    def pen(self, rgb, width=1, style=0):
        slot = self._next()
        self.record(38, slot, style, width, 0, self.colour(rgb))
        return slot

    def brush(self, rgb, style=0, hatch=0):
        slot = self._next()
        self.record(39, slot, style, self.colour(rgb), hatch)
        return slot

    def font(self, height, face, weight=400, italic=0):
        slot = self._next()
        name = face.encode("utf-16-le")[:62].ljust(64, b"\0")
        logfont = struct.pack("<5i8B", height, 0, 0, 0, weight, italic, 0, 0, 204, 0, 0, 0, 0) + name
        self.record(82, slot, body=logfont)
        return slot

    def select(self, slot):
        self.record(37, slot)

    @staticmethod
    def _points16(points):
        return b"".join(struct.pack("<hh", x, y) for x, y in points)

    def polygon(self, points):
        self.record(86, 0, 0, 0, 0, len(points), body=self._points16(points))

    def polyline(self, points):
        self.record(87, 0, 0, 0, 0, len(points), body=self._points16(points))

    def poly_polygon(self, shapes):
        counts = b"".join(struct.pack("<I", len(s)) for s in shapes)
        points = b"".join(self._points16(s) for s in shapes)
        self.record(91, 0, 0, 0, 0, len(shapes), sum(len(s) for s in shapes), body=counts + points)

    def ellipse(self, left, top, right, bottom):
        self.record(42, left, top, right, bottom)

    def rectangle(self, left, top, right, bottom):
        self.record(43, left, top, right, bottom)

    def text(self, x, y, text, wide=True):
        data = text.encode("utf-16-le") if wide else text.encode("cp1251")
        fields = struct.pack("<4iIff", 0, 0, 0, 0, 1, 0.0, 0.0)
        emr_text = struct.pack("<iiIII4iI", x, y, len(text), 76, 0, 0, 0, 0, 0, 0)
        self.record(84 if wide else 83, body=fields + emr_text + data)

    def file(self):
        records = b"".join(self.records)
        eof = struct.pack("<IIIII", 14, 20, 0, 16, 20)
        # The reference device: 96 pixels to the inch, the picture its size.
        mm_w, mm_h = round(self.width * 25.4 / 96), round(self.height * 25.4 / 96)
        description = "Norvo\0Карта побережья\0\0".encode("utf-16-le")
        characters = len(description) // 2
        description = description.ljust((len(description) + 3) // 4 * 4, b"\0")
        header_size = 88 + len(description)
        header = struct.pack("<II4i4iIIIIHHIIIiiii", 1, header_size,
                             0, 0, self.width - 1, self.height - 1,         # bounds, pixels
                             0, 0, self.width * 2540 // 96, self.height * 2540 // 96,  # frame, 0.01 mm
                             0x464D4520, 0x10000, header_size + len(records) + len(eof),
                             len(self.records) + 2, self.slot + 1, 0,
                             characters, 88, 0,
                             self.width, self.height, mm_w, mm_h)
        return header + description + records + eof


def coast_map():
    """A map of the coast: the sea, the land with its bay and cape, the reef,
    the ship's way in past the lighthouse, a compass rose and the names."""
    e = Emf(345, 265)
    e.record(18, 1)                                     # transparent text background
    no_pen = e.pen(0, style=5)
    e.select(no_pen)
    sea = e.brush(0x9FCBE8)
    e.select(sea)
    e.rectangle(0, 0, 345, 265)
    shallows = e.brush(0xC4E2F2)
    e.select(shallows)
    e.polygon([(0, 0), (200, 0), (215, 40), (190, 90), (230, 130), (205, 175),
               (150, 200), (90, 215), (0, 225)])

    coast = e.pen(0x6B4F2A, width=2)
    e.select(coast)
    land = e.brush(0xE8D9A8)
    e.select(land)
    # The mainland and an island off the cape, one record.
    e.poly_polygon([
        [(0, 0), (170, 0), (185, 35), (160, 80), (205, 125), (180, 160), (130, 180),
         (70, 195), (0, 205)],
        [(250, 190), (285, 180), (305, 200), (290, 222), (255, 220)],
    ])
    forest = e.brush(0x7FA65A)
    e.select(forest)
    for x, y in [(40, 40), (70, 70), (30, 110), (95, 120), (60, 150)]:
        e.ellipse(x - 14, y - 10, x + 14, y + 10)

    # The reef, hatched, and the ship's way in, dashed.
    reef_pen = e.pen(0x8B3A3A, width=1)
    e.select(reef_pen)
    reef = e.brush(0x8B3A3A, style=2, hatch=5)
    e.select(reef)
    e.ellipse(225, 60, 275, 95)
    route = e.pen(0x1F3A93, width=1, style=1)
    e.select(route)
    e.polyline([(340, 250), (300, 160), (250, 120), (215, 128)])

    # The lighthouse on the cape.
    tower_pen = e.pen(0x2B2B2B, width=1)
    e.select(tower_pen)
    tower = e.brush(0xFFFFFF)
    e.select(tower)
    e.rectangle(198, 112, 210, 132)
    lamp = e.brush(0xFFC400)
    e.select(lamp)
    e.ellipse(197, 103, 211, 115)

    # A compass rose: north in red.
    north = e.brush(0xC0392B)
    e.select(north)
    e.polygon([(300, 20), (306, 40), (294, 40)])
    south = e.brush(0x34495E)
    e.select(south)
    e.polygon([(300, 60), (306, 40), (294, 40)])
    e.polyline([(285, 40), (315, 40)])

    title = e.font(-18, "DejaVu Serif", weight=700)
    e.select(title)
    e.record(24, e.colour(0x3B2A14))                    # text colour
    e.text(20, 225, "Старый маяк")
    small = e.font(-12, "DejaVu Sans", italic=1)
    e.select(small)
    e.record(24, e.colour(0x1F3A93))
    e.text(230, 140, "Бухта", wide=False)
    e.text(294, 4, "С")
    return e.file()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, data in (("lamp.wmf", lamp()), ("map.emf", coast_map())):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (name, len(data)))


if __name__ == "__main__":
    main()
