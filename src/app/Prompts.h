// The program's one prompt service: every message box the application object and its windows show.
#pragma once
#include "Base.h"
#include "engine/ChangeRun.h"
#include "ui/Prompter.h"
#include <string>
#include <vector>

namespace app {

// Each prompt is modal to its owner window (none: to no window) and captioned with the application
// title, but the settings' errors, which keep the caption "エラー".
class TPrompts : public ui::IPrompter {
 public:
  // A notice with one OK button.
  void Inform(HWND owner, const std::wstring& text) const override;
  // A question of a run or an undo, with its three answers; closing the box is an answer of its own.
  engine::TAnswer Ask(HWND owner, engine::TQuestion question, const std::wstring& text) const;
  // Yes or no, true for yes; details (when given) are listed on request under the text.
  bool Confirm(HWND owner, const std::wstring& text, bool defaultYes,
               const std::vector<std::wstring>& details = {}) const;
  // An error with the stop icon.
  void ShowError(HWND owner, const std::wstring& text) const override;
  // An error of the settings file; also while the program ends, since a failed save at shutdown must
  // still be seen.
  void ShowSettingsError(HWND owner, const std::wstring& text) const;
};

}  // namespace app
