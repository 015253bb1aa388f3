// The whole program in one process: start-up with a command line, runs with real question boxes,
// a close request during a run, and shutdown.
#include "app/Main.h"
#include "app/Startup.h"
#include "app/InputDateTime.h"
#include "app/Program.h"
#include "comm/Cp932.h"
#include "support/Clipboard.h"
#include "support/DialogAnswerer.h"
#include "support/DialogUser.h"
#include "support/FileObstacles.h"
#include "support/FixedClock.h"
#include "support/Keys.h"
#include "support/RawFileTime.h"
#include "support/TempTree.h"
#include "targets/CommandLine.h"
#include "targets/FileList.h"
#include "ui/Application.h"
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using testsupport::DialogAnswerer;
using testsupport::TempTree;

namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.MakeFile(L"data\\a.txt");
    tree.MakeFile(L"data\\b.txt");
    tree.MakeFile(L"data\\c.txt");
    // A first run decides the options: no automatic exit, files only.
    std::string ini = "[Application]\r\nAutoEnd=0\r\nTypeFile=1\r\nTypeAll=0\r\n";
    HANDLE h = CreateFileW(tree.Path(L"VornaStampShifter.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    DWORD written;
    WriteFile(h, ini.data(), static_cast<DWORD>(ini.size()), &written, nullptr);
    CloseHandle(h);
  }
  void TearDown() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ui::Application::Instance().ResetTerminated();
  }
  std::wstring Exe() const { return tree.Path(L"VornaStampShifter.exe"); }
  TempTree tree;
};

}  // namespace

TEST_F(ProgramTest, CommandLineTargetsAreCollectedAndAMissingOneIsAskedAbout) {
  app::TProgram program(Exe(), {tree.Path(L"data")});
  auto& main = program.MainWindow();
  ASSERT_NE(main.ChangeRun(), nullptr);
  EXPECT_EQ(main.CheckBoxAutoExit.Checked(), false);
  DeleteFileW(tree.Path(L"data\\a.txt").c_str());

  DialogAnswerer answers;
  answers.Press(L"はい(&Y)").Press(L"OK");
  main.Show();
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 2u);
  const auto& question = answers.Shown()[0];
  EXPECT_EQ(question.caption, L"VornaStampShifter");
  EXPECT_EQ(question.text, tree.Path(L"data\\a.txt") + L" が存在しません。\r処理を続けますか？");
  EXPECT_EQ(question.buttons, (std::vector<std::wstring>{L"はい(&Y)", L"中止(&A)", L"すべてはい(&A)"}));
  EXPECT_EQ(question.defaultButton, L"はい(&Y)");
  EXPECT_EQ(answers.Shown()[1].text,
            L"変更が終了しました。\r\r変更数\t\t： 2\rエラー数\t\t： 0\r未変更数\t： 1");
  EXPECT_EQ(main.ButtonSet.Caption(), L"開始");
  EXPECT_FALSE(ui::Application::Instance().Terminated());
}

TEST_F(ProgramTest, CloseRequestDuringARunLetsItFinishWithoutQuestions) {
  {
    app::TProgram program(Exe(), {tree.Path(L"data")});
    auto& main = program.MainWindow();
    main.Show();
    DeleteFileW(tree.Path(L"data\\b.txt").c_str());
    DeleteFileW(tree.Path(L"data\\c.txt").c_str());
    main.CheckBoxSubFolder.SetChecked(false);  // an option changed during this session
    DialogAnswerer answers;                     // any box that appears fails the test
    // The close box is pressed while the run works: the request arrives with the first pumping.
    PostMessageW(main.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    main.ButtonSetClick(&main.ButtonSet);
    EXPECT_TRUE(ui::Application::Instance().Terminated());
    EXPECT_TRUE(answers.Shown().empty());
    const auto& s = main.ChangeRun()->LastSummary();
    EXPECT_FALSE(s.Aborted);
    EXPECT_EQ(s.Changed, 1);
    EXPECT_EQ(s.Errors, 0);
    EXPECT_EQ(s.Unchanged, 2);
    program.Run();  // returns at once: the program is ending
  }
  // The options were saved when the window went.
  EXPECT_NE(testsupport::ReadFileBytes(tree.Path(L"VornaStampShifter.ini")).find("SubFolder=0\r\n"), std::string::npos);
}

TEST_F(ProgramTest, AbortAtAQuestionStopsTheRun) {
  app::TProgram program(Exe(), {tree.Path(L"data")});
  auto& main = program.MainWindow();
  main.Show();
  DeleteFileW(tree.Path(L"data\\a.txt").c_str());
  DialogAnswerer answers;
  answers.Press(L"中止(&A)").Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].text, L"変更を中断しました。\r\r変更数\t\t： 0\rエラー数\t\t： 0\r未変更数\t： 3");
}

