// Writing and reading the journal of the last change run.
#include "engine/UndoJournal.h"
#include "comm/Scoped.h"
#include "comm/Crc32.h"
#include "comm/DateTime.h"
#include "comm/FileBytes.h"
#include "comm/FileDateTime.h"
#include "comm/NamedObject.h"
#include <bcrypt.h>
#include <algorithm>
#include <cstring>

namespace engine {
namespace {

constexpr char kMagic[8] = {'V', 'S', 'S', 'U', 'N', 'D', 'O', '1'};
constexpr uint32_t kHeaderSize = 64;
constexpr uint32_t kRecordFixed = 32;  // kind, length, attributes, zero, two times
constexpr uint32_t kBefore = 'B', kAfter = 'A', kEnd = 'E';
constexpr uint32_t kKnownFlags = 1 | 2 | 4 | 8 | 16 | 32;
constexpr uint32_t kMaxPathChars = 32767;
constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

uint32_t Crc32(const char* data, size_t size) { return comm::Crc32(std::string_view(data, size)); }

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put64(std::string& out, const FILETIME& t) {
  Put32(out, t.dwLowDateTime);
  Put32(out, t.dwHighDateTime);
}
uint32_t Get32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}
FILETIME Get64(const char* p) { return {Get32(p), Get32(p + 4)}; }
void PutCrc(std::string& out, size_t from) { Put32(out, Crc32(out.data() + from, out.size() - from)); }

// Whether a whole record, its check included, stands at an offset.
bool WholeRecordAt(const char* p, size_t size, size_t at) {
  if (size - at < kRecordFixed + 4) return false;
  const uint32_t kind = Get32(p + at), chars = Get32(p + at + 4);
  if ((kind != kBefore && kind != kAfter && kind != kEnd) || chars > kMaxPathChars || (kind == kBefore) == (chars == 0))
    return false;
  const size_t length = kRecordFixed + 2 * size_t{chars} + 4;
  return size - at >= length && Get32(p + at + length - 4) == Crc32(p + at, length - 4);
}

// Whether the bytes from an offset to the end can be the one record a killed run was writing: no
// whole record follows inside them. A length damaged in the middle of the journal reaches past the
// end too, but the records after it are still there.
bool TornTail(const char* p, size_t size, size_t at) {
  for (size_t next = at + 2; next + kRecordFixed + 4 <= size; next += 2)
    if (WholeRecordAt(p, size, next)) return false;
  return true;
}

std::string HeaderBytes(const TJournalHeader& h) {
  std::string out(kMagic, sizeof kMagic);
  Put32(out, kHeaderSize);
  Put32(out, (h.ChangeAttr ? 1u : 0u) | (h.ChangeDate ? 2u : 0u) | (h.SetCreate ? 4u : 0u) | (h.SetUpdate ? 8u : 0u) |
                 (h.CreatePerTarget ? 16u : 0u) | (h.UpdatePerTarget ? 32u : 0u));
  Put32(out, h.AttrMask);
  Put32(out, h.AttrValues);
  Put64(out, h.Started);
  Put64(out, h.Creation);
  Put64(out, h.LastWrite);
  Put32(out, static_cast<uint32_t>(h.RunId));
  Put32(out, static_cast<uint32_t>(h.RunId >> 32));
  out.append(4, '\0');
  PutCrc(out, 0);
  return out;
}

void AppendRecord(std::string& out, uint32_t kind, const std::wstring* path, const TTargetState& s) {
  const size_t from = out.size();
  const uint32_t chars = path ? static_cast<uint32_t>(path->size()) : 0;
  Put32(out, kind);
  Put32(out, chars);
  Put32(out, s.Attr);
  Put32(out, 0);
  Put64(out, s.Creation);
  Put64(out, s.LastWrite);
  if (path)
    for (wchar_t c : *path) {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
  PutCrc(out, from);
}

}  // namespace

// ---- reading ----

TJournalLoad LoadJournal(const std::wstring& path, TJournal& journal, DWORD& error) {
  journal = TJournal{};
  error = ERROR_SUCCESS;
  std::string bytes;
  const comm::TReadBytesOutcome read = comm::comm_ReadFileBytes(path, bytes);
  if (read.Result == comm::rbMissing) return TJournalLoad::Missing;
  if (read.Result != comm::rbRead) {
    error = read.Error;
    return TJournalLoad::Unreadable;
  }
  return ParseJournal(bytes, journal);
}

namespace {
TJournalIdentity IdentityOf(const std::string& bytes) {
  TJournalIdentity id;
  id.Size = bytes.size();
  id.Crc = Crc32(bytes.data(), bytes.size());
  if (bytes.size() >= kHeaderSize)
    id.RunId = Get32(bytes.data() + 48) | (uint64_t{Get32(bytes.data() + 52)} << 32);
  return id;
}

// A header no run writes: flags it does not know, a time set without the date step or taken from
// each target without being set, attributes outside the three or switched on without being touched,
// or a plan that changes nothing.
bool HeaderContradicts(uint32_t flags, const TJournalHeader& h) {
  constexpr DWORD kAll = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return (flags & ~kKnownFlags) || ((h.SetCreate || h.SetUpdate) && !h.ChangeDate) ||
         (h.CreatePerTarget && !h.SetCreate) || (h.UpdatePerTarget && !h.SetUpdate) || (h.AttrMask & ~kAll) ||
         (h.AttrValues & ~h.AttrMask) || (!h.ChangeAttr && !h.ChangeDate);
}
}  // namespace

TJournalLoad ParseJournal(const std::string& bytes, TJournal& journal) {
  journal = TJournal{};
  const char* p = bytes.data();
  const size_t size = bytes.size();
  auto damaged = [&] {
    journal = TJournal{};
    return TJournalLoad::Damaged;
  };
  if (size < kHeaderSize || std::memcmp(p, kMagic, sizeof kMagic) != 0 || Get32(p + 8) != kHeaderSize ||
      Get32(p + 60) != Crc32(p, 60))
    return damaged();
  TJournalHeader& h = journal.Header;
  const uint32_t flags = Get32(p + 12);
  h.ChangeAttr = flags & 1;
  h.ChangeDate = flags & 2;
  h.SetCreate = flags & 4;
  h.SetUpdate = flags & 8;
  h.CreatePerTarget = flags & 16;
  h.UpdatePerTarget = flags & 32;
  h.AttrMask = Get32(p + 16);
  h.AttrValues = Get32(p + 20);
  h.Started = Get64(p + 24);
  h.Creation = Get64(p + 32);
  h.LastWrite = Get64(p + 40);
  h.RunId = Get32(p + 48) | (uint64_t{Get32(p + 52)} << 32);
  if (HeaderContradicts(flags, h)) return damaged();

  size_t at = kHeaderSize;
  bool ended = false;
  while (at < size) {
    // A record cut short, or one whose check fails at the very end of the file, is the one the run was
    // writing when it was killed: its target was not touched yet.
    if (size - at < kRecordFixed + 4) break;
    const char* r = p + at;
    const uint32_t kind = Get32(r), chars = Get32(r + 4);
    if ((kind != kBefore && kind != kAfter && kind != kEnd) || chars > kMaxPathChars ||
        (kind != kBefore && chars != 0) || (kind == kBefore && chars == 0))
      return damaged();
    const size_t length = kRecordFixed + 2 * size_t{chars} + 4;
    if (size - at < length || (Get32(r + length - 4) != Crc32(r, length - 4) && at + length == size)) {
      if (TornTail(p, size, at)) break;
      return damaged();
    }
    if (Get32(r + length - 4) != Crc32(r, length - 4)) return damaged();
    // Nothing is written after the end of a run.
    if (ended) return damaged();
    TTargetState state;
    state.Attr = Get32(r + 8);
    state.Creation = Get64(r + 16);
    state.LastWrite = Get64(r + 24);
    if (kind == kBefore) {
      TJournalRecord record;
      record.Path.resize(chars);
      for (uint32_t i = 0; i < chars; ++i)
        record.Path[i] = static_cast<wchar_t>(static_cast<unsigned char>(r[kRecordFixed + 2 * i]) |
                                              (static_cast<unsigned char>(r[kRecordFixed + 2 * i + 1]) << 8));
      record.Before = state;
      journal.Records.push_back(std::move(record));
    } else if (kind == kAfter) {
      // An after state belongs to the record just before it, and only one; and it is something the
      // header's run could have left that target as. A journal that says otherwise would have the
      // undo write to targets on the word of records that no run made.
      if (journal.Records.empty() || journal.Records.back().HasAfter ||
          !RunCouldLeave(h, journal.Records.back().Before, state))
        return damaged();
      journal.Records.back().HasAfter = true;
      journal.Records.back().After = state;
    } else {
      if (state.Attr > 1) return damaged();
      ended = true;
      journal.Ending = state.Attr ? TRunEnding::Stopped : TRunEnding::Ended;
    }
    at += length;
  }
  journal.Identity = IdentityOf(bytes);
  return journal.Records.empty() ? TJournalLoad::Empty : TJournalLoad::Loaded;
}

bool SameTargetState(const TTargetState& a, const TTargetState& b) {
  return (a.Attr & kKept) == (b.Attr & kKept) && SameFileTime(a.Creation, b.Creation) &&
         SameFileTime(a.LastWrite, b.LastWrite);
}

namespace {
int64_t Ticks(const FILETIME& t) { return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime); }

// A time the run may have left: as it was, as the run writes it (any time where each target has its
// own), or as it was to the millisecond (the date step writes the side it does not change back through
// a conversion that keeps milliseconds).
bool TimeOfRun(const FILETIME& now, const FILETIME& before, bool set, bool perTarget, const FILETIME& written) {
  const int64_t rounded = Ticks(before) - Ticks(now);
  return (set && (perTarget || SameFileTime(now, written))) || (rounded >= 0 && rounded < 10000);
}
}  // namespace

