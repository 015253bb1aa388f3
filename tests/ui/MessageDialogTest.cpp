// The message dialog as a user meets it: captions in order, default button, Esc, access keys, the close
// box, and a width that shows the whole caption (the questions of a run: tests/app/ProgramTest).
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/MessageDialog.h"
#include <gtest/gtest.h>

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
  DialogAnswerer answers;
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  auto focused = [] {
    wchar_t text[32] = L"";
    GetWindowTextW(GetFocus(), text, 32);
    return std::wstring(text);
  };
  auto typeA = [&] {
    PressKey(GetFocus(), 'A');
    EXPECT_EQ(focused(), L"中止(&A)");
    PressKey(GetFocus(), 'A', ui::ssAlt);
    EXPECT_EQ(focused(), L"すべてはい(&A)");
    PressKey(GetFocus(), 'A');  // round again to the first of them
    EXPECT_EQ(focused(), L"中止(&A)");
    return true;
  };
  auto typeY = [] {
    PressKey(GetFocus(), 'Y');
    return true;
  };
  // A pressed button would end the dialog before the next step; Y is the key that presses.
  testsupport::LoopSteps user({typeA, typeY});
  EXPECT_EQ(ui::ShowMessageDialog(Question()), 0);
  EXPECT_TRUE(user.Done());
}

TEST(MessageDialog, ClosingThroughTheFrameGivesADistinctResult) {
  DialogAnswerer answers;
  answers.CloseFrame();
  auto o = Question();
  o.escapeButton = 1;
  EXPECT_EQ(ui::ShowMessageDialog(o), ui::kDialogClosed);
}

