#!/usr/bin/env python3
"""Makes the Wine prefix's stand-in for the proportional Japanese UI font out of a TrueType font whose
advance widths already match it (Debian's Ume P Gothic: half-width digits, proportional kana), so that
the windows laid out for the Windows font show their texts whole and aligned:

- the average character width (OS/2 xAvgCharWidth) becomes half an em, as in the Windows font: a
  static text's tab stops are eight average widths, and the run summary's columns line up on them;
- the no-break space (U+00A0) becomes blank: the source font draws a mark there, which the help
  window's text, joined by no-break spaces, would show between words;
- the font gets a family name of its own, so that it never stands in the source font's place.

    fitfont.py SOURCE.ttf TARGET.ttf "FAMILY NAME"
"""
import struct
import sys


def tables(data):
    count = struct.unpack('>H', data[4:6])[0]
    found = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack('>4sIII', data[12 + 16 * i:28 + 16 * i])
        found[tag.decode('latin-1')] = (12 + 16 * i, offset, length)
    return found


def glyph_of(data, cmap_offset, code):
    """The glyph of a character in the (3,1) format-4 character map, or 0."""
    count = struct.unpack('>H', data[cmap_offset + 2:cmap_offset + 4])[0]
    for i in range(count):
        platform, encoding, sub = struct.unpack('>HHI', data[cmap_offset + 4 + 8 * i:cmap_offset + 12 + 8 * i])
        if (platform, encoding) != (3, 1):
            continue
        sub += cmap_offset
        if struct.unpack('>H', data[sub:sub + 2])[0] != 4:
            continue
        segs = struct.unpack('>H', data[sub + 6:sub + 8])[0] // 2
        ends = sub + 14
        starts = ends + 2 * segs + 2
        deltas = starts + 2 * segs
        ranges = deltas + 2 * segs
        for s in range(segs):
            end, start = struct.unpack('>H', data[ends + 2 * s:ends + 2 * s + 2])[0], \
                struct.unpack('>H', data[starts + 2 * s:starts + 2 * s + 2])[0]
            if not start <= code <= end:
                continue
            delta = struct.unpack('>h', data[deltas + 2 * s:deltas + 2 * s + 2])[0]
            offset = struct.unpack('>H', data[ranges + 2 * s:ranges + 2 * s + 2])[0]
            if offset == 0:
                return (code + delta) & 0xFFFF
            at = ranges + 2 * s + offset + 2 * (code - start)
            glyph = struct.unpack('>H', data[at:at + 2])[0]
            return (glyph + delta) & 0xFFFF if glyph else 0
    return 0


def name_table(family):
    records = [(1, family), (2, 'Regular'), (3, family), (4, family), (6, family.replace(' ', ''))]
    strings = b''
    entries = b''
    for name_id, text in records:
        encoded = text.encode('utf-16-be')
        entries += struct.pack('>HHHHHH', 3, 1, 0x409, name_id, len(encoded), len(strings))
        strings += encoded
    return struct.pack('>HHH', 0, len(records), 6 + 12 * len(records)) + entries + strings


def main():
    source, target, family = sys.argv[1:4]
    data = bytearray(open(source, 'rb').read())
    t = tables(data)

    units_per_em = struct.unpack('>H', data[t['head'][1] + 18:t['head'][1] + 20])[0]
    struct.pack_into('>h', data, t['OS/2'][1] + 2, units_per_em // 2)

    glyph = glyph_of(data, t['cmap'][1], 0xA0)
    long_loca = struct.unpack('>h', data[t['head'][1] + 50:t['head'][1] + 52])[0] == 1
    loca = t['loca'][1]
    if long_loca:
        start, end = struct.unpack('>II', data[loca + 4 * glyph:loca + 4 * glyph + 8])
    else:
        start, end = (2 * v for v in struct.unpack('>HH', data[loca + 2 * glyph:loca + 2 * glyph + 4]))
    if glyph and end - start >= 12:
        # A simple glyph without contours, box or instructions: nothing is drawn, the advance stays.
        at = t['glyf'][1] + start
        data[at:at + 12] = bytes(12)

    # The new name table goes to the end of the file; the directory entry points at it.
    names = name_table(family)
    while len(data) % 4:
        data.append(0)
    entry = t['name'][0]
    struct.pack_into('>II', data, entry + 8, len(data), len(names))
    data += names
    open(target, 'wb').write(bytes(data))


if __name__ == '__main__':
    main()
