// The progress splash: a borderless topmost window with the title, a gauge, the running count and a stop button.
#pragma once
#include "Base.h"
#include "targets/Collection.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/StdControls.h"
#include "widgets/CommonButton.h"
#include "widgets/GradGauge.h"
#include <functional>
#include <string>

namespace targets {

// Shown by a long collection from the moment its pre-count grows long to the end of its adding pass.
// The stop button, Esc and a close request (Alt+F4) ask the collection to stop; the window never
// closes itself, it stays until the collection releases it.
class TFormSplash : public ui::Form, public ICollectionSplash {
 public:
  explicit TFormSplash(std::function<void()> requestStop);
  ~TFormSplash() override;

  ui::Panel PanelField, PanelTitle;
  ui::Image ImageIcon, ImageTitle;
  ui::Label LabelTitle, LabelVersion, LabelCopyright, LabelFileCount;
  widgets::TCommonButton SpeedButtonStop;
  widgets::TGradationGauge GradationGauge;

  // ICollectionSplash: shows the window centred (during the pre-count, or at its end); then one
  // advance per added entry. The screen follows at most every kRefreshMs (and at the last entry):
  // drawing and pumping messages for each of 100,000 entries would cost more than collecting them.
  void Appear() override;
  void Counting() override;
  void Start(int total) override;
  void Progress(int position, const std::wstring& text) override;

  // The gauge's value for a position: totals above the gauge's 16-bit range are scaled down.
  static uint16_t GaugeValue(int position, int total);
  static constexpr DWORD kRefreshMs = 25;
  DWORD RefreshMs = kRefreshMs;

 protected:
  void DoKeyDown(WORD& key, unsigned shift) override;
  // A close request (Alt+F4, the system's close) is a stop request; the window stays.
  bool DoCloseQuery() override;

 private:
  void FormCreate();
  void SpeedButtonStopClick(ui::Control* sender);
  void Refresh(int position, const std::wstring& text);
  bool RefreshDue(bool always);

  std::function<void()> FRequestStop;
  int FTotal = 0;
  bool FAppeared = false;
  DWORD FLastRefresh = 0;
};

// The factory the list window gives its collection.
SplashFactory MakeSplashFactory();

}  // namespace targets
