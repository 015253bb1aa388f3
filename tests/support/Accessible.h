// What a screen reader finds in a window: its accessible objects walked as the system's clients walk
// them, windowless children included.
#pragma once
#include "Base.h"
#include <oleacc.h>
#include <string>
#include <vector>

namespace testsupport {

// One object of the walk: a window's client area (Child 0) or a simple child of one (Child > 0).
struct TAccessibleNode {
  HWND Window = nullptr;
  LONG Child = CHILDID_SELF;
  std::wstring Name, Value;
  LONG Role = 0, State = 0;
  RECT Screen{};  // accLocation, as left, top, right, bottom
};

// A child id as clients send it (VT_I4); CHILDID_SELF for the object itself.
VARIANT ChildVariant(LONG id);

// The client object of the window (the answer to WM_GETOBJECT), or null.
IAccessible* ClientObject(HWND hwnd);

// Every object under the window's client area, the window's own first, then depth first in the
// order of the children.
std::vector<TAccessibleNode> WalkAccessible(HWND hwnd);

// The objects of the walk that a user can act on or read (buttons, check and radio buttons, edits,
// lists, combo boxes, outlines, spin buttons, progress bars) and that show but have no name,
// described for a failure message. A tab list is named by its tabs.
std::vector<std::wstring> UnnamedControls(HWND hwnd);

}  // namespace testsupport
