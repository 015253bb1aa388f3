// The copy and save commands of the list windows.
#include "app/CsvCommands.h"
#include "comm/Csv.h"
#include "comm/ErrorText.h"
#include "comm/FileBytes.h"
#include "comm/Scoped.h"
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

std::wstring ListRowsCsv(const ui::ListView& list, int columns, const std::function<std::wstring(int column)>& caption,
                         const std::function<std::wstring(int row, int column)>& cell) {
  std::vector<int> rows = list.SelectedRows();
  if (rows.empty()) {
    rows.resize(static_cast<size_t>(std::max(list.RowCount(), 0)));
    for (size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  }
  return comm::CsvTableText(columns, rows.size(), caption,
                            [&](size_t row, int column) { return cell(rows[row], column); });
}

void CopyCsvText(HWND owner, const TPrompts& prompts, const std::wstring& text) {
  bool copied = false;
  if (!PutText(owner, text, copied))
    prompts.ShowError(owner, L"クリップボードを開くことができません");
  else if (!copied)
    prompts.ShowError(owner, L"クリップボードにコピーできませんでした");
}

void SetUpCsvSaveDialog(shell::TSaveDialogEx& dialog, HWND owner) {
  dialog.Filter = L"CSV ファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*";
  dialog.DefaultExt = L"csv";
  dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  dialog.OnSetLeftTop = [owner](shell::TFileDialogEx*, int& left, int& top, int, int) {
    shell::PlaceBelowCaption(owner, left, top);
  };
}

void SaveCsvText(shell::TSaveDialogEx& dialog, HWND owner, const TPrompts& prompts, const std::wstring& text) {
  dialog.FilterIndex = 1;
  if (!dialog.Execute(owner)) return;
  const std::wstring file = dialog.FileName;
  const comm::TReplaceBytesOutcome saved = comm::comm_ReplaceFileBytes(file, comm::CsvFileBytes(text));
  if (saved.Result == comm::rpFailed) {
    std::wstring message = L"ファイル " + file + L" を作成できません";
    if (const std::wstring reason = comm::SystemErrorText(saved.Error); !reason.empty()) message += L"\r" + reason;
    prompts.ShowError(owner, message);
    return;
  }
  prompts.Inform(owner, file + L" に保存しました。");
}

}  // namespace app
