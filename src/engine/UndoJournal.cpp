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

constexpr char kMagicV1[8] = {'V', 'S', 'S', 'U', 'N', 'D', 'O', '1'};
constexpr char kMagic[8] = {'V', 'S', 'S', 'U', 'N', 'D', 'O', '2'};
constexpr char kReportMagic[8] = {'V', 'S', 'S', 'R', 'E', 'P', 'T', '1'};
constexpr uint32_t kHeaderSize = 64;
constexpr uint32_t kRecordFixed = 32;  // kind, length, attributes, zero, two times
constexpr uint32_t kBefore = 'B', kAfter = 'A', kResult = 'R', kEnd = 'E';
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

bool KnownKind(uint32_t kind) { return kind == kBefore || kind == kAfter || kind == kResult || kind == kEnd; }
// A 'B' record names its target, 'A' and 'E' name none, an 'R' record may.
bool LengthFits(uint32_t kind, uint32_t chars) { return kind == kResult || (kind == kBefore) == (chars != 0); }

// Whether a whole record, its check included, stands at an offset.
bool WholeRecordAt(const char* p, size_t size, size_t at) {
  if (size - at < kRecordFixed + 4) return false;
  const uint32_t kind = Get32(p + at), chars = Get32(p + at + 4);
  if (!KnownKind(kind) || chars > kMaxPathChars || !LengthFits(kind, chars)) return false;
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

void AppendRecord(std::string& out, uint32_t kind, const std::wstring* path, const TTargetState& s, uint32_t extra = 0) {
  const size_t from = out.size();
  const uint32_t chars = path ? static_cast<uint32_t>(path->size()) : 0;
  Put32(out, kind);
  Put32(out, chars);
  Put32(out, s.Attr);
  Put32(out, extra);
  Put64(out, s.Creation);
  Put64(out, s.LastWrite);
  if (path)
    for (wchar_t c : *path) {
      out.push_back(static_cast<char>(c & 0xFF));
      out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
  PutCrc(out, from);
}

// An 'R' record: the outcome and the note in the attribute word, the error code beside it.
void AppendResult(std::string& out, const std::wstring* path, TTargetOutcome outcome, DWORD error, TReportNote note) {
  AppendRecord(out, kResult, path,
               TTargetState{static_cast<uint32_t>(outcome) | (uint32_t{static_cast<uint8_t>(note)} << 8), {}, {}}, error);
}

std::wstring PathAt(const char* r, uint32_t chars) {
  std::wstring path(chars, L'\0');
  for (uint32_t i = 0; i < chars; ++i)
    path[i] = static_cast<wchar_t>(static_cast<unsigned char>(r[kRecordFixed + 2 * i]) |
                                   (static_cast<unsigned char>(r[kRecordFixed + 2 * i + 1]) << 8));
  return path;
}

// The records after a header, into journal (its records, ending and report). plan: the journal's
// header, which every after state must fit; null for a report file, whose states are only shown.
// results: 'R' records belong to this version. False when the records are damaged.
bool ParseRecords(const char* p, size_t size, const TJournalHeader* plan, bool results, TJournal& journal) {
  std::vector<TReportEntry>& entries = journal.Report.Entries;
  std::vector<bool> resolved;  // per entry: its 'R' record came
  bool ended = false;
  // The report entry of the last 'B' record while it waits for its 'R' record; none once that came.
  bool open = false;
  size_t at = kHeaderSize;
  while (at < size) {
    // A record cut short, or one whose check fails at the very end of the file, is the one the run was
    // writing when it was killed: its target was not touched yet.
    if (size - at < kRecordFixed + 4) break;
    const char* r = p + at;
    const uint32_t kind = Get32(r), chars = Get32(r + 4);
    if (!KnownKind(kind) || (kind == kResult && !results) || chars > kMaxPathChars || !LengthFits(kind, chars))
      return false;
    const size_t length = kRecordFixed + 2 * size_t{chars} + 4;
    if (size - at < length || (Get32(r + length - 4) != Crc32(r, length - 4) && at + length == size)) {
      if (TornTail(p, size, at)) break;
      return false;
    }
    if (Get32(r + length - 4) != Crc32(r, length - 4)) return false;
    // Nothing is written after the end of a run.
    if (ended) return false;
    TTargetState state;
    state.Attr = Get32(r + 8);
    state.Creation = Get64(r + 16);
    state.LastWrite = Get64(r + 24);
    if (kind == kBefore) {
      TJournalRecord record;
      record.Path = PathAt(r, chars);
      record.Before = state;
      TReportEntry entry;
      entry.Path = record.Path;
      entry.HasBefore = true;
      entry.Before = state;
      journal.Records.push_back(std::move(record));
      entries.push_back(std::move(entry));
      resolved.push_back(false);
      open = true;
    } else if (kind == kAfter) {
      // An after state belongs to the record just before it, and only one, before its result; and it
      // is something the header's run could have left that target as. A journal that says otherwise
      // would have the undo write to targets on the word of records that no run made.
      if (!open || journal.Records.back().HasAfter || (plan && !RunCouldLeave(*plan, journal.Records.back().Before, state)))
        return false;
      journal.Records.back().HasAfter = entries.back().HasAfter = true;
      journal.Records.back().After = entries.back().After = state;
    } else if (kind == kResult) {
      const uint32_t outcome = state.Attr & 0xFF, note = state.Attr >> 8;
      if (outcome >= static_cast<uint32_t>(kOutcomeCount) || note > kLastReportNote) return false;
      if (chars == 0) {
        if (!open) return false;
        open = false;
      } else {
        // A target without a record of its state cannot have been changed, nor kept its times for
        // want of a value (that takes its state).
        if (outcome != static_cast<uint32_t>(TTargetOutcome::Failed) && outcome != static_cast<uint32_t>(TTargetOutcome::Missing))
          return false;
        open = false;
        entries.emplace_back().Path = PathAt(r, chars);
        resolved.push_back(false);
      }
      TReportEntry& e = entries.back();
      e.Outcome = static_cast<TTargetOutcome>(outcome);
      e.Note = static_cast<TReportNote>(note);
      e.Error = Get32(r + 12);
      resolved.back() = true;
    } else {
      if (state.Attr > 1) return false;
      ended = true;
      open = false;
      journal.Ending = state.Attr ? TRunEnding::Stopped : TRunEnding::Ended;
    }
    at += length;
  }
  // Targets whose result the journal does not say (an older version's, or the one a killed run was at).
  for (size_t i = 0; i < entries.size(); ++i) {
    TReportEntry& e = entries[i];
    if (resolved[i]) continue;
    if (e.HasAfter) {
      e.Outcome = SameTargetState(e.Before, e.After) ? TTargetOutcome::Unchanged : TTargetOutcome::Changed;
    } else {
      e.Outcome = TTargetOutcome::Failed;
      e.Note = i + 1 == entries.size() && journal.Ending == TRunEnding::Cut ? TReportNote::Cut : TReportNote::Unknown;
    }
  }
  journal.Report.Ending = journal.Ending;
  return true;
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
  const bool v2 = size >= kHeaderSize && std::memcmp(p, kMagic, sizeof kMagic) == 0;
  if (size < kHeaderSize || (!v2 && std::memcmp(p, kMagicV1, sizeof kMagicV1) != 0) || Get32(p + 8) != kHeaderSize ||
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

  if (!ParseRecords(p, size, &h, v2, journal)) return damaged();
  journal.Report.Started = h.Started;
  journal.Identity = IdentityOf(bytes);
  return journal.Records.empty() ? TJournalLoad::Empty : TJournalLoad::Loaded;
}

// ---- the report file ----

std::string ReportBytes(const TRunReport& report) {
  std::string out(kReportMagic, sizeof kReportMagic);
  Put32(out, kHeaderSize);
  Put32(out, report.Undo ? 1u : 0u);
  out.append(12, '\0');
  Put64(out, report.Started);
  out.append(24, '\0');
  PutCrc(out, 0);
  for (const TReportEntry& e : report.Entries) {
    // An after state is only kept beside the state before it, as in the journal.
    if (e.HasBefore) AppendRecord(out, kBefore, &e.Path, e.Before);
    if (e.HasBefore && e.HasAfter) AppendRecord(out, kAfter, nullptr, e.After);
    AppendResult(out, e.HasBefore ? nullptr : &e.Path, e.Outcome, e.Error, e.Note);
  }
  if (report.Ending != TRunEnding::Cut)
    AppendRecord(out, kEnd, nullptr, TTargetState{report.Ending == TRunEnding::Stopped ? 1u : 0u, {}, {}});
  return out;
}

TJournalLoad ParseReport(const std::string& bytes, TRunReport& report) {
  report = TRunReport{};
  const char* p = bytes.data();
  const size_t size = bytes.size();
  if (size < kHeaderSize || std::memcmp(p, kReportMagic, sizeof kReportMagic) != 0 || Get32(p + 8) != kHeaderSize ||
      Get32(p + 60) != Crc32(p, 60) || (Get32(p + 12) & ~1u))
    return TJournalLoad::Damaged;
  TJournal parsed;
  if (!ParseRecords(p, size, nullptr, true, parsed)) return TJournalLoad::Damaged;
  report = std::move(parsed.Report);
  report.Undo = Get32(p + 12) & 1;
  report.Started = Get64(p + 28);
  return report.Entries.empty() ? TJournalLoad::Empty : TJournalLoad::Loaded;
}

bool WriteReportFile(const std::wstring& journalPath, const TRunReport& report, DWORD& error) {
  const comm::TReplaceBytesOutcome written = comm::comm_ReplaceFileBytes(ReportPathOf(journalPath), ReportBytes(report));
  error = written.Error;
  return written.Result != comm::rpFailed;
}

TJournalLoad LoadLastReport(const std::wstring& journalPath, TRunReport& report, DWORD& error) {
  report = TRunReport{};
  error = ERROR_SUCCESS;
  TJournal journal;
  DWORD journalError = ERROR_SUCCESS;
  const TJournalLoad fromJournal = LoadJournal(journalPath, journal, journalError);
  TRunReport own;
  TJournalLoad fromFile = TJournalLoad::Missing;
  std::string bytes;
  const comm::TReadBytesOutcome read = comm::comm_ReadFileBytes(ReportPathOf(journalPath), bytes);
  DWORD fileError = ERROR_SUCCESS;
  if (read.Result == comm::rbRead) {
    fromFile = ParseReport(bytes, own);
  } else if (read.Result != comm::rbMissing) {
    fromFile = TJournalLoad::Unreadable;
    fileError = read.Error;
  }
  auto usable = [](TJournalLoad l) { return l == TJournalLoad::Loaded || l == TJournalLoad::Empty; };
  auto ticks = [](const FILETIME& t) { return (uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
  const bool journalOk = usable(fromJournal), fileOk = usable(fromFile);
  if (fileOk && (!journalOk || ticks(own.Started) >= ticks(journal.Report.Started))) {
    report = std::move(own);
    return fromFile;
  }
  if (journalOk) {
    report = std::move(journal.Report);
    return report.Entries.empty() ? TJournalLoad::Empty : TJournalLoad::Loaded;
  }
  // Neither can be shown: the worse of the two says why.
  for (const TJournalLoad worst : {TJournalLoad::Unreadable, TJournalLoad::Busy, TJournalLoad::Damaged}) {
    if (fromFile == worst) {
      error = fileError;
      return worst;
    }
    if (fromJournal == worst) {
      error = journalError;
      return worst;
    }
  }
  return TJournalLoad::Missing;
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
  const std::wstring ending = RunEndingText(journal.Ending);
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

bool TJournalUndo::SaveReport(const TRunReport& report, DWORD& error) {
  error = ERROR_SUCCESS;
  const bool held = FLock.Held();
  if (!held && !FLock.Acquire(kJournalLockWaitMs, error)) return false;
  const bool saved = WriteReportFile(FPath, report, error);
  if (!held) FLock.Release();
  return saved;
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

void TJournalWriter::RecordAfter(const TTargetState& after) { AppendRecord(FAfter, kAfter, nullptr, after); }

void TJournalWriter::RecordOutcome(const std::wstring* path, TTargetOutcome outcome, DWORD error, TReportNote note) {
  if (FFile) AppendResult(FAfter, path, outcome, error, note);
}

bool TJournalWriter::SaveReport(const TRunReport& report) {
  TJournalLock lock(FPath);
  if (!lock.Acquire(kJournalLockWaitMs, FError)) return false;
  return WriteReportFile(FPath, report, FError);
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
  // From now on the journal holds the last run's report; an older one beside it would only mislead.
  DeleteFileW(ReportPathOf(FPath).c_str());
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
