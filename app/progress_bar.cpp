#include "app/progress_bar.h"

#include <algorithm>

namespace {
constexpr int32_t kBarWidth = 40;
}

void progressBarUpdate(void* context, int32_t done, int32_t total) {
  auto& bar = *static_cast<ProgressBar*>(context);
  if (!bar.stream || total <= 0) return;
  const int32_t percent = static_cast<int32_t>(std::clamp<int64_t>(int64_t(done) * 100 / total, 0, 100));
  if (percent == bar.shownPercent) return;
  bar.shownPercent = percent;
  char cells[kBarWidth + 1];
  const int32_t filled = percent * kBarWidth / 100;
  for (int32_t i = 0; i < kBarWidth; ++i) cells[i] = i < filled ? '#' : '.';
  cells[kBarWidth] = 0;
  std::fprintf(bar.stream, "\rtarve: [%s] %3d%%", cells, percent);
  std::fflush(bar.stream);
}

void progressBarEnd(ProgressBar& bar, bool completed) {
  if (completed && bar.shownPercent >= 0) progressBarUpdate(&bar, 1, 1);
  if (bar.stream && bar.shownPercent >= 0) std::fputc('\n', bar.stream);
  bar.shownPercent = -1;
}
