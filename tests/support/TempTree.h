// A scratch folder tree for tests that touch the file system, removed with everything in it.
#pragma once
#include "Base.h"
#include <string>
#include <string_view>

namespace testsupport {

class TempTree {
 public:
  // A new, empty folder below the system's temporary folder.
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The root, without a trailing separator.
  const std::wstring& Root() const { return FRoot; }
  // Root + "\" + relative path.
  std::wstring Path(std::wstring_view relative) const;
  // Creates a file (and the folders above it) holding the given bytes; returns its path. Names are
  // made as they stand: "a." and "b " are files of their own, not "a" and "b".
  std::wstring MakeFile(std::wstring_view relative, std::string_view content = "x");
  // Creates a folder (and the folders above it); returns its path.
  std::wstring MakeDir(std::wstring_view relative);

 private:
  std::wstring FRoot;
};

// The whole content of a file, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);

// Removes a file or a folder tree, clearing read-only, hidden and system attributes on the way.
void RemoveTree(const std::wstring& path);

// True when running under Wine (ntdll exports wine_get_version).
bool RunningOnWine();

// True when opening a read-only file for writing fails, as on Windows. Wine run as root opens it
// (root may write to a file without write permission): the tests run as an unprivileged user.
bool ReadOnlyRefusesWriteOpen();

}  // namespace testsupport
