// The image exchange: the rectangles, planes, rates and padding the module asks for become
// buffers of interleaved samples; what it writes into the output buffer goes back into the
// destination image.
#include <algorithm>
#include <cstring>

#include "app/host/finished_rows.h"
#include "app/host/procedures.h"

namespace {

bool rectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

int32_t rateOf(Fixed rate) { return std::max<int32_t>(1, rate >> 16); }

// Fills `buffer` with the planes lo..hi of `rect` (in coordinates reduced by `rate`),
// replicating edge pixels outside the image or filling with a padding value.
OSErr readRect(const HostImage& image, const Rect& rect, int16_t lo, int16_t hi, int32_t rate, int16_t padding,
               std::vector<uint8_t>& buffer, int32_t& rowBytes) {
  const int32_t bps = image.bytesPerSample();
  const int32_t planes = hi - lo + 1;
  if (lo < 0 || planes < 1 || hi >= image.planes()) return paramErr;
  const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
  rowBytes = width * planes * bps;
  // The source's tiles come first and the rows after them: the tiles' room goes once the
  // requests are a fraction of it.
  const size_t bytes = static_cast<size_t>(rowBytes) * height;
  if (bytes < buffer.capacity() / 4) buffer = {};
  buffer.assign(bytes, 0);
  const int32_t imageRowBytes = image.rowBytes();
  // Whole pixels of a row inside the image are one copy; the pixel loop serves the rest.
  const bool wholeRows = rate == 1 && lo == 0 && planes == image.planes() && rect.left >= 0 && rect.right <= image.width;
  for (int32_t y = 0; y < height; ++y) {
    const int32_t row = rect.top + y;
    if (wholeRows && row >= 0 && row < image.height) {
      std::memcpy(buffer.data() + static_cast<size_t>(y) * rowBytes,
                  image.samples.data() + static_cast<size_t>(row) * imageRowBytes +
                      static_cast<size_t>(rect.left) * planes * bps,
                  rowBytes);
      continue;
    }
    for (int32_t x = 0; x < width; ++x) {
      int32_t sx = (rect.left + x) * rate, sy = (rect.top + y) * rate;
      uint8_t* out = buffer.data() + static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * planes * bps;
      const bool outside = sx < 0 || sy < 0 || sx >= image.width || sy >= image.height;
      if (outside) {
        if (padding >= 0) {
          std::memset(out, padding, static_cast<size_t>(planes) * bps);
          continue;
        }
        if (padding != plugInWantsEdgeReplication) return paramErr;
        sx = std::clamp(sx, 0, image.width - 1);
        sy = std::clamp(sy, 0, image.height - 1);
      }
      const uint8_t* in = image.samples.data() + static_cast<size_t>(sy) * imageRowBytes +
                          (static_cast<size_t>(sx) * image.planes() + lo) * bps;
      std::memcpy(out, in, static_cast<size_t>(planes) * bps);
    }
  }
  return noErr;
}

void readMask(const Host& host, const Rect& rect, int32_t rate, std::vector<uint8_t>& buffer, int32_t& rowBytes) {
  const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
  rowBytes = width;
  buffer.assign(static_cast<size_t>(width) * height, 0);
  const HostImage& image = host.source;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int32_t sx = std::clamp((rect.left + x) * rate, 0, image.width - 1);
      const int32_t sy = std::clamp((rect.top + y) * rate, 0, image.height - 1);
      buffer[static_cast<size_t>(y) * width + x] = host.selection[static_cast<size_t>(sy) * image.width + sx];
    }
}

}  // namespace

