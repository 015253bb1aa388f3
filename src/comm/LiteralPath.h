// The literal form of a path, in which the file system takes every name as it stands, and the key by
// which two spellings of a path are known to name one object.
#pragma once
#include <string>
#include <string_view>

namespace comm {

// The form of a path that the file system does not normalise: "\\?\C:\dir\name", or
// "\\?\UNC\server\share\name" for a share. Windows' own rules would cut a trailing "." or " " from a
// name, so that "a." or "b " would open "a" or "b" beside it; here every name stays as it stands.
// What those rules do that the user means is done here too: "/" is a separator, doubled separators
// collapse, "." and ".." components are resolved. A trailing separator is dropped except after a root
// ("C:\" stays whole: "C:" alone would be the current folder of drive C). A path that has the "\\?\"
// form already is kept as it stands (without a trailing separator unless it is a root); a relative
// one ("a.txt", "C:a.txt", "\a.txt") is taken from the current folder.
std::wstring comm_LiteralPath(std::wstring_view path);

// The literal form without its "\\?\" prefix ("\\?\UNC\" becomes "\\"): "C:\x", "C:\x\" and
// "\\?\C:\x" all give "C:\x". Two paths name one object when their keys are equal ignoring case. A
// relative path is its own key ("C:" is not "C:\"), whatever the current folder is.
std::wstring comm_PathKey(std::wstring_view path);

// The full path in its ordinary form (no "\\?\"), by the rules of comm_LiteralPath: a relative path
// is joined to the folder it is relative to, "." and ".." are resolved, and no name is trimmed ("a."
// from the current folder C:\w is C:\w\a., never C:\w\a). An absolute path is only tidied by the same
// rules.
std::wstring comm_AbsolutePath(std::wstring_view path);

// The system's full path (GetFullPathNameW): joined to the current folder, "." and ".." resolved, and
// names trimmed as Windows' own rules trim them ("a." is "a"). Empty when the system gives none. Where a
// file is opened by the name the system would give it, comm_LiteralPath(comm_FullPathName(p)) is its
// long form.
std::wstring comm_FullPathName(const std::wstring& path);

// True for a path that is a root: "C:\", "\\?\C:\", "\\server\share", "\\?\UNC\server\share\".
bool comm_IsRootPath(std::wstring_view path);

}  // namespace comm
