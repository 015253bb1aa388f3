// The date-time entry dialog driven as a user drives it: layout, day range, "Now", options, OK and Cancel.
#include "app/InputDateTime.h"
#include "support/DialogAnswerer.h"
#include "support/FixedClock.h"
#include "support/Keys.h"
#include "ui/Timer.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

using app::TDateEntryState;
using widgets::TCommonSpinEdit;

namespace {

// Selects the whole text and types over it, one character at a time.
void Type(TCommonSpinEdit& e, const std::wstring& text) {
  SendMessageW(e.Handle(), EM_SETSEL, 0, -1);
  if (text.empty()) SendMessageW(e.Handle(), WM_CHAR, L'\b', 1);
  for (wchar_t ch : text) SendMessageW(e.Handle(), WM_CHAR, ch, 1);
}

void Click(ui::WinControl& c) { SendMessageW(c.Handle(), BM_CLICK, 0, 0); }

comm::TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  comm::TDateTime v = 0;
  EXPECT_TRUE(comm::TryEncodeDateTime({y, mo, d, h, mi, s, 0}, v));
  return v;
}

class InputDateTime : public testing::Test {
 protected:
  void SetUp() override {
    const uint16_t parts[2][6] = {{2001, 3, 31, 10, 20, 30}, {2010, 11, 5, 23, 59, 58}};
    std::copy(&parts[0][0], &parts[0][0] + 12, &state.Parts[0][0]);
  }
  // Shows the dialog for a side without a modal loop, so the test can act between steps.
  app::TFormInputDateTime& ShowFor(int side) {
    dlg.Hide();
    state.Target = side;
    dlg.Show();
    return dlg;
  }
  std::wstring Texts() {
    std::wstring s;
    for (int c = 0; c < 6; ++c) s += (c ? L" " : L"") + dlg.PartEdit(c).Text();
    return s;
  }
  // Runs the dialog modally; the script acts once it is up.
  int RunModal(const std::function<void()>& script) {
    ui::Timer act, guard;
    act.OnTimer = [&](ui::Control*) {
      act.SetEnabled(false);
      script();
    };
    guard.OnTimer = [&](ui::Control*) {
      ADD_FAILURE() << "the dialog did not close";
      dlg.SetModalResult(ui::mrClosed);
    };
    act.SetInterval(30);
    act.SetEnabled(true);
    guard.SetInterval(5000);
    guard.SetEnabled(true);
    return dlg.ShowModal();
  }

  struct TOwner : ui::Form {
    TOwner() { CreateForm(L"VornaStampShifter", WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX, 0, 300, 200); }
  } owner;  // the main window
  TDateEntryState state;
  app::TFormInputDateTime dlg{state, owner.Handle()};
};

}  // namespace

