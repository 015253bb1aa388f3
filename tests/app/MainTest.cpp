// The main window as a user meets it: enabling rules, keys, the animation, and its settings file.
#include "app/Main.h"
#include "comm/Cp932.h"
#include "comm/DateTime.h"
#include "support/Capture.h"
#include "support/DialogAnswerer.h"
#include "support/FixedClock.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

using app::TVNStampShifter;
using testsupport::PressKey;
using testsupport::PumpFor;
using testsupport::TempTree;

namespace {

std::string ReadBytes(const std::wstring& path) {
  std::ifstream f(std::filesystem::path(path), std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream f(std::filesystem::path(path), std::ios::binary);
  f << bytes;
}

class MainWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<TVNStampShifter> Open(const std::string& ini = std::string(), bool write = false) {
    if (write) WriteBytes(IniPath(), ini);
    return std::make_unique<TVNStampShifter>(IniPath());
  }
  std::wstring IniPath() const { return tree.Path(L"VornaStampShifter.ini"); }
  TempTree tree;
};

}  // namespace

TEST_F(MainWindowTest, WindowHasItsCaptionSizeAndCannotBeResized) {
  auto w = Open();
  w->Show();
  wchar_t caption[64];
  GetWindowTextW(w->Handle(), caption, 64);
  EXPECT_STREQ(caption, L"VornaStampShifter");
  EXPECT_EQ(w->ClientWidth(), 300);
  EXPECT_EQ(w->ClientHeight(), 359);
  LONG_PTR style = GetWindowLongPtrW(w->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  SetWindowPos(w->Handle(), nullptr, 0, 0, 600, 600, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(w->ClientWidth(), 300);
  EXPECT_EQ(w->ClientHeight(), 359);
}

TEST_F(MainWindowTest, AttributeRulesFollowTheCheckBoxes) {
  auto w = Open();
  w->CheckBoxAttrChg.SetChecked(true);
  w->CheckBoxReadOnly.SetChecked(true);
  EXPECT_TRUE(w->RadioButtonReadOnlyON.Enabled());
  w->CheckBoxAttrChg.SetChecked(false);
  // Unchecked attribute change: the check box and both radio buttons are off, whatever it holds.
  EXPECT_FALSE(w->CheckBoxReadOnly.Enabled());
  EXPECT_TRUE(w->CheckBoxReadOnly.Checked());
  EXPECT_FALSE(w->RadioButtonReadOnlyON.Enabled());
  EXPECT_FALSE(w->RadioButtonReadOnlyOFF.Enabled());
  EXPECT_FALSE(w->LabelHidden.Enabled());
  EXPECT_TRUE(w->PanelReadOnly.Enabled());
  w->CheckBoxAttrChg.SetChecked(true);
  w->CheckBoxHidden.SetChecked(false);
  EXPECT_TRUE(w->CheckBoxHidden.Enabled());
  EXPECT_FALSE(w->RadioButtonHiddenON.Enabled());
  w->CheckBoxHidden.SetChecked(true);
  EXPECT_TRUE(w->RadioButtonHiddenOFF.Enabled());
  // Every row, each way round: the label and the check box follow the attribute change, the radio
  // buttons that and the row's own check box.
  struct Row {
    ui::Control& label;
    ui::CheckBox& check;
    ui::Control& on;
    ui::Control& off;
  };
  const Row rows[] = {{w->LabelReadOnly, w->CheckBoxReadOnly, w->RadioButtonReadOnlyON, w->RadioButtonReadOnlyOFF},
                      {w->LabelHidden, w->CheckBoxHidden, w->RadioButtonHiddenON, w->RadioButtonHiddenOFF},
                      {w->LabelSystem, w->CheckBoxSystem, w->RadioButtonSystemON, w->RadioButtonSystemOFF}};
  for (bool attr : {true, false, true}) {
    for (bool row : {true, false, true}) {
      for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(testing::Message() << "attr " << attr << " row " << r << " checked " << row);
        w->CheckBoxAttrChg.SetChecked(attr);
        rows[r].check.SetChecked(row);
        EXPECT_EQ(rows[r].label.Enabled(), attr);
        EXPECT_EQ(rows[r].check.Enabled(), attr);
        EXPECT_EQ(rows[r].on.Enabled(), attr && row);
        EXPECT_EQ(rows[r].off.Enabled(), attr && row);
      }
    }
  }
}

TEST_F(MainWindowTest, DateRulesFollowTheCheckBoxes) {
  auto w = Open();
  w->CheckBoxDateChg.SetChecked(true);
  w->CheckBoxCreate.SetChecked(false);
  w->CheckBoxUpdate.SetChecked(true);
  EXPECT_FALSE(w->EditCreate.Enabled());
  EXPECT_FALSE(w->SpeedButtonCreate.Enabled());
  EXPECT_TRUE(w->EditUpdate.Enabled());
  EXPECT_TRUE(w->SpeedButtonUpdate.Enabled());
  w->CheckBoxDateChg.SetChecked(false);
  EXPECT_FALSE(w->CheckBoxCreate.Enabled());
  EXPECT_FALSE(w->CheckBoxUpdate.Enabled());
  EXPECT_FALSE(w->EditUpdate.Enabled());
  EXPECT_FALSE(w->SpeedButtonUpdate.Enabled());
  // Both sides, each way round.
  for (bool date : {true, false, true}) {
    for (bool create : {true, false}) {
      for (bool update : {false, true}) {
        SCOPED_TRACE(testing::Message() << "date " << date << " create " << create << " update " << update);
        w->CheckBoxDateChg.SetChecked(date);
        w->CheckBoxCreate.SetChecked(create);
        w->CheckBoxUpdate.SetChecked(update);
        EXPECT_EQ(w->CheckBoxCreate.Enabled(), date);
        EXPECT_EQ(w->CheckBoxUpdate.Enabled(), date);
        EXPECT_EQ(w->EditCreate.Enabled(), date && create);
        EXPECT_EQ(w->SpeedButtonCreate.Enabled(), date && create);
        EXPECT_EQ(w->EditUpdate.Enabled(), date && update);
        EXPECT_EQ(w->SpeedButtonUpdate.Enabled(), date && update);
      }
    }
  }
}

TEST_F(MainWindowTest, FoldersOnlyDisablesTheExtensionFilter) {
  auto w = Open();
  w->CheckBoxExtSelect.SetChecked(false);
  w->RadioButtonFolder.SetChecked(true);
  EXPECT_FALSE(w->CheckBoxExtSelect.Enabled());
  EXPECT_FALSE(w->EditExtString.Enabled());
  EXPECT_EQ(w->EditExtString.GetColor(), ui::clBtnFace);
  w->RadioButtonAll.SetChecked(true);
  // Enabled again although the filter itself is off.
  EXPECT_TRUE(w->CheckBoxExtSelect.Enabled());
  EXPECT_TRUE(w->EditExtString.Enabled());
  EXPECT_EQ(w->EditExtString.GetColor(), ui::clWindow);
  // Files only enables it as well; folders only disables it again, the filter checked or not.
  for (bool filter : {false, true}) {
    SCOPED_TRACE(filter);
    w->CheckBoxExtSelect.SetChecked(filter);
    w->RadioButtonFolder.SetChecked(true);
    w->RadioButtonFile.SetChecked(true);
    EXPECT_TRUE(w->CheckBoxExtSelect.Enabled() && w->EditExtString.Enabled());
    EXPECT_EQ(w->EditExtString.GetColor(), ui::clWindow);
    w->RadioButtonFolder.SetChecked(true);
    EXPECT_FALSE(w->CheckBoxExtSelect.Enabled() || w->EditExtString.Enabled());
    EXPECT_EQ(w->EditExtString.GetColor(), ui::clBtnFace);
  }
}

TEST_F(MainWindowTest, ExtensionFilterTakesTheFocusOnlyOnceShown) {
  auto w = Open();
  w->CheckBoxExtSelect.SetChecked(false);
  w->CheckBoxExtSelect.SetChecked(true);  // before the first show: settings being loaded
  EXPECT_FALSE(w->EditExtString.Focused());
  w->Show();
  PumpFor(20);
  EXPECT_TRUE(w->FShown);
  w->ButtonSet.SetFocus();
  w->CheckBoxExtSelect.SetChecked(false);
  w->CheckBoxExtSelect.SetChecked(true);
  EXPECT_TRUE(w->EditExtString.Focused());
}

TEST_F(MainWindowTest, DateTimeShowsTheStoredPartsOfItsSide) {
  auto w = Open();
  const uint16_t create[6] = {2024, 2, 29, 0, 0, 0}, update[6] = {1999, 12, 31, 23, 59, 58};
  for (int i = 0; i < 6; ++i) w->FDateParts[0][i] = create[i], w->FDateParts[1][i] = update[i];
  w->ShowDateTime(&w->EditCreate);
  w->ShowDateTime(&w->EditUpdate);
  EXPECT_EQ(w->EditCreate.Text(), L"　2024/02/29 00:00:00");
  EXPECT_EQ(w->EditUpdate.Text(), L"　1999/12/31 23:59:58");
}

TEST_F(MainWindowTest, CtrlCOpensTheDialogOnlyWhenItsButtonIsEnabled) {
  auto w = Open();
  app::TFormInputDateTime dialog(w->FDateState, w->Handle());
  w->FInputDateTime = &dialog;
  w->Show();
  testsupport::DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormInputDateTime"};
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::Button, L"ｷｬﾝｾﾙ"};
  };
  w->CheckBoxDateChg.SetChecked(true);
  w->CheckBoxCreate.SetChecked(true);
  w->CheckBoxUpdate.SetChecked(true);
  // The extension edit holds a selected text; its own Ctrl+C copies it when the key reaches it.
  w->EditExtString.SetText(L"txt;bmp");
  w->EditExtString.SetFocus();
  w->EditExtString.SelectAll();
  auto clipboardText = [&]() {
    std::wstring s;
    if (OpenClipboard(w->Handle())) {
      if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        s = static_cast<const wchar_t*>(GlobalLock(h));
        GlobalUnlock(h);
      }
      CloseClipboard();
    }
    return s;
  };
  OpenClipboard(w->Handle());
  EmptyClipboard();
  CloseClipboard();
  PressKey(w->EditExtString.Handle(), 'C', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].caption, L"作成日時入力");
  EXPECT_EQ(clipboardText(), L"");  // the character was swallowed
  // The dialog stands just right of the main window.
  RECT r;
  GetWindowRect(answers.Shown()[0].hwnd, &r);
  EXPECT_EQ(r.left, w->Left() + w->Width());
  PressKey(w->EditExtString.Handle(), 'U', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].caption, L"更新日時入力");

  w->CheckBoxCreate.SetChecked(false);
  w->EditExtString.SetFocus();
  w->EditExtString.SelectAll();
  PressKey(w->EditExtString.Handle(), 'C', ui::ssCtrl);
  EXPECT_EQ(answers.Shown().size(), 2u);        // nothing opened
  EXPECT_EQ(clipboardText(), L"txt;bmp");      // and the edit got its Ctrl+C
}

