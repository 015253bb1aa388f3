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
  f.FontColor = color;
  return f;
}

}  // namespace ui
