// The journal of the last change run: what each target was before the run changed it and what the
// run left it as, so that the run can be taken back, also after the program was killed halfway.
//
// The file is binary, little-endian: a header of 64 bytes, then records.
//   header: "VSSUNDO2" ("VSSUNDO1": a journal of an older version, without 'R' records), u32 header
//           size (64), u32 flags (1 attributes, 2 dates, 4 creation time, 8 last-write time, 16
//           creation time taken from each target, 32 last-write time taken from each target; the
//           header's time of such a side is zero), u32 attribute mask, u32 attribute values, u64 start
//           of the run (UTC file time), u64 creation time and u64 last-write time the run writes, u64
//           run identifier (random), 4 bytes zero, u32 CRC-32 of the 60 bytes before it.
//   record: u32 kind ('B' before, 'A' after, 'R' result, 'E' end), u32 path length in UTF-16 units (0
//           for 'A' and 'E'), u32 attribute word ('E': 1 when the run was stopped, 0 when it went to
//           its end; 'R': the outcome, plus 256 times the note), u32 zero ('R': the system's error
//           code), u64 creation time, u64 last-write time ('R': zero), the path (UTF-16, no
//           terminator), u32 CRC-32 of the record's bytes before it.
// A 'B' record is written before its target is touched; the 'A' record that follows it says what
// the target was left as; the 'R' record after them how it went (its path is empty). A target that got
// no 'B' record (missing, unreadable) has an 'R' record of its own, with its path, and can only have
// failed or been missing. 'E' closes the journal of a run that ended (by itself or stopped by the
// user), and nothing follows it. An incomplete or unreadable last record is the trace of a run that
// was killed while writing it, and is not part of the journal; anything unreadable before it makes the
// whole journal damaged, and so does an after state that the header's plan could not have produced.
//
// The report of a run that left the journal as it was (it changed nothing) and of an undo (which
// removes the journal) is kept beside it, in path + ".report": the header "VSSREPT1", u32 header size
// (64), u32 flags (1 an undo), 12 bytes zero, u64 start (UTC file time), 24 bytes zero, u32 CRC-32 of the
// 60 bytes before it; then records as above ('B' and 'A' where the state was read, 'R' and 'E'),
// written whole under the journal's lock. The last run's report is the newer of the two.
//
// Every user of the journal (a run of this program, of another copy of it, of the console companion)
// takes the journal's lock while it writes, replaces or removes it: a byte-range lock on path + ".lock",
// which the system lets go when the holder's process ends, however it ends.
#pragma once
#include "Base.h"
#include "comm/Scoped.h"
#include "engine/ChangeTarget.h"
#include "engine/RunReport.h"
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
  FILETIME Creation{}, LastWrite{};  // the times the run writes (UTC), where it writes one value
  // The side's time came from each target (its rule: when the photo was taken, the date in its name…):
  // any time may be what the run left.
  bool CreatePerTarget = false, UpdatePerTarget = false;
  uint64_t RunId = 0;                // tells this run's journal from any other
};

struct TJournalRecord {
  std::wstring Path;  // the entry as the target list showed it
  TTargetState Before;
  bool HasAfter = false;  // false for the target the run was at when it was killed
  TTargetState After;
};

// What tells one journal's contents from another's: its run and its bytes.
struct TJournalIdentity {
  uint64_t RunId = 0, Size = 0;
  uint32_t Crc = 0;
  bool operator==(const TJournalIdentity&) const = default;
};

struct TJournal {
  TJournalHeader Header;
  std::vector<TJournalRecord> Records;
  TRunEnding Ending = TRunEnding::Cut;
  TJournalIdentity Identity;
  // The run's report: every target the journal names, in its order, with how it went (for a journal
  // of the older version, worked out from the states before and after).
  TRunReport Report;
};

enum class TJournalLoad {
  Loaded,      // at least one record
  Missing,     // no journal
  Empty,       // a journal without a whole record
  Damaged,     // not a journal, a record in it cannot be read, or its records contradict its header
  Unreadable,  // the file is there but could not be read (Error says why)
  Busy,        // another program holds the journal's lock (it is writing or undoing it)
};

// Reads the journal at path, without its lock.
TJournalLoad LoadJournal(const std::wstring& path, TJournal& journal, DWORD& error);
// Reads a journal from its bytes (never Missing, Unreadable or Busy).
TJournalLoad ParseJournal(const std::string& bytes, TJournal& journal);

// The report file beside a journal.
inline std::wstring ReportPathOf(const std::wstring& journalPath) { return journalPath + L".report"; }
// Reads a report file from its bytes (Loaded, Empty for a report without entries, Damaged).
TJournalLoad ParseReport(const std::string& bytes, TRunReport& report);
// The report file's bytes.
std::string ReportBytes(const TRunReport& report);
// The report of the last run or undo: the journal's or the report file's, whichever started later.
// Loaded, Empty, Missing (neither is there), Damaged (the newest readable one is damaged), Unreadable.
TJournalLoad LoadLastReport(const std::wstring& journalPath, TRunReport& report, DWORD& error);
// Writes the report file beside the journal (a file of its own, then put in place); the caller holds
// the journal's lock. False with the system's error.
bool WriteReportFile(const std::wstring& journalPath, const TRunReport& report, DWORD& error);

// How long a user of the journal waits for another to let its lock go before giving up: long enough
// for a moment's work (an undo removing it, a run closing it), too short to wait out a run.
inline constexpr DWORD kJournalLockWaitMs = 1500;

