// Bad input, bad options and interruptions, met the way a user meets them: one line on
// standard error, status 2 (130 for Ctrl-C), no output file, the input untouched.
#include <cstdio>

#include <jpeglib.h>
#include <tiffio.h>

#include <csignal>
#include <functional>

#include "tests/app/tarve_program.h"

namespace {

struct Workspace {
  ScratchFolder folder;
  std::string input = folder.file("in.png");
  Workspace() { writeImage(input, sceneImage(32, 24, 8, 3, false)); }
  std::string file(const std::string& name) const { return folder.file(name); }
  void writeText(const std::string& name, const std::string& text) const {
    writeWholeFile(file(name), std::vector<uint8_t>(text.begin(), text.end()));
  }
  // The first `keep` bytes of a good file of this name.
  void writeTruncated(const std::string& name, const HostImage& image, double keep) const {
    writeImage(file(name), image);
    std::vector<uint8_t> bytes = readWholeFile(file(name));
    bytes.resize(size_t(double(bytes.size()) * keep));
    writeWholeFile(file(name), bytes);
  }
};

void writeOneBitTiff(const std::string& path) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 8u);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1u);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(1));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
  uint8_t row = 0xA5;
  TIFFWriteScanline(tif, &row, 0, 0);
  TIFFClose(tif);
}

void writeCmykJpeg(const std::string& path) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  FILE* f = std::fopen(path.c_str(), "wb");
  jpeg_stdio_dest(&info, f);
  info.image_width = 8;
  info.image_height = 8;
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(32, 100);
  for (JSAMPROW p = row.data(); info.next_scanline < 8;) jpeg_write_scanlines(&info, &p, 1);
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(f);
}

struct Case {
  const char* what;
  std::function<void(const Workspace&)> prepare;
  std::vector<std::string> args;  // "IN" is the workspace's input, "@name" a file in it
  const char* message;
};

}  // namespace

