#!/usr/bin/python3
"""Draws the rectangles of a configuration onto the launcher's background, for operators.

    /usr/bin/python3 tools/images/layout_picture.py [CONFIG.json] [OUT.png]

CONFIG.json is what `sysctrl decode` prints (default demo/sysctrl.json); the picture (default
docs/images/launcher-layout.png) shows each button's rectangle with its member name and the
login page's area. Run with Debian's Python (python3-pil, fonts-wqy-zenhei)."""

import json
import os
import sys

from PIL import Image, ImageDraw

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import paint  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
BUTTONS = ("rcOfficialBtn", "rcRechargeBtn", "rcServiceBtn", "rcForumBtn", "rcMinimizeBtn",
           "rcCloseBtn")


def main():
    config_path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "demo", "sysctrl.json")
    out_path = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "docs", "images",
                                                                   "launcher-layout.png")
    with open(config_path, encoding="utf-8") as f:
        config = json.load(f)
    background = Image.open(os.path.join(ROOT, "resources", "png", "launcher_background.png"))
    # The launcher's see-through edges shown over a neutral grey, as on a desktop.
    picture = Image.new("RGBA", background.size, (96, 96, 96, 255))
    picture.alpha_composite(background.convert("RGBA"))
    draw = ImageDraw.Draw(picture)
    small = paint.font(paint.WQY, 13)

    def label(xy, text, colour, anchor="la"):
        box = draw.textbbox(xy, text, font=small, anchor=anchor)
        draw.rectangle((box[0] - 3, box[1] - 2, box[2] + 3, box[3] + 2), fill=(0, 0, 0, 255))
        draw.text(xy, text, font=small, fill=colour, anchor=anchor)

    left, top = config["nBrowserLeft"], config["nBrowserTop"]
    right, bottom = left + config["nBrowserWidth"], top + config["nBrowserHeight"]
    draw.rectangle((left, top, right - 1, bottom - 1), outline=(0, 255, 255), width=2)
    label((left + 8, top + 8), f"nBrowserLeft, nBrowserTop = ({left}, {top})", (0, 255, 255))
    label((left + 8, top + 28),
          f"nBrowserWidth x nBrowserHeight = {right - left} x {bottom - top}: the login page",
          (0, 255, 255))

    for index, name in enumerate(BUTTONS):
        l, t, r, b = config[name]
        draw.rectangle((l, t, r - 1, b - 1), outline=(255, 255, 0), width=2)
        draw.ellipse((l - 3, t - 3, l + 3, t + 3), fill=(255, 64, 64))
        text = f"{name} ({l}, {t})"
        if name == "rcMinimizeBtn":  # to the left of the plate
            label((l - 12, t + 4), text, (255, 255, 0), anchor="ra")
        elif name == "rcCloseBtn":  # above the plate
            label((r, t - 14), text, (255, 255, 0), anchor="rb")
        else:  # the link buttons below the strip, on two rows
            label((l - 4, b + 14 + 20 * (index % 2)), text, (255, 255, 0))
    picture.convert("RGB").save(out_path)
    print(out_path)


if __name__ == "__main__":
    main()