TEST_F(MainWindowTest, EnterStartsTheRunAndEscClosesTheWindow) {
  auto w = Open();
  w->Show();
  int closes = 0;
  w->CheckBoxAutoExit.SetFocus();
  // Without a target list the start button has no run to start; Enter must still reach it.
  bool clicked = false;
  w->ButtonSet.OnClick = [&](ui::Control*) { clicked = true; };
  PressKey(w->CheckBoxAutoExit.Handle(), VK_RETURN);
  EXPECT_TRUE(clicked);
  ui::Application::Instance().SetMainForm(w.get());
  PressKey(w->CheckBoxAutoExit.Handle(), VK_ESCAPE);
  if (ui::Application::Instance().Terminated()) ++closes;
  EXPECT_EQ(closes, 1);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ui::Application::Instance().ResetTerminated();
  ui::Application::Instance().SetMainForm(nullptr);
}

TEST_F(MainWindowTest, AnimationTextsFollowTheFramesAndTheClickStopsIt) {
  const wchar_t* expected[26] = {L"",       L"",       L"",       L"・　　", L"・　　", L"・　　", L"・　　",
                                 L"・・　", L"・・　", L"・・　", L"・・　", L"・・・", L"・・・", L"・・・",
                                 L"・・・", L"！",     L"！",     L"！",     L"うきゅ？", L"うきゅ？", L"うきゅ？",
                                 L"うきゅ？", L"うきゅ？", L"うきゅ？", L"うきゅ？", L""};
  auto w = Open();
  w->Timer.SetEnabled(false);
  for (int cycle = 0; cycle < 2; ++cycle) {
    for (int f = 0; f < 26; ++f) {
      EXPECT_EQ(w->FAnimFrame, f);
      w->TimerTimer(nullptr);
      EXPECT_EQ(w->LabelMsg.Caption(), expected[f]) << "frame " << f;
    }
  }
  EXPECT_EQ(w->FAnimFrame, 0);
  w->Timer.SetEnabled(true);
  w->ImageVornaClick(nullptr);
  EXPECT_FALSE(w->Timer.Enabled());
  w->ImageVornaClick(nullptr);
  EXPECT_TRUE(w->Timer.Enabled());
  EXPECT_EQ(w->Timer.Interval(), 200u);
}

