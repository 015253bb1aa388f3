"""Turns the text pixel-art sources of res/art/ into Windows .bmp and .ico files.

Source format (one file per picture, icon or strip; UTF-8; '#' at the start of a line or after a blank starts a comment):

    palette
      .  ff00ff  key        # the key character: transparent (magenta in a .bmp, alpha 0 in an .ico)
      o  40281a
      ...
    size 32 24               # size of the frames that follow (may change between frames)
    frame                    # a new frame; exactly <height> rows of <width> characters follow
      ................................
      ...
    frame = 3                # a copy of frame 3 (frames count from 0)
    frame = 3 mirror         # frame 3 mirrored left to right

Leading and trailing blanks of a row are ignored, so rows may be indented.

Commands:
    art2bmp.py bmp SOURCE OUT.bmp [N] [--percent P]
                                        all frames side by side in one 24-bit bitmap, or frame N alone;
                                        --percent 150 or 200 draws them larger for that display scale
    art2bmp.py ico SOURCE OUT.ico [--scaled]
                                        every frame becomes one 32-bit image of the icon (e.g. 16 and 32
                                        pixels); --scaled adds the largest at 150 and 200 % (48 and 64)
    art2bmp.py check SOURCE...          parse only and report errors
"""

import os
import struct
import sys

KEY_RGB = (0xFF, 0x00, 0xFF)


class ArtError(Exception):
    pass


class Art:
    def __init__(self, path):
        self.path = path
        self.palette = {}       # char -> (r, g, b)
        self.key = None         # the transparent character
        self.frames = []        # list of lists of row strings

    def color(self, ch):
        return self.palette[ch]


def _parse_rgb(text, where):
    t = text.lstrip('#')
    if len(t) != 6:
        raise ArtError(f'{where}: colour "{text}" is not RRGGBB')
    try:
        return (int(t[0:2], 16), int(t[2:4], 16), int(t[4:6], 16))
    except ValueError:
        raise ArtError(f'{where}: colour "{text}" is not hexadecimal') from None


def parse(path):
    art = Art(path)
    with open(path, encoding='utf-8') as f:
        lines = f.read().splitlines()

    mode = None            # 'palette' or 'rows'
    width = height = None
    rows = None            # rows of the frame being read

    def finish_frame(lineno):
        nonlocal rows
        if rows is not None:
            if len(rows) != height:
                raise ArtError(f'{path}:{lineno}: frame {len(art.frames)} has {len(rows)} rows, expected {height}')
            art.frames.append(rows)
            rows = None

    for n, raw in enumerate(lines, 1):
        where = f'{path}:{n}'
        line = raw.split(' #', 1)[0].split('\t#', 1)[0].strip()
        if not line or line.startswith('#'):
            continue
        words = line.split()
        if words[0] == 'palette' and len(words) == 1:
            finish_frame(n)
            mode = 'palette'
            continue
        if words[0] == 'size':
            finish_frame(n)
            if len(words) != 3 or not words[1].isdigit() or not words[2].isdigit():
                raise ArtError(f'{where}: expected "size WIDTH HEIGHT"')
            width, height = int(words[1]), int(words[2])
            if not (0 < width <= 4096 and 0 < height <= 4096):
                raise ArtError(f'{where}: size out of range')
            mode = None
            continue
        if words[0] == 'frame':
            finish_frame(n)
            if width is None:
                raise ArtError(f'{where}: "frame" before "size"')
            if len(words) == 1:
                rows = []
                mode = 'rows'
                continue
            if words[1] != '=' or len(words) not in (3, 4) or not words[2].isdigit() \
                    or (len(words) == 4 and words[3] != 'mirror'):
                raise ArtError(f'{where}: expected "frame", "frame = N" or "frame = N mirror"')
            src = int(words[2])
            if src >= len(art.frames):
                raise ArtError(f'{where}: frame {src} does not exist yet')
            copy = art.frames[src]
            if len(copy[0]) != width or len(copy) != height:
                raise ArtError(f'{where}: frame {src} is not {width} x {height}')
            if len(words) == 4:
                copy = [r[::-1] for r in copy]
            art.frames.append(list(copy))
            mode = None
            continue
        if mode == 'palette':
            if len(words) not in (2, 3) or len(words[0]) != 1 or (len(words) == 3 and words[2] != 'key'):
                raise ArtError(f'{where}: expected "CHAR RRGGBB [key]"')
            ch = words[0]
            if ch == '#':
                raise ArtError(f'{where}: "#" starts a comment and cannot be a pixel character')
            if ch in art.palette:
                raise ArtError(f'{where}: character "{ch}" defined twice')
            rgb = _parse_rgb(words[1], where)
            if len(words) == 3:
                if art.key is not None:
                    raise ArtError(f'{where}: a second key character')
                if rgb != KEY_RGB:
                    raise ArtError(f'{where}: the key colour must be ff00ff')
                art.key = ch
            elif rgb == KEY_RGB:
                raise ArtError(f'{where}: ff00ff is reserved for the key character')
            art.palette[ch] = rgb
            continue
        if mode == 'rows':
            if len(line) != width:
                raise ArtError(f'{where}: row is {len(line)} characters wide, expected {width}')
            for ch in line:
                if ch not in art.palette:
                    raise ArtError(f'{where}: character "{ch}" is not in the palette')
            rows.append(line)
            if len(rows) > height:
                raise ArtError(f'{where}: frame {len(art.frames)} has more than {height} rows')
            continue
        raise ArtError(f'{where}: unexpected line "{line}"')

    finish_frame(len(lines))
    if not art.frames:
        raise ArtError(f'{path}: no frames')
    return art


