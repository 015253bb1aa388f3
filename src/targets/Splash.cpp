// The progress splash: layout, title, version and copyright, gauge and count, stop by button or Esc.
#include "targets/Splash.h"
#include "ui/Application.h"
#include "widgets/TitleArt.h"
#include "resource.h"

namespace targets {

namespace {
const wchar_t kSplashHint[] = L"フォルダ名／ファイル名を取得しています。\rしばらくお待ちください。。。|";

}  // namespace

TFormSplash::TFormSplash(std::function<void()> requestStop) : FRequestStop(std::move(requestStop)) {
  CreateForm(L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 269, 163);
  SetFont(ui::PixelFont(12));
  KeyPreview = true;
  AccessibleName = L"フォルダ名／ファイル名を取得しています。";  // what a reader says as it comes up

  PanelField.Create(this, 0, 0, 269, 163);
  PanelField.SetBevels(ui::Bevel::Raised, ui::Bevel::Raised);
  PanelField.SetHint(kSplashHint);
  PanelTitle.Create(&PanelField, 2, 2, 265, 121);
  PanelTitle.SetBevels(ui::Bevel::None, ui::Bevel::None);
  PanelTitle.SetHint(kSplashHint);

  widgets::CreateTitleItems(&PanelTitle, {ImageIcon, ImageTitle, LabelTitle, LabelVersion, LabelCopyright});

  SpeedButtonStop.Create(&PanelTitle, 240, 96, 23, 22);
  SpeedButtonStop.SetFlat(true);
  SpeedButtonStop.SetGlyphArt(IDB_GLYPH_STOP);
  SpeedButtonStop.SetHint(L"フォルダ名／ファイル名の取得を中断します(ESC)|");
  SpeedButtonStop.OnClick = [this](ui::Control* s) { SpeedButtonStopClick(s); };

  GradationGauge.Create(&PanelField, 3, 123, 263, 22);
  GradationGauge.SetBackColor(ui::clBtnFace);
  GradationGauge.SetFont(ui::PixelFont(12, ui::fsBold, RGB(255, 255, 255)));
  GradationGauge.SetShowHint(false);
  GradationGauge.AccessibleName = L"フォルダ名／ファイル名の取得";

  LabelFileCount.Create(&PanelField, 2, 145, 265, 16, L"");
  LabelFileCount.TextAlignment = ui::Alignment::Center;
  LabelFileCount.Layout = ui::TextLayout::Center;
  FormCreate();
}

TFormSplash::~TFormSplash() = default;

void TFormSplash::FormCreate() {
  // The line is centred under the title; where the font's glyphs are wide it steps down in size
  // rather than running under the stop button or out of the window.
  const int centre = LabelCopyright.Left() + LabelCopyright.Width() / 2;
  widgets::FitCaptionWidth(LabelCopyright, 2 * (SpeedButtonStop.Left() - 2 - centre));
}

void TFormSplash::SpeedButtonStopClick(ui::Control*) {
  if (FRequestStop) FRequestStop();
}

void TFormSplash::DoKeyDown(WORD& key, unsigned) {
  // Esc stops like the button; the key is not consumed.
  if (key == VK_ESCAPE && FRequestStop) FRequestStop();
}

bool TFormSplash::DoCloseQuery() {
  // Closing the window would leave the collection running with no progress and no way to stop it.
  if (FRequestStop) FRequestStop();
  return false;
}

uint16_t TFormSplash::GaugeValue(int position, int total) {
  if (total <= 0xFFFF) return static_cast<uint16_t>(std::max(0, position));
  return static_cast<uint16_t>(static_cast<long long>(std::max(0, position)) * 0xFFFF / total);
}

void TFormSplash::Appear() {
  if (FAppeared) return;
  FAppeared = true;
  CenterOnScreen();
  Show();
  SetForegroundWindow(Handle());
  GradationGauge.SetMin(0);
  GradationGauge.SetPosition(0);
  LabelFileCount.SetCaption(L"");
  FLastRefresh = GetTickCount();
}

void TFormSplash::Counting() {
  // Only the messages: the gauge and the count wait for the total.
  if (RefreshDue(false)) ui::Application::Instance().ProcessMessages();
}

void TFormSplash::Start(int total) {
  FTotal = total;
  Appear();
  GradationGauge.SetPosition(0);
  GradationGauge.SetMax(GaugeValue(total, total));
  LabelFileCount.SetCaption(L"");
  FLastRefresh = GetTickCount() - RefreshMs;  // the first entry shows at once
}

void TFormSplash::Progress(int position, const std::wstring& text) {
  if (RefreshDue(position >= FTotal)) Refresh(position, text);
}

bool TFormSplash::RefreshDue(bool always) {
  const DWORD now = GetTickCount();
  if (now - FLastRefresh < RefreshMs && !always) return false;
  FLastRefresh = now;
  return true;
}

void TFormSplash::Refresh(int position, const std::wstring& text) {
  GradationGauge.SetPosition(GaugeValue(position, FTotal));
  LabelFileCount.SetCaption(text);
  // Lets the window repaint, and its stop button and Esc ask for the stop.
  ui::Application::Instance().ProcessMessages();
}

SplashFactory MakeSplashFactory() {
  return [](std::function<void()> requestStop) -> std::unique_ptr<ICollectionSplash> {
    return std::make_unique<TFormSplash>(std::move(requestStop));
  };
}

}  // namespace targets
