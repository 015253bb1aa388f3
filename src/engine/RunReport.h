// What the last run (or undo) did to each of its targets: kept with the journal so that it survives a
// restart, shown by the report window and printed by the console companion.
#pragma once
#include "Base.h"
#include "engine/ChangeTarget.h"
#include "engine/UndoJournal.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace engine {

// How one target went. The order is the report window's: failures first.
enum class TTargetOutcome : uint8_t {
  Failed,     // a read or write was refused (Error says why)
  Missing,    // the path named nothing when the run came to it
  Changed,    // written as planned (an undo: given back)
  Unchanged,  // nothing was to be done to it
  NoValue,    // left as it was: the rule of every side it sets had no value for it
};

struct TReportEntry {
  std::wstring Path;  // the entry as the target list showed it
  TTargetOutcome Outcome = TTargetOutcome::Changed;
  DWORD Error = ERROR_SUCCESS;  // the system's error code of a failure (0: none known)
  bool HasBefore = false, HasAfter = false;
  TTargetState Before, After;   // as read before the target was touched, and as left
};

struct TRunReport {
  bool Undo = false;        // the report of an undo
  FILETIME Started{};       // UTC
  TRunEnding Ending = TRunEnding::Cut;
  std::vector<TReportEntry> Entries;  // in the order the run took them
};

// Called once per target as soon as its outcome is known (the console companion prints it then).
using TReportSink = std::function<void(const TReportEntry&)>;

// The words of an outcome as the report window and the companion show them.
std::wstring OutcomeText(TTargetOutcome outcome);
// The report as CSV text (header row, one row per entry; local times; the reason in the user's language).
std::wstring ReportCsvText(const TRunReport& report);

}  // namespace engine
