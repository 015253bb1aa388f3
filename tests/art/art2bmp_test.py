"""The pictures drawn larger for 150 % and 200 % display scale (tools/art2bmp.py)."""

import os
import struct
import sys
import tempfile
import textwrap
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
import art2bmp  # noqa: E402

ART_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res', 'art')


def art_from(text):
    with tempfile.NamedTemporaryFile('w', suffix='.txt', delete=False, encoding='utf-8') as f:
        f.write(textwrap.dedent(text))
    try:
        return art2bmp.parse(f.name)
    finally:
        os.unlink(f.name)


# A 4 x 4 picture: a diagonal line on the key colour, and a solid block.
DIAGONAL = """\
    palette
      . ff00ff key
      k 000000
      r ff0000
    size 4 4
    frame
      k...
      .k.r
      ..kr
      ...k
    """


class ScaledFrames(unittest.TestCase):
    def test_sizes_at_each_scale(self):
        art = art_from(DIAGONAL)
        for percent, side in ((100, 4), (150, 6), (200, 8)):
            (frame,) = art2bmp.scaled_frames(art, art.frames, percent)
            self.assertEqual((len(frame[0]), len(frame)), (side, side), percent)

    def test_no_colour_is_mixed_and_the_key_stays_where_it_was(self):
        art = art_from(DIAGONAL)
        for percent in (150, 200):
            (frame,) = art2bmp.scaled_frames(art, art.frames, percent)
            self.assertLessEqual(set(''.join(frame)), set(art.palette), percent)
            # Corners far from any drawn pixel stay transparent; the drawn corners stay drawn.
            self.assertEqual(frame[0][-1], '.', percent)
            self.assertEqual(frame[-1][0], '.', percent)
            self.assertEqual(frame[0][0], 'k', percent)
            self.assertEqual(frame[-1][-1], 'k', percent)

    def test_twice_keeps_a_diagonal_smooth(self):
        art = art_from(DIAGONAL)
        (frame,) = art2bmp.scaled_frames(art, art.frames, 200)
        # Scale2x fills the corners between the steps of a one-pixel diagonal: every row of the
        # line is joined to the next by a pixel at most one column away.
        cols = [[x for x, ch in enumerate(row) if ch == 'k'] for row in frame]
        for a, b in zip(cols, cols[1:]):
            self.assertTrue(a and b)
            self.assertLessEqual(min(abs(x - y) for x in a for y in b), 1)

    def test_odd_sides_have_no_whole_size_at_150(self):
        art = art_from(DIAGONAL.replace('size 4 4', 'size 3 3').replace(
            'k...\n      .k.r\n      ..kr\n      ...k', 'k..\n      .k.\n      ..k'))
        self.assertEqual(len(art2bmp.scaled_frames(art, art.frames, 200)[0]), 6)
        with self.assertRaises(art2bmp.ArtError):
            art2bmp.scaled_frames(art, art.frames, 150)
        with self.assertRaises(art2bmp.ArtError):
            art2bmp.scaled_frames(art, art.frames, 125)

    def test_every_picture_of_the_program_has_its_larger_drawings(self):
        for name in sorted(os.listdir(ART_DIR)):
            art = art2bmp.parse(os.path.join(ART_DIR, name))
            for percent in (150, 200):
                frames = art2bmp.scaled_frames(art, art.frames, percent)
                for small, large in zip(art.frames, frames):
                    self.assertEqual(len(large[0]) * 100, len(small[0]) * percent, name)
                    self.assertEqual(len(large) * 100, len(small) * percent, name)

    def test_bitmap_and_icon_written_at_scale(self):
        with tempfile.TemporaryDirectory() as d:
            src = os.path.join(ART_DIR, 'glyph_date.txt')
            out = os.path.join(d, 'g.bmp')
            self.assertEqual(art2bmp.main(['bmp', src, out, '--percent', '150']), 0)
            with open(out, 'rb') as f:
                data = f.read()
            width, height = struct.unpack_from('<ii', data, 18)
            self.assertEqual((width, height), (24, 24))
            ico = os.path.join(d, 'a.ico')
            self.assertEqual(art2bmp.main(['ico', os.path.join(ART_DIR, 'app_icon.txt'), ico, '--scaled']), 0)
            with open(ico, 'rb') as f:
                count = struct.unpack_from('<H', f.read(6), 4)[0]
            sides = set()
            with open(ico, 'rb') as f:
                data = f.read()
            for i in range(count):
                sides.add(data[6 + 16 * i] or 256)
            self.assertTrue({48, 64} <= sides, sides)


if __name__ == '__main__':
    unittest.main()
