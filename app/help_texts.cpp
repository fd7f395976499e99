#include "app/help_texts.h"

#include "app/host/setting_names.h"

namespace {

const char* const kOverview = R"(tarve: draws lying water below a horizontal water line in a picture.

Usage:
  tarve apply INPUT -o OUTPUT [options]   render the water into an image file
  tarve apply INPUT... -d FOLDER [options]
                                          render many images into a folder
  tarve glues                             list the glue modes with their numbers
  tarve preset info FILE.q8r              print every setting of a preset as JSON
  tarve preset make OUT.q8r [options]     write a preset
  tarve gallery FOLDER -o PAGE.html       a web page of the presets in FOLDER
  tarve about [--module FILE]             show the filter module's about box
  tarve COMMAND --help                    everything about one command
  tarve --version

Images: PNG, TIFF, JPEG and WebP, grey or RGB, with or without alpha, 8 or 16 bits
per sample (TIFF also 32-bit float). Photographs are turned upright by their EXIF
orientation, and their metadata is kept. Errors print one line and exit with status
2; an interrupted run (Ctrl-C) exits with 130. Neither leaves a file behind.
)";

const char* const kAbout = R"(tarve about [--module FILE]

Asks the filter module for its about box, as an image editor does from its menu, and
waits until the box is closed. The box needs a display; without one tarve says so and
exits with status 2.
)";

const char* const kApplyUsage = R"(tarve apply INPUT -o OUTPUT [options]
tarve apply INPUT... -d FOLDER [options]

Runs the Tarve filter module on INPUT as an image editor would and writes the result
to OUTPUT. The module is asked for Prepare, Start, Continue (as long as it wants data)
and Finish; the settings are played to it without its dialog.

INPUT is a PNG, TIFF, JPEG or WebP file (recognised by its contents). OUTPUT's format
comes from its name: .png, .tif or .tiff, .jpg or .jpeg, .webp, .psd. OUTPUT may be
INPUT. It is written whole or not at all: the data goes to a hidden temporary file in
the same folder, which replaces OUTPUT at the end; an error or Ctrl-C leaves OUTPUT as
it was.

Photographs: a picture whose EXIF orientation is not 1 (a phone's portrait) is turned
the way it is seen before the filter runs, so that the water lies at its bottom, and
is written upright with orientation 1. Its metadata goes into OUTPUT where the format
has a place for it: the ICC profile (which the filter is offered too), EXIF (without
its thumbnail), XMP, IPTC (JPEG and TIFF only), the resolution and PNG text chunks
(PNG only). The software tag becomes "Tarve" and IPTC gets the keyword "Tarve".
Metadata that is damaged, or too large for a JPEG segment, is left out with a note.

Grey stays grey and the depth stays the input's: 8 or 16 bits (16-bit files are
mapped to the filter's 0..32768 scale and back, and every level the filter can
produce comes back unchanged), or 32-bit float (TIFF and PSD only). An alpha channel is
handed to the filter as editable transparency and written back. The image modes the
module's property list does not enable are refused.