void hostTakeOutput(Host& host) {
  const Rect& r = host.deliveredOut;
  if (rectEmpty(r) || host.outBuffer.empty()) return;
  HostImage& image = hostOutputImage(host);
  const FilterRecord& rec = host.record;
  const int32_t bps = image.bytesPerSample();
  const int32_t planes = rec.outHiPlane - rec.outLoPlane + 1;
  const int32_t width = r.right - r.left;
  const bool wholeRows = rec.outLoPlane == 0 && planes == image.planes() && r.left >= 0 && r.right <= image.width;
  if (host.finishedRows) beforeRowsWritten(*host.finishedRows, r);
  for (int32_t y = r.top; y < r.bottom; ++y) {
    if (y < 0 || y >= image.height) continue;
    if (wholeRows) {
      std::memcpy(image.at(r.left, y, 0), host.outBuffer.data() + static_cast<size_t>(y - r.top) * width * planes * bps,
                  static_cast<size_t>(width) * planes * bps);
      continue;
    }
    for (int32_t x = r.left; x < r.right; ++x) {
      if (x < 0 || x >= image.width) continue;
      const uint8_t* in = host.outBuffer.data() +
                          (static_cast<size_t>(y - r.top) * width + (x - r.left)) * planes * bps;
      std::memcpy(image.at(x, y, rec.outLoPlane), in, static_cast<size_t>(planes) * bps);
    }
  }
  if (host.finishedRows)
    afterRowsWritten(*host.finishedRows, r,
                     wholeRows && r.left == 0 && r.right == image.width && r.top >= 0 && r.bottom <= image.height);
  host.deliveredOut = {0, 0, 0, 0};
}

static bool sameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

static bool sameRequest(const FilterRecord& a, const FilterRecord& b) {
  return sameRect(a.inRect, b.inRect) && sameRect(a.outRect, b.outRect) && sameRect(a.maskRect, b.maskRect) &&
         a.inLoPlane == b.inLoPlane && a.inHiPlane == b.inHiPlane && a.outLoPlane == b.outLoPlane &&
         a.outHiPlane == b.outHiPlane && a.inputRate == b.inputRate && a.maskRate == b.maskRate &&
         a.inputPadding == b.inputPadding && a.outputPadding == b.outputPadding && a.maskPadding == b.maskPadding;
}

OSErr hostDeliverIfChanged(Host& host) {
  if (host.delivered && sameRequest(host.record, host.lastRequest)) return noErr;
  return hostDeliver(host);
}

OSErr hostDeliver(Host& host) {
  FilterRecord& r = host.record;
  ++host.log.advanceStateCalls;
  host.lastRequest = r;
  host.delivered = true;
  hostTakeOutput(host);
  host.log.inRects.push_back(r.inRect);
  host.log.outRects.push_back(r.outRect);
  host.log.maskRects.push_back(r.maskRect);
  host.log.inputRates.push_back(r.inputRate);

  // Planes beyond the colour planes exist only when the transparency is editable.
  const int32_t planeLimit = r.planes - 1;
  if (r.inHiPlane > planeLimit || r.outHiPlane > planeLimit) return paramErr;

  r.inData = r.outData = r.maskData = nullptr;
  const int32_t bps = host.source.bytesPerSample();
  if (!rectEmpty(r.inRect)) {
    OSErr e = readRect(host.source, r.inRect, r.inLoPlane, r.inHiPlane, rateOf(r.inputRate), r.inputPadding,
                       host.inBuffer, r.inRowBytes);
    if (e != noErr) return e;
    r.inData = host.inBuffer.data();
    r.inColumnBytes = (r.inHiPlane - r.inLoPlane + 1) * bps;
    r.inPlaneBytes = bps;
  }
  if (!rectEmpty(r.outRect)) {
    OSErr e = readRect(hostOutputImage(host), r.outRect, r.outLoPlane, r.outHiPlane, 1, r.outputPadding, host.outBuffer,
                       r.outRowBytes);
    if (e != noErr) return e;
    r.outData = host.outBuffer.data();
    r.outColumnBytes = (r.outHiPlane - r.outLoPlane + 1) * bps;
    r.outPlaneBytes = bps;
    host.deliveredOut = r.outRect;
  }
  if (r.haveMask && !rectEmpty(r.maskRect)) {
    readMask(host, r.maskRect, rateOf(r.maskRate), host.maskBuffer, r.maskRowBytes);
    r.maskData = host.maskBuffer.data();
  }
  return noErr;
}

int16_t hostFinishRun(Host& host, int16_t result) {
  host.deliveredOut = {0, 0, 0, 0};
  host.delivered = false;
  host.inBuffer.clear();
  host.outBuffer.clear();
  host.maskBuffer.clear();
  host.record.inData = host.record.outData = host.record.maskData = nullptr;
  return result;
}