TEST_F(InputDateTime, WindowFieldsTabOrderAndHints) {
  auto& d = ShowFor(0);
  EXPECT_EQ(d.ClientWidth(), 302);
  EXPECT_EQ(d.ClientHeight(), 151 + 28);  // the rule's row above the group box
  EXPECT_EQ(d.Caption(), L"日時入力");
  // Each field in its place, 21 high or the font's least height when that is more.
  const int h = std::max(21, d.CommonSpinEditYear.LeastHeight());
  const int fields[6][5] = {{16, 24, 1980, 2100, 4}, {88, 24, 1, 12, 2}, {160, 24, 1, 31, 2},
                            {16, 52, 0, 23, 2},      {88, 52, 0, 59, 2}, {160, 52, 0, 59, 2}};
  for (int c = 0; c < 6; ++c) {
    TCommonSpinEdit& e = d.PartEdit(c);
    RECT r = e.BoundsRect(), expected{fields[c][0], fields[c][1], fields[c][0] + 49, fields[c][1] + h};
    EXPECT_TRUE(EqualRect(&r, &expected)) << c;
    EXPECT_EQ(e.Parent(), &d.GroupBoxInputDateTime) << c;
    EXPECT_EQ(e.MinValue, fields[c][2]) << c;
    EXPECT_EQ(e.MaxValue, fields[c][3]) << c;
    EXPECT_EQ(SendMessageW(e.Handle(), EM_GETLIMITTEXT, 0, 0), fields[c][4]) << c;
  }
  // Tab runs from the rule's drop-down through the group box, then the row below it, and round again
  // (the offset edit is hidden while the rule is the entered date-time).
  HWND order[] = {d.ComboBoxRule.Handle(),       d.CommonSpinEditYear.Handle(), d.CommonSpinEditMonth.Handle(),  d.CommonSpinEditDay.Handle(),
                  d.CommonSpinEditHour.Handle(), d.CommonSpinEditMinute.Handle(), d.CommonSpinEditSecond.Handle(),
                  d.ButtonNow.Handle(),          d.CheckBoxTime.Handle(),         d.CheckBoxSecond.Handle(),
                  d.CheckBoxCreateUpdate.Handle(), d.ButtonOK.Handle(),           d.ButtonCancel.Handle()};
  for (size_t i = 0; i < std::size(order); ++i)
    EXPECT_EQ(GetNextDlgTabItem(d.Handle(), order[i], FALSE), order[(i + 1) % std::size(order)]) << i;
  // Tooltips for "Now" and the time box only; the seconds box keeps its hint unshown.
  EXPECT_EQ(SendMessageW(d.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 2);
}

TEST_F(InputDateTime, DayMaximumFollowsYearAndMonthAndOnlyFebruaryClampsTheDay) {
  auto& d = ShowFor(0);
  Type(d.CommonSpinEditYear, L"2000");
  Type(d.CommonSpinEditMonth, L"2");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"29");
  Type(d.CommonSpinEditYear, L"2100");  // divisible by 100 and not by 400
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"28");
  Type(d.CommonSpinEditYear, L"2000");
  Type(d.CommonSpinEditDay, L"29");
  Type(d.CommonSpinEditYear, L"2001");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"28");
  // A day within February is kept, also one on its last day, and a leap year lengthens the range.
  Type(d.CommonSpinEditDay, L"15");
  Type(d.CommonSpinEditYear, L"2004");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"15");
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 29);
  Type(d.CommonSpinEditDay, L"29");
  Type(d.CommonSpinEditMonth, L"1");
  Type(d.CommonSpinEditMonth, L"2");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"29");
  Type(d.CommonSpinEditYear, L"2001");
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"28");
  // Any other month keeps the typed day; it reads, and is stored, as the month's last day.
  Type(d.CommonSpinEditMonth, L"3");
  Type(d.CommonSpinEditDay, L"31");
  d.CommonSpinEditMonth.StepUp();
  EXPECT_EQ(d.CommonSpinEditDay.Text(), L"31");
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 30);
  // Typed out of range or left empty: stored as read.
  Type(d.CommonSpinEditYear, L"1979");
  Type(d.CommonSpinEditHour, L"");
  Type(d.CommonSpinEditMinute, L"99");
  Click(d.ButtonOK);
  EXPECT_EQ(d.ModalResult(), ui::mrOk);
  const uint16_t stored[6] = {1980, 4, 30, 0, 59, 30};
  EXPECT_TRUE(std::equal(stored, stored + 6, state.Parts[0]));
}

TEST_F(InputDateTime, NowFillsOnlyTheFieldsTheOptionsLeaveFree) {
  testsupport::FixedNow now(At(2024, 2, 29, 15, 26, 37));
  auto& d = ShowFor(0);
  Type(d.CommonSpinEditMonth, L"4");  // day 31 shown in April
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2024 2 29 15 26 37");
  EXPECT_EQ(d.CommonSpinEditDay.MaxValue, 29);
  state.SecondFree[0] = true;
  ShowFor(0);
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2024 2 29 15 26 0");
  state.TimeFree[0] = true;
  ShowFor(0);
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2024 2 29 0 0 0");
  testsupport::FixedNow later(At(2150, 1, 31, 8, 0, 0));
  Click(d.ButtonNow);
  EXPECT_EQ(Texts(), L"2100 1 31 0 0 0");
}