TEST_F(ProgramTest, QuestionsTakeOnlyTheirButtonsAndCloseWhenTheProgramEnds) {
  tree.MakeFile(L"data\\d.txt");
  app::TProgram program(Exe(), {tree.Path(L"data")});
  auto& main = program.MainWindow();
  main.Show();
  for (const wchar_t* f : {L"data\\a.txt", L"data\\b.txt", L"data\\c.txt"}) DeleteFileW(tree.Path(f).c_str());

  DialogAnswerer answers;
  // The questions are left to the user below; a summary, should one come, is answered.
  answers.Responder = [](const testsupport::ShownDialog& d) {
    if (d.buttons.size() == 1) return testsupport::Answer{testsupport::AnswerKind::Button, d.buttons[0]};
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  auto question = [&](size_t n) { return answers.Shown().size() == n ? answers.Shown().back().hwnd : nullptr; };
  using testsupport::PressKey;
  bool firstStayed = false;
  testsupport::LoopSteps user({
      [&] {  // the first question: A moves between its two A buttons, its close box does nothing
        HWND q = question(1);
        if (!q) return false;
        EXPECT_TRUE(GetMenuState(GetSystemMenu(q, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
        PressKey(GetFocus(), 'A');
        EXPECT_EQ(GetFocus(), FindWindowExW(q, nullptr, L"Button", L"中止(&A)"));
        SendMessageW(q, WM_SYSCOMMAND, SC_CLOSE, 0);
        PressKey(GetFocus(), VK_F4, ui::ssAlt);
        return true;
      },
      [&] {  // still there: Y answers "はい(&Y)"
        firstStayed = question(1) && IsWindowVisible(question(1));
        PressKey(GetFocus(), 'Y');
        return true;
      },
      [&] {  // the program is told to end while the second question is up
        if (!question(2)) return false;
        PostMessageW(main.Handle(), WM_CLOSE, 0, 0);
        return true;
      }});
  testsupport::LoopSteps guard({[&] {  // a question that stays open is answered, and fails the test
                                 ADD_FAILURE() << "a question stayed open";
                                 PostMessageW(GetFocus(), BM_CLICK, 0, 0);
                                 return false;
                               }},
                               10000);
  main.ButtonSetClick(&main.ButtonSet);

  EXPECT_TRUE(user.Done());
  EXPECT_TRUE(firstStayed);
  EXPECT_TRUE(ui::Application::Instance().Terminated());
  // The second question counted as "すべてはい(&A)": no third question for c.txt, the run went on to
  // d.txt, and the summary closed by itself.
  EXPECT_EQ(answers.Shown().size(), 2u);
  const auto& s = main.ChangeRun()->LastSummary();
  EXPECT_FALSE(s.Aborted);
  EXPECT_EQ(s.Changed, 1);
  EXPECT_EQ(s.Errors, 0);
  EXPECT_EQ(s.Unchanged, 3);
  program.Run();  // returns at once: the program is ending
}

TEST(Startup, HelpFileAndIniFileFollowTheExecutable) {
  EXPECT_EQ(app::HelpFileForExecutable(L"D:\\tools\\other.exe"), L"D:\\tools\\VornaSTS.hlp");
}

TEST_F(ProgramTest, NamesEndingInAPeriodOrABlankOnTheCommandLineAreChangedAloneAndExactly) {
  // Beside each named target lies the name the system's rules would trim it to.
  for (const wchar_t* f : {L"a", L"a.", L"b", L"b ", L"e\\f", L"e.\\f", L"d\\x.txt", L"d.\\x.txt"}) tree.MakeFile(f);
  std::ofstream(std::filesystem::path(tree.Path(L"VornaStampShifter.ini")), std::ios::binary)
      << "[Application]\r\nAutoEnd=0\r\nTypeFile=1\r\nTypeFolder=0\r\nTypeAll=0\r\nSubFolder=1\r\n"
         "[DateChange]\r\nDateChange=1\r\nCreateDateTime=0\r\nUpdateDateTime=1\r\nCreateYear=2001\r\n"
         "CreateMonth=2\r\nCreateDay=3\r\nCreateHour=4\r\nCreateMinute=5\r\nCreateSecond=6\r\nUpdateYear=2001\r\n"
         "UpdateMonth=2\r\nUpdateDay=3\r\nUpdateHour=4\r\nUpdateMinute=5\r\nUpdateSecond=6\r\n"
         "[AttrChange]\r\nAttrChange=0\r\n";
  testsupport::FixedLocalBias utc(0);
  const wchar_t* const siblings[] = {L"a", L"b", L"e\\f", L"d\\x.txt"};
  std::vector<int64_t> before;
  for (const wchar_t* f : siblings) before.push_back(testsupport::ReadRawTimes(L"\\\\?\\" + tree.Path(f)).LastWrite);
  // The names as the shell writes them on a command line: quoted, with a quoted folder "d." whose
  // files are collected.
  std::wstring line = L"\"vss.exe\"";
  for (const wchar_t* f : {L"a.", L"b ", L"e.\\f", L"d."}) line += L" \"" + tree.Path(f) + L"\"";
  std::vector<std::wstring> args = targets::SplitCommandLine(line);
  args.erase(args.begin());
  app::TProgram program(Exe(), args);
  auto& main = program.MainWindow();
  auto& list = program.FileListWindow();
  const std::vector<std::wstring> named = {tree.Path(L"a."), tree.Path(L"b "), tree.Path(L"d.\\x.txt"),
                                           tree.Path(L"e.\\f")};
  ASSERT_EQ(list.EntryCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list.Entry(i), named[static_cast<size_t>(i)]);

  DialogAnswerer answers;
  answers.Press(L"OK");
  main.Show();
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text, L"変更が終了しました。\r\r変更数\t\t： 4\rエラー数\t\t： 0\r未変更数\t： 0");
  for (const auto& f : named)
    EXPECT_EQ(testsupport::ReadRawTimes(L"\\\\?\\" + f).LastWrite, testsupport::FileTimeOf(2001, 2, 3, 4, 5, 6))
        << testing::PrintToString(f);
  for (size_t i = 0; i < std::size(siblings); ++i)
    EXPECT_EQ(testsupport::ReadRawTimes(L"\\\\?\\" + tree.Path(siblings[i])).LastWrite, before[i])
        << testing::PrintToString(std::wstring(siblings[i]));
}

TEST_F(ProgramTest, DateEnteredInTheDialogIsTheDateTheRunWrites) {
  testsupport::FixedLocalBias utc(0);
  app::TProgram program(Exe(), {tree.Path(L"data")});
  auto& main = program.MainWindow();
  main.Show();
  main.CheckBoxAttrChg.SetChecked(false);
  main.CheckBoxDateChg.SetChecked(true);
  main.CheckBoxCreate.SetChecked(true);
  main.CheckBoxUpdate.SetChecked(true);
  ASSERT_NE(main.FInputDateTime, nullptr);
  app::TFormInputDateTime& dialog = *main.FInputDateTime;

  DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormInputDateTime"};
  // The user types 2003/04/05 06:07:08 for the update side, applies it to both sides and presses OK.
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    if (d.className != L"TFormInputDateTime") return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
    const int parts[6] = {2003, 4, 5, 6, 7, 8};
    for (int c = 0; c < 6; ++c) dialog.PartEdit(c).SetText(std::to_wstring(parts[c]));
    dialog.CheckBoxCreateUpdate.SetChecked(true);
    return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  main.SpeedButtonCreateClick(&main.SpeedButtonUpdate);
  EXPECT_EQ(main.EditUpdate.Text(), L"　2003/04/05 06:07:08");
  EXPECT_EQ(main.EditCreate.Text(), L"　2003/04/05 06:07:08");

  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_EQ(answers.Shown().size(), 2u);  // the dialog, then the summary
  EXPECT_EQ(answers.Shown()[1].text,
            L"変更が終了しました。\r\r変更数\t\t： 3\rエラー数\t\t： 0\r未変更数\t： 0");
  for (const wchar_t* f : {L"data\\a.txt", L"data\\b.txt", L"data\\c.txt"})
    EXPECT_EQ(testsupport::ReadRawTimes(tree.Path(f)).LastWrite, testsupport::FileTimeOf(2003, 4, 5, 6, 7, 8)) << f;
}

TEST_F(ProgramTest, EnterStartsARunAndASecondEnterStopsIt) {
  for (int i = 0; i < 400; ++i) tree.MakeFile(L"many\\f" + std::to_wstring(i));
  app::TProgram program(Exe(), {tree.Path(L"many")});
  auto& main = program.MainWindow();
  main.Show();
  testsupport::PumpFor(50);
  ASSERT_TRUE(IsChild(main.GroupBoxType.Handle(), GetFocus()));  // it opens on an option, which a run disables
  DialogAnswerer answers;
  answers.Press(L"OK");
  HWND focusWhileRunning = nullptr;
  testsupport::LoopSteps user({[&] {
                                if (!main.Running()) return false;
                                focusWhileRunning = GetFocus();
                                testsupport::PressKey(nullptr, VK_RETURN);
                                return true;
                              }},
                              1);
  testsupport::PressKey(nullptr, VK_RETURN);
  EXPECT_EQ(focusWhileRunning, main.ButtonSet.Handle());
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text.substr(0, 10), L"変更を中断しました。");
  EXPECT_LT(main.ChangeRun()->LastSummary().Changed, 400);
}

TEST_F(ProgramTest, ListWindowAndDateDialogStayOnTheScreenAndCtrlLKeepsTheListSize) {
  RECT wa;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  // Stored beyond the right edge: the main window comes back onto the screen, the list waits on it.
  std::ofstream(std::filesystem::path(tree.Path(L"VornaStampShifter.ini")), std::ios::binary)
      << "[Application]\r\nAutoEnd=0\r\n[Bounds]\r\nLeft=" << wa.right << "\r\nTop=" << wa.top << "\r\n";
  app::TProgram program(Exe(), {});
  auto& main = program.MainWindow();
  targets::TFormFileList& list = program.FileListWindow();
  EXPECT_EQ(main.BoundsRect().right, wa.right);
  EXPECT_EQ(list.BoundsRect().right, main.BoundsRect().left);  // at its left: the right has no room
  main.Show();
  DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormInputDateTime"};
  RECT dialog{};
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    GetWindowRect(d.hwnd, &dialog);
    return testsupport::Answer{testsupport::AnswerKind::Button, L"ｷｬﾝｾﾙ"};
  };
  // At the left edge both stand where they belong; at the right edge and in the bottom right corner
  // the list stands at the main window's left and the dialog is moved wholly onto the screen, and no
  // further. Between the commands the user widens the list.
  const int w = main.Width(), h = main.Height();
  for (POINT at : {POINT{wa.left, wa.top}, POINT{wa.right - w, wa.top + 90}, POINT{wa.right - w, wa.bottom - h}}) {
    const SIZE size{list.Width(), list.Height()};
    main.SetPosition(at.x, at.y);
    main.SetFocus();
    testsupport::PressKey(nullptr, 'L', ui::ssCtrl);
    main.SpeedButtonCreateClick(&main.SpeedButtonUpdate);
    POINT button{0, main.SpeedButtonUpdate.Top()};
    ClientToScreen(main.PanelMain.Handle(), &button);
    const RECT l = list.BoundsRect();
    // At the main window's right where there is room, else at its left.
    EXPECT_EQ(l.left, at.x + w + size.cx <= wa.right ? at.x + w : at.x - size.cx);
    EXPECT_EQ(l.top, std::min<LONG>(at.y, wa.bottom - size.cy));
    EXPECT_EQ(l.right - l.left, size.cx);
    EXPECT_EQ(l.bottom - l.top, size.cy);
    EXPECT_EQ(dialog.left, std::min<LONG>(at.x + w, wa.right - (dialog.right - dialog.left)));
    EXPECT_EQ(dialog.top, std::min<LONG>(button.y, wa.bottom - (dialog.bottom - dialog.top)));
    SetWindowPos(list.Handle(), nullptr, 0, 0, size.cx + 60, size.cy + 20, SWP_NOMOVE | SWP_NOZORDER);
  }
}

TEST_F(ProgramTest, SaveAndCopyOfTheListAreTheProgramsAndKeepTheFolderOnlyWhenTheyCan) {
  tree.MakeFile(L"data\\表.txt");
  tree.MakeDir(L"out");
  app::TProgram program(Exe(), {tree.Path(L"data")});
  targets::TFormFileList& list = program.FileListWindow();
  settings::TRegManager& settings = program.MainWindow().RegManager;
  list.SetBounds(200, 150, 320, 300);
  list.Show();

  // The user types a name in the dialog and presses OK.
  auto saveAs = [&](const std::wstring& file, RECT* placed) {
    testsupport::ActInModalWindow([&] { return list.SaveDialogEx.DialogWnd(); },
                                  [&](HWND frame) {
                                    if (placed) GetWindowRect(frame, placed);
                                    SendMessageW(frame, CDM_SETCONTROLTEXT, 0x047c /* cmb13 */,
                                                 reinterpret_cast<LPARAM>(file.c_str()));
                                    SendMessageW(frame, CDM_SETCONTROLTEXT, 0x0480 /* edt1 */,
                                                 reinterpret_cast<LPARAM>(file.c_str()));
                                    PostMessageW(frame, WM_COMMAND, IDOK, 0);
                                  },
                                  [&] { list.SpeedButtonSaveClick(nullptr); });
  };
  const std::wstring file = tree.Path(L"out\\list.txt");
  {
    DialogAnswerer answers;
    answers.SystemDialogs = false;
    answers.Press(L"OK");
    RECT placed{};
    saveAs(file, &placed);
    EXPECT_EQ(placed.left, 200);  // below the list window's caption
    EXPECT_EQ(placed.top, 150 + GetSystemMetrics(SM_CYSIZE) + 1);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].text, file + L" に保存しました。");
    EXPECT_EQ(answers.Shown()[0].caption, L"VornaStampShifter");
    EXPECT_EQ(answers.Shown()[0].owner, list.Handle());
  }
  // Files only (the fixture's options): the folder itself is not listed.
  const std::string expected = comm::WideToCp932(tree.Path(L"data\\a.txt")) + "\r\n" +
                               comm::WideToCp932(tree.Path(L"data\\b.txt")) + "\r\n";
  EXPECT_EQ(testsupport::ReadFileBytes(file).substr(0, expected.size()), expected);
  EXPECT_NE(testsupport::ReadFileBytes(file).find(comm::WideToCp932(tree.Path(L"data\\表.txt"))), std::string::npos);
  EXPECT_EQ(settings.Filer(L"FolderPath").ReadString(), tree.Path(L"out\\"));

  // The next save opens in that folder; once the folder is gone, where the system chooses.
  {
    DialogAnswerer answers;
    answers.SystemDialogs = false;
    answers.Press(L"OK");
    saveAs(tree.Path(L"out\\second.txt"), nullptr);
    EXPECT_EQ(list.SaveDialogEx.InitialDir, tree.Path(L"out\\"));
  }
  testsupport::RemoveTree(tree.Path(L"out"));
  ASSERT_EQ(GetFileAttributesW(tree.Path(L"out").c_str()), INVALID_FILE_ATTRIBUTES);

  // A file that cannot be created: the error names it over the list window, and no success box follows.
  tree.MakeDir(L"locked");
  {
    testsupport::NoCreateRights locked(tree.Path(L"locked"));
    ASSERT_TRUE(locked.Applied());
    DialogAnswerer answers;
    answers.SystemDialogs = false;
    answers.Press(L"OK");
    const std::wstring refused = tree.Path(L"locked\\list.txt");
    saveAs(refused, nullptr);
    EXPECT_EQ(list.SaveDialogEx.InitialDir, L"");
    ASSERT_EQ(answers.Shown().size(), 1u) << "the save reported no error, or a success box followed";
    EXPECT_EQ(answers.Shown()[0].text, L"ファイル " + refused + L" を作成できません");
    EXPECT_EQ(answers.Shown()[0].owner, list.Handle());
    EXPECT_EQ(testsupport::ReadFileBytes(refused), "<missing>");
  }

  // A settings file that refuses the folder: its error, and nothing written.
  tree.MakeDir(L"out2");
  {
    testsupport::OtherProcessHold held(tree.Path(L"VornaStampShifter.ini"), GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(held.Holding());
    DialogAnswerer answers;
    answers.SystemDialogs = false;
    answers.Press(L"OK");
    const std::wstring kept = tree.Path(L"out2\\list.txt");
    saveAs(kept, nullptr);
    ASSERT_EQ(answers.Shown().size(), 1u);
    EXPECT_EQ(answers.Shown()[0].caption, L"エラー");
    EXPECT_EQ(answers.Shown()[0].owner, list.Handle());
    EXPECT_EQ(testsupport::ReadFileBytes(kept), "<missing>");
  }

  // The copy puts every entry on the clipboard, one per line.
  DialogAnswerer none;  // any box fails the test
  list.SpeedButtonCBCopyClick(nullptr);
  EXPECT_EQ(none.Shown().size(), 0u);
  const std::wstring copied = testsupport::ClipboardUnicode();
  EXPECT_EQ(copied.substr(0, tree.Path(L"data\\a.txt").size() + 2), tree.Path(L"data\\a.txt") + L"\r\n");
  EXPECT_NE(copied.find(tree.Path(L"data\\表.txt") + L"\r\n"), std::wstring::npos);
}
