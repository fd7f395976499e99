// The settings as the parameters of the procedure plug-in-tarve: after the run mode, the
// image and the drawable, one parameter per scripting key in the order a descriptor holds
// them, named as `tarve apply --help` names them ("ripple height" is ripple-height).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <libgimp/gimp.h>

#include "app/host/host.h"

constexpr int kLeadingParameters = 3;  // run mode, image, drawable

struct SettingParameter {
  GimpPDBArgType type;  // INT32, or FLOAT for the centre
  std::string name;
  std::string description;
  DescriptorKeyID key;
};

const std::vector<SettingParameter>& settingParameters();

// The parameters of a non-interactive call as the descriptor the module is played; false
// with a message naming the first parameter that is missing, of the wrong type or outside
// its range.
bool descriptorFromParameters(const GimpParam* params, int count, Descriptor& descriptor, std::string& error);

// What "repeat last" plays: the numbers the module handed back at the end of the last run,
// kept by GIMP between runs as bytes. A record of another layout, or with a value outside
// its range, reads as none.
std::vector<uint8_t> lastValuesFrom(const Descriptor& recorded);
std::optional<Descriptor> descriptorFromLastValues(const std::vector<uint8_t>& bytes);
