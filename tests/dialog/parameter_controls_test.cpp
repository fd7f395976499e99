// The parameter controls' arithmetic and the control tables they read.
#include "dialog/parameter_controls.h"

#include <gtest/gtest.h>

#include <set>

#include "dialog/control_table.h"

namespace {

TEST(FieldValues, TypedAndPastedTextBecomeClampedWholeValues) {
  struct Case {
    const char* text;
    int32_t value;
    bool clamped;
  } cases[] = {{"42", 42, false}, {"150", 100, true}, {"12.7", 12, false}, {"", 0, false},
               {"abc", 0, false}, {"-5", 0, true},   {"100", 100, false}, {"99.99", 99, false},
               {"1e3", 100, true}, {"nan", 0, false}, {"7x", 7, false}};
  for (const Case& c : cases) {
    bool clamped = false;
    EXPECT_EQ(fieldValue(fieldNumber(c.text), 0, 100, clamped), c.value) << c.text;
    EXPECT_EQ(clamped, c.clamped) << c.text;
  }
  char text[32];
  formatFieldValue(100, text);
  EXPECT_STREQ(text, "100");
  formatFieldValue(0, text);
  EXPECT_STREQ(text, "0");
  formatFieldValue(150, text);  // a value from a settings file shows as it is until it is read
  EXPECT_STREQ(text, "150");
}

TEST(Sliders, PointerPositionsAndThumbsAgreeAcrossTheTrack) {
  const int32_t left = 120, width = 135;
  // Ends: before the track is the minimum, past it the maximum.
  EXPECT_EQ(sliderValueAt(left - 30, left, width, 0, 100), 0);
  EXPECT_EQ(sliderValueAt(left + 1, left, width, 0, 100), 0);
  EXPECT_EQ(sliderValueAt(left + 1 + 121, left, width, 0, 100), 100);
  EXPECT_EQ(sliderValueAt(left + 400, left, width, 0, 100), 100);
  EXPECT_EQ(sliderValueAt(left + 1 + 60, left, width, 0, 100), 49);  // 60 x 100 / 121
  // The thumb of every value lies on the track, and a press at the thumb's own place (the
  // dialog takes the pointer 4 pixels to its left) gives back a value within two of it.
  for (int32_t v = 0; v <= 100; ++v) {
    const int32_t thumb = sliderThumbX(v, left, width, 0, 100);
    EXPECT_GE(thumb, left + 1);
    EXPECT_LE(thumb + 12, left + width);
    EXPECT_NEAR(sliderValueAt(thumb, left, width, 0, 100), v, 2) << v;
  }
  EXPECT_EQ(sliderThumbX(150, left, width, 0, 100), sliderThumbX(100, left, width, 0, 100));
  EXPECT_EQ(sliderThumbX(-3, left, width, 0, 100), left + 1);
  // A degenerate range neither divides by zero nor leaves it.
  EXPECT_EQ(sliderValueAt(left + 50, left, width, 5, 5), 5);
}

TEST(GlueAndColour, NextGlueWrapsAndColoursTravelAsHighBytes) {
  EXPECT_EQ(nextGlue(1), 2);
  EXPECT_EQ(nextGlue(61), 62);
  EXPECT_EQ(nextGlue(62), 1);
  EXPECT_EQ(nextGlue(0), 1);  // an unknown glue from a script starts the list again
  // A channel of 257 (high byte 1) confirmed unchanged in the picker comes back as 256.
  EXPECT_EQ(colourChannel(colourByte(257)), 256);
  EXPECT_EQ(colourChannel(colourByte(0xFFFF)), 0xFF00);
}

TEST(ControlTable, EveryRowPairsASliderWithItsFieldAndCaption) {
  std::set<int32_t> ids;
  for (const ParameterRow& row : kParameterRows) {
    const ControlEntry slider = controlEntry(row.slider), field = controlEntry(row.field);
    EXPECT_EQ(slider.kind, DialogControlKind::slider) << row.slider;
    EXPECT_EQ(field.kind, DialogControlKind::valueField) << row.field;
    EXPECT_EQ(slider.partner, row.field);
    EXPECT_EQ(field.partner, row.slider);
    EXPECT_EQ(slider.maximum, 100);
    EXPECT_TRUE(slider.track == 101 || slider.track == 102);
    LayoutRect s, f;
    ASSERT_TRUE(controlLayout(row.slider, s));
    ASSERT_TRUE(controlLayout(row.field, f));
    EXPECT_EQ(s.width, 135);
    EXPECT_EQ(s.top, f.top + 2);  // a field sits two pixels above its slider
    EXPECT_TRUE(ids.insert(row.slider).second && ids.insert(row.field).second);
    EXPECT_EQ(parameterRowOf(row.field), &row);
  }
  // Each caption stands left of its slider on the same line.
  int32_t labels = 0;
  for (int32_t id = 0; id < kControlCount; ++id) {
    const ControlEntry e = controlEntry(id);
    if (e.kind != DialogControlKind::label) continue;
    ++labels;
    LayoutRect label;
    ASSERT_TRUE(controlLayout(id, label));
    EXPECT_STRNE(captionText(e.textIndex), "");
  }
  EXPECT_EQ(labels, 12);
  EXPECT_EQ(controlEntry(1).kind, DialogControlKind::none);
  EXPECT_EQ(controlEntry(133).kind, DialogControlKind::memoryDot);
  LayoutRect dot;
  ASSERT_TRUE(controlLayout(145, dot));
  EXPECT_EQ(dot.left, 464);
  EXPECT_EQ(dot.top, 411);
}

}  // namespace
