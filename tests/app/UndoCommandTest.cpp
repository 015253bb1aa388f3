// The undo command of the main window as a user meets it: Ctrl+Z, the confirmation, the summary, the
// menu entry's state, and journals that cannot be used.
#include "app/HelpTopics.h"
#include "app/Main.h"
#include "comm/FileBytes.h"
#include "engine/UndoJournal.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <gtest/gtest.h>

using testsupport::DialogAnswerer;
using testsupport::PressKey;

namespace {

struct ListTargets : engine::IChangeTargets {
  std::vector<std::wstring> paths;
  int Count() const override { return static_cast<int>(paths.size()); }
  std::wstring Entry(int index) const override { return paths.at(static_cast<size_t>(index)); }
};

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
  EXPECT_EQ(ask.buttons, (std::vector<std::wstring>{L"はい(&Y)", L"いいえ(&N)"}));
  EXPECT_EQ(ask.defaultButton, L"はい(&Y)");
  // What will be undone: when, how many, the first five paths and how many more.
  EXPECT_EQ(ask.text.rfind(L"直前の変更を元に戻します。", 0), 0u);
  EXPECT_NE(ask.text.find(L"対象数\t\t： 7"), std::wstring::npos);
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
