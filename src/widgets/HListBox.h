// THListBox: a list box that keeps its horizontal scroll range as wide as the widest string added.
#pragma once
#include "ui/StdControls.h"
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace widgets {

// A plain list box scrolls only vertically; this one measures each string given to AddString or
// InsertString and widens the horizontal extent when the string is the widest so far, so that long
// paths can be scrolled into view. Items added or removed through the inherited item operations
// (Add, Insert, Delete, Clear) leave the extent alone; removing items never narrows it, only
// ClearAll resets it.
class THListBox : public ui::ListBox {
 public:
  // The text of item i for a list whose items hold no text of their own.
  using TTextSource = std::function<std::wstring_view(int index)>;

  // A list whose owner keeps the texts: its items hold nothing but their selection, and item i is
  // drawn as a plain list draws it, from source(i) (an index the source does not hold draws
  // empty). A long list then holds its texts once, in the owner, not a second time in the control.
  // AddString and InsertString measure the text given and add an item for it. A character typed
  // moves to the next item that begins with it, as in a plain list.
  void CreateOwnerData(ui::WinControl* parent, int left, int top, int width, int height, bool multiSelect,
                       TTextSource source);
  bool OwnerData() const { return static_cast<bool>(FSource); }
  // The text of item index, from the list or from the owner's source. An owner-data list also answers
  // LB_GETTEXTLEN and LB_GETTEXT from the source, so that screen readers (through the system's
  // accessibility proxy) and other programs read its items as a plain list's.
  std::wstring ItemText(int index) const;

  // The width of text in the list's current font plus one average character width, in pixels.
  // Widths beyond the 16-bit range are held at 65535 rather than wrapped round to a small value.
  uint16_t MeasureText(std::wstring_view text) const;

  // Widens the extent for text if needed, then appends it; returns its index, or a negative value
  // when the list cannot take it.
  int AddString(std::wstring_view text);
  // The same, placing text at index (the list keeps the order its owner gives it).
  int InsertString(int index, std::wstring_view text);

  // Removes every item, resets the extent to 0 and scrolls back to the left edge.
  void ClearAll();

  // The widest measured width so far: the extent last sent to the list.
  int MaxExtent() const { return FMaxExtent; }

  // Brackets many additions: the list is not repainted in between, room for about `expected` more
  // items is reserved, and the measurements share one device context. Brackets may nest; the list
  // repaints once when the outermost one ends.
  void BeginUpdate(int expected = 0);
  void EndUpdate();

  ~THListBox() override;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool DrawItem(DRAWITEMSTRUCT* dis) override;
  LRESULT CharToItem(wchar_t ch) override;

 private:
  void Widen(std::wstring_view text);
  void ReleaseMeasureDC();

  TTextSource FSource;
  int FMaxExtent = 0;
  int FUpdating = 0;
  // The device context held for the measurements of one update bracket, with the list's font in it.
  comm::TWindowDC FMeasureDC;
  comm::TSelectObject FMeasureSelect;  // the list's font in FMeasureDC; undone before the DC goes
  HFONT FMeasureFont = nullptr;
  // Advance widths of the characters met so far in FWidthFont, plus one (0: not yet asked). A path
  // is measured by adding them up, which is what the text extent of the whole string comes to, at a
  // small part of its cost: measuring is most of what adding a found file costs.
  mutable HFONT FWidthFont = nullptr;
  mutable int FAveCharWidth = -1;
  mutable std::vector<uint16_t> FCharWidths;
};

}  // namespace widgets
