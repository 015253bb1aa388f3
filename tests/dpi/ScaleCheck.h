// What the display-scale tests read from a window: the DPI asked for, controls' shown bounds, fonts and
// glyphs, and the change of DPI a window gets when it is dragged to a monitor of another scale.
#pragma once
#include "ui/Control.h"
#include "ui/Dpi.h"
#include "widgets/CommonButton.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace dpitest {

// The DPI the run was started at (VSS_TEST_DPI), or 96.
inline int RequestedDpi() {
  const char* v = std::getenv("VSS_TEST_DPI");
  return v && *v ? std::atoi(v) : 96;
}

// Another scale whose windows fit the 1280 x 1024 test screen (the system keeps windows within it).
inline ui::TDpi OtherDpi(ui::TDpi first) { return ui::TDpi(first.Value() == 96 ? 192 : 96); }

// What the system sends a window dragged onto a monitor of that DPI, with the rectangle it suggests.
inline void SendDpiChanged(HWND window, ui::TDpi dpi, RECT suggested) {
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi.Value(), dpi.Value()), reinterpret_cast<LPARAM>(&suggested));
}

// A window's bounds in its parent's client coordinates (screen coordinates for a top-level one).
inline RECT ShownBounds(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  if (GetParent(h) && (GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A control's bounds in its parent's client coordinates, read from its window where it has one.
inline RECT ShownBounds(const ui::Control& c) {
  if (!c.IsWindowed()) return c.BoundsRect();
  return ShownBounds(static_cast<const ui::WinControl&>(c).Handle());
}

inline void ExpectNear(const RECT& got, const RECT& want, const std::wstring& what) {
  SCOPED_TRACE(testing::Message() << std::string(what.begin(), what.end()));
  EXPECT_NEAR(got.left, want.left, 1);
  EXPECT_NEAR(got.top, want.top, 1);
  EXPECT_NEAR(got.right, want.right, 1);
  EXPECT_NEAR(got.bottom, want.bottom, 1);
}

struct TLayoutRow {
  const wchar_t* name;
  const ui::Control* control;
  RECT design;  // left, top, right, bottom at 96 DPI
};

inline void ExpectLayout(const std::vector<TLayoutRow>& rows, ui::TDpi dpi) {
  for (const TLayoutRow& row : rows) ExpectNear(ShownBounds(*row.control), dpi.Scale(row.design), row.name);
}

inline RECT R(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }

inline std::wstring WithoutMnemonic(std::wstring s) {
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] == L'&') s.erase(i, 1);
  return s;
}

// The side of a bitmap that should be square (a glyph), or 0.
inline int SquareSide(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return 0;
  EXPECT_EQ(bm.bmWidth, bm.bmHeight);
  return bm.bmWidth;
}

// The side of a button's glyph: the 16-pixel drawing at the scale the window picked.
inline int GlyphSide(const widgets::TCommonButton& b) { return SquareSide(b.Glyph()); }

inline int TextWidth(const ui::Control& c, const std::wstring& text) {
  return ui::TextExtent(ui::FontHandle(c.DeviceFont()), WithoutMnemonic(text)).cx;
}

// The height of the font a control's window was given.
inline LONG WindowFontHeight(HWND h) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf.lfHeight;
}

}  // namespace dpitest