A .psd OUTPUT is a layered Photoshop document at the image's depth (8, 16 or 32
bits): one layer, "layer 1", with the result and its transparency, a merged picture
over a light checkerboard, and the caption "Made with Tarve" with keywords (the glue
mode's name unless it is normal; "HDR" at 32 bits). Grey images become RGB. The
input's profile goes in (not with --strip); its EXIF, XMP and IPTC do not.

Options:
  -o, --output FILE     the file to write (required)
  --depth 8|16|32       convert the image to this many bits per sample before the
                        filter runs, and write it so (32: float; TIFF or PSD only)
  --mask FILE           a grey image of the same size: the selection, 255 fully
                        selected, 0 untouched (any depth, converted to 8 bits)
  --quality N           JPEG and WebP quality of the output, 1 to 100 (default 90)
  --lossless            write WebP without loss (--quality is then ignored)
  --no-auto-orient      keep the stored pixel order and the EXIF orientation
  --strip               write no metadata at all: no profile, EXIF, XMP, IPTC,
                        resolution or text
  --threads N           render on N threads, 1 to 256 (default: one per processor,
                        in a batch the cores divided by -j; other hosts of the
                        module read TARVE_THREADS)

Batches (with -d; each file runs in a process of its own):
  -d, --output-dir DIR  the folder the outputs go into, which must exist; each
                        output has its input's name
  --format FORMAT       png, jpg, tif, webp or psd: the outputs' format (by default
                        each input's own)
  --suffix TEXT         added to each name before the extension, such as _water
  -j, --jobs N          files at once (default: the number of cores); each render's
                        threads (--threads) default to the cores divided by N
  --overwrite           replace outputs that exist (without it they are kept and
                        count as failed)
  A file that fails is one line on standard error and the batch goes on; at the end
  one line counts the files. The status is 0 when every file was written and 2
  otherwise; Ctrl-C stops the batch (status 130) and leaves only whole files.

Settings (by default the filter's defaults, played as a scripting descriptor):
  --set NAME=VALUE      change one setting; repeat for more (names below)
  --glue NAME|NUMBER    the glue mode, such as "superlay" or 13 (tarve glues)
  --colour RRGGBB       the water colour in hexadecimal, such as 1E3A5F (--color)
  --seed N              the random seed of the ripples and waves
  --centre X,Y          the centre of the ripple rings as fractions of the width
                        and height, such as 0.5,0.2 (--center)
  --last                start from the last-used settings (the file the filter's
                        dialog writes into $TMPDIR when it closes with OK)
  --preset FILE.q8r     start from a preset: every field, colours at full 16 bits;
                        the last-used settings are neither read nor changed
  --action FILE         replay an action recorded with --record
  --record FILE         write the values the filter handed back at the end of the
                        run: a text file, one KEY TYPE VALUE a line (comments after
                        #), that --action replays
  Only one of --last, --preset and --action; the other settings options change
  single values on top of the choice, in the order given.
  --dialog              open the filter's dialog on the desktop with those settings:
                        OK renders and writes FILE and keeps the settings for --last;
                        Cancel writes nothing and ends with status 1. The dialog's
                        memory dots, undo levels and last-used settings stay in
                        $TMPDIR (or /tmp/) for the next --dialog run. A preset or
                        --set on --last reaches it as an action would: water colours
                        at 8 bits per channel

Feedback:
  --quiet, -q           no progress bar
  --progress            a progress bar on standard error even when it is not a
                        terminal (by default only on a terminal)

Module:
  --module FILE         the filter module to load (default: $TARVE_MODULE, or
                        Tarve.8bf beside the tarve program); its property list is
                        the file of the same name ending in .pipl

)";

const char* const kGlues = R"(tarve glues

Lists the 62 glue modes, which combine the water with the picture, with the numbers
that --glue, --set glue=... and settings files use.
)";

const char* const kPreset = R"(tarve preset info FILE.q8r
tarve preset make OUT.q8r [settings options] [--thumbnail IMAGE]

preset info prints the settings file's version and every field of the settings it
holds (after bringing older versions up to date) as a JSON object, with whether a
thumbnail picture is embedded and its width and height. Colours are 16-bit channels.

preset make writes a settings file (version 40) from the filter's defaults, or from
--last, --preset FILE or --action FILE, changed by --set, --glue, --colour, --seed
and --centre as for tarve apply (tarve apply --help).

  --thumbnail IMAGE     embed a thumbnail made from IMAGE (PNG, TIFF or JPEG) as the
                        filter's dialog makes one from its preview: the image reduced
                        to fit the preview, its top-left square scaled to 128 x 128.
                        Give a picture rendered with these settings (tarve apply) to
                        show the look; galleries and the open dialog show it.
                        Without it the file holds no thumbnail.
)";

const char* const kGallery = R"(tarve gallery FOLDER -o PAGE.html [--open]

Writes a web page that shows every preset in FOLDER (each file whose name holds
".q8r", in any case) as its embedded thumbnail in a shadow frame, five to a row,
captioned with its name: the presets gallery of the filter's dialog, without the
dialog. Beside the page, the folder web_images receives a JPEG of each thumbnail and
the four frame pictures; files of the same names there are replaced. A preset
without a thumbnail shows a blank grey gradient.

  -o, --output PAGE.html   the page to write (required); printed when it is written
  --open                   show the page with the desktop's default browser
)";

std::string settingsList() {
  std::string out = "Setting names for --set (by name or by field; case, spaces, - and _ do not matter):\n";
  int32_t count = 0;
  const SettingName* names = settingNames(count);
  for (int32_t i = 0; i < count; ++i) {
    std::string left = std::string("  \"") + names[i].name + "\"";
    if (names[i].field && std::string(names[i].field) != names[i].name) left += std::string(" or ") + names[i].field;
    left.resize(std::max<size_t>(left.size() + 2, 40), ' ');
    out += left + names[i].values + "\n";
  }
  return out;
}

// The Windows build has none of the libraries of PNG, TIFF, WebP and the photographs'
// metadata.
#ifdef _WIN32
constexpr const char* kBuildNote = R"(
This Windows build reads and writes JPEG and writes PSD documents; PNG, TIFF and WebP
files, EXIF orientation and EXIF, XMP and IPTC metadata are the Linux build's.
)";
#else
constexpr const char* kBuildNote = "";
#endif

}  // namespace

bool helpText(const std::string& topic, std::string& text) {
  if (topic.empty()) {
    text = std::string(kOverview) + kBuildNote;
  } else if (topic == "apply") {
    text = std::string(kApplyUsage) + settingsList();
  } else if (topic == "glues") {
    text = kGlues;
  } else if (topic == "preset") {
    text = kPreset;
  } else if (topic == "about") {
    text = kAbout;
  } else if (topic == "gallery") {
    text = kGallery;
  } else {
    return false;
  }
  return true;
}
