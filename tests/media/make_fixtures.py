#!/usr/bin/env python3
"""Makes the photos and videos the media tests read, with the tools people make them with:
ImageMagick draws the pictures, exiftool writes their dates; the movie and HEIF containers that no
packaged tool makes from nothing are put together here, and exiftool writes into them or reads them
back. Usage: make_fixtures.py OUTDIR [--big]  (--big adds a 200 MB sparse movie whose moov follows mdat)."""
import os
import shutil
import struct
import subprocess
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def path(name):
    return os.path.join(out, name)


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL)


def exiftool(name, *tags):
    run("exiftool", "-q", "-overwrite_original", *tags, path(name))


def picture(name, *tags, options=()):
    run("convert", "-size", "16x16", "xc:#3070c0", *options, path(name))
    if tags:
        exiftool(name, *tags)


def box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload


def full(kind, version, payload, flags=0):
    return box(kind, struct.pack(">I", version << 24 | flags) + payload)


def mvhd(version, created):
    times = struct.pack(">QQIQ", created, created, 1000, 0) if version else struct.pack(">IIII", created, created, 1000, 0)
    rest = struct.pack(">IH10x36x24xI", 0x10000, 0x100, 2)
    return full(b"mvhd", version, times + rest)


def movie(name, brand, created, version=0, mdat=b"\0" * 64):
    with open(path(name), "wb") as f:
        f.write(box(b"ftyp", brand + b"\0\0\0\0" + brand) + box(b"mdat", mdat) + box(b"moov", mvhd(version, created)))


def seconds_since_1904(y, mo, d, h, mi, s):
    import calendar
    return calendar.timegm((y, mo, d, h, mi, s)) + 2082844800


# JPEG: the three Exif times in their order of preference, the offset tags, both byte orders.
picture("original.jpg", "-DateTimeOriginal=2025:07:14 15:07:58", "-OffsetTimeOriginal=+09:00",
        "-CreateDate=2024:01:01 00:00:00", "-ModifyDate=2023:02:02 02:02:02", "-OffsetTime=-05:00")
picture("digitized.jpg", "-CreateDate=2024:02:29 23:59:59", "-ModifyDate=2023:02:02 02:02:02")
picture("modified-mm.jpg", "-ExifByteOrder=Big-endian", "-ModifyDate=2023:02:02 02:02:02", "-OffsetTime=-05:30")
# An unset clock and a zero date state no time; a valid DateTime behind them is taken.
# (# writes a value as it stands, which exiftool would otherwise refuse.)
picture("zero.jpg", "-DateTimeOriginal#=0000:00:00 00:00:00")
picture("month13.jpg", "-DateTimeOriginal#=2025:13:01 00:00:00")
picture("unset-clock.jpg", "-DateTimeOriginal=1970:01:01 00:00:00", "-CreateDate=1904:01:01 00:00:00")
picture("zero-then-modified.jpg", "-DateTimeOriginal#=0000:00:00 00:00:00", "-ModifyDate=2023:02:02 02:02:02")
picture("no-exif.jpg")
# A camera's picture: large, its Exif holding a thumbnail; what reading its time costs is measured.
run("convert", "-size", "160x120", "plasma:", path("thumb.jpg"))
run("convert", "-size", "3000x2000", "gradient:#3070c0-#c07030", "-quality", "92", path("camera.jpg"))
exiftool("camera.jpg", "-Make=Maker", "-Model=Camera", "-DateTimeOriginal=2025:07:14 15:07:58",
         "-ThumbnailImage<=" + path("thumb.jpg"))
os.remove(path("thumb.jpg"))

# TIFF and the raw formats built on it: DNG, CR2, NEF, ARW and PEF are TIFF files as far as their
# dates go; ORF and RW2 have magic numbers of their own.
picture("original.tif", "-DateTimeOriginal=2025:07:14 15:07:58", "-OffsetTimeOriginal=+09:00")
picture("original-mm.tif", "-DateTimeOriginal=2025:07:14 15:07:58", options=("-endian", "MSB"))
for name, magic in (("original.orf", b"IIRO"), ("original.rw2", b"IIU\0")):
    data = bytearray(open(path("original.tif"), "rb").read())
    data[0:4] = magic
    open(path(name), "wb").write(data)

