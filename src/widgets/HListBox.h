// THListBox: a list box that keeps its horizontal scroll range as wide as the widest string added.
#pragma once
#include "ui/StdControls.h"
#include <cstdint>
#include <string>
#include <vector>

namespace widgets {

// A plain list box scrolls only vertically; this one measures each string given to AddString or
// InsertString and widens the horizontal extent when the string is the widest so far, so that long
// paths can be scrolled into view. Items added or removed through the inherited item operations
// (Add, Insert, Delete, Clear) leave the extent alone; removing items never narrows it, only
// ClearAll resets it.
class THListBox : public ui::ListBox {
 public:
  // The width of text in the list's current font plus one average character width, in pixels.
  // Widths beyond the 16-bit range are held at 65535 rather than wrapped round to a small value.
  uint16_t MeasureText(const std::wstring& text) const;

  // Widens the extent for text if needed, then appends it; returns its index, or a negative value
  // when the list cannot take it.
  int AddString(const std::wstring& text);
  // The same, placing text at index (the list keeps the order its owner gives it).
  int InsertString(int index, const std::wstring& text);

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

 private:
  void Widen(const std::wstring& text);
  void ReleaseMeasureDC();

  int FMaxExtent = 0;
  int FUpdating = 0;
  // The device context held for the measurements of one update bracket, with the list's font in it.
  HDC FMeasureDC = nullptr;
  HGDIOBJ FMeasurePrevFont = nullptr;
  HFONT FMeasureFont = nullptr;
  // Advance widths of the characters met so far in FWidthFont, plus one (0: not yet asked). A path
  // is measured by adding them up, which is what the text extent of the whole string comes to, at a
  // small part of its cost: measuring is most of what adding a found file costs.
  mutable HFONT FWidthFont = nullptr;
  mutable int FAveCharWidth = -1;
  mutable std::vector<uint16_t> FCharWidths;
};

}  // namespace widgets
