#!/usr/bin/python3
"""Makes the installer's artwork: background, slides, icon, skin, agreement.

Run it with Debian's python3 (it needs python3-pil and fonts-wqy-microhei,
both installed by scripts/setup.sh):

    /usr/bin/python3 resources/art/make_art.py

Every output is written next to this script and committed, so the build
itself never needs Python. The outputs depend only on this script, the
agreement source text and the fonts, so a rerun gives the same pictures.
README.md in this folder describes each file and the skin's layout.
"""

import io
import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
CJK_FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Shapes are drawn this many times larger and scaled down, which gives
# smooth edges (PIL's drawing has no antialiasing of its own).
SS = 4

# Colours of the product.
BLUE_DEEP = (9, 54, 140)
BLUE = (22, 104, 214)
BLUE_LIGHT = (58, 160, 245)
CYAN = (64, 200, 230)
ORANGE = (255, 170, 46)
WHITE = (255, 255, 255)
LIGHT_AREA = (0xF7, 0xF7, 0xF7)


def font(size):
    return ImageFont.truetype(CJK_FONT, size)


# ---------------------------------------------------------------- helpers

def gradient(size, stops, angle=90.0):
    """An RGBA image filled with a linear gradient.

    stops: list of (position 0..1, (r, g, b[, a])); angle in degrees, 90 runs
    top to bottom, 0 left to right.
    """
    w, h = size
    rad = math.radians(angle)
    dx, dy = math.cos(rad), math.sin(rad)
    proj = [x * dx + y * dy for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1))]
    lo, span = min(proj), (max(proj) - min(proj)) or 1.0
    stops = [(p, tuple(c) + ((255,) if len(c) == 3 else ())) for p, c in stops]
    n = 512
    table = []
    for i in range(n):
        t = i / (n - 1)
        colour = stops[-1][1]
        if t <= stops[0][0]:
            colour = stops[0][1]
        else:
            for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
                if t <= p1:
                    f = (t - p0) / (p1 - p0) if p1 > p0 else 0.0
                    colour = tuple(round(a + (b - a) * f) for a, b in zip(c0, c1))
                    break
        table.append(colour)
    data = []
    for y in range(h):
        for x in range(w):
            data.append(table[int((x * dx + y * dy - lo) / span * (n - 1) + 0.5)])
    img = Image.new("RGBA", size)
    img.putdata(data)
    return img