bool RunCouldLeave(const TJournalHeader& header, const TTargetState& before, const TTargetState& state) {
  const DWORD was = before.Attr & kKept;
  const DWORD planned = header.ChangeAttr ? (was & ~header.AttrMask) | (header.AttrValues & header.AttrMask) : was;
  const DWORD attr = state.Attr & kKept;
  // Read-only is cleared for a moment around the date step and while hidden and system are written.
  const bool attrOfRun = attr == was || attr == planned || (!(attr & FILE_ATTRIBUTE_READONLY) &&
                                                            (attr == (was & ~DWORD{FILE_ATTRIBUTE_READONLY}) ||
                                                             attr == (planned & ~DWORD{FILE_ATTRIBUTE_READONLY})));
  if (!attrOfRun ||
      !TimeOfRun(state.LastWrite, before.LastWrite, header.SetUpdate, header.UpdatePerTarget, header.LastWrite))
    return false;
  if (TimeOfRun(state.Creation, before.Creation, header.SetCreate, header.CreatePerTarget, header.Creation)) return true;
  // A file system that keeps no creation time (Linux file systems under Wine) reports the last-write
  // time for it: where the two were one when the run found the target, they stay one.
  return SameFileTime(before.Creation, before.LastWrite) && SameFileTime(state.Creation, state.LastWrite);
}

