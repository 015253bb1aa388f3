// Drops as the shell delivers them: the drop data built in memory and sent as WM_DROPFILES.
#pragma once
#include "Base.h"
#include <shellapi.h>
#include <string>
#include <vector>

namespace testsupport {

// A drop handle as the shell makes it: DROPFILES followed by the wide names, each ended by a null,
// and a final null; pt in client coordinates of the window that takes the drop.
HDROP MakeDrop(const std::vector<std::wstring>& files, POINT pt = POINT{0, 0});
// Sends the drop to the window as the shell does. True when the receiver finished (freed) the drop;
// otherwise the drop is freed here.
bool SendDrop(HWND target, const std::vector<std::wstring>& files, POINT pt = POINT{0, 0});

}  // namespace testsupport
