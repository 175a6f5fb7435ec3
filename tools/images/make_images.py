#!/usr/bin/python3
"""Draws every picture of Korvex and Quellix into resources/.

Run with Debian's Python (python3-pil, fonts-wqy-zenhei):
    /usr/bin/python3 tools/images/make_images.py
The build does not run this script; its output is committed under resources/. The file names
of the pictures follow the ids of resources/resource.h (IDP_OFFICIAL_HOVER -> png/official_hover.png)."""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import background  # noqa: E402
import buttons  # noqa: E402
import icons  # noqa: E402
import logos  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
RES = os.path.join(ROOT, "resources")


def link(text, size, look):
    return lambda: buttons.link_text(text, size, look)


# id: (name in resource.h without IDP_, (width, height), mode, drawing)
CATALOGUE = {
    132: ("OFFICIAL_PRESSED", (71, 24), "RGBA", link("官方网站", (71, 24), "pressed")),
    133: ("OFFICIAL", (71, 24), "RGBA", link("官方网站", (71, 24), "normal")),
    134: ("OFFICIAL_HOVER", (71, 24), "RGBA", link("官方网站", (71, 24), "hover")),
    135: ("RECHARGE_PRESSED", (71, 24), "RGBA", link("充值中心", (71, 24), "pressed")),
    136: ("RECHARGE", (71, 24), "RGBA", link("充值中心", (71, 24), "normal")),
    137: ("RECHARGE_HOVER", (71, 24), "RGBA", link("充值中心", (71, 24), "hover")),
    138: ("FORUM_PRESSED", (71, 22), "RGBA", link("游戏论坛", (71, 22), "pressed")),
    139: ("FORUM", (71, 22), "RGBA", link("游戏论坛", (71, 22), "normal")),
    140: ("FORUM_HOVER", (71, 22), "RGBA", link("游戏论坛", (71, 22), "hover")),
    141: ("SERVICE_PRESSED", (71, 24), "RGBA", link("客服中心", (71, 24), "pressed")),
    142: ("SERVICE", (71, 24), "RGBA", link("客服中心", (71, 24), "normal")),
    143: ("SERVICE_HOVER", (71, 24), "RGBA", link("客服中心", (71, 24), "hover")),
    144: ("MINIMIZE_PRESSED", (27, 27), "RGBA", lambda: buttons.round_button("bar", "pressed")),
    145: ("MINIMIZE", (27, 27), "RGBA", lambda: buttons.round_button("bar", "normal")),
    146: ("MINIMIZE_HOVER", (27, 27), "RGBA", lambda: buttons.round_button("bar", "hover")),
    147: ("CLOSE_PRESSED", (27, 27), "RGBA", lambda: buttons.round_button("cross", "pressed")),
    148: ("CLOSE", (27, 27), "RGBA", lambda: buttons.round_button("cross", "normal")),
    149: ("CLOSE_HOVER", (39, 39), "RGBA", buttons.big_close_hover),
    150: ("LOGO_SMALL", (40, 40), "RGBA", lambda: logos.emblem(40)),
    152: ("LOGO_LARGE", (128, 128), "RGBA", lambda: logos.emblem(128)),
    153: ("LAUNCHER_BACKGROUND", (1081, 601), "RGBA", background.launcher_background),
    156: ("RECHARGE_ICON", (15, 15), "RGBA", lambda: buttons.title_icon("recharge", "normal")),
    157: ("RECHARGE_ICON_DISABLED", (15, 15), "RGBA", lambda: buttons.title_icon("recharge", "dimmed")),
    158: ("RECHARGE_ICON_HOVER", (15, 15), "RGBA", lambda: buttons.title_icon("recharge", "hover")),
    159: ("REFRESH_ICON", (15, 15), "RGBA", lambda: buttons.title_icon("refresh", "normal")),
    160: ("REFRESH_ICON_DISABLED", (15, 15), "RGBA", lambda: buttons.title_icon("refresh", "dimmed")),
    161: ("REFRESH_ICON_HOVER", (15, 15), "RGBA", lambda: buttons.title_icon("refresh", "hover")),
    162: ("HOME_ICON", (15, 15), "RGBA", lambda: buttons.title_icon("home", "normal")),
    163: ("HOME_ICON_DISABLED", (15, 15), "RGBA", lambda: buttons.title_icon("home", "dimmed")),
    164: ("HOME_ICON_HOVER", (15, 15), "RGBA", lambda: buttons.title_icon("home", "hover")),
    165: ("WIN_MINIMIZE", (22, 22), "RGB", lambda: buttons.window_button("minimize", "normal")),
    166: ("WIN_MINIMIZE_DISABLED", (22, 22), "RGB", lambda: buttons.window_button("minimize", "disabled")),
    167: ("WIN_MINIMIZE_HOVER", (22, 22), "RGB", lambda: buttons.window_button("minimize", "hover")),
    168: ("WIN_MAXIMIZE", (22, 22), "RGB", lambda: buttons.window_button("maximize", "normal")),
    169: ("WIN_MAXIMIZE_DISABLED", (22, 22), "RGB", lambda: buttons.window_button("maximize", "disabled")),
    170: ("WIN_MAXIMIZE_HOVER", (22, 22), "RGB", lambda: buttons.window_button("maximize", "hover")),
    171: ("WIN_CLOSE", (22, 22), "RGB", lambda: buttons.window_button("close", "normal")),
    172: ("WIN_CLOSE_DISABLED", (22, 22), "RGB", lambda: buttons.window_button("close", "disabled")),
    173: ("WIN_CLOSE_HOVER", (22, 22), "RGB", lambda: buttons.window_button("close", "hover")),
    177: ("BOSSKEY_ICON", (15, 15), "RGBA", lambda: buttons.title_icon("bosskey", "normal")),
    178: ("BOSSKEY_ICON_HOVER", (15, 15), "RGBA", lambda: buttons.title_icon("bosskey", "dimmed")),
    179: ("HIDE", (22, 22), "RGBA", lambda: buttons.hide_button("normal")),
    180: ("HIDE_HOVER", (22, 22), "RGBA", lambda: buttons.hide_button("hover")),
    183: ("TITLE_LOGO", (390, 178), "RGBA", logos.title_logo),
    184: ("CLEAR_CACHE_ICON", (15, 15), "RGBA", lambda: buttons.title_icon("broom", "normal")),
    185: ("CLEAR_CACHE_ICON_HOVER", (15, 15), "RGBA", lambda: buttons.title_icon("broom", "dimmed")),
}


def check_resource_header():
    """Every id of the catalogue must be the IDP_ id of the same name in resource.h, and back."""
    defined = {int(v): k[4:] for k, v in re.findall(r"#define (IDP_\w+) (\d+)",
                                                     open(os.path.join(RES, "resource.h")).read())}
    mine = {i: e[0] for i, e in CATALOGUE.items()}
    if defined != mine:
        sys.exit(f"resource.h and the catalogue differ: {sorted(set(defined.items()) ^ set(mine.items()))}")


def main():
    check_resource_header()
    os.makedirs(os.path.join(RES, "png"), exist_ok=True)
    only = {int(a) for a in sys.argv[1:]}
    for rid, (name, size, mode, draw) in sorted(CATALOGUE.items()):
        if only and rid not in only:
            continue
        img = draw()
        if img.size != size or img.mode != mode:
            sys.exit(f"picture {rid} is {img.size} {img.mode}, must be {size} {mode}")
        img.save(os.path.join(RES, "png", name.lower() + ".png"), optimize=True)
    if not only:
        icons.save_icon(icons.korvex_icon(), os.path.join(RES, "korvex.ico"))
        icons.save_icon(icons.quellix_icon(), os.path.join(RES, "quellix.ico"))


if __name__ == "__main__":
    main()
