// Finding the date-time in a file's name: the forms phones, cameras and apps write.
#include "media/NameDate.h"

namespace media {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/' || c == L':'; }
// Between the parts of a date, between a date and its time, and between the parts of a time.
bool IsDateSeparator(wchar_t c) { return c == L'-' || c == L'_' || c == L'.'; }
bool IsTimeLead(wchar_t c) { return c == L'_' || c == L'-' || c == L' ' || c == L'.' || c == L'T'; }
bool IsTimeSeparator(wchar_t c) { return c == L'-' || c == L'.' || c == L':' || c == L'_'; }

// The length of the digit run at i (0 past the end).
size_t RunAt(std::wstring_view s, size_t i) {
  size_t n = 0;
  while (i + n < s.size() && IsDigit(s[i + n])) ++n;
  return n;
}

// The value of count digits at i; the caller has checked they are digits.
int Number(std::wstring_view s, size_t i, size_t count) {
  int v = 0;
  for (size_t k = 0; k < count; ++k) v = v * 10 + (s[i + k] - L'0');
  return v;
}

// The name without its folder and its extension.
std::wstring_view BaseName(std::wstring_view name) {
  while (!name.empty() && IsPathSeparator(name.back())) name.remove_suffix(1);
  for (size_t i = name.size(); i > 0; --i) {
    if (IsPathSeparator(name[i - 1])) {
      name.remove_prefix(i);
      break;
    }
  }
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos || dot + 1 == name.size()) return name;
  bool letter = false;
  for (size_t i = dot + 1; i < name.size(); ++i) {
    if (IsAsciiLetter(name[i])) letter = true;
    else if (!IsDigit(name[i])) return name;
  }
  return letter ? name.substr(0, dot) : name;
}

// The time behind a date that ends at i, when there is one. False when what follows is a time that is
// not valid, or a number too long to tell; t keeps 00:00:00 when no time follows.
bool TimeAfter(std::wstring_view s, size_t i, TMediaTime& t) {
  if (i + 1 >= s.size() || !IsTimeLead(s[i]) || !IsDigit(s[i + 1])) return true;
  const size_t j = i + 1;
  const size_t run = RunAt(s, j);
  if (run >= 6 && run <= 9) {
    t.Hour = Number(s, j, 2);
    t.Minute = Number(s, j + 2, 2);
    t.Second = Number(s, j + 4, 2);
    return IsValid(t);
  }
  if (run >= 10) return false;
  if (run == 2 && j + 2 < s.size() && IsTimeSeparator(s[j + 2])) {
    const wchar_t sep = s[j + 2];
    if (RunAt(s, j + 3) != 2 || j + 5 >= s.size() || s[j + 5] != sep || RunAt(s, j + 6) != 2) return false;
    t.Hour = Number(s, j, 2);
    t.Minute = Number(s, j + 3, 2);
    t.Second = Number(s, j + 6, 2);
    return IsValid(t);
  }
  return true;  // a counter, not a time
}

// The date-time whose date starts at i, the first digit of a run.
std::optional<TMediaTime> DateAt(std::wstring_view s, size_t i) {
  TMediaTime t;
  const size_t run = RunAt(s, i);
  size_t end;
  if (run == 8 || (run >= 14 && run <= 17)) {
    t.Year = Number(s, i, 4);
    t.Month = Number(s, i + 4, 2);
    t.Day = Number(s, i + 6, 2);
    if (run >= 14) {
      t.Hour = Number(s, i + 8, 2);
      t.Minute = Number(s, i + 10, 2);
      t.Second = Number(s, i + 12, 2);
      return IsValid(t) ? std::optional(t) : std::nullopt;
    }
    end = i + 8;
  } else if (run == 4 && i + 4 < s.size() && IsDateSeparator(s[i + 4])) {
    const wchar_t sep = s[i + 4];
    if (RunAt(s, i + 5) != 2 || i + 7 >= s.size() || s[i + 7] != sep || RunAt(s, i + 8) != 2) return std::nullopt;
    t.Year = Number(s, i, 4);
    t.Month = Number(s, i + 5, 2);
    t.Day = Number(s, i + 8, 2);
    end = i + 10;
  } else {
    return std::nullopt;
  }
  if (!IsValid(t) || !TimeAfter(s, end, t)) return std::nullopt;
  return t;
}

}  // namespace

std::optional<TMediaTime> DateFromFileName(std::wstring_view name) {
  const std::wstring_view s = BaseName(name);
  for (size_t i = 0; i < s.size(); ++i) {
    if (!IsDigit(s[i]) || (i > 0 && IsDigit(s[i - 1]))) continue;
    if (auto t = DateAt(s, i)) return t;
  }
  return std::nullopt;
}

}  // namespace media
