// Where the program keeps its settings file: beside a portable copy, in the user's own folder for an
// installed copy and for a portable copy whose folder takes no file.
#pragma once
#include "Base.h"
#include <string>

namespace settings {

// The file the installer leaves beside the executable: while it is there, the copy is an installed one
// and never writes into its own folder. Only its presence counts, not its content.
inline constexpr wchar_t kInstalledMarkerName[] = L"VornaStampShifter.installed";
// The user's settings folder below the roaming application-data folder, and the file in it.
inline constexpr wchar_t kUserFolderName[] = L"VornaStampShifter";
inline constexpr wchar_t kUserIniName[] = L"VornaStampShifter.ini";

enum class TIniPlace { BesideProgram, UserFolder };

struct TIniLocation {
  std::wstring Path;
  TIniPlace Place = TIniPlace::BesideProgram;
};

// The settings file of the program at exePath, given the user's roaming application-data folder
// (empty when the system names none: then the file beside the program is all there is).
//  - An installed copy (the marker beside the executable) uses VornaStampShifter.ini in the folder
//    VornaStampShifter below roamingDir.
//  - A portable copy uses the file beside the executable (IniPathForExecutable) when that file can be
//    written or its folder takes a new file; otherwise the user's file as well, which then starts as a
//    copy of the file beside the executable when there is one and the user has none yet.
// The user's folder is created when it is chosen. Deciding leaves nothing behind in the program's
// folder (a portable folder is tried with a temporary file that goes at once).
TIniLocation ChooseIniLocation(const std::wstring& exePath, const std::wstring& roamingDir);

// The user's roaming application-data folder (FOLDERID_RoamingAppData), or empty.
std::wstring RoamingAppDataDir();

// A file of the user's own folder (VornaStampShifter below the roaming folder): the undo journal that the
// program and its console companion share. Empty when the system names no roaming folder.
std::wstring UserFilePath(const std::wstring& name);

// ChooseIniLocation for this user.
TIniLocation IniLocationForProgram(const std::wstring& exePath);

}  // namespace settings
