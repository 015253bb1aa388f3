// What stands between a program and its files on a user's machine: another program holding a file
// open, and a folder in which new files may not be created.
#pragma once
#include "Base.h"
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// Another process holds the file open with the access and sharing given, as an editor, a scanner or
// a backup tool does: the handle lives in a suspended child process until it is ended.
class OtherProcessHold {
 public:
  OtherProcessHold(const std::wstring& path, DWORD access, DWORD share);
  ~OtherProcessHold();
  OtherProcessHold(const OtherProcessHold&) = delete;
  OtherProcessHold& operator=(const OtherProcessHold&) = delete;

  // The file was opened and handed over.
  bool Holding() const { return FHolding; }
  // Ends the child now, which closes the file.
  void Release();
  // Ends the child from another thread after ms milliseconds.
  void ReleaseAfter(DWORD ms);

 private:
  PROCESS_INFORMATION FChild{};
  bool FHolding = false;
  std::thread FReleaser;
};

// While alive, the folder grants everyone reading and listing only: no file can be created in it,
// while files already there keep their own rights. Its previous rights come back at the end.
class NoCreateRights {
 public:
  explicit NoCreateRights(std::wstring folder);
  ~NoCreateRights();
  NoCreateRights(const NoCreateRights&) = delete;
  NoCreateRights& operator=(const NoCreateRights&) = delete;

  // The rights were set.
  bool Applied() const { return FApplied; }

 private:
  std::wstring FFolder;
  std::vector<BYTE> FPrevious;
  bool FApplied = false;
};

}  // namespace testsupport
