"""Colours and drawing helpers shared by every picture."""

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

GOLD_LIGHT = (255, 232, 160, 255)
GOLD = (222, 178, 82, 255)
GOLD_DARK = (120, 80, 28, 255)
BRONZE = (92, 56, 20, 255)
RED_PANEL = (150, 18, 16, 255)

WQY = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
SERIF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf"


def font(path, size):
    return ImageFont.truetype(path, size)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vertical_gradient(size, stops):
    """An RGBA image filled top to bottom through the colour stops [(position 0..1, rgba), ...]."""
    w, h = size
    col = Image.new("RGBA", (1, h))
    px = col.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                px[0, y] = lerp(c0, c1, (t - p0) / max(1e-9, p1 - p0))
                break
    return col.resize((w, h))


def radial(size, centre, radius, inner, outer):
    """An RGBA image with a radial gradient from inner (at centre) to outer (at radius and beyond).

    centre is a fraction of width and height, radius a fraction of the width."""
    w, h = size
    r = max(1, int(radius * w))
    # radial_gradient: 0 at the centre, 255 at distance 128 of its 256-pixel square.
    grad = Image.radial_gradient("L").resize((2 * r, 2 * r))
    mask = Image.new("L", (w, h), 255)
    mask.paste(grad, (int(centre[0] * w) - r, int(centre[1] * h) - r))
    a = Image.new("RGBA", (w, h), tuple(inner[:3]) + (255,))
    b = Image.new("RGBA", (w, h), tuple(outer[:3]) + (255,))
    return Image.composite(b, a, mask)


def apply_mask(img, mask):
    """img with its alpha multiplied by mask."""
    out = img.copy()
    out.putalpha(ImageChops.multiply(img.getchannel("A"), mask))
    return out


def glow(mask, radius, colour):
    """A soft coloured halo around the shape in mask."""
    halo = mask.filter(ImageFilter.GaussianBlur(radius))
    layer = Image.new("RGBA", mask.size, colour[:3] + (0,))
    layer.putalpha(halo.point(lambda v: min(255, int(v * colour[3] / 255 * 1.6))))
    return layer


def text_mask(size, text, fnt, xy, anchor="mm", stroke=0):
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).text(xy, text, font=fnt, fill=255, anchor=anchor, stroke_width=stroke, stroke_fill=255)
    return m


def gold_text(size, text, fnt, xy, bright=1.0, outline=1, anchor="mm", stops=None):
    """Text with a vertical gold gradient, a dark outline and a soft shadow, on transparency."""
    w, h = size
    img = Image.new("RGBA", size, (0, 0, 0, 0))
    body = text_mask(size, text, fnt, xy, anchor)
    if outline:
        edge = text_mask(size, text, fnt, xy, anchor, stroke=outline)
        shadow = edge.filter(ImageFilter.GaussianBlur(max(1, outline)))
        img.alpha_composite(apply_mask(Image.new("RGBA", size, (20, 6, 0, 255)), shadow))
        img.alpha_composite(apply_mask(Image.new("RGBA", size, (46, 20, 4, 235)), edge))
    if stops is None:
        stops = [(0.0, (255, 246, 196, 255)), (0.45, (246, 206, 110, 255)), (0.55, (214, 160, 60, 255)),
                 (1.0, (255, 222, 140, 255))]
    bbox = body.getbbox() or (0, 0, w, h)
    grad = Image.new("RGBA", size, (0, 0, 0, 0))
    gh = max(1, bbox[3] - bbox[1])
    grad.paste(vertical_gradient((w, gh), stops), (0, bbox[1]))
    if bright != 1.0:
        grad = brighten(grad, bright)
    img.alpha_composite(apply_mask(grad, body))
    return img


def brighten(img, factor):
    """Scales the colour channels (alpha untouched); factor > 1 brightens towards white."""
    r, g, b, a = img.split()
    if factor >= 1:
        f = lambda v: int(v + (255 - v) * (factor - 1))  # noqa: E731
    else:
        f = lambda v: int(v * factor)  # noqa: E731
    return Image.merge("RGBA", (r.point(f), g.point(f), b.point(f), a))


def dimmed(img, amount=0.55, fade=0.75):
    """A greyed, darker, partly faded copy (for disabled and dimmed looks)."""
    rgba = img.convert("RGBA")
    r, g, b, a = rgba.split()
    grey = Image.merge("RGB", (r, g, b)).convert("L")
    mixed = Image.blend(Image.merge("RGB", (r, g, b)), Image.merge("RGB", (grey, grey, grey)), 0.6)
    mixed = mixed.point(lambda v: int(v * amount + 30 * (1 - amount)))
    out = mixed.convert("RGBA")
    out.putalpha(a.point(lambda v: int(v * fade)))
    return out


def shifted(img, dx, dy):
    """img moved by (dx, dy) on a transparent canvas of the same size."""
    out = Image.new(img.mode, img.size, (0, 0, 0, 0) if img.mode == "RGBA" else 0)
    out.paste(img, (dx, dy))
    return out


def supersampled(size, draw, factor=4):
    """Calls draw(image, scale) on a canvas factor times larger and returns it reduced to size."""
    big = Image.new("RGBA", (size[0] * factor, size[1] * factor), (0, 0, 0, 0))
    draw(big, factor)
    return big.resize(size, Image.LANCZOS)
