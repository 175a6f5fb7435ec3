"""The launcher's buttons and the game window's title-strip icons."""

from PIL import Image, ImageDraw, ImageFilter

import paint

# ---------------------------------------------------------------------------------------------
# Launcher link texts: gold words on transparency, in three looks.


def link_text(text, size, look):
    """look: 'pressed' (one pixel lower and right), 'normal', or 'hover' (brighter, one pixel up)."""
    fnt = paint.font(paint.WQY, 15)
    cx, cy = size[0] / 2, size[1] / 2
    if look == "pressed":
        return paint.gold_text(size, text, fnt, (cx + 1, cy + 1), bright=0.85)
    if look == "hover":
        stops = [(0.0, (255, 255, 236, 255)), (0.45, (255, 236, 150, 255)), (0.55, (248, 200, 92, 255)),
                 (1.0, (255, 244, 190, 255))]
        img = paint.gold_text(size, text, fnt, (cx, cy - 1), stops=stops)
        halo = paint.glow(paint.text_mask(size, text, fnt, (cx, cy - 1)), 3, (255, 190, 60, 120))
        halo.alpha_composite(img)
        return halo
    return paint.gold_text(size, text, fnt, (cx, cy))


# ---------------------------------------------------------------------------------------------
# Round gold-ringed launcher buttons (27 x 27) and the larger orange close hover (39 x 39).


def _ring(d, s, size, face_top, face_bottom, rim=paint.GOLD):
    n = size * s
    d.ellipse([0, 0, n - 1, n - 1], fill=paint.GOLD_DARK)
    d.ellipse([1 * s, 1 * s, n - 1 - 1 * s, n - 1 - 1 * s], fill=rim)
    inner = paint.vertical_gradient((n, n), [(0.0, face_top), (1.0, face_bottom)])
    mask = Image.new("L", (n, n), 0)
    ImageDraw.Draw(mask).ellipse([3 * s, 3 * s, n - 1 - 3 * s, n - 1 - 3 * s], fill=255)
    return inner, mask


def round_button(symbol, look, size=27):
    """symbol: 'bar' or 'cross'; look: 'pressed', 'normal' or 'hover'."""

    def draw(img, s):
        d = ImageDraw.Draw(img)
        if look == "hover":
            inner, mask = _ring(d, s, size, (150, 40, 24, 255), (70, 10, 6, 255), rim=paint.GOLD_LIGHT)
            mark = (255, 244, 200, 255)
        elif look == "pressed":
            inner, mask = _ring(d, s, size, (50, 12, 8, 255), (96, 26, 16, 255))
            mark = (214, 168, 84, 255)
        else:
            inner, mask = _ring(d, s, size, (112, 28, 18, 255), (48, 8, 6, 255))
            mark = paint.GOLD_LIGHT
        img.alpha_composite(paint.apply_mask(inner, mask))
        # Highlight on the upper half of the face.
        hl = Image.new("L", img.size, 0)
        ImageDraw.Draw(hl).ellipse([6 * s, 4 * s, (size - 6) * s, (size / 2) * s], fill=50)
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", img.size, (255, 255, 255, 255)), hl))
        off = s if look == "pressed" else 0
        c = size * s / 2 + off
        if symbol == "bar":
            d.rounded_rectangle([c - 6 * s, c - 1.2 * s, c + 6 * s, c + 1.8 * s], radius=s, fill=mark)
        else:
            w = 2.2 * s
            r = 5.2 * s
            d.line([(c - r, c - r), (c + r, c + r)], fill=mark, width=int(w))
            d.line([(c - r, c + r), (c + r, c - r)], fill=mark, width=int(w))

    return paint.supersampled((size, size), draw)


