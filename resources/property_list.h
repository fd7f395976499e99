// The plug-in property list: what a host learns about the module without calling it (kind,
// menu name, category, entry point, which images it accepts, how it wants each filter
// case served, its scripting terminology). Built in the published binary layout, as the
// Windows resource compiler lays it out (little-endian, each property padded to 4 bytes).
#pragma once

#include <cstdint>
#include <vector>

constexpr const char* kMenuName = "Tarve...";
constexpr const char* kCategory = "Cobalt Finch";
constexpr const char* kEnableRule =
    "( in (PSHOP_ImageMode, RGBMode, GrayScaleMode, RGB48Mode, Gray16Mode, Gray32Mode, RGB96Mode) ) && "
    "(PSHOP_ImageMode !=  MultichannelMode) ";
constexpr uint32_t kScriptingClass = 0x4B7A7277;  // 'Kzrw'
constexpr int16_t kTerminologyResource = 16000;
constexpr const char* kScriptingUniqueName = "Cobalt Finch Tarve";

std::vector<uint8_t> buildPropertyList();