TEST_F(MainWindowTest, RunStateSwitchesTheControlsAndTheStartButton) {
  auto w = Open();
  w->SetIdleState(false);
  EXPECT_EQ(w->ButtonSet.Caption(), L"中断");
  EXPECT_EQ(w->ButtonSet.Hint(), L"日時／属性の変更を中断します");
  EXPECT_TRUE(w->ButtonSet.Enabled());
  EXPECT_TRUE(w->ButtonHelp.Enabled());
  EXPECT_FALSE(w->GroupBoxType.Enabled());
  EXPECT_FALSE(w->PanelReadOnly.Enabled());
  EXPECT_FALSE(w->ButtonEnd.Enabled());
  EXPECT_EQ(w->EditExtString.GetColor(), ui::clBtnFace);
  w->SetIdleState(true);
  EXPECT_EQ(w->ButtonSet.Caption(), L"開始");
  EXPECT_TRUE(w->ButtonEnd.Enabled());
  EXPECT_TRUE(w->PanelReadOnly.Enabled());
  w->SetControlsEnabled(false);
  EXPECT_FALSE(w->ButtonSet.Enabled());
  EXPECT_FALSE(IsWindowEnabled(w->Handle()));
  EXPECT_EQ(w->ButtonSet.Caption(), L"開始");
  w->SetControlsEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(w->Handle()));
  EXPECT_TRUE(w->ButtonSet.Enabled());
}

