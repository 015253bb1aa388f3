// File dialogs placed by their owner: the system's open and save dialogs with a placement event.
#pragma once
#include "Base.h"
#include <commdlg.h>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace shell {

class TFileDialogEx;
// Raised once per showing, when the dialog's frame is first positioned: left and top come in as the
// system's proposal (screen coordinates) and go out as the position to use. The dialog is then moved
// just enough to lie wholly on the screen (ui::FitOnScreen).
using TDialogSetLeftTopEvent =
    std::function<void(TFileDialogEx* sender, int& left, int& top, int width, int height)>;

// The position of a dialog that an owner window opens: at the owner's left edge, just below its
// caption (the owner's top + the height of a caption button + 1). Not clamped to the screen.
void PlaceBelowCaption(HWND owner, int& left, int& top);

// Widens every label of a dialog whose text is cut (a translation longer than the layout allowed for)
// into the control at its right on the same row, which gives up that much of its width but keeps at
// least half of it. Returns how many labels were widened.
int WidenCutLabels(HWND dialog);

class TFileDialogEx {
 public:
  virtual ~TFileDialogEx();

  std::wstring Title;       // empty: the system's own
  std::wstring Filter;      // "name|pattern|name|pattern"
  std::wstring InitialDir;  // empty: the system's choice
  std::wstring FileName;    // in: the proposed name; out: the first chosen file, whole
  // The filter chosen when the dialog opens (1: the first) and, after a confirmed Execute, the one
  // the user left chosen.
  DWORD FilterIndex = 1;
  // None (the default): a name typed without an extension is taken as it is. Set, even to "": such a
  // name gets, with a dot, the chosen filter's extension where the filter names one ("*.txt"), else
  // this one (so "" adds nothing under "*.*"), as the system's dialogs do.
  std::optional<std::wstring> DefaultExt;
  DWORD Options = 0;        // OFN_ flags beyond the Explorer style, the hook and the sizing
  TDialogSetLeftTopEvent OnSetLeftTop;

  // Shows the dialog modally over owner; true when the user confirmed. Files then holds every chosen
  // file, whole, in the dialog's order.
  bool Execute(HWND owner);
  const std::vector<std::wstring>& Files() const { return FFiles; }
  // The dialog's frame while it is shown (tests).
  HWND DialogWnd() const { return FDialogWnd; }

 protected:
  virtual BOOL Show(OPENFILENAMEW& ofn) = 0;

 private:
  static UINT_PTR CALLBACK HookProc(HWND hdlg, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK DialogWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void DoShow(HWND hookDialog);
  void DoClose();
  void GrowBuffer(OPENFILENAMEW& ofn);
  void ReadFiles();

  std::vector<wchar_t> FBuffer;
  std::vector<std::wstring> FFiles;
  HWND FDialogWnd = nullptr;
  bool FPlacePending = false;
  bool FFitPending = false;  // kept on the screen again when first shown, at its final size
  WNDPROC FOldWndProc = nullptr;
};

class TOpenDialogEx : public TFileDialogEx {
 protected:
  BOOL Show(OPENFILENAMEW& ofn) override { return GetOpenFileNameW(&ofn); }
};

class TSaveDialogEx : public TFileDialogEx {
 protected:
  BOOL Show(OPENFILENAMEW& ofn) override { return GetSaveFileNameW(&ofn); }
};

}  // namespace shell
