#!/usr/bin/python3
"""Reads a gallery page and every picture it shows with readers that are not ours.

Usage: check_gallery_page.py PAGE [--exact-thumbnails]

Pillow opens each GIF and JPEG the page names. The frame pictures must have their own
sizes; a thumbnail must have the shape the page gives it, and with --exact-thumbnails
(the memory-dots page, which shows its pictures unscaled) exactly that size. exiftool
must find the comment, the EXIF software and the IPTC caption in each thumbnail. Every
problem is printed; the status is 1 when there was any.
"""
import html.parser
import json
import os
import subprocess
import sys
import urllib.parse

from PIL import Image

FRAME_SIZES = {"top.gif": (94, 2), "left.gif": (3, 88), "right.gif": (3, 88), "bottom.gif": (94, 5)}
METADATA = {"Comment": "https://www.cobaltfinch.example/tarve", "Software": "Tarve",
            "Caption-Abstract": "Made with Tarve"}


class Images(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.found = []

    def handle_starttag(self, tag, attrs):
        if tag == "img":
            a = dict(attrs)
            self.found.append((a["src"], int(a["width"]), int(a["height"])))


def main():
    page, exact = sys.argv[1], "--exact-thumbnails" in sys.argv[2:]
    folder = os.path.dirname(os.path.abspath(page))
    parser = Images()
    with open(page, encoding="iso-8859-1") as f:
        parser.feed(f.read())
    problems, thumbnails = [], []
    for src, width, height in parser.found:
        path = os.path.join(folder, urllib.parse.unquote(src))
        name = os.path.basename(path)
        try:
            with Image.open(path) as image:
                image.load()
                kind, size = image.format, image.size
        except Exception as error:  # any reader failure is a finding
            problems.append(f"{src}: unreadable ({error})")
            continue
        if name in FRAME_SIZES:
            if kind != "GIF" or size != FRAME_SIZES[name]:
                problems.append(f"{src}: {kind} {size}, expected GIF {FRAME_SIZES[name]}")
            continue
        thumbnails.append((src, path))
        if kind != "JPEG":
            problems.append(f"{src}: {kind}, expected JPEG")
        elif exact and size != (width, height):
            problems.append(f"{src}: {size}, the page says {(width, height)}")
        elif size[0] * height != size[1] * width:
            problems.append(f"{src}: {size} does not have the shape {(width, height)} the page gives it")
    # One exiftool run for all thumbnails, which is slow to start.
    paths = [path for _, path in thumbnails]
    run = subprocess.run(["exiftool", "-j", *[f"-{k}" for k in METADATA], *paths],
                         capture_output=True, text=True, check=False) if paths else None
    read = {entry["SourceFile"]: entry for entry in json.loads(run.stdout or "[]")} if run else {}
    for src, path in thumbnails:
        tags = read.get(path, {})
        for key, value in METADATA.items():
            if tags.get(key) != value:
                problems.append(f"{src}: exiftool reads {key} as {tags.get(key)!r}, expected {value!r}")
    for problem in problems:
        print(problem)
    print(f"{len(parser.found)} images, {len(thumbnails)} thumbnails, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
