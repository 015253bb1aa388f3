// Text forms of stored settings values: integers, font colours and hexadecimal byte lines.
#pragma once
#include "Base.h"
#include "comm/Color.h"
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// Converts an integer text: leading spaces skipped, an optional "-" or "+", then decimal digits or,
// after "$", "x", "X", "0x" or "0X", hexadecimal digits. The whole text must convert.
// Without hexAsBits the value must lie in the signed 32-bit range; with it, up to eight hexadecimal
// digits are taken as a 32-bit pattern ("$8000000F" is a system colour, not an overflow).
std::optional<int32_t> TextToInt(std::wstring_view text, bool hexAsBits = false);

// TextToInt, with 0 for a text that does not convert.
int32_t TextToIntOrZero(std::wstring_view text);

// Decimal text with "-" for negatives.
std::wstring IntToText(int32_t value);

using comm::TColor;

// The colour's name from the colour table ("clWindowText"), or "$" with eight upper-case hex digits.
std::wstring ColorToText(TColor color);
// A colour name (any letter case) or an integer text; nothing for any other text.
std::optional<TColor> TextToColor(std::wstring_view text);
// Every name of the colour table with its value, in table order (41 entries).
struct TColorName {
  const wchar_t* Name;
  TColor Value;
};
const std::vector<TColorName>& ColorNames();

// Upper-case hexadecimal, two digits a byte.
std::wstring BytesToHex(const std::vector<uint8_t>& bytes);
// Decodes a stored hex line two characters at a time; a pair that is not hexadecimal gives 0 and a
// single trailing character is decoded alone.
std::vector<uint8_t> HexLineToBytes(std::wstring_view line);

}  // namespace settings
