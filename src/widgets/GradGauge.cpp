// The gradation gauge: range rules, the 255-band gradient, off-screen composition and the percentage.
#include "widgets/GradGauge.h"
#include <cmath>

namespace widgets {

int GaugeFilled(unsigned position, unsigned max, int extent) {
  const int filled = MulDiv(static_cast<int>(position), extent, static_cast<int>(max));
  return filled < 0 ? 0 : filled;
}

std::wstring GaugePercentText(int filled, int extent) {
  const int p = MulDiv(filled, 100, extent);
  return (p == -1 ? L"0" : std::to_wstring(p)) + L"%";
}

HBITMAP MakeGradation(int width, int height, COLORREF top, COLORREF last, TGradStyle style) {
  if (width <= 0 || height <= 0) return nullptr;
  comm::TWindowDC screen(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  if (!bmp) return nullptr;
  comm::TMemoryDC mem(screen);
  comm::TSelectObject sel(mem, bmp);
  double value[3] = {double(GetRValue(top)), double(GetGValue(top)), double(GetBValue(top))};
  const double step[3] = {(value[0] - GetRValue(last)) / 255.0, (value[1] - GetGValue(last)) / 255.0,
                          (value[2] - GetBValue(last)) / 255.0};
  // Each band's rectangle reaches past its start by one band; the next band paints over the overlap.
  const double extent = style == gsHorizontal ? width : height;
  for (int i = 0; i < 255; ++i) {
    const COLORREF c = RGB(static_cast<BYTE>(std::trunc(value[0])), static_cast<BYTE>(std::trunc(value[1])),
                           static_cast<BYTE>(std::trunc(value[2])));
    const int start = static_cast<int>(std::trunc(i * extent / 255));
    const int size = static_cast<int>(std::trunc(i * extent / 255 + extent / 255));
    RECT r = style == gsHorizontal ? RECT{start, 0, start + size, height} : RECT{0, start, width, start + size};
    SetBkColor(mem, c);
    ExtTextOutW(mem, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);  // a solid fill without a brush per band
    for (int k = 0; k < 3; ++k) value[k] -= step[k];
  }
  return bmp;
}

TGradationGauge::TGradationGauge() {
  FWidth = 200;
  FHeight = 25;
  FFont = ui::DefaultFont();
  FFont.Style |= ui::fsBold;
  FFont.Color = RGB(255, 255, 255);
}

void TGradationGauge::SetMin(uint16_t v) {
  if (v == FMin || v > FMax || v > FPosition) return;
  FMin = v;
  Changed(false);
}

void TGradationGauge::SetMax(uint16_t v) {
  if (v == FMax || v < FMin || v < FPosition) return;
  FMax = v;
  Changed(false);
}

void TGradationGauge::SetPosition(uint16_t v) {
  if (v == FPosition) return;
  if (v > FMax) v = FMax;
  else if (v < FMin) v = FMin;
  FPosition = v;
  Changed(false);
}

void TGradationGauge::SetGradStyle(TGradStyle s) {
  if (s == FGradStyle) return;
  FGradStyle = s;
  FGradientStale = true;
  Changed(true);
}

void TGradationGauge::SetShowPercent(bool show) {
  if (show == FShowPercent) return;
  FShowPercent = show;
  Changed(true);
}

void TGradationGauge::SetColor_Top(ui::Color c) {
  if (c == FColorTop) return;
  FColorTop = c;
  FGradientStale = true;
  Changed(true);
}

void TGradationGauge::SetColor_Last(ui::Color c) {
  if (c == FColorLast) return;
  FColorLast = c;
  FGradientStale = true;
  Changed(true);
}

void TGradationGauge::SetBackColor(ui::Color c) {
  if (c == FBackColor) return;
  FBackColor = c;
  Changed(true);
}

void TGradationGauge::SetFont(const ui::Font& font) {
  if (font == FFont) return;
  FFont = font;
  Changed(true);
}

void TGradationGauge::SetBounds(int left, int top, int width, int height) {
  if (width != FWidth || height != FHeight) FGradientStale = true;
  ui::GraphicControl::SetBounds(left, top, width, height);
}

int TGradationGauge::Filled() const {
  return GaugeFilled(FPosition, FMax, FGradStyle == gsHorizontal ? FWidth : FHeight);
}

std::wstring TGradationGauge::PercentText() const {
  return GaugePercentText(Filled(), FGradStyle == gsHorizontal ? FWidth : FHeight);
}

void TGradationGauge::Changed(bool always) {
  if (!always && FDrawn && Filled() == FDrawnFilled && (!FShowPercent || PercentText() == FDrawnText)) return;
  DrawNow();
}

void TGradationGauge::DrawNow() {
  FDrawn = false;  // a gauge that cannot be drawn now is drawn whole at its next paint
  if (!FVisible || !FParent || !FParent->Handle() || !IsWindowVisible(FParent->Handle())) return;
  comm::TWindowDC dc(FParent->Handle());
  comm::TSavedDC saved(dc);
  IntersectClipRect(dc, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
  SetViewportOrgEx(dc, FLeft, FTop, nullptr);
  Paint(dc);
}

void TGradationGauge::Paint(HDC dc) {
  const int W = FWidth, H = FHeight;
  if (W <= 0 || H <= 0) return;
  if (FGradientStale || !FGradient) {
    // Gradient colours are taken as their stored bytes.
    FGradient.Reset(MakeGradation(W, H, FColorTop & 0xFFFFFF, FColorLast & 0xFFFFFF, FGradStyle));
    FGradientStale = false;
  }
  comm::TGdiObject<HBITMAP> off(CreateCompatibleBitmap(dc, W, H));
  comm::TMemoryDC mem(dc);
  comm::TMemoryDC grad(dc);
  if (!off || !mem.Get() || !grad.Get()) return;
  comm::TSelectObject selOff(mem, off.Get());
  comm::TSelectObject selGrad(grad, FGradient.Get());
  RECT all{0, 0, W, H};
  FillRect(mem, &all, ui::ColorBrush(FBackColor));

  const int filled = Filled();
  const RECT done = FGradStyle == gsHorizontal ? RECT{0, 0, filled, H} : RECT{0, H - filled, W, H};
  // A high-contrast theme fills in its highlight colour instead of the gradient, and the percentage
  // is written in the theme's text colour over each part.
  const bool highContrast = ui::HighContrast();
  if (filled > 0) {
    if (highContrast) FillRect(mem, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
    else if (FGradient) BitBlt(mem, done.left, done.top, done.right - done.left, done.bottom - done.top, grad, done.left,
                               done.top, SRCCOPY);
  }
  const std::wstring text = PercentText();
  if (FShowPercent) {
    comm::TSelectObject selFont(mem, ui::FontHandle(DeviceFont()));
    SetBkMode(mem, TRANSPARENT);
    auto write = [&](COLORREF color, const RECT& part) {
      comm::TSavedDC keep(mem);
      IntersectClipRect(mem, part.left, part.top, part.right, part.bottom);
      SetTextColor(mem, color);
      DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &all, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    };
    if (highContrast) {
      write(GetSysColor(COLOR_BTNTEXT), all);
      write(GetSysColor(COLOR_HIGHLIGHTTEXT), done);
    } else {
      write(FFont.Color & 0xFFFFFF, all);
    }
  }
  BitBlt(dc, 0, 0, W, H, mem, 0, 0, SRCCOPY);
  DrawEdge(dc, &all, BDR_SUNKENOUTER, BF_RECT);
  FDrawn = true;
  FDrawnFilled = filled;
  FDrawnText = text;
  ++FPaintCount;
}

}  // namespace widgets
