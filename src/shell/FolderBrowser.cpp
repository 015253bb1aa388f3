// TSHBrowseForFolderEx: item id lists of the root and first selection, the dialog, its callback and placement.
#include "shell/FolderBrowser.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "comm/Scoped.h"
#include <commctrl.h>
#include <shobjidl.h>

namespace shell {

namespace {

using UniquePidl = comm::TCoTaskMem<ITEMIDLIST>;

// The item's file-system path, whole; empty when it has none.
std::wstring PathOfIdList(LPCITEMIDLIST pidl) {
  if (!pidl) return std::wstring();
  comm::TCoTaskMem<wchar_t> path;
  if (FAILED(SHGetNameFromIDList(pidl, SIGDN_FILESYSPATH, path.Put())) || !path) return std::wstring();
  return path.Get();
}

// The item is a folder, or has folders below it.
bool IsFolderItem(LPCITEMIDLIST pidl) {
  comm::TComPtr<IShellFolder> parent;
  LPCITEMIDLIST child = nullptr;
  if (FAILED(SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child))) return false;
  SFGAOF attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
  if (FAILED(parent->GetAttributesOf(1, &child, &attributes))) return false;
  return (attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER)) != 0;
}

// Lists the folder and every folder above it. Wine's folder browser finds the folder to select by
// comparing item ids that carry each folder's times, and the first listing of a folder changed since
// it was last listed moves its last-access time: the ids parsed before the tree lists the folders
// would then match none of its items, and nothing would be selected.
void ListFolderAndParents(const std::wstring& path) {
  std::wstring folder = path;
  while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  for (;;) {
    WIN32_FIND_DATAW data;
    const comm::TUniqueFind h(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (h) {
      while (FindNextFileW(h.Get(), &data)) {
      }
    }
    // Up to the folder below the drive's root ("C:\a"); a share's root is tried once and refused.
    const size_t slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash < 3) break;
    folder.resize(slash);
  }
}

// The list of a member: the named path when the member is the manual one and the path names a folder,
// else the member's special folder (the desktop for the manual member).
UniquePidl FolderIdList(IShellFolder* desktop, int ordinal, const std::wstring& name, HWND owner) {
  if (ordinal == rfManual && !name.empty()) {
    ListFolderAndParents(name);
    std::wstring text = name;  // ParseDisplayName takes a writable string
    LPITEMIDLIST parsed = nullptr;
    ULONG eaten = 0;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, text.data(), &eaten, &parsed, nullptr)) && parsed) {
      UniquePidl p(parsed);
      if (IsFolderItem(p.Get())) return p;
    }
  }
  LPITEMIDLIST special = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, SpecialFolderOf(ordinal), &special))) return {};
  return UniquePidl(special);
}

}  // namespace

int SpecialFolderOf(int ordinal) {
  static const int ids[] = {CSIDL_DESKTOP,   CSIDL_DESKTOP,  CSIDL_DRIVES, CSIDL_DESKTOPDIRECTORY,
                            CSIDL_FAVORITES, CSIDL_PROGRAMS, CSIDL_RECENT, CSIDL_SENDTO,
                            CSIDL_STARTMENU, CSIDL_STARTUP,  CSIDL_TEMPLATES};
  if (ordinal < 0 || ordinal >= static_cast<int>(std::size(ids))) return CSIDL_DESKTOP;
  return ids[ordinal];
}

UINT BrowseFlags(TSHBrowseOptions options, bool& showPath) {
  static const UINT flags[] = {BIF_DONTGOBELOWDOMAIN, BIF_RETURNFSANCESTORS, BIF_RETURNONLYFSDIRS, BIF_STATUSTEXT,
                               BIF_STATUSTEXT};
  showPath = false;
  UINT result = 0;
  for (int bit = 0; bit < 5; ++bit) {
    if (!(options & (1u << bit))) continue;
    result |= flags[bit];
    if (bit == sboStatusTextAndShowPath) {
      showPath = true;
      break;
    }
  }
  return result;
}

POINT CenterOnWorkAreaPosition(const RECT& workArea, const RECT& window) {
  const LONG w = window.right - window.left, h = window.bottom - window.top;
  return POINT{(workArea.right - workArea.left - w) / 2, (workArea.bottom - workArea.top - h) / 3};
}

