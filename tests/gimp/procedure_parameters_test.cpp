#include "gimp/procedure_parameters.h"

#include <gtest/gtest.h>

#include "host/scripting_keys.h"

namespace {

// One valid call: the run mode, image and drawable, then every setting.
std::vector<GimpParam> validCall() {
  std::vector<GimpParam> params(kLeadingParameters);
  params[0].type = GIMP_PDB_INT32;
  params[1].type = GIMP_PDB_IMAGE;
  params[2].type = GIMP_PDB_DRAWABLE;
  const double values[] = {30, 60, 90, 70, 55, 57, 40, 35, 10, 40, 25, 50, 50, 13, 42, -7, 0.4, 1.5};
  int i = 0;
  for (const SettingParameter& s : settingParameters()) {
    GimpParam p{};
    p.type = s.type;
    if (s.type == GIMP_PDB_FLOAT)
      p.data.d_float = values[i];
    else
      p.data.d_int32 = static_cast<int32_t>(values[i]);
    params.push_back(p);
    ++i;
  }
  return params;
}

GimpParam& setting(std::vector<GimpParam>& params, const char* name) {
  for (size_t i = 0; i < settingParameters().size(); ++i)
    if (settingParameters()[i].name == name) return params[kLeadingParameters + i];
  throw std::runtime_error(name);
}

}  // namespace

TEST(ProcedureParameters, OneParameterPerScriptingKeyInTheDescriptorsOrder) {
  const std::vector<SettingParameter>& parameters = settingParameters();
  ASSERT_EQ(parameters.size(), kScriptingKeys.size());
  for (size_t i = 0; i < parameters.size(); ++i) {
    EXPECT_EQ(parameters[i].key, kScriptingKeys[i].key);
    EXPECT_EQ(parameters[i].type, kScriptingKeys[i].kind == ScriptedKind::centre ? GIMP_PDB_FLOAT : GIMP_PDB_INT32);
  }
  EXPECT_EQ(parameters.front().name, "water-red");
  EXPECT_EQ(parameters[3].name, "ripple-height");
  EXPECT_EQ(parameters.back().name, "y-center");
}

TEST(ProcedureParameters, ACallBecomesTheDescriptorTheModuleIsPlayed) {
  std::vector<GimpParam> params = validCall();
  Descriptor descriptor;
  std::string error;
  ASSERT_TRUE(descriptorFromParameters(params.data(), int(params.size()), descriptor, error)) << error;
  ASSERT_EQ(descriptor.size(), 18u);
  EXPECT_EQ(findValue(descriptor, fourCharCode("0001"))->integer, 30);
  EXPECT_EQ(findValue(descriptor, fourCharCode("0016"))->integer, -7);
  EXPECT_EQ(findValue(descriptor, kGlueKey)->enumValue, fourCharCode("GL13"));
  EXPECT_EQ(findValue(descriptor, kGlueKey)->type, typeEnumerated);
  EXPECT_DOUBLE_EQ(findValue(descriptor, fourCharCode("0018"))->number, 1.5);
}

TEST(ProcedureParameters, CallsWithMissingWrongOrOutOfRangeValuesAreRefusedByName) {
  struct Case {
    const char* name;
    double value;
    const char* words;
  };
  const Case cases[] = {
      {"ripple-height", 101, "ripple height"}, {"water-blue", 256, "water blue"}, {"glue", 0, "glue"},
      {"glue", 63, "glue"},                    {"horizon", -1, "horizon"},         {"x-center", 100.5, "X center"},
  };
  for (const Case& c : cases) {
    std::vector<GimpParam> params = validCall();
    GimpParam& p = setting(params, c.name);
    if (p.type == GIMP_PDB_FLOAT)
      p.data.d_float = c.value;
    else
      p.data.d_int32 = int32_t(c.value);
    Descriptor descriptor;
    std::string error;
    EXPECT_FALSE(descriptorFromParameters(params.data(), int(params.size()), descriptor, error)) << c.name;
    EXPECT_NE(error.find(c.words), std::string::npos) << error;
  }
  std::vector<GimpParam> params = validCall();
  setting(params, "y-center").type = GIMP_PDB_INT32;
  Descriptor descriptor;
  std::string error;
  EXPECT_FALSE(descriptorFromParameters(params.data(), int(params.size()), descriptor, error));
  EXPECT_NE(error.find("y-center"), std::string::npos) << error;
  params.pop_back();
  EXPECT_FALSE(descriptorFromParameters(params.data(), int(params.size()), descriptor, error));
  EXPECT_NE(error.find("21 parameters"), std::string::npos) << error;
}

TEST(ProcedureParameters, LastValuesReplayWhatWasRecordedAndForeignRecordsReadAsNone) {
  std::vector<GimpParam> params = validCall();
  Descriptor recorded;
  std::string error;
  ASSERT_TRUE(descriptorFromParameters(params.data(), int(params.size()), recorded, error));
  const std::vector<uint8_t> bytes = lastValuesFrom(recorded);
  const std::optional<Descriptor> replayed = descriptorFromLastValues(bytes);
  ASSERT_TRUE(replayed);
  ASSERT_EQ(replayed->size(), recorded.size());
  for (size_t i = 0; i < recorded.size(); ++i) {
    EXPECT_EQ((*replayed)[i].key, recorded[i].key);
    EXPECT_EQ((*replayed)[i].integer, recorded[i].integer);
    EXPECT_EQ((*replayed)[i].enumValue, recorded[i].enumValue);
    EXPECT_EQ((*replayed)[i].number, recorded[i].number);
  }

  // A module that recorded glue 0 (<NO>) or left a key out leaves nothing to repeat.
  Descriptor noGlue = recorded;
  for (DescriptorValue& v : noGlue)
    if (v.key == kGlueKey) v.enumValue = kNoGlueCode;
  EXPECT_FALSE(descriptorFromLastValues(lastValuesFrom(noGlue)));
  EXPECT_TRUE(lastValuesFrom(Descriptor(recorded.begin() + 1, recorded.end())).empty());

  std::vector<uint8_t> shorter(bytes.begin(), bytes.end() - 1), otherVersion = bytes;
  otherVersion[0] ^= 0x40;
  EXPECT_FALSE(descriptorFromLastValues(shorter));
  EXPECT_FALSE(descriptorFromLastValues(otherVersion));
  EXPECT_FALSE(descriptorFromLastValues({}));
}