TEST_F(MainWindowTest, PictureKeepsItsLookWhileADialogIsOpenAndGreysOnlyWhenRunning) {
  auto w = Open();
  app::TFormInputDateTime dialog(w->FDateState, w->Handle());
  w->FInputDateTime = &dialog;
  w->Show();
  w->Timer.SetEnabled(false);
  while (w->FAnimFrame != 19) w->TimerTimer(nullptr);  // the speech text "うきゅ？" stands still
  const RECT drop = w->LabelDropZone.BoundsRect(), speech = w->LabelMsg.BoundsRect();
  const COLORREF green = RGB(0, 128, 0), black = RGB(0, 0, 0);
  testsupport::WindowPicture idle(w->Handle());
  ASSERT_GT(idle.Count(drop, green), 0);
  ASSERT_GT(idle.Count(speech, black), 0);

  // The date-time dialog disables the window while it is open: "DropZone" and the speech text stay.
  testsupport::DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormInputDateTime"};
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  bool sameLook = false, disabled = false;
  testsupport::LoopSteps user({[&] {
    if (answers.Shown().empty()) return false;
    disabled = !IsWindowEnabled(w->Handle());
    testsupport::WindowPicture behind(w->Handle());
    sameLook = behind.SameIn(idle, drop) && behind.SameIn(idle, speech);
    dialog.ButtonCancel.Click();
    return true;
  }});
  w->SpeedButtonCreateClick(&w->SpeedButtonCreate);
  EXPECT_TRUE(user.Done());
  EXPECT_TRUE(disabled);
  EXPECT_TRUE(sameLook);

  // A run disables "DropZone": it turns grey; the speech text is not among the run's controls.
  w->SetIdleState(false);
  testsupport::WindowPicture running(w->Handle());
  EXPECT_EQ(running.Count(drop, green), 0);
  EXPECT_TRUE(running.SameIn(idle, speech));
  w->SetIdleState(true);
  EXPECT_TRUE(testsupport::WindowPicture(w->Handle()).SameIn(idle, drop));
}

