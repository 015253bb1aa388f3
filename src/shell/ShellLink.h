// Shell folders of the user (desktop, Send To) and the writing of shell link files.
#pragma once
#include "Base.h"
#include <string>

namespace shell {

// The full long-name path of the user's desktop folder, or empty when the shell cannot give one.
// owner is the window of any user interface the shell may show.
void comm_GetWinDeskTopDir(std::wstring& path, HWND owner = nullptr);

// The user's Send To folder as the shell itself keeps it, in long names, whether or not it exists yet;
// empty when the shell knows none. Not derived from the desktop folder: a redirected desktop (a synced
// or network folder) has no "SendTo" beside it.
void comm_GetSendToDir(std::wstring& path);

// Writes a shell link file at linkPath that starts target with arguments in workingDir (empty: the
// target's folder) and carries description; icon, hot key and show command stay the shell's defaults.
// True when the link was saved with every property as given; false when a property was refused (a
// target longer than the link object keeps) or the file could not be saved. Throws ui::Error when the
// shell link object itself cannot be created.
bool comm_MakeShortcut(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments,
                       const std::wstring& description, const std::wstring& workingDir);

}  // namespace shell