def supersampled(size, draw_fn, mode="RGBA"):
    """Runs draw_fn(draw, scale) on a canvas SS times larger, returns it scaled down."""
    w, h = size
    big = Image.new(mode, (w * SS, h * SS), (0, 0, 0, 0) if mode == "RGBA" else 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize((w, h), Image.BOX)  # area average: exact coverage


def rounded_mask(size, radius):
    def paint(d, s):
        d.rounded_rectangle((0, 0, size[0] * s - 1, size[1] * s - 1), radius * s, fill=255)
    return supersampled(size, paint, mode="L")


def shadow(layer, radius, offset=(0, 0), opacity=0.35, colour=(0, 0, 0)):
    """A soft shadow of a layer's alpha, as a layer of the same size."""
    a = layer.getchannel("A").filter(ImageFilter.GaussianBlur(radius))
    a = a.point(lambda v: int(v * opacity))
    sh = Image.new("RGBA", layer.size, colour + (0,))
    sh.putalpha(a)
    moved = Image.new("RGBA", layer.size, (0, 0, 0, 0))
    moved.paste(sh, offset)
    return moved


def text_layer(size, xy, text, fnt, fill, anchor="la", bold=0):
    """Text drawn on its own transparent layer. The font has one weight only,
    so bold > 0 thickens the strokes by that many pixels."""
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    ImageDraw.Draw(layer).text(xy, text, font=fnt, fill=fill, anchor=anchor,
                               stroke_width=bold, stroke_fill=fill)
    return layer


# ---------------------------------------------------------------- logo

def logo(size, light=False):
    """The product's mark: a check mark that is also a V, with an orange dot.

    The icon's form is a blue tile with a white mark; light=True gives a white
    tile with a blue mark, which stands out on the blue title band.
    """
    def tile_shape(d, s):
        full = size * s
        d.rounded_rectangle((0, 0, full - 1, full - 1), full * 0.22, fill=255)
    mask = supersampled((size, size), tile_shape, mode="L")
    if light:
        base = gradient((size, size), [(0.0, WHITE), (1.0, (226, 236, 250))], angle=90)
    else:
        base = gradient((size, size), [(0.0, BLUE_LIGHT), (1.0, BLUE_DEEP)], angle=60)
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    img.paste(base, (0, 0), mask)
    if not light:
        # A soft highlight over the upper half of the tile.
        hl = gradient((size, size), [(0.0, (255, 255, 255, 70)), (0.5, (255, 255, 255, 0))])
        hl.putalpha(ImageChops.multiply(hl.getchannel("A"), mask))
        img = Image.alpha_composite(img, hl)

    def mark(d, s):
        u = size * s
        w = max(u * 0.115, 1.6 * s)
        pts = [(0.24 * u, 0.50 * u), (0.44 * u, 0.71 * u), (0.78 * u, 0.27 * u)]
        d.line(pts, fill=(255, 255, 255, 255), width=int(w), joint="curve")
        for x, y in (pts[0], pts[2]):
            d.ellipse((x - w / 2, y - w / 2, x + w / 2, y + w / 2), fill=(255, 255, 255, 255))
    shape = supersampled((size, size), mark)
    if light:
        fill = gradient((size, size), [(0.0, BLUE_LIGHT), (1.0, BLUE_DEEP)], angle=60)
        fill.putalpha(shape.getchannel("A"))
        shape = fill
    img = Image.alpha_composite(img, shape)

    def dot(d, s):
        u = size * s
        dr = u * 0.075
        cx, cy = 0.80 * u, 0.62 * u
        d.ellipse((cx - dr, cy - dr, cx + dr, cy + dr), fill=ORANGE + (255,))
    return Image.alpha_composite(img, supersampled((size, size), dot))


# ---------------------------------------------------------------- background

BG_SIZE = (488, 359)
BAND_H = 165
MIN_BOX = (424, 17, 443, 36)     # inclusive picture coordinates
CLOSE_BOX = (451, 17, 470, 36)


def framed_square(img, box, glyph):
    """Draws one window glyph (minimise or close) in a 20 x 20 framed square."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0 + 1, y1 - y0 + 1
    cell = Image.new("RGBA", (w, h), (255, 255, 255, 34))
    d = ImageDraw.Draw(cell)
    d.rectangle((0, 0, w - 1, h - 1), outline=(255, 255, 255, 190))

    def paint(dd, s):
        c = (255, 255, 255, 245)
        lw = int(1.5 * s)
        if glyph == "min":
            dd.line((6 * s, 13 * s, 14 * s, 13 * s), fill=c, width=lw)
        else:
            dd.line((6 * s, 6 * s, 14 * s, 14 * s), fill=c, width=lw)
            dd.line((14 * s, 6 * s, 6 * s, 14 * s), fill=c, width=lw)
    cell = Image.alpha_composite(cell, supersampled((w, h), paint))
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    layer.paste(cell, (x0, y0))
    return Image.alpha_composite(img, layer)


def make_background():
    w, h = BG_SIZE
    img = Image.new("RGBA", (w, h), LIGHT_AREA + (255,))

    # Title band: deep blue to bright blue, with light circles and waves.
    band = gradient((w, BAND_H), [(0.0, BLUE_DEEP), (0.55, BLUE), (1.0, BLUE_LIGHT)], angle=20)

    def circles(d, s):
        for cx, cy, r, a in ((430, -30, 150, 16), (470, 120, 90, 14), (20, 150, 70, 10),
                             (300, -80, 120, 10)):
            d.ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s),
                      fill=(255, 255, 255, a))
        for cx, cy, r in ((430, -30, 185), (430, -30, 215)):
            d.ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s),
                      outline=(255, 255, 255, 22), width=int(1.2 * s))
    band = Image.alpha_composite(band, supersampled((w, BAND_H), circles))

    def waves(d, s):
        for base, amp, phase, a in ((140, 9, 0.0, 26), (150, 7, 1.9, 34)):
            pts = []
            for x in range(0, w * s + 1, s):
                xx = x / s
                pts.append((x, (base + amp * math.sin(xx / 70.0 + phase)) * s))
            pts += [(w * s, BAND_H * s), (0, BAND_H * s)]
            d.polygon(pts, fill=(255, 255, 255, a))
    band = Image.alpha_composite(band, supersampled((w, BAND_H), waves))

    # Dots in the upper left, a quiet texture.
    dots = Image.new("RGBA", (w, BAND_H), (0, 0, 0, 0))
    dd = ImageDraw.Draw(dots)
    for gy in range(8):
        for gx in range(10):
            x, y = 18 + gx * 9, 54 + gy * 9
            if (gx + gy) % 2 == 0 and gx + gy < 12:
                dd.point((x, y), fill=(255, 255, 255, 50))
    band = Image.alpha_composite(band, dots)

    # Logo and product name, centred as one group.
    mark = logo(76, light=True)
    name_font = font(50)
    sub_font = font(15)
    probe = ImageDraw.Draw(band)
    name_w = probe.textlength("Vexa", font=name_font)
    group_w = 76 + 18 + max(name_w, 170)
    gx = int((w - group_w) / 2)
    gy = 44
    tile = Image.new("RGBA", (w, BAND_H), (0, 0, 0, 0))
    tile.paste(mark, (gx, gy))
    band = Image.alpha_composite(band, shadow(tile, 5, (0, 3), 0.45, (4, 24, 70)))
    band = Image.alpha_composite(band, tile)
    tx = gx + 76 + 18
    name = text_layer((w, BAND_H), (tx, gy + 40), "Vexa", name_font, WHITE + (255,),
                      anchor="ls", bold=1)
    band = Image.alpha_composite(band, shadow(name, 3, (0, 2), 0.35, (4, 24, 70)))
    band = Image.alpha_composite(band, name)
    band = Image.alpha_composite(band, text_layer(
        (w, BAND_H), (tx + 2, gy + 64), "考试客户端 · 安全稳定 高效便捷", sub_font,
        (255, 255, 255, 225), anchor="ls"))

    # Small title at the top left, balancing the two window glyphs.
    band = Image.alpha_composite(band, text_layer(
        (w, BAND_H), (14, 27), "Vexa 安装向导", font(12), (255, 255, 255, 200), anchor="lm"))

    img.paste(band, (0, 0))
    img = framed_square(img, MIN_BOX, "min")
    img = framed_square(img, CLOSE_BOX, "close")

    # Light area: a hairline under the band and a quiet footer.
    d = ImageDraw.Draw(img)
    d.line((0, BAND_H, w, BAND_H), fill=(222, 228, 236, 255))
    img = Image.alpha_composite(img, text_layer(
        img.size, (14, 347), "Miravo软件系统有限公司", font(11), (160, 168, 180, 255), anchor="lm"))
    img = Image.alpha_composite(img, text_layer(
        img.size, (w - 14, 347), "V2.29", font(11), (160, 168, 180, 255), anchor="rm"))

    # Frame and rounded corners: the corners become fully transparent.
    radius = 6
    mask = rounded_mask((w, h), radius)

    def outline(dd, s):
        dd.rounded_rectangle((0, 0, w * s - 1, h * s - 1), radius * s,
                             outline=(190, 200, 214, 255), width=s)
    frame = supersampled((w, h), outline)
    # Above the band the frame is not wanted; the band has its own edge.
    frame_mask = Image.new("L", (w, h), 0)
    ImageDraw.Draw(frame_mask).rectangle((0, BAND_H, w, h), fill=255)
    frame.putalpha(ImageChops.multiply(frame.getchannel("A"), frame_mask))
    img = Image.alpha_composite(img, frame)
    img.putalpha(ImageChops.multiply(img.getchannel("A"), mask))
    return img


# ---------------------------------------------------------------- slides

SLIDE_SIZE = (450, 249)
# The progress panel shows only the top-left 447 x 246 pixels of a slide, so
# nothing that matters goes into the last few columns and rows.
SLIDE_VISIBLE = (447, 246)

# Per slide: gradient, headline (two lines), caption lines, illustration.
SLIDES = {
    "slide.jpg": dict(colours=((12, 62, 150), (26, 118, 222), (52, 168, 240)),
                      title=("正在安装", "Vexa 考试客户端"),
                      lines=("安装程序正在为您准备考试环境，", "请稍候片刻。"),
                      art="logo"),
    "IMG01.jpg": dict(colours=((10, 90, 170), (18, 140, 196), (38, 190, 200)),
                      title=("在线考试", "随时随地"),
                      lines=("题目、计时、交卷一站完成，", "一台电脑即可进入考场。"),
                      art="monitor"),
    "IMG02.jpg": dict(colours=((54, 44, 160), (92, 70, 214), (136, 104, 240)),
                      title=("智能组卷", "自动评分"),
                      lines=("客观题交卷即出成绩，", "错题与统计一目了然。"),
                      art="report"),
    "IMG03.jpg": dict(colours=((8, 110, 96), (16, 156, 116), (60, 196, 136)),
                      title=("安全加密", "公平公正"),
                      lines=("试卷与答卷全程加密传输，", "考试过程稳定可靠。"),
                      art="shield"),
}


def slide_background(colours):
    w, h = SLIDE_SIZE
    c0, c1, c2 = colours
    img = gradient((w, h), [(0.0, c0), (0.55, c1), (1.0, c2)], angle=25)

    def deco(d, s):
        for cx, cy, r, a in ((380, 40, 150, 14), (420, 230, 110, 12), (-20, 260, 120, 10)):
            d.ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s),
                      fill=(255, 255, 255, a))
        for r in (190, 225):
            cx, cy = 380, 40
            d.ellipse(((cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s),
                      outline=(255, 255, 255, 20), width=int(1.2 * s))
    img = Image.alpha_composite(img, supersampled((w, h), deco))
    dots = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    dd = ImageDraw.Draw(dots)
    for gy in range(6):
        for gx in range(8):
            dd.point((300 + gx * 10 - gy * 4, 190 + gy * 8), fill=(255, 255, 255, 40))
    return Image.alpha_composite(img, dots)


def art_logo(size):
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    tile = logo(112, light=True)
    x, y = 272, 58

    def rings(d, s):
        cx, cy = (x + 56) * s, (y + 56) * s
        for r, a in ((78, 60), (96, 34), (116, 18)):
            d.ellipse((cx - r * s, cy - r * s, cx + r * s, cy + r * s),
                      outline=(255, 255, 255, a), width=int(1.5 * s))
    layer = Image.alpha_composite(layer, supersampled(size, rings))
    t = Image.new("RGBA", size, (0, 0, 0, 0))
    t.paste(tile, (x, y))
    layer = Image.alpha_composite(layer, shadow(t, 8, (0, 6), 0.45, (4, 24, 70)))
    return Image.alpha_composite(layer, t)


def art_monitor(size):
    def paint(d, s):
        S = lambda *v: tuple(int(c * s) for c in v)
        # Screen with its frame, neck and foot.
        d.rounded_rectangle(S(246, 52, 420, 168), 8 * s, fill=(24, 38, 70, 255))
        d.rounded_rectangle(S(253, 59, 413, 158), 3 * s, fill=(244, 248, 255, 255))
        d.polygon([S(318, 168), S(348, 168), S(354, 188), S(312, 188)], fill=(200, 214, 232, 255))
        d.rounded_rectangle(S(292, 186, 374, 194), 4 * s, fill=(226, 234, 246, 255))
        # The exam page: a title bar, questions and their options.
        d.rectangle(S(253, 59, 413, 74), fill=(30, 120, 220, 255))
        for i, x in enumerate((260, 266, 272)):
            d.ellipse(S(x, 64, x + 4, 68), fill=(255, 255, 255, 200 - i * 40))
        d.rounded_rectangle(S(330, 63, 404, 70), 3 * s, fill=(255, 255, 255, 90))
        y = 84
        for q in range(3):
            d.rounded_rectangle(S(262, y, 262 + (118 if q != 1 else 96), y + 5), 2 * s,
                                fill=(120, 136, 160, 255))
            for k in range(3):
                ox = 266 + k * 40
                chosen = (q, k) in ((0, 1), (1, 2), (2, 0))
                d.ellipse(S(ox, y + 11, ox + 7, y + 18), outline=(130, 146, 170, 255),
                          width=max(1, int(1.2 * s)),
                          fill=(30, 120, 220, 255) if chosen else (255, 255, 255, 255))
                d.rounded_rectangle(S(ox + 11, y + 13, ox + 30, y + 16), s,
                                    fill=(190, 200, 216, 255))
            y += 25
        # A submit button on the page.
        d.rounded_rectangle(S(372, 140, 406, 152), 3 * s, fill=(255, 160, 40, 255))
        # The clock of the exam, over the corner of the screen.
        cx, cy, r = 410, 60, 24
        d.ellipse(S(cx - r - 3, cy - r - 3, cx + r + 3, cy + r + 3), fill=(255, 255, 255, 255))
        d.ellipse(S(cx - r, cy - r, cx + r, cy + r), fill=(255, 170, 46, 255))
        d.ellipse(S(cx - r + 4, cy - r + 4, cx + r - 4, cy + r - 4), fill=(255, 255, 255, 255))
        for k in range(12):
            a = math.radians(k * 30)
            r0 = r - 7 if k % 3 == 0 else r - 6
            d.line(S(cx + math.cos(a) * r0, cy + math.sin(a) * r0,
                     cx + math.cos(a) * (r - 5), cy + math.sin(a) * (r - 5)),
                   fill=(90, 100, 120, 255), width=max(1, int(1.2 * s)))
        d.line(S(cx, cy, cx, cy - 12), fill=(40, 48, 64, 255), width=int(2.2 * s))
        d.line(S(cx, cy, cx + 9, cy + 4), fill=(240, 90, 40, 255), width=int(1.8 * s))
        d.ellipse(S(cx - 2, cy - 2, cx + 2, cy + 2), fill=(40, 48, 64, 255))
    layer = supersampled(size, paint)
    return Image.alpha_composite(shadow(layer, 6, (0, 5), 0.35, (0, 20, 50)), layer)


def art_report(size):
    def paint(d, s):
        S = lambda *v: tuple(int(c * s) for c in v)
        # The answer sheet, with marks against its answers.
        d.rounded_rectangle(S(238, 36, 350, 196), 6 * s, fill=(255, 255, 255, 255))
        d.rounded_rectangle(S(250, 48, 312, 55), 3 * s, fill=(92, 70, 214, 255))
        y = 68
        for k, ok in enumerate((True, False, True, True)):
            d.rounded_rectangle(S(252, y, 312 - (k % 2) * 14, y + 5), 2 * s,
                                fill=(200, 204, 222, 255))
            d.rounded_rectangle(S(252, y + 9, 296, y + 12), s, fill=(226, 228, 240, 255))
            if ok:
                d.line([S(324, y + 4), S(328, y + 9), S(337, y - 1)], fill=(24, 176, 110, 255),
                       width=int(2.4 * s), joint="curve")
            else:
                d.line(S(325, y - 1, 335, y + 9), fill=(236, 72, 72, 255), width=int(2.4 * s))
                d.line(S(335, y - 1, 325, y + 9), fill=(236, 72, 72, 255), width=int(2.4 * s))
            y += 20
        # The score, in a circle on the sheet.
        d.ellipse(S(254, 150, 284, 180), outline=(236, 72, 72, 255), width=int(2.2 * s))
    layer = supersampled(size, paint)
    score = text_layer(size, (269, 166), "95", font(14), (236, 72, 72, 255), anchor="mm", bold=0)
    layer = Image.alpha_composite(layer, score)

    def card(d, s):
        S = lambda *v: tuple(int(c * s) for c in v)
        # The statistics card over the sheet's lower corner: bars on a base line.
        d.rounded_rectangle(S(318, 142, 426, 222), 6 * s, fill=(246, 244, 255, 255))
        d.rounded_rectangle(S(330, 152, 372, 157), 2 * s, fill=(160, 150, 210, 255))
        base = 210
        for k, hgt in enumerate((18, 30, 24, 40)):
            x = 334 + k * 22
            col = (255, 170, 46, 255) if k == 3 else (124, 100, 236, 255)
            d.rounded_rectangle(S(x, base - hgt, x + 12, base), 2 * s, fill=col)
        d.line(S(328, base + 1, 416, base + 1), fill=(200, 196, 230, 255), width=s)
    front = supersampled(size, card)
    layer = Image.alpha_composite(layer, shadow(front, 5, (0, 4), 0.30, (20, 10, 60)))
    layer = Image.alpha_composite(layer, front)
    return Image.alpha_composite(shadow(layer, 6, (0, 5), 0.35, (20, 10, 60)), layer)


def art_shield(size):
    cx, top, bot = 336, 36, 210

    def shape(d, s):
        pts = [(cx, top)]
        for k in range(0, 21):
            t = k / 20
            # Right half: a straight shoulder, then a curve down to the point.
            if t < 0.3:
                x = cx + 70 * (t / 0.3)
                y = top + 16 * (t / 0.3)
            else:
                u = (t - 0.3) / 0.7
                x = cx + 70 * math.cos(u * math.pi / 2) ** 0.9
                y = top + 16 + (bot - top - 16) * math.sin(u * math.pi / 2) ** 1.6
            pts.append((x, y))
        right = pts[1:]
        left = [(2 * cx - x, y) for x, y in reversed(right)]
        poly = [(x * s, y * s) for x, y in right + left]
        d.polygon(poly, fill=255)
    mask = supersampled(size, shape, mode="L")
    body = gradient(size, [(0.0, (255, 255, 255)), (1.0, (214, 244, 232))], angle=70)
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    layer.paste(body, (0, 0), mask)
    # A second shield in colour, inset by an even border, and the lock on it.
    inner_full = mask.filter(ImageFilter.MinFilter(19))
    colour = gradient(size, [(0.0, (24, 170, 120)), (1.0, (8, 112, 92))], angle=80)
    tinted = Image.new("RGBA", size, (0, 0, 0, 0))
    tinted.paste(colour, (0, 0), inner_full)
    layer = Image.alpha_composite(layer, tinted)

    def lock(d, s):
        S = lambda *v: tuple(int(c * s) for c in v)
        ly = 118
        d.arc(S(cx - 18, ly - 34, cx + 18, ly + 2), 180, 360, fill=(255, 255, 255, 255),
              width=int(6 * s))
        d.line(S(cx - 15, ly - 16, cx - 15, ly + 2), fill=(255, 255, 255, 255), width=int(6 * s))
        d.line(S(cx + 15, ly - 16, cx + 15, ly + 2), fill=(255, 255, 255, 255), width=int(6 * s))
        d.rounded_rectangle(S(cx - 26, ly - 2, cx + 26, ly + 38), 6 * s, fill=(255, 255, 255, 255))
        d.ellipse(S(cx - 6, ly + 8, cx + 6, ly + 20), fill=(12, 130, 100, 255))
        d.rounded_rectangle(S(cx - 2.5, ly + 16, cx + 2.5, ly + 29), s, fill=(12, 130, 100, 255))
        # A check badge at the lower right of the shield.
        bx, by, br = cx + 52, 178, 17
        d.ellipse(S(bx - br - 3, by - br - 3, bx + br + 3, by + br + 3), fill=(255, 255, 255, 255))
        d.ellipse(S(bx - br, by - br, bx + br, by + br), fill=(255, 170, 46, 255))
        d.line([S(bx - 8, by), S(bx - 2, by + 6), S(bx + 9, by - 6)], fill=(255, 255, 255, 255),
               width=int(3.4 * s), joint="curve")
    layer = Image.alpha_composite(layer, supersampled(size, lock))
    return Image.alpha_composite(shadow(layer, 7, (0, 5), 0.35, (0, 40, 30)), layer)


ARTS = {"logo": art_logo, "monitor": art_monitor, "report": art_report, "shield": art_shield}


def make_slide(design):
    size = SLIDE_SIZE
    img = slide_background(design["colours"])
    img = Image.alpha_composite(img, ARTS[design["art"]](size))
    # The brand line at the top left.
    mark = logo(22, light=True)
    brand = Image.new("RGBA", size, (0, 0, 0, 0))
    brand.paste(mark, (30, 26))
    img = Image.alpha_composite(img, brand)
    img = Image.alpha_composite(img, text_layer(size, (60, 37), "Vexa 考试客户端", font(13),
                                                (255, 255, 255, 235), anchor="lm"))
    # Headline in two lines, then the caption.
    first, second = design["title"]
    title = Image.new("RGBA", size, (0, 0, 0, 0))
    title = Image.alpha_composite(title, text_layer(size, (30, 100), first, font(32),
                                                    (255, 255, 255, 255), anchor="ls", bold=1))
    title = Image.alpha_composite(title, text_layer(size, (30, 140), second, font(26),
                                                    (255, 255, 255, 255), anchor="ls", bold=1))
    img = Image.alpha_composite(img, shadow(title, 3, (0, 2), 0.30, (0, 20, 50)))
    img = Image.alpha_composite(img, title)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((30, 154, 62, 157), 2, fill=ORANGE + (255,))
    for k, line in enumerate(design["lines"]):
        img = Image.alpha_composite(img, text_layer(size, (30, 182 + k * 21), line, font(13),
                                                    (255, 255, 255, 225), anchor="ls"))
    return img.convert("RGB")


# ---------------------------------------------------------------- skin

# Layout of the skin strip; resources/resource_names.h repeats these numbers
# for the window code and README.md draws the picture of it.
BUTTON_CELL = (36, 36)      # one button state, drawn as a 9-slice
BUTTON_MARGIN = 6           # fixed border of the 9-slice on every side
BUTTON_STATES = ("normal", "hot", "pressed", "disabled")
CHECK_CELL = (15, 15)       # one check box state, drawn unscaled
CHECK_STATES = ("unchecked", "unchecked_hot", "unchecked_pressed", "unchecked_disabled",
                "checked", "checked_hot", "checked_pressed", "checked_disabled")
SKIN_SIZE = (max(BUTTON_CELL[0] * len(BUTTON_STATES), CHECK_CELL[0] * len(CHECK_STATES)),
             BUTTON_CELL[1] + CHECK_CELL[1])

# Per button state: border, fill top, fill bottom, inner top highlight.
BUTTON_LOOK = {
    "normal":   ((160, 172, 188), (255, 255, 255), (228, 233, 240), (255, 255, 255, 200)),
    "hot":      ((58, 142, 234), (246, 251, 255), (214, 232, 252), (255, 255, 255, 220)),
    "pressed":  ((36, 108, 196), (200, 222, 248), (226, 238, 252), (120, 160, 210, 90)),
    "disabled": ((208, 212, 218), (246, 246, 246), (238, 238, 238), (255, 255, 255, 0)),
}


def button_cell(state):
    w, h = BUTTON_CELL
    border, top, bottom, highlight = BUTTON_LOOK[state]
    radius = 4
    if state == "normal":
        # A gentle gloss: the upper half a shade lighter than the lower.
        fill = gradient((w, h), [(0.0, (255, 255, 255)), (0.5, (244, 246, 249)),
                                 (0.5, (236, 240, 245)), (1.0, (226, 231, 238))])
    else:
        fill = gradient((w, h), [(0.0, top), (1.0, bottom)])

    def inner(d, s):
        d.rounded_rectangle((s, s, w * s - 1 - s, h * s - 1 - s), (radius - 1) * s, fill=255)
    cell = Image.new("RGBA", (w, h), (0, 0, 0, 0))

    def outer(d, s):
        d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), radius * s, fill=border + (255,))
    cell = Image.alpha_composite(cell, supersampled((w, h), outer))
    body = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    body.paste(fill, (0, 0), supersampled((w, h), inner, mode="L"))
    cell = Image.alpha_composite(cell, body)
    if highlight[3]:
        d = ImageDraw.Draw(cell)
        d.line((radius, 1, w - 1 - radius, 1), fill=highlight)
    return cell


def check_cell(state):
    w, h = CHECK_CELL
    checked = state.startswith("checked")
    kind = state.split("_")[-1] if "_" in state else "normal"
    radius = 3
    if checked:
        border = {"normal": (20, 96, 200), "hot": (40, 130, 235), "pressed": (14, 74, 160),
                  "disabled": (176, 190, 210)}[kind]
        top, bottom = {"normal": ((64, 156, 245), (22, 104, 214)),
                       "hot": ((96, 178, 252), (44, 130, 236)),
                       "pressed": ((26, 96, 196), (16, 80, 176)),
                       "disabled": ((206, 216, 230), (190, 202, 220))}[kind]
    else:
        border = {"normal": (150, 162, 178), "hot": (58, 142, 234), "pressed": (36, 108, 196),
                  "disabled": (210, 214, 220)}[kind]
        top, bottom = {"normal": ((255, 255, 255), (238, 241, 245)),
                       "hot": ((248, 252, 255), (224, 238, 253)),
                       "pressed": ((206, 225, 248), (226, 238, 252)),
                       "disabled": ((246, 246, 246), (240, 240, 240))}[kind]
    cell = Image.new("RGBA", (w, h), (0, 0, 0, 0))

    def outer(d, s):
        d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), radius * s, fill=border + (255,))

    def inner(d, s):
        d.rounded_rectangle((s, s, w * s - 1 - s, h * s - 1 - s), (radius - 1) * s, fill=255)
    cell = Image.alpha_composite(cell, supersampled((w, h), outer))
    body = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    body.paste(gradient((w, h), [(0.0, top), (1.0, bottom)]), (0, 0),
               supersampled((w, h), inner, mode="L"))
    cell = Image.alpha_composite(cell, body)
    if checked:
        def tick(d, s):
            pts = [(3.4 * s, 7.6 * s), (6.2 * s, 10.4 * s), (11.6 * s, 4.4 * s)]
            d.line(pts, fill=(255, 255, 255, 255), width=int(1.9 * s), joint="curve")
        cell = Image.alpha_composite(cell, supersampled((w, h), tick))
    return cell


def make_skin():
    img = Image.new("RGBA", SKIN_SIZE, (0, 0, 0, 0))
    for i, state in enumerate(BUTTON_STATES):
        img.paste(button_cell(state), (i * BUTTON_CELL[0], 0))
    for i, state in enumerate(CHECK_STATES):
        img.paste(check_cell(state), (i * CHECK_CELL[0], BUTTON_CELL[1]))
    return img


# ---------------------------------------------------------------- icon

ICON_SIZES = (256, 128, 48, 32, 24, 16)


def ico_bitmap(img):
    """One icon image in the classic form: a 32-bit DIB and its AND mask."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    colour = bytearray()
    for y in range(h - 1, -1, -1):  # bottom-up rows
        for x in range(w):
            r, g, b, a = px[x, y]
            colour += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(colour) + bytes(mask)


def icon_image(size):
    """The tile with a small margin and, at the larger sizes, a soft shadow."""
    margin = {256: 14, 128: 7, 48: 3}.get(size, 1 if size > 16 else 0)
    inner = size - 2 * margin
    tile = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    tile.paste(logo(inner), (margin, margin))
    if size >= 48:
        drop = shadow(tile, size / 48, (0, max(1, size // 64)), 0.35, (0, 20, 60))
        tile = Image.alpha_composite(drop, tile)
    return tile


def make_icon():
    """An .ico file: the 256-pixel image as PNG, the smaller ones as DIBs,
    which every Windows version and Wine read."""
    images = []
    for size in ICON_SIZES:
        img = icon_image(size)
        if size >= 256:
            buf = io.BytesIO()
            img.save(buf, "PNG", optimize=True)
            images.append((size, buf.getvalue()))
        else:
            images.append((size, ico_bitmap(img)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


# ---------------------------------------------------------------- agreement

AGREEMENT_SOURCE = "agreement-source.txt"   # UTF-8, one paragraph a line
AGREEMENT_WIDTH = 76                         # columns; a Chinese character takes two
# Characters that may not begin a line, and ones that may not end it.
NO_LINE_START = set("，。、；：？！）》」』”’…%·")
NO_LINE_END = set("（《「『“‘")


def columns(ch):
    return 1 if ord(ch) < 0x80 else 2


def wrap_paragraph(text, width):
    """Breaks a paragraph into lines of at most width columns, keeping
    closing punctuation with the character before it and ASCII words whole."""
    tokens = []
    i = 0
    while i < len(text):
        j = i + 1
        if text[i].isascii() and text[i] != " ":
            while j < len(text) and text[j].isascii() and text[j] != " ":
                j += 1
        tokens.append(text[i:j])
        i = j
    widths = [sum(columns(c) for c in tok) for tok in tokens]
    lines, line, used = [], "", 0
    for k, tok in enumerate(tokens):
        w = widths[k]
        nxt = tokens[k + 1] if k + 1 < len(tokens) else ""
        # A closing mark may overhang by one character, and so may the last
        # few columns of a paragraph rather than stand alone on a line.
        limit = width + (2 if tok[0] in NO_LINE_START else 0)
        if sum(widths[k:]) <= 4:
            limit = width + 4
        if line and (used + w > limit or (tok[-1] in NO_LINE_END and used + w + 2 > width
                                          and nxt)):
            lines.append(line.rstrip())
            line, used = "", 0
            if tok == " ":
                continue
        line += tok
        used += w
    if line or not lines:
        lines.append(line.rstrip())
    return lines


def make_agreement():
    """The agreement in code page 936 with CR LF line ends, as the installer
    writes it out for Notepad."""
    with open(os.path.join(HERE, AGREEMENT_SOURCE), encoding="utf-8") as f:
        paragraphs = f.read().splitlines()
    while paragraphs and not paragraphs[-1].strip():
        paragraphs.pop()
    out = []
    for p in paragraphs:
        out.extend(wrap_paragraph(p, AGREEMENT_WIDTH) if p else [""])
    text = "\r\n".join(out) + "\r\n"
    return text.encode("cp936")  # strict: a character GBK lacks is an error


# ---------------------------------------------------------------- checks

def check_background(img):
    """The facts the window's layout depends on, checked on the result."""
    w, h = BG_SIZE
    assert img.size == BG_SIZE and img.mode == "RGBA"
    px = img.load()
    for corner in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        assert px[corner][3] == 0, "corner %r must be fully transparent" % (corner,)
    # The controls sit on plain F7F7F7 below the band, down to the Install button.
    for y in range(BAND_H + 1, 337):
        for x in range(2, w - 2):
            assert px[x, y] == LIGHT_AREA + (255,), "light area not plain at %d,%d" % (x, y)
    # Each glyph's frame is brighter than the band just outside it.
    lum = lambda p: p[0] * 0.3 + p[1] * 0.59 + p[2] * 0.11
    for x0, y0, x1, y1 in (MIN_BOX, CLOSE_BOX):
        for x, y, ox, oy in ((x0, y0, x0 - 1, y0), (x1, y1, x1 + 1, y1),
                             (x0, y1, x0, y1 + 1), (x1, y0, x1, y0 - 1)):
            assert lum(px[x, y]) > lum(px[ox, oy]) + 40, "glyph frame at %d,%d" % (x, y)


# ---------------------------------------------------------------- main

def save_png(img, name):
    path = os.path.join(HERE, name)
    img.save(path, "PNG", optimize=True)
    return path


def main():
    bg = make_background()
    check_background(bg)
    save_png(bg, "background.png")
    save_png(make_skin(), "mcskin.png")
    for name, design in SLIDES.items():
        slide = make_slide(design)
        assert slide.size == SLIDE_SIZE
        slide.save(os.path.join(HERE, name), "JPEG", quality=92, optimize=True,
                   subsampling=0)
    with open(os.path.join(HERE, "vexa.ico"), "wb") as f:
        f.write(make_icon())
    with open(os.path.join(HERE, "agreement.txt"), "wb") as f:
        f.write(make_agreement())
    print("art written to", HERE)


if __name__ == "__main__":
    sys.exit(main())
