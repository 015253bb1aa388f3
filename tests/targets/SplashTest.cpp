// The progress splash: its window and texts, the gauge and count it shows, and a stop by button or Esc
// that ends a real collection.
#include "CollectionFakes.h"
#include "support/TempTree.h"
#include "targets/FileList.h"
#include "targets/Splash.h"
#include "ui/Application.h"
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

namespace {

// The user's press, made while the 100th entry goes into the list; the wait after it lets the
// splash's next advance refresh the screen and see the press, however fast the walk is.
bool g_stopByEsc = false;
int g_listInserts = 0;
LRESULT CALLBACK PressStopAtTheHundredthEntry(int code, WPARAM wp, LPARAM lp) {
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && (cwp->message == LB_ADDSTRING || cwp->message == LB_INSERTSTRING) &&
      ++g_listInserts == 100) {
    auto* splash = dynamic_cast<TFormSplash*>(ui::WinControl::FromHandle(GetActiveWindow()));
    if (splash && g_stopByEsc) PostMessageW(splash->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    if (splash && !g_stopByEsc) ClickStop(*splash);
    Sleep(TFormSplash::kRefreshMs + 5);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

TEST(Splash, EscOrTheStopButtonEndsARealCollection) {
  testsupport::TempTree tree;
  for (int d = 0; d < 10; ++d)
    for (int f = 0; f < 100; ++f) tree.MakeFile(L"top\\d" + std::to_wstring(d) + L"\\f" + std::to_wstring(f) + L".txt");
  for (bool byEsc : {true, false}) {
    SCOPED_TRACE(byEsc ? "Esc" : "stop button");
    targetstest::FakeHost host;
    host.splashCount = 1;
    targets::TFormFileList window{host};
    g_stopByEsc = byEsc;
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
