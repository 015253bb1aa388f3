// The main window's settings table.
#include "settings/AppSettings.h"
#include <utility>

namespace settings {

namespace {

using O = TAppOptions;
constexpr const wchar_t* kBounds = L"Bounds";
constexpr const wchar_t* kApp = L"Application";
constexpr const wchar_t* kDate = L"DateChange";
constexpr const wchar_t* kAttr = L"AttrChange";

const TOptionRow kRows[] = {
    {kBounds, L"Left", L"", &O::Left},
    {kBounds, L"Top", L"", &O::Top},
    {kApp, L"TypeFile", L"False", &O::TypeFile},
    {kApp, L"TypeFolder", L"False", &O::TypeFolder},
    {kApp, L"TypeAll", L"True", &O::TypeAll},
    {kApp, L"SubFolder", L"True", &O::SubFolder},
    {kApp, L"ExtSelect", L"False", &O::ExtSelect},
    {kApp, L"ExtString", L"", &O::ExtString},
    {kApp, L"SplashCount", L"100", &O::SplashCount, TOptionStore::AtStart},
    {kDate, L"DateChange", L"True", &O::DateChange},
    {kAttr, L"AttrChange", L"True", &O::AttrChange},
    {kAttr, L"ReadOnly", L"True", &O::ReadOnly},
    {kAttr, L"ReadOnlyOn", L"False", &O::ReadOnlyOn},
    {kAttr, L"ReadOnlyOff", L"True", &O::ReadOnlyOff},
    {kAttr, L"Hidden", L"False", &O::Hidden},
    {kAttr, L"HiddenOn", L"False", &O::HiddenOn},
    {kAttr, L"HiddenOff", L"True", &O::HiddenOff},
    {kAttr, L"Syatem", L"False", &O::System},  // the key's spelling is what existing files hold
    {kAttr, L"SystemOn", L"False", &O::SystemOn},
    {kAttr, L"SystemOff", L"True", &O::SystemOff},
    {kApp, L"AutoEnd", L"True", &O::AutoEnd},
    {kDate, L"CreateDateTime", L"True", &O::CreateDateTime},
    {kDate, L"UpdateDateTime", L"True", &O::UpdateDateTime},
    {kDate, L"CreateUpdate", L"False", &O::CreateUpdate},
    {kDate, L"CreateTimeFree", L"False", TSideFlagRef{&O::TimeFree, 0}},
    {kDate, L"UpdateTimeFree", L"False", TSideFlagRef{&O::TimeFree, 1}},
    {kDate, L"CreateSecondFree", L"False", TSideFlagRef{&O::SecondFree, 0}},
    {kDate, L"UpdateSecondFree", L"False", TSideFlagRef{&O::SecondFree, 1}},
    {kDate, L"CreateYear", L"", TDatePartRef{0, 0}},
    {kDate, L"CreateMonth", L"", TDatePartRef{0, 1}},
    {kDate, L"CreateDay", L"", TDatePartRef{0, 2}},
    {kDate, L"CreateHour", L"", TDatePartRef{0, 3}},
    {kDate, L"CreateMinute", L"", TDatePartRef{0, 4}},
    {kDate, L"CreateSecond", L"", TDatePartRef{0, 5}},
    {kDate, L"UpdateYear", L"", TDatePartRef{1, 0}},
    {kDate, L"UpdateMonth", L"", TDatePartRef{1, 1}},
    {kDate, L"UpdateDay", L"", TDatePartRef{1, 2}},
    {kDate, L"UpdateHour", L"", TDatePartRef{1, 3}},
    {kDate, L"UpdateMinute", L"", TDatePartRef{1, 4}},
    {kDate, L"UpdateSecond", L"", TDatePartRef{1, 5}},
    {kDate, L"CreateRule", L"", TSideTextRef{&O::TimeRule, 0}},
    {kDate, L"CreateOffset", L"", TSideTextRef{&O::TimeOffset, 0}},
    {kDate, L"UpdateRule", L"", TSideTextRef{&O::TimeRule, 1}},
    {kDate, L"UpdateOffset", L"", TSideTextRef{&O::TimeOffset, 1}},
    {kApp, L"FolderPath", L"", &O::FolderPath, TOptionStore::ByCommand},
};

template <class... F>
struct Overload : F... {
  using F::operator()...;
};

// Reads one row's value into its member.
void ReadRow(TRegFiler& filer, const TOptionRow& row, TAppOptions& o) {
  std::visit(Overload{
                 [&](bool O::*m) { o.*m = filer.ReadBool(); },
                 [&](int32_t O::*m) { o.*m = filer.ReadInteger(); },
                 [&](std::optional<int32_t> O::*m) {
                   const std::wstring text = filer.ReadString();
                   o.*m = text.empty() ? std::nullopt : std::optional<int32_t>(TextToIntOrZero(text));
                 },
                 [&](std::wstring O::*m) { o.*m = filer.ReadString(); },
                 [&](TSideFlagRef r) { (o.*r.Flags)[r.Side] = filer.ReadBool(); },
                 [&](TSideTextRef r) { (o.*r.Texts)[r.Side] = filer.ReadString(); },
                 [&](TDatePartRef r) {
                   // A stored number keeps its low 16 bits, as the parts do.
                   const std::wstring text = filer.ReadString();
                   o.DateParts[r.Side][r.Part] =
                       text.empty() ? std::nullopt
                                    : std::optional<uint16_t>(static_cast<uint16_t>(static_cast<uint32_t>(TextToIntOrZero(text))));
                 },
             },
             row.Member);
}

TSettingsOutcome WriteRow(TRegFiler& filer, const TOptionRow& row, const TAppOptions& o) {
  return std::visit(Overload{
                        [&](bool O::*m) { return filer.WriteBool(o.*m); },
                        [&](int32_t O::*m) { return filer.WriteInteger(o.*m); },
                        [&](std::optional<int32_t> O::*m) { return filer.WriteInteger((o.*m).value_or(0)); },
                        [&](std::wstring O::*m) { return filer.WriteString(o.*m); },
                        [&](TSideFlagRef r) { return filer.WriteBool((o.*r.Flags)[r.Side]); },
                        [&](TDatePartRef r) { return filer.WriteInteger(o.DateParts[r.Side][r.Part].value_or(0)); },
                        [&](TSideTextRef r) {
                          const std::wstring& text = (o.*r.Texts)[r.Side];
                          return text.empty() ? filer.DeleteValue(row.Section, row.Key) : filer.WriteString(text);
                        },
                    },
                    row.Member);
}

}  // namespace

std::span<const TOptionRow> ApplicationOptionRows() { return kRows; }

void AddApplicationItems(TRegItems& items) {
  for (const TOptionRow& r : kRows) items.Add(r.Key, r.Section, r.Key, r.Default);
}

TAppOptions LoadApplicationOptions(TRegManager& manager) {
  TAppOptions o;
  for (const TOptionRow& r : kRows)
    if (r.Store != TOptionStore::ByCommand) ReadRow(manager.Filer(r.Key), r, o);
  return o;
}

TSettingsOutcome SaveApplicationOptions(TRegManager& manager, const TAppOptions& options, TOptionStore store) {
  // The first failure ends the save: the values after it would meet the same file.
  for (const TOptionRow& r : kRows)
    if (r.Store == store)
      if (TSettingsOutcome o = WriteRow(manager.Filer(r.Key), r, options); !o) return o;
  return {};
}

void AddHelpWindowItems(TRegItems& items) {
  const std::pair<const wchar_t*, const wchar_t*> rows[] = {
      {L"HelpLeft", L"Left"}, {L"HelpTop", L"Top"}, {L"HelpWidth", L"Width"}, {L"HelpHeight", L"Height"},
      {L"HelpPane", L"Pane"}};
  for (const auto& [name, key] : rows) items.Add(name, L"HelpWindow", key, L"");
}

std::wstring IniPathForExecutable(const std::wstring& exePath) {
  size_t slash = exePath.find_last_of(L"\\/:");
  size_t dot = exePath.rfind(L'.');
  if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return exePath + L".ini";
  return exePath.substr(0, dot) + L".ini";
}

}  // namespace settings
