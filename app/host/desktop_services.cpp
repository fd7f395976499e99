#include "app/host/desktop_services.h"

#include <vector>

#include "ui/canvas.h"
#include "ui/window.h"

namespace {

// The filter hands back the drawing context of its own window with each picture.
void drawIntoWindow(void* platformContext, const HostDisplay& display) {
  const HostImage& picture = display.picture;
  if (!platformContext || picture.width <= 0 || picture.height <= 0) return;
  const uint8_t* pixels = picture.samples.data();
  std::vector<uint8_t> rgb;
  if (picture.colourPlanes == 1) {
    rgb.resize(picture.samples.size() * 3);
    for (size_t i = 0; i < picture.samples.size(); ++i) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = picture.samples[i];
    pixels = rgb.data();
  }
  Canvas* canvas = canvasFromPlatformContext(platformContext);
  canvasPixels(canvas, pixels, picture.width, picture.height, picture.width * 3, 3,
               {display.col, display.row, picture.width, picture.height});
  canvasEndPlatform(canvas);
}

void chooseOnDesktop(uint8_t rgb[3]) {
  UiColour colour{rgb[0], rgb[1], rgb[2]};
  if (uiChooseColour(0, colour) != UiChoice::chosen) return;
  rgb[0] = colour.red, rgb[1] = colour.green, rgb[2] = colour.blue;
}

}  // namespace

void offerDesktopServices(Host& host) {
  host.onDisplay = drawIntoWindow;
  host.chooseColour = chooseOnDesktop;
}
