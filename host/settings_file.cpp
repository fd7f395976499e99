#include "host/settings_file.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "files/file_io.h"
#include "files/jpeg_writer.h"
#include "files/memory_dot_store.h"
#include "files/thumbnail.h"
#include "raster/memory.h"

namespace {

// Older files store smaller numbers than a hostile one might: fix-ups saturate instead of
// overflowing.
int32_t saturate(int64_t value) {
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

// Scaled in float, the type the value lives in, then truncated toward zero: a value read
// back from the file then writes the same number again, so repeated saves do not drift.
int32_t scaledToInt(float value, float factor) {
  const float scaled = value * factor;
  if (std::isnan(scaled)) return 0;
  if (scaled >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (scaled <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(scaled);
}

// ---- writing ----------------------------------------------------------------------

struct Writer {
  FileHandle file;
  OSErr error;  // the first failed write
};

void put(Writer& w, int32_t value) {
  const OSErr result = writeInt32(w.file, value);
  if (w.error == noErr) w.error = result;
}

void putColour(Writer& w, const Colour16& c) {
  put(w, c.red);
  put(w, c.green);
  put(w, c.blue);
}

void putVector(Writer& w, const Vector3& v) {
  put(w, scaledToInt(v.x, 100.0f));
  put(w, scaledToInt(v.y, 100.0f));
  put(w, scaledToInt(v.z, 100.0f));
}

// Flag 1, width, height, the stream's length and the stream; the single value 0 when there
// is no thumbnail or no memory to code it in.
void putThumbnail(Writer& w, const Raster* thumbnail) {
  const size_t capacity = jpegBufferSize(kThumbnailSide, kThumbnailSide);
  HostBuffer buffer;
  if (!thumbnail || !rasterExists(*thumbnail) || !allocateBuffer(thumbnail->memory, capacity, buffer)) {
    put(w, 0);
    return;
  }
  size_t length = 0;
  if (encodeThumbnail(*thumbnail, static_cast<uint8_t*>(buffer.data), capacity, length) == noErr) {
    put(w, 1);
    put(w, kThumbnailSide);
    put(w, kThumbnailSide);
    put(w, static_cast<int32_t>(length));
    const OSErr result = writeRaw(w.file, buffer.data, length);
    if (w.error == noErr) w.error = result;
  } else {
    put(w, 0);
  }
  freeBuffer(thumbnail->memory, buffer);
}

// ---- reading ----------------------------------------------------------------------

struct Reader {
  FileHandle file;
  OSErr error;  // the first failed read; every read after it does nothing
  Raster* thumbnail;
  ThumbnailRead* found;
};

bool ok(const Reader& r) { return r.error == noErr; }

// The value is stored only when it could be read.
void get(Reader& r, int32_t& value) {
  if (ok(r) && readInt32(r.file, value) != noErr) r.error = readErr;
}

void getScaled(Reader& r, float& value, float divisor) {
  int32_t raw;
  if (!ok(r)) return;
  get(r, raw);
  if (ok(r)) value = static_cast<float>(raw) / divisor;
}

void getChannel(Reader& r, uint16_t& channel) {
  int32_t raw;
  if (!ok(r)) return;
  get(r, raw);
  if (ok(r)) channel = static_cast<uint16_t>(raw);
}

void getColour(Reader& r, Colour16& c) {
  getChannel(r, c.red);
  getChannel(r, c.green);
  getChannel(r, c.blue);
}

void getVector(Reader& r, Vector3& v) {
  getScaled(r, v.x, 100.0f);
  getScaled(r, v.y, 100.0f);
  getScaled(r, v.z, 100.0f);
}

void skipValue(Reader& r) {
  int32_t ignored;
  get(r, ignored);
}

void skip(Reader& r, int64_t count) {
  while (ok(r) && count > 0) {
    const int32_t piece = static_cast<int32_t>(count > 1 << 30 ? 1 << 30 : count);
    if (skipBytes(r.file, piece) != noErr) r.error = readErr;
    count -= piece;
  }
}

int32_t clampSide(int32_t side) { return side < 0 ? 0 : side > kThumbnailSide ? kThumbnailSide : side; }

// Versions 22 to 39: raw RGB rows.
void getSmallThumbnail(Reader& r) {
  int32_t flag = 0, width = 0, height = 0;
  get(r, flag);
  if (!ok(r) || flag == 0) return;
  get(r, width);
  get(r, height);
  if (!ok(r)) return;
  width = clampSide(width);
  height = clampSide(height);
  r.found->width = width;
  r.found->height = height;
  const size_t pixels = size_t(width) * size_t(height);
  HostBuffer rgba;
  if (pixels == 0 || !r.thumbnail || !rasterExists(*r.thumbnail) ||
      !allocateBuffer(r.thumbnail->memory, pixels * 4, rgba)) {
    skip(r, int64_t(pixels) * 3);
    return;
  }
  uint8_t* out = static_cast<uint8_t*>(rgba.data);
  for (size_t i = 0; i < pixels && ok(r); ++i) {
    uint8_t rgb[3];
    if (readRaw(r.file, rgb, 3) != noErr) {
      r.error = readErr;
      break;
    }
    out[4 * i] = rgb[0];
    out[4 * i + 1] = rgb[1];
    out[4 * i + 2] = rgb[2];
    out[4 * i + 3] = 255;
  }
  if (ok(r) && placeThumbnail(out, width, height, *r.thumbnail)) r.found->loaded = true;
  freeBuffer(r.thumbnail->memory, rgba);
}

// Version 40: a JPEG stream.
void getThumbnail(Reader& r) {
  int32_t flag = 0, width = 0, height = 0, count = 0;
  get(r, flag);
  if (!ok(r) || flag == 0) return;
  get(r, width);
  get(r, height);
  get(r, count);
  if (!ok(r)) return;
  width = clampSide(width);
  height = clampSide(height);
  r.found->width = width;
  r.found->height = height;
  HostBuffer stream;
  if (flag > 1 || count < 0 || size_t(count) > kThumbnailStreamLimit || !r.thumbnail ||
      !rasterExists(*r.thumbnail) || !allocateBuffer(r.thumbnail->memory, kThumbnailStreamLimit, stream)) {
    skip(r, count);
    return;
  }
  if (readRaw(r.file, stream.data, size_t(count)) != noErr)
    r.error = readErr;
  else if (decodeThumbnail(static_cast<const uint8_t*>(stream.data), size_t(count), width, height, *r.thumbnail))
    r.found->loaded = true;
  freeBuffer(r.thumbnail->memory, stream);
}

// The values in the order of the file, with the fix-ups that bring older versions up to
// date at the points where they must happen.
void readBody(Reader& r, int32_t v, Settings& s) {
  getColour(r, s.waterColour);
  getColour(r, s.colourA);
  getColour(r, s.colourB);

  get(r, s.rippleHeight);
  for (int32_t* field : {&s.storedInt01, &s.storedInt02, &s.storedInt03, &s.horizon, &s.perspective, &s.storedInt04,
                         &s.storedInt05, &s.storedInt06, &s.storedInt07, &s.undulation, &s.storedInt08,
                         &s.storedInt09})
    get(r, *field);

  get(r, s.rippleSize);
  get(r, s.offset);
  if (!ok(r)) return;
  if (v < 15) s.offset = saturate(100 - int64_t(s.offset));

  for (int32_t* field : {&s.waviness, &s.blur, &s.complexity, &s.storedInt12, &s.storedInt13}) get(r, *field);
  getColour(r, s.colourE);
  getColour(r, s.colourE);  // stored twice; the second copy is the one that counts

  if (v >= 2) {
    getColour(r, s.colourG);
    get(r, s.altitude);
    get(r, s.storedInt11);
    get(r, s.storedInt10);
    if (!ok(r)) return;
    if (v < 11) s.storedInt10 = saturate(int64_t(s.storedInt10) + 1);
  }
  if (v >= 3) {
    get(r, s.glue);
    skipValue(r);
  }
  if (v >= 4) {
    get(r, s.storedInt14);
    get(r, s.storedInt15);
    get(r, s.storedInt17);
  }
  if (!ok(r)) return;
  if (v < 25) s.storedInt17 = 0;
  if (v >= 5) {
    get(r, s.brilliance);
    get(r, s.storedInt18);
    if (!ok(r)) return;
    if (v <= 12) s.storedInt18 = saturate(100 - int64_t(s.storedInt18));
  }
  if (v < 7) {
    s.colourE = s.waterColour;
    s.brilliance = 100;
    s.undulation = 50;
  }
  if (v >= 8) getVector(r, s.vectorA);
  if (!ok(r)) return;
  if (v < 9) s.altitude = 0;
  if (v >= 8) getVector(r, s.vectorB);
  if (v >= 12) get(r, s.randomSeed);
  if (v >= 14) get(r, s.storedInt16);
  if (v >= 16) skipValue(r);
  if (v >= 17) get(r, s.storedInt19);
  if (v >= 18) {
    getColour(r, s.colourC);
    getColour(r, s.colourD);
  }
  if (!ok(r)) return;
  if (v < 19) s.perspective = 57;
  if (v < 20) s.waviness = 0;
  if (v < 21) s.altitude = 50;
  if (v >= 22) getSmallThumbnail(r);
  if (v >= 23) getColour(r, s.colourF);
  if (!ok(r)) return;
  if (v < 24) {
    s.storedInt14 = 0;
    s.rippleHeight = saturate(static_cast<int64_t>(s.rippleHeight / 0.3));
  }
  if (v >= 26) {
    getScaled(r, s.centreX, 65536.0f);
    getScaled(r, s.centreY, 65536.0f);
  }
  if (v >= 40) getThumbnail(r);
}

}  // namespace

OSErr writeSettingsFile(const char* path, const Settings& s, const Raster* thumbnail) {
  Writer w{kNoFile, noErr};
  if (openFile(path, FileAccess::writing, w.file) != noErr) return kErrCannotOpen;
  put(w, kSettingsFileVersion);
  putColour(w, s.waterColour);
  putColour(w, s.colourA);
  putColour(w, s.colourB);
  for (int32_t value : {s.rippleHeight, s.storedInt01, s.storedInt02, s.storedInt03, s.horizon, s.perspective,
                        s.storedInt04, s.storedInt05, s.storedInt06, s.storedInt07, s.undulation, s.storedInt08,
                        s.storedInt09, s.rippleSize, s.offset, s.waviness, s.blur, s.complexity, s.storedInt12,
                        s.storedInt13})
    put(w, value);
  putColour(w, s.colourE);
  putColour(w, s.colourE);
  putColour(w, s.colourG);
  for (int32_t value : {s.altitude, s.storedInt11, s.storedInt10, s.glue, 1, s.storedInt14, s.storedInt15,
                        s.storedInt17, s.brilliance, s.storedInt18})
    put(w, value);
  putVector(w, s.vectorA);
  putVector(w, s.vectorB);
  for (int32_t value : {s.randomSeed, s.storedInt16, 1, s.storedInt19}) put(w, value);
  putColour(w, s.colourC);
  putColour(w, s.colourD);
  put(w, 0);  // the small thumbnail of older versions
  putColour(w, s.colourF);
  put(w, scaledToInt(s.centreX, 65536.0f));
  put(w, scaledToInt(s.centreY, 65536.0f));
  putThumbnail(w, thumbnail);
  // Cut here, so a file that held a longer thumbnail keeps none of it.
  const OSErr cut = setEndOfFile(w.file);
  if (w.error == noErr) w.error = cut;
  closeFile(w.file);
  return w.error;
}

OSErr readSettingsFile(const char* path, int32_t mode, Settings& settings, Raster* thumbnail, ThumbnailRead& found) {
  found = {false, 0, 0};
  Reader r{kNoFile, noErr, thumbnail, &found};
  if (openFile(path, FileAccess::reading, r.file) != noErr) return kErrCannotOpen;
  int32_t version = 0;
  get(r, version);
  if (ok(r) && (version < 1 || version > kSettingsFileVersion)) r.error = readErr;
  if (ok(r)) {
    // Mode 1 reads the same values into a copy that is thrown away.
    Settings read = settings;
    readBody(r, version, read);
    if (mode == kReadSettingsAndThumbnail) settings = read;
  }
  closeFile(r.file);
  return r.error;
}

OSErr loadCachedSettings(Settings& settings, Raster* thumbnail) {
  ThumbnailRead found;
  return readSettingsFile(cachedSettingsPath().path, kReadSettingsAndThumbnail, settings, thumbnail, found);
}

OSErr saveCachedSettings(const Settings& settings, const Raster* thumbnail) {
  return writeSettingsFile(cachedSettingsPath().path, settings, thumbnail);
}
