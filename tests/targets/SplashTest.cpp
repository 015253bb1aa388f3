// The progress splash: its window, texts and hints, the gauge and count it shows, and a stop by button,
// Esc or a close request that ends a real collection, also while it still counts.
#include "CollectionFakes.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "targets/FileList.h"
#include "targets/Splash.h"
#include "ui/Application.h"
#include <commctrl.h>
#include <gtest/gtest.h>

using targets::TFormSplash;

namespace {

// Presses the splash's stop button with the mouse, as a user does.
void ClickStop(TFormSplash& splash) {
  const RECT r = splash.SpeedButtonStop.BoundsRect();
  const LPARAM at = MAKELPARAM(r.left + 5, r.top + 5);
  SendMessageW(splash.PanelTitle.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(splash.PanelTitle.Handle(), WM_LBUTTONUP, 0, at);
}

}  // namespace

TEST(Splash, IsABorderlessTopmostWindowWithVersionAndCopyright) {
  int stops = 0;
  TFormSplash splash([&] { ++stops; });
  const LONG_PTR style = GetWindowLongPtrW(splash.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
  EXPECT_TRUE(GetWindowLongPtrW(splash.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(splash.ClientWidth(), 269);
  EXPECT_EQ(splash.ClientHeight(), 163);
  EXPECT_EQ(splash.LabelTitle.Caption(), L"Stamp Shifter");
  EXPECT_EQ(splash.LabelVersion.Caption(), L"Ver 2.13");
  EXPECT_EQ(splash.LabelCopyright.Caption(), L"Copyright (C) 2026 VornaStampShifter Project");
  // Centred, the line ends before the stop button.
  const int textWidth = ui::TextExtent(ui::FontHandle(splash.LabelCopyright.GetFont()), splash.LabelCopyright.Caption()).cx;
  EXPECT_LE(splash.LabelCopyright.Left() + splash.LabelCopyright.Width() / 2 + textWidth / 2, splash.SpeedButtonStop.Left());
  EXPECT_EQ(splash.SpeedButtonStop.Hint(), L"フォルダ名／ファイル名の取得を中断します(ESC)|");
  EXPECT_NE(splash.SpeedButtonStop.Glyph(), nullptr);
  EXPECT_EQ(splash.GradationGauge.BoundsRect().left, 3);
  EXPECT_EQ(splash.GradationGauge.Width(), 263);

  splash.Start(120);
  EXPECT_TRUE(IsWindowVisible(splash.Handle()));
  RECT wr, work;
  GetWindowRect(splash.Handle(), &wr);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"");
  EXPECT_EQ(splash.GradationGauge.Max(), 120);

  ClickStop(splash);
  ClickStop(splash);
  EXPECT_EQ(stops, 2);  // each press asks; the collection's flag makes several one
  EXPECT_TRUE(IsWindowVisible(splash.Handle()));  // a stop does not close the window
}

TEST(Splash, ShowsTheCountAndGaugeAtMostEveryRefreshAndAlwaysTheLastEntry) {
  TFormSplash splash([] {});
  splash.RefreshMs = 60000;  // no refresh falls due by time within the test
  splash.Start(120);
  splash.Progress(37, L"37 / 120 ファイル");  // the first advance shows at once
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"37 / 120 ファイル");
  EXPECT_EQ(splash.GradationGauge.Filled(), 81);
  EXPECT_EQ(splash.GradationGauge.PercentText(), L"31%");
  splash.Progress(38, L"38 / 120 ファイル");  // before the next refresh: the screen waits
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"37 / 120 ファイル");
  splash.RefreshMs = 0;
  splash.Progress(39, L"39 / 120 ファイル");  // once it is due, it follows
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"39 / 120 ファイル");
  splash.RefreshMs = 60000;
  splash.Progress(119, L"119 / 120 ファイル");
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"39 / 120 ファイル");
  splash.Progress(120, L"120 / 120 ファイル");  // the last entry is always shown
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"120 / 120 ファイル");
  EXPECT_EQ(splash.GradationGauge.PercentText(), L"100%");

  // Totals beyond the gauge's 16-bit range are scaled, in proportion.
  EXPECT_EQ(TFormSplash::GaugeValue(65535, 65535), 65535);
  EXPECT_EQ(TFormSplash::GaugeValue(100000, 100000), 65535);
  EXPECT_EQ(TFormSplash::GaugeValue(50000, 100000), 32767);
  EXPECT_EQ(TFormSplash::GaugeValue(37, 120), 37);
}

