// The glue stage's side of the plug-in state: which buffers the current band uses.
#include <algorithm>

#include "host/plugin_state.h"
#include "render/glue.h"
#include "render/work_record.h"

GlueFrame glueFrameOf(const PluginState& state, int32_t row) {
  const FilterRecord& host = *state.filterRecord;
  const ParameterBlock& block = *state.parameters;
  WorkRecord& work = *state.work;

  GlueFrame f{};
  f.renderMode = block.renderMode;
  f.depth = host.depth == 32 ? 32 : (host.depth == 16 ? 16 : 8);
  f.glue = block.settings.glue;
  f.triangle = work.triangle;
  f.inStep = host.inHiPlane - host.inLoPlane + 1;
  f.outStep = host.outHiPlane - host.outLoPlane + 1;
  f.layout.grey = host.planes < 3;
  // A transparency plane is written only where the host's pixel has room for it.
  f.layout.transparency = transparencyEditable(host.filterCase) && f.outStep > (f.layout.grey ? 1 : 3);

  if (block.renderMode == kRenderRaster) {
    f.target = work.target;
    if (f.target) {
      f.width = f.target->width[0];
      f.height = f.target->height[0];
    }
    return f;
  }

  f.width = state.regionWidth;
  f.height = state.regionHeight;
  f.inData = host.inData;
  f.inRowBytes = host.inRowBytes;
  f.outData = host.outData;
  f.outRowBytes = host.outRowBytes;
  // A final render asks the host for one row at a time; the dialog's band is the whole region.
  f.firstRow = block.renderMode == kRenderFinal ? row : 0;
  if (block.renderMode == kRenderDialog && host.haveMask && host.maskData) {
    f.maskData = static_cast<const uint8_t*>(host.maskData);
    f.maskRowBytes = host.maskRowBytes;
    f.maskWidth = host.maskRect.right - host.maskRect.left;
    f.maskHeight = host.maskRect.bottom - host.maskRect.top;
  }
  return f;
}
