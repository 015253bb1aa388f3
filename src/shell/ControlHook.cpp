// TControlHook: hooking a control or its form, following its window through destruction and re-creation.
#include "shell/ControlHook.h"
#include "ui/Error.h"
#include "ui/Form.h"

namespace shell {

TControlHook::TControlHook(ui::Form* owner) : FOwner(owner) {}

TControlHook::~TControlHook() {
  Unhook();
  if (FControl) FControl->RemoveFreeNotification(this);
}

void TControlHook::SetControl(ui::WinControl* control) {
  if (control == FControl) return;
  Unhook();
  if (FControl) FControl->RemoveFreeNotification(this);
  FControl = control;
  // The control named here may go before the hook, whether or not it is the hooked window.
  if (FControl) FControl->AddFreeNotification(this, [this, c = FControl]() { TargetDestroyed(c); });
  Hook();
}

void TControlHook::SetTarget(THookTarget target) {
  if (target == FTarget) return;
  Unhook();
  FTarget = target;
  Hook();
}

ui::Form* TControlHook::FindOwnerForm() const {
  if (FControl) return FControl->ParentForm();
  return FOwner;
}

ui::WinControl* TControlHook::GetHookTarget() const {
  if (FTarget == htControl) return FControl;
  return FindOwnerForm();
}

void TControlHook::Hook() {
  ui::WinControl* target = GetHookTarget();
  if (!target) {
    // A control not yet set is the normal state of a component being set up.
    if (FTarget == htForm) throw ui::Error(L"フック先を特定できません。");
    return;
  }
  FHookedControl = target;
  FHookedHandle = target->Handle();
  FGoneHandle = nullptr;
  if (target != FControl) target->AddFreeNotification(this, [this, target]() { TargetDestroyed(target); });
  FOldWndProc = target->WindowProc;
  target->WindowProc = [this](UINT msg, WPARAM wp, LPARAM lp) { return HookWndProc(msg, wp, lp); };
  if (FHookedHandle) HandleChanged(hcCreated);
}

void TControlHook::Unhook() {
  if (!FHookedControl) return;
  if (HookedHandle() && IsWindow(FHookedHandle)) BeforeUnhook();
  FHookedControl->WindowProc = FOldWndProc;
  if (FHookedControl != FControl) FHookedControl->RemoveFreeNotification(this);
  FOldWndProc = nullptr;
  FHookedControl = nullptr;
  FHookedHandle = nullptr;
  FGoneHandle = nullptr;
}

void TControlHook::TargetDestroyed(ui::WinControl* target) {
  if (target == FHookedControl) {
    // The control takes its procedure with it: nothing to put back.
    HandleChanged(hcGone);
    FHookedControl = nullptr;
    FOldWndProc = nullptr;
  }
  if (target == FControl) FControl = nullptr;
}

void TControlHook::HandleChanged(THandleChange reason) {
  if (reason == hcGone) {
    FGoneHandle = HookedHandle();
    FHookedHandle = nullptr;
  } else if (FHookedControl) {
    FHookedHandle = FHookedControl->Handle();
  }
}

LRESULT TControlHook::ProcessMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (FOldWndProc) return FOldWndProc(msg, wp, lp);
  return FHookedControl ? FHookedControl->ControlProc(msg, wp, lp) : 0;
}

LRESULT TControlHook::HookWndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      FHookedHandle = kCreating;
      break;
    case WM_DESTROY:
      HandleChanged(hcGone);
      break;
    default:
      // The first message after a window was made: it is the one to serve now. A control whose
      // window is made without a WM_CREATE that passes here is caught the same way, by its new handle.
      if (FHookedControl && FHookedControl->Handle()) {
        const HWND now = FHookedControl->Handle();
        if (FHookedHandle == kCreating || (now != FHookedHandle && now != FGoneHandle)) HandleChanged(hcCreated);
      }
      break;
  }
  return ProcessMessage(msg, wp, lp);
}

}  // namespace shell
