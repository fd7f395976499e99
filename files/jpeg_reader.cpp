#include "files/jpeg_reader.h"

#include <jerror.h>

#include <algorithm>

#include "files/jpeg_error_trap.h"

namespace {

// Bounds for a hostile stream. A thumbnail needs a few hundred kilobytes of decoder memory
// and a handful of scans; libjpeg refuses more memory than this with a fatal error, and the
// progress monitor refuses a stream with more scans, each of which would walk the picture.
constexpr long kMaxDecoderMemory = 64L << 20;
constexpr int kMaxScans = 100;

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

// The data is all there from the start: asking for more means the stream broke off.
// Decoding stops there, keeping the rows finished before the break, instead of making up
// the rest of the picture.
boolean brokenOff(j_decompress_ptr d) { failJpeg(reinterpret_cast<j_common_ptr>(d), JERR_INPUT_EOF); }

void skipData(j_decompress_ptr d, long count) {
  if (count <= 0) return;
  if (static_cast<size_t>(count) > d->src->bytes_in_buffer) brokenOff(d);
  d->src->next_input_byte += count;
  d->src->bytes_in_buffer -= static_cast<size_t>(count);
}

void limitScans(j_common_ptr object) {
  j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(object);
  if (d->input_scan_number > kMaxScans) failJpeg(object, JERR_NOT_COMPILED);
}

struct DecompressJob {
  jpeg_decompress_struct d;
  JpegErrorTrap trap;
  jpeg_source_mgr source;
  jpeg_progress_mgr progress;
  const uint8_t* data;
  size_t size;
  const PixelTarget* target;
  int32_t rows;
};

void storeRow(const DecompressJob& job, const JSAMPLE* samples) {
  const PixelTarget& t = *job.target;
  uint8_t* out = t.pixels + job.rows * t.stride;
  const int32_t width = std::min<int32_t>(t.width, static_cast<int32_t>(job.d.output_width));
  const bool colour = job.d.output_components == 3;
  for (int32_t x = 0; x < width; ++x) {
    const JSAMPLE* s = samples + (colour ? 3 * x : x);
    const int r = s[0], g = colour ? s[1] : r, b = colour ? s[2] : r;
    if (t.channels == 1) {
      out[x] = colour ? static_cast<uint8_t>((77 * r + 150 * g + 28 * b) >> 8) : static_cast<uint8_t>(r);
    } else {
      uint8_t* p = out + 4 * x;
      p[0] = static_cast<uint8_t>(r);
      p[1] = static_cast<uint8_t>(g);
      p[2] = static_cast<uint8_t>(b);
      p[3] = 255;
    }
  }
}

bool runDecompression(DecompressJob& job) {
  j_decompress_ptr d = &job.d;
  d->err = installErrorTrap(job.trap);
  if (setjmp(job.trap.jump)) {
    jpeg_destroy_decompress(d);
    return false;
  }
  jpeg_create_decompress(d);
  d->mem->max_memory_to_use = kMaxDecoderMemory;
  job.progress.progress_monitor = limitScans;
  d->progress = &job.progress;
  job.source.init_source = startSource;
  job.source.fill_input_buffer = brokenOff;
  job.source.skip_input_data = skipData;
  job.source.resync_to_restart = jpeg_resync_to_restart;
  job.source.term_source = endSource;
  job.source.next_input_byte = job.data;
  job.source.bytes_in_buffer = job.size;
  d->src = &job.source;

  jpeg_read_header(d, TRUE);
  // Grey stays grey and everything with three components comes out as RGB; four-component
  // (CMYK) pictures are not thumbnails of ours.
  if (d->num_components != 1 && d->num_components != 3) failJpeg(reinterpret_cast<j_common_ptr>(d), JERR_CONVERSION_NOTIMPL);
  d->out_color_space = d->num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(d);

  JSAMPARRAY samples = (*d->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(d), JPOOL_IMAGE,
                                               d->output_width * static_cast<JDIMENSION>(d->output_components), 1);
  // Rows below the target are never decoded: a picture that claims to be huge costs only
  // as much as the target.
  const JDIMENSION wanted = std::min<JDIMENSION>(d->output_height, static_cast<JDIMENSION>(job.target->height));
  while (d->output_scanline < wanted) {
    if (jpeg_read_scanlines(d, samples, 1) != 1) break;
    storeRow(job, samples[0]);
    ++job.rows;
  }
  const bool whole = d->output_scanline == wanted;
  if (d->output_scanline == d->output_height) jpeg_finish_decompress(d);
  jpeg_destroy_decompress(d);
  return whole;
}

}  // namespace

OSErr decompressJpeg(const uint8_t* data, size_t size, const PixelTarget& target, int32_t& rows) {
  rows = 0;
  if (!data || size == 0 || !target.pixels || target.width <= 0 || target.height <= 0 ||
      (target.channels != 1 && target.channels != 4))
    return readErr;
  DecompressJob job{};
  job.data = data;
  job.size = size;
  job.target = &target;
  const bool whole = runDecompression(job);
  rows = job.rows;
  return whole ? noErr : readErr;
}
