// Where the settings file goes: a portable copy beside itself, an installed copy and a portable copy
// in a folder that takes nothing in the user's folder; the program's folder is never left with a file.
#include "settings/IniLocation.h"
#include "settings/SettingsTestKit.h"
#include "support/FileObstacles.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <algorithm>

using settings::ChooseIniLocation;
using settings::TIniPlace;
using settingstest::Exists;
using settingstest::FolderNames;
using settingstest::ReadBytes;
using settingstest::WriteBytes;

namespace {

class IniLocation : public ::testing::Test {
 protected:
  std::wstring Program(const std::wstring& name = L"VornaStampShifter.exe") const { return FApp + L"\\" + name; }
  std::wstring UserIni() const { return FRoaming + L"\\VornaStampShifter\\VornaStampShifter.ini"; }

  testsupport::TempTree FTree;
  std::wstring FApp = FTree.MakeDir(L"app");
  std::wstring FRoaming = FTree.MakeDir(L"roaming");
};

}  // namespace

TEST_F(IniLocation, PortableCopyKeepsItsFileBesideItselfUnderItsOwnName) {
  auto chosen = ChooseIniLocation(Program(), FRoaming);
  EXPECT_EQ(chosen.Path, FApp + L"\\VornaStampShifter.ini");
  EXPECT_EQ(chosen.Place, TIniPlace::BesideProgram);
  EXPECT_EQ(ChooseIniLocation(Program(L"other.exe"), FRoaming).Path, FApp + L"\\other.ini");
  // Deciding left nothing behind: no trial file in the program's folder, no user folder made.
  EXPECT_TRUE(FolderNames(FApp).empty());
  EXPECT_TRUE(FolderNames(FRoaming).empty());
  // Without a roaming folder only the file beside the program is known.
  EXPECT_EQ(ChooseIniLocation(Program(), L"").Path, FApp + L"\\VornaStampShifter.ini");
}

TEST_F(IniLocation, InstalledCopyKeepsItsFileInTheUsersFolderEvenWhereItsOwnFolderIsWritable) {
  WriteBytes(Program(L"VornaStampShifter.installed"), "");
  WriteBytes(FApp + L"\\VornaStampShifter.ini", "[Application]\r\nAutoEnd=0\r\n");
  auto chosen = ChooseIniLocation(Program(), FRoaming);
  EXPECT_EQ(chosen.Path, UserIni());
  EXPECT_EQ(chosen.Place, TIniPlace::UserFolder);
  EXPECT_TRUE(Exists(FRoaming + L"\\VornaStampShifter"));
  // The same name under any program name; nothing is taken from or put into the program's folder.
  EXPECT_EQ(ChooseIniLocation(Program(L"renamed.exe"), FRoaming).Path, UserIni());
  EXPECT_FALSE(Exists(UserIni()));
  std::vector<std::wstring> names = FolderNames(FApp);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"VornaStampShifter.ini", L"VornaStampShifter.installed"}));

  // A folder of that name is no marker.
  testsupport::TempTree other;
  other.MakeDir(L"VornaStampShifter.installed");
  EXPECT_EQ(ChooseIniLocation(other.Path(L"VornaStampShifter.exe"), FRoaming).Place, TIniPlace::BesideProgram);
}

TEST_F(IniLocation, PortableCopyInAFolderThatTakesNothingMovesToTheUsersFolderWithItsSettings) {
  const std::wstring beside = FApp + L"\\VornaStampShifter.ini";
  {
    testsupport::NoCreateRights locked(FApp);
    ASSERT_TRUE(locked.Applied());
    // No file beside the program: the user's file, and its folder made.
    auto chosen = ChooseIniLocation(Program(), FRoaming);
    EXPECT_EQ(chosen.Path, UserIni());
    EXPECT_EQ(chosen.Place, TIniPlace::UserFolder);
    EXPECT_TRUE(Exists(FRoaming + L"\\VornaStampShifter"));
    EXPECT_FALSE(Exists(UserIni()));
  }

  // The copy came with settings it cannot write (read-only, as from a disc): the user's file starts
  // from them, writable, and once there it is never overwritten from the program's folder.
  WriteBytes(beside, "[Application]\r\nSubFolder=0\r\n");
  ASSERT_TRUE(SetFileAttributesW(beside.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    testsupport::NoCreateRights locked(FApp);
    ASSERT_TRUE(locked.Applied());
    EXPECT_EQ(ChooseIniLocation(Program(), FRoaming).Path, UserIni());
    EXPECT_EQ(ReadBytes(UserIni()), "[Application]\r\nSubFolder=0\r\n");
    EXPECT_EQ(GetFileAttributesW(UserIni().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    WriteBytes(UserIni(), "[Application]\r\nSubFolder=1\r\n");
    EXPECT_EQ(ChooseIniLocation(Program(), FRoaming).Path, UserIni());
    EXPECT_EQ(ReadBytes(UserIni()), "[Application]\r\nSubFolder=1\r\n");
  }
  SetFileAttributesW(beside.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(FolderNames(FApp), std::vector<std::wstring>{L"VornaStampShifter.ini"});
}

TEST_F(IniLocation, PortableCopyWhoseOwnFileMayBeWrittenKeepsItInALockedFolder) {
  // A per-file grant: the file takes writes in place although the folder takes no new file.
  const std::wstring beside = FApp + L"\\VornaStampShifter.ini";
  WriteBytes(beside, "[Application]\r\n");
  testsupport::NoCreateRights locked(FApp);
  ASSERT_TRUE(locked.Applied());
  EXPECT_EQ(ChooseIniLocation(Program(), FRoaming).Path, beside);
  EXPECT_TRUE(FolderNames(FRoaming).empty());
}

TEST(IniLocationSystem, RoamingFolderIsAFullPathOfAnExistingFolder) {
  const std::wstring roaming = settings::RoamingAppDataDir();
  ASSERT_GT(roaming.size(), 3u);
  EXPECT_EQ(roaming[1], L':');
  EXPECT_NE(roaming.back(), L'\\');
  EXPECT_NE(GetFileAttributesW(roaming.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(settings::IniLocationForProgram(L"C:\\no such folder\\VornaStampShifter.exe").Path,
            roaming + L"\\VornaStampShifter\\VornaStampShifter.ini");
}
