// A top-level window built from code: size, position, modal show, closing, keyboard preview, hints.
#pragma once
#include "ui/Control.h"
#include <functional>
#include <vector>

namespace ui {

class Button;
class PopupMenu;

enum ModalResultValue : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrClosed = 3 };
enum class CloseAction { None, Hide, Minimize };

class Form : public WinControl {
 public:
  Form();
  ~Form() override;

  // Makes the window, hidden. style is the frame (WS_CAPTION | WS_SYSMENU | ...); the client area
  // gets the given 96-DPI size, scaled to the window's DPI. The owner, if any, stays below the form.
  void CreateForm(const std::wstring& caption, DWORD style, DWORD exStyle, int clientWidth, int clientHeight,
                  HWND owner = nullptr);
  // The client size in pixels (ClientWidth, ClientHeight likewise). A form of fixed size keeps it at
  // 96 DPI too, and takes it scaled to a new DPI.
  void SetClientSize(int width, int height);
  int ClientWidth() const;
  int ClientHeight() const;
  void SetPosition(int left, int top);
  // Places the form at left, top when it lies wholly on the screen there, otherwise as near to it as
  // the nearest monitor's work area allows (FitOnScreen).
  void SetPositionOnScreen(int left, int top);
  void CenterOnScreen();

  void Show();
  void Hide();
  bool Showing() const;
  void BringToFront();
  // Asks the form to close (as the close box does): the close query and close handlers decide.
  void Close();
  // Shows the form modally: the program's other windows are disabled until a modal result is set.
  // While the application is terminating the form closes at once with mrClosed, unless
  // ShowWhileTerminating is set.
  int ShowModal();
  void SetModalResult(int result) { FModalResult = result; }
  int ModalResult() const { return FModalResult; }
  bool IsModal() const { return FModal; }
  // ShowModal works also while the application is terminating (see ShowModal).
  bool ShowWhileTerminating = false;

  // Key strokes reach DoKeyDown / DoKeyPress before the focused control.
  bool KeyPreview = false;
  // The smallest window size the user can drag the form to, and that any other resizing keeps: a
  // 96-DPI size of the whole window, scaled to the form's DPI.
  void SetLeastSize(int width, int height) { FLeastWidth = width, FLeastHeight = height; }
  SIZE LeastSize() const { return SIZE{FDpi.Scale(FLeastWidth), FDpi.Scale(FLeastHeight)}; }

  // The DPI the form is shown at (ui/Dpi.h): the window's when it was made, then each one that
  // WM_DPICHANGED brings.
  TDpi FormDpi() const { return FDpi; }
  // The form at another DPI: the window takes the given bounds (screen pixels; a form of fixed size
  // keeps their top left corner and takes its client size scaled), its controls their 96-DPI bounds
  // and fonts scaled, and DoDpiChanged runs. What WM_DPICHANGED does.
  void ChangeDpi(TDpi dpi, const RECT& bounds);
  void ApplyDpi() override;
  // The help topic of the window: F1 (and the system's help request) opens it.
  std::wstring HelpTopic;
  // The form stays usable while the program's other windows wait for a modal one (a help window,
  // which explains the question being asked).
  bool UsableUnderModal = false;
  void SetPopupMenu(PopupMenu* menu) { FPopupMenu = menu; }
  PopupMenu* GetPopupMenu() const { return FPopupMenu; }
  // Menus whose shortcuts this form answers (its popup menu is one of them).
  void AddShortcutMenu(PopupMenu* menu) { FShortcutMenus.push_back(menu); }

  // The button that Enter presses and the one that Esc presses.
  void SetDefaultButton(Button* b) { FDefaultButton = b; }
  void SetCancelButton(Button* b) { FCancelButton = b; }
  Button* DefaultButton() const { return FDefaultButton; }
  // Gives the default frame to the button that Enter presses now: the focused push button, or the
  // default button while the focus is on anything else. Runs at every focus change.
  void UpdateDefaultFrame();

  // Tooltips of the form's controls; a disabled or hidden control has none.
  void UpdateHint(Control* c);
  void RemoveHint(Control* c);
  HWND TooltipWindow() const { return FTooltip.Get(); }

  // Key handling before the focused control: preview, menu shortcuts, mnemonics of windowless labels.
  bool PreTranslateKey(MSG& msg);

  // The control that has the focus when the form is active (and gets it back on reactivation).
  void SetActiveControl(WinControl* c);

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  // Runs when Show makes the hidden form visible (once per opening), not when the system shows it
  // again with its owner.
  virtual void DoShow() {}
  virtual bool DoCloseQuery() { return true; }
  virtual void DoClose(CloseAction& action) { (void)action; }
  virtual void DoKeyDown(WORD& key, unsigned shift) { (void)key; (void)shift; }
  virtual void DoKeyPress(wchar_t& key) { (void)key; }
  virtual bool DoCanResize(int& width, int& height) { (void)width; (void)height; return true; }
  // After a change of DPI (ChangeDpi), for what the form lays out at run time or draws from pictures
  // chosen by the DPI. Its controls already stand at their 96-DPI bounds scaled.
  virtual void DoDpiChanged() {}
  const wchar_t* FClassName = L"VssForm";  // window class of the form

 private:
  bool IsShortCut(WORD key, unsigned shift);
  bool Mnemonic(WinControl* container, wchar_t ch);
  bool SharedMnemonic(wchar_t ch);
  Control* FindById(WinControl* container, int id);

  int FModalResult = mrNone;
  bool FModal = false;
  bool FInternalSize = false;
  int FLeastWidth = 0, FLeastHeight = 0;  // at 96 DPI
  TDpi FDpi = SystemDpi();
  SIZE FDesignClient{0, 0};  // at 96 DPI
  bool FShowRequested = false;  // inside Show: the show that runs DoShow
  PopupMenu* FPopupMenu = nullptr;
  std::vector<PopupMenu*> FShortcutMenus;
  Button* FDefaultButton = nullptr;
  Button* FCancelButton = nullptr;
  comm::TUniqueWindow FTooltip;
  HWND FLastFocus = nullptr;
};

// The mnemonic character of a caption ("&B" gives 'B'), or 0.
wchar_t MnemonicOf(const std::wstring& caption);

// Window bounds that lie wholly on the monitors' work areas come back unchanged; others are moved,
// keeping their size, onto the work area of the nearest monitor, as little as possible.
RECT FitOnScreen(const RECT& bounds);

// Moves a window (a dialog of the system's or of the program's) by FitOnScreen, keeping its size and
// z-order; a window that lies wholly on the screen stays where it is.
void FitWindowOnScreen(HWND window);

// Where a window of the given size stands beside an anchor window (bounds in screen coordinates),
// its top at the anchor's top: at the anchor's right when it lies wholly on the screen there (moved
// up or down as fit needs), else at the anchor's left when it lies wholly on the screen there, else
// at the right, moved by fit onto the screen.
RECT BesideOnScreen(const RECT& anchor, LONG width, LONG height,
                    const std::function<RECT(const RECT&)>& fit = FitOnScreen);

// The bounds, in screen coordinates, that a window has when it is neither minimised nor maximised:
// for a minimised or maximised window the place it is restored to.
RECT RestoredBounds(HWND window);

}  // namespace ui
