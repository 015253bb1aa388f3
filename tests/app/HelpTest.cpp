// Help in the whole program: the help button, F1 in every window (modal ones included), the help
// window's place in the settings, and a help file that cannot be shown.
#include "app/HelpTopics.h"
#include "app/Main.h"
#include "app/Startup.h"
#include "help/HelpViewer.h"
#include "shell/Version.h"
#include "support/BuiltFiles.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "targets/FileList.h"
#include "ui/Application.h"
#include <gtest/gtest.h>

using testsupport::PressKey;
using testsupport::TempTree;

namespace {

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyFileW(testsupport::BuiltHelpFile().c_str(), tree.Path(L"VornaSTS.hlp").c_str(), FALSE));
  }
  void TearDown() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ui::Application::Instance().ResetTerminated();
  }
  std::wstring Exe() const { return tree.Path(L"VornaStampShifter.exe"); }
  static int HelpWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountHelpWindow, reinterpret_cast<LPARAM>(&count));
    return count;
  }
  // A named callback: the 32-bit build takes no lambda for a window enumeration procedure.
  static BOOL CALLBACK CountHelpWindow(HWND hwnd, LPARAM lp) {
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == help::kHelpViewerClass) ++*reinterpret_cast<int*>(lp);
    return TRUE;
  }
  static std::wstring TopicShown(app::TProgram& program) {
    help::THelpViewer* v = program.HelpWindow();
    if (!v || !v->Showing() || v->CurrentTopic() < 0) return L"";
    return v->File().Topics[static_cast<size_t>(v->CurrentTopic())].Id;
  }
  TempTree tree;
};

}  // namespace

TEST_F(HelpTest, TheHelpButtonOpensTheContentsAndASecondPressReusesTheWindow) {
  app::TProgram program(Exe(), {});
  auto& main = program.MainWindow();
  main.Show();
  EXPECT_EQ(program.HelpWindow(), nullptr);
  main.ButtonHelp.Click();
  help::THelpViewer* viewer = program.HelpWindow();
  ASSERT_NE(viewer, nullptr);
  EXPECT_TRUE(viewer->Showing());
  EXPECT_EQ(viewer->Path(), tree.Path(L"VornaSTS.hlp"));
  EXPECT_EQ(viewer->CurrentTopic(), viewer->File().Home);
  EXPECT_EQ(viewer->TabControlNavi.TabIndex(), help::THelpViewer::tabContents);
  EXPECT_EQ(GetWindow(viewer->Handle(), GW_OWNER), nullptr);  // a window of its own, not the main window's
  EXPECT_EQ(GetForegroundWindow(), viewer->Handle());

  // Elsewhere in the help, behind the main window: the button brings the same window back to the contents.
  viewer->ShowTopic(viewer->File().FindTopic(L"limits"));
  viewer->SelectTab(help::THelpViewer::tabSearch);
  static_cast<ui::Form&>(main).BringToFront();
  main.ButtonHelp.Click();
  EXPECT_EQ(program.HelpWindow(), viewer);
  EXPECT_EQ(HelpWindowCount(), 1);
  EXPECT_EQ(viewer->CurrentTopic(), viewer->File().Home);
  EXPECT_EQ(viewer->TabControlNavi.TabIndex(), help::THelpViewer::tabContents);
  EXPECT_EQ(GetForegroundWindow(), viewer->Handle());
}

TEST_F(HelpTest, F1InEachWindowOpensItsTopicAlsoWhileADialogIsModal) {
  app::TProgram program(Exe(), {});
  auto& main = program.MainWindow();
  main.Show();
  PressKey(main.ButtonSet.Handle(), VK_F1);
  EXPECT_EQ(TopicShown(program), app::kHelpTopicMain);

  main.SpeedButtonListViewClick(nullptr);
  auto& list = program.FileListWindow();
  ASSERT_TRUE(list.Showing());
  PressKey(list.HListBoxFileList.Handle(), VK_F1);
  EXPECT_EQ(TopicShown(program), app::kHelpTopicFileList);
  EXPECT_EQ(HelpWindowCount(), 1);

  // The modal dialogs: F1 while each waits; the help window stays usable while the others wait.
  auto f1InModal = [&](const wchar_t* cls, std::wstring& topic, bool& helpUsable, bool& mainWaits) {
    return testsupport::LoopSteps({[&, cls] {
      HWND dialog = FindWindowW(cls, nullptr);
      if (!dialog || !IsWindowVisible(dialog)) return false;
      PressKey(GetFocus() && GetAncestor(GetFocus(), GA_ROOT) == dialog ? GetFocus() : dialog, VK_F1);
      topic = TopicShown(program);
      helpUsable = IsWindowEnabled(program.HelpWindow()->Handle()) != FALSE;
      mainWaits = !IsWindowEnabled(main.Handle());
      PostMessageW(dialog, WM_CLOSE, 0, 0);
      return true;
    }});
  };
  std::wstring topic;
  bool helpUsable = false, mainWaits = false;
  {
    auto steps = f1InModal(L"TFormInputDateTime", topic, helpUsable, mainWaits);
    main.SpeedButtonCreateClick(&main.SpeedButtonCreate);
    EXPECT_TRUE(steps.Done());
  }
  EXPECT_EQ(topic, app::kHelpTopicDateTime);
  EXPECT_TRUE(helpUsable);
  EXPECT_TRUE(mainWaits);
  topic.clear();
  {
    auto steps = f1InModal(L"TFormVersion", topic, helpUsable, mainWaits);
    main.About1Click(nullptr);
    EXPECT_TRUE(steps.Done());
  }
  EXPECT_EQ(topic, app::kHelpTopicAbout);
  EXPECT_TRUE(helpUsable);
  EXPECT_EQ(HelpWindowCount(), 1);

  // F1 in the help window explains the help window.
  PressKey(program.HelpWindow()->RichEditTopic.Handle(), VK_F1);
  EXPECT_EQ(TopicShown(program), L"help-window");
}

