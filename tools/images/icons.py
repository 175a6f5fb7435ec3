"""Application icons of Korvex and Quellix, drawn large and scaled to every icon size."""

from PIL import Image, ImageDraw, ImageFilter

import paint

ICON_SIZES = [(16, 16), (24, 24), (32, 32), (48, 48), (64, 64), (128, 128), (256, 256)]


def _emblem(size):
    """The round gold-ringed emblem both programs share, on a transparent square."""
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = size / 256
    # Soft dark shadow under the disc.
    shadow = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).ellipse([14 * s, 20 * s, 246 * s, 252 * s], fill=(0, 0, 0, 150))
    img.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(6 * s)))
    # Gold ring: outer rim, inner groove.
    d.ellipse([8 * s, 8 * s, 248 * s, 248 * s], fill=paint.GOLD_DARK)
    d.ellipse([14 * s, 14 * s, 242 * s, 242 * s], fill=paint.GOLD)
    d.ellipse([26 * s, 26 * s, 230 * s, 230 * s], fill=paint.GOLD_DARK)
    # Deep red disc with a radial glow.
    disc = paint.radial((size, size), (0.5, 0.42), 0.55, (190, 30, 24), (70, 6, 6))
    mask = Image.new("L", (size, size), 0)
    ImageDraw.Draw(mask).ellipse([32 * s, 32 * s, 224 * s, 224 * s], fill=255)
    img.paste(disc, (0, 0), mask)
    return img, d, s


def korvex_icon(size=256):
    """A gold 'T' blade on the red emblem."""
    img, d, s = _emblem(size)
    blade = [(128, 58), (148, 84), (138, 84), (138, 196), (128, 214), (118, 196), (118, 84), (108, 84)]
    bar = [(70, 70), (186, 70), (196, 92), (160, 86), (96, 86), (60, 92)]
    for poly in (bar, blade):
        pts = [(x * s, y * s) for x, y in poly]
        d.polygon([(x + 3 * s, y + 4 * s) for x, y in pts], fill=(30, 0, 0, 200))
        d.polygon(pts, fill=paint.GOLD_LIGHT, outline=paint.GOLD_DARK)
    d.line([(128 * s, 90 * s), (128 * s, 196 * s)], fill=paint.GOLD_DARK, width=max(1, int(3 * s)))
    return img


def quellix_icon(size=256):
    """A gold bin with a sweeping arrow on the red emblem: the uninstaller."""
    img, d, s = _emblem(size)
    lid = [(78, 82), (178, 82), (178, 96), (78, 96)]
    handle = [(110, 70), (146, 70), (146, 82), (110, 82)]
    body = [(88, 100), (168, 100), (158, 196), (98, 196)]
    for poly in (handle, lid, body):
        pts = [(x * s, y * s) for x, y in poly]
        d.polygon([(x + 3 * s, y + 4 * s) for x, y in pts], fill=(30, 0, 0, 200))
        d.polygon(pts, fill=paint.GOLD_LIGHT, outline=paint.GOLD_DARK)
    for x in (110, 128, 146):
        d.line([(x * s, 112 * s), (x * s, 184 * s)], fill=paint.GOLD_DARK, width=max(1, int(6 * s)))
    return img


def save_icon(img, path):
    """Writes a multi-size .ico; each size is resampled from the large drawing."""
    img.save(path, format="ICO", sizes=ICON_SIZES)