def big_close_hover(size=39):
    """A larger orange cross in a dark ring, drawn scaled into the close button."""

    def draw(img, s):
        d = ImageDraw.Draw(img)
        n = size * s
        d.ellipse([0, 0, n - 1, n - 1], fill=(24, 10, 4, 235))
        d.ellipse([2 * s, 2 * s, n - 1 - 2 * s, n - 1 - 2 * s], fill=(255, 150, 40, 255))
        d.ellipse([4 * s, 4 * s, n - 1 - 4 * s, n - 1 - 4 * s], fill=(34, 14, 6, 255))
        c = n / 2
        r = 8.5 * s
        for a, b in (((c - r, c - r), (c + r, c + r)), ((c - r, c + r), (c + r, c - r))):
            d.line([a, b], fill=(120, 40, 0, 255), width=int(5 * s))
            d.line([a, b], fill=(255, 140, 30, 255), width=int(3.4 * s))
        glow = Image.new("L", img.size, 0)
        ImageDraw.Draw(glow).ellipse([8 * s, 6 * s, n - 8 * s, n / 2], fill=40)
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", img.size, (255, 220, 160, 255)), glow))

    return paint.supersampled((size, size), draw)


# ---------------------------------------------------------------------------------------------
# Title-strip icons (15 x 15, gold on transparency).


def _gold_icon(shape, bright=1.0):
    def draw(img, s):
        mask = Image.new("L", img.size, 0)
        shape(ImageDraw.Draw(mask), s)
        edge = mask.filter(ImageFilter.MaxFilter(5))
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", img.size, (40, 16, 2, 200)), edge))
        grad = paint.vertical_gradient(img.size, [(0.0, (255, 240, 170, 255)), (0.5, (236, 190, 90, 255)),
                                                  (1.0, (196, 134, 44, 255))])
        if bright != 1.0:
            grad = paint.brighten(grad, bright)
        img.alpha_composite(paint.apply_mask(grad, mask))

    return paint.supersampled((15, 15), draw, factor=8)


def _circle_r(d, s):
    d.ellipse([1 * s, 1 * s, 14 * s, 14 * s], fill=255)
    d.ellipse([2.4 * s, 2.4 * s, 12.6 * s, 12.6 * s], fill=0)
    d.rectangle([5.2 * s, 4 * s, 6.6 * s, 11 * s], fill=255)
    d.pieslice([4.5 * s, 4 * s, 10.2 * s, 8.4 * s], -90, 90, fill=255)
    d.pieslice([6.2 * s, 5.3 * s, 8.8 * s, 7.1 * s], -90, 90, fill=0)
    d.rectangle([6.6 * s, 5.3 * s, 7.5 * s, 7.1 * s], fill=0)
    d.polygon([(7.2 * s, 8 * s), (8.6 * s, 8 * s), (10.6 * s, 11 * s), (9 * s, 11 * s)], fill=255)


def _circular_arrow(d, s):
    # Clockwise arc from the lower right round to three o'clock, the head pointing down into the gap.
    d.arc([2 * s, 2 * s, 13 * s, 13 * s], 70, 350, fill=255, width=int(1.9 * s))
    x, y = 12.1 * s, 6.2 * s
    d.polygon([(x - 3.3 * s, y), (x + 3.3 * s, y), (x, y + 4 * s)], fill=255)


def _house(d, s):
    d.polygon([(7.5 * s, 1 * s), (14.5 * s, 7.5 * s), (12.4 * s, 7.5 * s), (7.5 * s, 3.2 * s),
               (2.6 * s, 7.5 * s), (0.5 * s, 7.5 * s)], fill=255)
    d.polygon([(7.5 * s, 4.6 * s), (12 * s, 8.6 * s), (12 * s, 14 * s), (3 * s, 14 * s), (3 * s, 8.6 * s)],
              fill=255)
    d.rectangle([6.3 * s, 10 * s, 8.7 * s, 14 * s], fill=0)
    d.rectangle([10.5 * s, 2 * s, 12 * s, 5 * s], fill=255)


def _person(d, s):
    d.rounded_rectangle([0.7 * s, 0.7 * s, 14.3 * s, 14.3 * s], radius=2 * s, fill=255)
    d.rounded_rectangle([2 * s, 2 * s, 13 * s, 13 * s], radius=1.4 * s, fill=0)
    d.ellipse([5.4 * s, 3.2 * s, 9.6 * s, 7.4 * s], fill=255)
    d.pieslice([3.4 * s, 8 * s, 11.6 * s, 16 * s], 180, 360, fill=255)
    d.rectangle([2 * s, 12 * s, 13 * s, 13 * s], fill=0)


