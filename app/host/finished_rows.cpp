#include "app/host/finished_rows.h"

#include <cstring>

#include "app/host/host.h"

const uint8_t* takeFinishedRow(FinishedRows& rows, const HostImage& image, int32_t row) {
  std::unique_lock<std::mutex> hold(rows.lock);
  rows.changed.wait(hold, [&] { return rows.spoiled || rows.over || row < rows.count; });
  if (rows.spoiled || row >= rows.count) return nullptr;
  // Copied while the host waits: a row written again after this cannot change what the
  // writer encodes half-way.
  const size_t bytes = static_cast<size_t>(image.rowBytes());
  rows.copy.resize(bytes);
  std::memcpy(rows.copy.data(), image.samples.data() + static_cast<size_t>(row) * bytes, bytes);
  return rows.copy.data();
}

void beforeRowsWritten(FinishedRows& rows, const Rect& written) {
  std::lock_guard<std::mutex> hold(rows.lock);
  if (written.top < rows.count && !rows.spoiled) {
    rows.spoiled = true;
    rows.changed.notify_all();
  }
}

void afterRowsWritten(FinishedRows& rows, const Rect& written, bool wholeRows) {
  std::lock_guard<std::mutex> hold(rows.lock);
  if (rows.spoiled || !wholeRows || written.top != rows.count || written.bottom != written.top + 1) return;
  rows.count = written.bottom;
  rows.changed.notify_all();
}

void endFinishedRows(FinishedRows& rows) {
  std::lock_guard<std::mutex> hold(rows.lock);
  rows.over = true;
  rows.changed.notify_all();
}
