// The drop-down list.
#include "ui/ComboBox.h"
#include <commctrl.h>

namespace ui {

void ComboBox::Create(WinControl* parent, int left, int top, int width, int dropHeight) {
  FColor = clWindow;
  CreateStd(parent, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0, left, top, width,
            dropHeight, L"");
}

int ComboBox::Count() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

std::wstring ComboBox::Item(int index) const {
  LRESULT n = SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == CB_ERR) return L"";
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
  return s;
}

int ComboBox::Add(const std::wstring& text) {
  return static_cast<int>(SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void ComboBox::Clear() { SendMessageW(Handle(), CB_RESETCONTENT, 0, 0); }

int ComboBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::SetItemIndex(int index) { SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void ComboBox::CommandNotify(WORD code) {
  if (code == CBN_SELCHANGE && OnSelChange) OnSelChange(this);
}

}  // namespace ui
