// Typing keys into windows through the application's message loop, as a user's key strokes arrive.
#pragma once
#include "Base.h"

namespace testsupport {

// Posts the key down and up for vk to target with the given modifiers held (ui::ShiftState bits),
// and pumps messages so that the loop translates them into characters as it does for typed keys.
// A null target is where the keyboard sends it: the focus, or without one the active window (which
// then gets a system key).
void PressKey(HWND target, WORD vk, unsigned shift = 0);

}  // namespace testsupport
