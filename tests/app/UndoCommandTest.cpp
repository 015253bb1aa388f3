// The undo command of the main window as a user meets it: Ctrl+Z, the confirmation, the summary, the
// menu entry's state, and journals that cannot be used.
#include "app/HelpTopics.h"
#include "app/Main.h"
#include "comm/FileBytes.h"
#include "engine/UndoJournal.h"
#include "support/ListTargets.h"
#include "support/ChildTest.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include <gtest/gtest.h>

using testsupport::DialogAnswerer;
using testsupport::PressKey;

namespace {

using testsupport::ListTargets;

bool Hidden(const std::wstring& p) { return GetFileAttributesW(p.c_str()) & FILE_ATTRIBUTE_HIDDEN; }
bool Exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

class UndoCommand : public ::testing::Test {
 protected:
  UndoCommand() {
    for (int i = 0; i < 7; ++i) targets.paths.push_back(tree.MakeFile(L"data\\f" + std::to_wstring(i) + L".txt"));
    main.SetTargets(&targets);
    main.SetJournalPath(journal);
    main.CheckBoxAttrChg.SetChecked(true);
    main.CheckBoxHidden.SetChecked(true);
    main.RadioButtonHiddenON.SetChecked(true);
    main.CheckBoxAutoExit.SetChecked(false);
    main.Show();
    main.ButtonSet.SetFocus();
  }
  ~UndoCommand() override { main.SetTargets(nullptr); }

  testsupport::TempTree tree;
  const std::wstring journal = tree.Path(L"user\\VornaStampShifter.undo");
  ListTargets targets;
  app::TVNStampShifter main{tree.Path(L"VornaStampShifter.ini")};
};

}  // namespace

TEST_F(UndoCommand, CtrlZAndEnterGiveBackTheLastRun) {
  DialogAnswerer answers;
  // Nothing to undo yet: the entry is greyed, and Ctrl+Z says so.
  main.PopupMenu.OnPopup(nullptr);
  EXPECT_EQ(main.Undo1->Caption, L"直前の変更を元に戻す(&Z)...\tCtrl+Z");
  EXPECT_FALSE(main.Undo1->Enabled);
  answers.Press(L"OK");
  PressKey(main.ButtonSet.Handle(), 'Z', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text, engine::kNothingToUndoText);

  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  for (const auto& p : targets.paths) ASSERT_TRUE(Hidden(p));
  EXPECT_TRUE(main.Undo1->Enabled);

  // In the extension field Ctrl+Z belongs to the field: no question appears.
  main.EditExtString.SetFocus();
  PressKey(main.EditExtString.Handle(), 'Z', ui::ssCtrl);
  EXPECT_EQ(answers.Shown().size(), 2u);

  // "いいえ(&N)" changes nothing and keeps the journal.
  main.ButtonSet.SetFocus();
  answers.Press(L"いいえ(&N)");
  PressKey(main.ButtonSet.Handle(), 'Z', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 3u);
  const auto& ask = answers.Shown()[2];
  EXPECT_EQ(ask.buttons, (std::vector<std::wstring>{L"はい(&Y)", L"いいえ(&N)", ui::kDetailsShow}));
  EXPECT_EQ(ask.defaultButton, L"はい(&Y)");
  // What will be undone: when, how many, how the run ended, what goes back, the first five paths and
  // how many more.
  EXPECT_EQ(ask.text.rfind(L"直前の変更を元に戻します。", 0), 0u);
  // The window's dates (both sides, now) and hidden, as the run wrote them.
  EXPECT_NE(ask.text.find(L"対象数\t\t： 7\r実行結果\t： 最後まで実行されました\r\r作成日時と更新日時を "),
            std::wstring::npos);
  EXPECT_NE(ask.text.find(L" から元の日時に戻し、隠し属性を OFF に戻します。\r\r"), std::wstring::npos);
  EXPECT_NE(ask.text.find(targets.paths[4]), std::wstring::npos);
  EXPECT_EQ(ask.text.find(targets.paths[5]), std::wstring::npos);
  EXPECT_NE(ask.text.find(L"ほか 2 件"), std::wstring::npos);
  EXPECT_TRUE(Hidden(targets.paths[0]));
  EXPECT_TRUE(Exists(journal));

  // Enter confirms; the summary has the run's form.
  answers.PressEnter().Press(L"OK");
  PressKey(main.ButtonSet.Handle(), 'Z', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 5u);
  EXPECT_EQ(answers.Shown()[4].text, L"変更を元に戻しました。\r\r変更数\t\t： 7\rエラー数\t\t： 0\r未変更数\t： 0");
  for (const auto& p : targets.paths) EXPECT_FALSE(Hidden(p));
  EXPECT_FALSE(Exists(journal));
  EXPECT_FALSE(main.Undo1->Enabled);
  EXPECT_EQ(main.ButtonSet.Caption(), L"開始");
  EXPECT_EQ(answers.PendingAnswers(), 0u);
}

