// The target collection on generated folder trees: filters, extensions, patterns, duplicates, links,
// the progress threshold, the stop request and the lock around it all.
#include "CollectionFakes.h"
#include "support/Links.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <set>
#include <stdexcept>
#include <tuple>

using targets::MakeExtList;
using Names = std::set<std::wstring>;
using Strings = std::vector<std::wstring>;

namespace {

// The list control's copy, and the calls around the walk in order.
struct FakeView : targets::ICollectionView {
  Strings items;
  std::vector<std::string> steps;
  bool showing = false;
  std::function<bool(const std::wstring&)> onInsert;  // false: the control refuses the item
  void ActivateForCollection() override { steps.push_back("activate"); }
  void BeginAdding(int) override { steps.push_back("begin"); }
  void EndAdding() override { steps.push_back("end"); }
  bool InsertItem(int index, std::wstring_view path) override {
    if (onInsert && !onInsert(std::wstring(path))) return false;
    items.insert(items.begin() + index, std::wstring(path));
    return true;
  }
  void EnableCommands() override { steps.push_back("commands"); }
  void UpdateCount() override { steps.push_back("count"); }
  bool ViewShowing() const override { return showing; }
};

class Collection : public ::testing::Test {
 protected:
  // Files of several extensions, one hidden and one system, below a hidden and system subfolder.
  void MakeSampleTree() {
    for (auto f : {L"top\\a.txt", L"top\\B.TXT", L"top\\c.bmp", L"top\\noext", L"top\\arc.tar.gz", L"top\\sub\\d.txt",
                   L"top\\sub\\deep\\e.log"})
      tree.MakeFile(f);
    tree.MakeDir(L"top\\empty");
    SetFileAttributesW(tree.Path(L"top\\sub").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    SetFileAttributesW(tree.Path(L"top\\noext").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(tree.Path(L"top\\a.txt").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  }
  void Collect(std::initializer_list<std::wstring> relative) {
    Strings paths;
    for (const auto& r : relative) paths.push_back(r.find(L':') == std::wstring::npos ? tree.Path(r) : r);
    collection.AddPaths(paths);
  }
  void Reset() {
    list.Clear();
    view.items.clear();
  }
  // The entries as names relative to the tree; checks that both copies agree, index for index.
  Names Entries() {
    EXPECT_EQ(view.items, Strings(list.begin(), list.end()));
    Names out;
    for (const std::wstring_view e : list)
      out.insert(std::wstring(e.substr(0, tree.Root().size() + 1) == tree.Root() + L"\\" ? e.substr(tree.Root().size() + 1) : e));
    return out;
  }

  testsupport::TempTree tree;
  targetstest::FakeHost host;
  FakeView view;
  targets::TTargetList list;
  targets::TTargetCollection collection{host, list, view};
};

const Names kFiles = {L"top\\a.txt", L"top\\B.TXT", L"top\\c.bmp", L"top\\noext", L"top\\arc.tar.gz",
                      L"top\\sub\\d.txt", L"top\\sub\\deep\\e.log"};
const Names kFolders = {L"top", L"top\\sub", L"top\\sub\\deep", L"top\\empty"};
const Names kTxt = {L"top\\a.txt", L"top\\B.TXT", L"top\\sub\\d.txt"};
Names operator+(Names a, const Names& b) {
  a.insert(b.begin(), b.end());
  return a;
}

}  // namespace

TEST(ExtList, IsLowerCasedWithoutSpacesOrPeriodsAndKeepsEmptyPiecesBeforeSemicolons) {
  EXPECT_EQ(MakeExtList(L"TXT; .bmp;"), (Strings{L"txt", L"bmp"}));
  EXPECT_EQ(MakeExtList(L"tar.gz"), (Strings{L"targz"}));
  EXPECT_EQ(MakeExtList(L";txt;;Ｂ"), (Strings{L"", L"txt", L"", L"Ｂ"}));
  EXPECT_EQ(MakeExtList(L" . "), Strings{});
  EXPECT_EQ(targets::FileExtension(L"arc.tar.GZ"), L"gz");
  EXPECT_EQ(targets::FileExtension(L"ends."), L"");
}

TEST(ExtList, ListedExtensionsTakeWildcards) {
  using targets::ExtensionMatches;
  EXPECT_TRUE(ExtensionMatches(L"jpg", L"JPG"));
  EXPECT_FALSE(ExtensionMatches(L"jpg", L"jpeg"));
  EXPECT_TRUE(ExtensionMatches(L"jp*", L"jpeg"));
  EXPECT_TRUE(ExtensionMatches(L"jp*", L"jp"));
  EXPECT_FALSE(ExtensionMatches(L"jp*", L"j"));
  EXPECT_TRUE(ExtensionMatches(L"j?g", L"jpg"));
  EXPECT_FALSE(ExtensionMatches(L"j?g", L"jg"));
  EXPECT_FALSE(ExtensionMatches(L"j?g", L"jpeg"));
  EXPECT_TRUE(ExtensionMatches(L"*", L""));  // a file without an extension
  EXPECT_TRUE(ExtensionMatches(L"*g", L"jpeg"));
  EXPECT_TRUE(ExtensionMatches(L"*e*", L"jpeg"));
  EXPECT_FALSE(ExtensionMatches(L"*x*", L"jpeg"));
  EXPECT_FALSE(ExtensionMatches(L"m?4*", L"M4A"));
  EXPECT_TRUE(ExtensionMatches(L"m?4*", L"MP4V"));
  EXPECT_TRUE(ExtensionMatches(L"", L""));
  EXPECT_FALSE(ExtensionMatches(L"", L"txt"));
}

TEST_F(Collection, EveryFilterCombinationOnADroppedFolderAndThePreCountAgrees) {
  MakeSampleTree();
  struct {
    bool files, folders, sub, ext;
    const wchar_t* list;
    Names expected;
  } cases[] = {
      {false, false, true, false, L"", kFolders + kFiles},     {false, false, false, false, L"", {L"top"}},
      {false, false, false, true, L"txt", {L"top"}},           {false, false, true, true, L"txt", kFolders + kTxt},
      {true, false, false, false, L"", {}},                    {true, false, true, false, L"", kFiles},
      {true, false, true, true, L"txt", kTxt},                 {true, false, false, true, L"txt", {}},
      {false, true, false, false, L"", {L"top"}},              {false, true, true, false, L"", kFolders},
      {false, true, true, true, L"txt", kFolders},             {false, false, true, true, L"", kFolders},
      {true, false, true, false, L"bmp", kFiles},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "files " << c.files << " folders " << c.folders << " sub " << c.sub << " ext "
                                    << c.ext << " " << testing::PrintToString(std::wstring(c.list)));
    Reset();
    host.filesOnly = c.files, host.foldersOnly = c.folders, host.subFolders = c.sub;
    host.extSelect = c.ext, host.extString = c.list;
    Collect({L"top"});
    EXPECT_EQ(Entries(), c.expected);
    EXPECT_EQ(collection.LastTotal(), static_cast<int>(c.expected.size()));
  }
}

TEST_F(Collection, ExtensionListsMatchIgnoringCaseSpacesAndPeriods) {
  MakeSampleTree();
  host.filesOnly = host.extSelect = true;
  const std::pair<const wchar_t*, Names> cases[] = {
      {L"TXT; .Bmp", kTxt + Names{L"top\\c.bmp"}},
      {L"tar.gz", {}},
      {L";log", {L"top\\noext", L"top\\sub\\deep\\e.log"}},  // the empty extension takes "noext"
      {L"log;;", {L"top\\noext", L"top\\sub\\deep\\e.log"}},
  };
  for (const auto& [ext, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(ext)));
    Reset();
    host.extString = ext;
    Collect({L"top"});
    EXPECT_EQ(Entries(), expected);
  }
  // A dropped file obeys the same rules.
  Reset();
  host.extString = L"bmp";
  Collect({L"top\\a.txt"});
  host.filesOnly = false, host.foldersOnly = true;
  Collect({L"top\\c.bmp"});
  EXPECT_EQ(Entries(), Names{});
}

TEST_F(Collection, PatternsRootsAndTheFormOfEntries) {
  for (auto f : {L"work\\x.log", L"work\\y.log", L"work\\z.txt", L"work\\sub.log\\in.txt"}) tree.MakeFile(f);
  Collect({L"work\\*.log", L"missing", L"missing\\*.txt", L"work\\?.txt"});
  EXPECT_EQ(Entries(), (Names{L"work\\x.log", L"work\\y.log", L"work\\sub.log", L"work\\sub.log\\in.txt", L"work\\z.txt"}));

  // A folder named with a trailing separator keeps it; the entries below it take one separator.
  Reset();
  Collect({tree.Path(L"work\\sub.log\\")});
  EXPECT_EQ(Entries(), (Names{L"work\\sub.log\\", L"work\\sub.log\\in.txt"}));

  Reset();
  host.subFolders = false;
  Collect({L"C:\\"});
  host.foldersOnly = true;
  Collect({L"C:\\*"});
  ASSERT_GT(list.Count(), 1);
  EXPECT_EQ(list[0], L"C:\\");
  for (int i = 1; i < list.Count(); ++i) EXPECT_EQ(list[i].rfind(L'\\'), 2u) << testing::PrintToString(list[i]);
}

TEST_F(Collection, RelativePathsAreTakenFromTheCurrentFolderAndLongPathsWhole) {
  std::wstring deep = L"top";
  while (tree.Path(deep).size() < MAX_PATH + 40) deep += L"\\folder-with-a-long-name";
  tree.MakeFile(deep + L"\\last.txt");
  tree.MakeFile(L"top\\b.txt");
  wchar_t saved[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, saved);
  SetCurrentDirectoryW(tree.Path(L"top").c_str());
  host.filesOnly = true;
  collection.AddPaths({L"b.txt", L"..\\top"});
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(Entries(), (Names{L"top\\b.txt", deep + L"\\last.txt"}));
}

TEST_F(Collection, DuplicatesAreSkippedIgnoringCaseWhileThePreCountStillCountsThem) {
  MakeSampleTree();
  Collect({L"top"});
  const Strings first(list.begin(), list.end());
  targetstest::SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  host.splashCount = 1;
  std::wstring upper = tree.Path(L"TOP");
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  Collect({upper, L"top\\a.txt"});
  EXPECT_EQ(Strings(list.begin(), list.end()), first);
  EXPECT_EQ(splash.starts, (std::vector<int>{static_cast<int>(first.size()) + 1}));
  EXPECT_TRUE(splash.positions.empty());  // the gauge moves only with additions
}

TEST_F(Collection, AFolderLinkIsCollectedButNotWalkedSoALoopEnds) {
  tree.MakeFile(L"top\\a.txt");
  std::wstring why;
  if (!targetstest::MakeFolderLink(tree.Path(L"top\\loop"), tree.Path(L"top"), why))
    GTEST_SKIP() << "no folder link can be made here: " << testing::PrintToString(why);
  Collect({L"top", L"top\\loop"});
  EXPECT_EQ(Entries(), (Names{L"top", L"top\\a.txt", L"top\\loop"}));
  EXPECT_EQ(collection.LastTotal(), 4);
}

TEST_F(Collection, NamesEndingInAPeriodOrASpaceAreWalkedAsThemselves) {
  // Windows' path rules would take "d." for "d": the walk must list and enter each one of its own.
  tree.MakeFile(L"top\\d\\other.txt");
  tree.MakeFile(L"top\\f");
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + tree.Path(L"top\\d.")).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + tree.Path(L"top\\e ")).c_str(), nullptr));
  for (const wchar_t* f : {L"top\\d.\\in.txt", L"top\\e \\sp.txt", L"top\\f."}) {
    HANDLE h = CreateFileW((L"\\\\?\\" + tree.Path(f)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
  }
  Collect({L"top"});
  EXPECT_EQ(Entries(), (Names{L"top", L"top\\d", L"top\\d\\other.txt", L"top\\d.", L"top\\d.\\in.txt", L"top\\e ",
                              L"top\\e \\sp.txt", L"top\\f", L"top\\f."}));
  Reset();
  Collect({L"top\\d.", L"top\\e \\", L"top\\f."});
  EXPECT_EQ(Entries(), (Names{L"top\\d.", L"top\\d.\\in.txt", L"top\\e \\", L"top\\e \\sp.txt", L"top\\f."}));
  // In another letter case too, a name is that entry alone, never the trimmed one beside it.
  Reset();
  Collect({L"TOP\\F.", L"TOP\\F..", L"TOP\\F"});
  EXPECT_EQ(Entries(), (Names{L"TOP\\f.", L"TOP\\f"}));
}

TEST_F(Collection, LinksInsideAWalkedFolderAreCollectedAndNothingBeyondThem) {
  tree.MakeFile(L"outside\\secret.txt");
  tree.MakeFile(L"top\\a.txt");
  if (!testsupport::MakeSymbolicLink(tree.Path(L"top\\folder link"), tree.Path(L"outside"), true) ||
      !testsupport::MakeSymbolicLink(tree.Path(L"top\\file link.txt"), tree.Path(L"outside\\secret.txt"), false)) {
    ASSERT_FALSE(testsupport::RunningOnWine()) << "Wine can always make a Unix link";
    GTEST_SKIP() << "this account cannot make symbolic links";
  }
  Collect({L"top"});
  EXPECT_EQ(Entries(), (Names{L"top", L"top\\a.txt", L"top\\file link.txt", L"top\\folder link"}));
}

TEST_F(Collection, TheSplashAppearsWhenThePreCountReachesAPositiveThreshold) {
  for (auto f : {L"top\\1.txt", L"top\\2.txt", L"top\\3.txt", L"top\\4.txt"}) tree.MakeFile(f);  // 5 with the folder
  targetstest::SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  for (int threshold : {0, -1, INT_MIN, 6, 5, 1}) {
    SCOPED_TRACE(threshold);
    Reset();
    splash = targetstest::SplashLog{};
    host.splashCount = threshold;
    Collect({L"top"});
    const bool shown = threshold == 5 || threshold == 1;
    EXPECT_EQ(splash.made, shown ? 1 : 0);
    EXPECT_EQ(splash.appeared, shown ? 1 : 0);  // during the count, as soon as it reached the threshold
    EXPECT_EQ(splash.released, splash.made);
    EXPECT_EQ(splash.starts, shown ? std::vector<int>{5} : std::vector<int>{});
    EXPECT_EQ(splash.positions, shown ? (std::vector<int>{1, 2, 3, 4, 5}) : std::vector<int>{});
    EXPECT_EQ(splash.lastText, shown ? L"5 / 5 ファイル" : L"");
  }
}

TEST_F(Collection, ASlowPreCountShowsTheSplashBelowTheThresholdButNeverWithoutOne) {
  for (auto f : {L"top\\1.txt", L"top\\2.txt", L"top\\3.txt", L"top\\4.txt"}) tree.MakeFile(f);
  targetstest::SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  collection.SlowCountMs = 0;  // every count is slow
  for (int threshold : {1000, 0, -1}) {
    SCOPED_TRACE(threshold);
    Reset();
    splash = targetstest::SplashLog{};
    host.splashCount = threshold;
    Collect({L"top"});
    const bool shown = threshold > 0;
    EXPECT_EQ(splash.appeared, shown ? 1 : 0);
    // Once shown it stays for the adding pass, with the total the count found.
    EXPECT_EQ(splash.starts, shown ? std::vector<int>{5} : std::vector<int>{});
    EXPECT_EQ(splash.positions, shown ? (std::vector<int>{1, 2, 3, 4, 5}) : std::vector<int>{});
    EXPECT_EQ(Entries().size(), 5u);
  }
}

TEST_F(Collection, AStopDuringThePreCountEndsItAtOnceAndOnlyTheGivenFoldersGetEntries) {
  for (int d = 0; d < 3; ++d)
    for (int f = 0; f < 10; ++f) tree.MakeFile(L"one\\d" + std::to_wstring(d) + L"\\f" + std::to_wstring(f) + L".txt");
  tree.MakeFile(L"two\\t.txt");
  tree.MakeFile(L"three.txt");
  targetstest::SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  splash.onCounting = [&](int calls) {
    if (calls == 3) splash.requestStop();
  };
  host.splashCount = 5;
  Collect({L"one", L"two", L"three.txt"});
  // The splash appeared at the 5th entry counted; the stop came with the 3rd entry after it (the 8th),
  // and the count examined nothing more below "one": it only counted the folder "two" itself.
  EXPECT_EQ(splash.appeared, 1);
  EXPECT_EQ(splash.counting, 4);
  EXPECT_EQ(collection.LastTotal(), 9);
  EXPECT_TRUE(collection.StopRequested());
  // The stop holds for the adding pass: the folders named get their own entries, nothing below them.
  EXPECT_EQ(Entries(), (Names{L"one", L"two"}));
  EXPECT_EQ(splash.starts, std::vector<int>{9});
  EXPECT_EQ(splash.released, 1);
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));

  // The next collection counts and adds everything again.
  splash = targetstest::SplashLog{};
  Collect({L"one"});
  EXPECT_EQ(collection.LastTotal(), 34);
  EXPECT_EQ(Entries().size(), 35u);
}

