// The display scale: the DPI a window is shown at, and 96-DPI layout values scaled to it.
//
// Every position, size and font height the windows are designed with is a 96-DPI value. The layer
// scales them, so a window's code keeps writing the values it was designed with:
//   - Control::Create... and Form::CreateForm take 96-DPI bounds and client sizes; the control keeps
//     them (DesignBounds) and is placed at them scaled to its form's DPI;
//   - a control's font (SetFont, GetFont) is a 96-DPI description; the window gets DeviceFont();
//   - Form::SetLeastSize takes a 96-DPI window size;
//   - pictures are drawn for 100, 150 and 200 % and picked by ui::LoadArtBitmap (ui/Image.h), never
//     stretched; what is drawn by code draws at Dpi().Scale of its 96-DPI measures;
//   - a layout computed at run time (a resize handler) works in pixels and scales its constants
//     through the control's Dpi(): `const ui::TDpi dpi = Dpi(); x = cw - dpi.Scale(8);`.
// When a form's DPI changes (WM_DPICHANGED: dragged to a monitor of another scale) it moves to the
// rectangle the system suggests, every control goes back to its 96-DPI bounds and font scaled anew,
// and Form::DoDpiChanged runs for what the form lays out or draws itself.
#pragma once
#include "Base.h"
#include "ui/Graphics.h"

namespace ui {

// The DPI the windows' values are designed at.
constexpr int kDesignDpi = 96;

class TDpi {
 public:
  constexpr TDpi() = default;
  // A DPI of 0 or less (none known) is taken as the design DPI.
  constexpr explicit TDpi(int dpi) : FDpi(dpi > 0 ? dpi : kDesignDpi) {}
  constexpr int Value() const { return FDpi; }
  // The percentage shown in the system's display settings (100, 150, 200).
  constexpr int Percent() const { return Scale(100); }

  // A 96-DPI length (or coordinate) at this DPI, rounded to the nearest pixel; halves round away from
  // zero, so that a negative font height scales as its size does.
  constexpr int Scale(int value) const {
    const long long n = static_cast<long long>(value) * FDpi;
    return static_cast<int>(n >= 0 ? (n + kDesignDpi / 2) / kDesignDpi : -((-n + kDesignDpi / 2) / kDesignDpi));
  }
  // A pixel length at this DPI back at 96 DPI, rounded to the nearest.
  constexpr int Unscale(int pixels) const {
    const long long n = static_cast<long long>(pixels) * kDesignDpi;
    return static_cast<int>(n >= 0 ? (n + FDpi / 2) / FDpi : -((-n + FDpi / 2) / FDpi));
  }
  // Each edge scaled: neighbouring rectangles stay neighbours.
  RECT Scale(const RECT& r) const { return RECT{Scale(r.left), Scale(r.top), Scale(r.right), Scale(r.bottom)}; }
  // The font at this DPI (its height scaled; a height of 0, the face's default, stays).
  Font Scale(const Font& f) const {
    Font s = f;
    s.Height = Scale(f.Height);
    return s;
  }
  // The display scale the program's pictures are drawn for (100, 150 or 200 %) that suits this DPI:
  // the largest that is not larger than it, so a picture never outgrows the room laid out for it.
  constexpr int ArtPercent() const {
    const int p = Percent();
    return p >= 200 ? 200 : p >= 150 ? 150 : 100;
  }

  constexpr bool operator==(const TDpi&) const = default;

 private:
  int FDpi = kDesignDpi;
};

// The DPI of a window: GetDpiForWindow where the system has it (Windows 10 1607 on), else the
// screen's LOGPIXELSY (the system DPI, all that older systems scale by).
TDpi WindowDpi(HWND window);
// The system DPI: what a window is shown at before it knows its monitor.
TDpi SystemDpi();
// A system metric (GetSystemMetrics: an icon's side, a scroll bar's width) as it stands at a DPI:
// GetSystemMetricsForDpi where the system has it, else the system DPI's value scaled.
int SystemMetric(int index, TDpi dpi);

}  // namespace ui