def bmp_bytes(art, frames=None):
    """The frames side by side; 24 bits per pixel, bottom-up, BITMAPINFOHEADER."""
    frames = art.frames if frames is None else frames
    height = len(frames[0])
    if any(len(fr) != height for fr in frames):
        raise ArtError(f'{art.path}: frames of a bitmap strip must share one height')
    rows = [''.join(fr[y] for fr in frames) for y in range(height)]
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for ch in rows[y]:
            r, g, b = art.color(ch)
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        pixels += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def ico_image(art, rows):
    """One icon image: BITMAPINFOHEADER (double height), 32-bit BGRA bottom-up, then the 1-bit AND mask."""
    height, width = len(rows), len(rows[0])
    xor = bytearray()
    for y in range(height - 1, -1, -1):
        for ch in rows[y]:
            r, g, b = art.color(ch)
            transparent = ch == art.key
            xor += bytes((0, 0, 0, 0)) if transparent else bytes((b, g, r, 255))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(mask_stride)
        for x, ch in enumerate(rows[y]):
            if ch == art.key:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(art):
    images = []
    for rows in art.frames:
        w, h = len(rows[0]), len(rows)
        if w != h or w > 256:
            raise ArtError(f'{art.path}: icon images must be square and at most 256 pixels')
        images.append((w, ico_image(art, rows)))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size == 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def _scale2x(rows):
    """Scale2x (EPX): every pixel becomes 2 x 2, and a corner takes the colour of the two neighbours
    it touches when they agree, so diagonals stay smooth. Only colours of the picture are used: no
    blur, and the key colour stays exact."""
    h, w = len(rows), len(rows[0])
    out = [[''] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = rows[y][x]
            a = rows[y - 1][x] if y > 0 else p
            b = rows[y][x + 1] if x + 1 < w else p
            c = rows[y][x - 1] if x > 0 else p
            d = rows[y + 1][x] if y + 1 < h else p
            e0 = e1 = e2 = e3 = p
            if c == a and c != d and a != b:
                e0 = a
            if a == b and a != c and b != d:
                e1 = b
            if d == c and d != b and c != a:
                e2 = c
            if b == d and b != a and d != c:
                e3 = d
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e0, e1
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e2, e3
    return [''.join(r) for r in out]


def _scale3x(rows):
    """Scale3x: the 3 x 3 form of Scale2x."""
    h, w = len(rows), len(rows[0])

    def at(y, x):
        return rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]

    out = [[''] * (3 * w) for _ in range(3 * h)]
    for y in range(h):
        for x in range(w):
            a, b, c = at(y - 1, x - 1), at(y - 1, x), at(y - 1, x + 1)
            d, e, f = at(y, x - 1), at(y, x), at(y, x + 1)
            g, hh, i = at(y + 1, x - 1), at(y + 1, x), at(y + 1, x + 1)
            cell = [e] * 9
            if b != hh and d != f:
                cell[0] = d if d == b else e
                cell[1] = b if (d == b and e != c) or (b == f and e != a) else e
                cell[2] = f if b == f else e
                cell[3] = d if (d == b and e != g) or (d == hh and e != a) else e
                cell[5] = f if (b == f and e != i) or (hh == f and e != c) else e
                cell[6] = d if d == hh else e
                cell[7] = hh if (d == hh and e != i) or (hh == f and e != g) else e
                cell[8] = f if hh == f else e
            for k in range(9):
                out[3 * y + k // 3][3 * x + k % 3] = cell[k]
    return [''.join(r) for r in out]


def _halve(rows, key):
    """Every 2 x 2 block becomes one pixel of the colour most of it has (a picture colour before the
    key on a tie, then the first in reading order): no colour is mixed, so edges stay sharp."""
    out = []
    for y in range(0, len(rows) - 1, 2):
        line = []
        for x in range(0, len(rows[0]) - 1, 2):
            block = [rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1]]
            best = max(block, key=lambda ch: (block.count(ch), ch != key, -block.index(ch)))
            line.append(best)
        out.append(''.join(line))
    return out


