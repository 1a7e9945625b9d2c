#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets (tests/fuzz/corpus/<target>/).

Small valid files of every kind the loaders accept, each behind the target's
parameter bytes (see the comment at the top of each *_fuzz.cpp). Run it again
after changing an input layout; findings saved by scripts/fuzz.sh live beside
the seeds and are kept.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def out(target, name, data):
    d = os.path.join(HERE, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "seed-" + name), "wb") as f:
        f.write(data)


# --- BMP ---

def colour(x, y, cw, ch):
    cell = (y // ch) * 4 + x // cw
    if (x + y) % 5 == 0:
        return (0, 0, 0)  # mask colour
    return ((40 + 50 * cell) & 255, (x * 9) & 255, (y * 7) & 255)


def palette_for(bpp):
    n = 1 << bpp
    return [((i * 37) & 255, (i * 91) & 255, (i * 53) & 255) for i in range(n)]


def rows_bottom_up(w, h, rowfn, top_down=False):
    rows = [rowfn(y) for y in range(h)]
    return b"".join(rows if top_down else reversed(rows))


def pad4(b):
    return b + b"\0" * ((4 - len(b) % 4) % 4)


def bmp(w, h, bpp, cw=7, ch=12, top_down=False, core=False, compression=None, masks=None):
    pal = palette_for(bpp) if bpp <= 8 else []

    def row(y):
        px = [colour(x, y, cw, ch) for x in range(w)]
        if bpp == 24:
            return pad4(b"".join(bytes((b, g, r)) for r, g, b in px))
        if bpp == 32:
            return b"".join(bytes((b, g, r, 0xFF)) for r, g, b in px)
        if bpp == 16:
            if masks:  # 5-6-5
                return pad4(b"".join(struct.pack("<H", (r >> 3) << 11 | (g >> 2) << 5 | b >> 3)
                                     for r, g, b in px))
            return pad4(b"".join(struct.pack("<H", (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
                                 for r, g, b in px))
        idx = [(x * 3 + y) % len(pal) for x in range(w)]
        if bpp == 8:
            return pad4(bytes(idx))
        bits = "".join(format(i, "0%db" % bpp) for i in idx)
        bits += "0" * ((8 - len(bits) % 8) % 8)
        return pad4(bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8)))

    if compression == 1:  # RLE8: runs of two, one literal run, end of line / bitmap
        body = b""
        for y in range(h):
            x = 0
            while x < w:
                n = min(2, w - x)
                body += bytes((n, (x + y) % len(pal)))
                x += n
            body += b"\0\0"
        body += b"\0\1"
        pixels = body
    elif compression == 2:  # RLE4
        body = b""
        for y in range(h):
            x = 0
            while x < w:
                n = min(4, w - x)
                body += bytes((n, ((x + y) % 16) << 4 | (x + y + 1) % 16))
                x += n
            body += b"\0\0"
        body += b"\0\1"
        pixels = body
    else:
        pixels = rows_bottom_up(w, h, row, top_down)

    if core:
        dib = struct.pack("<IHHHH", 12, w, h, 1, bpp)
        paldata = b"".join(bytes((b, g, r)) for r, g, b in pal)
    else:
        comp = compression or (3 if masks else 0)
        dib = struct.pack("<IiiHHIIiiII", 40, w, -h if top_down else h, 1, bpp, comp,
                          len(pixels), 2835, 2835, len(pal), 0)
        paldata = b"".join(bytes((b, g, r, 0)) for r, g, b in pal)
        if masks:
            paldata = struct.pack("<III", *masks)
    off = 14 + len(dib) + len(paldata)
    return b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off) + dib + paldata + pixels


def image_seed(name, data, cw, ch, first, count, flags=4, scale=1, x=10, y=10):
    out("image", name, bytes((cw, ch, first)) + struct.pack("<H", count) +
        bytes((flags, scale, x & 255, y & 255)) + data)


def images():
    image_seed("24bit.bmp", bmp(28, 24, 24), 7, 12, 0, 8)
    image_seed("32bit-scale2.bmp", bmp(28, 24, 32), 7, 12, 1, 7, scale=1 | 1 << 3)
    image_seed("8bit.bmp", bmp(28, 24, 8), 7, 12, 0, 8, flags=2)
    image_seed("4bit.bmp", bmp(28, 24, 4), 14, 12, 0, 4, scale=2)
    image_seed("1bit.bmp", bmp(33, 12, 1), 11, 12, 0, 3)
    image_seed("16bit-555.bmp", bmp(28, 24, 16), 7, 12, 0, 8, scale=3 | 0x40)
    image_seed("16bit-565.bmp", bmp(28, 24, 16, masks=(0xF800, 0x07E0, 0x001F)), 7, 12, 0, 8)
    image_seed("topdown.bmp", bmp(24, 24, 24, top_down=True), 12, 1, 0, 48, x=-3)
    image_seed("core24.bmp", bmp(28, 24, 24, core=True), 7, 12, 0, 8)
    image_seed("core8.bmp", bmp(16, 16, 8, core=True), 8, 8, 0, 4, scale=0x80)
    image_seed("rle8.bmp", bmp(20, 10, 8, compression=1), 5, 5, 0, 8)
    image_seed("rle4.bmp", bmp(20, 10, 4, compression=2), 5, 5, 0, 8)
    image_seed("single.bmp", bmp(30, 17, 24), 0, 0, 0, 1, flags=0)
    image_seed("column.bmp", bmp(1, 60, 24), 1, 12, 0, 5, scale=1)