TEST_F(InputDateTime, TimeOptionsZeroAndDisableTheirFields) {
  auto& d = ShowFor(0);
  Click(d.CheckBoxSecond);
  EXPECT_EQ(Texts(), L"2001 3 31 10 20 0");
  EXPECT_FALSE(d.CommonSpinEditSecond.Enabled() || d.LabelSecond.Enabled());
  Click(d.CheckBoxTime);
  EXPECT_EQ(Texts(), L"2001 3 31 0 0 0");
  EXPECT_FALSE(d.CommonSpinEditHour.Enabled() || d.LabelHour.Enabled() || d.CommonSpinEditMinute.Enabled() ||
               d.LabelMinute.Enabled() || d.CheckBoxSecond.Enabled());
  EXPECT_TRUE(d.CheckBoxSecond.Checked());  // kept while disabled
  // Unchecked: hour and minute come back, the second only without its own option; the zeros stay.
  Click(d.CheckBoxTime);
  EXPECT_TRUE(d.CommonSpinEditHour.Enabled() && d.CommonSpinEditMinute.Enabled() && d.CheckBoxSecond.Enabled());
  EXPECT_FALSE(d.CommonSpinEditSecond.Enabled());
  EXPECT_EQ(Texts(), L"2001 3 31 0 0 0");
  Click(d.CheckBoxSecond);
  EXPECT_TRUE(d.CommonSpinEditSecond.Enabled() && d.LabelSecond.Enabled());
}

TEST_F(InputDateTime, EveryShowLoadsTheSideWithItsOwnOptions) {
  state.TimeFree[1] = state.SecondFree[1] = state.CreateUpdate = true;
  auto& d = ShowFor(1);
  EXPECT_EQ(Texts(), L"2010 11 5 0 0 0");
  EXPECT_TRUE(d.CheckBoxTime.Checked() && d.CheckBoxSecond.Checked() && d.CheckBoxCreateUpdate.Checked());
  // The boxes left checked by the last show must not zero this side's time.
  ShowFor(0);
  EXPECT_EQ(Texts(), L"2001 3 31 10 20 30");
  EXPECT_FALSE(d.CheckBoxTime.Checked() || d.CheckBoxSecond.Checked());
  EXPECT_TRUE(d.CommonSpinEditSecond.Enabled());
}

TEST_F(InputDateTime, OkWritesTheEditedSideAndWithTheOptionBothSides) {
  auto& d = ShowFor(1);
  Type(d.CommonSpinEditYear, L"2024");
  Click(d.CheckBoxSecond);
  Click(d.ButtonOK);
  const uint16_t update[6] = {2024, 11, 5, 23, 59, 0}, creation[6] = {2001, 3, 31, 10, 20, 30};
  EXPECT_TRUE(std::equal(update, update + 6, state.Parts[1]));
  EXPECT_TRUE(std::equal(creation, creation + 6, state.Parts[0]));
  EXPECT_TRUE(state.SecondFree[1] && !state.SecondFree[0] && !state.CreateUpdate);

  ShowFor(1);
  Click(d.CheckBoxTime);
  Click(d.CheckBoxCreateUpdate);
  Click(d.ButtonOK);
  const uint16_t both[6] = {2024, 11, 5, 0, 0, 0};
  EXPECT_TRUE(std::equal(both, both + 6, state.Parts[0]) && std::equal(both, both + 6, state.Parts[1]));
  EXPECT_TRUE(state.TimeFree[0] && state.TimeFree[1] && state.SecondFree[0] && state.SecondFree[1]);
  EXPECT_TRUE(state.CreateUpdate);
}

