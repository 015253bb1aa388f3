// The date-time entry dialog driven as a user drives it: layout, day range, "Now", options, OK and Cancel.
#include "app/InputDateTime.h"
#include "support/DialogAnswerer.h"
#include "support/FixedClock.h"
#include "ui/Timer.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

using app::TDateEntryState;
using app::TFormInputDateTime;
using widgets::TCommonSpinEdit;

namespace {

void SetSide(TDateEntryState& s, int side, std::initializer_list<uint16_t> parts) {
  int c = 0;
  for (uint16_t p : parts) s.Parts[side][c++] = p;
}

// Selects the whole text and types over it, one character at a time, as a user does.
void Type(TCommonSpinEdit& e, const std::wstring& text) {
  SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageW(e.Handle(), WM_CHAR, L'\b', 1);
  for (wchar_t ch : text) SendMessageW(e.Handle(), WM_CHAR, ch, 1);
}

void Click(ui::WinControl& c) { SendMessageW(c.Handle(), BM_CLICK, 0, 0); }

RECT PlaceInParent(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

comm::TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  comm::TDateTime v = 0;
  EXPECT_TRUE(comm::TryEncodeDateTime({y, mo, d, h, mi, s, 0}, v));
  return v;
}

class InputDateTime : public testing::Test {
 protected:
  void SetUp() override {
    SetSide(state, 0, {2001, 3, 31, 10, 20, 30});
    SetSide(state, 1, {2010, 11, 5, 23, 59, 58});
    dlg = std::make_unique<TFormInputDateTime>(state);
  }
  // Shows the dialog for a side without a modal loop, so the test can act between steps.
  void ShowFor(int side) {
    state.Target = side;
    dlg->Show();
  }
  std::wstring Texts() {
    std::wstring s;
    for (int c = 0; c < 6; ++c) s += (c ? L" " : L"") + dlg->PartEdit(c).Text();
    return s;
  }
  // Runs the dialog modally; the script acts once the dialog is up.
  int RunModal(const std::function<void()>& script) {
    ui::Timer act, guard;
    act.OnTimer = [&](ui::Control*) {
      act.SetEnabled(false);
      script();
    };
    guard.OnTimer = [&](ui::Control*) {
      ADD_FAILURE() << "the dialog did not close";
      dlg->SetModalResult(ui::mrClosed);
    };
    act.SetInterval(30);
    act.SetEnabled(true);
    guard.SetInterval(5000);
    guard.SetEnabled(true);
    return dlg->ShowModal();
  }

  TDateEntryState state;
  std::unique_ptr<TFormInputDateTime> dlg;
};

}  // namespace

