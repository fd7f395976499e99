// The Windows build's files as a Windows host and loader see them, read here on Linux: the
// module exports PluginMain alone, neither file needs a DLL that Windows does not bring,
// and the module's PiPL and aete resources are what our writers make and what our own
// reader of the property list understands. Given the Windows build's folder in
// $TARVE_WINDOWS_BUILD (the Wine checks of tests/windows/wine_checks.sh run it).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/host/module_loader.h"
#include "resources/property_list.h"
#include "resources/terminology.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t le16(const Bytes& b, size_t at) { return at + 2 <= b.size() ? b[at] | b[at + 1] << 8 : 0; }
uint32_t le32(const Bytes& b, size_t at) { return at + 4 <= b.size() ? le16(b, at) | le16(b, at + 2) << 16 : 0; }

// A portable executable's sections, enough to follow the directories of its optional header.
struct PeImage {
  Bytes bytes;
  struct Section {
    uint32_t address, size, fileOffset;
  };
  std::vector<Section> sections;
  uint32_t directory[3][2] = {};  // export, import, resource: address and size

  // Where a relative address lies in the file; nullopt outside every section.
  std::optional<size_t> offsetOf(uint32_t address) const {
    for (const Section& s : sections)
      if (address >= s.address && address < s.address + s.size) return s.fileOffset + (address - s.address);
    return std::nullopt;
  }
  std::string textAt(uint32_t address) const {
    std::string text;
    for (auto at = offsetOf(address); at && *at < bytes.size() && bytes[*at]; ++*at) text += char(bytes[*at]);
    return text;
  }
};

// Reads a 64-bit PE file; false with the reason.
bool readPe(const std::string& path, PeImage& pe, std::string& why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return why = "cannot open " + path, false;
  pe.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  const Bytes& b = pe.bytes;
  if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z') return why = "no DOS header", false;
  const size_t header = le32(b, 0x3C);
  if (le32(b, header) != 0x4550) return why = "no PE signature", false;
  if (le16(b, header + 4) != 0x8664) return why = "not an x86-64 image", false;
  const size_t sectionCount = le16(b, header + 6), optionalSize = le16(b, header + 20);
  const size_t optional = header + 24;
  if (le16(b, optional) != 0x20B) return why = "not a PE32+ optional header", false;
  for (int d = 0; d < 3 && uint32_t(d) < le32(b, optional + 108); ++d) {
    pe.directory[d][0] = le32(b, optional + 112 + 8 * d);
    pe.directory[d][1] = le32(b, optional + 116 + 8 * d);
  }
  for (size_t s = 0; s < sectionCount; ++s) {
    const size_t at = optional + optionalSize + 40 * s;
    if (at + 40 > b.size()) return why = "the section table is cut off", false;
    pe.sections.push_back({le32(b, at + 12), std::max(le32(b, at + 8), le32(b, at + 16)), le32(b, at + 20)});
  }
  return true;
}

std::vector<std::string> exportedNames(const PeImage& pe) {
  std::vector<std::string> names;
  const auto table = pe.offsetOf(pe.directory[0][0]);
  if (!pe.directory[0][1] || !table) return names;
  const uint32_t count = le32(pe.bytes, *table + 24);
  const auto nameList = pe.offsetOf(le32(pe.bytes, *table + 32));
  for (uint32_t i = 0; nameList && i < count; ++i) names.push_back(pe.textAt(le32(pe.bytes, *nameList + 4 * i)));
  return names;
}

std::vector<std::string> importedLibraries(const PeImage& pe) {
  std::vector<std::string> names;
  auto entry = pe.offsetOf(pe.directory[1][0]);
  for (; pe.directory[1][1] && entry && le32(pe.bytes, *entry + 12) != 0; *entry += 20) {
    std::string name = pe.textAt(le32(pe.bytes, *entry + 12));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    names.push_back(name);
  }
  return names;
}

