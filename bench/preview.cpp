// The dialog's preview of a 4000 x 3000 8-bit RGB image at its fit scale (9: a 444 x 333
// view in the 499 x 384 area), through the in-process host: a full re-render (the tables
// made from the settings, then every row) and a pan step (the view asked for again one
// preview pixel over, then every row without new tables). Reading the image into the
// source raster happens once, before either is timed.
#include <benchmark/benchmark.h>

#include <cmath>

#include "app/host/host.h"
#include "dialog/preview.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;

// A sky over hills with a bright sun: something above the water line to reflect.
HostImage scene() {
  HostImage s = makeHostImage(kWidth, kHeight, 8, 3, false);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      const float u = (x + 0.5f) / kWidth, v = (y + 0.5f) / kHeight;
      float r = 90 + 120 * v, g = 140 + 80 * v, b = 230 - 40 * v;
      if (std::hypot(u - 0.7f, v - 0.3f) < 0.06f) r = 255, g = 230, b = 150;
      if (v > 0.52f - 0.06f * std::sin(u * 9.0f)) r = 40 + 30 * std::sin(u * 200.0f), g = 90, b = 50;
      uint8_t* p = s.at(x, y, 0);
      p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b);
    }
  return s;
}

// A host with the module started and the dialog's first view fetched.
struct PreviewHost {
  Host host;
  int16_t result = 0;
  PluginState* state = nullptr;

  explicit PreviewHost(int32_t rippleSize) {
    hostOpen(host, PluginMain, scene());
    hostCall(host, filterSelectorPrepare);
    hostCall(host, filterSelectorStart);
    state = reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data));
    state->result = &result;
    state->parameters->renderMode = kRenderDialog;
    state->parameters->hostPreviewUsable = true;
    state->parameters->settings.rippleSize = rippleSize;
    startPreview(*state);
  }
  ~PreviewHost() { hostClose(host); }
};

void PreviewRerender(benchmark::State& bench) {
  PreviewHost preview(static_cast<int32_t>(bench.range(0)));
  if (preview.state->parameters->previewScale != 9) bench.SkipWithError("not at the fit scale");
  for (auto _ : bench) renderPreview(*preview.state, true);
  if (preview.result != 0) bench.SkipWithError("the render failed");
  bench.counters["pixels"] = previewWidth(*preview.state) * previewHeight(*preview.state);
}
BENCHMARK(PreviewRerender)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The fit scale shows the whole image, so a pan needs a zoomed view: 100 % here, which is
// the largest view (499 x 384) a pan can move.
void PreviewPanStep(benchmark::State& bench) {
  PreviewHost preview(static_cast<int32_t>(bench.range(0)));
  PluginState& state = *preview.state;
  zoomPreview(state, 34);
  renderPreview(state, true);
  int32_t step = 1;
  for (auto _ : bench) {
    PixelPoint& pan = state.parameters->panOffset;
    if (pan.x > 3000 || pan.x < 100) step = -step;
    pan.x += step * state.parameters->previewScale;
    fetchPreview(state);
    renderPreview(state, false);
  }
  if (preview.result != 0) bench.SkipWithError("the render failed");
  bench.counters["pixels"] = previewWidth(state) * previewHeight(state);
}
BENCHMARK(PreviewPanStep)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