TEST_F(InputDateTime, WindowAndControlsAreLaidOutAsDescribed) {
  ShowFor(0);
  TFormInputDateTime& d = *dlg;
  EXPECT_EQ(d.ClientWidth(), 302);
  EXPECT_EQ(d.ClientHeight(), 151);
  EXPECT_EQ(d.Caption(), L"日時入力");
  LONG_PTR style = GetWindowLongPtrW(d.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_TRUE(GetWindowLongPtrW(d.Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  const int editHeight = std::max(21, d.CommonSpinEditYear.LeastHeight());
  const struct {
    ui::WinControl* control;
    RECT place;
    const wchar_t* caption;
  } windowed[] = {
      {&d.GroupBoxInputDateTime, {8, 8, 294, 113}, L"年月日・時分秒を指定してください。"},
      {&d.CommonSpinEditYear, {16, 24, 65, 24 + editHeight}, nullptr},
      {&d.CommonSpinEditMonth, {88, 24, 137, 24 + editHeight}, nullptr},
      {&d.CommonSpinEditDay, {160, 24, 209, 24 + editHeight}, nullptr},
      {&d.CommonSpinEditHour, {16, 52, 65, 52 + editHeight}, nullptr},
      {&d.CommonSpinEditMinute, {88, 52, 137, 52 + editHeight}, nullptr},
      {&d.CommonSpinEditSecond, {160, 52, 209, 52 + editHeight}, nullptr},
      {&d.ButtonNow, {232, 30, 273, 71}, L"Now"},
      {&d.CheckBoxTime, {16, 80, 121, 97}, L"時刻指定なし(&T)"},
      {&d.CheckBoxSecond, {160, 80, 265, 97}, L"秒指定なし(&S)"},
      {&d.CheckBoxCreateUpdate, {8, 124, 177, 141}, L"作成／更新日時共に反映(&D)"},
      {&d.ButtonOK, {180, 120, 234, 145}, L"OK"},
      {&d.ButtonCancel, {240, 120, 294, 145}, L"ｷｬﾝｾﾙ"},
  };
  for (const auto& w : windowed) {
    SCOPED_TRACE(testing::Message() << "control at " << w.place.left << "," << w.place.top);
    RECT r = PlaceInParent(w.control->Handle());
    EXPECT_TRUE(EqualRect(&r, &w.place)) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    if (w.caption) {
      EXPECT_EQ(w.control->Caption(), w.caption);
    }
    EXPECT_EQ(w.control->GetFont().Name, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(w.control->GetFont().Height, -12);
    EXPECT_EQ(w.control->GetFont().Charset, SHIFTJIS_CHARSET);
    // The standard controls draw with the font they were given.
    if (auto font = reinterpret_cast<HFONT>(SendMessageW(w.control->Handle(), WM_GETFONT, 0, 0))) {
      LOGFONTW lf{};
      GetObjectW(font, sizeof(lf), &lf);
      EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック");
      EXPECT_EQ(lf.lfHeight, -12);
    }
  }
  EXPECT_EQ(GetParent(d.CommonSpinEditYear.Handle()), d.GroupBoxInputDateTime.Handle());
  EXPECT_EQ(GetParent(d.CheckBoxCreateUpdate.Handle()), d.Handle());

  const struct {
    ui::Label* label;
    int left, top;
    const wchar_t* text;
  } labels[] = {{&d.LabelYear, 64, 24, L"年"},    {&d.LabelMonth, 136, 24, L"月"},  {&d.LabelDay, 208, 24, L"日"},
                {&d.LabelHour, 64, 53, L"時"},    {&d.LabelMinute, 136, 53, L"分"}, {&d.LabelSecond, 208, 53, L"秒"}};
  for (const auto& l : labels) {
    RECT expected{l.left, l.top, l.left + 17, l.top + 20}, r = l.label->BoundsRect();
    EXPECT_TRUE(EqualRect(&r, &expected)) << testing::PrintToString(std::wstring(l.text));
    EXPECT_EQ(l.label->Caption(), l.text);
    EXPECT_EQ(l.label->TextAlignment, ui::Alignment::Center);
    EXPECT_EQ(l.label->Layout, ui::TextLayout::Center);
    EXPECT_EQ(l.label->Parent(), &d.GroupBoxInputDateTime);
  }

  const int ranges[6][3] = {{1980, 2100, 4}, {1, 12, 2}, {1, 31, 2}, {0, 23, 2}, {0, 59, 2}, {0, 59, 2}};
  for (int c = 0; c < 6; ++c) {
    TFormInputDateTime fresh(state);
    EXPECT_EQ(fresh.PartEdit(c).MinValue, ranges[c][0]) << "part " << c;
    EXPECT_EQ(fresh.PartEdit(c).MaxValue, ranges[c][1]) << "part " << c;
    EXPECT_EQ(fresh.PartEdit(c).Value(), ranges[c][0]) << "part " << c;  // the initial value is the minimum
    EXPECT_EQ(SendMessageW(d.PartEdit(c).Handle(), EM_GETLIMITTEXT, 0, 0), ranges[c][2]) << "part " << c;
  }

  // The tab order runs through the group box first, then the row below it.
  HWND order[] = {d.CommonSpinEditYear.Handle(), d.CommonSpinEditMonth.Handle(),  d.CommonSpinEditDay.Handle(),
                  d.CommonSpinEditHour.Handle(), d.CommonSpinEditMinute.Handle(), d.CommonSpinEditSecond.Handle(),
                  d.ButtonNow.Handle(),          d.CheckBoxTime.Handle(),         d.CheckBoxSecond.Handle(),
                  d.CheckBoxCreateUpdate.Handle(), d.ButtonOK.Handle(),           d.ButtonCancel.Handle()};
  for (size_t i = 0; i < std::size(order); ++i)
    EXPECT_EQ(GetNextDlgTabItem(d.Handle(), order[i], FALSE), order[(i + 1) % std::size(order)]) << "after " << i;

  // Hints: "Now" and the time box show theirs; the seconds box keeps its text unshown.
  ASSERT_NE(d.TooltipWindow(), nullptr);
  EXPECT_EQ(SendMessageW(d.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 2);
  EXPECT_EQ(d.ButtonNow.Hint(), L"現在日時を設定します");
  EXPECT_EQ(d.CheckBoxTime.Hint(), L"時刻部分の指定をしません。（０時０分０秒）");
  EXPECT_EQ(d.CheckBoxSecond.Hint(), L"秒部分の指定をしません。（０秒）");
}

TEST_F(InputDateTime, DayMaximumFollowsYearAndMonthAndOnlyFebruaryClampsTheDay) {
  SetSide(state, 0, {2000, 2, 1, 0, 0, 0});
  ShowFor(0);
  TFormInputDateTime& d = *dlg;
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 29);
  Type(d.CommonSpinEditYear, L"2100");
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 28);  // divisible by 100 and not by 400

  Type(d.CommonSpinEditYear, L"2001");
  Type(d.CommonSpinEditMonth, L"1");
  Type(d.CommonSpinEditDay, L"31");
  Type(d.CommonSpinEditMonth, L"2");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"28");

  Type(d.CommonSpinEditYear, L"2000");
  Type(d.CommonSpinEditDay, L"29");
  Type(d.CommonSpinEditYear, L"2001");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"28");

  // Any other month keeps the typed day; it reads, and is stored, as the month's last day.
  Type(d.CommonSpinEditMonth, L"3");
  Type(d.CommonSpinEditDay, L"31");
  d.CommonSpinEditMonth.StepUp();  // April, by the spin button's step
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 30);
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"31");
  Click(d.ButtonOK);
  EXPECT_EQ(state.Parts[0][1], 4);
  EXPECT_EQ(state.Parts[0][2], 30);
}

