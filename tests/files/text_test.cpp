#include "files/text.h"

#include <gtest/gtest.h>

#include <string>

TEST(Text, Find) {
  struct Case {
    const char *needle, *text;
    bool ignoreCase;
    int32_t expected;
  } cases[] = {
      {".q8r", "Sea.Q8R", true, 3},
      {".q8r", "Sea.Q8R", false, -1},
      {".q8r", "x.q8r.bak", false, 1},
      {"abc", "ab", false, -1},      // needle longer than the text
      {"", "abc", false, -1},
      {"a", "", false, -1},
      {nullptr, "abc", false, -1},
      {"a", nullptr, false, -1},
      {"\xC4", "\xE4", true, -1},    // only A..Z fold
      {"SEA", "the sea", true, 4},
  };
  for (const Case& c : cases)
    EXPECT_EQ(findText(c.needle, c.text, c.ignoreCase), c.expected)
        << (c.needle ? c.needle : "(null)") << " in " << (c.text ? c.text : "(null)");
}

TEST(Text, LengthStopsAt32767) {
  EXPECT_EQ(textLength(nullptr), 0);
  EXPECT_EQ(textLength("abc"), 3);
  const std::string huge(40000, 'x');
  EXPECT_EQ(textLength(huge.c_str()), 32767);
}

TEST(Text, PascalStringsInPlace) {
  char text[300] = "layer 1";
  toPascalString(text);
  EXPECT_EQ(text[0], 7);
  EXPECT_EQ(std::string(text + 1, 7), "layer 1");
  fromPascalString(text);
  EXPECT_STREQ(text, "layer 1");

  std::string longText(290, 'p');
  longText.push_back('\0');
  toPascalString(longText.data());
  EXPECT_EQ(static_cast<unsigned char>(longText[0]), 255);
  fromPascalString(longText.data());
  EXPECT_EQ(std::string(longText.c_str()), std::string(255, 'p'));
}
