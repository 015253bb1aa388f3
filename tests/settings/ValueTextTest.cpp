// Integer texts, colour texts and hex byte lines of the settings.
#include "settings/ValueText.h"
#include <gtest/gtest.h>
#include <set>

using settings::TextToInt;

TEST(ValueText, IntegerTextsConvertWholeOrNotAtAll) {
  struct Case {
    const wchar_t* text;
    std::optional<int32_t> value;
  };
  const Case cases[] = {
      {L"12", 12},           {L"  12", 12},        {L"12 ", std::nullopt}, {L"1 2", std::nullopt},
      {L"", std::nullopt},   {L"abc", std::nullopt}, {L"+7", 7},           {L"-7", -7},
      {L"--1", std::nullopt}, {L"-", std::nullopt}, {L"$1F", 31},          {L"0x1F", 31},
      {L"0X1f", 31},         {L"x1F", 31},         {L"X1F", 31},          {L"-$10", -16},
      {L"$", std::nullopt},  {L"0x", std::nullopt}, {L"$1G", std::nullopt}, {L"0012", 12},
      {L"2147483647", 2147483647}, {L"2147483648", std::nullopt}, {L"-2147483648", INT32_MIN},
      {L"-2147483649", std::nullopt}, {L"$7FFFFFFF", INT32_MAX}, {L"$FFFFFFFF", std::nullopt},
      {L"99999999999999999999", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "text \"" << std::wstring(c.text) << "\"");
    EXPECT_EQ(TextToInt(c.text), c.value);
  }
  // As a colour pattern, eight hex digits are a 32-bit value and nine are too many.
  EXPECT_EQ(TextToInt(L"$8000001A", true), static_cast<int32_t>(0x8000001A));
  EXPECT_EQ(TextToInt(L"$FFFFFFFF", true), -1);
  EXPECT_EQ(TextToInt(L"$100000000", true), std::nullopt);
}

TEST(ValueText, ColourTextsRoundTrip) {
  EXPECT_EQ(settings::ColorNames().size(), 41u);
  std::set<std::wstring> names;
  std::set<settings::TColor> values;
  for (const settings::TColorName& entry : settings::ColorNames()) {
    names.insert(entry.Name);
    values.insert(entry.Value);
    EXPECT_EQ(settings::ColorToText(entry.Value), entry.Name);
    EXPECT_EQ(settings::TextToColor(entry.Name), entry.Value);
  }
  EXPECT_EQ(names.size(), 41u);  // names and values are unique, so the text of a colour is unambiguous
  EXPECT_EQ(values.size(), 41u);

  EXPECT_EQ(settings::ColorToText(RGB(0x12, 0x34, 0x56)), L"$00563412");  // red in the lowest byte
  EXPECT_EQ(settings::ColorToText(static_cast<settings::TColor>(0x8000001A)), L"$8000001A");
  EXPECT_EQ(settings::TextToColor(L"$8000001A"), static_cast<settings::TColor>(0x8000001A));
  EXPECT_EQ(settings::TextToColor(L"CLWINDOWTEXT"), static_cast<settings::TColor>(0x80000000 | COLOR_WINDOWTEXT));
  EXPECT_EQ(settings::TextToColor(L"255"), 255);
  EXPECT_EQ(settings::TextToColor(L"clNoSuchColour"), std::nullopt);
}

// The names the settings file uses stand for the values the windows draw with.
TEST(ValueText, SystemColourNamesAreTheDrawnSystemColours) {
  EXPECT_EQ(settings::TextToColor(L"clWindowText"), comm::SysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(settings::TextToColor(L"clBtnFace"), comm::SysColor(COLOR_BTNFACE));
  EXPECT_EQ(settings::ColorToText(comm::SysColor(COLOR_HIGHLIGHT)), L"clHighlight");
}

TEST(ValueText, HexLinesDecodePairsAndALoneLastCharacter) {
  using Bytes = std::vector<uint8_t>;
  EXPECT_EQ(settings::HexLineToBytes(L"0A1"), (Bytes{10, 1}));
  EXPECT_EQ(settings::HexLineToBytes(L"ZZ"), (Bytes{0}));
  EXPECT_EQ(settings::HexLineToBytes(L"ff7G"), (Bytes{255, 0}));
  EXPECT_EQ(settings::HexLineToBytes(L"A"), (Bytes{10}));
  EXPECT_EQ(settings::HexLineToBytes(L""), Bytes{});
  EXPECT_EQ(settings::BytesToHex({0x00, 0xAB, 0x5F}), L"00AB5F");
}
