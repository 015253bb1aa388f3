// The main window's options table: every row reads back what it wrote, under its own key only.
#include "settings/AppSettings.h"
#include "comm/Cp932.h"
#include "settings/SettingsTestKit.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <set>

using settings::TAppOptions;
using settings::TOptionRow;
using settings::TOptionStore;

namespace {

template <class... F>
struct Overload : F... {
  using F::operator()...;
};

// Gives the row's member a value that no default has.
void SetOther(const TOptionRow& row, TAppOptions& o) {
  std::visit(Overload{
                 [&](bool TAppOptions::*m) { o.*m = !(o.*m); },
                 [&](int32_t TAppOptions::*m) { o.*m = 4321; },
                 [&](std::optional<int32_t> TAppOptions::*m) { o.*m = -77; },
                 [&](std::wstring TAppOptions::*m) { o.*m = L"表;txt"; },
                 [&](settings::TSideFlagRef r) { (o.*r.Flags)[r.Side] = !(o.*r.Flags)[r.Side]; },
                 [&](settings::TDatePartRef r) { o.DateParts[r.Side][r.Part] = static_cast<uint16_t>(2000 + r.Side * 6 + r.Part); },
                 [&](settings::TSideTextRef r) { (o.*r.Texts)[r.Side] = L"表;txt"; },
             },
             row.Member);
}

class AppOptions : public ::testing::Test {
 protected:
  AppOptions() {
    settings::AddApplicationItems(FManager.RegItems());
    FManager.SetRegType(settings::rtIni);
    FManager.SetIniFileName(FTree.Path(L"options.ini"));
  }
  testsupport::TempTree FTree;
  settings::TRegManager FManager;
  settingstest::ErrorBoxRecorder FBoxes{FManager};
};

}  // namespace

TEST_F(AppOptions, KeysAreUniqueAndEveryOneIsAnItem) {
  std::set<std::wstring> keys;
  for (const TOptionRow& row : settings::ApplicationOptionRows()) {
    SCOPED_TRACE(testing::Message() << "key " << testing::PrintToString(std::wstring(row.Key)));
    EXPECT_TRUE(keys.insert(row.Key).second);
    const settings::TRegItem* item = FManager.RegItems().FindItem(row.Key);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Section, row.Section);
    EXPECT_EQ(item->Ident, row.Key);
    EXPECT_EQ(item->DefaultValue, row.Default);
  }
  EXPECT_EQ(static_cast<size_t>(FManager.RegItems().Count()), keys.size());
}

// The defaults of the table and of the struct are the same: an empty file reads as a fresh struct.
TEST_F(AppOptions, EmptyFileReadsAsTheDefaults) {
  EXPECT_EQ(settings::LoadApplicationOptions(FManager), TAppOptions{});
  EXPECT_TRUE(FBoxes.Texts().empty());
}

TEST_F(AppOptions, EveryRowRoundTripsThroughTheFileAndTouchesOnlyItsOwnValue) {
  for (const TOptionRow& row : settings::ApplicationOptionRows()) {
    if (row.Store == TOptionStore::ByCommand) continue;
    SCOPED_TRACE(testing::Message() << "key " << testing::PrintToString(std::wstring(row.Key)));
    // Every value written once: an unset number is written as 0 and reads back so.
    DeleteFileW(FManager.IniFileName().c_str());
    settings::SaveApplicationOptions(FManager, TAppOptions{}, TOptionStore::AtStart);
    settings::SaveApplicationOptions(FManager, TAppOptions{}, TOptionStore::AtClose);
    const TAppOptions stored = settings::LoadApplicationOptions(FManager);
    TAppOptions want = stored;
    SetOther(row, want);
    ASSERT_NE(want, stored);
    settings::SaveApplicationOptions(FManager, want, row.Store);
    const std::string key = "\r\n" + comm::WideToCp932(row.Key) + "=";
    EXPECT_NE(settingstest::ReadBytes(FManager.IniFileName()).find(key), std::string::npos);
    EXPECT_EQ(settings::LoadApplicationOptions(FManager), want);
  }
  EXPECT_TRUE(FBoxes.Texts().empty());
}

// Values written at the close go in table order; the start-up's own value is written apart.
TEST_F(AppOptions, EachStoreWritesOnlyItsOwnRows) {
  TAppOptions o;
  o.SplashCount = 7;
  settings::SaveApplicationOptions(FManager, o, TOptionStore::AtStart);
  EXPECT_EQ(settingstest::ReadBytes(FManager.IniFileName()), "[Application]\r\nSplashCount=7\r\n");
  o.FolderPath = L"C:\\x\\";
  o.Left = 5;
  settings::SaveApplicationOptions(FManager, o, TOptionStore::AtClose);
  const std::string bytes = settingstest::ReadBytes(FManager.IniFileName());
  EXPECT_EQ(bytes.find("FolderPath"), std::string::npos);
  EXPECT_EQ(bytes.rfind("[Application]\r\nSplashCount=7\r\nTypeFile=0\r\n", 0), 0u);
  EXPECT_NE(bytes.find("[Bounds]\r\nLeft=5\r\nTop=0\r\n"), std::string::npos);
}

// The rule texts are kept only while set: a file that never had one is written as before they
// existed, and clearing one takes its key out again.
TEST_F(AppOptions, SideTextsAreStoredOnlyWhileSet) {
  settings::SaveApplicationOptions(FManager, TAppOptions{}, TOptionStore::AtClose);
  const std::string plain = settingstest::ReadBytes(FManager.IniFileName());
  EXPECT_EQ(plain.find("Rule="), std::string::npos);
  EXPECT_EQ(plain.find("Offset="), std::string::npos);
  TAppOptions o;
  o.TimeRule[1] = L"shift";
  o.TimeOffset[1] = L"-2日";
  settings::SaveApplicationOptions(FManager, o, TOptionStore::AtClose);
  const std::string set = settingstest::ReadBytes(FManager.IniFileName());
  EXPECT_NE(set.find("UpdateSecond=0\r\nUpdateRule=shift\r\nUpdateOffset=" + comm::WideToCp932(L"-2日") + "\r\n"),
            std::string::npos);
  EXPECT_EQ(set.find("CreateRule="), std::string::npos);
  const TAppOptions read = settings::LoadApplicationOptions(FManager);
  EXPECT_EQ(read.TimeRule[1], L"shift");
  EXPECT_EQ(read.TimeOffset[1], L"-2日");
  EXPECT_EQ(read.TimeRule[0], L"");
  settings::SaveApplicationOptions(FManager, TAppOptions{}, TOptionStore::AtClose);
  EXPECT_EQ(settingstest::ReadBytes(FManager.IniFileName()), plain);
  EXPECT_TRUE(FBoxes.Texts().empty());
}