TEST_F(UndoCommand, AJournalThatCannotBeUsedIsToldAndNothingChanges) {
  DialogAnswerer answers;
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  // The journal damaged after the run: no target is touched, the file stays for the user to see.
  std::string bytes;
  ASSERT_EQ(comm::comm_ReadFileBytes(journal, bytes).Result, comm::rbRead);
  bytes[100] ^= 0x20;
  ASSERT_NE(comm::comm_ReplaceFileBytes(journal, bytes).Result, comm::rpFailed);
  answers.Press(L"OK");
  main.Undo1Click(nullptr);
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[1].text, engine::JournalDamagedText(journal));
  for (const auto& p : targets.paths) EXPECT_TRUE(Hidden(p));
  std::string after;
  comm::comm_ReadFileBytes(journal, after);
  EXPECT_EQ(after, bytes);

  // Removed behind the program's back: the entry greys when the menu opens, Ctrl+Z says there is nothing.
  DeleteFileW(journal.c_str());
  main.PopupMenu.OnPopup(nullptr);
  EXPECT_FALSE(main.Undo1->Enabled);
  answers.Press(L"OK");
  PressKey(main.ButtonSet.Handle(), 'Z', ui::ssCtrl);
  ASSERT_EQ(answers.Shown().size(), 3u);
  EXPECT_EQ(answers.Shown()[2].text, engine::kNothingToUndoText);
  EXPECT_EQ(answers.PendingAnswers(), 0u);
}

TEST_F(UndoCommand, TheConfirmationListsEveryPathOnRequest) {
  DialogAnswerer answers;
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  std::vector<std::wstring> listed;
  testsupport::LoopSteps user({[&] {
    if (answers.Shown().size() < 2) return false;
    const HWND dialog = answers.Shown()[1].hwnd;
    SendMessageW(FindWindowExW(dialog, nullptr, L"Button", ui::kDetailsShow), BM_CLICK, 0, 0);
    const HWND list = FindWindowExW(dialog, nullptr, L"ListBox", nullptr);
    EXPECT_TRUE(IsWindowVisible(list));
    for (LRESULT i = 0, n = SendMessageW(list, LB_GETCOUNT, 0, 0); i < n; ++i) {
      std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
      SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
      listed.push_back(text);
    }
    SendMessageW(FindWindowExW(dialog, nullptr, L"Button", L"いいえ(&N)"), BM_CLICK, 0, 0);
    return true;
  }});
  main.Undo1Click(nullptr);
  EXPECT_TRUE(user.Done());
  // All seven, the two that the text counts only among them.
  EXPECT_EQ(listed, targets.paths);
  EXPECT_TRUE(Hidden(targets.paths[6]));
  EXPECT_TRUE(Exists(journal));
}

namespace {
constexpr wchar_t kSecondCopyVariable[] = L"VSS_TEST_SECOND_COPY";
}  // namespace

