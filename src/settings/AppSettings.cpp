// The main window's settings table.
#include "settings/AppSettings.h"
#include <utility>

namespace settings {

const wchar_t* const kDatePartKeys[2][6] = {
    {L"CreateYear", L"CreateMonth", L"CreateDay", L"CreateHour", L"CreateMinute", L"CreateSecond"},
    {L"UpdateYear", L"UpdateMonth", L"UpdateDay", L"UpdateHour", L"UpdateMinute", L"UpdateSecond"}};

void AddApplicationItems(TRegItems& items) {
  struct Row {
    const wchar_t* name;
    const wchar_t* section;
    const wchar_t* def;
  };
  static const Row rows[] = {
      {L"Left", L"Bounds", L""},
      {L"Top", L"Bounds", L""},
      {L"TypeFile", L"Application", L"False"},
      {L"TypeFolder", L"Application", L"False"},
      {L"TypeAll", L"Application", L"True"},
      {L"SubFolder", L"Application", L"True"},
      {L"ExtSelect", L"Application", L"False"},
      {L"ExtString", L"Application", L""},
      {L"SplashCount", L"Application", L"100"},
      {L"DateChange", L"DateChange", L"True"},
      {L"CreateDateTime", L"DateChange", L"True"},
      {L"CreateTimeFree", L"DateChange", L"False"},
      {L"CreateSecondFree", L"DateChange", L"False"},
      {L"CreateUpdate", L"DateChange", L"False"},
      {L"CreateYear", L"DateChange", L""},
      {L"CreateMonth", L"DateChange", L""},
      {L"CreateDay", L"DateChange", L""},
      {L"CreateHour", L"DateChange", L""},
      {L"CreateMinute", L"DateChange", L""},
      {L"CreateSecond", L"DateChange", L""},
      {L"UpdateDateTime", L"DateChange", L"True"},
      {L"UpdateTimeFree", L"DateChange", L"False"},
      {L"UpdateSecondFree", L"DateChange", L"False"},
      {L"UpdateYear", L"DateChange", L""},
      {L"UpdateMonth", L"DateChange", L""},
      {L"UpdateDay", L"DateChange", L""},
      {L"UpdateHour", L"DateChange", L""},
      {L"UpdateMinute", L"DateChange", L""},
      {L"UpdateSecond", L"DateChange", L""},
      {L"AttrChange", L"AttrChange", L"True"},
      {L"ReadOnly", L"AttrChange", L"True"},
      {L"ReadOnlyOn", L"AttrChange", L"False"},
      {L"ReadOnlyOff", L"AttrChange", L"True"},
      {L"Hidden", L"AttrChange", L"False"},
      {L"HiddenOn", L"AttrChange", L"False"},
      {L"HiddenOff", L"AttrChange", L"True"},
      {L"Syatem", L"AttrChange", L"False"},
      {L"SystemOn", L"AttrChange", L"False"},
      {L"SystemOff", L"AttrChange", L"True"},
      {L"AutoEnd", L"Application", L"True"},
      {L"FolderPath", L"Application", L""},
  };
  for (const Row& r : rows) items.Add(r.name, r.section, r.name, r.def);
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