TEST(Splash, AltF4OrACloseRequestStopsLikeTheStopButtonAndTheWindowStays) {
  int stops = 0;
  TFormSplash splash([&] { ++stops; });
  splash.Start(120);
  testsupport::PressKey(splash.Handle(), VK_F4, ui::ssAlt);
  EXPECT_EQ(stops, 1);
  SendMessageW(splash.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  SendMessageW(splash.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(stops, 3);
  ui::Application::Instance().ProcessMessages();
  EXPECT_TRUE(IsWindowVisible(splash.Handle()));
}

TEST(Splash, WhileTheCountRunsItTakesTheStopWhenItsRefreshIsDue) {
  int stops = 0;
  TFormSplash splash([&] { ++stops; });
  splash.RefreshMs = 60000;
  splash.Appear();
  EXPECT_TRUE(IsWindowVisible(splash.Handle()));
  EXPECT_EQ(splash.LabelFileCount.Caption(), L"");
  PostMessageW(splash.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  splash.Counting();  // not due yet: the key waits
  EXPECT_EQ(stops, 0);
  splash.RefreshMs = 0;
  splash.Counting();
  EXPECT_EQ(stops, 1);
  // The total comes after the count: the same window, its gauge set.
  splash.Start(7);
  EXPECT_EQ(splash.GradationGauge.Max(), 7);
  EXPECT_EQ(splash.GradationGauge.Position(), 0);
}

namespace {

// The text of the tooltip tool at a point of a window of the splash; "<none>" where no tool is.
std::wstring HintAt(TFormSplash& splash, HWND window, POINT at) {
  TTHITTESTINFOW hit{};
  hit.hwnd = window;
  hit.pt = at;
  hit.ti.cbSize = sizeof(hit.ti);
  if (!SendMessageW(splash.TooltipWindow(), TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit))) return L"<none>";
  // The tool found, asked for its text.
  wchar_t text[256] = L"";
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = hit.ti.hwnd;
  ti.uId = hit.ti.uId;
  ti.lpszText = text;
  SendMessageW(splash.TooltipWindow(), TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&ti));
  return text;
}

}  // namespace

TEST(Splash, TheGaugeHasNoHintWhileTheRestOfTheWindowShowsTheWindowsHint) {
  TFormSplash splash([] {});
  splash.Start(120);
  ASSERT_NE(splash.TooltipWindow(), nullptr);
  const std::wstring windowHint = L"フォルダ名／ファイル名を取得しています。\rしばらくお待ちください。。。";
  const RECT gauge = splash.GradationGauge.BoundsRect();
  const RECT count = splash.LabelFileCount.BoundsRect();
  const HWND field = splash.PanelField.Handle();
  // Every corner and the middle of the gauge: nothing to show.
  for (POINT p : {POINT{gauge.left, gauge.top}, POINT{gauge.right - 1, gauge.bottom - 1},
                  POINT{(gauge.left + gauge.right) / 2, (gauge.top + gauge.bottom) / 2}}) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    const std::wstring hint = HintAt(splash, field, p);
    EXPECT_TRUE(hint.empty()) << testing::PrintToString(hint);
  }
  // Just outside the gauge (the count below it, the frame beside it) and over the title: the window's hint.
  for (POINT p : {POINT{(count.left + count.right) / 2, gauge.bottom}, POINT{gauge.left - 1, gauge.top + 5},
                  POINT{(count.left + count.right) / 2, (count.top + count.bottom) / 2}})
    EXPECT_EQ(HintAt(splash, field, p), windowHint) << p.x << "," << p.y;
  EXPECT_EQ(HintAt(splash, splash.PanelTitle.Handle(), POINT{20, 100}), windowHint);
  // The stop button keeps its own.
  const RECT stop = splash.SpeedButtonStop.BoundsRect();
  EXPECT_EQ(HintAt(splash, splash.PanelTitle.Handle(), POINT{stop.left + 5, stop.top + 5}),
            L"フォルダ名／ファイル名の取得を中断します(ESC)");
}