// The data of resource type `type` (a name, compared as Windows does, without case, or "#16"
// for a number, as Windows writes them) and id `id`, first language; nullopt when the module
// has none.
std::optional<Bytes> resource(const PeImage& pe, const std::string& type, uint32_t id) {
  const auto base = pe.offsetOf(pe.directory[2][0]);
  if (!pe.directory[2][1] || !base) return std::nullopt;
  const Bytes& b = pe.bytes;
  auto nameAt = [&](uint32_t offset) {
    std::string name;
    const uint32_t length = le16(b, *base + offset);
    for (uint32_t i = 0; i < length; ++i) name += char(std::toupper(int(le16(b, *base + offset + 2 + 2 * i))));
    return name;
  };
  // One level of the tree: the entry whose name (or id) matches, else the first.
  auto step = [&](uint32_t directory, const std::optional<std::string>& name, std::optional<uint32_t> number) {
    const size_t at = *base + directory;
    const uint32_t entries = le16(b, at + 12) + le16(b, at + 14);
    for (uint32_t e = 0; e < entries; ++e) {
      const uint32_t key = le32(b, at + 16 + 8 * e), target = le32(b, at + 20 + 8 * e);
      const bool named = key & 0x80000000u;
      const bool matches = name ? named && nameAt(key & 0x7FFFFFFFu) == *name
                                : number ? !named && key == *number : true;
      if (matches) return std::optional<uint32_t>(target);
    }
    return std::optional<uint32_t>();
  };
  std::string upper = type;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  const auto byType = type[0] == '#' ? step(0, std::nullopt, uint32_t(std::stoul(type.substr(1))))
                                     : step(0, upper, std::nullopt);
  if (!byType || !(*byType & 0x80000000u)) return std::nullopt;
  const auto byId = step(*byType & 0x7FFFFFFFu, std::nullopt, id);
  if (!byId || !(*byId & 0x80000000u)) return std::nullopt;
  const auto leaf = step(*byId & 0x7FFFFFFFu, std::nullopt, std::nullopt);
  if (!leaf || (*leaf & 0x80000000u)) return std::nullopt;
  const auto data = pe.offsetOf(le32(b, *base + *leaf));
  const uint32_t size = le32(b, *base + *leaf + 4);
  if (!data || *data + size > b.size()) return std::nullopt;
  return Bytes(b.begin() + long(*data), b.begin() + long(*data + size));
}

std::string buildFolder() {
  const char* folder = std::getenv("TARVE_WINDOWS_BUILD");
  return folder ? std::string(folder) + "/" : std::string();
}

struct WindowsFiles : testing::Test {
  PeImage module, program;
  void SetUp() override {
    ASSERT_FALSE(buildFolder().empty()) << "set TARVE_WINDOWS_BUILD to the Windows build's folder";
    std::string why;
    ASSERT_TRUE(readPe(buildFolder() + "Tarve.8bf", module, why)) << why;
    ASSERT_TRUE(readPe(buildFolder() + "tarve.exe", program, why)) << why;
  }
};

TEST_F(WindowsFiles, TheModuleExportsPluginMainAlone) {
  EXPECT_EQ(exportedNames(module), std::vector<std::string>{"PluginMain"});
  EXPECT_TRUE(exportedNames(program).empty());
}

TEST_F(WindowsFiles, OnlyWindowsOwnLibrariesAreNeeded) {
  // What every Windows installation has; the compiler's own runtime (libstdc++, libgcc,
  // winpthread) is linked in.
  const std::vector<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",  "comdlg32.dll", "shell32.dll",
                                           "advapi32.dll", "msvcrt.dll", "ole32.dll",  "comctl32.dll", "msimg32.dll",
                                           "uxtheme.dll",  "shlwapi.dll", "oleaut32.dll"};
  for (const PeImage* image : {&module, &program}) {
    const std::vector<std::string> imports = importedLibraries(*image);
    EXPECT_FALSE(imports.empty());
    for (const std::string& name : imports)
      EXPECT_TRUE(std::find(system.begin(), system.end(), name) != system.end() || name.rfind("api-ms-win-", 0) == 0)
          << name << " is not a library of Windows itself";
  }
}

TEST_F(WindowsFiles, ThePropertyListResourceIsOursAndReads) {
  const std::optional<Bytes> list = resource(module, "PiPL", 16000);
  ASSERT_TRUE(list) << "no PiPL resource 16000";
  EXPECT_EQ(*list, buildPropertyList());
  ModuleProperties properties;
  std::string why;
  ASSERT_TRUE(readPropertyList(*list, properties, why)) << why;
  EXPECT_EQ(properties.name, kMenuName);
  EXPECT_EQ(properties.category, kCategory);
  EXPECT_EQ(properties.entryPoint, "PluginMain");
  EXPECT_TRUE(modeEnabled(properties, plugInModeRGB96));
  EXPECT_FALSE(modeEnabled(properties, plugInModeMultichannel));

  const std::optional<Bytes> terms = resource(module, "aete", kTerminologyResource);
  ASSERT_TRUE(terms) << "no aete resource " << kTerminologyResource;
  EXPECT_EQ(*terms, buildTerminology());
  EXPECT_FALSE(resource(module, "PiPL", 16001));
}

TEST_F(WindowsFiles, BothCarryTheirVersion) {
  for (const PeImage* image : {&module, &program}) {
    const std::optional<Bytes> version = resource(*image, "#16", 1);
    ASSERT_TRUE(version);
    // VS_VERSIONINFO in UTF-16, its fixed part marked with 0xFEEF04BD.
    const std::string key = "VS_VERSION_INFO";
    for (size_t i = 0; i < key.size(); ++i) EXPECT_EQ(le16(*version, 6 + 2 * i), uint32_t(key[i]));
    EXPECT_EQ(le32(*version, 40), 0xFEEF04BDu);
  }
}

}  // namespace
