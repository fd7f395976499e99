#!/usr/bin/python3
"""The PSD documents of `tarve apply -o FILE.psd` as readers we did not write see them.

psd-tools reads every depth: one layer "layer 1" of the image's size with four channels,
whose pixels are those of the PNG (8 bits) or TIFF (16 and 32 bits) written from the same
render, and the input's colour profile in its resource. exiftool finds the caption, the keywords and the software. With --gimp, GIMP 2.10
in batch mode opens the 8-bit document as one layer "layer 1" and the 16-bit one as its
merged picture (it reads no 16-bit layers); it refuses the 32-bit document's toning record,
so the writer's tests check those bytes instead.

Usage: psd_readers.py TARVE [--gimp]. Exit 0: all good; 77: GIMP is not installed.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import zlib

try:
    import numpy as np
    import tifffile
    from PIL import Image, ImageCms
    from psd_tools import PSDImage
except ImportError as missing:
    sys.exit(f"scripts/install-deps installs the readers: {missing}")

WIDTH, HEIGHT = 120, 80
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print(f"FAILED: {what}")


def run(args):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"{' '.join(args)} failed: {done.stderr.strip()}")
    return done.stdout


def make_input(folder):
    """A sky over ground, with transparency that changes across the picture."""
    y, x = np.mgrid[0:HEIGHT, 0:WIDTH]
    pixels = np.zeros((HEIGHT, WIDTH, 4), np.uint8)
    pixels[..., 0] = 40 + x
    pixels[..., 1] = np.where(y < HEIGHT // 2, 120 + y, 60)
    pixels[..., 2] = np.where(y < HEIGHT // 2, 220, 30 + x // 2)
    pixels[..., 3] = np.where(x < WIDTH // 3, 255, 255 - x)
    path = os.path.join(folder, "in.png")
    profile = ImageCms.ImageCmsProfile(ImageCms.createProfile("sRGB")).tobytes()
    Image.fromarray(pixels, "RGBA").save(path, icc_profile=profile)
    return path, profile


def float_tiff(path):
    """A deflated float TIFF with the floating-point predictor, which tifffile leaves to a
    codec package Debian lacks: each row holds the samples' bytes most significant first,
    one plane of bytes after another, each byte the difference from the byte one pixel
    before."""
    page = tifffile.TiffFile(path).pages[0]
    height, width, samples = page.shape
    rows = []
    with open(path, "rb") as f:
        for offset, count in zip(page.dataoffsets, page.databytecounts):
            f.seek(offset)
            strip = np.frombuffer(zlib.decompress(f.read(count)), np.uint8)
            for row in strip.reshape(-1, width * samples * 4):
                summed = np.cumsum(row.reshape(-1, samples), axis=0, dtype=np.uint8)
                planes = summed.reshape(4, width * samples)
                rows.append(planes.T.copy().view(">f4").reshape(width, samples))
    return np.stack(rows)[:height].astype(np.float32)


def reference(path, depth):
    """The same render written as PNG or TIFF, as floats 0..1 (alpha included)."""
    if depth == 8:
        return np.asarray(Image.open(path).convert("RGBA"), np.float32) / 255
    if depth == 16:
        return tifffile.imread(path).astype(np.float32) / 65535
    return float_tiff(path)


def check_psd_tools(path, depth, expected, profile):
    psd = PSDImage.open(path)
    check(psd.image_resources.get_data(1039) == profile, f"{depth}: the input's profile in resource 1039")
    check(psd.depth == depth, f"{depth}: depth {psd.depth}")
    check(psd.channels == (4 if depth == 16 else 3), f"{depth}: {psd.channels} merged channels")
    check(len(psd) == 1, f"{depth}: {len(psd)} layers")
    layer = psd[0]
    check(layer.name == "layer 1", f"{depth}: layer name {layer.name!r}")
    check(layer.size == (WIDTH, HEIGHT), f"{depth}: layer size {layer.size}")
    ids = [c.id for c in layer._record.channel_info]
    check(ids == [-1, 0, 1, 2], f"{depth}: channel ids {ids}")
    pixels = layer.numpy()
    check(pixels.shape == (HEIGHT, WIDTH, 4), f"{depth}: layer pixels {pixels.shape}")
    # 16-bit files meet the host's 0..32768 scale in two ways (doubling and rounding), a
    # step apart at most.
    tolerance = {8: 0.0, 16: 1.5 / 65535, 32: 0.0}[depth]
    difference = float(np.abs(pixels - expected).max())
    check(difference <= tolerance, f"{depth}: layer differs from the reference by {difference}")
    merged = psd.numpy()
    check(merged.shape[:2] == (HEIGHT, WIDTH), f"{depth}: merged picture {merged.shape}")


def check_exiftool(path, depth):
    tags = json.loads(run(["exiftool", "-j", "-Caption-Abstract", "-Keywords", "-Software", path]))[0]
    check(tags.get("Caption-Abstract") == "Made with Tarve", f"{depth}: caption {tags.get('Caption-Abstract')!r}")
    keywords = tags.get("Keywords")
    expected = ["Tarve"] + (["HDR", "high dynamic range"] if depth == 32 else []) + ["superlay"]
    check(keywords == expected, f"{depth}: keywords {keywords!r}")
    check(tags.get("Software") == "Tarve", f"{depth}: software {tags.get('Software')!r}")


GIMP_SCRIPT = """
(define (describe f)
  (let* ((img (car (gimp-file-load RUN-NONINTERACTIVE f f)))
         (layers (gimp-image-get-layers img))
         (l (vector-ref (cadr layers) 0)))
    (gimp-message (string-append "psd " f " " (number->string (car layers)) " "
      (car (gimp-item-get-name l)) " "
      (number->string (car (gimp-drawable-width l))) "x" (number->string (car (gimp-drawable-height l)))))))