TEST_F(InputDateTime, OutOfRangeAndEmptyFieldsAreStoredAsTheyRead) {
  ShowFor(0);
  TFormInputDateTime& d = *dlg;
  Type(d.CommonSpinEditYear, L"1979");
  EXPECT_EQ(d.CommonSpinEditYear.Text(), L"1979");
  Type(d.CommonSpinEditMonth, L"");
  Type(d.CommonSpinEditDay, L"");
  Type(d.CommonSpinEditHour, L"99");
  Type(d.CommonSpinEditMinute, L"-5");
  Click(d.ButtonOK);
  const uint16_t expected[6] = {1980, 1, 1, 23, 0, 30};
  for (int c = 0; c < 6; ++c) EXPECT_EQ(state.Parts[0][c], expected[c]) << "part " << c;
  EXPECT_EQ(d.ModalResult(), ui::mrOk);
}

TEST_F(InputDateTime, NowFillsOnlyTheFieldsTheOptionsLeaveFree) {
  testsupport::FixedNow now(At(2023, 7, 14, 15, 26, 37));
  ShowFor(0);
  TFormInputDateTime& d = *dlg;
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2023 7 14 15 26 37");

  dlg->Hide();
  state.SecondFree[0] = true;
  ShowFor(0);
  EXPECT_EQ(Texts(), L"2001 3 31 10 20 0");
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2023 7 14 15 26 0");

  dlg->Hide();
  state.TimeFree[0] = true;
  ShowFor(0);
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2023 7 14 0 0 0");
}

