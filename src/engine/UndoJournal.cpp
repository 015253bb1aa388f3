// Writing and reading the journal of the last change run.
#include "engine/UndoJournal.h"
#include "comm/Crc32.h"
#include "comm/DateTime.h"
#include "comm/FileBytes.h"
#include "comm/FileDateTime.h"
#include <cstring>

namespace engine {
namespace {

constexpr char kMagic[8] = {'V', 'S', 'S', 'U', 'N', 'D', 'O', '1'};
constexpr uint32_t kHeaderSize = 64;
constexpr uint32_t kRecordFixed = 32;  // kind, length, attributes, zero, two times
constexpr uint32_t kBefore = 'B', kAfter = 'A';
constexpr uint32_t kMaxPathChars = 32767;
constexpr DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr size_t kShownPaths = 5;

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
  if ((kind != kBefore && kind != kAfter) || chars > kMaxPathChars || (kind == kAfter) != (chars == 0)) return false;
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
  Put32(out, (h.ChangeAttr ? 1u : 0u) | (h.ChangeDate ? 2u : 0u) | (h.SetCreate ? 4u : 0u) | (h.SetUpdate ? 8u : 0u));
  Put32(out, h.AttrMask);
  Put32(out, h.AttrValues);
  Put64(out, h.Started);
  Put64(out, h.Creation);
  Put64(out, h.LastWrite);
  out.append(12, '\0');
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
  h.AttrMask = Get32(p + 16);
  h.AttrValues = Get32(p + 20);
  h.Started = Get64(p + 24);
  h.Creation = Get64(p + 32);
  h.LastWrite = Get64(p + 40);

  size_t at = kHeaderSize;
  while (at < size) {
    // A record cut short, or one whose check fails at the very end of the file, is the one the run was
    // writing when it was killed: its target was not touched yet.
    if (size - at < kRecordFixed + 4) break;
    const char* r = p + at;
    const uint32_t kind = Get32(r), chars = Get32(r + 4);
    if ((kind != kBefore && kind != kAfter) || chars > kMaxPathChars || (kind == kAfter && chars != 0) ||
        (kind == kBefore && chars == 0))
      return damaged();
    const size_t length = kRecordFixed + 2 * size_t{chars} + 4;
    if (size - at < length || (Get32(r + length - 4) != Crc32(r, length - 4) && at + length == size)) {
      if (TornTail(p, size, at)) break;
      return damaged();
    }
    if (Get32(r + length - 4) != Crc32(r, length - 4)) return damaged();
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
    } else {
      // An after state belongs to the record just before it, and only one.
      if (journal.Records.empty() || journal.Records.back().HasAfter) return damaged();
      journal.Records.back().HasAfter = true;
      journal.Records.back().After = state;
    }
    at += length;
  }
  return journal.Records.empty() ? TJournalLoad::Empty : TJournalLoad::Loaded;
}

bool SameTargetState(const TTargetState& a, const TTargetState& b) {
  return (a.Attr & kKept) == (b.Attr & kKept) && SameFileTime(a.Creation, b.Creation) &&
         SameFileTime(a.LastWrite, b.LastWrite);
}

namespace {
int64_t Ticks(const FILETIME& t) { return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime); }

// A time the run may have left: as it was, as the run writes it, or as it was to the millisecond (the
// date step writes the side it does not change back through a conversion that keeps milliseconds).
bool TimeOfRun(const FILETIME& now, const FILETIME& before, bool set, const FILETIME& written) {
  const int64_t rounded = Ticks(before) - Ticks(now);
  return (set && SameFileTime(now, written)) || (rounded >= 0 && rounded < 10000);
}
}  // namespace

