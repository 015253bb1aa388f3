// The run report window.
#include "app/ReportWindow.h"
#include "app/HelpTopics.h"
#include "comm/ErrorText.h"
#include "comm/FileDateTime.h"
#include <algorithm>

namespace app {

namespace {

constexpr int kLabelHeight = 14;
constexpr int kHeadingHeight = 2 * kLabelHeight + 4, kFilterWidth = 150, kFilterLabelWidth = 44;
constexpr int kDefaultClientWidth = 960, kDefaultClientHeight = 440;
constexpr int kLeastWidth = 480, kLeastHeight = 240;

std::vector<ui::ListView::Column> Columns() {
  std::vector<ui::ListView::Column> columns;
  for (int c = 0; c < engine::rcColumnCount; ++c) {
    ui::ListView::Column column;
    column.Caption = engine::ReportColumnCaption(c);
    column.Width = c == engine::rcOutcome  ? 84
                   : c == engine::rcPath   ? 240
                   : c == engine::rcReason ? 240
                   : c >= engine::rcAttr   ? 72
                                           : 124;
    columns.push_back(column);
  }
  return columns;
}

}  // namespace

std::wstring ReportDamagedText(const std::wstring& path) {
  return L"直前の実行結果の記録が壊れているため、表示できません。\r" + path;
}

std::wstring ReportReadFailedText(const std::wstring& path, DWORD error) {
  std::wstring reason = comm::SystemErrorText(error);
  if (reason.empty()) reason = L"エラー " + std::to_wstring(error);
  return L"直前の実行結果の記録を読み込めません。\r" + path + L"\r" + reason;
}

std::wstring ReportHeadingText(const engine::TRunReport& report) {
  std::wstring text = std::wstring(report.Undo ? L"変更を元に戻した結果" : L"変更の結果") + L"（" +
                      comm::LocalFileTimeText(report.Started) + L" に開始、" + engine::RunEndingText(report.Ending) +
                      L"）";
  return text;
}

std::wstring ReportCountsText(const engine::TRunReport& report) {
  std::wstring text;
  const auto counts = engine::OutcomeCounts(report);
  for (int o = 0; o < engine::kOutcomeCount; ++o) {
    if (o > 0) text += L"、";
    text += engine::OutcomeText(static_cast<engine::TTargetOutcome>(o)) + L" " + std::to_wstring(counts[static_cast<size_t>(o)]);
  }
  return text + L"（全 " + std::to_wstring(report.Entries.size()) + L" 件）";
}

TFormReport::TFormReport(HWND owner, engine::TRunReport report, const TPrompts& prompts)
    : TFormRows(prompts), FReport(std::move(report)) {
  FClassName = L"TFormReport";
  CreateForm(L"直前の実行結果", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, 0,
             kDefaultClientWidth, kDefaultClientHeight, owner);
  SetLeastSize(kLeastWidth, kLeastHeight);
  HelpTopic = kHelpTopicReport;
  KeyPreview = true;

  // Creation order is the tab order.
  LabelHeading.Create(this, kMargin, kMargin, 100, kLabelHeight, ReportHeadingText(FReport));
  LabelCounts.Create(this, kMargin, kMargin + kLabelHeight + 4, 100, kLabelHeight, ReportCountsText(FReport));
  LabelFilter.Create(this, kMargin, 0, kFilterLabelWidth, kLabelHeight, L"表示(&F):");
  ComboBoxFilter.Create(this, 0, 0, kFilterWidth, 200);
  const auto counts = engine::OutcomeCounts(FReport);
  ComboBoxFilter.Add(L"すべて (" + std::to_wstring(FReport.Entries.size()) + L")");
  for (int o = 0; o < engine::kOutcomeCount; ++o)
    ComboBoxFilter.Add(engine::OutcomeText(static_cast<engine::TTargetOutcome>(o)) + L" (" +
                       std::to_wstring(counts[static_cast<size_t>(o)]) + L")");
  ComboBoxFilter.OnSelChange = [this](ui::Control* s) { ComboBoxFilterSelChange(s); };
  CreateList(Columns());
  CreateCopyAndSave();
  CreateClose();

  ComboBoxFilter.SetItemIndex(0);
  ComboBoxFilterSelChange(&ComboBoxFilter);
  Layout();
}

void TFormReport::Layout() {
  const ui::TDpi dpi = Dpi();
  const int cw = ClientWidth();
  const int margin = dpi.Scale(kMargin), gap = dpi.Scale(kGap), labelHeight = dpi.Scale(kLabelHeight);
  const int buttonHeight = dpi.Scale(kButtonHeight);
  const int filterLabelWidth = dpi.Scale(kFilterLabelWidth);
  const int buttonsTop = PlaceButtonRow();
  const int filterTop = dpi.Scale(kMargin + kHeadingHeight + kGap);
  const int listTop = filterTop + buttonHeight + gap;
  LabelHeading.SetBounds(margin, margin, std::max(0, cw - 2 * margin), labelHeight);
  LabelCounts.SetBounds(margin, dpi.Scale(kMargin + kLabelHeight + 4), std::max(0, cw - 2 * margin), labelHeight);
  LabelFilter.SetBounds(margin, filterTop + dpi.Scale(5), filterLabelWidth, labelHeight);
  ComboBoxFilter.SetBounds(margin + filterLabelWidth + gap, filterTop, dpi.Scale(kFilterWidth), dpi.Scale(200));
  ListViewRows.SetBounds(margin, listTop, std::max(0, cw - 2 * margin), std::max(0, buttonsTop - gap - listTop));
  Invalidate();
}

void TFormReport::DoShow() { ListViewRows.SetFocus(); }

void TFormReport::ComboBoxFilterSelChange(ui::Control*) {
  // Item 0 shows every outcome; item k the outcome k - 1.
  const int item = ComboBoxFilter.ItemIndex();
  FShown = engine::ReportOrder(FReport, item > 0 ? item - 1 : -1);
  ListViewRows.SetRowCount(static_cast<int>(FShown.size()));
}

std::wstring TFormReport::CellText(int row, int column) const {
  return row >= 0 && static_cast<size_t>(row) < FShown.size()
             ? engine::ReportCellText(FReport.Entries[FShown[static_cast<size_t>(row)]], column)
             : std::wstring();
}

}  // namespace app