bool ChangedSinceRun(const TJournalHeader& header, const TJournalRecord& record, const TTargetState& now) {
  if (record.HasAfter) return !SameTargetState(record.After, now);
  // The run was stopped at this target: it may have changed it in part. Anything the run could not
  // have left is later work.
  return !RunCouldLeave(header, record.Before, now);
}

namespace {
// Names joined as a list is read: "A", "AとB", "A、BとC".
std::wstring JoinNames(const std::vector<std::wstring>& names) {
  std::wstring out;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out += i + 1 == names.size() ? L"と" : L"、";
    out += names[i];
  }
  return out;
}
}  // namespace

std::wstring UndoChangeText(const TJournal& journal) {
  const TJournalHeader& h = journal.Header;
  // What the run wrote and some target did not have before: only that goes back.
  bool creation = false, update = false;
  DWORD attrs = 0;
  const DWORD mask = h.ChangeAttr ? h.AttrMask & kKept : 0;
  for (const TJournalRecord& r : journal.Records) {
    // A side taken from each target changed where the run left it otherwise than it found it.
    auto changed = [&](bool set, bool perTarget, const FILETIME& before, const FILETIME& after, const FILETIME& one) {
      return set && (perTarget ? r.HasAfter && !SameFileTime(before, after) : !SameFileTime(before, one));
    };
    creation = creation || changed(h.SetCreate, h.CreatePerTarget, r.Before.Creation, r.After.Creation, h.Creation);
    update = update || changed(h.SetUpdate, h.UpdatePerTarget, r.Before.LastWrite, r.After.LastWrite, h.LastWrite);
    attrs |= (r.Before.Attr ^ h.AttrValues) & mask;
  }
  std::vector<std::wstring> parts;
  if (h.CreatePerTarget || h.UpdatePerTarget) {
    // Each target had its own time: there is no one time to name.
    if (creation || update)
      parts.push_back(std::wstring(creation && update ? L"作成日時と更新日時" : creation ? L"作成日時" : L"更新日時") +
                      L"を元の日時に戻し");
  } else if (creation && update && SameFileTime(h.Creation, h.LastWrite)) {
    parts.push_back(L"作成日時と更新日時を " + comm::LocalFileTimeText(h.Creation) + L" から元の日時に戻し");
  } else if (creation && update) {
    parts.push_back(L"作成日時を " + comm::LocalFileTimeText(h.Creation) + L" から、更新日時を " + comm::LocalFileTimeText(h.LastWrite) +
                    L" から元の日時に戻し");
  } else if (creation || update) {
    parts.push_back(std::wstring(creation ? L"作成日時を " : L"更新日時を ") +
                    comm::LocalFileTimeText(creation ? h.Creation : h.LastWrite) + L" から元の日時に戻し");
  }
  // Each attribute goes back to the opposite of what the run switched it to.
  const std::pair<DWORD, const wchar_t*> names[] = {{FILE_ATTRIBUTE_READONLY, L"読み取り専用属性"},
                                                    {FILE_ATTRIBUTE_HIDDEN, L"隠し属性"},
                                                    {FILE_ATTRIBUTE_SYSTEM, L"システム属性"}};
  std::wstring attrText;
  for (const bool on : {false, true}) {
    std::vector<std::wstring> group;
    for (const auto& [bit, name] : names)
      if ((attrs & bit) && ((h.AttrValues & bit) == 0) == on) group.push_back(name);
    if (!group.empty()) attrText += (attrText.empty() ? L"" : L"、") + JoinNames(group) + (on ? L"を ON に" : L"を OFF に");
  }
  if (!attrText.empty()) parts.push_back(attrText + L"戻し");
  if (parts.empty()) return L"";
  std::wstring text;
  for (size_t i = 0; i < parts.size(); ++i) text += (i ? L"、" : L"") + parts[i];
  return text + L"ます。";
}

