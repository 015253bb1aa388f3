// The per-side time rules: evaluation for one target, the rule's words and the offset as text.
#include "engine/TimeRule.h"
#include "comm/FileDateTime.h"
#include "media/NameDate.h"
#include <algorithm>
#include <cwctype>
#include <cwchar>
#include <iterator>

namespace engine {
namespace {

constexpr int64_t kTicksPerSecond = 10000000;  // 100-ns units

int64_t ToInt(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
FILETIME ToFileTime(int64_t v) {
  const auto u = static_cast<uint64_t>(v);
  return FILETIME{static_cast<DWORD>(u), static_cast<DWORD>(u >> 32)};
}

// A local date-time as UTC 100-ns units, by the conversion every entered date-time takes.
bool FromLocal(comm::TDateTime local, int64_t& utc) {
  FILETIME ft;
  if (!comm::comm_ConvDateTimeToFileTime(local, ft)) return false;
  utc = ToInt(ft);
  return true;
}

// The local date-time parts of a UTC time.
bool LocalParts(int64_t utc, comm::TDateTimeParts& parts) {
  comm::TDateTime local;
  return utc >= 0 && comm::comm_ConvFileTimeToDateTime(ToFileTime(utc), local) && comm::DecodeDateTime(local, parts);
}

// Within the years the dialog offers, as local time.
bool InDialogRange(int64_t utc) {
  comm::TDateTimeParts p;
  return LocalParts(utc, p) && p.Year >= media::kFirstYear && p.Year <= media::kLastYear;
}

std::wstring DateText(const comm::TDateTimeParts& p) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%04d/%02d/%02d", p.Year, p.Month, p.Day);
  return buf;
}
std::wstring TimeText(const comm::TDateTimeParts& p) {
  wchar_t buf[32];
  std::swprintf(buf, 32, L"%02d:%02d:%02d", p.Hour, p.Minute, p.Second);
  return buf;
}

// Full-width digits, signs, colon and space as their ASCII forms.
wchar_t Narrow(wchar_t c) {
  if (c >= L'０' && c <= L'９') return static_cast<wchar_t>(L'0' + (c - L'０'));
  switch (c) {
    case L'＋': return L'+';
    case L'－': case L'−': return L'-';
    case L'：': return L':';
    case L'　': return L' ';
    default: return c;
  }
}
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads a run of digits at i into value, which stays far below overflow: the run is at most 12 long.
bool ReadNumber(const std::wstring& s, size_t& i, int64_t& value, size_t& count) {
  value = 0;
  count = 0;
  while (i < s.size() && IsDigit(s[i])) {
    if (++count > 12) return false;
    value = value * 10 + (s[i++] - L'0');
  }
  return count > 0;
}

}  // namespace

constexpr const wchar_t* kSourceNames[] = {L"fixed", L"taken", L"filename", L"other", L"shift", L"date", L"time"};

const wchar_t* SourceName(TTimeSource source) {
  const auto i = static_cast<size_t>(source);
  return i < std::size(kSourceNames) ? kSourceNames[i] : L"";
}

std::optional<TTimeSource> SourceFromName(std::wstring_view name) {
  for (size_t i = 0; i < std::size(kSourceNames); ++i) {
    const std::wstring_view known = kSourceNames[i];
    if (name.size() == known.size() &&
        std::equal(name.begin(), name.end(), known.begin(), [](wchar_t a, wchar_t b) { return std::towlower(a) == b; }))
      return static_cast<TTimeSource>(i);
  }
  return std::nullopt;
}

bool TakesOffset(TTimeSource source) {
  return source == TTimeSource::Taken || source == TTimeSource::FileName || source == TTimeSource::OtherSide ||
         source == TTimeSource::Shift;
}

bool ReadsCurrentTimes(TTimeSource source) {
  return source == TTimeSource::OtherSide || source == TTimeSource::Shift || source == TTimeSource::DateOnly ||
         source == TTimeSource::TimeOnly;
}

TOffsetError ParseOffset(std::wstring_view text, int64_t& seconds) {
  std::wstring s;
  s.reserve(text.size());
  for (wchar_t c : text) s += Narrow(c);
  size_t i = 0;
  const auto skipSpaces = [&] {
    while (i < s.size() && s[i] == L' ') ++i;
  };
  skipSpaces();
  bool negative = false;
  if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
  int64_t days = 0, hours = 0, minutes = 0, secs = 0, value;
  size_t count;
  bool any = false;
  size_t start = i;
  if (!ReadNumber(s, i, value, count)) return TOffsetError::Format;
  if (i < s.size() && (s[i] == L'd' || s[i] == L'D' || s[i] == L'日')) {
    days = value;
    any = true;
    ++i;
    skipSpaces();
    start = i;
    if (i < s.size() && !ReadNumber(s, i, value, count)) return TOffsetError::Format;
  }
  if (start < s.size()) {  // a time: the hours are read
    if (i >= s.size() || s[i] != L':') return TOffsetError::Format;
    hours = value;
    const auto twoDigits = [&](int64_t& part) {
      ++i;  // the colon
      return ReadNumber(s, i, part, count) && count == 2 && part <= 59;
    };
    if (!twoDigits(minutes)) return TOffsetError::Format;
    if (i < s.size() && s[i] == L':' && !twoDigits(secs)) return TOffsetError::Format;
    any = true;
    skipSpaces();
    if (i != s.size()) return TOffsetError::Format;
  }
  if (!any) return TOffsetError::Format;
  // Each part is below 10^12, so the sum cannot overflow before it is compared.
  const int64_t total = days * 86400 + hours * 3600 + minutes * 60 + secs;
  if (total > kMaxOffsetSeconds) return TOffsetError::Range;
  seconds = negative ? -total : total;
  return TOffsetError::None;
}

std::wstring FormatOffset(int64_t seconds) {
  const bool negative = seconds < 0;
  // Beyond the limits an offset is never made; the magnitude is taken without overflow all the same.
  const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
  const uint64_t days = magnitude / 86400, rest = magnitude % 86400;
  std::wstring text = negative ? L"-" : L"+";
  if (days != 0) text += std::to_wstring(days) + L"日";
  if (rest != 0 || days == 0) {
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%s%u:%02u:%02u", days != 0 ? L" " : L"", static_cast<unsigned>(rest / 3600),
                  static_cast<unsigned>(rest / 60 % 60), static_cast<unsigned>(rest % 60));
    text += buf;
  }
  return text;
}