TEST_F(InputDateTime, NowFitsTheDayRangeAndClampsAYearBeyond2100) {
  SetSide(state, 0, {2001, 4, 30, 0, 0, 0});
  ShowFor(0);
  TFormInputDateTime& d = *dlg;
  {
    testsupport::FixedNow now(At(2024, 2, 29, 8, 0, 0));
    Click(d.ButtonNow);
  }
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"29");
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 29);
  {
    testsupport::FixedNow now(At(2150, 1, 31, 8, 0, 0));
    Click(d.ButtonNow);
  }
  EXPECT_EQ(d.CommonSpinEditYear.Text(), L"2100");
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 31);
}

TEST_F(InputDateTime, TimeOptionsZeroAndDisableTheirFields) {
  ShowFor(0);
  TFormInputDateTime& d = *dlg;
  Click(d.CheckBoxSecond);
  EXPECT_EQ(d.CommonSpinEditSecond.Text(), L"0");
  EXPECT_FALSE(d.CommonSpinEditSecond.Enabled());
  EXPECT_FALSE(d.LabelSecond.Enabled());
  EXPECT_TRUE(d.CommonSpinEditMinute.Enabled());

  Click(d.CheckBoxTime);
  EXPECT_EQ(Texts(), L"2001 3 31 0 0 0");
  for (ui::Control* c : std::initializer_list<ui::Control*>{&d.CommonSpinEditHour, &d.LabelHour, &d.CommonSpinEditMinute,
                                                           &d.LabelMinute, &d.CommonSpinEditSecond, &d.LabelSecond,
                                                           &d.CheckBoxSecond})
    EXPECT_FALSE(c->Enabled());
  EXPECT_TRUE(d.CheckBoxSecond.Checked());  // kept while disabled

  // Unchecking gives hour and minute back, the second only without its own option; the zeros stay.
  Click(d.CheckBoxTime);
  EXPECT_TRUE(d.CommonSpinEditHour.Enabled());
  EXPECT_TRUE(d.CommonSpinEditMinute.Enabled());
  EXPECT_TRUE(d.CheckBoxSecond.Enabled());
  EXPECT_FALSE(d.CommonSpinEditSecond.Enabled());
  EXPECT_EQ(Texts(), L"2001 3 31 0 0 0");
  Click(d.CheckBoxSecond);
  EXPECT_TRUE(d.CommonSpinEditSecond.Enabled());
  EXPECT_TRUE(d.LabelSecond.Enabled());
}

TEST_F(InputDateTime, EveryShowLoadsTheEditedSideWithItsOptions) {
  state.TimeFree[1] = true;
  state.SecondFree[1] = true;
  state.CreateUpdate = true;
  ShowFor(1);
  TFormInputDateTime& d = *dlg;
  // The stored time of a side entered without time of day is shown as the option makes it: zero.
  EXPECT_EQ(Texts(), L"2010 11 5 0 0 0");
  EXPECT_TRUE(d.CheckBoxTime.Checked());
  EXPECT_TRUE(d.CheckBoxSecond.Checked());
  EXPECT_TRUE(d.CheckBoxCreateUpdate.Checked());
  EXPECT_FALSE(d.CommonSpinEditHour.Enabled());
  dlg->Hide();

  ShowFor(0);
  EXPECT_EQ(Texts(), L"2001 3 31 10 20 30");
  EXPECT_FALSE(d.CheckBoxTime.Checked());
  EXPECT_FALSE(d.CheckBoxSecond.Checked());
  EXPECT_TRUE(d.CommonSpinEditHour.Enabled());
  EXPECT_TRUE(d.CommonSpinEditSecond.Enabled());
  EXPECT_TRUE(d.CheckBoxSecond.Enabled());
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 31);
}