# --- WAV ---

def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def wav(fmt_body, data, extra=b""):
    return b"RIFF" + struct.pack("<I", 4 + len(fmt_body) + 8 + len(data) + 8 + len(extra)) + \
        b"WAVE" + chunk(b"fmt ", fmt_body) + extra + chunk(b"data", data)


def fmt(tag, channels, rate, bits, block=None, extra=None):
    block = block or channels * bits // 8
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    if extra is not None:
        body += struct.pack("<H", len(extra)) + extra
    return body


def tone(n, amp=12000):
    return [int(amp * math.sin(i * 0.3)) for i in range(n)]


def sound_seed(name, data, voices=3, chunks=0x2A):
    out("sound", name, bytes((voices, chunks)) + data)


def sounds():
    t = tone(200)
    sound_seed("u8-mono-11025.wav", wav(fmt(1, 1, 11025, 8), bytes((v >> 8) + 128 for v in t)))
    sound_seed("s16-mono-44100.wav", wav(fmt(1, 1, 44100, 16), struct.pack("<200h", *t)))
    sound_seed("s16-stereo-22050.wav",
               wav(fmt(1, 2, 22050, 16), struct.pack("<400h", *[v for v in t for _ in (0, 1)])),
               voices=9)
    sound_seed("s24-mono.wav",
               wav(fmt(1, 1, 44100, 24), b"".join(struct.pack("<i", v << 8)[:3] for v in t)))
    sound_seed("s32-mono.wav", wav(fmt(1, 1, 8000, 32), struct.pack("<200i", *[v << 16 for v in t])))
    sound_seed("f32-stereo.wav",
               wav(fmt(3, 2, 48000, 32), struct.pack("<400f", *[v / 32768 for v in t for _ in (0, 1)])))
    sound_seed("s16-6ch.wav", wav(fmt(1, 6, 44100, 16), struct.pack("<600h", *(t[:100] * 6))))
    sound_seed("mulaw.wav", wav(fmt(7, 1, 8000, 8), bytes(range(0, 200))))
    sound_seed("alaw.wav", wav(fmt(6, 1, 8000, 8), bytes(range(50, 250))))
    # IMA ADPCM: 4 bits per sample, blocks of 256 bytes for one channel.
    ima_block = struct.pack("<hBB", 0, 10, 0) + bytes((i * 7) & 255 for i in range(252))
    sound_seed("ima-adpcm.wav", wav(fmt(0x11, 1, 22050, 4, block=256, extra=struct.pack("<H", 505)),
                                    ima_block * 2, extra=chunk(b"fact", struct.pack("<I", 1010))))
    # MS ADPCM: the seven standard coefficient pairs.
    coefs = [(256, 0), (512, -256), (0, 0), (192, 64), (240, 0), (460, -208), (392, -232)]
    ms_extra = struct.pack("<HH", 500, 7) + b"".join(struct.pack("<hh", *c) for c in coefs)
    ms_block = struct.pack("<Bhhh", 0, 16, 100, -100) + bytes((i * 13) & 255 for i in range(249))
    sound_seed("ms-adpcm.wav", wav(fmt(2, 1, 22050, 4, block=256, extra=ms_extra), ms_block * 2))
    ext_guid = struct.pack("<IHH", 1, 0x0000, 0x0010) + bytes((0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71))
    sound_seed("extensible.wav",
               wav(fmt(0xFFFE, 2, 44100, 16, extra=struct.pack("<HI", 16, 3) + ext_guid),
                   struct.pack("<400h", *[v for v in t for _ in (0, 1)])))
    sound_seed("list-chunk.wav", wav(fmt(1, 1, 44100, 16), struct.pack("<51h", *t[:51]),
                                     extra=chunk(b"LIST", b"INFOISFT" + struct.pack("<I", 3) + b"ab\0")))


# --- scores ---

def scores_seed(name, text, score=60000, wave=12, name3=b"\x01\x02\x03"):
    out("scores", name, struct.pack("<iB", score, wave) + name3 + text)


def scores():
    rows = b"".join(b"%d\r\n%d\r\nMAX\r\n" % ((10 - i) * 5000, 10 - i) for i in range(10))
    scores_seed("default-crlf", rows)
    scores_seed("default-lf", rows.replace(b"\r", b""), score=45000)
    scores_seed("short", b"900\n$1F\nZ\xe9Q\n-5\n\0junk", score=0)
    scores_seed("odd-numbers", b"  +77 pts\r\n%1011\r\nAB \r\n-2147483648\r\n99999999999\r\n\r\n",
                score=-1, wave=255)
    scores_seed("cr-only", rows.replace(b"\n", b""), score=5000)
    scores_seed("empty", b"", score=1)


if __name__ == "__main__":
    images()
    sounds()
    scores()
