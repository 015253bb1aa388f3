// The program's prompt service as the windows below the application object reach it.
#pragma once
#include "Base.h"
#include <string>

namespace ui {

// Each prompt is modal to its owner window (none: to no window) and captioned with the application title.
class IPrompter {
 public:
  virtual ~IPrompter() = default;
  // A notice with one OK button.
  virtual void Inform(HWND owner, const std::wstring& text) const = 0;
  // An error with the stop icon.
  virtual void ShowError(HWND owner, const std::wstring& text) const = 0;
};

}  // namespace ui
