// A drop-down list: a choice among fixed items, without a typed text.
#pragma once
#include "ui/Control.h"
#include <string>

namespace ui {

// A CBS_DROPDOWNLIST combo box. OnSelChange runs when the user picks another item (not when
// SetItemIndex is called from code).
class ComboBox : public WinControl {
 public:
  // height is the closed box's; the list drops below it for dropHeight more pixels.
  void Create(WinControl* parent, int left, int top, int width, int dropHeight);
  int Count() const;
  std::wstring Item(int index) const;
  int Add(const std::wstring& text);
  void Clear();
  int ItemIndex() const;
  void SetItemIndex(int index);
  NotifyEvent OnSelChange;

 protected:
  void CommandNotify(WORD code) override;
};

}  // namespace ui
