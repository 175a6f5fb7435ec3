"""The launcher's background (1081 x 601): a warrior on the left, the title logo on a dragon
frame, a framed red panel where the login page lies, a dark strip for the link buttons, a plate
for the minimise and close buttons, the healthy-gaming notice, and soft transparent edges."""

import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

import logos
import paint
import warrior as warrior_art

SIZE = (1081, 601)
# The launcher's fixed layout, in launcher pixels (the demo configuration uses the same).
PANEL = (400, 170, 860, 450)  # left, top, right (exclusive), bottom (exclusive)
FRAME = 14  # width of the frame around the panel
STRIP = (386, 456, 874, 504)  # the dark strip under the link buttons
WINDOW_BUTTONS = (842, 121, 919, 162)  # the plate under minimise (850,128) and close (884,128)

NOTICE = ("抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。",
          "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。")


def _scene():
    """The opaque painted backdrop: a smouldering red sky, clouds, mountains and embers."""
    w, h = SIZE
    rnd = random.Random(1153)
    img = paint.vertical_gradient(SIZE, [(0, (26, 6, 6, 255)), (0.45, (92, 20, 10, 255)),
                                         (0.7, (60, 14, 8, 255)), (1, (14, 4, 4, 255))])
    img.alpha_composite(paint.apply_mask(paint.radial(SIZE, (0.24, 0.5), 0.36, (255, 120, 40), (0, 0, 0)),
                                         Image.radial_gradient("L").resize(SIZE).point(lambda v: max(0, 200 - v))))
    # Clouds: smoothed noise, tinted.
    noise = Image.effect_noise((w // 8, h // 8), 90).filter(ImageFilter.GaussianBlur(3)).resize(SIZE, Image.BICUBIC)
    clouds = noise.point(lambda v: max(0, min(255, (v - 120) * 3)))
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, (220, 90, 40, 255)), clouds.point(lambda v: v // 4)))
    # Two ranges of mountains.
    for base, colour, jag in ((420, (40, 10, 8, 255), 60), (480, (22, 6, 4, 255), 40)):
        pts = [(0, h)]
        x = 0
        while x <= w:
            pts.append((x, base - rnd.randint(0, jag) - (jag if x % 240 < 120 else 0) // 2))
            x += rnd.randint(30, 70)
        pts += [(w, h)]
        mtn = Image.new("L", SIZE, 0)
        ImageDraw.Draw(mtn).polygon(pts, fill=255)
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, colour), mtn.filter(ImageFilter.GaussianBlur(1))))
    # Embers.
    embers = Image.new("L", SIZE, 0)
    ed = ImageDraw.Draw(embers)
    for _ in range(180):
        x, y, r = rnd.randint(0, w), rnd.randint(40, h - 40), rnd.choice((1, 1, 1.5, 2, 2.5))
        ed.ellipse([x - r, y - r, x + r, y + r], fill=rnd.randint(120, 255))
    img.alpha_composite(paint.glow(embers, 3, (255, 150, 40, 200)))
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, (255, 220, 150, 255)), embers))
    return img


def _shadow(img, shape):
    """Darkens img under a shape that shape(draw) draws into a mask (opacity = mask value)."""
    mask = Image.new("L", SIZE, 0)
    shape(ImageDraw.Draw(mask))
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, (8, 2, 0, 255)), mask))


