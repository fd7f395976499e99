// The dialog templates the module carries: message windows and the about box.
#pragma once

#include "ui/window.h"

extern const DialogTemplate kRefusalTemplate;  // "REFUSAL2"
extern const DialogTemplate kAboutTemplate;    // "ABOUTBOX"

constexpr int32_t kAboutWebButton = 2;
