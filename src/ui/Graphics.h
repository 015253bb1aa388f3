// Colours (RGB or system colour), fonts described by value and shared GDI objects made from them.
#pragma once
#include "Base.h"
#include "comm/Color.h"
#include <optional>
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

// A high-contrast theme is on. Read through this one function, so that tests can fix it.
bool HighContrast();
// Fixes what HighContrast returns; nullopt gives the system's own back.
void FixHighContrastForTesting(std::optional<bool> on);
// The colour a text is drawn in: its own, but while a high-contrast theme is on a fixed colour (the
// title's green, the gauge's white) gives way to the system's text colour for the ground it stands on,
// so that no text disappears in the theme's colours.
COLORREF TextRGB(Color c, Color ground = clBtnFace);
// A caption as windows draw it: in its colour (TextRGB) when enabled, engraved (a highlight copy one
// pixel down and right under a shadow copy) when disabled. The background mode is left transparent.
void DrawCaptionText(HDC dc, const std::wstring& text, const RECT& r, UINT format, bool enabled, Color color,
                     Color ground = clBtnFace);
// A solid brush of the colour, kept for the life of the process (callers never delete it).
HBRUSH ColorBrush(Color c);

using comm::TFontStyle;
using enum comm::TFontStyle;

// The windows' font description is the settings' one.
using Font = comm::TFont;

// The default face and character set at a height in pixels, with a style and colour.
Font PixelFont(int pixels, unsigned style = 0, Color color = clWindowText);

// The GDI font for a description, created once and kept for the life of the process.
HFONT FontHandle(const Font& f);
// The default font of the program's windows.
const Font& DefaultFont();

// Text extent of a single line in a font.
SIZE TextExtent(HFONT font, const std::wstring& text);

}  // namespace ui
