// The dialog templates the module carries: message windows and the about box.
#pragma once

#include "ui/window.h"

extern const DialogTemplate kRefusalTemplate;  // "REFUSAL2"
extern const DialogTemplate kAboutTemplate;    // "ABOUTBOX"
extern const DialogTemplate kPageNotWrittenTemplate;  // "PAGEFAILED"

constexpr int32_t kAboutWebButton = 2;
// The about box's three picture controls.
constexpr int32_t kAboutLogo = 1001;
constexpr int32_t kAboutTitle = 1002;
constexpr int32_t kAboutMaker = 1003;
