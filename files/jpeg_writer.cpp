#include "files/jpeg_writer.h"

#include <jerror.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "files/file_io.h"
#include "files/jpeg_error_trap.h"
#include "files/jpeg_quant_tables.h"
#include "raster/memory.h"

namespace {

constexpr size_t kStagingSize = 4096;
constexpr int32_t kJpegMaximumSide = 65500;  // libjpeg's limit on a side
constexpr size_t kIccChunkBytes = 65519;  // a segment's 65533 bytes less the chunk header
constexpr int kIccHeaderSize = 14;        // "ICC_PROFILE", 0, chunk number, chunk count

// The stream is staged 4096 bytes at a time and moved into the caller's buffer; a stream
// that outgrows the buffer is a fatal error rather than a write past its end.
struct MemoryDestination {
  jpeg_destination_mgr manager;
  JOCTET staging[kStagingSize];
  uint8_t* output;
  size_t capacity;
  size_t length;
};

void moveStaged(j_compress_ptr c, size_t count) {
  MemoryDestination& d = *reinterpret_cast<MemoryDestination*>(c->dest);
  if (count > d.capacity - d.length) failJpeg(reinterpret_cast<j_common_ptr>(c), JERR_FILE_WRITE);
  std::memcpy(d.output + d.length, d.staging, count);
  d.length += count;
  d.manager.next_output_byte = d.staging;
  d.manager.free_in_buffer = kStagingSize;
}

void startDestination(j_compress_ptr c) {
  MemoryDestination& d = *reinterpret_cast<MemoryDestination*>(c->dest);
  d.length = 0;
  d.manager.next_output_byte = d.staging;
  d.manager.free_in_buffer = kStagingSize;
}

boolean stagingFull(j_compress_ptr c) {
  moveStaged(c, kStagingSize);
  return TRUE;
}

void endDestination(j_compress_ptr c) { moveStaged(c, kStagingSize - c->dest->free_in_buffer); }

// Everything the compression touches lives here, outside the frame that calls setjmp, so
// nothing it needs after a jump back is a local that the jump could leave stale.
struct CompressJob {
  jpeg_compress_struct c;
  JpegErrorTrap trap;
  MemoryDestination destination;
  const JpegSource* source;
  const JpegOptions* options;
  int32_t width, height;  // of the coded picture, each at least 16
  uint8_t* row;           // width triplets
  const std::vector<uint8_t>* exif;
  const std::vector<uint8_t>* iptc;
};

void writeIccProfile(j_compress_ptr c, const uint8_t* profile, size_t size) {
  const size_t chunks = (size + kIccChunkBytes - 1) / kIccChunkBytes;
  if (chunks == 0 || chunks > 255) return;  // a chunk count is one byte: such a profile cannot travel
  for (size_t n = 0; n < chunks; ++n) {
    const size_t first = n * kIccChunkBytes, count = std::min(kIccChunkBytes, size - first);
    jpeg_write_m_header(c, JPEG_APP0 + 2, static_cast<unsigned int>(kIccHeaderSize + count));
    for (const char* p = "ICC_PROFILE"; *p; ++p) jpeg_write_m_byte(c, *p);
    jpeg_write_m_byte(c, 0);
    jpeg_write_m_byte(c, static_cast<int>(n + 1));
    jpeg_write_m_byte(c, static_cast<int>(chunks));
    for (size_t i = 0; i < count; ++i) jpeg_write_m_byte(c, profile[first + i]);
  }
}

// The source row, widened to the coded width by repeating its last pixel.
void fetchRow(CompressJob& job, int32_t y) {
  const JpegSource& s = *job.source;
  s.readRow(s.context, std::min(y, s.height - 1), s.width, job.row);
  for (int32_t x = s.width; x < job.width; ++x) std::memcpy(job.row + 3 * x, job.row + 3 * (s.width - 1), 3);
}

bool runCompression(CompressJob& job) {
  j_compress_ptr c = &job.c;
  c->err = installErrorTrap(job.trap);
  if (setjmp(job.trap.jump)) {
    jpeg_destroy_compress(c);
    return false;
  }
  jpeg_create_compress(c);
  job.destination.manager.init_destination = startDestination;
  job.destination.manager.empty_output_buffer = stagingFull;
  job.destination.manager.term_destination = endDestination;
  c->dest = &job.destination.manager;

  c->image_width = static_cast<JDIMENSION>(job.width);
  c->image_height = static_cast<JDIMENSION>(job.height);
  c->input_components = 3;
  c->in_color_space = JCS_RGB;
  jpeg_set_defaults(c);
  c->optimize_coding = TRUE;

  const int quality = std::clamp<int>(job.options->quality, 0, 99);
  const QuantRow& tables = kQuantRows[quality / 10];
  jpeg_add_quant_table(c, 0, tables.luminance.data(), 100, FALSE);
  jpeg_add_quant_table(c, 1, tables.chrominance.data(), 100, FALSE);
  // Coarse rows halve the luminance resolution too; fine rows keep every sample.
  const int sampling = quality / 10 <= 4 ? 2 : 1;
  c->comp_info[0].h_samp_factor = c->comp_info[0].v_samp_factor = sampling;
  for (int i = 1; i < 3; ++i) c->comp_info[i].h_samp_factor = c->comp_info[i].v_samp_factor = 1;

  jpeg_start_compress(c, TRUE);  // writes SOI and the JFIF APP0
  jpeg_write_marker(c, JPEG_COM, reinterpret_cast<const JOCTET*>(kMakerWebAddress), sizeof kMakerWebAddress);
  jpeg_write_marker(c, JPEG_APP0 + 1, job.exif->data(), static_cast<unsigned int>(job.exif->size()));
  if (job.options->iccProfile && job.options->iccProfileSize > 0)
    writeIccProfile(c, job.options->iccProfile, job.options->iccProfileSize);
  jpeg_write_marker(c, JPEG_APP0 + 13, job.iptc->data(), static_cast<unsigned int>(job.iptc->size()));

  JSAMPROW rows[1] = {job.row};
  for (int32_t y = 0; y < job.height; ++y) {
    fetchRow(job, y);
    jpeg_write_scanlines(c, rows, 1);
  }
  jpeg_finish_compress(c);
  jpeg_destroy_compress(c);
  return true;
}

}  // namespace

