#!/usr/bin/env python3
"""GIMP in batch mode runs plug-in-tarve on images and saves them; the pixels must be the
tarve program's on the same images with the same settings. Bad input must leave the image
as it was with one message. The plug-in is installed into a GIMP folder of this run's own,
never the user's.

usage: gimp_batch_check.py BUILD-FOLDER SOURCE-FOLDER
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

BUILD, SOURCE = (os.path.abspath(p) for p in sys.argv[1:3])
WORK = tempfile.mkdtemp(prefix="gimp-batch-")
GIMP_HOME = os.path.join(WORK, "gimp2")
failures = []
passed = 0

# One choice of every setting, in the procedure's order, and the same for tarve apply.
SETTINGS = "30 60 90 70 55 57 40 35 10 40 25 50 50 13 42 7 0.4 0.3"
APPLY = ["--colour", "1E3C5A", "--set", "ripple height=70", "--set", "horizon=55", "--set", "ripple size=35",
         "--set", "offset=10", "--glue", "13", "--seed", "7", "--centre", "0.4,0.3"]
# What a "repeat last" call passes: values the run must not take.
IGNORED = "0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 0 0.0 0.0"
SELECTION = (20, 30, 70, 40)  # x, y, width, height


def check(name, condition, detail=""):
    global passed
    if condition:
        passed += 1
    else:
        failures.append(name + (": " + detail if detail else ""))
        print("FAILED", name, detail)


def path(name):
    return os.path.join(WORK, name)


def run(command, env=None):
    return subprocess.run(command, capture_output=True, text=True, env=env)


def magick(*args):
    result = run(["convert", *args])
    if result.returncode:
        raise SystemExit("convert failed: " + result.stderr)


def samples(image, region=None):
    """Every sample of an image file as 16-bit RGBA (grey repeated), optionally cropped."""
    crop = ["-crop", "%dx%d+%d+%d" % (region[2], region[3], region[0], region[1])] if region else []
    out = subprocess.run(["convert", image, "+repage", *crop, "+repage", "-depth", "16", "rgba:-"], capture_output=True, check=True).stdout
    return struct.unpack(">%dH" % (len(out) // 2), out)


def outside(image, region):
    """The image with the region blacked out, for comparing what lies around it."""
    x, y, w, h = region
    target = image + ".outside.png"
    magick(image, "-fill", "black", "-draw", "rectangle %d,%d %d,%d" % (x, y, x + w - 1, y + h - 1), target)
    return samples(target)


def tarve_apply(source, target, *extra):
    result = run([os.path.join(BUILD, "tarve"), "apply", source, "-o", target, "-q", *APPLY, *extra])
    if result.returncode:
        raise SystemExit("tarve apply failed: " + result.stderr)


def gimp(commands, module=None):
    """Runs the Script-Fu commands in one batch session; returns GIMP's combined output."""
    # The module keeps its state files in the temporary folder: this run's own. Its dialog
    # runs headless, where nobody answers it: it is cancelled.
    env = dict(os.environ, GIMP2_DIRECTORY=GIMP_HOME, TMPDIR=WORK, TARVE_UI="headless")
    env.pop("TARVE_MODULE", None)
    if module:
        env["TARVE_MODULE"] = module
    batch = ["gimp-console-2.10", "-i", "-d", "-f"]
    for command in commands:
        batch += ["-b", command]
    result = run(batch + ["-b", "(gimp-quit 0)"], env)
    return result.stdout + result.stderr


def load(image):
    return '(img (car (gimp-file-load RUN-NONINTERACTIVE "%s" "%s"))) (d (car (gimp-image-get-active-drawable img)))' % (
        image, image)


def tarve_call(mode="RUN-NONINTERACTIVE", settings=SETTINGS):
    return "(plug-in-tarve %s img d %s)" % (mode, settings)


def save(target):
    return '(gimp-file-save RUN-NONINTERACTIVE img d "%s" "%s")' % (target, target)


def filtered(source, target, before="", mode="RUN-NONINTERACTIVE", after=""):
    return "(let* (%s) %s %s %s %s)" % (load(source), before, tarve_call(mode), after, save(target))