std::wstring OffsetErrorText(TOffsetError error) {
  switch (error) {
    case TOffsetError::None: return L"";
    case TOffsetError::Format:
      return L"時間は「+1:00:00」「-2日」「+1日 2:30」のように、符号、日数と「日」、時:分:秒 で入力してください。";
    case TOffsetError::Range: return L"時間は ±36500日 以内で入力してください。";
  }
  return L"";
}

std::wstring RuleText(const TTimeRule& rule, TTimeSide side, comm::TDateTime entered) {
  comm::TDateTimeParts p;
  const bool decoded = comm::DecodeDateTime(entered, p);
  std::wstring text;
  switch (rule.Source) {
    case TTimeSource::Fixed:
      return decoded ? comm::FormatDateTimeParts(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second) : L"";
    case TTimeSource::DateOnly: return L"日付のみ " + (decoded ? DateText(p) : L"");
    case TTimeSource::TimeOnly: return L"時刻のみ " + (decoded ? TimeText(p) : L"");
    case TTimeSource::Taken: text = L"撮影日時"; break;
    case TTimeSource::FileName: text = L"ファイル名の日時"; break;
    case TTimeSource::OtherSide: text = side == tsCreate ? L"更新日時から" : L"作成日時から"; break;
    case TTimeSource::Shift: return L"ずらす " + FormatOffset(rule.OffsetSeconds);
  }
  if (rule.OffsetSeconds != 0) text += L" " + FormatOffset(rule.OffsetSeconds);
  return text;
}

std::wstring NoValueText(TNoValue reason) {
  switch (reason) {
    case TNoValue::NoMetadata: return L"撮影日時なし";
    case TNoValue::NoNameDate: return L"ファイル名に日時なし";
    case TNoValue::NoCurrentTime: return L"元の日時なし";
    case TNoValue::OutOfRange: return L"範囲外の日時";
  }
  return L"";
}

