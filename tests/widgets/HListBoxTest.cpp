// The extent list box: measurement in the list's font, the horizontal range as strings come and go.
#include "ui/Form.h"
#include "widgets/HListBox.h"
#include <gtest/gtest.h>

namespace {

class HListBox : public ::testing::Test {
 protected:
  HListBox() {
    form.CreateForm(L"一覧", WS_OVERLAPPEDWINDOW, 0, 200, 120);
    list.Create(&form, 0, 0, 200, 120);
    form.Show();
  }
  // Text width plus the average character width in the list's current font, measured here.
  int Expected(const std::wstring& text) const {
    HDC dc = GetDC(list.Handle());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list.Handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    SIZE sz{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(list.Handle(), dc);
    return sz.cx + tm.tmAveCharWidth;
  }
  // The range of the horizontal scroll bar; 0 when it is not shown.
  int ScrollRange() const {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE;
    if (!(GetWindowLongPtrW(list.Handle(), GWL_STYLE) & WS_HSCROLL) || !GetScrollInfo(list.Handle(), SB_HORZ, &si)) return 0;
    return si.nMax + 1;
  }

  ui::Form form;
  widgets::THListBox list;
  const std::wstring wide = L"C:\\Users\\利用者\\Documents\\とても長いフォルダの名前\\さらに長いファイルの名前です.txt";
};

}  // namespace

TEST_F(HListBox, MeasuresInTheCurrentFontPlusOneAverageCharacterHeldWithinSixteenBits) {
  EXPECT_GT(Expected(L""), 0);
  EXPECT_EQ(list.MeasureText(L""), Expected(L""));
  EXPECT_EQ(list.MeasureText(wide), Expected(wide));
  // Measured again from the widths already known, and with characters of every kind a path holds.
  for (const wchar_t* t : {L"C:\\Program Files (x86)\\a_b-c.d~1\\WWW.iii", L"D:\\ﾃﾞｰﾀ\\ＡＢＣ１２３\\表ソ能.txt",
                           L"\\\\server\\share\\%20&()[]{}!#$.log", L"C:\\a\U0001F600b.txt"})
    EXPECT_EQ(list.MeasureText(t), Expected(t));
  EXPECT_EQ(list.MeasureText(wide), Expected(wide));
  const std::wstring huge(20000, L'W');
  ASSERT_GT(Expected(huge), 0xFFFF);
  EXPECT_EQ(list.MeasureText(huge), 0xFFFF);  // not wrapped round to a small width

  // A font change inside an update bracket is measured in the new font.
  ui::Font big = list.GetFont();
  big.Height = -24;
  list.BeginUpdate();
  const int before = list.MeasureText(wide);
  list.SetFont(big);
  EXPECT_EQ(list.MeasureText(wide), Expected(wide));
  EXPECT_GT(list.MeasureText(wide), before);
  list.EndUpdate();
}

TEST_F(HListBox, TheRangeGrowsWithTheWidestStringAndOnlyClearAllResetsIt) {
  list.Add(wide);  // the plain operations do not measure
  EXPECT_EQ(ScrollRange(), 0);
  list.Clear();
  list.BeginUpdate(2);
  list.AddString(L"C:\\a.txt");
  EXPECT_EQ(list.InsertString(0, wide), 0);
  list.EndUpdate();
  ASSERT_GT(Expected(wide), 200);
  EXPECT_EQ(list.MaxExtent(), Expected(wide));
  EXPECT_EQ(ScrollRange(), Expected(wide));
  EXPECT_EQ(list.Item(0), wide);

  list.AddString(L"C:\\b.txt");  // narrower: no change
  list.Delete(0);               // the widest: no change either
  EXPECT_EQ(ScrollRange(), Expected(wide));

  SendMessageW(list.Handle(), WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
  ASSERT_GT(GetScrollPos(list.Handle(), SB_HORZ), 0);
  list.ClearAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.MaxExtent(), 0);
  EXPECT_EQ(ScrollRange(), 0);
  list.AddString(wide);
  EXPECT_EQ(GetScrollPos(list.Handle(), SB_HORZ), 0);  // back at the left edge
}