"""


def check_gimp(folder, documents):
    gimp = shutil.which("gimp-console")
    if not gimp:
        print("skipped: no gimp-console")
        sys.exit(77)
    script = os.path.join(folder, "describe.scm")
    with open(script, "w") as f:
        f.write(GIMP_SCRIPT)
        f.writelines(f'(describe "{path}")\n' for path in documents)
    environment = dict(os.environ, GIMP2_DIRECTORY=os.path.join(folder, "gimp-profile"))
    done = subprocess.run([gimp, "-i", "-d", "-f", "-n", "-c", "--batch-interpreter=plug-in-script-fu-eval",
                           "-b", f'(load "{script}")', "-b", "(gimp-quit 0)"],
                          capture_output=True, text=True, env=environment, timeout=600)
    lines = (done.stdout + done.stderr).splitlines()
    seen = [os.path.basename(line.split(" psd ", 1)[1]) for line in lines if " psd " in line]
    print("GIMP:", seen)
    check(seen == [f"out8.psd 1 layer 1 {WIDTH}x{HEIGHT}", f"out16.psd 1 Background {WIDTH}x{HEIGHT}"],
          f"GIMP saw {seen}")


def main():
    tarve = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        source, profile = make_input(folder)
        documents = {}
        for depth, picture in ((8, "out8.png"), (16, "out16.tif"), (32, "out32.tif")):
            document = os.path.join(folder, f"out{depth}.psd")
            for output in (document, os.path.join(folder, picture)):
                run([tarve, "apply", source, "-o", output, "--depth", str(depth), "--glue", "superlay"])
            documents[depth] = document
            check_psd_tools(document, depth, reference(os.path.join(folder, picture), depth), profile)
            check_exiftool(document, depth)
        if "--gimp" in sys.argv:
            check_gimp(folder, [documents[8], documents[16]])
    print(f"{len(failures)} failures")
    sys.exit(1 if failures else 0)


main()
