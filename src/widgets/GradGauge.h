// The gradation gauge: a windowless progress gauge filled with a colour gradient, with a percentage.
#pragma once
#include "ui/Control.h"
#include "comm/Scoped.h"
#include <cstdint>
#include <string>

namespace widgets {

enum TGradStyle { gsHorizontal, gsVertical };

// Pixels filled for a position on a gauge of the given extent (width or height): MulDiv rounding; a
// maximum of 0 (no valid result) fills nothing.
int GaugeFilled(unsigned position, unsigned max, int extent);
// The percentage text for a filled extent: "0%" where the division has no result (zero extent).
std::wstring GaugePercentText(int filled, int extent);
// The gradient of 255 bands from top to last over width x height (24-bit, top-down).
HBITMAP MakeGradation(int width, int height, COLORREF top, COLORREF last, TGradStyle style);

class TGradationGauge : public ui::GraphicControl {
 public:
  TGradationGauge();

  // Min and Max refuse a value that would leave Position outside the range; Position is clamped.
  void SetMin(uint16_t v);
  uint16_t Min() const { return FMin; }
  void SetMax(uint16_t v);
  uint16_t Max() const { return FMax; }
  void SetPosition(uint16_t v);
  uint16_t Position() const { return FPosition; }
  void SetGradStyle(TGradStyle s);
  TGradStyle GradStyle() const { return FGradStyle; }
  void SetShowPercent(bool show);
  bool ShowPercent() const { return FShowPercent; }
  // Gradient colours are plain RGB values: a system colour index is not translated.
  void SetColor_Top(ui::Color c);
  ui::Color Color_Top() const { return FColorTop; }
  void SetColor_Last(ui::Color c);
  ui::Color Color_Last() const { return FColorLast; }
  void SetBackColor(ui::Color c);
  ui::Color BackColor() const { return FBackColor; }
  // The percentage's font and colour (the gauge keeps its own copy).
  void SetFont(const ui::Font& font) override;
  void SetBounds(int left, int top, int width, int height) override;

  // Filled pixels and percentage text as the next paint draws them.
  int Filled() const;
  std::wstring PercentText() const;
  // Paints that reached the screen, for tests of what a change redraws.
  unsigned PaintCount() const { return FPaintCount; }

  void Paint(HDC dc) override;
  // Read as a progress bar whose value is the percentage.
  ui::AccRole AccessibleRole() const override { return ui::AccRole::ProgressBar; }
  std::wstring AccessibleValue() const override { return PercentText(); }

 private:
  // Draws now when what is drawn (the fill or the text) differs from the last drawing, or always.
  void Changed(bool always);
  void DrawNow();

  uint16_t FMin = 0, FMax = 100, FPosition = 0;
  TGradStyle FGradStyle = gsHorizontal;
  bool FShowPercent = true;
  ui::Color FColorTop = RGB(0, 0, 255), FColorLast = RGB(0, 0, 0), FBackColor = ui::clBtnFace;
  // The gradient depends only on size, colours and style: kept until one of them changes.
  comm::TGdiObject<HBITMAP> FGradient;
  bool FGradientStale = true;
  // What the last paint drew, so that a position change that moves no pixel draws nothing.
  bool FDrawn = false;
  int FDrawnFilled = -1;
  std::wstring FDrawnText;
  unsigned FPaintCount = 0;
};

}  // namespace widgets
