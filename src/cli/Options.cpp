// The console companion's command line.
#include "cli/Options.h"
#include "engine/TimeRule.h"
#include "media/MediaTime.h"
#include "version.h"
#include <cwctype>

namespace cli {
namespace {

// The usage, one line per option; an error about an option shows its line.
struct TUsageItem {
  const wchar_t* Options;  // the options the line describes, separated by "|"
  const wchar_t* Line;
};
constexpr TUsageItem kUsage[] = {
    {L"", L"使い方: vornasts [オプション] パス..."},
    {L"--created", L"  --created 値          作成日時を設定します"},
    {L"--modified", L"  --modified 値         更新日時を設定します"},
    {L"", L"      値: \"YYYY-MM-DD HH:MM:SS\" | \"YYYY-MM-DD\" | now | taken | name | created | modified"},
    {L"", L"          (now = 今の日時、taken = 写真や動画の撮影日時、name = ファイル名の日時、"},
    {L"", L"           created / modified = そのファイル自身の作成日時 / 更新日時)"},
    {L"--shift", L"  --shift [+|-][N日][H:MM[:SS]]  設定する日時をずらします (単独では両方の日時をずらします)"},
    {L"--date-only|--time-only", L"  --date-only | --time-only      固定の値で、日付のみ / 時刻のみを変更します"},
    {L"--readonly|--hidden|--system", L"  --readonly on|off   --hidden on|off   --system on|off  属性を設定します"},
    {L"--files|--folders|--all", L"  --files | --folders | --all    フォルダから集めるもの (既定: --all)"},
    {L"--recurse", L"  --recurse             サブフォルダもたどります"},
    {L"--ext", L"  --ext \"jpg;png\"       この拡張子のファイルだけを対象にします (ワイルドカードも可)"},
    {L"--dry-run", L"  --dry-run             何も変更せず、変更される内容を表示します"},
    {L"--log", L"  --log ファイル         結果を CSV (BOM 付き UTF-8) で保存します"},
    {L"--undo", L"  --undo                直前の変更を元に戻します (どちらのプログラムの変更でも)"},
    {L"--yes", L"  --yes                 問い合わせにすべて「はい」で答えます (失敗はエラー数に数えます)"},
    {L"--help|--version", L"  --help, --version     この説明 / バージョンを表示します"},
};

bool NamesOption(const wchar_t* list, std::wstring_view option) {
  std::wstring_view rest = list;
  while (!rest.empty()) {
    const size_t bar = rest.find(L'|');
    if (rest.substr(0, bar) == option) return true;
    if (bar == std::wstring_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  return false;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  return true;
}

// Reads exactly `min`..`max` ASCII digits at pos.
bool ReadNumber(std::wstring_view text, size_t& pos, size_t min, size_t max, int& value) {
  size_t n = 0;
  value = 0;
  while (pos < text.size() && n < max && text[pos] >= L'0' && text[pos] <= L'9') {
    value = value * 10 + (text[pos] - L'0');
    ++pos;
    ++n;
  }
  return n >= min && !(pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9');
}

bool ReadChar(std::wstring_view text, size_t& pos, wchar_t c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

std::wstring YearsText() {
  return std::to_wstring(media::kFirstYear) + L" 年から " + std::to_wstring(media::kLastYear) + L" 年";
}

bool InProgramYears(const comm::TDateTimeParts& p) { return p.Year >= media::kFirstYear && p.Year <= media::kLastYear; }

class TParser {
 public:
  TParser(const std::vector<std::wstring>& args, comm::TDateTime now, TCliOptions& o, TUsageError& e)
      : FArgs(args), FNow(now), FOptions(o), FError(e) {}
  bool Parse();

 private:
  bool Fail(std::wstring option, std::wstring message) {
    FError = {std::move(option), std::move(message)};
    return false;
  }
  // The value after an option; false (an error) when there is none. An option that follows is not taken
  // for the value of one whose value was left out ("--log --yes" would write a log named "--yes"); a
  // file whose name begins so is given as ".\--name".
  bool Value(const std::wstring& option, size_t& i, std::wstring& value) {
    if (i + 1 >= FArgs.size() || FArgs[i + 1].starts_with(L"--")) return Fail(option, option + L" には値が必要です。");
    value = FArgs[++i];
    return true;
  }
  // An option given once only.
  bool Once(const std::wstring& option) {
    for (const auto& seen : FSeen)
      if (seen == option) return Fail(option, option + L" が二度指定されています。");
    FSeen.push_back(option);
    return true;
  }
  bool Switch(const std::wstring& option, size_t& i, TSwitch& to);
  bool Side(const std::wstring& option, size_t& i, TSideValue& to);
  bool Check();

  const std::vector<std::wstring>& FArgs;
  comm::TDateTime FNow;
  TCliOptions& FOptions;
  TUsageError& FError;
  std::vector<std::wstring> FSeen;
  std::wstring FTakeOption;  // the one of --files, --folders, --all given
};

bool TParser::Switch(const std::wstring& option, size_t& i, TSwitch& to) {
  std::wstring value;
  if (!Once(option) || !Value(option, i, value)) return false;
  if (EqualsNoCase(value, L"on")) to = TSwitch::On;
  else if (EqualsNoCase(value, L"off")) to = TSwitch::Off;
  else return Fail(option, option + L" の値は on か off です: " + value);
  return true;
}

bool TParser::Side(const std::wstring& option, size_t& i, TSideValue& to) {
  std::wstring value, reason;
  if (!Once(option) || !Value(option, i, value)) return false;
  if (!ParseSideValue(value, FNow, to, reason)) return Fail(option, option + L" " + value + L": " + reason);
  return true;
}

bool TParser::Parse() {
  bool optionsEnd = false;
  for (size_t i = 0; i < FArgs.size(); ++i) {
    const std::wstring& a = FArgs[i];
    if (optionsEnd || a.size() < 2 || a[0] != L'-' || a[1] != L'-') {
      // "-" alone or "-x" is taken as a path as well: the options all begin with "--".
      FOptions.Paths.push_back(a);
      continue;
    }
    if (a == L"--") {
      optionsEnd = true;
    } else if (a == L"--help") {
      FOptions.Command = TCommand::Help;
      return true;  // whatever else the line holds
    } else if (a == L"--version") {
      FOptions.Command = TCommand::Version;
      return true;
    } else if (a == L"--created") {
      if (!Side(a, i, FOptions.Created)) return false;
    } else if (a == L"--modified") {
      if (!Side(a, i, FOptions.Modified)) return false;
    } else if (a == L"--shift") {
      std::wstring value;
      if (!Once(a) || !Value(a, i, value)) return false;
      const engine::TOffsetError e = engine::ParseOffset(value, FOptions.ShiftSeconds);
      if (e != engine::TOffsetError::None) return Fail(a, a + L" " + value + L": " + engine::OffsetErrorText(e));
      FOptions.HasShift = true;
    } else if (a == L"--date-only" || a == L"--time-only") {
      if (!Once(a)) return false;
      if (FOptions.DateOnly || FOptions.TimeOnly)
        return Fail(a, L"--date-only と --time-only は同時に指定できません。");
      (a == L"--date-only" ? FOptions.DateOnly : FOptions.TimeOnly) = true;
    } else if (a == L"--readonly") {
      if (!Switch(a, i, FOptions.ReadOnly)) return false;
    } else if (a == L"--hidden") {
      if (!Switch(a, i, FOptions.Hidden)) return false;
    } else if (a == L"--system") {
      if (!Switch(a, i, FOptions.System)) return false;
    } else if (a == L"--files" || a == L"--folders" || a == L"--all") {
      if (!FTakeOption.empty())
        return Fail(a, FTakeOption == a ? a + L" が二度指定されています。"
                                        : FTakeOption + L" と " + a + L" は同時に指定できません。");
      FTakeOption = a;
      FOptions.Take = a == L"--files" ? TTake::Files : a == L"--folders" ? TTake::Folders : TTake::All;
    } else if (a == L"--recurse") {
      if (!Once(a)) return false;
      FOptions.Recurse = true;
    } else if (a == L"--ext") {
      if (!Once(a) || !Value(a, i, FOptions.Ext)) return false;
      if (FOptions.Ext.find_first_not_of(L" .;") == std::wstring::npos)
        return Fail(a, a + L" に拡張子がありません。");
      FOptions.HasExt = true;
    } else if (a == L"--dry-run") {
      if (!Once(a)) return false;
      FOptions.DryRun = true;
    } else if (a == L"--log") {
      if (!Once(a) || !Value(a, i, FOptions.LogFile)) return false;
      if (FOptions.LogFile.find_first_not_of(L' ') == std::wstring::npos) return Fail(a, a + L" にファイル名がありません。");
    } else if (a == L"--undo") {
      if (!Once(a)) return false;
      FOptions.Command = TCommand::Undo;
    } else if (a == L"--yes") {
      if (!Once(a)) return false;
      FOptions.Yes = true;
    } else {
      return Fail(L"", L"不明なオプションです: " + a);
    }
  }
  return Check();
}

// What the options say together.
bool TParser::Check() {
  const TCliOptions& o = FOptions;
  const bool dates = o.Created.Kind != TValueKind::None || o.Modified.Kind != TValueKind::None || o.HasShift;
  const bool attrs = o.ReadOnly != TSwitch::Keep || o.Hidden != TSwitch::Keep || o.System != TSwitch::Keep;
  if (o.Command == TCommand::Undo) {
    // The undo takes back what the journal says; what else the line could say has no part in it.
    for (const auto& seen : FSeen)
      if (seen != L"--undo" && seen != L"--yes" && seen != L"--log")
        return Fail(seen, seen + L" は --undo と同時に指定できません。");
    if (!FTakeOption.empty()) return Fail(FTakeOption, FTakeOption + L" は --undo と同時に指定できません。");
    if (!o.Paths.empty()) return Fail(L"--undo", L"--undo にパスは指定できません: " + o.Paths.front());
    return true;
  }
  const wchar_t* only = o.DateOnly ? L"--date-only" : o.TimeOnly ? L"--time-only" : nullptr;
  if (only) {
    bool fixed = false;
    for (const TSideValue* v : {&o.Created, &o.Modified}) {
      if (v->Kind == TValueKind::None) continue;
      if (v->Kind != TValueKind::Fixed && v->Kind != TValueKind::Now)
        return Fail(only, std::wstring(only) + L" は固定の日時 (\"YYYY-MM-DD HH:MM:SS\" または now) とだけ指定できます。");
      if (o.TimeOnly && v->Kind == TValueKind::Fixed && !v->HasTime)
        return Fail(only, L"--time-only には時刻を含む日時 (\"YYYY-MM-DD HH:MM:SS\") が必要です。");
      fixed = true;
    }
    if (!fixed) return Fail(only, std::wstring(only) + L" には --created か --modified の値が必要です。");
  }
  if (!dates && !attrs)
    return Fail(L"", L"変更する内容 (--created、--modified、--shift、--readonly、--hidden、--system) が指定されていません。");
  if (o.Paths.empty()) return Fail(L"", L"変更するファイルまたはフォルダのパスが指定されていません。");
  return true;
}

}  // namespace

bool ParseSideValue(std::wstring_view text, comm::TDateTime now, TSideValue& value, std::wstring& reason) {
  struct TName {
    const wchar_t* Name;
    TValueKind Kind;
  };
  static constexpr TName kNames[] = {{L"now", TValueKind::Now},         {L"taken", TValueKind::Taken},
                                     {L"name", TValueKind::Name},       {L"created", TValueKind::Created},
                                     {L"modified", TValueKind::Modified}};
  value = TSideValue{};
  for (const TName& n : kNames) {
    if (!EqualsNoCase(text, n.Name)) continue;
    value.Kind = n.Kind;
    if (n.Kind == TValueKind::Now) {
      comm::TDateTimeParts p;
      comm::DecodeDateTime(now, p);
      p.MilliSecond = 0;
      value.Parts = p;
      value.HasTime = true;
    }
    return true;
  }
  // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS": a four-digit year, one or two digits for the month, the
  // day and the hour, two for the minutes and seconds.
  comm::TDateTimeParts p;
  size_t pos = 0;
  bool shaped = ReadNumber(text, pos, 4, 4, p.Year) && ReadChar(text, pos, L'-') && ReadNumber(text, pos, 1, 2, p.Month) &&
                ReadChar(text, pos, L'-') && ReadNumber(text, pos, 1, 2, p.Day);
  if (shaped && pos < text.size()) {
    value.HasTime = true;
    shaped = ReadChar(text, pos, L' ') && ReadNumber(text, pos, 1, 2, p.Hour) && ReadChar(text, pos, L':') &&
             ReadNumber(text, pos, 2, 2, p.Minute) && ReadChar(text, pos, L':') && ReadNumber(text, pos, 2, 2, p.Second) &&
             pos == text.size();
  }
  if (!shaped) {
    reason = L"日時は \"YYYY-MM-DD HH:MM:SS\" か \"YYYY-MM-DD\"、または now、taken、name、created、modified で指定してください。";
    return false;
  }
  comm::TDateTime encoded;
  if (!comm::TryEncodeDateTime(p, encoded)) {
    reason = L"その日時は存在しません。";
    return false;
  }
  if (!InProgramYears(p)) {
    reason = L"日時は " + YearsText() + L"の間で指定してください。";
    return false;
  }
  value.Kind = TValueKind::Fixed;
  value.Parts = p;
  return true;
}

bool ParseArguments(const std::vector<std::wstring>& arguments, comm::TDateTime now, TCliOptions& options,
                    TUsageError& error) {
  options = TCliOptions{};
  error = TUsageError{};
  return TParser(arguments, now, options, error).Parse();
}

std::wstring UsageText() {
  std::wstring text;
  for (const TUsageItem& item : kUsage) text += std::wstring(item.Line) + L"\n";
  return text;
}

std::wstring UsageLine(std::wstring_view option) {
  if (option.empty()) return kUsage[0].Line;
  for (const TUsageItem& item : kUsage)
    if (NamesOption(item.Options, option)) return item.Line;
  return L"";
}

std::wstring UsageErrorText(const TUsageError& error) {
  std::wstring text = std::wstring(kProgramName) + L": " + error.Message + L"\n";
  const std::wstring line = UsageLine(error.Option);
  if (!line.empty()) text += line + L"\n";
  text += L"詳しくは vornasts --help をご覧ください。\n";
  return text;
}

std::wstring VersionText() {
  return std::wstring(kProgramName) + L" (VornaStampShifter) " + VSS_VERSION_WTEXT + L"\n" + VSS_COPYRIGHT_WTEXT + L"\n";
}

bool MakeRunSettings(const TCliOptions& o, TRunSettings& s, TUsageError& error) {
  s = TRunSettings{};
  engine::TChangeControls& c = s.Controls;
  c.ReadOnly = o.ReadOnly != TSwitch::Keep;
  c.ReadOnlyOn = o.ReadOnly == TSwitch::On;
  c.Hidden = o.Hidden != TSwitch::Keep;
  c.HiddenOn = o.Hidden == TSwitch::On;
  c.System = o.System != TSwitch::Keep;
  c.SystemOn = o.System == TSwitch::On;
  c.AttrChg = c.ReadOnly || c.Hidden || c.System;

  const TSideValue* sides[2] = {&o.Created, &o.Modified};
  const bool anyValue = o.Created.Kind != TValueKind::None || o.Modified.Kind != TValueKind::None;
  c.DateChg = anyValue || o.HasShift;
  c.Create = anyValue ? o.Created.Kind != TValueKind::None : o.HasShift;
  c.Update = anyValue ? o.Modified.Kind != TValueKind::None : o.HasShift;
  for (int side = engine::tsCreate; side <= engine::tsUpdate; ++side) {
    const TSideValue& v = *sides[side];
    engine::TTimeRule& rule = s.Rule[side];
    comm::TDateTimeParts parts = v.Parts;
    switch (v.Kind) {
      case TValueKind::None:
        // --shift alone moves each side's own time.
        if (!anyValue && o.HasShift) rule = {engine::TTimeSource::Shift, o.ShiftSeconds};
        break;
      case TValueKind::Fixed:
      case TValueKind::Now:
        rule.Source = o.DateOnly ? engine::TTimeSource::DateOnly
                      : o.TimeOnly ? engine::TTimeSource::TimeOnly
                                   : engine::TTimeSource::Fixed;
        if (o.HasShift && o.ShiftSeconds != 0) {
          // The value given, moved by the shift.
          comm::TDateTime t;
          comm::TryEncodeDateTime(parts, t);
          t += static_cast<double>(o.ShiftSeconds) / 86400.0;
          if (!comm::DecodeDateTime(t, parts) || !InProgramYears(parts)) {
            const wchar_t* option = side == engine::tsCreate ? L"--created" : L"--modified";
            error = {L"--shift", std::wstring(option) + L" の日時をずらすと " + YearsText() + L"の間を外れます。"};
            return false;
          }
          parts.MilliSecond = 0;
        }
        break;
      case TValueKind::Taken: rule = {engine::TTimeSource::Taken, o.ShiftSeconds}; break;
      case TValueKind::Name: rule = {engine::TTimeSource::FileName, o.ShiftSeconds}; break;
      case TValueKind::Created:
        rule = side == engine::tsCreate ? engine::TTimeRule{engine::TTimeSource::Shift, o.ShiftSeconds}
                                        : engine::TTimeRule{engine::TTimeSource::OtherSide, o.ShiftSeconds};
        break;
      case TValueKind::Modified:
        rule = side == engine::tsUpdate ? engine::TTimeRule{engine::TTimeSource::Shift, o.ShiftSeconds}
                                        : engine::TTimeRule{engine::TTimeSource::OtherSide, o.ShiftSeconds};
        break;
    }
    // The parts of a side without a fixed value are never read as its time; they still have to form a
    // date-time for the plan to be built.
    if (v.Kind != TValueKind::Fixed && v.Kind != TValueKind::Now) parts = {2000, 1, 1, 0, 0, 0, 0};
    s.Parts[side] = {static_cast<uint16_t>(parts.Year),   static_cast<uint16_t>(parts.Month),
                     static_cast<uint16_t>(parts.Day),    static_cast<uint16_t>(parts.Hour),
                     static_cast<uint16_t>(parts.Minute), static_cast<uint16_t>(parts.Second)};
  }
  return true;
}

}  // namespace cli
