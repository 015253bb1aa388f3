// The run report window: what the last run or undo did to each target, failures first, filtered by
// outcome, copied or saved as CSV.
#pragma once
#include "Base.h"
#include "app/Prompts.h"
#include "app/RowsWindow.h"
#include "engine/RunReport.h"
#include "shell/PlacedFileDialog.h"
#include "ui/ComboBox.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "ui/ViewControls.h"
#include <string>
#include <vector>

namespace app {

// The text shown instead of the window when no run has left a report.
inline constexpr const wchar_t* kNoReportText =
    L"直前の実行結果はありません。\r変更を実行するか元に戻すと、対象ごとの結果をここで確かめられます。";
// The texts of a report that cannot be read.
std::wstring ReportDamagedText(const std::wstring& path);
std::wstring ReportReadFailedText(const std::wstring& path, DWORD error);

// What the report is of, when it started and how it ended; and its counts.
std::wstring ReportHeadingText(const engine::TRunReport& report);
std::wstring ReportCountsText(const engine::TRunReport& report);

// Shown modally over the main window.
class TFormReport : public TFormRows {
 public:
  TFormReport(HWND owner, engine::TRunReport report, const TPrompts& prompts);

  ui::Label LabelHeading, LabelCounts, LabelFilter;
  ui::ComboBox ComboBoxFilter;  // "すべて", then each outcome in the list's order

  const engine::TRunReport& Report() const { return FReport; }
  // The entries shown, in their order (indexes into the report).
  const std::vector<size_t>& Shown() const { return FShown; }

  void ComboBoxFilterSelChange(ui::Control* sender);

 protected:
  void Layout() override;
  void DoShow() override;
  int ColumnCount() const override { return engine::rcColumnCount; }
  std::wstring ColumnCaption(int column) const override { return engine::ReportColumnCaption(column); }
  std::wstring CellText(int row, int column) const override;

 private:

  engine::TRunReport FReport;
  std::vector<size_t> FShown;
};

}  // namespace app