TEST(ProgramFailures, EachProblemIsOneLineAndLeavesNothingBehind) {
  const auto none = [](const Workspace&) {};
  const Case cases[] = {
      {"missing input", none, {"apply", "@nothing.png", "-o", "@out.png"}, "No such file"},
      {"input is a folder", [](const Workspace& w) { std::filesystem::create_directory(w.file("dir")); },
       {"apply", "@dir", "-o", "@out.png"}, "not a file"},
      {"empty input", [](const Workspace& w) { w.writeText("empty.png", ""); }, {"apply", "@empty.png", "-o", "@out.png"},
       "the file is empty"},
      {"not an image", [](const Workspace& w) { w.writeText("notes.png", "hello\n"); },
       {"apply", "@notes.png", "-o", "@out.png"}, "not a PNG, TIFF, JPEG or WebP file"},
      {"truncated PNG", [](const Workspace& w) { w.writeTruncated("cut.png", sceneImage(64, 64, 8, 3, false), 0.5); },
       {"apply", "@cut.png", "-o", "@out.png"}, "damaged or truncated PNG data"},
      {"corrupt PNG",
       [](const Workspace& w) {
         writeImage(w.file("bad.png"), sceneImage(64, 64, 8, 3, false));
         std::vector<uint8_t> bytes = readWholeFile(w.file("bad.png"));
         for (size_t i = 60; i < 80; ++i) bytes[i] ^= 0x5A;  // inside the image data: its checksum fails
         writeWholeFile(w.file("bad.png"), bytes);
       },
       {"apply", "@bad.png", "-o", "@out.png"}, "damaged or truncated PNG data"},
      {"truncated JPEG", [](const Workspace& w) { w.writeTruncated("cut.jpg", sceneImage(64, 64, 8, 3, false), 0.6); },
       {"apply", "@cut.jpg", "-o", "@out.png"}, "damaged or truncated JPEG data"},
      {"truncated TIFF", [](const Workspace& w) { w.writeTruncated("cut.tif", sceneImage(64, 64, 16, 3, false), 0.5); },
       {"apply", "@cut.tif", "-o", "@out.png"}, "TIFF"},
      {"1-bit TIFF", [](const Workspace& w) { writeOneBitTiff(w.file("bits.tif")); }, {"apply", "@bits.tif", "-o", "@out.png"},
       "1-bit integer TIFF samples are not supported"},
      {"CMYK JPEG", [](const Workspace& w) { writeCmykJpeg(w.file("cmyk.jpg")); }, {"apply", "@cmyk.jpg", "-o", "@out.png"},
       "only grey and RGB JPEG images"},
      {"mask of another size", [](const Workspace& w) { writeImage(w.file("m.png"), makeHostImage(31, 24, 8, 1, false)); },
       {"apply", "IN", "-o", "@out.png", "--mask", "@m.png"}, "is 31 x 24 pixels, the image 32 x 24"},
      {"colour mask", [](const Workspace& w) { writeImage(w.file("m.png"), makeHostImage(32, 24, 8, 3, false)); },
       {"apply", "IN", "-o", "@out.png", "--mask", "@m.png"}, "must be a grey image"},
      {"missing output folder", none, {"apply", "IN", "-o", "@no/such/folder/out.png"}, "cannot write"},
      {"output is a folder", [](const Workspace& w) { std::filesystem::create_directory(w.file("d.png")); },
       {"apply", "IN", "-o", "@d.png"}, "not a file"},
      {"unknown output format", none, {"apply", "IN", "-o", "@out.bmp"}, "cannot tell the format"},
      {"16 bits into JPEG", [](const Workspace& w) { writeImage(w.file("deep.png"), sceneImage(8, 8, 16, 3, false)); },
       {"apply", "@deep.png", "-o", "@out.jpg"}, "add --depth 8"},
      {"alpha into JPEG", [](const Workspace& w) { writeImage(w.file("a.png"), sceneImage(8, 8, 8, 3, true)); },
       {"apply", "@a.png", "-o", "@out.jpg"}, "JPEG files have no transparency"},
      {"too wide for PSD", [](const Workspace& w) { writeImage(w.file("wide.png"), makeHostImage(30001, 1, 8, 3, false)); },
       {"apply", "@wide.png", "-o", "@out.psd"}, "PSD files hold at most 30000 pixels a side"},
      {"float into PNG", none, {"apply", "IN", "-o", "@out.png", "--depth", "32"}, "add --depth 16"},
      {"bad depth", none, {"apply", "IN", "-o", "@out.png", "--depth", "12"}, "--depth is 8, 16 or 32"},
      {"bad quality", none, {"apply", "IN", "-o", "@out.jpg", "--quality", "0"}, "--quality is a whole number"},
      {"bad thread count", none, {"apply", "IN", "-o", "@out.png", "--threads", "0"}, "--threads is a whole number"},
      {"unknown option", none, {"apply", "IN", "-o", "@out.png", "--frobnicate"}, "unknown option --frobnicate"},
      {"option of another command", none, {"preset", "make", "@p.q8r", "--mask", "IN"}, "unknown option --mask"},
      {"option without value", none, {"apply", "IN", "-o"}, "-o needs a value"},
      {"no output", none, {"apply", "IN"}, "give the output file with -o"},
      {"two inputs", none, {"apply", "IN", "IN", "-o", "@out.png"}, "one input image only (several go into a folder with -d)"},
      {"unknown command", none, {"reflect", "IN"}, "unknown command \"reflect\""},
      {"unknown setting", none, {"apply", "IN", "-o", "@out.png", "--set", "ripple hight=5"},
       "unknown setting \"ripple hight\" (did you mean \"ripple height\"?)"},
      {"setting without value", none, {"apply", "IN", "-o", "@out.png", "--set", "blur"}, "--set needs NAME=VALUE"},
      {"setting out of range", none, {"apply", "IN", "-o", "@out.png", "--set", "blur=101"},
       "outside its range: 0 to 100"},
      {"water channel out of range", none, {"apply", "IN", "-o", "@out.png", "--set", "water red=256"},
       "outside its range: 0 to 255"},
      {"setting not a number", none, {"apply", "IN", "-o", "@out.png", "--set", "horizon=high"}, "needs a whole number"},
      {"centre out of range", none, {"apply", "IN", "-o", "@out.png", "--centre", "0.5,200"}, "\"Y center\" is outside"},
      {"centre without comma", none, {"apply", "IN", "-o", "@out.png", "--centre", "0.5"}, "--centre needs X,Y"},
      {"unknown glue", none, {"apply", "IN", "-o", "@out.png", "--glue", "superley"}, "(did you mean \"superlay\"?)"},
      {"glue number too high", none, {"apply", "IN", "-o", "@out.png", "--glue", "63"}, "there is no glue 63"},
      {"bad colour", none, {"apply", "IN", "-o", "@out.png", "--colour", "blue"}, "six hexadecimal digits"},
      {"two setting sources", none, {"apply", "IN", "-o", "@out.png", "--last", "--preset", "@p.q8r"}, "give only one"},
      {"missing preset", none, {"apply", "IN", "-o", "@out.png", "--preset", "@p.q8r"}, "cannot read the preset"},
      {"not a preset", [](const Workspace& w) { w.writeText("p.q8r", "\x7F\x7F\x7F\x7F and more"); },
       {"apply", "IN", "-o", "@out.png", "--preset", "@p.q8r"}, "not a Tarve settings file"},
      {"preset info on a picture", none, {"preset", "info", "IN"}, "not a Tarve settings file"},
      {"no last-used settings", none, {"apply", "IN", "-o", "@out.png", "--last"}, "no last-used settings yet"},
      {"missing action", none, {"apply", "IN", "-o", "@out.png", "--action", "@a.txt"}, "cannot read the action"},
      {"malformed action", [](const Workspace& w) { w.writeText("a.txt", "# fine\n0004 long seventy\n"); },
       {"apply", "IN", "-o", "@out.png", "--action", "@a.txt"}, "line 2: \"seventy\" is not a 32-bit whole number"},
      {"unwritable record", none, {"apply", "IN", "-o", "@out.png", "--record", "@no/such/a.txt"}, "cannot write"},
      {"missing module", none, {"apply", "IN", "-o", "@out.png", "--module", "@Other.8bf"}, "cannot read the property list"},
      {"WebP that lies about its size",
       [](const Workspace& w) {
         // A lossless WebP whose header announces a wider picture than its data holds.
         const HostImage image = sceneImage(16, 16, 8, 3, false);
         std::string error;
         ASSERT_TRUE(writeImageFile(w.file("lie.webp"), ImageFormat::webp, image, {90, true}, nullptr, error)) << error;
         std::vector<uint8_t> bytes = readWholeFile(w.file("lie.webp"));
         ASSERT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "VP8L");
         bytes[21] = 0xFF;  // the low bits of width - 1
         writeWholeFile(w.file("lie.webp"), bytes);
       },
       {"apply", "@lie.webp", "-o", "@out.png"}, "damaged or truncated WebP data"},
      {"16 bits into WebP", [](const Workspace& w) { writeImage(w.file("deep.png"), sceneImage(8, 8, 16, 3, false)); },
       {"apply", "@deep.png", "-o", "@out.webp"}, "WebP files hold 8 bits per sample"},
      {"lossless JPEG", none, {"apply", "IN", "-o", "@out.jpg", "--lossless"}, "JPEG files are always lossy"},
      {"batch option with -o", none, {"apply", "IN", "-o", "@out.png", "--suffix", "_w"}, "--suffix is for batches"},
      {"both -o and -d", none, {"apply", "IN", "-o", "@out.png", "-d", "@"}, "give only one of them"},
      {"missing batch folder", none, {"apply", "IN", "-d", "@no/such"}, "cannot write into"},
      {"batch folder is a file", none, {"apply", "IN", "-d", "IN"}, "not a folder"},
      {"unknown batch format", none, {"apply", "IN", "-d", "@", "--format", "bmp"}, "--format is png, jpg, tif, webp or psd"},
      {"bad job count", none, {"apply", "IN", "-d", "@", "-j", "0"}, "-j is the number of files at once"},
      {"suffix with a folder", none, {"apply", "IN", "-d", "@", "--suffix", "a/b"}, "cannot hold a /"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Workspace w;
    c.prepare(w);
    const auto entriesBefore = folderEntries(w.folder.path);
    const std::vector<uint8_t> inputBefore = readWholeFile(w.input);
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(a == "IN" ? w.input : a[0] == '@' ? w.file(a.substr(1)) : a);
    expectOneLineFailure(runTarve(args), c.message);
    EXPECT_EQ(folderEntries(w.folder.path), entriesBefore);
    EXPECT_EQ(readWholeFile(w.input), inputBefore);
  }
}

