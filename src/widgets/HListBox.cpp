// The extent list box: measuring strings in the list's font and keeping the horizontal extent.
#include "widgets/HListBox.h"
#include <algorithm>

namespace widgets {

namespace {

HFONT ListFont(HWND hwnd) { return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

// Width of text plus the average character width in the font selected into dc.
int MeasureIn(HDC dc, const std::wstring& text) {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SIZE sz{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  return sz.cx + tm.tmAveCharWidth;
}

}  // namespace

THListBox::~THListBox() { ReleaseMeasureDC(); }

uint16_t THListBox::MeasureText(const std::wstring& text) const {
  if (!Handle()) return 0;
  const HFONT font = ListFont(Handle());
  int width;
  if (FMeasureDC && font == FMeasureFont) {
    width = MeasureIn(FMeasureDC, text);
  } else {
    ui::WindowDC dc(Handle());
    ui::SelectObj keep(dc, font);
    width = MeasureIn(dc, text);
  }
  return static_cast<uint16_t>(std::clamp(width, 0, 0xFFFF));
}

void THListBox::Widen(const std::wstring& text) {
  const int w = MeasureText(text);
  if (w > FMaxExtent) {
    FMaxExtent = w;
    SetHorizontalExtent(w);
  }
}

int THListBox::AddString(const std::wstring& text) {
  Widen(text);
  return Add(text);
}

int THListBox::InsertString(int index, const std::wstring& text) {
  Widen(text);
  return Insert(index, text);
}

void THListBox::ClearAll() {
  FMaxExtent = 0;
  SetHorizontalExtent(0);
  SendMessageW(Handle(), WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
  Clear();
}

void THListBox::BeginUpdate(int expected) {
  if (!Handle()) return;
  if (FUpdating++ == 0) {
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    // One DC for every measurement of the bracket: fetching a window DC per string costs more
    // than measuring the string.
    FMeasureDC = GetDC(Handle());
    FMeasureFont = ListFont(Handle());
    FMeasurePrevFont = FMeasureDC && FMeasureFont ? SelectObject(FMeasureDC, FMeasureFont) : nullptr;
  }
  if (expected > 0)
    SendMessageW(Handle(), LB_INITSTORAGE, static_cast<WPARAM>(expected), static_cast<LPARAM>(expected) * 64);
}

void THListBox::EndUpdate() {
  if (FUpdating == 0 || --FUpdating > 0) return;
  ReleaseMeasureDC();
  if (!Handle()) return;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void THListBox::ReleaseMeasureDC() {
  if (!FMeasureDC) return;
  if (FMeasurePrevFont) SelectObject(FMeasureDC, FMeasurePrevFont);
  ReleaseDC(Handle(), FMeasureDC);
  FMeasureDC = nullptr;
  FMeasurePrevFont = nullptr;
  FMeasureFont = nullptr;
}

}  // namespace widgets
