// The console companion's command line: its options read into a plan of what to do, the usage text and
// the usage errors, each naming its option and showing that option's line of the usage.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include "engine/ChangeRun.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr wchar_t kProgramName[] = L"vornasts";

enum class TCommand { Run, Undo, Help, Version };

// Where one side's new time comes from, as --created and --modified take it.
enum class TValueKind { None, Fixed, Now, Taken, Name, Created, Modified };
struct TSideValue {
  TValueKind Kind = TValueKind::None;
  comm::TDateTimeParts Parts;  // Fixed: the date-time given (00:00:00 when only a date was given)
  bool HasTime = false;        // Fixed: a time of day was given
};

// An attribute option: not given, on or off.
enum class TSwitch { Keep, On, Off };
// What a folder given contributes: --all, --files, --folders.
enum class TTake { All, Files, Folders };

struct TCliOptions {
  TCommand Command = TCommand::Run;
  TSideValue Created, Modified;
  bool HasShift = false;
  int64_t ShiftSeconds = 0;
  bool DateOnly = false, TimeOnly = false;
  TSwitch ReadOnly = TSwitch::Keep, Hidden = TSwitch::Keep, System = TSwitch::Keep;
  TTake Take = TTake::All;
  bool Recurse = false;
  bool HasExt = false;
  std::wstring Ext;
  bool DryRun = false;
  std::wstring LogFile;  // empty: no log
  bool Yes = false;
  std::vector<std::wstring> Paths;  // as given
};

// A usage error: the option it is about (empty when about the paths or the whole line) and why.
struct TUsageError {
  std::wstring Option;
  std::wstring Message;
};

// Reads the arguments after the program's name. now is the local date-time "now" stands for. False
// with the error for a line that is not a valid use; the options are then partly filled.
bool ParseArguments(const std::vector<std::wstring>& arguments, comm::TDateTime now, TCliOptions& options,
                    TUsageError& error);

// A value of --created / --modified: "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DD" or one of the names. False
// with the reason for a value that is none of them or names no existing date-time in the program's years.
bool ParseSideValue(std::wstring_view text, comm::TDateTime now, TSideValue& value, std::wstring& reason);

// What --help prints, and the line of it that describes an option ("" when none does).
std::wstring UsageText();
std::wstring UsageLine(std::wstring_view option);
// The text printed for a usage error: the option, the reason and the option's usage line.
std::wstring UsageErrorText(const TUsageError& error);
// What --version prints.
std::wstring VersionText();

// A run's settings as the change run reads them from its window.
struct TRunSettings {
  engine::TChangeControls Controls;
  engine::TDateParts Parts{};
  engine::TTimeRule Rule[2];  // [tsCreate], [tsUpdate]
};
// The settings of a parsed run. False with an error when a shifted fixed date-time leaves the years
// the program takes.
bool MakeRunSettings(const TCliOptions& options, TRunSettings& settings, TUsageError& error);

}  // namespace cli
