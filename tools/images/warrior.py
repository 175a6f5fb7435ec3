"""The warrior on the left of the launcher's background: horned helmet, layered pauldrons, a
breastplate with gold trim, a torn crimson cape and a great-sword raised over his shoulder, lit
from behind by fire."""

from PIL import Image, ImageChops, ImageDraw, ImageFilter

import paint


def smooth(points, steps=8):
    """A closed Catmull-Rom curve through points, as a polygon."""
    out = []
    n = len(points)
    for i in range(n):
        p0, p1, p2, p3 = points[i - 1], points[i], points[(i + 1) % n], points[(i + 2) % n]
        for k in range(steps):
            t = k / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1[j]) + (-p0[j] + p2[j]) * t + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t2
                                    + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t3) for j in (0, 1)))
    return out


# Parts, back to front: (name, outline, smooth?, gradient top, gradient bottom, trim colour or None).
CAPE = [(250, 190), (170, 215), (110, 270), (70, 360), (40, 450), (22, 540), (10, 601), (120, 601), (150, 560),
        (190, 601), (330, 601), (318, 470), (300, 330)]
LEGS = [(186, 601), (200, 500), (222, 400), (306, 400), (326, 500), (344, 601)]
TORSO = [(206, 226), (268, 214), (330, 228), (346, 300), (318, 404), (266, 414), (214, 404), (190, 300)]
BELT = [(212, 372), (266, 382), (320, 372), (318, 398), (266, 410), (214, 398)]
LEFT_PAULDRON = [(150, 262), (158, 222), (190, 196), (232, 198), (244, 228), (228, 262), (190, 278)]
RIGHT_PAULDRON = [(292, 222), (318, 196), (360, 194), (388, 226), (376, 262), (340, 272), (304, 258)]
HELMET = [(236, 176), (240, 146), (262, 132), (286, 146), (290, 176), (280, 200), (263, 208), (246, 200)]
LEFT_HORN = [(242, 150), (222, 128), (206, 96), (214, 92), (232, 118), (252, 140)]
RIGHT_HORN = [(282, 150), (300, 126), (316, 92), (324, 96), (312, 128), (290, 156)]
ARM = [(330, 244), (362, 262), (388, 244), (402, 206), (388, 192), (368, 222), (338, 226)]
BLADE = [(390, 196), (394, 188), (522, 40), (530, 34), (528, 46), (400, 202)]
GUARD = [(368, 180), (376, 170), (414, 206), (406, 216)]
GRIP = [(372, 208), (390, 192), (398, 200), (380, 216)]

IRON = ((86, 76, 80), (26, 20, 22))
DARK_IRON = ((60, 50, 54), (16, 12, 12))
CLOTH = ((120, 18, 14), (40, 4, 4))
GOLD_TRIM = (214, 160, 70, 255)

PARTS = [
    ("cape", CAPE, True, CLOTH, None),
    ("legs", LEGS, False, DARK_IRON, None),
    ("torso", TORSO, True, IRON, GOLD_TRIM),
    ("belt", BELT, False, ((110, 70, 30), (50, 28, 10)), GOLD_TRIM),
    ("left horn", LEFT_HORN, True, ((210, 196, 170), (90, 76, 60)), None),
    ("right horn", RIGHT_HORN, True, ((210, 196, 170), (90, 76, 60)), None),
    ("helmet", HELMET, True, IRON, GOLD_TRIM),
    ("left pauldron", LEFT_PAULDRON, True, IRON, GOLD_TRIM),
    ("arm", ARM, True, DARK_IRON, None),
    ("blade", BLADE, False, ((250, 244, 236), (110, 100, 100)), None),
    ("right pauldron", RIGHT_PAULDRON, True, IRON, GOLD_TRIM),
    ("guard", GUARD, False, ((250, 214, 120), (150, 100, 30)), None),
    ("grip", GRIP, False, ((70, 30, 16), (30, 10, 6)), None),
]


def _folds(img, cape, s):
    """Soft dark folds running down the cape."""
    folds = Image.new("L", img.size, 0)
    fd = ImageDraw.Draw(folds)
    for x0, x1 in ((200, 70), (225, 135), (250, 210), (280, 280)):
        fd.line([(x0 * s, 230 * s), ((x0 + x1) / 2 * s - 20 * s, 420 * s), (x1 * s, 600 * s)], fill=150, width=6 * s)
    folds = ImageChops.multiply(folds.filter(ImageFilter.GaussianBlur(4 * s)), cape)
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", img.size, (16, 0, 0, 255)), folds))


def draw(size):
    """The warrior on transparency, and his silhouette (an L mask)."""
    s = 2  # drawn at twice the size for smooth edges
    big = (size[0] * s, size[1] * s)
    img = Image.new("RGBA", big, (0, 0, 0, 0))
    silhouette = Image.new("L", big, 0)
    for name, outline, rounded, (top, bottom), trim in PARTS:
        pts = [(x * s, y * s) for x, y in (smooth(outline) if rounded else outline)]
        mask = Image.new("L", big, 0)
        ImageDraw.Draw(mask).polygon(pts, fill=255)
        ImageDraw.Draw(silhouette).polygon(pts, fill=255)
        box = mask.getbbox()
        grad = Image.new("RGBA", big, (0, 0, 0, 0))
        grad.paste(paint.vertical_gradient((big[0], box[3] - box[1]), [(0, top + (255,)), (1, bottom + (255,))]),
                   (0, box[1]))
        # Fire light from the right: a lighter copy through the part's right-hand edge.
        lit = ImageChops.subtract(mask, paint.shifted(mask.convert("RGBA"), 10 * s, 0).getchannel("A"))
        lit = lit.filter(ImageFilter.GaussianBlur(4 * s)).point(lambda v: v // 2)
        img.alpha_composite(paint.apply_mask(grad, mask))
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", big, (255, 120, 50, 255)),
                                             ImageChops.multiply(lit, mask)))
        if trim:
            ImageDraw.Draw(img).line(pts + [pts[0]], fill=trim, width=2 * s, joint="curve")
        if name == "cape":
            _folds(img, mask, s)
    d = ImageDraw.Draw(img)
    # Details: the breastplate's ridge, the blade's edge, the eyes.
    d.line([(268 * s, 222 * s), (268 * s, 370 * s)], fill=(130, 120, 120, 255), width=s)
    d.line([(396 * s, 192 * s), (526 * s, 38 * s)], fill=(255, 252, 244, 255), width=s)
    for ex in (252, 274):
        d.polygon([(ex * s, 170 * s), ((ex + 10) * s, 172 * s), (ex * s, 175 * s)], fill=(255, 200, 80, 255))
    eyes = Image.new("L", big, 0)
    ImageDraw.Draw(eyes).ellipse([246 * s, 164 * s, 290 * s, 180 * s], fill=220)
    img.alpha_composite(paint.glow(eyes, 6 * s, (255, 160, 40, 170)))
    # Rim light along the whole silhouette's upper right edge.
    rim = ImageChops.subtract(silhouette, paint.shifted(silhouette.convert("RGBA"), -3 * s, 3 * s).getchannel("A"))
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", big, (255, 200, 120, 255)),
                                         rim.filter(ImageFilter.GaussianBlur(s))))
    img = img.resize(size, Image.LANCZOS)
    silhouette = silhouette.resize(size, Image.LANCZOS)
    halo = paint.glow(silhouette, 22, (255, 110, 30, 190))
    halo.alpha_composite(img)
    return halo, silhouette
