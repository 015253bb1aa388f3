// Colours (RGB or system colour), fonts described by value and shared GDI objects made from them.
#pragma once
#include "Base.h"
#include "comm/Color.h"
#include <string>

namespace ui {

// The windows' colours are the settings' colours.
using Color = comm::TColor;
using comm::SysColor;
constexpr Color clBtnFace = SysColor(COLOR_BTNFACE);
constexpr Color clWindow = SysColor(COLOR_WINDOW);
constexpr Color clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr Color clBtnText = SysColor(COLOR_BTNTEXT);
constexpr Color clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr Color clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr Color clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr Color clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr Color clGreen = RGB(0, 128, 0);
constexpr Color clNone = 0x1FFFFFFFu;

COLORREF ColorToRGB(Color c);
// A solid brush of the colour, kept for the life of the process (callers never delete it).
HBRUSH ColorBrush(Color c);

using comm::TFontStyle;
using enum comm::TFontStyle;

struct Font {
  std::wstring Name = L"ＭＳ Ｐゴシック";
  int Height = -12;  // LOGFONT height: negative is the character height in pixels
  BYTE Charset = SHIFTJIS_CHARSET;
  unsigned Style = 0;
  Color FontColor = clWindowText;
  bool operator==(const Font&) const = default;
};

// The default face and character set at a height in pixels, with a style and colour.
Font PixelFont(int pixels, unsigned style = 0, Color color = clWindowText);

// The GDI font for a description, created once and kept for the life of the process.
HFONT FontHandle(const Font& f);
// The default font of the program's windows.
const Font& DefaultFont();

// Text extent of a single line in a font.
SIZE TextExtent(HFONT font, const std::wstring& text);

}  // namespace ui
