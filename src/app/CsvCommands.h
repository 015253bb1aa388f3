// Copying and saving the rows of a list window as CSV: what the preview and the run report share.
#pragma once
#include "Base.h"
#include "app/Prompts.h"
#include "shell/PlacedFileDialog.h"
#include "ui/ViewControls.h"
#include <functional>
#include <string>

namespace app {

// The rows to copy from a list: the selected ones in the order shown, or every row when none is
// selected, as CSV text with the head line.
std::wstring ListRowsCsv(const ui::ListView& list, int columns, const std::function<std::wstring(int column)>& caption,
                         const std::function<std::wstring(int row, int column)>& cell);
// Puts the text on the clipboard (CF_UNICODETEXT); a failure is shown.
void CopyCsvText(HWND owner, const TPrompts& prompts, const std::wstring& text);
// The save dialog set for CSV files, placed below the caption of the window it belongs to.
void SetUpCsvSaveDialog(shell::TSaveDialogEx& dialog, HWND owner);
// Asks for a file and writes the text there as CSV (UTF-8 behind a byte-order mark); the user is told
// how it went.
void SaveCsvText(shell::TSaveDialogEx& dialog, HWND owner, const TPrompts& prompts, const std::wstring& text);

}  // namespace app