def refused(source, target, before="", mode="RUN-NONINTERACTIVE", settings=SETTINGS):
    """The call inside a catch, with the image saved before it (as TARGET-before.png) and
    after the failure."""
    return "(let* (%s) %s %s (catch #f %s) %s)" % (load(source), before, save(target[:-4] + "-before.png"),
                                                   tarve_call(mode, settings), save(target))


def main():
    installed = run([os.path.join(SOURCE, "scripts/install-gimp-plugin"), BUILD],
                    dict(os.environ, GIMP2_DIRECTORY=GIMP_HOME))
    check("the plug-in installs into the GIMP folder of $GIMP2_DIRECTORY",
          installed.stdout.strip() == os.path.join(GIMP_HOME, "plug-ins", "tarve"), installed.stdout + installed.stderr)

    # GTK 2 and the GTK 3 of the module's dialog cannot share a process.
    for program in (os.path.join(BUILD, "gimp", "tarve"), os.path.join(BUILD, "Tarve.8bf")):
        libraries = run(["ldd", program]).stdout
        check("ldd lists what %s loads" % os.path.basename(program), "libc.so" in libraries, libraries)
        check("%s loads no GTK 2 library" % os.path.basename(program), "gtk-x11-2.0" not in libraries, libraries)

    scene = os.path.join(BUILD, "sample-scene.png")
    magick(scene, "-resize", "120x80!", "-strip", "-depth", "8", "PNG24:" + path("rgb8.png"))
    magick(path("rgb8.png"), "-alpha", "set", "-channel", "A", "-fx", "0.2+0.8*i/w", "+channel", "-strip",
           "PNG32:" + path("rgba8.png"))
    magick(path("rgb8.png"), "-colorspace", "gray", "-strip", "-define", "png:color-type=0", "-depth", "8",
           path("grey8.png"))
    # Resampled at 16 bits, so that the samples use the levels the host's scale does not have.
    magick(scene, "-depth", "16", "-resize", "120x80!", "-strip", "PNG48:" + path("rgb16.png"))

    indexed = "(gimp-image-convert-indexed img CONVERT-DITHER-NONE CONVERT-PALETTE-GENERATE 16 FALSE FALSE \"\")"
    x, y, w, h = SELECTION
    select = "(gimp-image-select-rectangle img CHANNEL-OP-REPLACE %d %d %d %d)" % SELECTION
    moved = "(gimp-layer-set-offsets d 10 5) (gimp-image-select-rectangle img CHANNEL-OP-REPLACE %d %d %d %d)" % (
        x + 10, y + 5, w, h)
    # A layer smaller than the canvas, and a selection beside it.
    beside = "(gimp-layer-resize d 40 40 0 0) (gimp-image-select-rectangle img CHANNEL-OP-REPLACE 80 50 20 20)"
    out = gimp([
        filtered(path("rgb8.png"), path("gimp-rgb8.png")),
        filtered(path("rgba8.png"), path("gimp-rgba8.png")),
        filtered(path("grey8.png"), path("gimp-grey8.png")),
        filtered(path("rgb16.png"), path("gimp-rgb16.png")),
        filtered(path("rgb8.png"), path("gimp-float.tif"), before="(gimp-image-convert-precision img PRECISION-FLOAT-GAMMA)"),
        filtered(path("rgb8.png"), path("gimp-selected.png"), before=select),
        # The same selection with the layer moved on the canvas: GIMP's selection lies on the
        # canvas, the filter rectangle on the layer.
        filtered(path("rgb8.png"), path("gimp-moved.png"), before=moved),
        # "Repeat last" plays what the run before recorded.
        "(let* (%s) %s %s)" % (load(path("rgb8.png")), tarve_call("RUN-WITH-LAST-VALS", IGNORED), save(path("gimp-last.png"))),
        refused(path("rgb8.png"), path("gimp-indexed.png"), before=indexed),
        refused(path("rgb8.png"), path("gimp-beside.png"), before=beside),
        refused(path("rgb8.png"), path("gimp-range.png"), settings=SETTINGS.replace("70", "170", 1)),
        # A cancelled dialog ends the run without a change.
        refused(path("rgb8.png"), path("gimp-interactive.png"), mode="RUN-INTERACTIVE"),
    ])

    tarve_apply(path("rgb8.png"), path("tarve-rgb8.png"))
    tarve_apply(path("rgba8.png"), path("tarve-rgba8.png"))
    tarve_apply(path("grey8.png"), path("tarve-grey8.png"))
    tarve_apply(path("rgb16.png"), path("tarve-rgb16.png"))
    tarve_apply(path("rgb8.png"), path("tarve-float.tif"), "--depth", "32")
    magick(path("rgb8.png"), "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage", path("rgb8-part.png"))
    tarve_apply(path("rgb8-part.png"), path("tarve-part.png"))

    for kind in ("rgb8", "rgba8", "grey8"):
        check("8-bit %s equals tarve apply" % kind, samples(path("gimp-%s.png" % kind)) == samples(path("tarve-%s.png" % kind)))
    # Compared as 16-bit samples: the same to within 1/65535.
    check("32-bit float equals tarve apply", samples(path("gimp-float.tif")) == samples(path("tarve-float.tif")))
    check("the filter changed the picture", samples(path("gimp-rgb8.png")) != samples(path("rgb8.png")))
    check("repeat last equals the run it repeats", samples(path("gimp-last.png")) == samples(path("tarve-rgb8.png")))

    # 16 bits: GIMP's 0..65535 goes to the host's 0..32768 and back. Every sample the filter
    # changed equals tarve apply's; one it left alone keeps GIMP's exact value where tarve
    # apply's has made the round trip.
    original, ours, theirs = samples(path("rgb16.png")), samples(path("gimp-rgb16.png")), samples(path("tarve-rgb16.png"))
    host = lambda v: (v * 32768 + 32767) // 65535
    back = lambda v: (min(v, 32768) * 65535 + 16384) // 32768
    kept = sum(1 for o, g in zip(original, ours) if o == g and back(host(o)) != o)
    wrong = sum(1 for o, g, t in zip(original, ours, theirs) if g != t and not (g == o and t == back(host(o))))
    check("16-bit samples equal tarve apply's, untouched ones GIMP's own", wrong == 0, "%d samples differ" % wrong)
    check("16-bit samples the filter left alone keep levels the host scale lacks", kept > 0)

    for case in ("selected", "moved"):
        result = path("gimp-%s.png" % case)
        check("%s: with a selection the pixels outside are untouched" % case,
              outside(result, SELECTION) == outside(path("rgb8.png"), SELECTION))
        check("%s: with a selection the pixels inside are the filter's on the selected part" % case,
              samples(result, SELECTION) == samples(path("tarve-part.png")))

    def unchanged(case):
        before, after = path("gimp-%s-before.png" % case), path("gimp-%s.png" % case)
        return os.path.exists(after) and samples(before) == samples(after)

    for case, words in (("indexed", "IndexedColorMode"), ("beside", "selection leaves nothing"),
                        ("range", "outside its range"), ("interactive", None)):
        check("%s: the image is unchanged" % case, unchanged(case))
        if words:
            check("%s: one message says why" % case, out.count(words) == 1, out)
    check("no plug-in crashed", "crashed" not in out and "terminated" not in out.lower(), out)

    # A module that is missing, or a library that is no Tarve module, is one message too.
    foreign = path("Foreign.8bf")
    shutil.copy(os.path.join(BUILD, "Tarve.pipl"), path("Foreign.pipl"))
    shutil.copy(next(p for p in ("/lib/x86_64-linux-gnu/libz.so.1", "/usr/lib/x86_64-linux-gnu/libz.so.1")
                     if os.path.exists(p)), foreign)
    for case, module, words in (("missing", path("Missing.8bf"), "cannot read the property list"),
                                ("foreign", foreign, "has no entry point PluginMain")):
        out = gimp([refused(path("rgb8.png"), path("gimp-%s.png" % case))], module)
        check("%s module: one message says why" % case, out.count(words) == 1, out)
        check("%s module: the image is unchanged" % case, unchanged(case))

    print("%d passed, %d failed" % (passed, len(failures)))
    if not failures:
        shutil.rmtree(WORK, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