std::wstring UndoConfirmationText(const TJournal& journal) {
  const size_t count = journal.Records.size();
  const wchar_t* ending = journal.Ending == TRunEnding::Ended     ? L"最後まで実行されました"
                          : journal.Ending == TRunEnding::Stopped ? L"途中で中止されました"
                                                                  : L"途中で終わっています（記録がそこで途切れています）";
  std::wstring text = L"直前の変更を元に戻します。\r\r実行日時\t： " + comm::LocalFileTimeText(journal.Header.Started) +
                      L"\r対象数\t\t： " + std::to_wstring(count) + L"\r実行結果\t： " + ending + L"\r\r";
  if (const std::wstring change = UndoChangeText(journal); !change.empty()) text += change + L"\r\r";
  for (size_t i = 0; i < count && i < kUndoShownPaths; ++i) text += journal.Records[i].Path + L"\r";
  if (count > kUndoShownPaths) text += L"ほか " + std::to_wstring(count - kUndoShownPaths) + L" 件\r";
  return text + L"\rよろしいですか？";
}

// ---- the lock ----

bool TJournalLock::Acquire(DWORD waitMs, DWORD& error) {
  error = ERROR_SUCCESS;
  if (Held()) return true;
  // The folder of the user's settings may not be there yet.
  const size_t slash = FPath.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0) CreateDirectoryW(FPath.substr(0, slash).c_str(), nullptr);
  // Anyone may open the file; the lock is on its first byte. The file stays: removing it would let a
  // second user lock a new file of the same name while the first still holds the old one.
  FFile.Reset(CreateFileW(FPath.c_str(), GENERIC_READ | GENERIC_WRITE, comm::kShareAll,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FFile) {
    error = GetLastError();
    return false;
  }
  const DWORD start = GetTickCount();
  for (;;) {
    OVERLAPPED at{};
    if (LockFileEx(FFile.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) return true;
    error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION || GetTickCount() - start >= waitMs) break;
    Sleep(50);
  }
  FFile.Reset();
  return false;
}