# PNG: Exif in eXIf, and the text chunk "Creation Time".
picture("exif.png", "-DateTimeOriginal=2025:07:14 15:07:58")
picture("text.png", "-PNG:CreationTime=2025:07:14 15:07:58")
picture("text-mail.png", "-PNG:CreationTime#=Mon, 14 Jul 2025 15:07:58 +0900")

# WebP: the EXIF chunk.
picture("exif.webp", "-DateTimeOriginal=2025:07:14 15:07:58", "-OffsetTimeOriginal=-03:00")

# HEIF and AVIF as ImageMagick encodes them (with libheif), exiftool adding the Exif item.
picture("made.heic", "-DateTimeOriginal=2025:07:14 15:07:58", "-OffsetTimeOriginal=+09:00")
picture("made.avif", "-DateTimeOriginal=2025:07:14 15:07:58")

# HEIF by hand, with what the encoder above does not write: iloc version 1 with a base offset, and an
# Exif item located by iloc, its block opening with the offset of the TIFF header. The Exif
# comes from a JPEG that exiftool wrote; exiftool reads the finished file back to show it is sound.
exif = subprocess.run(["exiftool", "-b", "-Exif", path("original.jpg")], check=True, stdout=subprocess.PIPE).stdout
assert exif[:2] in (b"II", b"MM"), "exiftool gave no Exif block"
item = struct.pack(">I", 6) + b"Exif\0\0" + exif
ftyp = box(b"ftyp", b"heic\0\0\0\0mif1heic")
hdlr = full(b"hdlr", 0, b"\0\0\0\0pict" + b"\0" * 13)
iinf = full(b"iinf", 0, struct.pack(">H", 2) + full(b"infe", 2, struct.pack(">HH", 1, 0) + b"hvc1\0") +
            full(b"infe", 2, struct.pack(">HH", 2, 0) + b"Exif\0"))


def heif(iloc_for):
    iloc = iloc_for(0)
    meta = full(b"meta", 0, hdlr + iinf + iloc)
    at = len(ftyp) + len(meta) + 8  # the item's first byte in mdat
    meta = full(b"meta", 0, hdlr + iinf + iloc_for(at))
    return ftyp + meta + box(b"mdat", item)


def iloc_v1(at):  # offsets of 4 bytes, lengths of 4, a base offset of 8, construction method 0
    return full(b"iloc", 1, struct.pack(">BBH", 0x44, 0x80, 2) +
                struct.pack(">HHHQHII", 1, 0, 0, 0, 1, 0, 0) + struct.pack(">HHHQHII", 2, 0, 0, at, 1, 0, len(item)))


open(path("exif.heic"), "wb").write(heif(iloc_v1))
check = subprocess.run(["exiftool", "-s3", "-DateTimeOriginal", path("exif.heic")], check=True,
                       stdout=subprocess.PIPE, text=True).stdout.strip()
assert check == "2025:07:14 15:07:58", "exiftool does not read the HEIF made here: " + check

# Movies: the movie header's time in UTC (written by exiftool), version 1's 64-bit field, and
# QuickTime's creation date with its zone, which wins over the header.
movie("header.mp4", b"isom", 0)
exiftool("header.mp4", "-QuickTime:CreateDate=2025:07:14 06:07:58")
movie("header-v1.m4v", b"M4V ", seconds_since_1904(2025, 7, 14, 6, 7, 58), version=1)
movie("keys.mov", b"qt  ", seconds_since_1904(2020, 1, 1, 0, 0, 0))
exiftool("keys.mov", "-Keys:CreationDate=2025:07:14 15:07:58+09:00")
movie("unset.3gp", b"3gp4", 0)
movie("epoch.mp4", b"isom", seconds_since_1904(1970, 1, 1, 0, 0, 0))

if "--big" in sys.argv:
    # 200 MB of movie data before the moov, as cameras write it; sparse, so it costs no disk.
    size = 200 << 20
    with open(path("big.mp4"), "wb") as f:
        f.write(box(b"ftyp", b"isom\0\0\0\0isom"))
        f.write(struct.pack(">I4sQ", 1, b"mdat", size + 16))
        f.seek(size, 1)
        f.write(box(b"moov", mvhd(0, seconds_since_1904(2025, 7, 14, 6, 7, 58))))