TEST(MessageDialog, ClosesAtOnceWhileTheApplicationIsTerminating) {
  DialogAnswerer answers;  // no answers: a shown dialog would fail the test
  ui::Application::Instance().Terminate();
  EXPECT_EQ(ui::ShowMessageDialog(Question()), ui::kDialogClosed);
  EXPECT_TRUE(answers.Shown().empty());
  // One that is to be seen while the program ends is shown and answered.
  auto shown = Question();
  shown.showWhileTerminating = true;
  answers.Press(L"中止(&A)");
  EXPECT_EQ(ui::ShowMessageDialog(shown), 1);
  EXPECT_EQ(answers.Shown().size(), 1u);
  // Take the quit message out of the queue again for the following tests.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  ui::Application::Instance().ResetTerminated();

  // The program ending while a dialog is up closes it, unless it is to be seen then.
  for (bool showWhileTerminating : {false, true}) {
    SCOPED_TRACE(showWhileTerminating);
    DialogAnswerer ending;
    ending.Responder = [](const testsupport::ShownDialog&) {
      ui::Application::Instance().Terminate();
      return testsupport::Answer{testsupport::AnswerKind::Button, L"すべてはい(&A)"};
    };
    auto o = Question();
    o.showWhileTerminating = showWhileTerminating;
    EXPECT_EQ(ui::ShowMessageDialog(o), showWhileTerminating ? 2 : ui::kDialogClosed);
    EXPECT_EQ(ending.Shown().size(), 1u);
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    ui::Application::Instance().ResetTerminated();
  }
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
  comm::TGdiObject<HFONT> font(CreateFontIndirectW(&ncm.lfCaptionFont));
  return static_cast<int>(ui::TextExtent(font.Get(), title).cx) + GetSystemMetrics(SM_CXSMICON) +
         GetSystemMetrics(SM_CXSIZE);
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

TEST(MessageDialog, DetailsOpenAListOfEveryLineThatScrollsAndAnswerNothing) {
  DialogAnswerer answers;
  answers.Responder = [](const testsupport::ShownDialog&) {
    return testsupport::Answer{testsupport::AnswerKind::None, L""};
  };
  ui::MessageDialogOptions o;
  o.caption = L"VornaStampShifter";
  o.text = L"直前の変更を元に戻します。";
  o.buttons = {L"はい(&Y)", L"いいえ(&N)"};
  o.escapeButton = 1;
  for (int i = 0; i < 40; ++i) o.details.push_back(L"C:\\data\\" + std::wstring(i, L'x') + L".txt");
  HWND dialog = nullptr, list = nullptr;
  int closedHeight = 0;
  auto height = [&] {
    RECT r;
    GetWindowRect(dialog, &r);
    return static_cast<int>(r.bottom - r.top);
  };
  auto button = [&](const wchar_t* caption) { return FindWindowExW(dialog, nullptr, L"Button", caption); };
  testsupport::LoopSteps user({
      [&] {
        if (answers.Shown().empty()) return false;
        dialog = answers.Shown()[0].hwnd;
        EXPECT_EQ(answers.Shown()[0].buttons,
                  (std::vector<std::wstring>{L"はい(&Y)", L"いいえ(&N)", ui::kDetailsShow}));
        list = FindWindowExW(dialog, nullptr, L"ListBox", nullptr);
        EXPECT_TRUE(list && !IsWindowVisible(list));
        closedHeight = height();
        SendMessageW(button(ui::kDetailsShow), BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        // Open: every line in order, in a list shorter than its lines, which scrolls to the last.
        EXPECT_TRUE(IsWindow(dialog)) << "the details button answered the dialog";
        EXPECT_TRUE(IsWindowVisible(list));
        EXPECT_GT(height(), closedHeight);
        EXPECT_TRUE(button(ui::kDetailsHide));
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 40);
        for (int i = 0; i < 40; ++i) {
          wchar_t text[64] = L"";
          SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
          EXPECT_EQ(text, o.details[static_cast<size_t>(i)]);
        }
        RECT client;
        GetClientRect(list, &client);
        const auto row = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
        EXPECT_LT(client.bottom / row, 40);
        EXPECT_GE(client.bottom / row, 10);
        SendMessageW(list, LB_SETTOPINDEX, 39, 0);
        EXPECT_GT(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
        // Grown, the dialog still lies in the work area.
        RECT work, frame;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        GetWindowRect(dialog, &frame);
        EXPECT_TRUE(frame.top >= work.top && frame.bottom <= work.bottom);
        // Closed again: the dialog is as it was.
        SendMessageW(button(ui::kDetailsHide), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowVisible(list));
        EXPECT_EQ(height(), closedHeight);
        SendMessageW(button(L"はい(&Y)"), BM_CLICK, 0, 0);
        return true;
      },
  });
  EXPECT_EQ(ui::ShowMessageDialog(o), 0);
  EXPECT_TRUE(user.Done());
}

TEST(MessageDialog, TextBoxScrollsPastItsLimitAndStandsWholeUpToIt) {
  HFONT font = ui::FontHandle(ui::DefaultFont());
  const int line = ui::MessageTextBox(L"あ", font, 400, 1000).height;
  ASSERT_GT(line, 0);
  auto lines = [](int n) {
    std::wstring t = L"一行目";
    for (int i = 1; i < n; ++i) t += L"\r次の行";
    return t;
  };
  // Five lines in a box five lines tall stand whole; a sixth makes the text scroll, no taller.
  const ui::TMessageTextBox five = ui::MessageTextBox(lines(5), font, 400, 5 * line);
  EXPECT_FALSE(five.scrolls);
  EXPECT_EQ(five.height, 5 * line);
  const ui::TMessageTextBox six = ui::MessageTextBox(lines(6), font, 400, 5 * line);
  EXPECT_TRUE(six.scrolls);
  EXPECT_LE(six.height, 5 * line);
  // A word as wide as the line stands; one wider scrolls and breaks, the box no wider than the line
  // and its scroll bar.
  const int w = static_cast<int>(ui::TextExtent(font, L"WWWWWWWWWW").cx);
  EXPECT_FALSE(ui::MessageTextBox(L"WWWWWWWWWW", font, w, 1000).scrolls);
  const ui::TMessageTextBox wide = ui::MessageTextBox(L"WWWWWWWWWWW", font, w, 1000);
  EXPECT_TRUE(wide.scrolls);
  EXPECT_LE(wide.width, w + 4 * GetSystemMetrics(SM_CXEDGE) + 8 + GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_GE(wide.height, 2 * line);

  EXPECT_EQ(ui::MaxMessageTextHeight(738, 30), 738 - 30 - 3 * 12 - 23);
  EXPECT_EQ(ui::MaxMessageTextHeight(50, 30), 0);
  // At 200 % the margins and the button row take twice the room; what is left may be nothing.
  EXPECT_EQ(ui::MaxMessageTextHeight(738, 30, ui::TDpi(192)), 738 - 30 - 2 * (3 * 12 + 23));
  EXPECT_EQ(ui::MaxMessageTextHeight(30 + 2 * (3 * 12 + 23) + 1, 30, ui::TDpi(192)), 1);
  EXPECT_EQ(ui::MaxMessageTextHeight(30 + 2 * (3 * 12 + 23) - 1, 30, ui::TDpi(192)), 0);
  EXPECT_EQ(ui::EditLineEnds(L"a\rb\nc\r\nd\r"), L"a\r\nb\r\nc\r\nd\r\n");
}

TEST(MessageDialog, QuestionAboutAVeryLongPathFitsTheWorkAreaAndScrolls) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  std::wstring path = L"C:";
  while (path.size() < 6000) path += L"\\とても長いフォルダの名前";
  ui::MessageDialogOptions o = Question();
  o.text = path + L" が存在しません。\r処理を続けますか？";
  DialogAnswerer answers;
  RECT frame{};
  std::vector<RECT> buttons;
  bool scrolls = false;
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    GetWindowRect(d.hwnd, &frame);
    for (HWND c = GetWindow(d.hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[32] = L"";
      GetClassNameW(c, cls, 32);
      RECT r{};
      GetWindowRect(c, &r);
      if (_wcsicmp(cls, L"Button") == 0) buttons.push_back(r);
      if (_wcsicmp(cls, L"Edit") == 0) scrolls = (GetWindowLongPtrW(c, GWL_STYLE) & WS_VSCROLL) != 0;
    }
    return testsupport::Answer{testsupport::AnswerKind::Button, L"中止(&A)"};
  };
  EXPECT_EQ(ui::ShowMessageDialog(o), 1);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text, o.text);  // the whole text, as the program wrote it
  EXPECT_TRUE(scrolls);
  EXPECT_GE(frame.top, work.top);
  EXPECT_LE(frame.bottom, work.bottom);
  EXPECT_GE(frame.left, work.left);
  EXPECT_LE(frame.right, work.right);
  ASSERT_EQ(buttons.size(), 3u);
  for (const RECT& b : buttons) {
    EXPECT_GE(b.top, frame.top);
    EXPECT_LE(b.bottom, frame.bottom);
  }
}
