// What the shell's folder browser shows: its selected folder, its texts, its OK button and its place.
#pragma once
#include "Base.h"
#include <string>
#include <vector>

namespace testsupport {

struct BrowseDialogView {
  std::wstring selected;              // text of the tree's selected item
  std::vector<std::wstring> statics;  // texts of the dialog's static controls (caption, status line)
  bool okEnabled = false;
  RECT rect{};
  bool Shows(const std::wstring& text) const;
};
BrowseDialogView ReadBrowseDialog(HWND dialog);

// Lists the folder and every folder above it once. Wine's folder browser finds the folder to select
// by comparing item ids that carry the last-access time, and the first listing of a folder made or
// changed moments ago moves that time: settled first, a new folder is found like an old one.
void SettleFolder(const std::wstring& path);

// The display name the shell gives a special folder (CSIDL_DRIVES, CSIDL_DESKTOP).
std::wstring SpecialFolderDisplayName(int csidl);

}  // namespace testsupport
