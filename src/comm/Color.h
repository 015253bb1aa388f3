// The colour value and font style bits of the program, as the settings store them and the windows draw them.
#pragma once
#include <cstdint>

namespace comm {

// Red in the lowest byte, green and blue above it; a value with the top bit set names a system colour
// (0x80000000 | COLOR_ index, as the settings file writes "clWindowText" or "$80000008").
using TColor = int32_t;

constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }

// A font's style bits, the same in the settings file (I_FontStyle) and in a drawn font.
enum TFontStyle : uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

}  // namespace comm
