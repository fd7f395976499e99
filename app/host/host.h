// The host side of the plug-in interface: a host that offers a filter module its
// FilterRecord over an image held in memory. It is the harness of the integration tests
// and the engine of the tarve program. Switches remove services or inject faults so that
// every refusal and fallback of a module can be reached.
#pragma once

#include <csignal>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sdk/host_interface.h"

struct FinishedRows;

// An image of interleaved samples: colour planes (1 grey, 3 RGB), then an optional
// transparency plane. Samples are uint8, uint16 (0..32768) or float by depth.
struct HostImage {
  int32_t width = 0, height = 0;
  int32_t depth = 8;  // 8, 16 or 32 bits per sample
  int32_t colourPlanes = 3;
  bool transparency = false;
  std::vector<uint8_t> samples;

  int32_t planes() const { return colourPlanes + (transparency ? 1 : 0); }
  int32_t bytesPerSample() const { return depth / 8; }
  int32_t rowBytes() const { return width * planes() * bytesPerSample(); }
  uint8_t* at(int32_t x, int32_t y, int32_t plane) {
    return samples.data() + static_cast<size_t>(y) * rowBytes() + (static_cast<size_t>(x) * planes() + plane) * bytesPerSample();
  }
};

// The host's 16-bit samples run from 0 to 32768 while files and editors use 0 to 65535:
// every host value survives the trip out and back exactly; an outside value comes back
// within one step (the host has half as many levels).
// round(file * 32768 / 65535)
constexpr uint16_t hostFrom16(uint16_t file) { return static_cast<uint16_t>((uint32_t(file) * 32768u + 32767u) / 65535u); }

// round(host * 65535 / 32768); values above 32768 count as 32768
constexpr uint16_t fileFrom16(uint16_t host) {
  const uint32_t h = host > 32768 ? 32768u : host;
  return static_cast<uint16_t>((h * 65535u + 16384u) / 32768u);
}

HostImage makeHostImage(int32_t width, int32_t height, int32_t depth, int32_t colourPlanes, bool transparency);

struct HostSwitches {
  bool noAdvanceState = false;
  bool noDisplayPixels = false;
  bool noBufferProcs = false;
  bool noHandleProcs = false;
  bool noDescriptors = false;
  bool noBasicSuite = false;
  bool noSampling = false;
  int32_t failBufferAfter = -1;  // host buffer allocations after this many fail (-1: never)
  int32_t failHandleAfter = -1;  // likewise for new handles
  bool garbageMemory = false;    // new handles and buffers are filled with garbage, not zeros
  int32_t abortAtPoll = -1;      // the abort procedure answers true from this poll on (1-based)
  int16_t advanceStateErrorAt = 0;  // the n-th advanceState call (1-based) fails...
  int16_t advanceStateError = 0;    // ...with this code
  OSType hostSig = 0x3842494D;      // '8BIM'
  int16_t imageMode = -1;           // -1: from the image's planes and depth
  int16_t filterCase = 0;           // 0: from the image (transparency, selection)
  bool protectTransparency = false;
  DescriptorKeyID failGetOf = 0;  // reading this descriptor key fails
  OSErr closeReadError = 0;       // closing a read descriptor reports this instead
};

// One value of a scripting descriptor. This host keeps the kinds a filter's parameters use.
struct DescriptorValue {
  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;  // typeInteger, typeFloat or typeEnumerated
  int32_t integer = 0;
  double number = 0;
  DescriptorEnumTypeID enumType = 0;
  DescriptorEnumID enumValue = 0;
};
using Descriptor = std::vector<DescriptorValue>;

DescriptorValue integerValue(DescriptorKeyID key, int32_t value);
DescriptorValue floatValue(DescriptorKeyID key, double value);
DescriptorValue enumeratedValue(DescriptorKeyID key, DescriptorEnumTypeID type, DescriptorEnumID value);
// Null when the descriptor has no such key.
const DescriptorValue* findValue(const Descriptor& descriptor, DescriptorKeyID key);

// Actions: what the host plays to the module at Start and what it recorded at Finish.
// A Start after Parameters is an interactive run (no descriptor, the dialog is displayed);
// a Start without one repeats the last recorded run without its dialog; `play` overrides
// both, as an action being played.
struct HostActions {
  std::optional<Descriptor> play;
  int16_t playInfo = plugInDialogDontDisplay;  // with `play`
  std::optional<Descriptor> recorded;          // what the last Finish handed back
  int16_t recordInfo = -1;                     // and how it asked to be recorded
  bool dialogAsked = false;                    // Parameters came since the last Start
  int32_t readsOpened = 0, writesOpened = 0;
  std::vector<DescriptorKeyID> keysAsked;      // the key list of the last read opened

