// The rule per side of a change: where each target's new creation or update time comes from, its
// evaluation for one target, its words for the main window and the offset as text.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include "media/MediaTime.h"
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Where a side's new time comes from.
enum class TTimeSource : uint8_t {
  Fixed,      // the entered date-time (every target the same)
  Taken,      // when the photo or video was taken, from the file's metadata
  FileName,   // the date-time written in the file's name
  OtherSide,  // the target's other time as it is before the run: creation from update, update from creation
  Shift,      // the side's own current time moved by the offset
  DateOnly,   // the entered date with the side's own local time of day
  TimeOnly,   // the side's own local date with the entered time of day
};

// One side's rule. The offset is added to the value of Taken, FileName and OtherSide and is the move of
// Shift; the other sources ignore it.
struct TTimeRule {
  TTimeSource Source = TTimeSource::Fixed;
  int64_t OffsetSeconds = 0;
  bool operator==(const TTimeRule&) const = default;
};

// The two sides, as indexes.
enum TTimeSide { tsCreate = 0, tsUpdate = 1 };

// A source's name where it is stored or typed: the settings file and the console's options ("fixed",
// "taken", "filename", "other", "shift", "date", "time"); the reading is case-insensitive, nullopt for
// a name that is none of them.
const wchar_t* SourceName(TTimeSource source);
std::optional<TTimeSource> SourceFromName(std::wstring_view name);

// Sources that take the offset.
bool TakesOffset(TTimeSource source);
// Sources that read the target's current times.
bool ReadsCurrentTimes(TTimeSource source);

// The largest offset either way: 36,500 days, about a hundred years.
inline constexpr int64_t kMaxOffsetDays = 36500;
inline constexpr int64_t kMaxOffsetSeconds = kMaxOffsetDays * 86400;

// An offset as text, for the date-time dialog and the console's --shift alike:
//   [+|-][N d][H:MM[:SS]]   e.g. "+1:00:00", "-2d", "+1d 2:30", "+1日 2:30:00"
// The day mark is "d", "D" or "日"; at least one of the day part and the time part; the minutes and
// seconds have two digits each and are at most 59; the hours are not limited apart from the total.
// Spaces may stand before and after the text and between the day part and the time part. Full-width
// digits, signs ("＋", "－", "−"), colons and spaces count as their ASCII forms. No sign is "+".
enum class TOffsetError : uint8_t { None, Format, Range };
TOffsetError ParseOffset(std::wstring_view text, int64_t& seconds);
// The text ParseOffset reads back: the sign always, "N日" when there are days, "H:MM:SS" when there is a
// time of day or no day at all ("+1:00:00", "-2日", "+1日 2:30:00", "+0:00:00").
std::wstring FormatOffset(int64_t seconds);
// The message for an offset that ParseOffset refused.
std::wstring OffsetErrorText(TOffsetError error);

// The words of a rule for the main window's date field: "2025/07/14 15:07:58" for Fixed (the entered
// value, as the field shows it today), "撮影日時 +1:00:00", "ファイル名の日時", "更新日時から" (creation
// side) / "作成日時から" (update side), "ずらす +1日 2:00:00", "日付のみ 2025/07/14", "時刻のみ 15:07:58".
// The offset is shown where it is not zero (always with Shift). entered is the side's dialog value.
std::wstring RuleText(const TTimeRule& rule, TTimeSide side, comm::TDateTime entered);

// Why a side has no new time: it is then left as it is, counted as not changed, and asks nothing.
enum class TNoValue : uint8_t {
  NoMetadata,     // no taken time in the file
  NoNameDate,     // no date in the file's name
  NoCurrentTime,  // the time the rule starts from is not there (not read, or never set)
  OutOfRange,     // the result lies outside the dialog's years
};
// A short text for a list of targets ("撮影日時なし").
std::wstring NoValueText(TNoValue reason);

// One side's result for one target.
struct TSideTime {
  bool HasValue = false;
  FILETIME Time{};  // with HasValue: the UTC time to write
  TNoValue Reason = TNoValue::NoCurrentTime;  // without
};

// The rules of a run: a rule and the dialog's date-time per side.
struct TTimeRules {
  TTimeRule Rule[2];
  comm::TDateTime Entered[2] = {0, 0};  // local, whole seconds: the plan's CreateTime and UpdateTime
};

// What a rule reads of one target.
struct TRuleTarget {
  std::wstring_view Path;  // its name is what FileName reads (the folders do not count); kept while evaluated
  // The current creation and update times (UTC). nullopt: not read; a zero time: never set.
  std::optional<FILETIME> Current[2];
  // When the photo or video was taken; called at most once, and only when a side asks. Empty: none.
  std::function<std::optional<media::TMediaTime>()> ReadTaken;
};

// A taken or named time as a UTC file time: a Local time through the program's local zone (as the
// entered date-time is converted), a Utc time as it is, an Offset time less its offset. False for a
// time that is not valid (media::IsValid).
bool MediaTimeToFileTime(const media::TMediaTime& time, FILETIME& fileTime);

// The rules applied to one target, side by side. Results outside years kFirstYear..kLastYear of the local
// date-time, as the dialog offers them, have no value (OutOfRange).
class TRuleEvaluator {
 public:
  TRuleEvaluator(const TTimeRules& rules, TRuleTarget target) : FRules(rules), FTarget(std::move(target)) {}
  TSideTime Evaluate(TTimeSide side);

 private:
  const std::optional<media::TMediaTime>& Taken();
  const std::optional<media::TMediaTime>& NameDate();
  // The base time of a side before the offset, in 100-ns units since 1601 (UTC).
  bool Base(TTimeSide side, int64_t& utc, TNoValue& reason);

  TTimeRules FRules;
  TRuleTarget FTarget;
  bool FTakenRead = false, FNameRead = false;
  std::optional<media::TMediaTime> FTaken, FName;
};

}  // namespace engine