TEST_F(HelpTest, TheHelpWindowKeepsItsPlaceInTheSettings) {
  {
    app::TProgram program(Exe(), {});
    program.MainWindow().Show();
    program.MainWindow().ButtonHelp.Click();
    help::THelpViewer* viewer = program.HelpWindow();
    ASSERT_NE(viewer, nullptr);
    viewer->SetBounds(60, 50, 720, 480);
    viewer->SetPaneWidth(280);
    PressKey(viewer->TreeViewContents.Handle(), VK_ESCAPE);
    EXPECT_FALSE(viewer->Showing());
  }
  const std::string ini = testsupport::ReadFileBytes(tree.Path(L"VornaStampShifter.ini"));
  EXPECT_NE(ini.find("[HelpWindow]\r\nLeft=60\r\nTop=50\r\nWidth=720\r\nHeight=480\r\nPane=280\r\n"), std::string::npos)
      << ini;

  app::TProgram again(Exe(), {});
  again.MainWindow().Show();
  again.MainWindow().ButtonHelp.Click();
  ASSERT_NE(again.HelpWindow(), nullptr);
  const RECT r = again.HelpWindow()->BoundsRect();
  EXPECT_EQ(r.left, 60);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 720);
  EXPECT_EQ(r.bottom - r.top, 480);
  EXPECT_EQ(again.HelpWindow()->TabControlNavi.Width(), 280);
}

TEST_F(HelpTest, ADamagedHelpFileGivesAMessageAndNoWindow) {
  ASSERT_TRUE(DeleteFileW(tree.Path(L"VornaSTS.hlp").c_str()));
  tree.MakeFile(L"VornaSTS.hlp", std::string("VSSHELP\x1a", 8) + std::string(40, '\0'));
  app::TProgram program(Exe(), {});
  program.MainWindow().Show();
  testsupport::DialogAnswerer answers;
  answers.Press(L"OK");
  program.MainWindow().ButtonHelp.Click();
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].caption, L"VornaStampShifter");
  EXPECT_EQ(answers.Shown()[0].text, L"ヘルプファイル " + tree.Path(L"VornaSTS.hlp") +
                                         L" は壊れているため表示できません。\r"
                                         L"プログラムと一緒に配布されている VornaSTS.hlp を入れ直してください。");
  EXPECT_TRUE(HelpWindowCount() == 0 || !program.HelpWindow()->Showing());
  // The program goes on: F1 asks again and is told again.
  answers.Press(L"OK");
  PressKey(program.MainWindow().ButtonSet.Handle(), VK_F1);
  EXPECT_EQ(answers.Shown().size(), 2u);
}

TEST_F(HelpTest, F1OnAQuestionOfARunExplainsTheQuestionsAndOnItsSummaryTheMainWindow) {
  tree.MakeFile(L"data\\a.txt");
  tree.MakeFile(L"data\\b.txt");
  tree.MakeFile(L"VornaStampShifter.ini", "[Application]\r\nAutoEnd=0\r\nTypeFile=1\r\nTypeAll=0\r\n");
  app::TProgram program(Exe(), {tree.Path(L"data")});
  auto& main = program.MainWindow();
  main.Show();
  DeleteFileW(tree.Path(L"data\\a.txt").c_str());

  testsupport::DialogAnswerer answers;
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  // Before each request the help goes back to its first topic, so that a request that does nothing
  // is seen as such. F1 is taken by the program in the question; the system's help request (which it
  // sends for F1 typed on the keyboard) goes to the window a box belongs to when the box has no topic.
  PressKey(main.ButtonSet.Handle(), VK_F1);
  ASSERT_EQ(TopicShown(program), app::kHelpTopicMain);
  const std::wstring first = program.HelpWindow()->File().Topics[0].Id;
  std::vector<std::wstring> topics;
  auto ask = [&](HWND dialog, bool key) {
    program.HelpWindow()->ShowTopic(0);
    if (key) {
      PressKey(GetFocus() && GetAncestor(GetFocus(), GA_ROOT) == dialog ? GetFocus() : dialog, VK_F1);
    } else {
      HELPINFO hi{sizeof(HELPINFO), HELPINFO_WINDOW, 0, dialog, 0, {0, 0}};
      SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    }
    topics.push_back(TopicShown(program));
  };
  testsupport::LoopSteps user({[&] {
                                 if (answers.Shown().size() != 1) return false;
                                 const HWND question = answers.Shown().back().hwnd;
                                 ask(question, true);
                                 ask(question, false);
                                 testsupport::DialogAnswerer::Carry(question, {testsupport::AnswerKind::Button, L"はい(&Y)"});
                                 return true;
                               },
                               [&] {
                                 if (answers.Shown().size() != 2) return false;
                                 const HWND summary = answers.Shown().back().hwnd;
                                 ask(summary, false);
                                 testsupport::DialogAnswerer::Carry(summary, {testsupport::AnswerKind::Button, L"OK"});
                                 return true;
                               }});
  main.ButtonSetClick(&main.ButtonSet);
  EXPECT_TRUE(user.Done());
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[0].text, tree.Path(L"data\\a.txt") + L" が存在しません。\r処理を続けますか？");
  // The summary is no question: it keeps the topic of the window it belongs to.
  ASSERT_NE(first, app::kHelpTopicMain);
  const std::wstring mainTopic = app::kHelpTopicMain, questions = app::kHelpTopicQuestions;
  EXPECT_EQ(topics, (std::vector<std::wstring>{questions, questions, mainTopic}));
  EXPECT_EQ(HelpWindowCount(), 1);
}
