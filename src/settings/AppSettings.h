// The main window's settings items: names, sections and defaults of everything kept in the INI file.
#pragma once
#include "settings/RegMng.h"
#include <string>

namespace settings {

// Adds the main window's items to a settings table, in table order.
void AddApplicationItems(TRegItems& items);

// The help window's items, in section "HelpWindow": its place and size ("HelpLeft", "HelpTop",
// "HelpWidth", "HelpHeight", written as the keys "Left", "Top", "Width", "Height") and the width of
// its left pane ("HelpPane", key "Pane"). Empty until the help window is first closed.
void AddHelpWindowItems(TRegItems& items);

// The INI file beside an executable: its path with the extension replaced by ".ini" (a name without
// an extension gets ".ini" appended).
std::wstring IniPathForExecutable(const std::wstring& exePath);

// The keys of the twelve date-time parts: [side][part], side 0 creation and 1 update, parts year,
// month, day, hour, minute, second.
extern const wchar_t* const kDatePartKeys[2][6];

}  // namespace settings