namespace {

enum class StopBy { Esc, Button, AltF4 };

// The user's press, made while the 100th entry goes into the list; the wait after it lets the
// splash's next advance refresh the screen and see the press, however fast the walk is.
StopBy g_stopBy = StopBy::Esc;
int g_listInserts = 0;
LRESULT CALLBACK PressStopAtTheHundredthEntry(int code, WPARAM wp, LPARAM lp) {
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && (cwp->message == LB_ADDSTRING || cwp->message == LB_INSERTSTRING) &&
      ++g_listInserts == 100) {
    auto* splash = dynamic_cast<TFormSplash*>(ui::WinControl::FromHandle(GetActiveWindow()));
    if (splash && g_stopBy == StopBy::Esc) PostMessageW(splash->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    if (splash && g_stopBy == StopBy::Button) ClickStop(*splash);
    if (splash && g_stopBy == StopBy::AltF4)
      PostMessageW(splash->Handle(), WM_SYSKEYDOWN, VK_F4, 1 | (MapVirtualKeyW(VK_F4, MAPVK_VK_TO_VSC) << 16) | (1 << 29));
    Sleep(TFormSplash::kRefreshMs + 5);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// The user's Esc, pressed as soon as the splash comes up while the collection still counts.
LRESULT CALLBACK PressEscWhenTheSplashComesUp(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_ACTIVATE)
    if (dynamic_cast<TFormSplash*>(ui::WinControl::FromHandle(reinterpret_cast<HWND>(wp))))
      PostMessageW(reinterpret_cast<HWND>(wp), WM_KEYDOWN, VK_ESCAPE, 0);
  return CallNextHookEx(nullptr, code, wp, lp);
}

void MakeTree(testsupport::TempTree& tree) {
  for (int d = 0; d < 10; ++d)
    for (int f = 0; f < 100; ++f) tree.MakeFile(L"top\\d" + std::to_wstring(d) + L"\\f" + std::to_wstring(f) + L".txt");
}

}  // namespace

TEST(Splash, EscTheStopButtonOrAltF4EndsARealCollection) {
  testsupport::TempTree tree;
  MakeTree(tree);
  for (StopBy by : {StopBy::Esc, StopBy::Button, StopBy::AltF4}) {
    SCOPED_TRACE(by == StopBy::Esc ? "Esc" : by == StopBy::Button ? "stop button" : "Alt+F4");
    targetstest::FakeHost host;
    host.splashCount = 1;
    targets::TFormFileList window{host};
    g_stopBy = by;
    g_listInserts = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, PressStopAtTheHundredthEntry, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    window.AddPaths({tree.Path(L"top")});
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(window.Collection().LastTotal(), 1011);
    EXPECT_TRUE(window.Collection().StopRequested());
    EXPECT_GE(window.EntryCount(), 100);
    EXPECT_LT(window.EntryCount(), 110);  // the walk ended at the next advance
    // The splash is gone when the collection returns.
    ui::Application::Instance().ProcessMessages();
    EXPECT_EQ(dynamic_cast<TFormSplash*>(ui::WinControl::FromHandle(GetActiveWindow())), nullptr);
  }
}

TEST(Splash, EscWhileTheCollectionStillCountsEndsTheCount) {
  testsupport::TempTree tree;
  MakeTree(tree);
  targetstest::FakeHost host;
  host.splashCount = 1;  // the splash comes up with the first entry counted
  targets::TFormFileList window{host};
  HHOOK hook = SetWindowsHookExW(WH_CBT, PressEscWhenTheSplashComesUp, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  window.AddPaths({tree.Path(L"top")});
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(window.Collection().StopRequested());
  // The count ended long before the 1,011 entries below "top", and the walk added the folder alone.
  EXPECT_LT(window.Collection().LastTotal(), 50);
  EXPECT_EQ(window.EntryCount(), 1);
  EXPECT_EQ(window.Entry(0), tree.Path(L"top"));
}