size_t jpegBufferSize(int32_t width, int32_t height) {
  return size_t(std::max(width, kJpegMinimumSide)) * size_t(std::max(height, kJpegMinimumSide)) * 6;
}

OSErr compressJpeg(const JpegSource& source, const JpegOptions& options, uint8_t* output, size_t capacity,
                   size_t& length) {
  length = 0;
  if (!source.readRow || source.width <= 0 || source.height <= 0 || !output) return writErr;
  if (source.width > kJpegMaximumSide || source.height > kJpegMaximumSide) return writErr;

  KeywordList onlyBuiltIn;
  clearKeywords(onlyBuiltIn);
  const std::vector<uint8_t> exif = buildExifBlock(true);
  const std::vector<uint8_t> iptc = buildIptcBlock(onlyBuiltIn, options.date, true);
  const int32_t width = std::max(source.width, kJpegMinimumSide), height = std::max(source.height, kJpegMinimumSide);
  std::vector<uint8_t> row(size_t(width) * 3);

  CompressJob job{};
  job.source = &source;
  job.options = &options;
  job.width = width;
  job.height = height;
  job.row = row.data();
  job.exif = &exif;
  job.iptc = &iptc;
  job.destination.output = output;
  job.destination.capacity = capacity;
  if (!runCompression(job)) return writErr;
  length = job.destination.length;
  return noErr;
}

OSErr writeJpegFile(const char* path, const JpegSource& source, const JpegOptions& options) {
  FileHandle file = kNoFile;
  if (openFile(path, FileAccess::writing, file) != noErr) return kErrCannotOpen;
  HostBuffer buffer;
  const size_t capacity = jpegBufferSize(source.width, source.height);
  OSErr result = kErrNoMemory;
  size_t length = 0;
  if (allocateBuffer(nullptr, capacity, buffer)) {
    result = compressJpeg(source, options, static_cast<uint8_t*>(buffer.data), capacity, length);
    if (result == noErr) result = writeRaw(file, buffer.data, length);
    freeBuffer(nullptr, buffer);
  }
  const OSErr cut = setEndOfFile(file);
  closeFile(file);
  return result != noErr ? result : cut;
}