// The journal's lock (see above). Shared by this program and the console companion, so it lives in
// the file system and not in this process.
class TJournalLock {
 public:
  explicit TJournalLock(const std::wstring& journalPath) : FPath(journalPath + L".lock") {}
  ~TJournalLock() { Release(); }
  TJournalLock(const TJournalLock&) = delete;
  TJournalLock& operator=(const TJournalLock&) = delete;

  // Takes the lock, trying for at most waitMs while another holds it. False with ERROR_LOCK_VIOLATION
  // when another still holds it, else with the reason its file could not be made.
  bool Acquire(DWORD waitMs, DWORD& error);
  void Release();
  bool Held() const { return FFile.Valid(); }
  const std::wstring& Path() const { return FPath; }

 private:
  std::wstring FPath;
  comm::TUniqueHandle FFile;
};

// An undo's use of the journal: read for the confirmation, then held while the undo works, and removed
// only when it is still the journal that was read and confirmed.
class TJournalUndo {
 public:
  explicit TJournalUndo(std::wstring path) : FPath(std::move(path)), FLock(FPath) {}
  ~TJournalUndo() { Release(); }
  TJournalUndo(const TJournalUndo&) = delete;
  TJournalUndo& operator=(const TJournalUndo&) = delete;

  // Reads the journal under its lock, which is let go again before the user is asked: Busy while
  // another program writes it (its run is not over) or undoes it.
  TJournalLoad Read(TJournal& journal, DWORD& error);
  enum class THold {
    Held,        // the lock is taken and the journal held open: it is the one Read read
    Busy,        // another program holds the lock
    Replaced,    // another journal has taken its place since, or it is gone
    Unreadable,  // error says why
  };
  // After the confirmation: takes the lock and opens the journal so that nobody can replace or remove
  // it; Held only when its contents are still those Read read.
  THold Hold(DWORD& error);
  // Removes the journal held: the very file that was read, through the handle that holds it.
  bool Remove();
  // Keeps the undo's report beside the journal, under the lock the undo holds (taken for it when not
  // held). False with the system's error.
  bool SaveReport(const TRunReport& report, DWORD& error);
  // Lets go of the journal and the lock.
  void Release();

 private:
  std::wstring FPath;
  TJournalLock FLock;
  comm::TUniqueHandle FFile;
  bool FRead = false;
  TJournalIdentity FIdentity;
};

// The run's side of the journal: what the change run calls while it works.
class IChangeJournal {
 public:
  virtual ~IChangeJournal() = default;
  // Starts the journal of a new run beside the last run's, which stays the journal until Commit, and
  // holds the journal's lock until End. False when it cannot be made (Error; ERROR_LOCK_VIOLATION
  // while another program holds the lock).
  virtual bool Begin(const TJournalHeader& header) = 0;
  // The state of the next target before it is touched; on the disk when this returns true (as far
  // as a killed program is concerned: the system's cache holds it; it is flushed to the disk in
  // batches).
  virtual bool Record(const std::wstring& path, const TTargetState& before) = 0;
  // What the target of the last Record was left as.
  virtual void RecordAfter(const TTargetState& after) = 0;
  // How a target went: the target of the last Record (path null), or one that got no record.
  virtual void RecordOutcome(const std::wstring* path, TTargetOutcome outcome, DWORD error, TReportNote note) {
    (void)path, (void)outcome, (void)error, (void)note;
  }
  // Keeps the report of a run whose journal did not become the last run's (it changed nothing, or
  // kept no journal), so that it survives a restart. False with Error.
  virtual bool SaveReport(const TRunReport& report) {
    (void)report;
    return true;
  }
  // The run has changed a target: from now on its journal is the last run's. Once per run.
  virtual void Commit() = 0;
  // Ends the run's journal: written out with how the run ended and closed, or removed when it was
  // never committed. False when a committed journal could not be completed (Error).
  virtual bool End(bool stopped) = 0;
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
  void RecordOutcome(const std::wstring* path, TTargetOutcome outcome, DWORD error, TReportNote note) override;
  bool SaveReport(const TRunReport& report) override;
  void Commit() override;
  bool End(bool stopped) override;
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
  TJournalLock FLock{FPath};
  comm::TUniqueHandle FFile;
  bool FCommitted = false;
  bool FMoved = false;  // the pending file has the journal's name
  bool FFailed = false;
  DWORD FError = ERROR_SUCCESS;
  DWORD FLastFlush = 0;
  std::string FAfter;  // the last 'A' and 'R' records, written with the next record or at the end
  std::string FBuffer;
};

// Whether a run with this header, finding a target as before, could have left it as state: its
// attributes as it found them or as the plan makes them (read-only possibly off, as the read-only
// handling clears it for a moment), each time as it was or as the run writes it.
bool RunCouldLeave(const TJournalHeader& header, const TTargetState& before, const TTargetState& state);
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
// how the run ended, which times and attributes go back, the first few paths.
std::wstring UndoConfirmationText(const TJournal& journal);
// What the undo gives back, as one sentence ("更新日時を … から元の日時に戻し、隠し属性を OFF に戻します。"),
// from what the run wrote where it changed something; empty when nothing.
std::wstring UndoChangeText(const TJournal& journal);
// How many paths the confirmation lists; the rest are counted, and all are shown on request.
inline constexpr size_t kUndoShownPaths = 5;

}  // namespace engine
