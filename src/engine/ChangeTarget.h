// One target while a run changes it: the handles on the object its path names, opened once each.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include "comm/FileDateTime.h"
#include "comm/NamedObject.h"
#include <string>

namespace engine {

// How an operation on a target went.
// The part of a target that a run changes and an undo gives back: read-only, hidden and system with the
// other bits of the attribute word, and the creation and last-write times as the file system keeps them.
struct TTargetState {
  DWORD Attr = 0;
  FILETIME Creation{}, LastWrite{};
};

enum class TTargetStatus {
  Done,
  Failed,  // the file system refused (or the object is gone)
  Link,    // the path names a link that this platform cannot change without changing its target
};

// The file operations of a run on one target. Everything goes through handles on the object that the
// literal path names itself: a link is changed as the link, and where the platform would reach only
// the link's target, nothing is written (Link). One handle open for writing serves both steps when the
// target allows it; otherwise a handle for its attributes serves the attribute step and the read-only
// handling, and the write open is tried again for the date step.
// The operations are virtual so that a test can make one fail where no file system can be made to.
class TChangeTarget {
 public:
  TChangeTarget(std::wstring literalPath, comm::TFolderNameCache& folders)
      : FPath(std::move(literalPath)), FFolders(folders) {}
  virtual ~TChangeTarget() = default;
  TChangeTarget(const TChangeTarget&) = delete;
  TChangeTarget& operator=(const TChangeTarget&) = delete;

  const std::wstring& LiteralPath() const { return FPath; }
  // The system's error code of the last operation that failed (0 where the system gave none).
  DWORD Error() const { return FError; }

  // Opens the target for writing (shared for reading only, so a read-only file or one that another
  // program writes is refused). Tried once; again opens anew unless the target is a link.
  virtual TTargetStatus OpenForWrite(bool again = false);
  bool OpenedForWrite() const { return FWrite.Valid(); }
  // The write open found a link that this platform would follow.
  bool LinkFollowed() const { return FWriteTried && FWriteResult == comm::orLinkFollowed; }
  // The write open asks to read the target's bytes too (the run reads when a photo was taken through
  // it); where that is refused, the target is opened for writing alone.
  void ReadDataToo() { FReadData = true; }
  // The handle open for writing when it may read the target's bytes; null otherwise.
  HANDLE DataHandle() const { return FWriteReads ? FWrite.Get() : nullptr; }

  // The attribute word (kNoFileAttributes with Failed or Link).
  virtual TTargetStatus ReadAttr(DWORD& attr);
  // Writes the attribute word; Done says the write was accepted, not that every bit took.
  virtual TTargetStatus WriteAttr(DWORD attr);
  // The attribute word and the two times in one read (through the handle for the attributes).
  virtual TTargetStatus ReadState(TTargetState& state);
  // Writes the creation and last-write times as given (null keeps one) through the handle open for
  // writing; without one, rtUnreadable (rtWriteFailed for a link).
  virtual comm::TReplaceTimesResult WriteTimes(const FILETIME* creation, const FILETIME* lastWrite);
  // Reads the three times and writes the creation and last-write times (null keeps one) through the
  // handle open for writing; without one, rtUnreadable (rtWriteFailed for a link).
  virtual comm::TReplaceTimesResult ReplaceTimes(const comm::TDateTime* creation, const comm::TDateTime* lastWrite);

 protected:
  // What an operation that fails says why (a test's target sets the code it fails with).
  void SetError(DWORD error) { FError = error; }

 private:
  // The handle for the attributes: the write handle when there is one, else one of their own.
  HANDLE AttrHandle(TTargetStatus& status);
  // The times' result where no handle is open for writing, with the open's error.
  comm::TReplaceTimesResult Unopened();

  std::wstring FPath;
  comm::TFolderNameCache& FFolders;
  comm::TUniqueHandle FWrite, FAttr;
  bool FWriteTried = false, FAttrTried = false;
  bool FReadData = false, FWriteReads = false;
  comm::TOpenResult FWriteResult = comm::orFailed, FAttrResult = comm::orFailed;
  DWORD FWriteError = ERROR_SUCCESS, FAttrError = ERROR_SUCCESS;  // why each open failed
  DWORD FError = ERROR_SUCCESS;
};

}  // namespace engine
