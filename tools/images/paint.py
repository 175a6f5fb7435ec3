"""Colours and small drawing helpers shared by every picture."""

from PIL import Image

GOLD_LIGHT = (255, 226, 140, 255)
GOLD = (222, 178, 82, 255)
GOLD_DARK = (120, 80, 28, 255)

WQY = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def radial(size, centre, radius, inner, outer):
    """An RGBA image with a radial gradient from inner (at centre) to outer (at radius and beyond).

    centre and radius are fractions of the width."""
    w, h = size
    grad = Image.radial_gradient("L").resize((512, 512))  # 0 at the centre, 255 at the corners
    r = int(radius * w * 2)
    grad = grad.resize((max(1, r), max(1, r)))
    lut = Image.new("L", (w, h), 255)
    lut.paste(grad, (int(centre[0] * w - r / 2), int(centre[1] * h - r / 2)))
    a = Image.new("RGBA", (w, h), inner + (255,) if len(inner) == 3 else inner)
    b = Image.new("RGBA", (w, h), outer + (255,) if len(outer) == 3 else outer)
    return Image.composite(b, a, lut)
