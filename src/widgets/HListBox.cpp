// The extent list box: measuring strings in the list's font and keeping the horizontal extent.
#include "widgets/HListBox.h"
#include <algorithm>

namespace widgets {

namespace {

HFONT ListFont(HWND hwnd) { return reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)); }

}  // namespace

THListBox::~THListBox() { ReleaseMeasureDC(); }

uint16_t THListBox::MeasureText(std::wstring_view text) const {
  if (!Handle()) return 0;
  const HFONT font = ListFont(Handle());
  if (font != FWidthFont) {
    FWidthFont = font;
    FAveCharWidth = -1;
    FCharWidths.assign(0x10000, 0);
  }
  auto known = [&]() {
    if (FAveCharWidth < 0) return false;
    for (wchar_t c : text)
      if ((c >= 0xD800 && c <= 0xDFFF) || FCharWidths[c] == 0) return false;
    return true;
  };
  int64_t width = 0;
  if (known()) {
    for (wchar_t c : text) width += FCharWidths[c] - 1;
  } else {
    auto measure = [&](HDC dc) {
      if (FAveCharWidth < 0) {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        FAveCharWidth = tm.tmAveCharWidth;
      }
      bool surrogates = false;
      for (wchar_t c : text) {
        if (c >= 0xD800 && c <= 0xDFFF) {
          surrogates = true;
          continue;
        }
        if (FCharWidths[c] == 0) {
          INT w = 0;
          if (!GetCharWidth32W(dc, c, c, &w)) w = 0;
          FCharWidths[c] = static_cast<uint16_t>(std::clamp(w, 0, 0xFFFE) + 1);
        }
      }
      // Characters outside the basic plane are measured with the whole string.
      if (surrogates) {
        SIZE sz{0, 0};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &sz);
        return static_cast<int64_t>(sz.cx);
      }
      int64_t sum = 0;
      for (wchar_t c : text) sum += FCharWidths[c] - 1;
      return sum;
    };
    if (FMeasureDC && font == FMeasureFont) {
      width = measure(FMeasureDC);
    } else {
      comm::TWindowDC dc(Handle());
      comm::TSelectObject keep(dc, font);
      width = measure(dc);
    }
  }
  return static_cast<uint16_t>(std::clamp<int64_t>(width + FAveCharWidth, 0, 0xFFFF));
}

void THListBox::CreateOwnerData(ui::WinControl* parent, int left, int top, int width, int height, bool multiSelect,
                                TTextSource source) {
  FSource = std::move(source);
  // Without texts of its own the list cannot search for a typed character: it asks its owner
  // (WM_CHARTOITEM), which reflects the question back here.
  Create(parent, left, top, width, height, multiSelect, LBS_OWNERDRAWFIXED | LBS_WANTKEYBOARDINPUT);
}

std::wstring THListBox::ItemText(int index) const { return Item(index); }

LRESULT THListBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (FSource && (msg == LB_GETTEXTLEN || msg == LB_GETTEXT)) {
    // The index is a full WPARAM: a list past 65,535 items is read to its end.
    if (wp >= static_cast<WPARAM>(Count())) return LB_ERR;
    const std::wstring_view text = FSource(static_cast<int>(wp));
    if (msg == LB_GETTEXT) {
      if (!lp) return LB_ERR;
      auto* out = reinterpret_cast<wchar_t*>(lp);
      text.copy(out, text.size());
      out[text.size()] = L'\0';
    }
    return static_cast<LRESULT>(text.size());
  }
  return ui::ListBox::WndProc(msg, wp, lp);
}

bool THListBox::DrawItem(DRAWITEMSTRUCT* dis) {
  if (!FSource || dis->CtlType != ODT_LISTBOX) return false;
  const HDC dc = dis->hDC;
  RECT rc = dis->rcItem;
  // As a plain list draws an item: the text one pixel in, on the item's background, the selection
  // in the highlight colours (also while disabled), other items' text grey while disabled, and the
  // focus frame on the caret's item.
  if (dis->itemAction == ODA_FOCUS) {
    DrawFocusRect(dc, &rc);
    return true;
  }
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  const COLORREF oldBk = selected ? SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT)) : GetBkColor(dc);
  const COLORREF oldText = selected ? SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT)) : GetTextColor(dc);
  if (!selected && (dis->itemState & ODS_DISABLED)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const HFONT font = ListFont(Handle());
  comm::TSelectObject selectFont(dc, font);
  const int index = static_cast<int>(dis->itemID);
  std::wstring_view text;
  if (dis->itemID != static_cast<UINT>(-1) && index < Count()) text = FSource(index);
  ExtTextOutW(dc, rc.left + 1, rc.top, ETO_OPAQUE | ETO_CLIPPED, &rc, text.data(), static_cast<UINT>(text.size()),
              nullptr);
  selectFont.Reset();
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
  if (dis->itemState & ODS_FOCUS) DrawFocusRect(dc, &rc);
  return true;
}

LRESULT THListBox::CharToItem(wchar_t ch) {
  if (!FSource) return -1;
  // As a plain list searches: from the item after the caret round to the caret, for the first item
  // whose first character is ch, ignoring case. (The message's own caret index carries 16 bits only.)
  const int count = Count();
  const int caret = static_cast<int>(SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0));
  const int start = caret >= 0 && caret < count ? caret + 1 : 0;
  for (int n = 0; n < count; ++n) {
    const int i = (start + n) % count;
    const std::wstring_view text = FSource(i);
    if (!text.empty() && CompareStringOrdinal(text.data(), 1, &ch, 1, TRUE) == CSTR_EQUAL) return i;
  }
  return -2;
}

void THListBox::Widen(std::wstring_view text) {
  const int w = MeasureText(text);
  if (w > FMaxExtent) {
    FMaxExtent = w;
    SetHorizontalExtent(w);
  }
}

int THListBox::AddString(std::wstring_view text) {
  Widen(text);
  if (FSource) return static_cast<int>(SendMessageW(Handle(), LB_ADDSTRING, 0, 0));
  return Add(std::wstring(text));
}

int THListBox::InsertString(int index, std::wstring_view text) {
  Widen(text);
  if (FSource) return static_cast<int>(SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index), 0));
  return Insert(index, std::wstring(text));
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
    FMeasureDC.Reset(Handle());
    FMeasureFont = ListFont(Handle());
    if (FMeasureDC) FMeasureSelect.Reset(FMeasureDC, FMeasureFont);
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
  FMeasureSelect.Reset();
  FMeasureDC.Reset();
  FMeasureFont = nullptr;
}

}  // namespace widgets
