// The long form of a path: every component as the file system stores its name.
#pragma once
#include <string>

// Replaces each component of path by its long name in the letter case in which it is stored. The
// drive is kept as passed, a trailing separator is dropped. From the first component that is not
// found on, the path is kept as passed in.
void comm_GetLongPathName(const std::wstring& path, std::wstring& longPath);
std::wstring comm_GetLongPathName(const std::wstring& path);
