// The extent list box: measurement in the list's font, the horizontal range as strings come and go.
#include "ui/Form.h"
#include "widgets/HListBox.h"
#include "support/Capture.h"
#include "support/DialogAnswerer.h"
#include <memory>
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

// A list whose owner keeps the texts looks as the plain list with the same items does, in every state
// a user meets: items selected, the caret's focus frame, scrolled sideways, disabled.
TEST(HListBoxOwnerData, DrawsItsItemsAsThePlainListDraws) {
  const std::vector<std::wstring> texts = {L"C:\\作業\\写真\\IMG_0001.jpg", L"C:\\work\\readme.txt",
                                           L"D:\\書類\\とても長いフォルダの名前\\さらに長いファイルの名前です.docx",
                                           L"\\\\server\\share\\ｶﾅ.txt", L""};
  ui::Form form;
  form.CreateForm(L"一覧", WS_POPUP, 0, 420, 100);
  widgets::THListBox plain, owned;
  plain.Create(&form, 0, 0, 200, 100);
  owned.CreateOwnerData(&form, 210, 0, 200, 100, true, [&](int i) { return std::wstring_view(texts.at(static_cast<size_t>(i))); });
  EXPECT_TRUE(owned.OwnerData());
  for (widgets::THListBox* l : {&plain, &owned}) {
    SendMessageW(l->Handle(), LB_SETITEMHEIGHT, 0, 12);
    for (const auto& t : texts) l->AddString(t);
  }
  EXPECT_EQ(owned.Count(), static_cast<int>(texts.size()));
  EXPECT_EQ(owned.ItemText(2), texts[2]);
  EXPECT_EQ(owned.ItemText(7), L"");
  EXPECT_EQ(owned.MaxExtent(), plain.MaxExtent());
  form.Show();
  RECT client;
  GetClientRect(plain.Handle(), &client);
  // The picture of each list, the one taken with the focus on it where asked.
  auto same = [&](const char* state, bool focus) {
    SCOPED_TRACE(state);
    std::unique_ptr<testsupport::WindowPicture> pictures[2];
    int n = 0;
    for (widgets::THListBox* l : {&plain, &owned}) {
      if (focus) l->SetFocus(); else SetFocus(nullptr);
      InvalidateRect(l->Handle(), nullptr, TRUE);
      UpdateWindow(l->Handle());
      testsupport::PumpFor(20);
      pictures[n++] = std::make_unique<testsupport::WindowPicture>(l->Handle());
    }
    EXPECT_TRUE(pictures[0]->SameIn(*pictures[1], client));
  };
  same("as added", false);
  for (widgets::THListBox* l : {&plain, &owned}) {
    l->SetSelected(0, true);
    l->SetSelected(2, true);
    l->SetItemIndex(2);
  }
  same("two selected, the caret on one", true);
  for (widgets::THListBox* l : {&plain, &owned})
    for (int i = 0; i < 4; ++i) SendMessageW(l->Handle(), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
  same("scrolled sideways", true);
  for (widgets::THListBox* l : {&plain, &owned}) l->SetEnabled(false);
  same("disabled", false);
}

// The keyboard moves through a list whose owner keeps the texts as through the plain list: a typed
// character to the next item beginning with it (either case, round past the end), the arrows and Home
// and End as ever, also with the caret beyond the first 65536 items.
TEST(HListBoxOwnerData, KeysMoveTheCaretAndProgramsReadTheTextsAsInThePlainList) {
  std::vector<std::wstring> texts = {L"C:\\a.txt", L"C:\\b.txt", L"D:\\x.txt", L"e:\\y.txt", L"d:\\z.txt", L""};
  for (int i = 0; i < 70000; ++i) texts.push_back(i % 2 ? L"F:\\" + std::to_wstring(i) : L"G:\\" + std::to_wstring(i));
  texts.push_back(L"d:\\last");
  ui::Form form;
  form.CreateForm(L"一覧", WS_POPUP, 0, 420, 100);
  widgets::THListBox plain, owned;
  plain.Create(&form, 0, 0, 200, 100);
  owned.CreateOwnerData(&form, 210, 0, 200, 100, true, [&](int i) { return std::wstring_view(texts.at(static_cast<size_t>(i))); });
  for (widgets::THListBox* l : {&plain, &owned}) {
    l->BeginUpdate(static_cast<int>(texts.size()));
    for (const auto& t : texts) l->AddString(t);
    l->EndUpdate();
  }
  form.Show();
  auto caret = [](widgets::THListBox& l) { return static_cast<int>(SendMessageW(l.Handle(), LB_GETCARETINDEX, 0, 0)); };
  struct Step {
    UINT msg;
    WPARAM key;
  };
  const Step steps[] = {{WM_CHAR, L'd'}, {WM_CHAR, L'D'}, {WM_CHAR, L'E'}, {WM_CHAR, L'q'}, {WM_KEYDOWN, VK_DOWN},
                        {WM_CHAR, L'f'}, {WM_KEYDOWN, VK_END}, {WM_KEYDOWN, VK_UP}, {WM_CHAR, L'f'},
                        {WM_CHAR, L'd'}, {WM_CHAR, L'c'}, {WM_KEYDOWN, VK_HOME}, {WM_CHAR, L'c'}};
  int n = 0;
  for (const Step& s : steps) {
    SCOPED_TRACE(n++);
    for (widgets::THListBox* l : {&plain, &owned}) {
      l->SetFocus();
      SendMessageW(l->Handle(), s.msg, s.key, 0);
    }
    EXPECT_EQ(caret(owned), caret(plain));
    EXPECT_EQ(owned.SelCount(), plain.SelCount());
  }
  EXPECT_EQ(caret(owned), 1);  // Home, then "c" from the top: the second "C:\" item

  // What a screen reader or another program reads of each item: the same texts as from the plain
  // list, past 65,535 items too, and an error for an index beyond either end.
  const int count = static_cast<int>(texts.size());
  for (int i : {0, 5, 65535, 65536, count - 1, count, -1}) {
    SCOPED_TRACE(i);
    for (widgets::THListBox* l : {&plain, &owned}) {
      const LRESULT length = SendMessageW(l->Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
      if (i < 0 || i >= count) {
        EXPECT_EQ(length, LB_ERR);
        continue;
      }
      std::wstring text(static_cast<size_t>(length) + 1, L'#');
      ASSERT_EQ(SendMessageW(l->Handle(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data())), length);
      EXPECT_EQ(text, texts[static_cast<size_t>(i)] + L'\0');
    }
  }
}