  PIDescriptorParameters parameters{};
  ReadDescriptorProcs readProcs{};
  WriteDescriptorProcs writeProcs{};
};

// The last picture the module handed to the display service: 8-bit samples (the service
// takes no deeper ones) at a client position of the module's window.
struct HostDisplay {
  int32_t row = 0, col = 0;
  int32_t imageMode = 0;
  HostImage picture;  // depth 8; one plane (grey) or three
};

// What the host saw of the module, for tests and the progress bar.
struct HostLog {
  std::vector<std::pair<int32_t, int32_t>> progress;
  int32_t abortPolls = 0;
  std::vector<Rect> inRects, outRects, maskRects;
  std::vector<int32_t> inputRates;
  int32_t advanceStateCalls = 0;
  int32_t buffersAllocated = 0, buffersFreed = 0;
  int32_t handlesAllocated = 0, handlesDisposed = 0;
  int32_t displayPixelsCalls = 0;
  HostDisplay display;
};

// A handle of this host: dereferencing it gives the data.
struct HostHandle {
  char* data;  // first
  int32_t size;
};

struct Host {
  HostImage source;
  HostImage destination;
  // The module's output goes back into `source` itself, not into a copy of it: one image in
  // memory instead of two, for a host that no longer needs the original once a row has been
  // rendered (the tarve program without a selection). `destination` then stays empty. Set
  // before hostOpen.
  bool outputInPlace = false;
  // Told as the module finishes the output's rows, for a writer that takes them meanwhile.
  FinishedRows* finishedRows = nullptr;
  std::vector<uint8_t> selection;  // one 8-bit value per pixel, empty without a selection
  // The image's colour profile (empty: none), offered through the record's ICC fields in a
  // handle the host keeps for the whole run.
  std::vector<uint8_t> iccProfile;
  HostHandle iccHandle{};
  HostSwitches switches;
  HostLog log;
  HostActions actions;

  FilterRecord record{};
  BufferProcs bufferProcs{};
  HandleProcs handleProcs{};
  SPBasicSuite basicSuite{};
  PlatformData platform{};
  intptr_t data = 0;  // the module's data slot, kept between runs
  PluginMainProc entry = nullptr;

  // Buffers handed to the module for the current rectangles.
  std::vector<uint8_t> inBuffer, outBuffer, maskBuffer;
  Rect deliveredOut{};
  // The request the buffers above answer; the host delivers again only when it changes.
  FilterRecord lastRequest{};
  bool delivered = false;
  int32_t allocationsRemaining = -1;
  int32_t handlesRemaining = -1;

  // A program's own feedback: the abort procedure also answers true once `interrupted`
  // points at a non-zero flag (set by a signal handler), and every progress report is
  // passed on to `onProgress`.
  const volatile sig_atomic_t* interrupted = nullptr;
  void (*onProgress)(void* context, int32_t done, int32_t total) = nullptr;
  void* progressContext = nullptr;
  // Draws each displayed picture into the window whose drawing context the module passed.
  void (*onDisplay)(void* platformContext, const HostDisplay& display) = nullptr;
  // The colour services: a colour chooser that starts at `rgb` and leaves there the colour
  // the user leaves it at (confirmed or not). Without one the host offers no colour services.
  void (*chooseColour)(uint8_t rgb[3]) = nullptr;
  // Where the module writes the message of errReportString.
  Str255 errorText{};
};

// The module's own message of errReportString, or empty.
std::string hostErrorText(const Host& host);

// Prepares the record over `image` (and an optional selection mask of the same size).
void hostOpen(Host& host, PluginMainProc entry, HostImage image, std::vector<uint8_t> selection = {});
// Where the module's output goes: `destination`, or `source` when the output is in place.
inline HostImage& hostOutputImage(Host& host) { return host.outputInPlace ? host.source : host.destination; }

// Releases what the host holds for the module (the data slot and parameter handles).
void hostClose(Host& host);

// Calls the module with one selector and returns its result.
int16_t hostCall(Host& host, int16_t selector);

// A whole run: Parameters when asked, Prepare, Start, Continue while the module asks for
// data, Finish after success. Returns the first non-zero result, or 0.
int16_t hostRunFilter(Host& host, bool withParameters);

// Whether the filter rectangles are all empty, which ends the host's loop.
bool hostRectsEmpty(const FilterRecord& record);
