// TControlHook: a component that puts its own procedure in front of a control's, or of its form's.
#pragma once
#include "Base.h"
#include "ui/Control.h"

namespace ui {
class Form;
}

namespace shell {

// Which window a hook takes: the control itself, or the form that holds it.
enum THookTarget { htControl = 0, htForm = 1 };

// Sees every message of the hooked control before the control does and passes on what it does not
// take itself (ProcessMessage). The hook sits on the control object, so it stays through the control's
// window being destroyed and made again, and tells HandleChanged when the window goes and when a new
// one is there. A control destroyed while hooked is let go; destroying the hook unhooks it.
class TControlHook {
 public:
  // owner: the form the component belongs to (the htForm target when no control is set).
  explicit TControlHook(ui::Form* owner = nullptr);
  virtual ~TControlHook();
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  // Setting either unhooks from the old target and hooks the new one. With htForm and no form to be
  // found, SetTarget and SetControl raise ui::Error "フック先を特定できません。".
  void SetControl(ui::WinControl* control);
  ui::WinControl* Control() const { return FControl; }
  void SetTarget(THookTarget target);
  THookTarget Target() const { return FTarget; }

  // The control whose messages pass through the hook (null when none), and the window the hook last
  // saw it have (null when it has none).
  ui::WinControl* HookedControl() const { return FHookedControl; }
  HWND HookedHandle() const { return FHookedHandle == kCreating ? nullptr : FHookedHandle; }

 protected:
  enum THandleChange { hcGone = 1, hcCreated = 2 };
  // The hooked control's window is gone (hcGone) or a new one exists (hcCreated).
  virtual void HandleChanged(THandleChange reason);
  // A message of the hooked control; the default passes it on to the control.
  virtual LRESULT ProcessMessage(UINT msg, WPARAM wp, LPARAM lp);
  // The hook is about to leave a control whose window is still there.
  virtual void BeforeUnhook() {}

  void Hook();
  void Unhook();
  // The window to hook: the control, or for htForm the form found from the control or the owner.
  ui::WinControl* GetHookTarget() const;
  // The form at the top of the control's parents, else the owner form.
  ui::Form* FindOwnerForm() const;

 private:
  // Marks a window that is being created and has not yet had its first message.
  static inline const HWND kCreating = reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));
  LRESULT HookWndProc(UINT msg, WPARAM wp, LPARAM lp);
  void TargetDestroyed(ui::WinControl* target);

  ui::Form* FOwner;
  ui::WinControl* FControl = nullptr;
  THookTarget FTarget = htControl;
  ui::WinControl* FHookedControl = nullptr;
  HWND FHookedHandle = nullptr;
  HWND FGoneHandle = nullptr;  // the window last reported gone: its last messages change nothing
  ui::WinControl::WndMethod FOldWndProc;
};

}  // namespace shell