bool ChangedSinceRun(const TJournalHeader& header, const TJournalRecord& record, const TTargetState& now) {
  if (record.HasAfter) return !SameTargetState(record.After, now);
  // The run was stopped at this target: it may have changed it in part. Anything the run could not
  // have left is later work.
  const DWORD was = record.Before.Attr & kKept;
  const DWORD planned = header.ChangeAttr ? (was & ~header.AttrMask) | (header.AttrValues & header.AttrMask) : was;
  const DWORD attr = now.Attr & kKept;
  // Read-only is cleared for a moment around the date step and while hidden and system are written.
  const bool attrOfRun = attr == was || attr == planned || (!(attr & FILE_ATTRIBUTE_READONLY) &&
                                                            (attr == (was & ~DWORD{FILE_ATTRIBUTE_READONLY}) ||
                                                             attr == (planned & ~DWORD{FILE_ATTRIBUTE_READONLY})));
  return !attrOfRun || !TimeOfRun(now.Creation, record.Before.Creation, header.SetCreate, header.Creation) ||
         !TimeOfRun(now.LastWrite, record.Before.LastWrite, header.SetUpdate, header.LastWrite);
}

std::wstring UndoConfirmationText(const TJournal& journal) {
  std::wstring when = L"?";
  comm::TDateTime started;
  comm::TDateTimeParts parts;
  if (comm_ConvFileTimeToDateTime(journal.Header.Started, started) && comm::DecodeDateTime(started, parts))
    when = comm::FormatDateTimeParts(parts.Year, parts.Month, parts.Day, parts.Hour, parts.Minute, parts.Second);
  const size_t count = journal.Records.size();
  std::wstring text = L"直前の変更を元に戻します。\r\r実行日時\t： " + when + L"\r対象数\t\t： " +
                      std::to_wstring(count) + L"\r\r";
  for (size_t i = 0; i < count && i < kShownPaths; ++i) text += journal.Records[i].Path + L"\r";
  if (count > kShownPaths) text += L"ほか " + std::to_wstring(count - kShownPaths) + L" 件\r";
  return text + L"\rよろしいですか？";
}

// ---- writing ----

TJournalWriter::~TJournalWriter() {
  if (FFile != INVALID_HANDLE_VALUE) End();
}

void TJournalWriter::Close() {
  if (FFile != INVALID_HANDLE_VALUE) CloseHandle(FFile);
  FFile = INVALID_HANDLE_VALUE;
}

bool TJournalWriter::Begin(const TJournalHeader& header) {
  if (FFile != INVALID_HANDLE_VALUE) End();
  FCommitted = FMoved = FFailed = false;
  FError = ERROR_SUCCESS;
  FAfter.clear();
  // The folder of the user's settings may not be there yet.
  const size_t slash = FPath.find_last_of(L"\\/");
  if (slash != std::wstring::npos && slash > 0) CreateDirectoryW(FPath.substr(0, slash).c_str(), nullptr);
  // Others may read it; nobody may write it beside this run; it may be renamed while open.
  FFile = CreateFileW(PendingPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FFile == INVALID_HANDLE_VALUE) {
    FError = GetLastError();
    return false;
  }
  FLastFlush = GetTickCount();
  if (WriteOut(HeaderBytes(header))) return true;
  End();
  return false;
}

bool TJournalWriter::WriteOut(const std::string& bytes) {
  if (FFile == INVALID_HANDLE_VALUE || FFailed) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(FFile, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) {
    FError = ok ? ERROR_DISK_FULL : GetLastError();
    FFailed = true;
    return false;
  }
  if (GetTickCount() - FLastFlush >= kFlushIntervalMs) {
    FlushFileBuffers(FFile);
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
  if (FCommitted || FFile == INVALID_HANDLE_VALUE) return;
  FCommitted = true;
  // The last run's journal is given up only for one that is on the disk with this run's first change.
  if (!FAfter.empty() && WriteOut(FAfter)) FAfter.clear();
  FlushFileBuffers(FFile);
  FLastFlush = GetTickCount();
  FMoved = MoveFileExW(PendingPath().c_str(), FPath.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!FMoved) FError = GetLastError();
}

bool TJournalWriter::End() {
  if (FFile == INVALID_HANDLE_VALUE) return true;
  if (!FCommitted) {
    Close();
    DeleteFileW(PendingPath().c_str());
    return true;
  }
  if (!FAfter.empty()) WriteOut(FAfter);
  FAfter.clear();
  FlushFileBuffers(FFile);
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
