// Key strokes for tests: the keyboard state is set so that the loop's translation sees the modifiers.
#include "support/Keys.h"
#include "support/DialogAnswerer.h"
#include "ui/Control.h"

namespace testsupport {

void PressKey(HWND target, WORD vk, unsigned shift) {
  BYTE state[256];
  GetKeyboardState(state);
  BYTE saved[256];
  CopyMemory(saved, state, sizeof(saved));
  if (shift & ui::ssCtrl) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
  if (shift & ui::ssShift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
  if (shift & ui::ssAlt) state[VK_MENU] = state[VK_LMENU] = 0x80;
  SetKeyboardState(state);
  UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  bool alt = (shift & ui::ssAlt) && !(shift & ui::ssCtrl);  // Ctrl+Alt (AltGr) is no system key
  if (!target) target = GetFocus();
  if (!target) target = GetActiveWindow(), alt = true;
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, down | (alt ? (1 << 29) : 0));
  PumpFor(20);
  PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, down | (3u << 30) | (alt ? (1 << 29) : 0));
  PumpFor(20);
  SetKeyboardState(saved);
}

}  // namespace testsupport
