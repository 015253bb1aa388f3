// The preview window: the list of what a run would do, its filling, sorting, copy and save.
#include "app/PreviewWindow.h"
#include "app/HelpTopics.h"
#include <algorithm>

namespace app {

namespace {

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
    : TFormRows(prompts), FPreview(targets, plan) {
  FClassName = L"TFormPreview";
  CreateForm(L"変更内容の確認", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX, 0,
             kDefaultClientWidth, kDefaultClientHeight, owner);
  SetLeastSize(kLeastWidth, kLeastHeight);
  HelpTopic = kHelpTopicPreview;
  KeyPreview = true;

  // Creation order is the tab order.
  CreateList(Columns());
  ListViewRows.OnColumnClick = [this](ui::ListView* s, int column) { ListViewRowsColumnClick(s, column); };
  LabelProgress.Create(this, kMargin, 0, 200, 14, L"");
  ButtonStop.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"中止(&T)");
  ButtonStop.OnClick = [this](ui::Control* s) { ButtonStopClick(s); };
  CreateCopyAndSave();
  ButtonStart.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"開始(&S)");
  ButtonStart.ModalResult = ui::mrOk;
  CreateClose();

  FillTimer.SetInterval(1);
  FillTimer.OnTimer = [this](ui::Control* s) { FillTimerTimer(s); };
  ListViewRows.SetRowCount(FPreview.Count());
  ShowProgress();
  Layout();
}

TFormPreview::~TFormPreview() { FillTimer.SetEnabled(false); }

void TFormPreview::Layout() {
  const ui::TDpi dpi = Dpi();
  const int cw = ClientWidth();
  const int margin = dpi.Scale(kMargin), gap = dpi.Scale(kGap);
  const int buttonWidth = dpi.Scale(kButtonWidth), buttonHeight = dpi.Scale(kButtonHeight);
  const int buttonsTop = PlaceButtonRow();
  const int progressTop = buttonsTop - gap - buttonHeight;
  ListViewRows.SetBounds(margin, margin, std::max(0, cw - 2 * margin), std::max(0, progressTop - gap - margin));
  ButtonStop.SetBounds(cw - margin - buttonWidth, progressTop, buttonWidth, buttonHeight);
  LabelProgress.SetBounds(margin, progressTop + dpi.Scale(6), std::max(0, cw - 3 * margin - buttonWidth), dpi.Scale(14));
  ButtonStart.SetBounds(cw - margin - 2 * buttonWidth - gap, buttonsTop, buttonWidth, buttonHeight);
  Invalidate();
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

}  // namespace app