void TJournalLock::Release() {
  if (!Held()) return;
  OVERLAPPED at{};
  UnlockFileEx(FFile.Get(), 0, 1, 0, &at);
  FFile.Reset();
}

// ---- the undo's hold ----

TJournalLoad TJournalUndo::Read(TJournal& journal, DWORD& error) {
  Release();
  FRead = false;
  journal = TJournal{};
  if (!FLock.Acquire(kJournalLockWaitMs, error)) return error == ERROR_LOCK_VIOLATION ? TJournalLoad::Busy : TJournalLoad::Unreadable;
  const TJournalLoad load = LoadJournal(FPath, journal, error);
  FLock.Release();
  FRead = load == TJournalLoad::Loaded;
  FIdentity = journal.Identity;
  return load;
}

TJournalUndo::THold TJournalUndo::Hold(DWORD& error) {
  error = ERROR_SUCCESS;
  if (!FRead) return THold::Replaced;
  if (FFile) return THold::Held;
  if (!FLock.Acquire(kJournalLockWaitMs, error)) return error == ERROR_LOCK_VIOLATION ? THold::Busy : THold::Unreadable;
  // Read and delete access, shared for reading only: under this handle the file can be neither
  // written, nor renamed, nor replaced, nor removed by anyone else.
  FFile.Reset(CreateFileW(FPath.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FFile) {
    error = GetLastError();
    Release();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? THold::Replaced : THold::Unreadable;
  }
  auto fail = [&](THold why) {
    Release();
    return why;
  };
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(FFile.Get(), &size)) {
    error = GetLastError();
    return fail(THold::Unreadable);
  }
  // A size of its own is another journal already.
  if (size.QuadPart != static_cast<LONGLONG>(FIdentity.Size)) return fail(THold::Replaced);
  std::string bytes(FIdentity.Size, '\0');
  for (size_t got = 0; got < bytes.size();) {
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, size_t{1} << 20));
    if (!ReadFile(FFile.Get(), bytes.data() + got, want, &n, nullptr)) {
      error = GetLastError();
      return fail(THold::Unreadable);
    }
    if (n == 0) return fail(THold::Replaced);
    got += n;
  }
  return IdentityOf(bytes) == FIdentity ? THold::Held : fail(THold::Replaced);
}

bool TJournalUndo::Remove() {
  if (!FFile) return false;
  FILE_DISPOSITION_INFO gone{TRUE};
  const bool removed = SetFileInformationByHandle(FFile.Get(), FileDispositionInfo, &gone, sizeof gone) != FALSE;
  Release();  // the file goes as its handle closes
  FRead = false;
  return removed;
}