TEST_F(MainWindowTest, PictureButtonGlyphsAreEngravedWhileRunning) {
  auto w = Open();
  w->Show();
  ui::WinControl& group = *w->SpeedButtonListView.Parent();
  const RECT r = w->SpeedButtonListView.BoundsRect(), glyph{r.left + 2, r.top + 3, r.left + 17, r.top + 19};
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  // The list window's glyph (a window with lines of entries) in two tones with its light parts showing
  // the face, rather than one grey block over the whole 14 x 14 picture.
  w->SetIdleState(false);
  testsupport::WindowPicture running(group.Handle());
  EXPECT_GT(running.Count(glyph, shadow), 40);
  EXPECT_LT(running.Count(glyph, shadow), 14 * 14 * 3 / 4);
  EXPECT_GT(running.Count(glyph, GetSysColor(COLOR_BTNHIGHLIGHT)), 10);
  EXPECT_GT(running.Count(glyph, face), 30);
}

TEST_F(MainWindowTest, EnterPressesTheButtonShowingTheFrameAndCtrlAltLeavesTheNextCharacter) {
  auto w = Open();
  w->Show();
  PumpFor(20);
  std::wstring framed, pressed;
  ui::Button* buttons[] = {&w->ButtonSet, &w->ButtonEnd, &w->ButtonHelp};
  for (ui::Button* b : buttons) b->OnClick = [&pressed, b](ui::Control*) { pressed += b->Caption() + L";"; };
  w->CheckBoxAutoExit.SetFocus();
  for (int step = 0; step < 5; ++step) {  // the box, "開始", "終了", "ヘルプ(&H)", round to the first option
    if (step > 0) PressKey(nullptr, VK_TAB);
    for (ui::Button* b : buttons)
      if ((GetWindowLongPtrW(b->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) framed += b->Caption();
    framed += L";";
    PressKey(nullptr, VK_RETURN);
  }
  EXPECT_EQ(framed, L"開始;開始;終了;ヘルプ(&H);開始;");
  EXPECT_EQ(pressed, framed);

  // Ctrl+Alt+L runs its command and makes no character; the next key's character must arrive.
  struct CountingList : app::IListView {
    int Shown = 0;
    void ShowBeside(const RECT&) override { ++Shown; }
    void SetListControlsEnabled(bool) override {}
    void SetListEnabled(bool) override {}
    void AddPaths(const std::vector<std::wstring>&) override {}
    HWND ListHandle() const override { return nullptr; }
    const targets::TTargetList& ListTargets() const override { return Entries; }
    bool AskSaveFileName(const std::wstring&, std::wstring&) override { return false; }
    targets::TTargetList Entries;
  } list;
  w->App().AttachListView(&list);
  const int& lists = list.Shown;
  w->EditExtString.SetText(L"");
  w->EditExtString.SetFocus();
  PressKey(nullptr, 'L', ui::ssCtrl | ui::ssAlt);
  PressKey(nullptr, 'X');
  PressKey(nullptr, 'L', ui::ssCtrl);  // makes a control character, which alone is dropped
  PressKey(nullptr, 'Y');
  EXPECT_EQ(lists, 2);
  EXPECT_EQ(w->EditExtString.Text(), L"xy");
  w->App().AttachListView(nullptr);
}

// ---- settings ----

// The window's own load and save, with a folder chosen in between (written at once, as a selection
// command does); a second start and close write every key back in its place.
TEST_F(MainWindowTest, FirstRunFileMatchesByteForByte) {
  comm::TDateTime now;
  ASSERT_TRUE(comm::TryEncodeDateTime({2026, 12, 7, 9, 5, 3, 456}, now));
  testsupport::FixedNow fixed(now);
  int left, top;
  {
    auto w = Open();
    left = w->Left();
    top = w->Top();
    EXPECT_EQ(w->EditCreate.Text(), L"　2026/12/07 09:05:03");
    w->RegManager.Filer(L"FolderPath").WriteString(L"C:\\データ\\");
  }
  std::ostringstream want;
  want << "[Application]\r\nSplashCount=100\r\nFolderPath=" << comm::WideToCp932(L"C:\\データ\\") << "\r\nTypeFile=0\r\nTypeFolder=0\r\nTypeAll=1\r\nSubFolder=1\r\n"
          "ExtSelect=0\r\nExtString=\r\nAutoEnd=1\r\n"
       << "[Bounds]\r\nLeft=" << left << "\r\nTop=" << top << "\r\n"
       << "[DateChange]\r\nDateChange=1\r\nCreateDateTime=1\r\nUpdateDateTime=1\r\nCreateUpdate=0\r\n"
          "CreateTimeFree=0\r\nUpdateTimeFree=0\r\nCreateSecondFree=0\r\nUpdateSecondFree=0\r\n"
          "CreateYear=2026\r\nCreateMonth=12\r\nCreateDay=7\r\nCreateHour=9\r\nCreateMinute=5\r\nCreateSecond=3\r\n"
          "UpdateYear=2026\r\nUpdateMonth=12\r\nUpdateDay=7\r\nUpdateHour=9\r\nUpdateMinute=5\r\nUpdateSecond=3\r\n"
       << "[AttrChange]\r\nAttrChange=1\r\nReadOnly=1\r\nReadOnlyOn=0\r\nReadOnlyOff=1\r\nHidden=0\r\nHiddenOn=0\r\n"
          "HiddenOff=1\r\nSyatem=0\r\nSystemOn=0\r\nSystemOff=1\r\n";
  EXPECT_EQ(ReadBytes(IniPath()), want.str());
  Open().reset();
  EXPECT_EQ(ReadBytes(IniPath()), want.str());
}

TEST_F(MainWindowTest, StoredOptionsAreAppliedAndKeptAcrossRuns) {
  {
    auto w = Open(
        "[Bounds]\r\nLeft=40\r\nTop=50\r\n[Application]\r\nTypeFile=0\r\nTypeFolder=1\r\nTypeAll=0\r\nSubFolder=0\r\n"
        "ExtSelect=1\r\nExtString=TXT; .Bmp\r\nAutoEnd=0\r\n[AttrChange]\r\nAttrChange=0\r\nHidden=1\r\nHiddenOn=1\r\n"
        "HiddenOff=0\r\n",
        true);
    EXPECT_EQ(w->Left(), 40);
    EXPECT_EQ(w->Top(), 50);
    EXPECT_TRUE(w->RadioButtonFolder.Checked());
    EXPECT_FALSE(w->RadioButtonAll.Checked());
    EXPECT_FALSE(w->CheckBoxSubFolder.Checked());
    EXPECT_TRUE(w->CheckBoxExtSelect.Checked());
    EXPECT_FALSE(w->CheckBoxExtSelect.Enabled());  // folders only
    EXPECT_EQ(w->EditExtString.Text(), L"TXT; .Bmp");
    EXPECT_FALSE(w->CheckBoxAutoExit.Checked());
    EXPECT_FALSE(w->CheckBoxAttrChg.Checked());
    EXPECT_FALSE(w->CheckBoxHidden.Enabled());
    EXPECT_TRUE(w->RadioButtonHiddenON.Checked());
    w->CheckBoxSubFolder.SetChecked(true);
    w->SetPosition(60, 70);
  }
  auto w = Open();
  EXPECT_TRUE(w->CheckBoxSubFolder.Checked());
  EXPECT_EQ(w->Left(), 60);
  EXPECT_EQ(w->Top(), 70);
  EXPECT_EQ(w->EditExtString.Text(), L"TXT; .Bmp");
}

TEST_F(MainWindowTest, MissingAndConflictingKeysFollowTheReadRules) {
  auto w = Open(
      "[Bounds]\r\nLeft=30\r\n[Application]\r\nTypeFile=1\r\nTypeFolder=1\r\nTypeAll=0\r\nSplashCount=abc\r\n"
      "[DateChange]\r\nCreateYear=70000\r\nCreateDay=5\r\nDateChange=TRUE\r\n"
      "[AttrChange]\r\nReadOnlyOn=1\r\nReadOnlyOff=1\r\nHiddenOn=0\r\nHiddenOff=0\r\n",
      true);
  EXPECT_EQ(w->Left(), 30);
  EXPECT_EQ(w->Top(), 0);                          // "Top" missing
  EXPECT_FALSE(w->RadioButtonFile.Checked());      // the later of two checked type keys wins
  EXPECT_TRUE(w->RadioButtonFolder.Checked());
  EXPECT_EQ(w->FSplashCount, 0);                   // not a number
  EXPECT_EQ(w->FDateParts[0][0], 4464);            // 70000 cut to 16 bits
  EXPECT_EQ(w->FDateParts[0][1], 0);               // "CreateMonth" missing: no fallback to now
  EXPECT_EQ(w->FDateParts[0][2], 5);
  EXPECT_FALSE(w->CheckBoxDateChg.Checked());      // "TRUE" is not a boolean of the file
  EXPECT_FALSE(w->RadioButtonReadOnlyON.Checked());  // both set: OFF wins
  EXPECT_TRUE(w->RadioButtonReadOnlyOFF.Checked());
  EXPECT_FALSE(w->RadioButtonHiddenON.Checked());  // both clear: neither
  EXPECT_FALSE(w->RadioButtonHiddenOFF.Checked());
  std::string ini = ReadBytes(IniPath());
  EXPECT_NE(ini.find("SplashCount=0\r\n"), std::string::npos);
  w.reset();
  ini = ReadBytes(IniPath());
  EXPECT_NE(ini.find("CreateYear=4464\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, AllTypeKeysClearLeaveNoTypeChecked) {
  auto w = Open("[Application]\r\nTypeFile=0\r\nTypeFolder=0\r\nTypeAll=0\r\nSplashCount=-5\r\n", true);
  EXPECT_FALSE(w->RadioButtonFile.Checked());
  EXPECT_FALSE(w->RadioButtonFolder.Checked());
  EXPECT_FALSE(w->RadioButtonAll.Checked());
  EXPECT_EQ(w->FSplashCount, -5);
  EXPECT_NE(ReadBytes(IniPath()).find("SplashCount=-5\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, PositionOutsideEveryMonitorIsMovedOntoTheNearestOne) {
  auto w = Open("[Bounds]\r\nLeft=-20000\r\nTop=30000\r\n", true);
  RECT r{w->Left(), w->Top(), w->Left() + w->Width(), w->Top() + w->Height()};
  EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
}

TEST_F(MainWindowTest, UnwritableIniFileIsReportedAndTheWindowStillWorks) {
  comm::TDateTime now;
  ASSERT_TRUE(comm::TryEncodeDateTime({2026, 12, 7, 9, 5, 3, 0}, now));
  testsupport::FixedNow fixed(now);
  // The INI path is a folder: no write can succeed.
  CreateDirectoryW(IniPath().c_str(), nullptr);
  testsupport::DialogAnswerer answers;
  answers.Press(L"OK").Press(L"OK");
  {
    auto w = Open();
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].caption, L"エラー");
    EXPECT_EQ(answers.Shown()[0].text, IniPath() + L" に書き込めません");
    // The load went on: both date-times on show, the defaults set, the rules applied and answering.
    EXPECT_EQ(w->EditCreate.Text(), L"　2026/12/07 09:05:03");
    EXPECT_EQ(w->EditUpdate.Text(), L"　2026/12/07 09:05:03");
    EXPECT_TRUE(w->RadioButtonAll.Checked());
    EXPECT_TRUE(w->EditCreate.Enabled());
    EXPECT_TRUE(w->RadioButtonReadOnlyOFF.Checked());
    EXPECT_TRUE(w->RadioButtonReadOnlyOFF.Enabled());
    w->CheckBoxDateChg.SetChecked(false);
    EXPECT_FALSE(w->CheckBoxCreate.Enabled());
  }
  ASSERT_EQ(answers.Shown().size(), 2u);  // and again when the window goes
}

TEST_F(MainWindowTest, AltAccessKeysReachTheirControls) {
  auto w = Open();
  w->Show();
  w->ButtonSet.SetFocus();
  bool sub = w->CheckBoxSubFolder.Checked();
  PressKey(w->ButtonSet.Handle(), 'B', ui::ssAlt);  // "サブフォルダも対象にする(&B)"
  EXPECT_NE(w->CheckBoxSubFolder.Checked(), sub);
  PressKey(w->ButtonSet.Handle(), 'R', ui::ssAlt);  // the label "読み取り専用ファイル(&R)"
  EXPECT_TRUE(w->CheckBoxReadOnly.Focused());
  PressKey(w->ButtonSet.Handle(), 'F', ui::ssAlt);  // the group box "変更対象(&F)"
  HWND focus = GetFocus();
  EXPECT_TRUE(focus && IsChild(w->GroupBoxType.Handle(), focus));
}

TEST_F(MainWindowTest, FailedSaveAtShutdownIsShownWhileTheProgramEnds) {
  CreateDirectoryW(IniPath().c_str(), nullptr);  // no write can succeed
  testsupport::DialogAnswerer answers;
  answers.Press(L"OK").Press(L"OK");
  auto w = Open();
  ui::Application::Instance().SetMainForm(w.get());
  w->Close();  // as the close box does: the program is ending
  EXPECT_TRUE(ui::Application::Instance().Terminated());
  w.reset();
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].caption, L"エラー");
  EXPECT_EQ(answers.Shown()[1].text, IniPath() + L" に書き込めません");
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ui::Application::Instance().ResetTerminated();
}

TEST_F(MainWindowTest, MinimisedWindowKeepsItsPlaceAndTheSessionEndSaves) {
  {
    auto w = Open();
    w->Show();
    w->SetPosition(100, 120);
    ShowWindow(w->Handle(), SW_MINIMIZE);
    PumpFor(20);
    ASSERT_TRUE(IsIconic(w->Handle()));
    w->CheckBoxSubFolder.SetChecked(!w->CheckBoxSubFolder.Checked());
    const bool sub = w->CheckBoxSubFolder.Checked();
    // The session ends: the options are written before the window goes.
    SendMessageW(w->Handle(), WM_ENDSESSION, TRUE, 0);
    std::string ini = ReadBytes(IniPath());
    EXPECT_NE(ini.find(sub ? "SubFolder=1\r\n" : "SubFolder=0\r\n"), std::string::npos);
  }
  std::string ini = ReadBytes(IniPath());
  EXPECT_NE(ini.find("Left=100\r\n"), std::string::npos);
  EXPECT_NE(ini.find("Top=120\r\n"), std::string::npos);
}
