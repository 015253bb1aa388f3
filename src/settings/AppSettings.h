// The main window's settings items: names, sections and defaults of everything kept in the INI file.
#pragma once
#include "settings/RegMng.h"
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace settings {

// The options the main window keeps in the INI file, as values. A number whose key is missing or
// empty is unset (std::nullopt) where the program tells "not stored" apart from 0.
struct TAppOptions {
  std::optional<int32_t> Left;  // unset: the window is centred
  int32_t Top = 0;
  bool TypeFile = false, TypeFolder = false, TypeAll = true;
  bool SubFolder = true, ExtSelect = false;
  std::wstring ExtString;
  int32_t SplashCount = 100;
  bool DateChange = true, AttrChange = true;
  bool ReadOnly = true, ReadOnlyOn = false, ReadOnlyOff = true;
  bool Hidden = false, HiddenOn = false, HiddenOff = true;
  bool System = false, SystemOn = false, SystemOff = true;
  bool AutoEnd = true;
  bool CreateDateTime = true, UpdateDateTime = true;
  bool CreateUpdate = false;
  bool TimeFree[2] = {false, false};    // [side]: 0 creation, 1 update
  bool SecondFree[2] = {false, false};
  // [side][part]: parts year, month, day, hour, minute, second; the creation year unset when the
  // date-times were never stored.
  std::optional<uint16_t> DateParts[2][6];
  // [side]: how the side's new time is found, as a rule's name ("taken", "shift", ...), and its offset
  // as text ("+1:00:00"); empty for the entered date-time and no offset. What they mean is the
  // engine's to read: a name or an offset it does not know stands for the default.
  std::wstring TimeRule[2];
  std::wstring TimeOffset[2];
  std::wstring FolderPath;
  bool operator==(const TAppOptions&) const = default;
};

// Where a value of the table lives in TAppOptions; the kind of the option is the kind of its member.
struct TDatePartRef {
  int Side, Part;
};
struct TSideFlagRef {
  bool (TAppOptions::*Flags)[2];
  int Side;
};
// A text per side that is stored only while it is not empty: an empty one removes its key, so a file
// that never held one stays as it was.
struct TSideTextRef {
  std::wstring (TAppOptions::*Texts)[2];
  int Side;
};
using TOptionMember = std::variant<bool TAppOptions::*, int32_t TAppOptions::*, std::optional<int32_t> TAppOptions::*,
                                   std::wstring TAppOptions::*, TSideFlagRef, TDatePartRef, TSideTextRef>;

// When a row is read and written.
enum class TOptionStore {
  AtClose,    // read at start-up, written when the main window goes
  AtStart,    // read at start-up and written back at once (the start-up's proof that the file takes writes)
  ByCommand,  // read and written by the commands that use it, through RegManager
};

struct TOptionRow {
  const wchar_t* Section;
  const wchar_t* Key;  // also the item's name
  const wchar_t* Default;
  TOptionMember Member;
  TOptionStore Store = TOptionStore::AtClose;
};

// The table, in the order values are written: a missing key or section is added in this order.
std::span<const TOptionRow> ApplicationOptionRows();

// Adds the main window's items to a settings table, in table order.
void AddApplicationItems(TRegItems& items);

// Reads every row but those of commands; a value not stored reads as its row's default.
TAppOptions LoadApplicationOptions(TRegManager& manager);
// Writes the rows of one store, in table order, up to the first failure, which is returned.
TSettingsOutcome SaveApplicationOptions(TRegManager& manager, const TAppOptions& options, TOptionStore store);

// The help window's items, in section "HelpWindow": its place and size ("HelpLeft", "HelpTop",
// "HelpWidth", "HelpHeight", written as the keys "Left", "Top", "Width", "Height") and the width of
// its left pane ("HelpPane", key "Pane"). Empty until the help window is first closed.
void AddHelpWindowItems(TRegItems& items);

// The INI file beside an executable: its path with the extension replaced by ".ini" (a name without
// an extension gets ".ini" appended).
std::wstring IniPathForExecutable(const std::wstring& exePath);

}  // namespace settings
