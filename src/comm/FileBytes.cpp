// A whole file's bytes: read with a brief wait for holders, replaced safely keeping the file's identity.
#include "comm/FileBytes.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "comm/Scoped.h"
#include <algorithm>
#include <atomic>
#include <cwchar>

namespace comm {

namespace {

constexpr DWORD kRetryStepMs = 20;
constexpr size_t kIoChunk = 1u << 24;

bool IsHolderError(DWORD error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

// The time left for waiting on a holder, shared by every step of one operation.
class TPatience {
 public:
  explicit TPatience(DWORD ms) : FEnd(GetTickCount64() + ms) {}
  // Waits one step and returns true, or returns false when the time is up.
  bool Wait() const {
    if (GetTickCount64() >= FEnd) return false;
    Sleep(kRetryStepMs);
    return true;
  }

 private:
  ULONGLONG FEnd;
};

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ReadAll(HANDLE file, std::string& bytes, DWORD& error, uint64_t maxBytes = kMaxReadBytes) {
  bytes.clear();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    error = GetLastError();
    return false;
  }
  if (static_cast<uint64_t>(size.QuadPart) > std::min(maxBytes, kMaxReadBytes)) {
    error = ERROR_FILE_TOO_LARGE;
    return false;
  }
  LARGE_INTEGER zero{};
  SetFilePointerEx(file, zero, nullptr, FILE_BEGIN);
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    DWORD want = static_cast<DWORD>(std::min(bytes.size() - done, kIoChunk));
    if (!ReadFile(file, bytes.data() + done, want, &got, nullptr)) {
      error = GetLastError();
      return false;
    }
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  bytes.resize(done);
  return true;
}

// Tests make the next in-place write of new bytes fail once this many bytes have gone in.
std::atomic<size_t> g_inPlaceFailAfter{SIZE_MAX};

// Writes bytes from the file's start and makes them its whole content. failAfter: a failure
// (ERROR_DISK_FULL) once that many bytes are written, as a full disk would give.
bool WriteWhole(HANDLE file, std::string_view bytes, size_t failAfter = SIZE_MAX) {
  LARGE_INTEGER at{};
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
  for (size_t done = 0; done < bytes.size();) {
    if (done >= failAfter) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    DWORD put = 0;
    DWORD want = static_cast<DWORD>(std::min({bytes.size() - done, kIoChunk, failAfter - done}));
    if (!WriteFile(file, bytes.data() + done, want, &put, nullptr) || put != want) {
      if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    done += put;
  }
  return SetEndOfFile(file) && FlushFileBuffers(file);
}

// Room for size bytes, taken before any old byte is overwritten, so that a full disk stops the
// write while the old content is still whole.
bool Reserve(HANDLE file, uint64_t size) {
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// A name beside path that is not taken yet: path + ".~<process>-<n>" + extension.
std::wstring SiblingName(const std::wstring& path, const wchar_t* extension) {
  static std::atomic<unsigned> counter{0};
  wchar_t suffix[64];
  swprintf(suffix, 64, L".~%lx-%x%ls", static_cast<unsigned long>(GetCurrentProcessId()), ++counter, extension);
  return path + suffix;
}

// The path the open file finally has (a symbolic link followed to its target), or none.
std::wstring FinalPath(HANDLE file) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int round = 0; round < 4; ++round) {
    DWORD n = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.assign(n + 1, L'\0');
  }
  return {};
}

// True when another handle keeps the file from being renamed or deleted (opened without delete
// sharing): a replacement has to wait for it.
bool HeldAgainstReplacement(const std::wstring& path) {
  comm::TUniqueHandle h(CreateFileW(path.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return !h && IsHolderError(GetLastError());
}

// The marks a replacement must not drop. ReplaceFileW keeps them on Windows; other implementations
// of it (Wine's) move the new file in as it is.
void RestoreMarks(const std::wstring& path, DWORD oldAttributes) {
  constexpr DWORD kMarks = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  DWORD now = GetFileAttributesW(path.c_str());
  if (now == INVALID_FILE_ATTRIBUTES || (now & kMarks) == (oldAttributes & kMarks)) return;
  constexpr DWORD kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY |
                              FILE_ATTRIBUTE_OFFLINE;
  DWORD wanted = (now & kSettable) | (oldAttributes & kMarks);
  SetFileAttributesW(path.c_str(), wanted ? wanted : FILE_ATTRIBUTE_NORMAL);
}

TReplaceBytesOutcome Failed(TReplaceBytesOutcome out, DWORD error) {
  out.Result = rpFailed;
  out.Error = error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error;
  return out;
}

// Writes the bytes into the file itself, which keeps everything about it. The old bytes are read
// first and put back if the new ones cannot all be written.
TReplaceBytesOutcome WriteInPlace(const std::wstring& path, std::string_view bytes, bool existing, const TPatience& patience,
                                  TReplaceBytesOutcome out) {
  comm::TUniqueHandle file;
  for (;;) {
    file.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                           existing ? OPEN_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) break;
    DWORD error = GetLastError();
    if (IsHolderError(error) && patience.Wait()) continue;
    if (IsHolderError(error)) out.HolderOutwaited = true;
    return Failed(out, error);
  }
  const size_t failAfter = g_inPlaceFailAfter.exchange(SIZE_MAX);
  if (!existing) {
    if (!WriteWhole(file.Get(), bytes, failAfter)) {
      DWORD error = GetLastError();
      file.Reset();
      DeleteFileW(path.c_str());
      return Failed(out, error);
    }
    out.Result = rpInPlace;
    return out;
  }
  std::string old;
  DWORD error = ERROR_SUCCESS;
  if (!ReadAll(file.Get(), old, error)) return Failed(out, error);
  if (bytes.size() > old.size() && !Reserve(file.Get(), bytes.size())) {
    error = GetLastError();
    Reserve(file.Get(), old.size());
    return Failed(out, error);
  }
  if (!WriteWhole(file.Get(), bytes, failAfter)) {
    error = GetLastError();
    WriteWhole(file.Get(), old);
    return Failed(out, error);
  }
  out.Result = rpInPlace;
  return out;
}

}  // namespace

void comm_FailNextInPlaceWriteAfter(size_t bytes) { g_inPlaceFailAfter = bytes; }

TReadBytesOutcome comm_ReadFileBytes(const std::wstring& path, std::string& bytes, DWORD patienceMs,
                                     uint64_t maxBytes) {
  TReadBytesOutcome out;
  bytes.clear();
  const TPatience patience(patienceMs);
  for (;;) {
    comm::TUniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = ERROR_SUCCESS;
    if (file) {
      if (ReadAll(file.Get(), bytes, error, maxBytes)) {
        out.Result = rbRead;
        return out;
      }
      bytes.clear();
    } else {
      error = GetLastError();
    }
    if (IsHolderError(error) && patience.Wait()) continue;
    out.Error = error;
    out.HolderOutwaited = IsHolderError(error);
    DWORD attributes = GetFileAttributesW(path.c_str());
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    out.Result = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || folder ? rbMissing : rbUnreadable;
    return out;
  }
}

TReplaceBytesOutcome comm_ReplaceFileBytes(const std::wstring& path, std::string_view bytes, DWORD patienceMs) {
  TReplaceBytesOutcome out;
  const TPatience patience(patienceMs);

  // What the path names, by the rules the read of the same path follows; the long form keeps every
  // name below beyond MAX_PATH workable.
  std::wstring target = comm_LiteralPath(comm_FullPathName(path));
  BY_HANDLE_FILE_INFORMATION info{};
  bool existing = false;
  {
    comm::TUniqueHandle probe(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!probe) {
      DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND) return Failed(out, error);
    } else {
      existing = true;
      if (!GetFileInformationByHandle(probe.Get(), &info)) return Failed(out, GetLastError());
      if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Failed(out, ERROR_ACCESS_DENIED);
      std::wstring final = FinalPath(probe.Get());
      if (!final.empty()) target = final;
    }
  }
  // A replacement would leave the file's other names with the old content.
  if (existing && info.nNumberOfLinks > 1) return WriteInPlace(target, bytes, true, patience, out);

