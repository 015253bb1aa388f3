// The extent list box: measurement in the list's font, the horizontal range as strings come and go.
#include "support/DialogAnswerer.h"
#include "ui/Form.h"
#include "widgets/HListBox.h"
#include <gtest/gtest.h>

using widgets::THListBox;

namespace {

class THostForm : public ui::Form {
 public:
  THostForm() {
    CreateForm(L"一覧", WS_OVERLAPPEDWINDOW, 0, 200, 120);
    List.Create(this, 0, 0, 200, 120);
    Show();
  }
  THListBox List;
};

// Width and average character width of text in the font the list uses now, measured independently.
int Expected(HWND list, const std::wstring& text) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  SIZE sz{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return sz.cx + tm.tmAveCharWidth;
}

int AverageCharWidth(HWND list) { return Expected(list, L""); }

// The horizontal scroll range as the scroll bar carries it (0 when there is none).
int ScrollRange(HWND list) {
  if (!(GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL)) return 0;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  if (!GetScrollInfo(list, SB_HORZ, &si)) return 0;
  return si.nMax + 1;
}

const std::wstring kWide = L"C:\\Users\\利用者\\Documents\\とても長いフォルダの名前\\さらに長いファイルの名前です.txt";

}  // namespace

TEST(HListBox, MeasuresTextInTheListFontPlusOneAverageCharacter) {
  THostForm f;
  HWND h = f.List.Handle();
  EXPECT_GT(AverageCharWidth(h), 0);
  EXPECT_EQ(f.List.MeasureText(L""), AverageCharWidth(h));
  EXPECT_EQ(f.List.MeasureText(L"abc"), Expected(h, L"abc"));
  EXPECT_EQ(f.List.MeasureText(kWide), Expected(h, kWide));

  // After a font change the new font is measured, also inside an update bracket.
  ui::Font big = f.List.GetFont();
  big.Height = -24;
  f.List.BeginUpdate();
  const int before = f.List.MeasureText(kWide);
  f.List.SetFont(big);
  EXPECT_EQ(f.List.MeasureText(kWide), Expected(h, kWide));
  EXPECT_GT(f.List.MeasureText(kWide), before);
  f.List.EndUpdate();
}

TEST(HListBox, AWidthBeyondSixteenBitsIsHeldAtTheTopRatherThanWrapped) {
  THostForm f;
  const std::wstring huge(20000, L'W');
  ASSERT_GT(Expected(f.List.Handle(), huge), 0xFFFF);
  EXPECT_EQ(f.List.MeasureText(huge), 0xFFFF);
}

TEST(HListBox, AWideStringGivesARangeOfItsWidthAndNarrowerOnesLeaveIt) {
  THostForm f;
  HWND h = f.List.Handle();
  EXPECT_EQ(ScrollRange(h), 0);
  f.List.AddString(kWide);
  const int wide = Expected(h, kWide);
  ASSERT_GT(wide, 200);
  EXPECT_EQ(f.List.MaxExtent(), wide);
  EXPECT_EQ(f.List.HorizontalExtent(), wide);
  EXPECT_EQ(ScrollRange(h), wide);

  f.List.AddString(L"C:\\a.txt");
  f.List.InsertString(0, L"C:\\b.txt");
  EXPECT_EQ(f.List.HorizontalExtent(), wide);
  EXPECT_EQ(f.List.Count(), 3);
  EXPECT_EQ(f.List.Item(0), L"C:\\b.txt");
  EXPECT_EQ(f.List.Item(1), kWide);
}

TEST(HListBox, InsertStringPlacesTheItemAndWidensWhileThePlainOperationsDoNot) {
  THostForm f;
  HWND h = f.List.Handle();
  f.List.Add(kWide);  // plain: no measuring
  EXPECT_EQ(f.List.HorizontalExtent(), 0);
  EXPECT_EQ(f.List.InsertString(0, kWide + L"x"), 0);
  EXPECT_EQ(f.List.Item(0), kWide + L"x");
  EXPECT_EQ(f.List.HorizontalExtent(), Expected(h, kWide + L"x"));
}

TEST(HListBox, DeletingKeepsTheRangeAndClearAllResetsItAndScrollsLeft) {
  THostForm f;
  HWND h = f.List.Handle();
  f.List.AddString(L"C:\\a.txt");
  f.List.AddString(kWide);
  const int wide = f.List.HorizontalExtent();
  f.List.Delete(1);  // the widest
  EXPECT_EQ(f.List.HorizontalExtent(), wide);
  EXPECT_EQ(f.List.MaxExtent(), wide);

  SendMessageW(h, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  ASSERT_GT(GetScrollPos(h, SB_HORZ), 0);
  f.List.ClearAll();
  EXPECT_EQ(f.List.Count(), 0);
  EXPECT_EQ(f.List.MaxExtent(), 0);
  EXPECT_EQ(f.List.HorizontalExtent(), 0);
  EXPECT_EQ(ScrollRange(h), 0);

  // The view is back at the left edge, and a narrower string now sets the range afresh.
  f.List.AddString(L"C:\\a.txt");
  EXPECT_EQ(GetScrollPos(h, SB_HORZ), 0);
  EXPECT_EQ(f.List.MaxExtent(), Expected(h, L"C:\\a.txt"));
}

TEST(HListBox, AnUpdateBracketMeasuresAlikeAndShowsItsItemsWhenItEnds) {
  THostForm f;
  f.List.BeginUpdate(3);
  f.List.BeginUpdate();
  f.List.AddString(L"C:\\a.txt");
  f.List.AddString(kWide);
  f.List.EndUpdate();
  f.List.AddString(L"C:\\c.txt");
  f.List.EndUpdate();
  f.List.EndUpdate();  // unmatched: ignored
  EXPECT_EQ(f.List.Count(), 3);
  EXPECT_EQ(f.List.HorizontalExtent(), Expected(f.List.Handle(), kWide));
  // Repainting is back on: an item's rectangle is drawn again when invalidated.
  RECT r{};
  SendMessageW(f.List.Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  InvalidateRect(f.List.Handle(), &r, TRUE);
  EXPECT_TRUE(GetUpdateRect(f.List.Handle(), nullptr, FALSE));
}
