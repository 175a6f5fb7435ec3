"""The game's logos: the round emblem (40 x 40, 128 x 128) and the title logo "Torvane" on a
dragon frame (390 x 178)."""

from PIL import Image, ImageDraw, ImageFilter

import icons
import paint


def emblem(size):
    return icons.korvex_icon(256).resize((size, size), Image.LANCZOS)


def _wing(d, s, cx, top, side, fill):
    """A dragon wing spreading to one side (side = -1 left, +1 right), with membrane ribs."""
    sx = lambda x: cx + side * x * s  # noqa: E731
    pts = [(sx(40), top + 70 * s), (sx(70), top + 22 * s), (sx(120), top + 4 * s), (sx(190), top + 18 * s),
           (sx(168), top + 40 * s), (sx(186), top + 52 * s), (sx(158), top + 70 * s), (sx(176), top + 86 * s),
           (sx(140), top + 96 * s), (sx(150), top + 118 * s), (sx(106), top + 114 * s), (sx(96), top + 140 * s),
           (sx(60), top + 118 * s)]
    d.polygon(pts, fill=fill)
    return pts


def title_logo(size=(390, 178)):
    """The word "Torvane" in bevelled gold on a dark-red plaque between two dragon wings."""
    s = 4
    w, h = size[0] * s, size[1] * s
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    cx = w / 2
    top = 6 * s

    # Wings: dark bronze membranes with gold edges and ribs.
    wings = Image.new("L", (w, h), 0)
    wd = ImageDraw.Draw(wings)
    ribs = []
    for side in (-1, 1):
        pts = _wing(wd, s, cx, top, side, 255)
        ribs.append((side, pts))
    img.alpha_composite(paint.glow(wings, 3 * s, (255, 90, 20, 150)))
    edge = wings.filter(ImageFilter.MaxFilter(4 * s + 1))
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", (w, h), paint.GOLD_DARK), edge))
    membrane = paint.vertical_gradient((w, h), [(0, (110, 24, 14, 255)), (0.6, (52, 10, 6, 255)),
                                                (1, (24, 4, 2, 255))])
    img.alpha_composite(paint.apply_mask(membrane, wings))
    d = ImageDraw.Draw(img)
    for side, pts in ribs:
        root = (cx + side * 44 * s, top + 74 * s)
        for p in pts[2::2]:
            d.line([root, p], fill=(214, 160, 70, 255), width=int(1.6 * s))
        d.line(pts[:4], fill=paint.GOLD_LIGHT, width=int(2.5 * s), joint="curve")

    # Dragon crest on top: a horned head shape.
    crest = [(cx, top - 2 * s), (cx + 16 * s, top + 24 * s), (cx + 34 * s, top + 10 * s), (cx + 26 * s, top + 40 * s),
             (cx, top + 52 * s), (cx - 26 * s, top + 40 * s), (cx - 34 * s, top + 10 * s), (cx - 16 * s, top + 24 * s)]
    d.polygon([(x, y + 2 * s) for x, y in crest], fill=(30, 8, 2, 255))
    d.polygon(crest, fill=paint.GOLD, outline=paint.GOLD_DARK, width=2 * s)
    d.polygon([(cx, top + 14 * s), (cx + 9 * s, top + 34 * s), (cx, top + 44 * s), (cx - 9 * s, top + 34 * s)],
              fill=(190, 24, 14, 255), outline=paint.GOLD_DARK, width=s)

    # Plaque behind the word.
    plaque = [(cx - 170 * s, 78 * s), (cx - 150 * s, 60 * s), (cx + 150 * s, 60 * s), (cx + 170 * s, 78 * s),
              (cx + 160 * s, 128 * s), (cx + 140 * s, 140 * s), (cx - 140 * s, 140 * s), (cx - 160 * s, 128 * s)]
    d.polygon([(x, y + 4 * s) for x, y in plaque], fill=(10, 2, 0, 200))
    d.polygon(plaque, fill=paint.GOLD_DARK)
    inner = [(cx + (x - cx) * 0.975, 100 * s + (y - 100 * s) * 0.9) for x, y in plaque]
    pm = Image.new("L", (w, h), 0)
    ImageDraw.Draw(pm).polygon(inner, fill=255)
    img.alpha_composite(paint.apply_mask(
        paint.radial((w, h), (0.5, 0.55), 0.42, (150, 22, 14), (50, 6, 4)), pm))
    d.line(inner + [inner[0]], fill=paint.GOLD, width=int(1.5 * s))

    # The word.
    fnt = paint.font(paint.SERIF_BOLD, 54 * s)
    stops = [(0.0, (255, 250, 214, 255)), (0.42, (250, 214, 120, 255)), (0.5, (200, 140, 44, 255)),
             (0.75, (236, 180, 80, 255)), (1.0, (255, 230, 150, 255))]
    word = paint.gold_text((w, h), "Torvane", fnt, (cx, 101 * s), outline=3 * s, stops=stops)
    img.alpha_composite(word)

    # Small gold pendant under the plaque.
    d.polygon([(cx - 40 * s, 140 * s), (cx + 40 * s, 140 * s), (cx, 166 * s)], fill=paint.GOLD_DARK)
    d.polygon([(cx - 30 * s, 140 * s), (cx + 30 * s, 140 * s), (cx, 160 * s)], fill=paint.GOLD)
    d.ellipse([cx - 6 * s, 143 * s, cx + 6 * s, 155 * s], fill=(200, 30, 20, 255), outline=paint.GOLD_DARK)
    return img.resize(size, Image.LANCZOS)
