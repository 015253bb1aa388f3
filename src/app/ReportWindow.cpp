// The run report window.
#include "app/ReportWindow.h"
#include "app/CsvCommands.h"
#include "app/HelpTopics.h"
#include "comm/ErrorText.h"
#include "comm/FileDateTime.h"
#include <algorithm>

namespace app {

namespace {

constexpr int kMargin = 8, kButtonWidth = 84, kButtonHeight = 25, kGap = 6, kLabelHeight = 14;
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
    : FReport(std::move(report)), FPrompts(prompts) {
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
  ListViewRows.Create(this, kMargin, 0, 100, 100, Columns());
  ListViewRows.OnCellText = [this](int row, int column) {
    return row >= 0 && static_cast<size_t>(row) < FShown.size()
               ? engine::ReportCellText(FReport.Entries[FShown[static_cast<size_t>(row)]], column)
               : std::wstring();
  };
  ButtonCopy.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"コピー(&C)");
  ButtonCopy.OnClick = [this](ui::Control* s) { ButtonCopyClick(s); };
  ButtonSave.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"保存(&V)...");
  ButtonSave.OnClick = [this](ui::Control* s) { ButtonSaveClick(s); };
  ButtonClose.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"閉じる");
  ButtonClose.ModalResult = ui::mrCancel;
  ButtonClose.SetCancel(true);
  SetDefaultButton(&ButtonClose);
  SetUpCsvSaveDialog(SaveDialogEx, Handle());

  ComboBoxFilter.SetItemIndex(0);
  ComboBoxFilterSelChange(&ComboBoxFilter);
  Layout();
}

void TFormReport::CenterOn(const RECT& b) {
  SetPosition(b.left + (b.right - b.left - Width()) / 2, b.top + (b.bottom - b.top - Height()) / 2);
  ui::FitWindowOnScreen(Handle());
}

void TFormReport::Layout() {
  if (!ButtonClose.Handle()) return;  // still being built
  const int cw = ClientWidth(), ch = ClientHeight();
  const int buttonsTop = ch - kMargin - kButtonHeight;
  const int filterTop = kMargin + kHeadingHeight + kGap;
  const int listTop = filterTop + kButtonHeight + kGap;
  LabelHeading.SetBounds(kMargin, kMargin, std::max(0, cw - 2 * kMargin), kLabelHeight);
  LabelCounts.SetBounds(kMargin, kMargin + kLabelHeight + 4, std::max(0, cw - 2 * kMargin), kLabelHeight);
  LabelFilter.SetBounds(kMargin, filterTop + 5, kFilterLabelWidth, kLabelHeight);
  ComboBoxFilter.SetBounds(kMargin + kFilterLabelWidth + kGap, filterTop, kFilterWidth, 200);
  ListViewRows.SetBounds(kMargin, listTop, std::max(0, cw - 2 * kMargin), std::max(0, buttonsTop - kGap - listTop));
  ButtonCopy.SetBounds(kMargin, buttonsTop, kButtonWidth, kButtonHeight);
  ButtonSave.SetBounds(kMargin + kButtonWidth + kGap, buttonsTop, kButtonWidth, kButtonHeight);
  ButtonClose.SetBounds(cw - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
  Invalidate();
}

LRESULT TFormReport::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE && wp != SIZE_MINIMIZED) Layout();
  return ui::Form::WndProc(msg, wp, lp);
}

void TFormReport::DoShow() { ListViewRows.SetFocus(); }

void TFormReport::DoKeyDown(WORD& key, unsigned shift) {
  // The list's own keys for all its rows and for the copy.
  if ((shift & (ui::ssCtrl | ui::ssShift | ui::ssAlt)) != ui::ssCtrl || GetFocus() != ListViewRows.Handle()) return;
  if (key == 'A') {
    ListViewRows.SelectAll();
    key = 0;
  } else if (key == 'C') {
    ButtonCopyClick(&ButtonCopy);
    key = 0;
  }
}

void TFormReport::ComboBoxFilterSelChange(ui::Control*) {
  // Item 0 shows every outcome; item k the outcome k - 1.
  const int item = ComboBoxFilter.ItemIndex();
  FShown = engine::ReportOrder(FReport, item > 0 ? item - 1 : -1);
  ListViewRows.SetRowCount(static_cast<int>(FShown.size()));
}

std::wstring TFormReport::CopyText() const {
  return ListRowsCsv(
      ListViewRows, engine::rcColumnCount, [](int c) { return std::wstring(engine::ReportColumnCaption(c)); },
      [this](int row, int c) { return engine::ReportCellText(FReport.Entries[FShown[static_cast<size_t>(row)]], c); });
}

std::wstring TFormReport::SaveText() const { return engine::ReportCsvText(FReport, FShown); }

void TFormReport::ButtonCopyClick(ui::Control*) { CopyCsvText(Handle(), FPrompts, CopyText()); }

void TFormReport::ButtonSaveClick(ui::Control*) { SaveCsvText(SaveDialogEx, Handle(), FPrompts, SaveText()); }

}  // namespace app
