// Controls bound to the stored options.
#include "app/OptionBinding.h"
#include <type_traits>

namespace app {

void ApplyOptions(std::span<const TOptionBinding> bindings, const settings::TAppOptions& options) {
  for (const TOptionBinding& binding : bindings)
    std::visit(
        [&](const auto& b) {
          if constexpr (std::is_same_v<std::decay_t<decltype(b)>, TTextBinding>)
            b.Control->SetText(options.*b.Member);
          else
            b.Control->SetChecked(options.*b.Member);
        },
        binding);
}

ui::Control* BoundControl(const TOptionBinding& binding) {
  return std::visit([](const auto& b) -> ui::Control* { return b.Control; }, binding);
}

void CollectOptions(std::span<const TOptionBinding> bindings, settings::TAppOptions& options) {
  for (const TOptionBinding& binding : bindings)
    std::visit(
        [&](const auto& b) {
          if constexpr (std::is_same_v<std::decay_t<decltype(b)>, TTextBinding>)
            options.*b.Member = b.Control->Text();
          else
            options.*b.Member = b.Control->Checked();
        },
        binding);
}

}  // namespace app
