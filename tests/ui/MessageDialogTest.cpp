// The message dialog as a user meets it: captions in order, default button, Esc, the close box.
#include "support/DialogAnswerer.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include <gtest/gtest.h>

using testsupport::DialogAnswerer;

namespace {
ui::MessageDialogOptions Question() {
  ui::MessageDialogOptions o;
  o.caption = L"VornaStampShifter";
  o.text = L"C:\\a.txt が存在しません。\r処理を続けますか？";
  o.buttons = {L"はい(&Y)", L"中止(&A)", L"すべてはい(&A)"};
  o.defaultButton = 0;
  o.escapeButton = -1;
  return o;
}
}  // namespace

TEST(MessageDialog, ShowsCaptionTextAndButtonsInOrder) {
  DialogAnswerer answers;
  answers.Press(L"中止(&A)");
  EXPECT_EQ(ui::ShowMessageDialog(Question()), 1);
  ASSERT_EQ(answers.Shown().size(), 1u);
  const auto& d = answers.Shown()[0];
  EXPECT_EQ(d.className, ui::kMessageDialogClass);
  EXPECT_EQ(d.caption, L"VornaStampShifter");
  EXPECT_EQ(d.text, L"C:\\a.txt が存在しません。\r処理を続けますか？");
  EXPECT_EQ(d.buttons, (std::vector<std::wstring>{L"はい(&Y)", L"中止(&A)", L"すべてはい(&A)"}));
  EXPECT_EQ(d.defaultButton, L"はい(&Y)");
}

TEST(MessageDialog, EnterAnswersTheDefaultButton) {
  DialogAnswerer answers;
  answers.PressEnter();
  EXPECT_EQ(ui::ShowMessageDialog(Question()), 0);
}

TEST(MessageDialog, EscAnswersNothingWithoutAnEscapeButton) {
  DialogAnswerer answers;
  // Esc first: the dialog must stay; then the third button answers.
  answers.Responder = [](const testsupport::ShownDialog& d) {
    DialogAnswerer::Carry(d.hwnd, {testsupport::AnswerKind::Escape, L""});
    return testsupport::Answer{testsupport::AnswerKind::Button, L"すべてはい(&A)"};
  };
  EXPECT_EQ(ui::ShowMessageDialog(Question()), 2);
}

TEST(MessageDialog, EscAnswersTheEscapeButtonWhenThereIsOne) {
  DialogAnswerer answers;
  answers.PressEscape();
  auto o = Question();
  o.escapeButton = 1;
  EXPECT_EQ(ui::ShowMessageDialog(o), 1);
}

TEST(MessageDialog, ClosingThroughTheFrameGivesADistinctResult) {
  DialogAnswerer answers;
  answers.CloseFrame();
  EXPECT_EQ(ui::ShowMessageDialog(Question()), ui::kDialogClosed);
}

TEST(MessageDialog, ClosesAtOnceWhileTheApplicationIsTerminating) {
  DialogAnswerer answers;  // no answers: a shown dialog would fail the test
  ui::Application::Instance().Terminate();
  EXPECT_EQ(ui::ShowMessageDialog(Question()), ui::kDialogClosed);
  EXPECT_TRUE(answers.Shown().empty());
  // Take the quit message out of the queue again for the following tests.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ui::Application::Instance().ResetTerminated();
}

TEST(MessageDialog, IsCentredOnTheScreen) {
  DialogAnswerer answers;
  RECT r{};
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    GetWindowRect(d.hwnd, &r);
    return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  ui::MessageDialogOptions o;
  o.caption = L"VornaStampShifter";
  o.text = L"変更が終了しました。\r\r変更数\t\t： 3\rエラー数\t\t： 0\r未変更数\t： 0";
  o.icon = ui::MsgIcon::Information;
  EXPECT_EQ(ui::ShowMessageDialog(o), 0);
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR((r.left + r.right) / 2, cx / 2, 2);
  EXPECT_NEAR((r.top + r.bottom) / 2, cy / 2, 2);
}
