// Fixed records of the PSD layout, as 16-bit words written big-endian.
#pragma once

#include <cstdint>
#include <span>

// Image resource 1001: a print record with the page set up for letter paper at 72 dpi.
extern const std::span<const uint16_t> kPsdPrintRecord;  // 60 words
// The colour-mode data of 32-bit files: a toning record ("hdrt") that readers of
// high-dynamic-range documents expect, with the default toning curve.
extern const std::span<const uint16_t> kPsdToningRecord;  // 37 words
// The "LMsk" block of 32-bit files: the document's default layer mask, as 14 bytes and two
// pad bytes.
extern const std::span<const uint16_t> kPsdLayerMaskDefaults;  // 8 words
