// What the last run (or undo) did to each of its targets: kept with the journal so that it survives a
// restart, shown by the report window and printed by the console companion.
#pragma once
#include "Base.h"
#include "engine/ChangeTarget.h"
#include <cstdint>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace engine {

// How one target went. The order is the report window's: failures first.
enum class TTargetOutcome : uint8_t {
  Failed,     // a read or write was refused (Error says why)
  Missing,    // the path named nothing when the run came to it
  Changed,    // written as planned (an undo: given back)
  Unchanged,  // it went through, and its attributes and times are as they were (already as planned)
  NoValue,    // left as it was: the rule of every side it sets had no value for it
};
inline constexpr int kOutcomeCount = 5;

// What failed, or why a rule had no value, where the system's error code does not say it all.
enum class TReportNote : uint8_t {
  None,
  AttrUnreadable,   // the attributes (or the state the journal records) could not be read
  AttrWriteFailed,  // the attribute write was refused
  AttrNotTaken,     // the write was accepted, and what was read back was not what was written
  TimeUnreadable,   // the times could not be read, or the target could not be opened for them
  TimeWriteFailed,  // the time write was refused
  Link,             // a link this platform cannot change without changing what it leads to
  Cut,              // the program was ended while the run was at this target
  Unknown,          // a journal of an older version that recorded no outcome for it
  NoTakenTime,      // NoValue: no taken time in the file
  NoNameDate,       // NoValue: no date in the file's name
  NoCurrentTime,    // NoValue: the time its rule starts from is not there
  OutOfRange,       // NoValue: the result lies outside the dialog's years
};
inline constexpr uint8_t kLastReportNote = static_cast<uint8_t>(TReportNote::OutOfRange);

struct TReportEntry {
  std::wstring Path;  // the entry as the target list showed it
  TTargetOutcome Outcome = TTargetOutcome::Changed;
  DWORD Error = ERROR_SUCCESS;  // the system's error code of a failure (0: none known)
  TReportNote Note = TReportNote::None;
  bool HasBefore = false, HasAfter = false;
  TTargetState Before, After;   // as read before the target was touched, and as left
};

// How a run ended.
enum class TRunEnding {
  Ended,    // it went through its list
  Stopped,  // the user stopped it (the stop button, "中止")
  Cut,      // the journal ends without saying: the program was ended, or the journal could not be written further
};

struct TRunReport {
  bool Undo = false;        // the report of an undo
  FILETIME Started{};       // UTC
  TRunEnding Ending = TRunEnding::Cut;
  std::vector<TReportEntry> Entries;  // in the order the run took them
};

// Called once per target as soon as its outcome is known (the console companion prints it then).
using TReportSink = std::function<void(const TReportEntry&)>;

// How a run ended, in words ("最後まで実行されました").
std::wstring RunEndingText(TRunEnding ending);
// The words of an outcome as the report window and the companion show them.
std::wstring OutcomeText(TTargetOutcome outcome);
// Why a target failed, was missing or kept its times: what failed and the system's reason (in the
// user's language); empty for a target that went through.
std::wstring ReasonText(const TReportEntry& entry);
// The report's columns, in order: the times and attributes before and after side by side, as the
// preview shows them (local times; attributes as letters).
enum TReportColumn {
  rcOutcome, rcPath, rcReason, rcCreation, rcNewCreation, rcLastWrite, rcNewLastWrite, rcAttr, rcNewAttr, rcColumnCount
};
const wchar_t* ReportColumnCaption(int column);
std::wstring ReportCellText(const TReportEntry& entry, int column);
// The report as CSV text (header row, one row per entry; local times; the reason in the user's language).
std::wstring ReportCsvText(const TRunReport& report);
// The same for some of its entries, in the order given.
std::wstring ReportCsvText(const TRunReport& report, const std::vector<size_t>& rows);
// The report's order for the window: failures first, then missing, changed, unchanged and no value;
// the run's order within each outcome. filter < 0: every entry; else only that outcome.
std::vector<size_t> ReportOrder(const TRunReport& report, int filter = -1);
// Counts per outcome.
std::array<int, kOutcomeCount> OutcomeCounts(const TRunReport& report);

}  // namespace engine
