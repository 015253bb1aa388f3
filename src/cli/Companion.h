// The console companion as a whole: its arguments in, the run, the dry run or the undo done, the
// lines and the report out, and the exit code.
#pragma once
#include "Base.h"
#include "cli/Console.h"
#include "engine/Preview.h"
#include "engine/RunReport.h"
#include <string>
#include <vector>

namespace cli {

enum TExitCode : int {
  ecDone = 0,      // every target changed (or would), or was left as it was because its rule had no value
  ecFailed = 1,    // some target failed (or would), a path given named nothing, or the run or undo could not be done
  ecUsage = 2,     // the command line is not a valid use
  ecNothing = 3,   // nothing matched the paths and filters; nothing to undo
  ecStopped = 4,   // stopped by Ctrl+C
};

// Where the companion's text goes and its answers come from.
struct TCompanionIo {
  TTextOut& Out;
  TTextOut& Err;
  TKeyReader Keys;
  bool InputIsConsole = false;  // questions are asked only then (and without --yes)
  std::wstring JournalPath;     // the undo journal shared with the window program; empty: none kept
};

// Everything after the program's name on its command line.
int RunCompanion(const std::vector<std::wstring>& arguments, TCompanionIo& io);

// What a dry run reports of one preview row: the outcome the run would have, the state now and after.
engine::TReportEntry DryRunEntry(const engine::TPreviewRow& row, std::wstring path);

// Writes the report as CSV, UTF-8 with a byte-order mark; false with the system's error.
bool WriteReportCsv(const std::wstring& path, const engine::TRunReport& report, DWORD& error);

}  // namespace cli
