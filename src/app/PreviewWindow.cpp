// The preview window: the list of what a run would do, its filling, sorting, copy and save.
#include "app/PreviewWindow.h"
#include "app/CsvCommands.h"
#include "app/HelpTopics.h"
#include <algorithm>

namespace app {

namespace {

constexpr int kMargin = 8, kButtonWidth = 84, kButtonHeight = 25, kGap = 6;
constexpr int kDefaultClientWidth = 900, kDefaultClientHeight = 420;
// Least window size: every button and the progress text keep their room.
constexpr int kLeastWidth = 520, kLeastHeight = 240;

std::vector<ui::ListView::Column> Columns() {
  std::vector<ui::ListView::Column> columns;
  for (int c = 0; c < engine::pcColumnCount; ++c) {
    ui::ListView::Column column;
    column.Caption = engine::PreviewColumnCaption(c);
    // Wide enough for each caption and a time in full.
    column.Width = c == engine::pcPath ? 240 : c == engine::pcNote ? 220 : c >= engine::pcAttr ? 84 : 124;
    columns.push_back(column);
  }
  return columns;
}

}  // namespace

TFormPreview::TFormPreview(HWND owner, const engine::IChangeTargets& targets, const engine::ChangePlan& plan,
                           const TPrompts& prompts)
    : FPreview(targets, plan), FPrompts(prompts) {
  FClassName = L"TFormPreview";
  CreateForm(L"変更内容の確認", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, 0,
             kDefaultClientWidth, kDefaultClientHeight, owner);
  SetLeastSize(kLeastWidth, kLeastHeight);
  HelpTopic = kHelpTopicPreview;
  KeyPreview = true;

  // Creation order is the tab order.
  ListViewRows.Create(this, kMargin, kMargin, 100, 100, Columns());
  ListViewRows.OnCellText = [this](int row, int column) { return FPreview.CellText(row, column); };
  ListViewRows.OnColumnClick = [this](ui::ListView* s, int column) { ListViewRowsColumnClick(s, column); };
  LabelProgress.Create(this, kMargin, 0, 200, 14, L"");
  ButtonStop.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"中止(&T)");
  ButtonStop.OnClick = [this](ui::Control* s) { ButtonStopClick(s); };
  ButtonCopy.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"コピー(&C)");
  ButtonCopy.OnClick = [this](ui::Control* s) { ButtonCopyClick(s); };
  ButtonSave.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"保存(&V)...");
  ButtonSave.OnClick = [this](ui::Control* s) { ButtonSaveClick(s); };
  ButtonStart.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"開始(&S)");
  ButtonStart.ModalResult = ui::mrOk;
  ButtonClose.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"閉じる");
  ButtonClose.ModalResult = ui::mrCancel;
  ButtonClose.SetCancel(true);
  SetDefaultButton(&ButtonClose);

  SetUpCsvSaveDialog(SaveDialogEx, Handle());

  FillTimer.SetInterval(1);
  FillTimer.OnTimer = [this](ui::Control* s) { FillTimerTimer(s); };
  ListViewRows.SetRowCount(FPreview.Count());
  ShowProgress();
  Layout();
}

TFormPreview::~TFormPreview() { FillTimer.SetEnabled(false); }

void TFormPreview::CenterOn(const RECT& b) {
  SetPosition(b.left + (b.right - b.left - Width()) / 2, b.top + (b.bottom - b.top - Height()) / 2);
  ui::FitWindowOnScreen(Handle());
}

void TFormPreview::Layout() {
  if (!ButtonClose.Handle()) return;  // still being built
  const int cw = ClientWidth(), ch = ClientHeight();
  const int buttonsTop = ch - kMargin - kButtonHeight;
  const int progressTop = buttonsTop - kGap - kButtonHeight;
  ListViewRows.SetBounds(kMargin, kMargin, std::max(0, cw - 2 * kMargin), std::max(0, progressTop - kGap - kMargin));
  ButtonStop.SetBounds(cw - kMargin - kButtonWidth, progressTop, kButtonWidth, kButtonHeight);
  LabelProgress.SetBounds(kMargin, progressTop + 6, std::max(0, cw - 3 * kMargin - kButtonWidth), 14);
  ButtonCopy.SetBounds(kMargin, buttonsTop, kButtonWidth, kButtonHeight);
  ButtonSave.SetBounds(kMargin + kButtonWidth + kGap, buttonsTop, kButtonWidth, kButtonHeight);
  ButtonClose.SetBounds(cw - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
  ButtonStart.SetBounds(cw - kMargin - 2 * kButtonWidth - kGap, buttonsTop, kButtonWidth, kButtonHeight);
  Invalidate();
}

LRESULT TFormPreview::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) Layout();
      break;
    default:
      break;
  }
  return ui::Form::WndProc(msg, wp, lp);
}

