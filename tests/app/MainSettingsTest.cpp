// The main window's settings file where users meet trouble: held by another program, saved by an
// editor with a byte-order mark, text without a Shift-JIS form, a folder without create rights, a
// link.
#include "app/Main.h"
#include "comm/Cp932.h"
#include "comm/DateTime.h"
#include "settings/SettingsTestKit.h"
#include "support/DialogAnswerer.h"
#include "support/FileObstacles.h"
#include "support/FixedClock.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <memory>

using app::TVNStampShifter;
using settingstest::FolderNames;
using settingstest::ReadBytes;
using settingstest::WriteBytes;

namespace {

constexpr size_t npos = std::string::npos;

class MainWindowSettings : public ::testing::Test {
 protected:
  std::unique_ptr<TVNStampShifter> Open(const std::wstring& ini = {}) {
    return std::make_unique<TVNStampShifter>(ini.empty() ? FIni : ini);
  }
  testsupport::TempTree FTree;
  std::wstring FIni = FTree.Path(L"VornaStampShifter.ini");
  testsupport::DialogAnswerer FAnswers;  // a box nobody expects fails the test
};

std::string Utf16(std::wstring_view text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

}  // namespace

// An editor keeps the file open without delete sharing, from before the start to after the close.
TEST_F(MainWindowSettings, FileHeldByAnotherProgramIsReadAndSavedWithOneShortWait) {
  WriteBytes(FIni, "[Application]\r\nSubFolder=0\r\nExtString=txt\r\n");
  testsupport::OtherProcessHold editor(FIni, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(editor.Holding());
  ULONGLONG closing = 0;
  {
    auto w = Open();
    EXPECT_FALSE(w->CheckBoxSubFolder.Checked());
    EXPECT_EQ(w->EditExtString.Text(), L"txt");
    w->EditExtString.SetText(L"bmp");
    closing = GetTickCount64();
  }
  EXPECT_LT(GetTickCount64() - closing, 5000u);  // some forty values, not a wait for each
  EXPECT_TRUE(FAnswers.Shown().empty());
  editor.Release();
  const std::string ini = ReadBytes(FIni);
  EXPECT_NE(ini.find("ExtString=bmp\r\n"), npos);
  EXPECT_NE(ini.find("SubFolder=0\r\n"), npos);
  EXPECT_EQ(FolderNames(FTree.Root()), std::vector<std::wstring>{L"VornaStampShifter.ini"});
}

// A scanner holds the file without read sharing while the program starts: the defaults it starts
// with never replace what the file holds, even though the file is free again at the close.
TEST_F(MainWindowSettings, FileUnreadableAtStartIsNeverOverwritten) {
  comm::TDateTime now;
  ASSERT_TRUE(comm::TryEncodeDateTime({2026, 12, 7, 9, 5, 3, 0}, now));
  testsupport::FixedNow fixed(now);
  const std::string stored = "[Application]\r\nSubFolder=0\r\nTypeFolder=1\r\nTypeAll=0\r\n";
  WriteBytes(FIni, stored);
  FAnswers.Press(L"OK");
  {
    testsupport::OtherProcessHold scanner(FIni, GENERIC_READ, 0);
    ASSERT_TRUE(scanner.Holding());
    auto w = Open();
    ASSERT_EQ(FAnswers.Shown().size(), 1u);
    EXPECT_EQ(FAnswers.Shown()[0].caption, L"エラー");
    EXPECT_EQ(FAnswers.Shown()[0].text.find(FIni + L" を読み込めません。"), 0u);
    EXPECT_TRUE(w->RadioButtonAll.Checked());
    EXPECT_EQ(w->EditUpdate.Text(), L"　2026/12/07 09:05:03");
    scanner.Release();
    w->CheckBoxSubFolder.SetChecked(true);
  }
  EXPECT_EQ(ReadBytes(FIni), stored);
  EXPECT_EQ(FAnswers.Shown().size(), 1u);  // nothing more to say at the close
}

TEST_F(MainWindowSettings, EncodingsAreKeptAndExtensionsWithoutShiftJisFormComeBackAfterARestart) {
  WriteBytes(FIni, "\xEF\xBB\xBF[Bounds]\r\nLeft=40\r\nTop=50\r\n");
  EXPECT_EQ(Open()->Left(), 40);
  std::string ini = ReadBytes(FIni);
  EXPECT_EQ(ini.rfind("\xEF\xBB\xBF[Bounds]\r\nLeft=40\r\nTop=50\r\n[Application]\r\n", 0), 0u);
  EXPECT_EQ(ini.find("[Bounds]", 4), npos);

  WriteBytes(FIni, Utf16(L"[Application]\r\nTypeFolder=1\r\nTypeAll=0\r\n"));
  EXPECT_TRUE(Open()->RadioButtonFolder.Checked());
  ini = ReadBytes(FIni);
  ASSERT_EQ(ini.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(ini.rfind(Utf16(L"[Application]\r\nTypeFolder=1\r\nTypeAll=0\r\nSplashCount=100\r\nTypeFile=0\r\nSubFolder=1\r\n"), 0), 0u);
  EXPECT_NE(ini.find(Utf16(L"[AttrChange]").substr(2)), npos);

  DeleteFileW(FIni.c_str());
  Open()->EditExtString.SetText(L"表;txt");
  EXPECT_NE(ReadBytes(FIni).find("\r\nExtString=" + comm::WideToCp932(L"表;txt") + "\r\n"), npos);  // Shift-JIS still
  {
    auto w = Open();
    EXPECT_EQ(w->EditExtString.Text(), L"表;txt");
    w->EditExtString.SetText(L"한;🙂;é;txt");
  }
  EXPECT_EQ(Open()->EditExtString.Text(), L"한;🙂;é;txt");
  EXPECT_EQ(ReadBytes(FIni).substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_TRUE(FAnswers.Shown().empty());
}

TEST_F(MainWindowSettings, FileThatCannotBeReplacedIsSavedInItself) {
  // A per-file grant: the file may be written, its folder takes no new file.
  const std::wstring folder = FTree.MakeDir(L"Program Files");
  const std::wstring granted = folder + L"\\VornaStampShifter.ini";
  WriteBytes(granted, "[Application]\r\nAutoEnd=0\r\n");
  {
    testsupport::NoCreateRights locked(folder);
    ASSERT_TRUE(locked.Applied());
    auto w = Open(granted);
    EXPECT_FALSE(w->CheckBoxAutoExit.Checked());
    w->CheckBoxAutoExit.SetChecked(true);
  }
  EXPECT_NE(ReadBytes(granted).find("AutoEnd=1\r\n"), npos);
  EXPECT_EQ(FolderNames(folder), std::vector<std::wstring>{L"VornaStampShifter.ini"});

  // The INI beside the program is a second name of a file kept elsewhere.
  const std::wstring kept = FTree.MakeFile(L"kept\\settings.ini", "[Application]\r\nSubFolder=0\r\n");
  ASSERT_TRUE(CreateHardLinkW(FIni.c_str(), kept.c_str(), nullptr));
  {
    auto w = Open();
    EXPECT_FALSE(w->CheckBoxSubFolder.Checked());
    w->CheckBoxSubFolder.SetChecked(true);
  }
  EXPECT_NE(ReadBytes(kept).find("SubFolder=1\r\n"), npos);
  EXPECT_EQ(ReadBytes(kept), ReadBytes(FIni));
  EXPECT_TRUE(FAnswers.Shown().empty());
}

// The settings show no box of their own: the main window's prompts show their errors, as the real
// box a user answers.
TEST_F(MainWindowSettings, AnErrorOfTheSettingsIsShownInTheSettingsErrorBox) {
  auto w = Open();
  FAnswers.Press(L"OK");
  EXPECT_EQ(w->RegManager.Filer(L"Missing").ReadInteger(), 0);
  EXPECT_TRUE(FAnswers.Shown().empty());  // the settings show nothing themselves
  w->App().ShowNotedSettingsFailure();
  w->App().ShowNotedSettingsFailure();  // shown once
  ASSERT_EQ(FAnswers.Shown().size(), 1u);
  const testsupport::ShownDialog& box = FAnswers.Shown()[0];
  EXPECT_EQ(box.caption, L"エラー");
  EXPECT_EQ(box.text, L"[' Missing '] is invalid.");
  EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
}
