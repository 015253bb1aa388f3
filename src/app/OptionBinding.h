// Controls bound to the stored options: each shows one option and gives it back.
#pragma once
#include "settings/AppSettings.h"
#include "ui/StdControls.h"
#include <span>
#include <string>
#include <variant>

namespace app {

struct TCheckBinding {
  bool settings::TAppOptions::*Member;
  ui::CheckBox* Control;
};
struct TRadioBinding {
  bool settings::TAppOptions::*Member;
  ui::RadioButton* Control;
};
struct TTextBinding {
  std::wstring settings::TAppOptions::*Member;
  ui::Edit* Control;
};
using TOptionBinding = std::variant<TCheckBinding, TRadioBinding, TTextBinding>;

// Sets each control from its option, in the order given (a control set from code runs its click
// handler, as a user's change would).
void ApplyOptions(std::span<const TOptionBinding> bindings, const settings::TAppOptions& options);
// The control a binding shows its option in.
ui::Control* BoundControl(const TOptionBinding& binding);
// Reads each control back into its option.
void CollectOptions(std::span<const TOptionBinding> bindings, settings::TAppOptions& options);

}  // namespace app
