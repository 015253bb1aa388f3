// The application object without its windows: commands reach the views attached to it, a run goes
// through a view of its own, and a settings failure comes back as a result that is shown once.
#include "app/Program.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>

using testsupport::DialogAnswerer;

namespace {

// A main window reduced to what the application object reads and tells.
struct FakeMainView : app::IMainView {
  settings::TAppOptions Shown;
  std::vector<std::wstring> Calls;
  HWND ViewHandle() const override { return nullptr; }
  bool ViewEnabled() const override { return true; }
  RECT ViewBounds() const override { return RECT{10, 20, 310, 379}; }
  void CollectShownOptions(settings::TAppOptions& options) const override { options = Shown; }
  void SetIdleState(bool idle) override { Calls.push_back(idle ? L"idle" : L"running"); }
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void RequestClose() override { Calls.push_back(L"close"); }
  void BringToFront() override {}
  void UpdateUndoCommand() override {}
};

struct FakeList : app::IListView {
  std::vector<std::wstring> Calls;
  void ShowBeside(const RECT& r) override { Calls.push_back(L"beside " + std::to_wstring(r.right)); }
  void SetListControlsEnabled(bool e) override { Calls.push_back(e ? L"controls on" : L"controls off"); }
  void SetListEnabled(bool e) override { Calls.push_back(e ? L"on" : L"off"); }
  void AddPaths(const std::vector<std::wstring>& paths) override { Calls.push_back(L"add " + paths.at(0)); }
  HWND ListHandle() const override { return nullptr; }
  const targets::TTargetList& ListTargets() const override { return Entries; }
  bool AskSaveFileName(const std::wstring&, std::wstring&) override { return false; }
  targets::TTargetList Entries;
};

struct Targets : engine::IChangeTargets {
  std::vector<std::wstring> Paths;
  int Count() const override { return static_cast<int>(Paths.size()); }
  std::wstring Entry(int index) const override { return Paths.at(static_cast<size_t>(index)); }
};

}  // namespace

TEST(ShifterApp, CommandsReachTheAttachedViewsAndDoNothingWithoutThem) {
  testsupport::TempTree tree;
  app::TShifterApp program(tree.Path(L"vss.ini"));
  FakeMainView view;
  FakeList list;
  EXPECT_FALSE(program.ShowList());  // no window to show
  program.AttachMainView(&view);
  EXPECT_FALSE(program.ShowList());
  EXPECT_FALSE(program.SelectFolder());
  program.AttachListView(&list);
  EXPECT_TRUE(program.ShowList());
  program.AddPaths({L"C:\\a"});
  program.LockOtherViews(false);
  program.SetListEnabled(true);
  EXPECT_EQ(list.Calls, (std::vector<std::wstring>{L"beside 310", L"add C:\\a", L"controls off", L"on"}));
  program.AttachListView(nullptr);
  program.AttachMainView(nullptr);
}

TEST(ShifterApp, ARunTakesTheOptionsTheViewShowsAndEndsAsTheyAsk) {
  testsupport::TempTree tree;
  app::TShifterApp program(tree.Path(L"vss.ini"));
  ASSERT_TRUE(program.LoadOptions().Ok);
  FakeMainView view;
  view.Shown.DateChange = false;
  view.Shown.AttrChange = true;
  view.Shown.ReadOnly = false;
  view.Shown.Hidden = true;
  view.Shown.HiddenOn = true;
  view.Shown.AutoEnd = true;
  program.AttachMainView(&view);
  Targets targets;
  targets.Paths = {tree.MakeFile(L"a.txt")};
  program.SetTargets(&targets);
  DialogAnswerer answers;
  answers.Press(L"OK");
  program.RunOrStop();
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].text.substr(0, 10), L"変更が終了しました。");
  EXPECT_TRUE(GetFileAttributesW(targets.Paths[0].c_str()) & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(view.Calls, (std::vector<std::wstring>{L"running", L"close", L"idle"}));

  // The same run without automatic exit leaves the view open.
  view.Calls.clear();
  view.Shown.AutoEnd = false;
  answers.Press(L"OK");
  program.RunOrStop();
  EXPECT_EQ(view.Calls, (std::vector<std::wstring>{L"running", L"idle"}));
  program.SetTargets(nullptr);
  program.AttachMainView(nullptr);
}

TEST(ShifterApp, ASettingsFailureIsReturnedAndShownOnceThroughThePrompts) {
  testsupport::TempTree tree;
  const std::wstring ini = tree.MakeFile(L"vss.ini", "[Application]\r\nAutoEnd=0\r\n");
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY);
  app::TShifterApp program(ini);
  DialogAnswerer answers;  // nothing is shown while the settings are read and written
  const settings::TSettingsOutcome loaded = program.LoadOptions();
  EXPECT_FALSE(loaded.Ok);
  EXPECT_EQ(loaded.Message, ini + L" に書き込めません");
  EXPECT_FALSE(program.Options.AutoEnd);  // what could be read was read
  EXPECT_TRUE(answers.Shown().empty());

  answers.Press(L"OK");
  program.ShowSettingsFailure(loaded);
  program.ShowSettingsFailure(settings::TSettingsOutcome{});  // success shows nothing
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].caption, L"エラー");
  EXPECT_EQ(answers.Shown()[0].text, ini + L" に書き込めません");
  SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
}
