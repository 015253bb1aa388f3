// The preview window: every target with its times and attributes now and after a run, filled a few
// rows at a time, sorted by any column, copied or saved as CSV, and the run started from it.
#pragma once
#include "Base.h"
#include "app/Prompts.h"
#include "app/RowsWindow.h"
#include "comm/Clock.h"
#include "engine/Preview.h"
#include "shell/PlacedFileDialog.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "ui/ViewControls.h"
#include <string>
#include <vector>

namespace app {

// Shown modally over the main window; its modal result is mrOk when "開始" was pressed.
class TFormPreview : public TFormRows {
 public:
  // The target list must stay as it is while the window lives (it is modal over everything that
  // could change it).
  TFormPreview(HWND owner, const engine::IChangeTargets& targets, const engine::ChangePlan& plan,
               const TPrompts& prompts);
  ~TFormPreview() override;

  ui::Label LabelProgress;
  ui::Button ButtonStop, ButtonStart;

  const engine::TPreview& Preview() const { return FPreview; }
  bool Filling() const { return FillTimer.Enabled(); }
  void ButtonStopClick(ui::Control* sender);
  void ListViewRowsColumnClick(ui::ListView* sender, int column);

 protected:
  void Layout() override;
  void DoShow() override;
  void DoClose(ui::CloseAction& action) override;
  int ColumnCount() const override { return engine::pcColumnCount; }
  std::wstring ColumnCaption(int column) const override { return engine::PreviewColumnCaption(column); }
  std::wstring CellText(int row, int column) const override { return FPreview.CellText(row, column); }

 private:
  void FillTimerTimer(ui::Control* sender);
  void ShowProgress();
  void StopFilling();

  engine::TPreview FPreview;
  ui::Timer FillTimer;
  // Rows are worked out in batches for at most this long at a time between looks at the messages, so
  // that the window answers clicks (stop, close) at once while it fills.
  static constexpr uint32_t kFillPaceMs = 30;
  static constexpr int kFillBatch = 32;
  // The longest a timer tick goes on working while nothing waits, so that other windows are painted.
  static constexpr uint32_t kFillTickMs = 250;
  comm::TPace FFillPace{kFillPaceMs};
  bool FStopped = false;
};

}  // namespace app
