#!/usr/bin/python3
"""Draws every picture of Korvex and Quellix into resources/.

Run with Debian's Python (python3-pil, fonts-wqy-zenhei): /usr/bin/python3 tools/images/make_images.py
The build does not run this script; its output is committed under resources/."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import icons  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
RES = os.path.join(ROOT, "resources")


def main():
    icons.save_icon(icons.korvex_icon(), os.path.join(RES, "korvex.ico"))
    icons.save_icon(icons.quellix_icon(), os.path.join(RES, "quellix.ico"))


if __name__ == "__main__":
    main()