TEST_F(InputDateTime, ModalOkStoresWhileCancelEscAndTheCloseBoxWriteNothing) {
  state.Target = 1;
  const TDateEntryState stored = state;
  const std::pair<const char*, std::function<void()>> closers[] = {
      {"Cancel", [&] { Click(dlg.ButtonCancel); }},
      {"Esc in a spin edit",
       [&] {
         dlg.CommonSpinEditDay.SetFocus();
         PostMessageW(dlg.CommonSpinEditDay.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
       }},
      {"close box", [&] { PostMessageW(dlg.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const auto& [how, close] : closers) {
    SCOPED_TRACE(how);
    EXPECT_EQ(RunModal([&] {
                Type(dlg.CommonSpinEditYear, L"2050");
                Click(dlg.CheckBoxTime);
                Click(dlg.CheckBoxCreateUpdate);
                close();
              }),
              ui::mrCancel);
    EXPECT_TRUE(state == stored);
    EXPECT_TRUE(IsWindow(dlg.GroupBoxInputDateTime.Handle()));  // nothing closed but the dialog
    EXPECT_FALSE(dlg.Showing());
  }
  int beeps = 0;
  widgets::SetRefusalSoundForTesting([&] { ++beeps; });
  HWND focusAfterTab = nullptr;
  int result = RunModal([&] {
    EXPECT_EQ(Texts(), L"2010 11 5 23 59 58");  // the stored values again
    HWND year = dlg.CommonSpinEditYear.Handle();
    dlg.CommonSpinEditYear.SetFocus();
    PostMessageW(year, WM_KEYDOWN, VK_RETURN, 1);  // refused: Enter does not end the dialog
    PostMessageW(year, WM_KEYDOWN, VK_TAB, 1);
    testsupport::PumpFor(50);
    focusAfterTab = GetFocus();
    Type(dlg.CommonSpinEditHour, L"7");
    Click(dlg.ButtonOK);
  });
  widgets::SetRefusalSoundForTesting(nullptr);
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(focusAfterTab, dlg.CommonSpinEditMonth.Handle());
  EXPECT_EQ(state.Parts[1][3], 7);
}

TEST_F(InputDateTime, EveryOpeningStartsInTheYearFieldAndEnterPressesOnlyTheFocusedButton) {
  testsupport::FixedNow now(At(2024, 2, 29, 15, 26, 37));
  state.Target = 0;
  int beeps = 0;
  widgets::SetRefusalSoundForTesting([&] { ++beeps; });
  auto key = [](WORD vk, int times = 1) {
    while (times-- > 0) testsupport::PressKey(nullptr, vk);
  };
  std::wstring seen;  // per look: "year" (focused, all its text selected), then the framed buttons
  auto look = [&] {
    DWORD from = 1, to = 0;
    SendMessageW(dlg.CommonSpinEditYear.Handle(), EM_GETSEL, WPARAM(&from), LPARAM(&to));
    if (dlg.CommonSpinEditYear.Focused() && from == 0 && to == 4) seen += L"year";
    for (ui::Button* b : {&dlg.ButtonNow, &dlg.ButtonOK, &dlg.ButtonCancel})
      if ((GetWindowLongPtrW(b->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen += b->Caption();
    seen += L";";
  };
  // Enter in a field presses nothing; "Now" reached with Tab alone shows the frame, and Enter presses
  // it; a click into a field takes the frame off again; Enter on "ｷｬﾝｾﾙ" cancels.
  EXPECT_EQ(RunModal([&] {
              look();
              key(VK_RETURN);
              key(VK_TAB, 6);
              look();
              key(VK_RETURN);
              seen += dlg.CommonSpinEditYear.Text() + L";";
              dlg.CommonSpinEditDay.SetFocus();
              look();
              key(VK_TAB, 9);
              look();
              key(VK_RETURN);
            }),
            ui::mrCancel);
  // Each next opening starts in the year field, whatever had the focus: typed digits replace the year.
  // The program minimised and restored keeps them and the focus: Windows hides the owned windows of a
  // minimised window and shows them again at the restore (Wine leaves them), done here as Windows does.
  EXPECT_EQ(RunModal([&] {
              look();
              for (WORD digit : {'2', '0', '3', '0'}) key(digit);
              dlg.CommonSpinEditHour.SetFocus();
              ShowOwnedPopups(owner.Handle(), FALSE);
              ShowOwnedPopups(owner.Handle(), TRUE);
              SetForegroundWindow(dlg.Handle());
              look();
              seen += dlg.CommonSpinEditYear.Text() + L";";
              dlg.ButtonOK.SetFocus();
              look();
              key(VK_RETURN);
            }),
            ui::mrOk);
  EXPECT_EQ(RunModal([&] {
              look();
              key(VK_ESCAPE);
            }),
            ui::mrCancel);
  widgets::SetRefusalSoundForTesting(nullptr);
  EXPECT_EQ(seen, L"year;Now;2024;;ｷｬﾝｾﾙ;year;;2030;OK;year;");
  EXPECT_EQ(beeps, 1);  // the Enter in the field
  const uint16_t stored[6] = {2030, 3, 31, 10, 20, 30};
  EXPECT_TRUE(std::equal(stored, stored + 6, state.Parts[0]));
}

namespace {

struct RecordingPrompter : ui::IPrompter {
  mutable std::vector<std::wstring> Texts;
  void Inform(HWND, const std::wstring& text) const override { Texts.push_back(text); }
  void ShowError(HWND, const std::wstring& text) const override { Texts.push_back(text); }
};

// Picks a rule as a user does: the selection, then its change event.
void Pick(app::TFormInputDateTime& d, engine::TTimeSource source) {
  d.ComboBoxRule.SetItemIndex(static_cast<int>(source));
  d.ComboBoxRuleChange(&d.ComboBoxRule);
}

// Per control, enabled or not: year, month, day, hour, minute, second, "Now", the time box; then
// whether the offset edit is shown.
std::wstring States(app::TFormInputDateTime& d) {
  std::wstring s;
  for (int c = 0; c < 6; ++c) s += d.PartEdit(c).Enabled() ? L"YMDhms"[c] : L'.';
  s += d.ButtonNow.Enabled() ? L'N' : L'.';
  s += d.CheckBoxTime.Enabled() ? L'T' : L'.';
  s += d.EditOffset.Visible() ? L" +" : L" .";
  return s;
}

}  // namespace

TEST_F(InputDateTime, TheRuleEnablesTheFieldsItUsesAndShowsTheOffsetWhereItTakesOne) {
  using engine::TTimeSource;
  auto& d = ShowFor(0);
  ASSERT_EQ(d.ComboBoxRule.Count(), 7);
  EXPECT_EQ(d.ComboBoxRule.ItemIndex(), 0);
  EXPECT_EQ(d.ComboBoxRule.Item(3), L"更新日時から");
  EXPECT_EQ(States(d), L"YMDhmsNT .");
  const std::pair<TTimeSource, const wchar_t*> rows[] = {
      {TTimeSource::Taken, L"........ +"},    {TTimeSource::FileName, L"........ +"},
      {TTimeSource::OtherSide, L"........ +"}, {TTimeSource::Shift, L"........ +"},
      {TTimeSource::DateOnly, L"YMD...N. ."},  {TTimeSource::TimeOnly, L"...hmsNT ."},
      {TTimeSource::Fixed, L"YMDhmsNT ."},
  };
  for (const auto& [source, states] : rows) {
    Pick(d, source);
    EXPECT_EQ(States(d), states) << static_cast<int>(source);
  }
  // The time options still narrow the time of "時刻のみ"; the values stay as they were.
  Pick(d, TTimeSource::TimeOnly);
  Click(d.CheckBoxSecond);
  EXPECT_EQ(States(d), L"...hm.NT .");
  Click(d.CheckBoxTime);
  EXPECT_EQ(States(d), L"......NT .");
  EXPECT_EQ(Texts(), L"2001 3 31 0 0 0");
  // The update side's drop-down names the creation time as its source.
  ShowFor(1);
  EXPECT_EQ(d.ComboBoxRule.Item(3), L"作成日時から");
}

TEST_F(InputDateTime, OkStoresTheRuleAndAnOffsetThatDoesNotReadKeepsTheDialogOpen) {
  using engine::TTimeSource;
  RecordingPrompter prompter;
  dlg.Prompter = &prompter;
  auto& d = ShowFor(1);
  Pick(d, TTimeSource::Shift);
  const std::pair<const wchar_t*, engine::TOffsetError> refused[] = {
      {L"1:5", engine::TOffsetError::Format}, {L"", engine::TOffsetError::Format}, {L"+36501日", engine::TOffsetError::Range}};
  for (const auto& [text, error] : refused) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(std::wstring(text)));
    d.EditOffset.SetText(text);
    Click(d.ButtonOK);
    EXPECT_EQ(d.ModalResult(), ui::mrNone);
    ASSERT_FALSE(prompter.Texts.empty());
    EXPECT_EQ(prompter.Texts.back(), engine::OffsetErrorText(error));
    EXPECT_EQ(GetFocus(), d.EditOffset.Handle());
    DWORD from = 1, to = 0;
    SendMessageW(d.EditOffset.Handle(), EM_GETSEL, WPARAM(&from), LPARAM(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, std::wstring(text).size());
    EXPECT_EQ(state.Rule[1], engine::TTimeRule{});
  }
  EXPECT_EQ(prompter.Texts.size(), 3u);
  // The largest offset is taken; the other side keeps its rule without the option to apply to both.
  d.EditOffset.SetText(L"+36500日");
  Click(d.ButtonOK);
  EXPECT_EQ(d.ModalResult(), ui::mrOk);
  EXPECT_EQ(state.Rule[1], (engine::TTimeRule{TTimeSource::Shift, engine::kMaxOffsetSeconds}));
  EXPECT_EQ(state.Rule[0], engine::TTimeRule{});
  // Opened again, the side shows its rule and starts in the drop-down, the year being unused.
  ShowFor(1);
  EXPECT_EQ(d.ComboBoxRule.ItemIndex(), static_cast<int>(TTimeSource::Shift));
  EXPECT_EQ(d.EditOffset.Text(), L"+36500日");
  EXPECT_EQ(GetFocus(), d.ComboBoxRule.Handle());
  // A rule without an offset never reads the hidden edit; "共に反映" gives both sides the rule.
  Pick(d, TTimeSource::FileName);
  d.EditOffset.SetText(L"-0:30");
  Click(d.ButtonOK);
  Pick(d, TTimeSource::DateOnly);
  d.EditOffset.SetText(L"nonsense");
  Click(d.CheckBoxCreateUpdate);
  Click(d.ButtonOK);
  EXPECT_EQ(d.ModalResult(), ui::mrOk);
  EXPECT_EQ(prompter.Texts.size(), 3u);
  EXPECT_EQ(state.Rule[0], (engine::TTimeRule{TTimeSource::DateOnly, 0}));  // no offset kept where none is used
  EXPECT_EQ(state.Rule[1], state.Rule[0]);
  // Both sides from the update time: the update side keeps its own, moved alike; the two never swap.
  ShowFor(0);
  Pick(d, TTimeSource::OtherSide);
  d.EditOffset.SetText(L"+1:00");
  Click(d.ButtonOK);
  EXPECT_EQ(state.Rule[0], (engine::TTimeRule{TTimeSource::OtherSide, 3600}));
  EXPECT_EQ(state.Rule[1], (engine::TTimeRule{TTimeSource::Shift, 3600}));
  // Cancel keeps the stored rule.
  ShowFor(0);
  Pick(d, TTimeSource::Taken);
  Click(d.ButtonCancel);
  EXPECT_EQ(state.Rule[0].Source, TTimeSource::OtherSide);
}