void CenterOnWorkArea(HWND window) {
  RECT r{}, workArea{};
  if (!GetWindowRect(window, &r) || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) return;
  const POINT p = CenterOnWorkAreaPosition(workArea, r);
  SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void PlaceAtClientOrigin(HWND form, HWND window) {
  POINT origin{0, 0};
  if (!ClientToScreen(form, &origin)) return;
  SetWindowPos(window, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

HWND TSHBrowseForFolderEx::OwnerWindow() const {
  if (FOwner && FOwner->Handle()) return FOwner->Handle();
  ui::Form* main = ui::Application::Instance().MainForm();
  return main ? main->Handle() : nullptr;
}

bool TSHBrowseForFolderEx::Execute() {
  FSelectedPath.clear();
  FDisplayName.clear();
  comm::TComPtr<IShellFolder> desktop;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return false;
  const HWND owner = OwnerWindow();
  UniquePidl select = FolderIdList(desktop.Get(), SelectFolder, SelectFolderName, owner);
  UniquePidl root = FolderIdList(desktop.Get(), RootFolder, RootFolderName, owner);
  if (!root) return false;
  // The shell writes a display name of at most MAX_PATH characters here.
  std::wstring displayName(MAX_PATH + 1, L'\0');

  BROWSEINFOW bi{};
  bi.hwndOwner = owner;
  bi.pidlRoot = root.Get();
  bi.pszDisplayName = displayName.data();
  bi.lpszTitle = Caption.c_str();
  bi.ulFlags = BrowseFlags(Options, FShowPathText);
  bi.lpfn = &TSHBrowseForFolderEx::BrowseCallback;
  bi.lParam = reinterpret_cast<LPARAM>(this);

  // The owner is disabled for the whole call and given back its input and the foreground afterwards,
  // whatever happens inside.
  const bool disabled = owner && IsWindowEnabled(owner);
  comm::TScopeExit session([&] {
    FSelectPidl = nullptr;
    FDialogWnd = nullptr;
    if (disabled) {
      EnableWindow(owner, TRUE);
      SetForegroundWindow(owner);
    }
  });
  if (disabled) EnableWindow(owner, FALSE);
  FSelectPidl = select.Get();
  UniquePidl chosen;
  {
    ui::ModalScope modal;
    chosen.Reset(SHBrowseForFolderW(&bi));
  }
  if (!chosen) return false;
  FDisplayName = displayName.c_str();
  FSelectedPath = PathOfIdList(chosen.Get());
  return true;
}

void TSHBrowseForFolderEx::SelectionChanged(HWND wnd, const std::wstring& path, std::wstring& showText,
                                            TOKButtonState& okButtonState) {
  if (OnSelectionChanged) OnSelectionChanged(this, wnd, path, showText, okButtonState);
}

int CALLBACK TSHBrowseForFolderEx::BrowseCallback(HWND wnd, UINT msg, LPARAM param, LPARAM data) {
  auto* self = reinterpret_cast<TSHBrowseForFolderEx*>(data);
  if (!self) return 0;
  try {
    self->Callback(wnd, msg, param);
  } catch (...) {
    ui::Application::Instance().HandleException();
  }
  return 0;
}

void TSHBrowseForFolderEx::SelectFirstFolder(HWND wnd) {
  HWND tree = FindWindowExW(wnd, nullptr, WC_TREEVIEWW, nullptr);
  auto selected = [tree]() { return tree && SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) != 0; };
  if (FSelectPidl) SendMessageW(wnd, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(FSelectPidl));
  if (!selected() && FSelectPidl) {
    // The folder's ids no longer match the tree's (its times moved meanwhile): the dialog finds it
    // again by its path, parsed now.
    const std::wstring path = PathOfIdList(FSelectPidl);
    if (!path.empty()) SendMessageW(wnd, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
  }
  // With nothing selected the dialog would answer OK with the desktop: OK waits for a selection (the
  // dialog judges it again at each one).
  if (!selected()) SendMessageW(wnd, BFFM_ENABLEOK, 0, 0);
}

void TSHBrowseForFolderEx::Callback(HWND wnd, UINT msg, LPARAM param) {
  FDialogWnd = wnd;
  if (msg == BFFM_INITIALIZED) {
    // The status line starts empty. It is cleared before the first selection is made: the selection
    // reports itself at once (a BFFM_SELCHANGED inside BFFM_SETSELECTIONW), and its text must stay.
    SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(L""));
    // The selection stays visible while the OK button has the focus (not every tree shows it so).
    if (HWND tree = FindWindowExW(wnd, nullptr, WC_TREEVIEWW, nullptr))
      SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) | TVS_SHOWSELALWAYS);
    SelectFirstFolder(wnd);
    if (ShowStyle == ssCenterScreen) {
      CenterOnWorkArea(wnd);
    } else if (ShowStyle == ssClient && FOwner && FOwner->Handle()) {
      PlaceAtClientOrigin(FOwner->Handle(), wnd);
    }
    // Placed by its rule, the dialog is then kept wholly on the screen, buttons included.
    ui::FitWindowOnScreen(wnd);
    return;
  }
  std::wstring path, showText;
  TOKButtonState okButtonState = obsNoChange;
  if (msg == BFFM_SELCHANGED) {
    path = PathOfIdList(reinterpret_cast<LPCITEMIDLIST>(param));
    SelectionChanged(wnd, path, showText, okButtonState);
  }
  if (FShowPathText) showText = path;
  SendMessageW(wnd, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(showText.c_str()));
  if (okButtonState == obsEnable) SendMessageW(wnd, BFFM_ENABLEOK, 0, 1);
  else if (okButtonState == obsDisable) SendMessageW(wnd, BFFM_ENABLEOK, 0, 0);
}

}  // namespace shell
