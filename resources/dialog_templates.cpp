#include "resources/dialog_templates.h"

namespace {
const ControlTemplate refusalControls[] = {
    {1000, ControlKind::text,
     "The filter cannot run because your paint program does not support enough of the Photoshop 3.0 plug-in "
     "standard.",
     {12, 12, 296, 48}},
    {2, ControlKind::pushButton, "Cancel", {236, 72, 72, 24}},
};

// Three pictures (logo, title, maker) over a white background, and the button to the web.
const ControlTemplate aboutControls[] = {
    {kAboutLogo, ControlKind::picture, nullptr, {16, 16, 96, 96}},
    {kAboutTitle, ControlKind::picture, nullptr, {128, 16, 240, 48}},
    {kAboutMaker, ControlKind::picture, nullptr, {128, 72, 240, 40}},
    {kAboutWebButton, ControlKind::pushButton, "www.cobaltfinch.example", {216, 128, 152, 24}},
};
// A gallery page that could not be written is not opened; this says why nothing appears.
const ControlTemplate pageNotWrittenControls[] = {
    {1000, ControlKind::text,
     "The web page could not be written. Choose a folder where you may save files, with room for the page and "
     "its pictures.",
     {12, 12, 296, 48}},
    {1, ControlKind::pushButton, "OK", {236, 72, 72, 24}},
};
}  // namespace

const DialogTemplate kPageNotWrittenTemplate{"PAGEFAILED", "Tarve", 320, 108, pageNotWrittenControls};
const DialogTemplate kRefusalTemplate{"REFUSAL2", "Plug-in error", 320, 108, refusalControls};
const DialogTemplate kAboutTemplate{"ABOUTBOX", "About", 384, 168, aboutControls};
