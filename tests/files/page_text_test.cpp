// Names on the gallery pages: what a browser shows for them, what the file system gets and
// what the links say.
#include "files/page_text.h"

#include <gtest/gtest.h>

TEST(PageText, EscapingKeepsMarkupOutAndShowsEveryCharacter) {
  const struct {
    const char* text;
    const char* shown;
  } cases[] = {
      {"a \"b\" & <c>", "a &quot;b&quot; &amp; &lt;c&gt;"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"{x}~", "&#123;x&#125;&#126;"},
      // Bytes that are not UTF-8 are taken one by one.
      {"\xC8", "&Egrave;"},
      {"a\x82z", "a&#130;z"},
      {"\xA9 \xDF\xE9", "&copy; &szlig;&eacute;"},
      // UTF-8 names show their characters.
      {"Sj\xC3\xB6", "Sj&ouml;"},
      {"\xC2\xA0\xC3\xBF", "&nbsp;&yuml;"},
      {"\xC2\x85", "&#133;"},
      {"\xE6\x9D\xB1", "&#26481;"},
      {"\xF0\x9F\x8C\x8A", "&#127754;"},
      // Overlong forms, surrogates, a sequence cut short: byte by byte.
      {"\xC0\xAF", "&Agrave;&macr;"},
      {"\xED\xA0\x80", "&iacute;&nbsp;&#128;"},
      {"\xE6\x9D", "&aelig;&#157;"},
      {"\xE6\x9Dx", "&aelig;&#157;x"},
      {"\xF4\x90\x80\x80", "&ocirc;&#144;&#128;&#128;"},
  };
  for (const auto& c : cases) EXPECT_EQ(escapePageText(c.text), c.shown) << c.text;
  EXPECT_EQ(escapePageText(nullptr), "");
}

TEST(PageText, FileNamesAreCleanedByteByByte) {
  EXPECT_EQ(cleanFileName("my preset"), "my preset");
  EXPECT_EQ(cleanFileName("a:b/c\\d"), "a_b_c_d");
  EXPECT_EQ(cleanFileName("tab\there\n"), "tab here ");
  // Bytes above 127 fold down by 96; a fold that lands on ".", "/", ":" or "\" is "_", so
  // no name can reach outside the images folder.
  EXPECT_EQ(cleanFileName("Sj\xC3\xB6"), "SjcV");
  EXPECT_EQ(cleanFileName("\x8E\x8F\x9A\xBC"), "____");
  EXPECT_EQ(cleanFileName("\xFF"), "\x9F");
}

TEST(PageText, LinksEscapeAllButLettersAndDigits) {
  EXPECT_EQ(escapeLink("my preset"), "my%20preset");
  EXPECT_EQ(escapeLink("Dot_1.b"), "Dot%5f1%2eb");
  EXPECT_EQ(escapeLink("\x9F\"<"), "%9f%22%3c");
}