def _frame(img):
    """The bronze frame with gold trim around the panel, dragon claws on its corners, the red panel,
    the strip under the buttons and the plate of the window buttons."""
    d = ImageDraw.Draw(img)
    l, t, r, b = PANEL
    f = FRAME
    # Drop shadow under the whole frame.
    shadow = Image.new("L", SIZE, 0)
    ImageDraw.Draw(shadow).rectangle([l - f - 6, t - f - 4, r + f + 6, STRIP[3] + 10], fill=220)
    img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, (0, 0, 0, 255)), shadow.filter(ImageFilter.GaussianBlur(8))))
    # Frame body.
    outer = (l - f, t - f, r + f - 1, b + f - 1)
    frame = paint.vertical_gradient(SIZE, [(0, (150, 100, 40, 255)), (0.5, (84, 50, 18, 255)), (1, (130, 86, 34, 255))])
    fm = Image.new("L", SIZE, 0)
    ImageDraw.Draw(fm).rectangle(outer, fill=255)
    img.alpha_composite(paint.apply_mask(frame, fm))
    d.rectangle(outer, outline=paint.GOLD_LIGHT, width=2)
    d.rectangle((l - f + 4, t - f + 4, r + f - 5, b + f - 5), outline=(60, 30, 8, 255), width=1)
    d.rectangle((l - 3, t - 3, r + 2, b + 2), outline=paint.GOLD, width=2)
    d.rectangle((l - 1, t - 1, r, b), outline=(40, 10, 4, 255), width=1)
    # Studs along the frame.
    for x in range(l + 20, r, 40):
        for y in (t - f / 2, b + f / 2 - 1):
            d.ellipse([x - 2.5, y - 2.5, x + 2.5, y + 2.5], fill=paint.GOLD_LIGHT, outline=paint.GOLD_DARK)
    # The red panel that the login page covers.
    panel = paint.radial(SIZE, ((l + r) / 2 / SIZE[0], (t + b) / 2 / SIZE[1]), 0.26, (186, 30, 22), (110, 12, 10))
    pm = Image.new("L", SIZE, 0)
    ImageDraw.Draw(pm).rectangle((l, t, r - 1, b - 1), fill=255)
    img.alpha_composite(paint.apply_mask(panel, pm))
    # Dragon claws on the four corners.
    for cx, cy, sx, sy in ((l - f, t - f, -1, -1), (r + f - 1, t - f, 1, -1), (l - f, b + f - 1, -1, 1),
                           (r + f - 1, b + f - 1, 1, 1)):
        claw = [(cx + sx * 26, cy + sy * 4), (cx + sx * 8, cy + sy * 10), (cx + sx * 20, cy + sy * 22),
                (cx + sx * 4, cy + sy * 20), (cx + sx * 10, cy + sy * 26), (cx - sx * 4, cy - sy * 4),
                (cx - sx * 22, cy - sy * 10), (cx - sx * 10, cy + sy * 2), (cx - sx * 18, cy + sy * 14)]
        claw = [(x, y) for x, y in claw]
        _shadow(img, lambda m: m.polygon([(x + 2, y + 3) for x, y in claw], fill=200))
        d.polygon(claw, fill=paint.GOLD, outline=paint.GOLD_DARK)
        d.ellipse([cx - 6, cy - 6, cx + 6, cy + 6], fill=(210, 30, 20, 255), outline=paint.GOLD_LIGHT, width=2)
    # The strip under the link buttons.
    sl, st, sr, sb = STRIP
    sm = Image.new("L", SIZE, 0)
    ImageDraw.Draw(sm).rounded_rectangle((sl, st, sr - 1, sb - 1), radius=8, fill=255)
    strip = paint.vertical_gradient(SIZE, [(0, (36, 10, 6, 255)), (0.3, (22, 6, 4, 255)), (1, (10, 2, 2, 255))])
    img.alpha_composite(paint.apply_mask(strip, sm))
    d.rounded_rectangle((sl, st, sr - 1, sb - 1), radius=8, outline=paint.GOLD_DARK, width=2)
    d.line([(sl + 10, st + 2), (sr - 11, st + 2)], fill=paint.GOLD, width=1)
    # Separators between the link buttons (at x 420, 521, 622, 723; 71 wide each).
    for x in (506, 607, 708):
        d.line([(x, st + 13), (x, sb - 13)], fill=(120, 80, 30, 255), width=1)
        d.ellipse([x - 2, (st + sb) / 2 - 2, x + 2, (st + sb) / 2 + 2], fill=paint.GOLD)
    # The plate of the minimise and close buttons.
    pl, pt, pr, pb = WINDOW_BUTTONS
    _shadow(img, lambda m: m.rounded_rectangle((pl + 2, pt + 3, pr + 2, pb + 3), radius=14, fill=200))
    d.rounded_rectangle((pl, pt, pr, pb), radius=14, fill=(40, 12, 8, 255), outline=paint.GOLD_DARK, width=2)
    d.rounded_rectangle((pl + 3, pt + 3, pr - 3, pb - 3), radius=11, outline=(150, 100, 40, 255), width=1)


def _notice(img):
    fnt = paint.font(paint.WQY, 13)
    y0 = STRIP[3] + 16
    cx = (STRIP[0] + STRIP[2]) / 2
    for i, line in enumerate(NOTICE):
        m = paint.text_mask(SIZE, line, fnt, (cx, y0 + 19 * i))
        halo = m.filter(ImageFilter.MaxFilter(3)).filter(ImageFilter.GaussianBlur(1.5))
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, (0, 0, 0, 255)), halo))
        img.alpha_composite(paint.apply_mask(Image.new("RGBA", SIZE, (236, 214, 170, 255)), m))


def launcher_background():
    w, h = SIZE
    img = _scene()
    warrior, warrior_shape = warrior_art.draw(SIZE)
    img.alpha_composite(warrior)
    _frame(img)
    _notice(img)
    logo = logos.title_logo((370, 169))
    cx = (PANEL[0] + PANEL[2]) // 2

    # Alpha: soft ellipses around the artwork, solid under the frame, strip, plate and logo.
    soft = Image.new("L", SIZE, 0)
    sd = ImageDraw.Draw(soft)
    sd.ellipse([-60, 40, 560, 720], fill=255)   # warrior and the glow behind him
    sd.ellipse([300, 60, 1000, 600], fill=255)   # around the panel
    sd.rectangle([330, 120, 960, 560], fill=255)
    soft = soft.filter(ImageFilter.GaussianBlur(34))
    soft = soft.point(lambda v: 0 if v < 24 else min(255, int((v - 24) * 1.4)))
    solid = Image.new("L", SIZE, 0)
    od = ImageDraw.Draw(solid)
    od.rectangle([PANEL[0] - FRAME - 30, PANEL[1] - FRAME - 30, PANEL[2] + FRAME + 30, STRIP[3] + 8], fill=255)
    od.rectangle(WINDOW_BUTTONS, fill=255)
    solid = solid.filter(ImageFilter.GaussianBlur(6))
    solid.paste(255, (PANEL[0] - FRAME - 8, PANEL[1] - FRAME - 8, PANEL[2] + FRAME + 8, STRIP[3] + 4))
    solid.paste(255, (WINDOW_BUTTONS[0], WINDOW_BUTTONS[1], WINDOW_BUTTONS[2] + 1, WINDOW_BUTTONS[3] + 1))
    alpha = ImageChops.lighter(soft, solid)
    alpha = ImageChops.lighter(alpha, warrior_shape.filter(ImageFilter.GaussianBlur(2)))
    # Soft outer edges; the corners are always fully transparent.
    corners = Image.new("L", SIZE, 0)
    ImageDraw.Draw(corners).rounded_rectangle([18, 18, w - 19, h - 19], radius=60, fill=255)
    corners = corners.filter(ImageFilter.GaussianBlur(14))
    out = img.copy()
    out.putalpha(ImageChops.multiply(ImageChops.multiply(img.getchannel("A"), alpha), corners))
    # The title logo on top, with its own transparency.
    out.alpha_composite(logo, (cx - logo.width // 2, 2))
    return out