void TFormPreview::DoShow() {
  if (!FPreview.Complete() && !FStopped) {
    FFillPace.Reset();
    FillTimer.SetEnabled(true);
  } else {
    ButtonStop.SetEnabled(false);
  }
  ListViewRows.SetFocus();
}

void TFormPreview::DoKeyDown(WORD& key, unsigned shift) {
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

void TFormPreview::DoClose(ui::CloseAction& action) {
  FillTimer.SetEnabled(false);
  (void)action;
}

// ---- filling ----

void TFormPreview::FillTimerTimer(ui::Control*) {
  // Batches until the pace says the window's messages are due. While no key, click or message waits,
  // the rows and the progress are drawn at once and the work goes on, up to kFillTickMs: the gaps
  // between the timer's ticks would otherwise add a good part to the time a long list takes.
  const uint64_t start = comm::Ticks();
  bool more = true;
  for (;;) {
    FFillPace.Reset();
    FFillPace.Due();
    do more = FPreview.Step(kFillBatch);
    while (more && !FFillPace.Due());
    if (!more || comm::Ticks() - start >= kFillTickMs ||
        HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0)
      break;
    ListViewRows.RefreshRows();
    ShowProgress();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  if (!more) StopFilling();
  ListViewRows.RefreshRows();
  ShowProgress();
}

void TFormPreview::StopFilling() {
  if (!FillTimer.Enabled()) return;
  FillTimer.SetEnabled(false);
  if (ButtonStop.Handle()) ButtonStop.SetEnabled(false);
  // Rows worked out since a sort were placed as unread: the order is made again over every row.
  if (FPreview.SortColumn() >= 0) {
    FPreview.SortBy(FPreview.SortColumn(), FPreview.SortAscending());
    ListViewRows.SetRowCount(FPreview.Count());
  }
}

void TFormPreview::ShowProgress() {
  std::wstring text = std::to_wstring(FPreview.Done()) + L" / " + std::to_wstring(FPreview.Count()) + L" 件を確認しました";
  if (FStopped) text += L"（確認を中止しました）";
  LabelProgress.SetCaption(text);
}

void TFormPreview::ButtonStopClick(ui::Control*) {
  if (FPreview.Complete()) return;
  FStopped = true;
  const bool focused = GetFocus() == ButtonStop.Handle();
  StopFilling();
  if (focused) ListViewRows.SetFocus();
  ListViewRows.RefreshRows();
  ShowProgress();
}

// ---- sorting ----

void TFormPreview::ListViewRowsColumnClick(ui::ListView*, int column) {
  const bool ascending = FPreview.SortColumn() == column ? !FPreview.SortAscending() : true;
  FPreview.SortBy(column, ascending);
  ListViewRows.SetSortMark(column, ascending);
  // The selection named rows by their places, which now hold others.
  ListViewRows.SetRowCount(FPreview.Count());
}

// ---- copy and save ----

std::wstring TFormPreview::CopyText() const {
  if (ListViewRows.SelectedRows().empty()) return FPreview.CsvText();
  return ListRowsCsv(
      ListViewRows, engine::pcColumnCount, [](int c) { return std::wstring(engine::PreviewColumnCaption(c)); },
      [this](int row, int c) { return FPreview.CellText(row, c); });
}

void TFormPreview::ButtonCopyClick(ui::Control*) { CopyCsvText(Handle(), FPrompts, CopyText()); }

void TFormPreview::ButtonSaveClick(ui::Control*) { SaveCsvText(SaveDialogEx, Handle(), FPrompts, FPreview.CsvText()); }

}  // namespace app
