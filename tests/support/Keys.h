// Typing keys into windows through the application's message loop, as a user's key strokes arrive.
#pragma once
#include "Base.h"

namespace testsupport {

// Posts the key down and up for vk to target with the given modifiers held (ui::ShiftState bits),
// and pumps messages so that the loop translates them into characters as it does for typed keys.
void PressKey(HWND target, WORD vk, unsigned shift = 0);

// Presses a key where the keyboard sends it: to the control that has the focus or, when no window
// has it, to the active window as a system key (so that the dialog keys do not act on it).
void PressKeyAtFocus(WORD vk, unsigned shift = 0);

}  // namespace testsupport
