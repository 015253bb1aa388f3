// The preview window: the list of what a run would do, its filling, sorting, copy and save.
#include "app/PreviewWindow.h"
#include "app/HelpTopics.h"
#include "comm/Csv.h"
#include "comm/ErrorText.h"
#include "comm/FileBytes.h"
#include "comm/Scoped.h"
#include <algorithm>
#include <cstring>

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

// Puts the text on the clipboard as CF_UNICODETEXT; false when the clipboard could not be opened.
bool PutText(HWND owner, const std::wstring& text, bool& copied) {
  copied = false;
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  comm::TGlobalMem mem(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!mem) return true;
  if (void* p = GlobalLock(mem.Get())) {
    std::memcpy(p, text.c_str(), bytes);
    GlobalUnlock(mem.Get());
  } else {
    return true;
  }
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  // Once set, the block belongs to the clipboard.
  copied = SetClipboardData(CF_UNICODETEXT, mem.Get()) != nullptr;
  if (copied) mem.Release();
  CloseClipboard();
  return true;
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

  SaveDialogEx.Filter = L"CSV ファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*";
  SaveDialogEx.DefaultExt = L"csv";
  SaveDialogEx.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  SaveDialogEx.OnSetLeftTop = [this](shell::TFileDialogEx*, int& left, int& top, int, int) {
    shell::PlaceBelowCaption(Handle(), left, top);
  };

  FillTimer.SetInterval(1);
  FillTimer.OnTimer = [this](ui::Control* s) { FillTimerTimer(s); };
  ListViewRows.SetRowCount(FPreview.Count());
  ShowProgress();
  Layout();
}

TFormPreview::~TFormPreview() { FillTimer.SetEnabled(false); }

void TFormPreview::CenterOn(const RECT& b) {
  // At a large display scale the window's size may exceed the screen: it takes the work area then.
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(MonitorFromRect(&b, MONITOR_DEFAULTTONEAREST), &mi)) {
    const int w = std::min<int>(Width(), mi.rcWork.right - mi.rcWork.left);
    const int h = std::min<int>(Height(), mi.rcWork.bottom - mi.rcWork.top);
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  }
  SetPosition(b.left + (b.right - b.left - Width()) / 2, b.top + (b.bottom - b.top - Height()) / 2);
  ui::FitWindowOnScreen(Handle());
}

void TFormPreview::Layout() {
  if (!ButtonClose.Handle()) return;  // still being built
  const ui::TDpi dpi = Dpi();
  const int cw = ClientWidth(), ch = ClientHeight();
  const int margin = dpi.Scale(kMargin), gap = dpi.Scale(kGap);
  const int buttonWidth = dpi.Scale(kButtonWidth), buttonHeight = dpi.Scale(kButtonHeight);
  const int buttonsTop = ch - margin - buttonHeight;
  const int progressTop = buttonsTop - gap - buttonHeight;
  ListViewRows.SetBounds(margin, margin, std::max(0, cw - 2 * margin), std::max(0, progressTop - gap - margin));
  ButtonStop.SetBounds(cw - margin - buttonWidth, progressTop, buttonWidth, buttonHeight);
  LabelProgress.SetBounds(margin, progressTop + dpi.Scale(6), std::max(0, cw - 3 * margin - buttonWidth), dpi.Scale(14));
  ButtonCopy.SetBounds(margin, buttonsTop, buttonWidth, buttonHeight);
  ButtonSave.SetBounds(margin + buttonWidth + gap, buttonsTop, buttonWidth, buttonHeight);
  ButtonClose.SetBounds(cw - margin - buttonWidth, buttonsTop, buttonWidth, buttonHeight);
  ButtonStart.SetBounds(cw - margin - 2 * buttonWidth - gap, buttonsTop, buttonWidth, buttonHeight);
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
  const std::vector<int> selected = ListViewRows.SelectedRows();
  if (selected.empty()) return FPreview.CsvText();
  std::wstring text;
  std::vector<std::wstring> fields(engine::pcColumnCount);
  for (int c = 0; c < engine::pcColumnCount; ++c) fields[static_cast<size_t>(c)] = engine::PreviewColumnCaption(c);
  comm::AppendCsvRow(text, fields);
  for (const int row : selected) {
    for (int c = 0; c < engine::pcColumnCount; ++c) fields[static_cast<size_t>(c)] = FPreview.CellText(row, c);
    comm::AppendCsvRow(text, fields);
  }
  return text;
}

void TFormPreview::ButtonCopyClick(ui::Control*) {
  bool copied = false;
  if (!PutText(Handle(), CopyText(), copied))
    FPrompts.ShowError(Handle(), L"クリップボードを開くことができません");
  else if (!copied)
    FPrompts.ShowError(Handle(), L"クリップボードにコピーできませんでした");
}

void TFormPreview::ButtonSaveClick(ui::Control*) {
  SaveDialogEx.FilterIndex = 1;
  if (!SaveDialogEx.Execute(Handle())) return;
  const std::wstring file = SaveDialogEx.FileName;
  const comm::TReplaceBytesOutcome saved = comm::comm_ReplaceFileBytes(file, comm::CsvFileBytes(FPreview.CsvText()));
  if (saved.Result == comm::rpFailed) {
    std::wstring text = L"ファイル " + file + L" を作成できません";
    if (const std::wstring reason = comm::SystemErrorText(saved.Error); !reason.empty()) text += L"\r" + reason;
    FPrompts.ShowError(Handle(), text);
    return;
  }
  FPrompts.Inform(Handle(), file + L" に保存しました。");
}

}  // namespace app
