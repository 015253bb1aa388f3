// The progress splash: layout, title, version and copyright, gauge and count, stop by button or Esc.
#include "targets/Splash.h"
#include "ui/Application.h"
#include "resource.h"
#include "version.h"

namespace targets {

namespace {
const wchar_t kSplashHint[] = L"フォルダ名／ファイル名を取得しています。\rしばらくお待ちください。。。|";

ui::Font SplashFont(int pixels, unsigned style = 0, ui::Color color = ui::clWindowText) {
  ui::Font f;
  f.Height = -pixels;
  f.Style = style;
  f.FontColor = color;
  return f;
}
}  // namespace

TFormSplash::TFormSplash(std::function<void()> requestStop) : FRequestStop(std::move(requestStop)) {
  CreateForm(L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, 269, 163);
  SetFont(SplashFont(12));
  KeyPreview = true;

  PanelField.Create(this, 0, 0, 269, 163);
  PanelField.SetBevels(ui::Bevel::Raised, ui::Bevel::Raised);
  PanelField.SetHint(kSplashHint);
  PanelTitle.Create(&PanelField, 2, 2, 265, 121);
  PanelTitle.SetBevels(ui::Bevel::None, ui::Bevel::None);
  PanelTitle.SetHint(kSplashHint);

  const HINSTANCE inst = GetModuleHandleW(nullptr);
  ImageIcon.Create(&PanelTitle, 16, 16, 49, 49);
  ImageIcon.SetStretch(true);
  ImageIcon.SetIcon(static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, 32, 32, 0)));
  ImageTitle.Create(&PanelTitle, 72, 12, 128, 32);
  ImageTitle.SetBitmap(static_cast<HBITMAP>(LoadImageW(inst, MAKEINTRESOURCEW(IDB_TITLE), IMAGE_BITMAP, 0, 0,
                                                       LR_CREATEDIBSECTION)),
                       VSS_ART_KEY_COLOR);

  LabelTitle.Create(&PanelTitle, 80, 40, 177, 25, L"Stamp Shifter");
  LabelTitle.SetFont(SplashFont(21, ui::fsBold, ui::clGreen));
  LabelTitle.Layout = ui::TextLayout::Bottom;
  LabelVersion.Create(&PanelTitle, 168, 66, 81, 25, L"");
  LabelVersion.SetFont(SplashFont(16, ui::fsBold));
  LabelVersion.Layout = ui::TextLayout::Center;
  LabelCopyright.Create(&PanelTitle, 8, 88, 249, 25, L"");
  LabelCopyright.SetFont(SplashFont(13));
  LabelCopyright.TextAlignment = ui::Alignment::Center;
  LabelCopyright.Layout = ui::TextLayout::Center;

  SpeedButtonStop.Create(&PanelTitle, 240, 96, 23, 22);
  SpeedButtonStop.SetFlat(true);
  ui::GdiObject<HBITMAP> glyph(static_cast<HBITMAP>(
      LoadImageW(inst, MAKEINTRESOURCEW(IDB_GLYPH_STOP), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (glyph) SpeedButtonStop.SetGlyph(glyph.Get());  // the button keeps a copy
  SpeedButtonStop.SetHint(L"フォルダ名／ファイル名の取得を中断します(ESC)|");
  SpeedButtonStop.OnClick = [this](ui::Control* s) { SpeedButtonStopClick(s); };

  GradationGauge.Create(&PanelField, 3, 123, 263, 22);
  GradationGauge.SetBackColor(ui::clBtnFace);
  GradationGauge.SetFont(SplashFont(12, ui::fsBold, RGB(255, 255, 255)));
  GradationGauge.SetShowHint(false);

  LabelFileCount.Create(&PanelField, 2, 145, 265, 16, L"");
  LabelFileCount.TextAlignment = ui::Alignment::Center;
  LabelFileCount.Layout = ui::TextLayout::Center;
  FormCreate();
}

TFormSplash::~TFormSplash() = default;

void TFormSplash::FormCreate() {
  LabelVersion.SetCaption(L"Ver " VSS_VERSION_WTEXT);
  LabelCopyright.SetCaption(VSS_COPYRIGHT_WTEXT);
  // The line is centred under the title; where the font's glyphs are wide it steps down in size
  // rather than running under the stop button or out of the window.
  const int centre = LabelCopyright.Left() + LabelCopyright.Width() / 2;
  const int room = 2 * (SpeedButtonStop.Left() - 2 - centre);
  ui::Font f = LabelCopyright.GetFont();
  while (f.Height < -9 && ui::TextExtent(ui::FontHandle(f), LabelCopyright.Caption()).cx > room) ++f.Height;
  LabelCopyright.SetFont(f);
}

void TFormSplash::SpeedButtonStopClick(ui::Control*) {
  if (FRequestStop) FRequestStop();
}

void TFormSplash::DoKeyDown(WORD& key, unsigned) {
  // Esc stops like the button; the key is not consumed.
  if (key == VK_ESCAPE && FRequestStop) FRequestStop();
}

uint16_t TFormSplash::GaugeValue(int position, int total) {
  if (total <= 0xFFFF) return static_cast<uint16_t>(std::max(0, position));
  return static_cast<uint16_t>(static_cast<long long>(std::max(0, position)) * 0xFFFF / total);
}

void TFormSplash::Start(int total) {
  FTotal = total;
  CenterOnScreen();
  Show();
  SetForegroundWindow(Handle());
  GradationGauge.SetMin(0);
  GradationGauge.SetPosition(0);
  GradationGauge.SetMax(GaugeValue(total, total));
  LabelFileCount.SetCaption(L"");
  FLastRefresh = GetTickCount() - RefreshMs;  // the first entry shows at once
}

void TFormSplash::Progress(int position, const std::wstring& text) {
  const DWORD now = GetTickCount();
  if (now - FLastRefresh < RefreshMs && position < FTotal) return;
  FLastRefresh = now;
  Refresh(position, text);
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
