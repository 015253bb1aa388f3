// TSHBrowseForFolderEx: the shell's folder browser with a root, a first selection, a placement and a status line.
#pragma once
#include "Base.h"
#include <shlobj.h>
#include <functional>
#include <string>

namespace ui {
class Form;
}

namespace shell {

// The top of the tree and the folder selected at opening: a special folder, or the path in the
// matching name property (the manual member). Both have the same members in the same order.
enum TRootFolder {
  rfDesktop, rfManual, rfDrives, rfDesktopDir, rfFavorites, rfPrograms, rfRecent, rfSendTo, rfStartMenu, rfStartup,
  rfTemplates
};
enum TSelectFolder {
  sfDesktop, sfManual, sfDrives, sfDesktopDir, sfFavorites, sfPrograms, sfRecent, sfSendTo, sfStartMenu, sfStartup,
  sfTemplates
};
// The shell's folder id (CSIDL) of a member's ordinal; the manual member's is the desktop, its fallback.
int SpecialFolderOf(int ordinal);

// Options of the dialog, as bits of a set (1 << option).
enum TSHBrowseOption {
  sboDontGoBelowDomain = 0,
  sboReturnFSAncestors = 1,
  sboReturnOnlyFSDirs = 2,
  sboStatusTextAndShowPath = 3,  // a status line that shows the selected folder's path
  sboStatusText = 4,             // a status line for the text OnSelectionChanged gives
};
using TSHBrowseOptions = unsigned;
constexpr TSHBrowseOptions BrowseOption(TSHBrowseOption o) { return 1u << o; }
// The dialog's flags for a set of options, taken in bit order; showPath tells whether the status line
// shows the selected path (the path option ends the scan, so the plain status option is then not read).
UINT BrowseFlags(TSHBrowseOptions options, bool& showPath);

// Where the dialog opens: the shell's place, centred on the work area, at the owner's client origin.
enum TShowStyle { ssNone = 0, ssCenterScreen = 1, ssClient = 2 };
// x = (work-area width - window width) / 2, y = (work-area height - window height) / 3, both
// truncated toward zero and measured from the screen's origin (the work area's own left and top are
// not added).
POINT CenterOnWorkAreaPosition(const RECT& workArea, const RECT& window);
// Moves the window there, keeping its size and z-order; nothing when the work area cannot be read.
void CenterOnWorkArea(HWND window);
// Moves the window's top-left corner onto the screen position of the form's client origin.
void PlaceAtClientOrigin(HWND form, HWND window);

// What OnSelectionChanged does to the OK button.
enum TOKButtonState { obsNoChange = 0, obsEnable = 1, obsDisable = 2 };

class TSHBrowseForFolderEx;
// Raised at every change of the selection: path is the selected item's file-system path (empty when it
// has none); showText (empty at first) is the status line's text; okButtonState (obsNoChange at first)
// enables or disables the OK button.
using TSHBrowseEvent = std::function<void(TSHBrowseForFolderEx* sender, HWND wnd, const std::wstring& path,
                                          std::wstring& showText, TOKButtonState& okButtonState)>;

// Setting a property only stores it; everything happens in Execute. Every object the shell hands out
// during Execute is released before it returns.
class TSHBrowseForFolderEx {
 public:
  // owner: the form the dialog belongs to; the dialog is modal over it (else over the main form) and
  // ssClient places it on its client area.
  explicit TSHBrowseForFolderEx(ui::Form* owner = nullptr) : FOwner(owner) {}
  virtual ~TSHBrowseForFolderEx() = default;
  TSHBrowseForFolderEx(const TSHBrowseForFolderEx&) = delete;
  TSHBrowseForFolderEx& operator=(const TSHBrowseForFolderEx&) = delete;

  std::wstring Caption;  // text above the tree
  TRootFolder RootFolder = rfDesktop;
  std::wstring RootFolderName;
  TSelectFolder SelectFolder = sfDrives;
  std::wstring SelectFolderName;
  TSHBrowseOptions Options = BrowseOption(sboReturnOnlyFSDirs);
  TShowStyle ShowStyle = ssClient;
  TSHBrowseEvent OnSelectionChanged;

  // Shows the dialog modally: true when the user chose a folder (SelectedPath and DisplayName are
  // then set), false on cancel or when the dialog cannot be prepared.
  virtual bool Execute();
  // Calls OnSelectionChanged with this component as the sender, when it is set.
  virtual void SelectionChanged(HWND wnd, const std::wstring& path, std::wstring& showText,
                                TOKButtonState& okButtonState);

  // The chosen folder's path, whole (empty when the chosen item has none) and its display name; both
  // emptied at the start of every Execute.
  const std::wstring& SelectedPath() const { return FSelectedPath; }
  const std::wstring& DisplayName() const { return FDisplayName; }
  // The dialog's window while it is shown, else null (tests drive the dialog through it).
  HWND DialogWnd() const { return FDialogWnd; }

 private:
  static int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM param, LPARAM data);
  void Callback(HWND wnd, UINT msg, LPARAM param);
  // Selects the first folder when the dialog opens; leaves OK disabled when nothing could be selected.
  void SelectFirstFolder(HWND wnd);
  HWND OwnerWindow() const;

  ui::Form* FOwner;
  std::wstring FSelectedPath, FDisplayName;
  LPCITEMIDLIST FSelectPidl = nullptr;  // during Execute: the folder to select at opening
  bool FShowPathText = false;
  HWND FDialogWnd = nullptr;
};

}  // namespace shell
