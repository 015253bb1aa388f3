// A whole file's bytes: read, waiting briefly for a holder, and replaced so that neither a failure
// nor a crash loses the previous content and the file stays the same file.
#pragma once
#include "Base.h"
#include <cstdint>
#include <string>
#include <string_view>

namespace comm {

// How long a read or a replacement waits, by default, for another program that holds the file open
// in a way that stops it (a scanner, a backup tool, an editor).
constexpr DWORD kFileHolderPatienceMs = 1000;

enum TReadBytesResult {
  rbRead,        // the bytes were read
  rbMissing,     // the file (or its folder) does not exist
  rbUnreadable,  // it exists but could not be read: held without read sharing, refused, too large
};

struct TReadBytesOutcome {
  TReadBytesResult Result = rbUnreadable;
  DWORD Error = ERROR_SUCCESS;  // the system's reason when not rbRead
  bool HolderOutwaited = false;  // gave up waiting for a holder that kept the file
};

// Larger files are refused as unreadable rather than risking memory.
constexpr uint64_t kMaxReadBytes = 256ull << 20;

// Reads the whole file, shared with readers, writers and deleters. A sharing or lock violation is
// tried again every few milliseconds until patienceMs have passed. A file of more than maxBytes is
// not read: rbUnreadable with the error ERROR_FILE_TOO_LARGE.
TReadBytesOutcome comm_ReadFileBytes(const std::wstring& path, std::string& bytes,
                                     DWORD patienceMs = kFileHolderPatienceMs, uint64_t maxBytes = kMaxReadBytes);

enum TReplaceBytesResult {
  rpReplaced,  // a complete new copy took the file's place (or a new file was made)
  rpInPlace,   // the bytes were written into the existing file
  rpFailed,    // nothing changed: the previous file is as it was
};

struct TReplaceBytesOutcome {
  TReplaceBytesResult Result = rpFailed;
  DWORD Error = ERROR_SUCCESS;  // the system's reason for rpFailed
  bool HolderOutwaited = false;  // gave up waiting for a holder (and wrote in place, or failed)
};

// Makes the file at path hold exactly bytes.
//
// The path is followed to the file it finally names (a symbolic link to its target), and the new
// content goes to a temporary file beside that file, which then takes its place with ReplaceFileW:
// a failure or crash at any point leaves either the old or the new content, whole, and the file
// keeps its attributes, permissions, creation time and streams. Where no such replacement can keep
// the file (it has several hard links), or none can be made (no temporary file can be created in
// its folder, or the file may be written but not replaced, or another program holds it without
// delete sharing for longer than patienceMs), the bytes are written into the file itself; the old
// bytes are put back if that write fails. A read-only file or a folder is refused.
TReplaceBytesOutcome comm_ReplaceFileBytes(const std::wstring& path, std::string_view bytes,
                                           DWORD patienceMs = kFileHolderPatienceMs);

// For tests: the next write of new bytes into a file itself (see comm_ReplaceFileBytes) fails, as
// a full disk would make it, once that many bytes have gone in. Used once, then forgotten.
void comm_FailNextInPlaceWriteAfter(size_t bytes);

}  // namespace comm
