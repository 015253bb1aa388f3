// The message dialog as a user meets it: captions in order, default button, Esc, access keys, the close
// box, and a width that shows the whole caption.
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/MessageDialog.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>
#include <vector>

using testsupport::DialogAnswerer;
using testsupport::PressKey;

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

HWND ButtonOf(HWND dialog, const wchar_t* caption) { return FindWindowExW(dialog, nullptr, WC_BUTTONW, caption); }

// The buttons that told the dialog they were pressed, in order, while a ClickLog lives.
class ClickLog {
 public:
  ClickLog() : FHook(SetWindowsHookExW(WH_CALLWNDPROC, Proc, nullptr, GetCurrentThreadId())) { gLog = this; }
  ~ClickLog() {
    UnhookWindowsHookEx(FHook);
    gLog = nullptr;
  }
  std::vector<HWND> Clicked;

 private:
  static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
    auto* m = reinterpret_cast<CWPSTRUCT*>(lp);
    if (code == HC_ACTION && gLog && m->message == WM_COMMAND && HIWORD(m->wParam) == BN_CLICKED && m->lParam)
      gLog->Clicked.push_back(reinterpret_cast<HWND>(m->lParam));
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static inline ClickLog* gLog = nullptr;
  HHOOK FHook;
};

// Shows the dialog unanswered and returns its answer. The steps run one after another inside its modal
// loop, each once the loop has handled what the one before left queued; a step that closes the dialog
// ends the loop, and the steps after it never run. A dialog left open fails the test and is answered
// with its first button.
using Step = std::function<void(HWND dialog)>;
int ShowAndAct(const ui::MessageDialogOptions& o, const std::vector<Step>& steps) {
  DialogAnswerer answers;
  HWND dialog = nullptr;
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    dialog = d.hwnd;
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  std::vector<std::function<bool()>> loopSteps;
  for (const Step& step : steps)
    loopSteps.push_back([&dialog, step] {
      step(dialog);
      return true;
    });
  testsupport::LoopSteps act(loopSteps);
  testsupport::LoopSteps guard({[&] {
                                 ADD_FAILURE() << "the dialog did not close";
                                 PostMessageW(FindWindowExW(dialog, nullptr, WC_BUTTONW, nullptr), BM_CLICK, 0, 0);
                                 return true;
                               }},
                               5000);
  return ui::ShowMessageDialog(o);
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

TEST(MessageDialog, AKeyThatButtonsShareMovesTheFocusAndPressesNone) {
  ClickLog log;
  HWND yes = nullptr;
  Step shared = [&](HWND d) {
    yes = ButtonOf(d, L"はい(&Y)");
    HWND abort = ButtonOf(d, L"中止(&A)"), all = ButtonOf(d, L"すべてはい(&A)");
    EXPECT_EQ(GetFocus(), yes);
    PressKey(GetFocus(), 'A');
    EXPECT_EQ(GetFocus(), abort);
    PressKey(GetFocus(), 'A', ui::ssAlt);
    EXPECT_EQ(GetFocus(), all);
    PressKey(GetFocus(), 'A');  // round again to the first of them
    EXPECT_EQ(GetFocus(), abort);
  };
  Step own = [&](HWND) {
    EXPECT_TRUE(log.Clicked.empty());
    PressKey(GetFocus(), 'Y');  // a key of one button presses it
  };
  EXPECT_EQ(ShowAndAct(Question(), {shared, own}), 0);
  EXPECT_EQ(log.Clicked, std::vector<HWND>{yes});
}

TEST(MessageDialog, AKeyThatOneButtonOwnsPressesIt) {
  auto o = Question();
  o.buttons = {L"はい(&Y)", L"中止(&A)", L"すべてはい(&L)"};
  EXPECT_EQ(ShowAndAct(o, {[](HWND) { PressKey(GetFocus(), 'A'); }}), 1);
  EXPECT_EQ(ShowAndAct(o, {[](HWND) { PressKey(GetFocus(), 'L', ui::ssAlt); }}), 2);
}

TEST(MessageDialog, CloseBoxIsDisabledWithoutAnEscapeButton) {
  Step close = [](HWND d) {
    UINT state = GetMenuState(GetSystemMenu(d, FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_NE(state, UINT(-1));
    EXPECT_TRUE(state & MF_GRAYED);
    // The close box, Alt+F4 and a plain close request.
    SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0);
    PressKey(GetFocus(), VK_F4, ui::ssAlt);
    PostMessageW(d, WM_CLOSE, 0, 0);
  };
  bool stayed = false;
  Step answer = [&](HWND) {
    stayed = true;  // the question is still there to answer
    PressKey(GetFocus(), 'Y');
  };
  EXPECT_EQ(ShowAndAct(Question(), {close, answer}), 0);
  EXPECT_TRUE(stayed);
}

TEST(MessageDialog, BoxWithAnEscapeButtonClosesThroughItsFrame) {
  auto o = Question();
  o.escapeButton = 1;
  Step altF4 = [](HWND d) {
    UINT state = GetMenuState(GetSystemMenu(d, FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED));
    PressKey(GetFocus(), VK_F4, ui::ssAlt);
  };
  EXPECT_EQ(ShowAndAct(o, {altF4}), ui::kDialogClosed);
  DialogAnswerer answers;
  answers.CloseFrame();
  EXPECT_EQ(ui::ShowMessageDialog(o), ui::kDialogClosed);
}

TEST(MessageDialog, ClosesWhenTheApplicationEndsWhileItIsShown) {
  EXPECT_EQ(ShowAndAct(Question(), {[](HWND) { ui::Application::Instance().Terminate(); }}), ui::kDialogClosed);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ui::Application::Instance().ResetTerminated();
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

namespace {
// The client width of the dialog for a caption and a text.
int ClientWidthOf(const std::wstring& caption, const std::wstring& text) {
  DialogAnswerer answers;
  int width = 0;
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    RECT r;
    GetClientRect(d.hwnd, &r);
    width = r.right;
    return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
  };
  ui::MessageDialogOptions o;
  o.caption = caption;
  o.text = text;
  o.escapeButton = 0;
  ui::ShowMessageDialog(o);
  return width;
}

// What the caption bar needs for a title: the title in the system's caption font, the small icon
// before it and the close button after it.
int CaptionNeed(const std::wstring& title) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  HFONT font = CreateFontIndirectW(&ncm.lfCaptionFont);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return size.cx + GetSystemMetrics(SM_CXSMICON) + GetSystemMetrics(SM_CXSIZE);
}
}  // namespace

TEST(MessageDialog, WidthShowsTheWholeCaption) {
  const std::wstring summary = L"変更が終了しました。\r\r変更数\t\t： 3\rエラー数\t\t： 0\r未変更数\t： 0";
  const std::wstring title = L"VornaStampShifter";
  // A short text under the program's title: the caption decides the width.
  int narrow = ClientWidthOf(L"", L"OK?");
  int titled = ClientWidthOf(title, L"OK?");
  EXPECT_GE(titled, CaptionNeed(title));
  EXPECT_GT(titled, narrow);
  EXPECT_GE(ClientWidthOf(title, summary), CaptionNeed(title));
  // A caption shorter than the text leaves the width to the text.
  EXPECT_EQ(ClientWidthOf(L"エラー", summary), ClientWidthOf(L"", summary));
  // A caption longer than the screen makes the box no wider than the screen.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(ClientWidthOf(std::wstring(400, L'W'), L"OK?"), work.right - work.left);
}