void TJournalUndo::Release() {
  FFile.Reset();
  FLock.Release();
}

// ---- writing ----

namespace {
// A run identifier no other run has: random, or where the system gives no random bytes, made of this
// process, this moment and the tick counter.
uint64_t NewRunId() {
  uint64_t id = 0;
  if (BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&id), sizeof id, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0 || id == 0) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    id = ((uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime) ^ (uint64_t{GetCurrentProcessId()} << 40) ^
         static_cast<uint64_t>(counter.QuadPart) ^ 1;
  }
  return id;
}
}  // namespace

// A writer destroyed with its journal open never reached the end of its run.
TJournalWriter::~TJournalWriter() {
  if (FFile) End(true);
}

void TJournalWriter::Close() {
  FFile.Reset();
}

bool TJournalWriter::Begin(const TJournalHeader& header) {
  if (FFile) End(true);
  FCommitted = FMoved = FFailed = false;
  FError = ERROR_SUCCESS;
  FAfter.clear();
  // No second writer: another copy's run (or undo) keeps the pending file and the journal to itself
  // until it ends. The lock also makes the folder of the user's settings where it is not there yet.
  if (!FLock.Acquire(kJournalLockWaitMs, FError)) return false;
  // Others may read it; nobody may write it beside this run; it may be renamed while open.
  FFile.Reset(CreateFileW(PendingPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FFile) {
    FError = GetLastError();
    FLock.Release();
    return false;
  }
  FLastFlush = GetTickCount();
  TJournalHeader h = header;
  if (h.RunId == 0) h.RunId = NewRunId();
  if (WriteOut(HeaderBytes(h))) return true;
  const DWORD error = FError;
  End(true);
  FError = error;
  return false;
}

bool TJournalWriter::WriteOut(const std::string& bytes) {
  if (!FFile || FFailed) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(FFile.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) {
    FError = ok ? ERROR_DISK_FULL : GetLastError();
    FFailed = true;
    return false;
  }
  if (GetTickCount() - FLastFlush >= kFlushIntervalMs) {
    FlushFileBuffers(FFile.Get());
    FLastFlush = GetTickCount();
  }
  return true;
}

bool TJournalWriter::Record(const std::wstring& path, const TTargetState& before) {
  FBuffer.swap(FAfter);  // the last target's after state goes out with this record
  FAfter.clear();
  AppendRecord(FBuffer, kBefore, &path, before);
  const bool ok = WriteOut(FBuffer);
  FBuffer.clear();
  return ok;
}

void TJournalWriter::RecordAfter(const TTargetState& after) {
  FAfter.clear();
  AppendRecord(FAfter, kAfter, nullptr, after);
}

void TJournalWriter::Commit() {
  if (FCommitted || !FFile) return;
  FCommitted = true;
  // The last run's journal is given up only for one that is on the disk with this run's first change.
  if (!FAfter.empty() && WriteOut(FAfter)) FAfter.clear();
  FlushFileBuffers(FFile.Get());
  FLastFlush = GetTickCount();
  FMoved = MoveFileExW(PendingPath().c_str(), FPath.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!FMoved) FError = GetLastError();
}

bool TJournalWriter::End(bool stopped) {
  if (!FFile) return true;
  comm::TScopeExit unlock([this] { FLock.Release(); });
  if (!FCommitted) {
    Close();
    DeleteFileW(PendingPath().c_str());
    return true;
  }
  AppendRecord(FAfter, kEnd, nullptr, TTargetState{stopped ? 1u : 0u, {}, {}});
  WriteOut(FAfter);
  FAfter.clear();
  FlushFileBuffers(FFile.Get());
  Close();
  if (!FMoved) {
    // The rename was refused while the file was open (another program held the old journal): once more.
    FMoved = MoveFileExW(PendingPath().c_str(), FPath.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (!FMoved) {
      FError = GetLastError();
      return false;
    }
  }
  return true;
}

}  // namespace engine
