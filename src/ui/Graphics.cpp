// Colours and fonts shared by every window, created on first use.
#include "ui/Graphics.h"
#include "comm/Scoped.h"
#include <map>
#include <memory>
#include <tuple>

namespace ui {

COLORREF ColorToRGB(Color c) {
  if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0x00FFFFFFu;
}

namespace {
std::optional<bool> gFixedHighContrast;
}  // namespace

bool HighContrast() {
  if (gFixedHighContrast) return *gFixedHighContrast;
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void FixHighContrastForTesting(std::optional<bool> on) { gFixedHighContrast = on; }

COLORREF TextRGB(Color c, Color ground) {
  if ((c & 0x80000000u) || !HighContrast()) return ColorToRGB(c);
  return GetSysColor(ground == clWindow ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
}

void DrawCaptionText(HDC dc, const std::wstring& text, const RECT& r, UINT format, bool enabled, Color color,
                     Color ground) {
  SetBkMode(dc, TRANSPARENT);
  RECT at = r;
  if (enabled) {
    SetTextColor(dc, TextRGB(color, ground));
  } else {
    RECT below = r;
    OffsetRect(&below, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextW(dc, text.c_str(), -1, &below, format);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  }
  DrawTextW(dc, text.c_str(), -1, &at, format);
}

HBRUSH ColorBrush(Color c) {
  if (c & 0x80000000u) return GetSysColorBrush(static_cast<int>(c & 0xFF));
  static std::map<COLORREF, comm::TGdiObject<HBRUSH>> brushes;
  COLORREF rgb = ColorToRGB(c);
  auto it = brushes.find(rgb);
  if (it == brushes.end()) it = brushes.emplace(rgb, comm::TGdiObject<HBRUSH>(CreateSolidBrush(rgb))).first;
  return it->second.Get();
}

HFONT FontHandle(const Font& f) {
  using Key = std::tuple<std::wstring, int, BYTE, unsigned>;
  static std::map<Key, comm::TGdiObject<HFONT>> fonts;
  Key key{f.Name, f.Height, f.Charset, f.Style};
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second.Get();
  LOGFONTW lf{};
  lf.lfHeight = f.Height;
  lf.lfWeight = (f.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (f.Style & fsItalic) ? TRUE : FALSE;
  lf.lfUnderline = (f.Style & fsUnderline) ? TRUE : FALSE;
  lf.lfStrikeOut = (f.Style & fsStrikeOut) ? TRUE : FALSE;
  lf.lfCharSet = f.Charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  lstrcpynW(lf.lfFaceName, f.Name.c_str(), LF_FACESIZE);
  HFONT h = CreateFontIndirectW(&lf);
  fonts.emplace(key, comm::TGdiObject<HFONT>(h));
  return h;
}

const Font& DefaultFont() {
  static const Font f{};
  return f;
}

SIZE TextExtent(HFONT font, const std::wstring& text) {
  SIZE sz{0, 0};
  comm::TWindowDC dc(nullptr);
  comm::TSelectObject sel(dc, font);
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  return sz;
}

Font PixelFont(int pixels, unsigned style, Color color) {
  Font f;
  f.Height = -pixels;
  f.Style = style;
  f.Color = color;
  return f;
}

}  // namespace ui