  // The complete new content beside the file first.
  std::wstring temp;
  comm::TUniqueHandle tempFile;
  for (int attempt = 0; attempt < 100 && !tempFile; ++attempt) {
    temp = SiblingName(target, L".tmp");
    tempFile.Reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!tempFile && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  // No file can be made in the folder (a per-file grant), or not under that name.
  if (!tempFile) return WriteInPlace(target, bytes, existing, patience, out);
  if (!WriteWhole(tempFile.Get(), bytes)) {
    DWORD error = GetLastError();
    tempFile.Reset();
    DeleteFileW(temp.c_str());
    return Failed(out, error);
  }
  tempFile.Reset();

  if (!existing) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      out.Result = rpReplaced;
      return out;
    }
    DWORD error = GetLastError();
    DeleteFileW(temp.c_str());
    return Failed(out, error);
  }

  // The old file goes to a backup name only for the moment of the swap: whatever step fails, one of
  // the two complete files can be put back under the file's name.
  std::wstring backup;
  do backup = SiblingName(target, L".bak");
  while (Exists(backup));
  for (;;) {
    if (ReplaceFileW(target.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
      DeleteFileW(backup.c_str());
      RestoreMarks(target, info.dwFileAttributes);
      out.Result = rpReplaced;
      return out;
    }
    DWORD error = GetLastError();
    const bool targetThere = Exists(target), tempThere = Exists(temp), backupThere = Exists(backup);
    if (!targetThere) {
      // The old file left its name and the new one did not take it: the old one goes back.
      if (backupThere && MoveFileExW(backup.c_str(), target.c_str(), 0)) {
        DeleteFileW(temp.c_str());
        return Failed(out, error);
      }
      if (tempThere && MoveFileExW(temp.c_str(), target.c_str(), 0)) {
        DeleteFileW(backup.c_str());
        RestoreMarks(target, info.dwFileAttributes);
        out.Result = rpReplaced;
        return out;
      }
      return Failed(out, error);  // the old content stays under the backup name
    }
    if (!tempThere) {
      // The new file is in place although the call said otherwise.
      DeleteFileW(backup.c_str());
      RestoreMarks(target, info.dwFileAttributes);
      out.Result = rpReplaced;
      return out;
    }
    if (backupThere) DeleteFileW(backup.c_str());  // a copy of the old file that stayed where it is
    if (!HeldAgainstReplacement(target)) break;
    if (!patience.Wait()) {
      out.HolderOutwaited = true;
      break;
    }
  }
  // Not replaceable (held, or writable but not deletable): the file itself takes the bytes.
  DeleteFileW(temp.c_str());
  return WriteInPlace(target, bytes, true, patience, out);
}

}  // namespace comm
