// The colour value and the font description of the program, as the settings store them and the windows draw them.
#pragma once
#include <cstdint>
#include <string>

namespace comm {

// Red in the lowest byte, green and blue above it; a value with the top bit set names a system colour
// (0x80000000 | COLOR_ index, as the settings file writes "clWindowText" or "$80000008").
using TColor = int32_t;

constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

// A font's style bits, the same in the settings file (I_FontStyle) and in a drawn font.
enum TFontStyle : uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font by value: what a window draws its text in and what the settings file stores.
struct TFont {
  std::wstring Name = L"ＭＳ Ｐゴシック";
  int32_t Height = -12;    // as a LOGFONT's, at 96 DPI: negative is the character height in pixels
  uint8_t Charset = 128;   // SHIFTJIS_CHARSET; carried along, not stored by the settings
  uint32_t Style = 0;      // TFontStyle bits
  TColor Color = SysColor(8);  // COLOR_WINDOWTEXT
  bool operator==(const TFont&) const = default;
};

// The size in points that the settings file stores for the height (96 pixels an inch), and back.
// Both round to the nearest, so a size read and written again stays the same.
constexpr int32_t FontPoints(int32_t height) {
  const int64_t h = -static_cast<int64_t>(height) * 72;
  return static_cast<int32_t>(h >= 0 ? (h + 48) / 96 : -((-h + 48) / 96));
}
constexpr int32_t FontHeight(int32_t points) {
  const int64_t p = static_cast<int64_t>(points) * 96;
  return static_cast<int32_t>(p >= 0 ? -((p + 36) / 72) : (-p + 36) / 72);
}

}  // namespace comm