TEST_F(InputDateTime, OkWritesTheEditedSideAndWithTheOptionBothSides) {
  ShowFor(1);
  TFormInputDateTime& d = *dlg;
  Type(d.CommonSpinEditYear, L"2024");
  Click(d.CheckBoxSecond);
  Click(d.ButtonOK);
  const TDateEntryState afterFirst = state;
  EXPECT_EQ(state.Parts[1][0], 2024);
  EXPECT_EQ(state.Parts[1][5], 0);
  EXPECT_TRUE(state.SecondFree[1]);
  EXPECT_EQ(state.Parts[0][0], 2001);  // the other side untouched
  EXPECT_FALSE(state.SecondFree[0]);
  EXPECT_FALSE(state.CreateUpdate);

  dlg->Hide();
  ShowFor(1);
  Click(d.CheckBoxTime);
  Click(d.CheckBoxCreateUpdate);
  Click(d.ButtonOK);
  EXPECT_TRUE(state.CreateUpdate);
  for (int c = 0; c < 6; ++c) EXPECT_EQ(state.Parts[0][c], state.Parts[1][c]) << "part " << c;
  EXPECT_EQ(state.Parts[0][0], 2024);
  EXPECT_EQ(state.Parts[0][3], 0);
  EXPECT_TRUE(state.TimeFree[0] && state.TimeFree[1]);
  EXPECT_TRUE(state.SecondFree[0] && state.SecondFree[1]);
  EXPECT_FALSE(state == afterFirst);
}

TEST_F(InputDateTime, ModalOkClosesWithOkAfterStoring) {
  state.Target = 0;
  int result = RunModal([&] {
    Type(dlg->CommonSpinEditHour, L"7");
    Click(dlg->ButtonOK);
  });
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(state.Parts[0][3], 7);
  EXPECT_FALSE(dlg->Showing());
}

TEST_F(InputDateTime, CancelEscAndTheCloseBoxWriteNothing) {
  state.Target = 1;
  const TDateEntryState stored = state;
  const std::pair<const char*, std::function<void()>> closers[] = {
      {"Cancel button", [&] { Click(dlg->ButtonCancel); }},
      {"Esc in a spin edit",
       [&] {
         dlg->CommonSpinEditDay.SetFocus();
         PostMessageW(dlg->CommonSpinEditDay.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
       }},
      {"close box", [&] { PostMessageW(dlg->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& [how, close] : closers) {
    SCOPED_TRACE(how);
    int result = RunModal([&] {
      Type(dlg->CommonSpinEditYear, L"2050");
      Click(dlg->CheckBoxTime);
      Click(dlg->CheckBoxCreateUpdate);
      close();
    });
    EXPECT_EQ(result, ui::mrCancel);
    EXPECT_TRUE(state == stored);
    EXPECT_TRUE(IsWindow(dlg->GroupBoxInputDateTime.Handle()));
  }
  // The next show displays the stored values again.
  ShowFor(1);
  EXPECT_EQ(Texts(), L"2010 11 5 23 59 58");
  EXPECT_FALSE(dlg->CheckBoxTime.Checked());
  EXPECT_FALSE(dlg->CheckBoxCreateUpdate.Checked());
}

TEST_F(InputDateTime, InASpinEditEnterIsRefusedAndTabMovesOn) {
  int beeps = 0;
  widgets::SetRefusalSoundForTesting([&] { ++beeps; });
  HWND focusAfterTab = nullptr;
  int result = RunModal([&] {
    HWND year = dlg->CommonSpinEditYear.Handle();
    dlg->CommonSpinEditYear.SetFocus();
    PostMessageW(year, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(year, WM_KEYDOWN, VK_TAB, 1);
    testsupport::PumpFor(50);
    focusAfterTab = GetFocus();
    PostMessageW(dlg->ButtonCancel.Handle(), BM_CLICK, 0, 0);
  });
  widgets::SetRefusalSoundForTesting(nullptr);
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(dlg->CommonSpinEditYear.Text(), L"2001");
  EXPECT_EQ(focusAfterTab, dlg->CommonSpinEditMonth.Handle());
}