TEST(ProgramFailures, ImageModesThePropertyListDoesNotEnableAreRefused) {
  ScratchFolder folder;
  // A copy of the module whose property list no longer enables 8-bit grey images.
  const std::string module = folder.file("Tarve.8bf");
  std::filesystem::copy_file(TARVE_MODULE_PATH, module);
  std::vector<uint8_t> list = readWholeFile(std::string(TARVE_MODULE_PATH).substr(0, std::string(TARVE_MODULE_PATH).size() - 4) + ".pipl");
  const std::string grey = "GrayScaleMode";
  auto at = std::search(list.begin(), list.end(), grey.begin(), grey.end());
  ASSERT_NE(at, list.end());
  at[grey.size() - 1] = 'X';
  writeWholeFile(folder.file("Tarve.pipl"), list);

  writeImage(folder.file("grey.png"), sceneImage(16, 16, 8, 1, false));
  writeImage(folder.file("rgb.png"), sceneImage(16, 16, 8, 3, false));
  expectOneLineFailure(runTarve({"apply", folder.file("grey.png"), "-o", folder.file("out.png"), "--module", module}),
                       "does not take images of this kind (GrayScaleMode)");
  EXPECT_FALSE(fileExists(folder.file("out.png")));
  EXPECT_EQ(runTarve({"apply", folder.file("rgb.png"), "-o", folder.file("out.png"), "--module", module}).status, 0);
}

