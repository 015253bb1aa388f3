// The journal of the last change run: what each target was before the run changed it and what the
// run left it as, so that the run can be taken back, also after the program was killed halfway.
//
// The file is binary, little-endian: a header of 64 bytes, then records.
//   header: "VSSUNDO1", u32 header size (64), u32 flags (1 attributes, 2 dates, 4 creation time,
//           8 last-write time), u32 attribute mask, u32 attribute values, u64 start of the run (UTC
//           file time), u64 creation time and u64 last-write time the run writes, 12 bytes zero,
//           u32 CRC-32 of the 60 bytes before it.
//   record: u32 kind ('B' before, 'A' after), u32 path length in UTF-16 units (0 for 'A'), u32
//           attribute word, u32 zero, u64 creation time, u64 last-write time, the path (UTF-16, no
//           terminator), u32 CRC-32 of the record's bytes before it.
// A 'B' record is written before its target is touched; the 'A' record that follows it says what
// the target was left as. An incomplete or unreadable last record is the trace of a run that was
// killed while writing it, and is not part of the journal; anything unreadable before it makes the
// whole journal damaged.
#pragma once
#include "Base.h"
#include "engine/ChangeTarget.h"
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// The journal of this user's last run, in the program's folder of the user's roaming application data.
inline constexpr wchar_t kJournalName[] = L"VornaStampShifter.undo";

// What the run was set to do, and when it started.
struct TJournalHeader {
  FILETIME Started{};     // UTC
  bool ChangeAttr = false, ChangeDate = false, SetCreate = false, SetUpdate = false;
  DWORD AttrMask = 0, AttrValues = 0;
  FILETIME Creation{}, LastWrite{};  // the times the run writes (UTC), where it writes them
};

struct TJournalRecord {
  std::wstring Path;  // the entry as the target list showed it
  TTargetState Before;
  bool HasAfter = false;  // false for the target the run was at when it was killed
  TTargetState After;
};

struct TJournal {
  TJournalHeader Header;
  std::vector<TJournalRecord> Records;
};

enum class TJournalLoad {
  Loaded,      // at least one record
  Missing,     // no journal
  Empty,       // a journal without a whole record
  Damaged,     // not a journal, or a record in it cannot be read
  Unreadable,  // the file is there but could not be read (Error says why)
};

// Reads the journal at path.
TJournalLoad LoadJournal(const std::wstring& path, TJournal& journal, DWORD& error);

// The run's side of the journal: what the change run calls while it works.
class IChangeJournal {
 public:
  virtual ~IChangeJournal() = default;
  // Starts the journal of a new run beside the last run's, which stays the journal until Commit.
  // False when it cannot be made (Error).
  virtual bool Begin(const TJournalHeader& header) = 0;
  // The state of the next target before it is touched; on the disk when this returns true (as far
  // as a killed program is concerned: the system's cache holds it; it is flushed to the disk in
  // batches).
  virtual bool Record(const std::wstring& path, const TTargetState& before) = 0;
  // What the target of the last Record was left as.
  virtual void RecordAfter(const TTargetState& after) = 0;
  // The run has changed a target: from now on its journal is the last run's. Once per run.
  virtual void Commit() = 0;
  // Ends the run's journal: written out and closed, or removed when it was never committed. False
  // when a committed journal could not be completed (Error).
  virtual bool End() = 0;
  virtual DWORD Error() const = 0;
  virtual const std::wstring& Path() const = 0;
};

// The journal file at a path: the new run's journal is made as path + ".new" and takes the place of
// the last one at Commit.
class TJournalWriter : public IChangeJournal {
 public:
  explicit TJournalWriter(std::wstring path) : FPath(std::move(path)) {}
  ~TJournalWriter() override;
  TJournalWriter(const TJournalWriter&) = delete;
  TJournalWriter& operator=(const TJournalWriter&) = delete;

  bool Begin(const TJournalHeader& header) override;
  bool Record(const std::wstring& path, const TTargetState& before) override;
  void RecordAfter(const TTargetState& after) override;
  void Commit() override;
  bool End() override;
  DWORD Error() const override { return FError; }
  const std::wstring& Path() const override { return FPath; }

  // The file of a run between Begin and Commit.
  std::wstring PendingPath() const { return FPath + L".new"; }
  // Flushes to the disk at most this often while a run writes (always at Commit and End).
  static constexpr DWORD kFlushIntervalMs = 1000;

 private:
  bool WriteOut(const std::string& bytes);
  void Close();

  std::wstring FPath;
  HANDLE FFile = INVALID_HANDLE_VALUE;
  bool FCommitted = false;
  bool FMoved = false;  // the pending file has the journal's name
  bool FFailed = false;
  DWORD FError = ERROR_SUCCESS;
  DWORD FLastFlush = 0;
  std::string FAfter;  // the last 'A' record, written with the next record or at the end
  std::string FBuffer;
};

// Whether a target was changed by someone else after the run: its read-only, hidden and system
// attributes and its two times are no longer what the run left them as. For a record without an after
// state (the run was killed at that target), no longer anything the run could have left it as in part.
bool ChangedSinceRun(const TJournalHeader& header, const TJournalRecord& record, const TTargetState& now);
// Whether two states agree in read-only, hidden, system and both times (the rest of the attribute
// word is the file system's).
bool SameTargetState(const TTargetState& a, const TTargetState& b);
inline bool SameFileTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// The confirmation text of the undo command: when the run started (local time), how many targets,
// the first few paths.
std::wstring UndoConfirmationText(const TJournal& journal);

}  // namespace engine
