#include "app/host/host.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/host/procedures.h"

HostImage makeHostImage(int32_t width, int32_t height, int32_t depth, int32_t colourPlanes, bool transparency) {
  HostImage image;
  image.width = width;
  image.height = height;
  image.depth = depth;
  image.colourPlanes = colourPlanes;
  image.transparency = transparency;
  image.samples.assign(static_cast<size_t>(image.rowBytes()) * height, 0);
  return image;
}

static int16_t imageModeOf(const HostImage& image) {
  const bool grey = image.colourPlanes == 1;
  switch (image.depth) {
    case 16: return grey ? plugInModeGray16 : plugInModeRGB48;
    case 32: return grey ? plugInModeGray32 : plugInModeRGB96;
    default: return grey ? plugInModeGrayScale : plugInModeRGBColor;
  }
}

static int16_t filterCaseOf(const Host& host) {
  if (host.switches.filterCase) return host.switches.filterCase;
  const bool selection = !host.selection.empty();
  if (!host.source.transparency) return selection ? filterCaseFlatImageWithSelection : filterCaseFlatImageNoSelection;
  if (host.switches.protectTransparency)
    return selection ? filterCaseProtectedTransparencyWithSelection : filterCaseProtectedTransparencyNoSelection;
  return selection ? filterCaseEditableTransparencyWithSelection : filterCaseEditableTransparencyNoSelection;
}

static bool transparencyEditable(int16_t filterCase) {
  return filterCase == filterCaseEditableTransparencyNoSelection ||
         filterCase == filterCaseEditableTransparencyWithSelection;
}

void hostOpen(Host& host, PluginMainProc entry, HostImage image, std::vector<uint8_t> selection) {
  host.entry = entry;
  host.source = std::move(image);
  if (!host.outputInPlace) host.destination = host.source;
  host.selection = std::move(selection);
  host.allocationsRemaining = host.switches.failBufferAfter;
  host.handlesRemaining = host.switches.failHandleAfter;
  hostInstallProcedures(host);

  FilterRecord& r = host.record;
  const HostImage& img = host.source;
  r.serialNumber = 0;
  r.imageSize = {static_cast<int16_t>(img.height), static_cast<int16_t>(img.width)};
  r.filterCase = filterCaseOf(host);
  // A protected transparency plane is the host's business: the module sees colour only.
  r.planes = static_cast<int16_t>(transparencyEditable(r.filterCase) ? img.planes() : img.colourPlanes);
  r.filterRect = {0, 0, static_cast<int16_t>(img.height), static_cast<int16_t>(img.width)};
  r.background = {0xFFFF, 0xFFFF, 0xFFFF};
  r.foreground = {0, 0, 0};
  r.maxSpace = 1 << 30;
  r.maxSpace64 = int64_t(1) << 30;
  r.isFloating = r.filterCase == filterCaseFloatingSelection;
  r.haveMask = !host.selection.empty();
  r.autoMask = false;
  r.hostSig = host.switches.hostSig;
  r.imageMode = host.switches.imageMode >= 0 ? host.switches.imageMode : imageModeOf(img);
  r.imageHRes = r.imageVRes = 72 << 16;
  r.wholeSize = r.imageSize;
  r.platformData = &host.platform;
  r.depth = img.depth;
  r.supportsPadding = true;
  r.samplingSupport = host.switches.noSampling ? hostDoesNotSupportSampling : hostSupportsIntegralSampling;
  r.inputRate = r.maskRate = 1 << 16;
  r.inputPadding = r.outputPadding = r.maskPadding = plugInWantsEdgeReplication;
  r.inLayerPlanes = r.outLayerPlanes = static_cast<int16_t>(img.colourPlanes);
  r.inTransparencyMask = r.outTransparencyMask = transparencyEditable(r.filterCase) ? 1 : 0;
  r.inNonLayerPlanes = r.outNonLayerPlanes = 0;
  host.iccHandle = {reinterpret_cast<char*>(host.iccProfile.data()), static_cast<int32_t>(host.iccProfile.size())};
  r.iCCprofileData = host.iccProfile.empty() ? nullptr : &host.iccHandle.data;
  r.iCCprofileSize = host.iccHandle.size;
  r.canUseICCProfiles = !host.iccProfile.empty();
}

void hostClose(Host& host) {
  // The host last called may be gone; what is disposed of here is this host's.
  hostMakeCurrent(host);
  FilterRecord& r = host.record;
  // Without handle procedures the module kept its records in its own fallback handles:
  // a C-heap record whose first field is the data block, which the host frees the same way.
  auto dispose = [&](Handle h) {
    if (!h) return;
    if (r.handleProcs) {
      hostDisposeHandle(h);
    } else {
      std::free(*h);
      std::free(h);
    }
  };
  dispose(reinterpret_cast<Handle>(host.data));
  host.data = 0;
  dispose(r.parameters);
  r.parameters = nullptr;
  hostReleaseDescriptors(host);
}

int16_t hostCall(Host& host, int16_t selector) {
  int16_t result = 0;
  hostMakeCurrent(host);
  hostActionsBefore(host, selector);
  host.entry(selector, &host.record, &host.data, &result);
  hostActionsAfter(host, selector);
  return result;
}

bool hostRectsEmpty(const FilterRecord& r) {
  auto empty = [](const Rect& x) { return x.right <= x.left || x.bottom <= x.top; };
  return empty(r.inRect) && empty(r.outRect) && empty(r.maskRect);
}

int16_t hostRunFilter(Host& host, bool withParameters) {
  FilterRecord& r = host.record;
  r.inRect = r.outRect = r.maskRect = {0, 0, 0, 0};
  int16_t result = 0;
  if (withParameters && (result = hostCall(host, filterSelectorParameters)) != 0) return result;
  if ((result = hostCall(host, filterSelectorPrepare)) != 0) return result;
  if ((result = hostCall(host, filterSelectorStart)) != 0) return hostFinishRun(host, result);
  // Each Continue delivers what the module asked for and takes back what it wrote.
  while (!hostRectsEmpty(r)) {
    if ((result = hostDeliverIfChanged(host)) != 0) return hostFinishRun(host, result);
    if ((result = hostCall(host, filterSelectorContinue)) != 0) return hostFinishRun(host, result);
  }
  hostTakeOutput(host);
  result = hostCall(host, filterSelectorFinish);
  return hostFinishRun(host, result);
}

std::string hostErrorText(const Host& host) {
  return std::string(reinterpret_cast<const char*>(host.errorText + 1), host.errorText[0]);
}