TEST_F(Collection, AStopEndsTheWalkButLaterTopLevelFoldersStillGetTheirOwnEntry) {
  for (auto f : {L"one\\0sub\\a.txt", L"one\\0sub\\b.txt", L"one\\x.txt", L"two\\t.txt", L"three\\u.txt", L"four.txt"})
    tree.MakeFile(f);
  targetstest::SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  splash.onProgress = [&](int position) {
    if (position == 3) splash.requestStop();
  };
  host.splashCount = 1;
  Collect({L"one", L"two", L"three", L"four.txt", L"two\\*.txt"});
  const Names entries = Entries();
  // Three entries of the first walk, whatever its order; the other folders without their contents.
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const std::wstring& e) { return e.rfind(L"one", 0) == 0; }), 3);
  EXPECT_EQ(entries.size(), 5u);
  EXPECT_TRUE(entries.count(L"two") && entries.count(L"three"));
  EXPECT_EQ(view.steps, (std::vector<std::string>{"activate", "begin", "end", "commands", "count"}));
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));

  splash.onProgress = nullptr;
  Collect({L"two"});  // a new collection starts without the stop
  EXPECT_TRUE(Entries().count(L"two\\t.txt"));
}

TEST_F(Collection, TheInterfaceIsLockedAndBusyOnlyDuringTheWalkEvenWhenItFails) {
  tree.MakeFile(L"top\\a.txt");
  std::vector<bool> lockSeen;
  bool busySeen = false;
  view.onInsert = [&](const std::wstring&) {
    lockSeen = host.enableCalls;
    busySeen = ui::Application::Instance().CursorIsBusy();
    throw std::runtime_error("out of memory");
    return true;
  };
  EXPECT_THROW(Collect({L"top"}), std::runtime_error);
  EXPECT_EQ(lockSeen, (std::vector<bool>{false}));
  EXPECT_TRUE(busySeen);
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_FALSE(ui::Application::Instance().CursorIsBusy());
  EXPECT_EQ(host.busyCalls, (std::vector<bool>{true, false}));  // through the host, as the main window's

  // A collection that leaves the list empty enables no commands; an item the control refuses leaves
  // the target list too.
  view.steps.clear();
  view.onInsert = [](const std::wstring& p) { return p.find(L"a.txt") == std::wstring::npos; };
  Collect({L"top\\a.txt"});
  EXPECT_EQ(view.steps, (std::vector<std::string>{"activate", "begin", "end", "count"}));
  EXPECT_TRUE(Entries().empty());
}

TEST_F(Collection, TheMainWindowGetsTheFocusBackWhenTheListIsHiddenAndTheMainWindowShown) {
  const std::tuple<bool, bool, int> cases[] = {{false, true, 1}, {true, true, 0}, {false, false, 0}};
  for (auto [showing, shown, focus] : cases) {
    view.showing = showing, host.shown = shown, host.focusCalls = 0;
    Collect({L"missing"});
    EXPECT_EQ(host.focusCalls, focus) << showing << shown;
  }
}
