#include "gimp/procedure_parameters.h"

#include <cctype>
#include <cstring>

#include "app/host/setting_names.h"

namespace {

// Tells a record of this layout from one an older or newer plug-in left behind.
constexpr uint32_t kLastValuesVersion = 1;

std::string parameterName(const char* settingName) {
  std::string name;
  for (const char* c = settingName; *c; ++c)
    name += *c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
  return name;
}

}  // namespace

const std::vector<SettingParameter>& settingParameters() {
  static const std::vector<SettingParameter> parameters = [] {
    std::vector<SettingParameter> list;
    int32_t count = 0;
    const SettingName* names = settingNames(count);
    for (int32_t i = 0; i < count; ++i) {
      if (!names[i].key) continue;  // the whole water colour: its channels come one by one
      const bool fraction = descriptorTypeOfKey(names[i].key) == typeFloat;
      list.push_back({fraction ? GIMP_PDB_FLOAT : GIMP_PDB_INT32, parameterName(names[i].name),
                      std::string(names[i].name) + ": " + names[i].values, names[i].key});
    }
    return list;
  }();
  return parameters;
}

bool descriptorFromParameters(const GimpParam* params, int count, Descriptor& descriptor, std::string& error) {
  const std::vector<SettingParameter>& settings = settingParameters();
  const int wanted = kLeadingParameters + static_cast<int>(settings.size());
  if (count != wanted) {
    error = "plug-in-tarve takes " + std::to_string(wanted) + " parameters, not " + std::to_string(count);
    return false;
  }
  descriptor.clear();
  for (size_t i = 0; i < settings.size(); ++i) {
    const SettingParameter& s = settings[i];
    const GimpParam& p = params[kLeadingParameters + i];
    if (p.type != s.type) {
      error = "the parameter " + s.name + " has the wrong type";
      return false;
    }
    const double number = s.type == GIMP_PDB_FLOAT ? p.data.d_float : p.data.d_int32;
    if (!numberValue(s.key, number, descriptor, error)) return false;
  }
  return true;
}

std::vector<uint8_t> lastValuesFrom(const Descriptor& recorded) {
  const std::vector<SettingParameter>& settings = settingParameters();
  std::vector<double> numbers;
  for (const SettingParameter& s : settings) {
    const DescriptorValue* value = findValue(recorded, s.key);
    double number = 0;
    if (!value || !valueAsNumber(*value, number)) return {};
    numbers.push_back(number);
  }
  std::vector<uint8_t> bytes(sizeof kLastValuesVersion + numbers.size() * sizeof(double));
  std::memcpy(bytes.data(), &kLastValuesVersion, sizeof kLastValuesVersion);
  std::memcpy(bytes.data() + sizeof kLastValuesVersion, numbers.data(), numbers.size() * sizeof(double));
  return bytes;
}

std::optional<Descriptor> descriptorFromLastValues(const std::vector<uint8_t>& bytes) {
  const std::vector<SettingParameter>& settings = settingParameters();
  uint32_t version = 0;
  if (bytes.size() != sizeof version + settings.size() * sizeof(double)) return std::nullopt;
  std::memcpy(&version, bytes.data(), sizeof version);
  if (version != kLastValuesVersion) return std::nullopt;
  Descriptor descriptor;
  std::string unused;
  for (size_t i = 0; i < settings.size(); ++i) {
    double number;
    std::memcpy(&number, bytes.data() + sizeof version + i * sizeof(double), sizeof number);
    if (!numberValue(settings[i].key, number, descriptor, unused)) return std::nullopt;
  }
  return descriptor;
}