TEST(ProgramFailures, CtrlCAbortsTheRunAndLeavesTheOutputAsItWas) {
  ScratchFolder folder;
  const std::string input = folder.file("big.png"), output = folder.file("out.png");
  writeImage(input, sceneImage(3000, 2000, 8, 3, false));
  for (bool outputExists : {false, true}) {
    SCOPED_TRACE(outputExists ? "over an existing output" : "a new output");
    if (outputExists) writeWholeFile(output, {'o', 'l', 'd'});
    int outFd = -1, errFd = -1;
    const pid_t pid = startTarve({"apply", input, "-o", output, "--progress"}, outFd, errFd);
    ASSERT_GT(pid, 0);
    // The first progress report means the module is at work.
    std::string err;
    char c;
    while (err.find('%') == std::string::npos && read(errFd, &c, 1) == 1) err += c;
    kill(pid, SIGINT);
    err += drain(errFd);
    drain(outFd);
    EXPECT_EQ(waitStatus(pid), 130);
    EXPECT_NE(err.find("tarve: interrupted: nothing was written\n"), std::string::npos) << err;
    if (outputExists)
      EXPECT_EQ(readWholeFile(output), (std::vector<uint8_t>{'o', 'l', 'd'}));
    else
      EXPECT_FALSE(fileExists(output));
    EXPECT_EQ(folderEntries(folder.path).size(), outputExists ? 2u : 1u);
  }
}
