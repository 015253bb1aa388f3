// The list windows' shared list, keys, copy and save.
#include "app/RowsWindow.h"
#include "comm/Csv.h"
#include "comm/ErrorText.h"
#include "comm/FileBytes.h"
#include "comm/Scoped.h"
#include <algorithm>
#include <cstring>

namespace app {

namespace {

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

void TFormRows::CreateList(const std::vector<ui::ListView::Column>& columns) {
  ListViewRows.Create(this, 0, 0, 100, 100, columns);
  ListViewRows.AccessibleName = Caption();  // the list is what the window shows
  ListViewRows.OnCellText = [this](int row, int column) { return CellText(row, column); };
}

void TFormRows::CreateCopyAndSave() {
  ButtonCopy.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"コピー(&C)");
  ButtonCopy.OnClick = [this](ui::Control* s) { ButtonCopyClick(s); };
  ButtonSave.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"保存(&V)...");
  ButtonSave.OnClick = [this](ui::Control* s) { ButtonSaveClick(s); };
  SaveDialogEx.Filter = L"CSV ファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*";
  SaveDialogEx.DefaultExt = L"csv";
  SaveDialogEx.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  SaveDialogEx.OnSetLeftTop = [this](shell::TFileDialogEx*, int& left, int& top, int, int) {
    shell::PlaceBelowCaption(Handle(), left, top);
  };
}

void TFormRows::CreateClose() {
  ButtonClose.Create(this, 0, 0, kButtonWidth, kButtonHeight, L"閉じる");
  ButtonClose.ModalResult = ui::mrCancel;
  ButtonClose.SetCancel(true);
  SetDefaultButton(&ButtonClose);
}

int TFormRows::PlaceButtonRow() {
  const ui::TDpi dpi = Dpi();
  const int margin = dpi.Scale(kMargin), width = dpi.Scale(kButtonWidth), height = dpi.Scale(kButtonHeight);
  const int top = ClientHeight() - margin - height;
  ButtonCopy.SetBounds(margin, top, width, height);
  ButtonSave.SetBounds(margin + width + dpi.Scale(kGap), top, width, height);
  ButtonClose.SetBounds(ClientWidth() - margin - width, top, width, height);
  return top;
}

LRESULT TFormRows::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // Not before the window is built (its first size arrives while it is made).
  if (msg == WM_SIZE && wp != SIZE_MINIMIZED && ButtonClose.Handle()) Layout();
  return ui::Form::WndProc(msg, wp, lp);
}

void TFormRows::DoDpiChanged() {
  if (ButtonClose.Handle()) Layout();
}

void TFormRows::CenterOn(const RECT& b) {
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

void TFormRows::DoKeyDown(WORD& key, unsigned shift) {
  if ((shift & (ui::ssCtrl | ui::ssShift | ui::ssAlt)) != ui::ssCtrl || GetFocus() != ListViewRows.Handle()) return;
  if (key == 'A') {
    ListViewRows.SelectAll();
    key = 0;
  } else if (key == 'C') {
    ButtonCopyClick(&ButtonCopy);
    key = 0;
  }
}

std::wstring TFormRows::RowsText(const std::vector<int>& rows) const {
  return comm::CsvTableText(
      ColumnCount(), rows.size(), [this](int c) { return ColumnCaption(c); },
      [&](size_t row, int c) { return CellText(rows[row], c); });
}

std::wstring TFormRows::SaveText() const {
  std::vector<int> rows(static_cast<size_t>(std::max(ListViewRows.RowCount(), 0)));
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  return RowsText(rows);
}

std::wstring TFormRows::CopyText() const {
  const std::vector<int> selected = ListViewRows.SelectedRows();
  return selected.empty() ? SaveText() : RowsText(selected);
}

void TFormRows::ButtonCopyClick(ui::Control*) {
  bool copied = false;
  if (!PutText(Handle(), CopyText(), copied))
    FPrompts.ShowError(Handle(), L"クリップボードを開くことができません");
  else if (!copied)
    FPrompts.ShowError(Handle(), L"クリップボードにコピーできませんでした");
}

void TFormRows::ButtonSaveClick(ui::Control*) {
  SaveDialogEx.FilterIndex = 1;
  if (!SaveDialogEx.Execute(Handle())) return;
  const std::wstring file = SaveDialogEx.FileName;
  const comm::TReplaceBytesOutcome saved = comm::comm_ReplaceFileBytes(file, comm::CsvFileBytes(SaveText()));
  if (saved.Result == comm::rpFailed) {
    std::wstring text = L"ファイル " + file + L" を作成できません";
    if (const std::wstring reason = comm::SystemErrorText(saved.Error); !reason.empty()) text += L"\r" + reason;
    FPrompts.ShowError(Handle(), text);
    return;
  }
  FPrompts.Inform(Handle(), file + L" に保存しました。");
}

}  // namespace app
