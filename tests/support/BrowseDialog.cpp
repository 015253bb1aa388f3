// What the shell's folder browser shows: its selected folder, its texts, its OK button and its place.
#include "support/BrowseDialog.h"
#include <algorithm>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace testsupport {

bool BrowseDialogView::Shows(const std::wstring& text) const {
  return std::find(statics.begin(), statics.end(), text) != statics.end();
}

BrowseDialogView ReadBrowseDialog(HWND dlg) {
  BrowseDialogView v;
  HWND tree = FindWindowExW(dlg, nullptr, WC_TREEVIEWW, nullptr);
  wchar_t text[MAX_PATH] = L"";
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (item.hItem && SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) v.selected = text;
  for (HWND c = FindWindowExW(dlg, nullptr, L"Static", nullptr); c; c = FindWindowExW(dlg, c, L"Static", nullptr)) {
    GetWindowTextW(c, text, MAX_PATH);
    v.statics.push_back(text);
  }
  v.okEnabled = IsWindowEnabled(GetDlgItem(dlg, IDOK)) != FALSE;
  GetWindowRect(dlg, &v.rect);
  return v;
}

void SettleFolder(const std::wstring& path) {
  std::wstring folder = path;
  while (!folder.empty()) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      while (FindNextFileW(h, &data)) {
      }
      FindClose(h);
    }
    const size_t slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3) break;
    folder.resize(slash);
  }
}

std::wstring SpecialFolderDisplayName(int csidl) {
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl))) return std::wstring();
  std::wstring result;
  PWSTR name = nullptr;
  if (SUCCEEDED(SHGetNameFromIDList(pidl, SIGDN_NORMALDISPLAY, &name))) {
    result = name;
    CoTaskMemFree(name);
  }
  CoTaskMemFree(pidl);
  return result;
}

}  // namespace testsupport