// Two copies of the program: this one shows the confirmation of its run; before the user answers, the
// other copy (a child process with a main window of its own) finishes a run over other files. "はい" must
// then neither undo nor remove the other copy's journal.
TEST(UndoCommandTwoCopies, AConfirmedUndoNeverActsOnOrRemovesAnotherRunsJournal) {
  if (const std::wstring root = testsupport::ChildRole(kSecondCopyVariable); !root.empty()) {
    ListTargets theirs;
    for (int i = 0; i < 3; ++i) theirs.paths.push_back(root + L"\\other\\g" + std::to_wstring(i) + L".txt");
    app::TVNStampShifter second(root + L"\\second.ini");
    second.SetTargets(&theirs);
    second.SetJournalPath(root + L"\\user\\VornaStampShifter.undo");
    second.CheckBoxAttrChg.SetChecked(true);
    second.CheckBoxHidden.SetChecked(true);
    second.RadioButtonHiddenON.SetChecked(true);
    second.CheckBoxAutoExit.SetChecked(false);
    DialogAnswerer answers;
    answers.Press(L"OK");
    second.ButtonSetClick(&second.ButtonSet);
    for (const auto& p : theirs.paths) EXPECT_TRUE(Hidden(p));
    second.SetTargets(nullptr);
    return;
  }
  testsupport::TempTree tree;
  const std::wstring journal = tree.Path(L"user\\VornaStampShifter.undo");
  ListTargets mine, theirs;
  for (int i = 0; i < 3; ++i) {
    mine.paths.push_back(tree.MakeFile(L"data\\f" + std::to_wstring(i) + L".txt"));
    theirs.paths.push_back(tree.MakeFile(L"other\\g" + std::to_wstring(i) + L".txt"));
  }
  app::TVNStampShifter main(tree.Path(L"VornaStampShifter.ini"));
  main.SetTargets(&mine);
  main.SetJournalPath(journal);
  main.CheckBoxAttrChg.SetChecked(true);
  main.CheckBoxHidden.SetChecked(true);
  main.RadioButtonHiddenON.SetChecked(true);
  main.CheckBoxAutoExit.SetChecked(false);
  main.Show();
  DialogAnswerer answers;
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);

  std::string theirJournal;
  int child = -1;
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  testsupport::LoopSteps user({[&] {
    if (answers.Shown().size() < 2) return false;
    EXPECT_NE(answers.Shown()[1].text.find(mine.paths[0]), std::wstring::npos);
    child = testsupport::RunTestInChild(kSecondCopyVariable, tree.Root());
    comm::comm_ReadFileBytes(journal, theirJournal);
    answers.Responder = nullptr;
    answers.Press(L"OK");
    SendMessageW(FindWindowExW(answers.Shown()[1].hwnd, nullptr, L"Button", L"はい(&Y)"), BM_CLICK, 0, 0);
    return true;
  }});
  main.Undo1Click(nullptr);
  EXPECT_TRUE(user.Done());
  EXPECT_EQ(child, 0);
  ASSERT_EQ(answers.Shown().size(), 3u);
  EXPECT_EQ(answers.Shown()[2].text, engine::kJournalReplacedText);
  // Nothing was undone, the other copy's journal is as it left it.
  for (const auto& p : mine.paths) EXPECT_TRUE(Hidden(p));
  for (const auto& p : theirs.paths) EXPECT_TRUE(Hidden(p));
  std::string now;
  ASSERT_EQ(comm::comm_ReadFileBytes(journal, now).Result, comm::rbRead);
  EXPECT_EQ(now, theirJournal);

  // The next Ctrl+Z confirms the other copy's run, and gives it back.
  answers.PressEnter().Press(L"OK");
  main.Undo1Click(nullptr);
  ASSERT_EQ(answers.Shown().size(), 5u);
  EXPECT_NE(answers.Shown()[3].text.find(theirs.paths[0]), std::wstring::npos);
  for (const auto& p : theirs.paths) EXPECT_FALSE(Hidden(p));
  for (const auto& p : mine.paths) EXPECT_TRUE(Hidden(p));
  EXPECT_FALSE(Exists(journal));
  main.SetTargets(nullptr);
}

TEST_F(UndoCommand, F1OnTheQuestionAboutATargetChangedSinceTheRunExplainsTheUndo) {
  DialogAnswerer answers;
  answers.Press(L"OK");
  main.ButtonSetClick(&main.ButtonSet);
  ASSERT_TRUE(Hidden(targets.paths[1]));
  SetFileAttributesW(targets.paths[1].c_str(), FILE_ATTRIBUTE_NORMAL);  // changed by someone else since

  // The help as the program asks for it, recorded instead of shown.
  ui::Application& app = ui::Application::Instance();
  const std::wstring helpFile = app.HelpFile();
  auto onHelp = app.OnHelp;
  std::vector<std::wstring> asked;
  app.SetHelpFile(tree.MakeFile(L"VornaSTS.hlp"));
  app.OnHelp = [&](const std::wstring&, const std::wstring& topic) {
    asked.push_back(topic);
    return true;
  };
  answers.PressEnter();  // the confirmation
  answers.Responder = [](const testsupport::ShownDialog& d) {
    return d.buttons.size() == 1 ? testsupport::Answer{testsupport::AnswerKind::Button, d.buttons[0]}
                                 : testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  testsupport::LoopSteps user({[&] {
    if (answers.Shown().size() != 3) return false;
    const HWND question = answers.Shown().back().hwnd;
    PressKey(GetFocus() && GetAncestor(GetFocus(), GA_ROOT) == question ? GetFocus() : question, VK_F1);
    DialogAnswerer::Carry(question, {testsupport::AnswerKind::Button, L"はい(&Y)"});
    return true;
  }});
  main.Undo1Click(nullptr);  // from the menu: no Ctrl held down while F1 is pressed
  app.SetHelpFile(helpFile);
  app.OnHelp = onHelp;
  EXPECT_TRUE(user.Done());
  ASSERT_EQ(answers.Shown().size(), 4u);
  EXPECT_EQ(answers.Shown()[2].text, targets.paths[1] + L" は変更の後で別に変更されています。\r元に戻して処理を続けますか？");
  EXPECT_EQ(asked, std::vector<std::wstring>{app::kHelpTopicUndo});
  EXPECT_FALSE(Hidden(targets.paths[0]));
}
