// The long form of a path: every component as the file system stores its name.
#pragma once
#include <string>
#include <string_view>

namespace comm {

// Replaces each component of path by its long name in the letter case in which it is stored. The
// drive (or share) is kept as passed, a trailing separator is dropped. A name is replaced only by
// the same name in another letter case or by the long name of its short (8.3) form: the search is
// made in the literal form ("\\?\"), so a name ending in "." or " " is found as itself and never
// becomes the trimmed name beside it. "." and ".." components and doubled separators stay as passed.
// When a component is not found (or is a pattern rather than a name) the whole path is kept as
// passed in. A relative path stays relative; its names are searched from the current folder.
void comm_GetLongPathName(const std::wstring& path, std::wstring& longPath);
std::wstring comm_GetLongPathName(const std::wstring& path);

// The name under which the file system stores the entry `name` of folder (in literal form, ending in
// "\\"): name itself in another letter case, or the long name of the short name `name`; empty when
// there is none. Never another name the search may match (the "a" beside "a.").
std::wstring comm_StoredName(const std::wstring& folder, std::wstring_view name);

}  // namespace comm