bool MediaTimeToFileTime(const media::TMediaTime& t, FILETIME& fileTime) {
  if (!media::IsValid(t)) return false;
  if (t.Zone == media::TMediaTime::TZone::Local) {
    comm::TDateTime local;
    int64_t utc;
    if (!comm::TryEncodeDateTime({t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, 0}, local) ||
        !FromLocal(local, utc))
      return false;
    fileTime = ToFileTime(utc);
    return true;
  }
  FILETIME wall;
  if (!comm::WallClockFileTime({t.Year, t.Month, t.Day, t.Hour, t.Minute, t.Second, 0}, wall)) return false;
  int64_t utc = ToInt(wall);
  if (t.Zone == media::TMediaTime::TZone::Offset) utc -= int64_t{t.OffsetMinutes} * 60 * kTicksPerSecond;
  fileTime = ToFileTime(utc);
  return true;
}

const std::optional<media::TMediaTime>& TRuleEvaluator::Taken() {
  if (!FTakenRead) {
    FTakenRead = true;
    if (FTarget.ReadTaken) FTaken = FTarget.ReadTaken();
  }
  return FTaken;
}

const std::optional<media::TMediaTime>& TRuleEvaluator::NameDate() {
  if (!FNameRead) {
    FNameRead = true;
    FName = media::DateFromFileName(FTarget.Path);
  }
  return FName;
}

bool TRuleEvaluator::Base(TTimeSide side, int64_t& utc, TNoValue& reason) {
  const TTimeSource source = FRules.Rule[side].Source;
  // The current time the rule starts from: the other side's for OtherSide, its own for the rest.
  int64_t current = 0;
  if (ReadsCurrentTimes(source)) {
    const std::optional<FILETIME>& ft = FTarget.Current[source == TTimeSource::OtherSide ? 1 - side : side];
    // A zero time is one the file system never set; a negative one is no time at all.
    if (!ft || ToInt(*ft) <= 0) {
      reason = TNoValue::NoCurrentTime;
      return false;
    }
    current = ToInt(*ft);
  }
  FILETIME ft;
  comm::TDateTimeParts entered, own;
  comm::TDateTime local;
  switch (source) {
    case TTimeSource::Fixed:
      reason = TNoValue::OutOfRange;
      return FromLocal(FRules.Entered[side], utc);
    case TTimeSource::Taken:
      reason = TNoValue::NoMetadata;
      if (!Taken() || !MediaTimeToFileTime(*Taken(), ft)) return false;
      utc = ToInt(ft);
      return true;
    case TTimeSource::FileName:
      reason = TNoValue::NoNameDate;
      if (!NameDate() || !MediaTimeToFileTime(*NameDate(), ft)) return false;
      utc = ToInt(ft);
      return true;
    case TTimeSource::OtherSide:
    case TTimeSource::Shift: utc = current; return true;
    case TTimeSource::DateOnly:
    case TTimeSource::TimeOnly:
      reason = TNoValue::OutOfRange;
      if (!comm::DecodeDateTime(FRules.Entered[side], entered)) return false;
      if (!LocalParts(current, own)) {
        reason = TNoValue::NoCurrentTime;
        return false;
      }
      // The file's own part stays to the millisecond.
      if (source == TTimeSource::DateOnly) {
        own.Year = entered.Year;
        own.Month = entered.Month;
        own.Day = entered.Day;
      } else {
        own.Hour = entered.Hour;
        own.Minute = entered.Minute;
        own.Second = entered.Second;
        own.MilliSecond = entered.MilliSecond;
      }
      return comm::TryEncodeDateTime(own, local) && FromLocal(local, utc);
  }
  return false;
}

TSideTime TRuleEvaluator::Evaluate(TTimeSide side) {
  TSideTime result;
  const TTimeRule& rule = FRules.Rule[side];
  int64_t utc = 0;
  if (!Base(side, utc, result.Reason)) return result;
  if (TakesOffset(rule.Source)) {
    // An offset beyond the limits (settings edited by hand) gives no value rather than a wrapped time.
    if (rule.OffsetSeconds > kMaxOffsetSeconds || rule.OffsetSeconds < -kMaxOffsetSeconds) {
      result.Reason = TNoValue::OutOfRange;
      return result;
    }
    if (__builtin_add_overflow(utc, rule.OffsetSeconds * kTicksPerSecond, &utc)) {
      result.Reason = TNoValue::OutOfRange;
      return result;
    }
  }
  if (!InDialogRange(utc)) {
    result.Reason = TNoValue::OutOfRange;
    return result;
  }
  result.HasValue = true;
  result.Time = ToFileTime(utc);
  return result;
}

}  // namespace engine
