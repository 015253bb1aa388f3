// Symbolic links for tests, made the way this platform can: by the system, or as a Unix link under Wine.
#pragma once
#include "Base.h"
#include <string>

namespace testsupport {

// Makes a symbolic link at `link` (its folder must exist) that leads to `target`, an absolute path of
// an existing file or folder. On Windows through CreateSymbolicLinkW (an account without the right to
// make links gets false). Under Wine, whose CreateSymbolicLinkW makes nothing and reports success, a
// Unix link is made by the system's ln, which Wine starts like any program; Wine shows such a link to
// a folder as a reparse point and one to a file as the file itself. True once the link is there.
bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, bool folder);

// True when the platform opens a link itself when asked to (FILE_FLAG_OPEN_REPARSE_POINT). Wine
// follows a Unix link whatever the flag says.
bool LinksOpenAsThemselves();

}  // namespace testsupport
