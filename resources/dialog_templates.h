// The dialog templates the module carries: message windows and the about box.
#pragma once

#include "ui/window.h"

extern const DialogTemplate kRefusalTemplate;  // "REFUSAL2"
extern const DialogTemplate kAboutTemplate;    // "ABOUTBOX"

// The maker's web site, opened from the about box and written into exported pages.
constexpr const char* kMakerAddress = "https://cobaltfinch.example/tarve";

constexpr int32_t kAboutWebButton = 2;