def scaled_frames(art, frames, percent):
    """The frames for a display scale: 100 as drawn, 200 by Scale2x, 150 by Scale3x halved."""
    if percent == 100:
        return frames
    if percent == 200:
        return [_scale2x(fr) for fr in frames]
    if percent == 150:
        for fr in frames:
            if len(fr) % 2 or len(fr[0]) % 2:
                raise ArtError(f'{art.path}: a {len(fr[0])} x {len(fr)} frame has no whole size at 150 % (even sides only)')
        return [_halve(_scale3x(fr), art.key) for fr in frames]
    raise ArtError(f'{art.path}: no drawing at {percent} %, only at 100, 150 and 200')


def write(path, data):
    tmp = path + '.tmp'
    with open(tmp, 'wb') as f:
        f.write(data)
    os.replace(tmp, path)


def main(argv):
    cmd, args = (argv[0], argv[1:]) if argv else ('', [])
    if cmd == 'check' and args:
        for path in args:
            parse(path)
        return 0
    percent = 100
    if cmd == 'bmp' and len(args) >= 2 and args[-2] == '--percent':
        if not args[-1].isdigit():
            raise ArtError(f'"{args[-1]}" is not a percentage')
        percent = int(args[-1])
        args = args[:-2]
    if cmd == 'bmp' and len(args) in (2, 3):
        art = parse(args[0])
        frames = art.frames
        if len(args) == 3:
            if not args[2].isdigit() or int(args[2]) >= len(art.frames):
                raise ArtError(f'{art.path}: there is no frame "{args[2]}"')
            frames = [art.frames[int(args[2])]]
        write(args[1], bmp_bytes(art, scaled_frames(art, frames, percent)))
        return 0
    if cmd == 'ico' and len(args) in (2, 3) and args[2:] in ([], ['--scaled']):
        art = parse(args[0])
        if art.key is None:
            raise ArtError(f'{art.path}: an icon needs a key character')
        if len(args) == 3:
            largest = max(art.frames, key=len)
            art.frames += scaled_frames(art, [largest], 150) + scaled_frames(art, [largest], 200)
        write(args[1], ico_bytes(art))
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == '__main__':
    try:
        sys.exit(main(sys.argv[1:]))
    except (ArtError, OSError) as e:
        sys.stderr.write(f'art2bmp: {e}\n')
        sys.exit(1)