def _broom(d, s):
    d.line([(12.8 * s, 1 * s), (7.6 * s, 7.6 * s)], fill=255, width=int(1.7 * s))
    d.polygon([(6 * s, 6 * s), (9.6 * s, 9 * s), (6.2 * s, 14.4 * s), (0.6 * s, 9.8 * s)], fill=255)
    for t in (0.35, 0.6, 0.85):
        x0, y0 = 6 * s + (9.6 - 6) * s * t, 6 * s + 3 * s * t
        d.line([(x0, y0), (x0 - 5.2 * s, y0 + 4.6 * s)], fill=0, width=int(0.7 * s))


ICON_SHAPES = {"recharge": _circle_r, "refresh": _circular_arrow, "home": _house, "bosskey": _person,
               "broom": _broom}


def title_icon(name, look):
    """look: 'normal' (bright gold), 'hover' (brighter, for R/arrow/house), 'dimmed' (disabled, or
    the dimmed hover of the person and broom)."""
    icon = _gold_icon(ICON_SHAPES[name], bright=1.25 if look == "hover" else 1.0)
    if look == "dimmed":
        return paint.dimmed(icon)
    return icon


# ---------------------------------------------------------------------------------------------
# Window buttons of the title strip (22 x 22, 24-bit RGB) and the hide button (22 x 22, RGBA).


def window_button(symbol, look):
    """symbol: 'minimize', 'maximize' or 'close'; look: 'normal', 'disabled' or 'hover'."""
    face = {"normal": ((58, 54, 52), (28, 26, 25)), "disabled": ((40, 40, 40), (30, 30, 30)),
            "hover": ((96, 90, 86), (52, 48, 46))}[look]
    if symbol == "close" and look == "hover":
        face = ((214, 52, 40), (140, 20, 14))
    mark = {"normal": (240, 240, 240, 255), "disabled": (110, 110, 110, 255), "hover": (255, 255, 255, 255)}[look]

    def draw(img, s):
        n = 22 * s
        img.paste(paint.vertical_gradient((n, n), [(0, face[0] + (255,)), (1, face[1] + (255,))]), (0, 0))
        d = ImageDraw.Draw(img)
        d.rectangle([0, 0, n - 1, n - 1], outline=(14, 14, 14, 255), width=s)
        d.line([(s, s), (n - 2 * s, s)], fill=tuple(min(255, c + 40) for c in face[0]) + (255,), width=s)
        if symbol == "minimize":
            d.rectangle([6 * s, 13 * s, 16 * s, 15 * s], fill=mark)
        elif symbol == "maximize":
            d.rectangle([8 * s, 5 * s, 17 * s, 13 * s], outline=mark, width=int(1.5 * s))
            d.rectangle([5 * s, 9 * s, 14 * s, 17 * s], fill=face[1] + (255,))
            d.rectangle([5 * s, 9 * s, 14 * s, 17 * s], outline=mark, width=int(1.5 * s))
        else:
            d.line([(6.5 * s, 6.5 * s), (15.5 * s, 15.5 * s)], fill=mark, width=int(2 * s))
            d.line([(6.5 * s, 15.5 * s), (15.5 * s, 6.5 * s)], fill=mark, width=int(2 * s))

    return paint.supersampled((22, 22), draw).convert("RGB")


def hide_button(look):
    """An arrow down onto a bar: grey (normal) or yellow (hover), on transparency."""
    colour = (190, 190, 190, 255) if look == "normal" else (255, 214, 60, 255)

    def draw(img, s):
        d = ImageDraw.Draw(img)
        dark = (20, 20, 20, 200)
        for c, grow in ((dark, 1.0 * s), (colour, 0)):
            d.polygon([(8 * s - grow, 3 * s - grow), (14 * s + grow, 3 * s - grow), (14 * s + grow, 9 * s),
                       (18 * s + grow, 9 * s), (11 * s, 15.5 * s + grow), (4 * s - grow, 9 * s),
                       (8 * s - grow, 9 * s)], fill=c)
            d.rectangle([4 * s - grow, 17 * s - grow, 18 * s + grow, 19 * s + grow], fill=c)

    return paint.supersampled((22, 22), draw)
