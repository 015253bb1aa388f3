// The target collection on generated folder trees: filters, extensions, patterns, duplicates, links,
// the progress threshold, the stop request and the lock around it all.
#include "CollectionFakes.h"
#include "support/TempTree.h"
#include "targets/Collection.h"
#include "ui/Application.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <set>

using targets::FileExtension;
using targets::MakeExtList;
using targets::TTargetCollection;
using targets::TTargetList;
using targetstest::FakeHost;
using targetstest::FakeView;
using targetstest::SplashLog;
using Names = std::set<std::wstring>;
using Strings = std::vector<std::wstring>;

namespace {

class Collection : public ::testing::Test {
 protected:
  Collection() : collection(host, list, view) {}

  // A folder with files of several extensions, a subfolder two levels deep and an empty folder.
  void MakeSampleTree() {
    for (auto f : {L"top\\a.txt", L"top\\B.TXT", L"top\\c.bmp", L"top\\noext", L"top\\arc.tar.gz",
                   L"top\\sub\\d.txt", L"top\\sub\\deep\\e.log"})
      tree.MakeFile(f);
    tree.MakeDir(L"top\\empty");
  }

  void Collect(const Strings& paths) { collection.AddPaths(paths); }
  void CollectRelative(std::initializer_list<const wchar_t*> relative) {
    Strings paths;
    for (auto r : relative) paths.push_back(tree.Path(r));
    Collect(paths);
  }

  // The entries below the tree's root, as relative names; fails on an entry outside it.
  Names Entries() const {
    Names out;
    const std::wstring prefix = tree.Root() + L"\\";
    for (const auto& e : list) {
      EXPECT_EQ(e.compare(0, prefix.size(), prefix), 0) << "entry outside the tree: " << testing::PrintToString(e);
      out.insert(e.substr(prefix.size()));
    }
    return out;
  }

  // Both copies hold the same entries at the same indices, in ascending order.
  void ExpectCopiesAligned(int line) {
    SCOPED_TRACE(testing::Message() << "called from line " << line);
    ASSERT_EQ(static_cast<int>(view.items.size()), list.Count());
    for (int i = 0; i < list.Count(); ++i) {
      EXPECT_EQ(view.items[static_cast<size_t>(i)], list[i]) << "at index " << i;
      if (i > 0) {
        EXPECT_LT(targets::CompareTargetPaths(list[i - 1], list[i]), 0) << "at index " << i;
      }
    }
  }

  testsupport::TempTree tree;
  FakeHost host;
  FakeView view;
  TTargetList list;
  TTargetCollection collection;
};
#define EXPECT_COPIES_ALIGNED() ExpectCopiesAligned(__LINE__)

const Names kAllFiles = {L"top\\a.txt", L"top\\B.TXT", L"top\\c.bmp", L"top\\noext", L"top\\arc.tar.gz",
                         L"top\\sub\\d.txt", L"top\\sub\\deep\\e.log"};
const Names kAllFolders = {L"top", L"top\\sub", L"top\\sub\\deep", L"top\\empty"};
const Names kTxtFiles = {L"top\\a.txt", L"top\\B.TXT", L"top\\sub\\d.txt"};

Names Union(const Names& a, const Names& b) {
  Names u = a;
  u.insert(b.begin(), b.end());
  return u;
}

}  // namespace

// ---- the extension list and a file's extension ----

TEST(ExtList, LowerCasesDropsSpacesAndPeriodsAndSplitsAtSemicolons) {
  EXPECT_EQ(MakeExtList(L"TXT; .bmp;"), (Strings{L"txt", L"bmp"}));
  EXPECT_EQ(MakeExtList(L"TXT; .Bmp"), (Strings{L"txt", L"bmp"}));
  EXPECT_EQ(MakeExtList(L"tar.gz"), (Strings{L"targz"}));
  EXPECT_EQ(MakeExtList(L" j p g "), (Strings{L"jpg"}));
}

TEST(ExtList, LeadingAndDoubledSemicolonsGiveEmptyExtensions) {
  EXPECT_EQ(MakeExtList(L";txt"), (Strings{L"", L"txt"}));
  EXPECT_EQ(MakeExtList(L"txt;;bmp"), (Strings{L"txt", L"", L"bmp"}));
  EXPECT_EQ(MakeExtList(L"txt;"), (Strings{L"txt"}));
  EXPECT_EQ(MakeExtList(L""), Strings{});
  EXPECT_EQ(MakeExtList(L" . "), Strings{});
}

TEST(ExtList, OnlyAsciiLettersAreLowerCasedInTheList) {
  // Full-width letters stay as typed; the case-insensitive comparison of the lookup matches them.
  EXPECT_EQ(MakeExtList(L"ＴＸＴ;Ä"), (Strings{L"ＴＸＴ", L"Ä"}));
}

TEST(FileExtension, IsTheLowerCasedTextAfterTheLastPeriod) {
  EXPECT_EQ(FileExtension(L"a.TXT"), L"txt");
  EXPECT_EQ(FileExtension(L"arc.tar.gz"), L"gz");
  EXPECT_EQ(FileExtension(L".profile"), L"profile");
  EXPECT_EQ(FileExtension(L"写真.ＪＰＧ"), L"ｊｐｇ");
  EXPECT_EQ(FileExtension(L"noext"), L"");
  EXPECT_EQ(FileExtension(L"ends."), L"");
}

// ---- filters ----

struct FilterCase {
  const char* name;
  bool filesOnly, foldersOnly, subFolders, extSelect;
  const wchar_t* ext;
  Names expected;
};

TEST_F(Collection, EveryFilterCombinationOnADroppedFolder) {
  MakeSampleTree();
  const FilterCase cases[] = {
      {"all, subfolders", false, false, true, false, L"", Union(kAllFolders, kAllFiles)},
      {"all, no subfolders", false, false, false, false, L"", {L"top"}},
      {"all, no subfolders, txt", false, false, false, true, L"txt", {L"top"}},
      {"all, subfolders, txt", false, false, true, true, L"txt", Union(kAllFolders, kTxtFiles)},
      {"files, no subfolders", true, false, false, false, L"", {}},
      {"files, subfolders", true, false, true, false, L"", kAllFiles},
      {"files, subfolders, txt", true, false, true, true, L"txt", kTxtFiles},
      {"files, no subfolders, txt", true, false, false, true, L"txt", {}},
      {"folders, no subfolders", false, true, false, false, L"", {L"top"}},
      {"folders, subfolders", false, true, true, false, L"", kAllFolders},
      {"folders, subfolders, txt", false, true, true, true, L"txt", kAllFolders},
      {"all, subfolders, filter on, empty list", false, false, true, true, L"", kAllFolders},
      {"files, subfolders, filter off ignores the list", true, false, true, false, L"bmp", kAllFiles},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    list.Clear();
    view.items.clear();
    host.filesOnly = c.filesOnly, host.foldersOnly = c.foldersOnly, host.subFolders = c.subFolders;
    host.extSelect = c.extSelect, host.extString = c.ext;
    CollectRelative({L"top"});
    EXPECT_EQ(Entries(), c.expected);
    // The pre-count and the adding pass apply the same rules.
    EXPECT_EQ(collection.LastTotal(), static_cast<int>(c.expected.size()));
    EXPECT_COPIES_ALIGNED();
  }
}

TEST_F(Collection, ADroppedFileFollowsTheTypeAndExtensionRules) {
  MakeSampleTree();
  host.foldersOnly = true;
  CollectRelative({L"top\\a.txt"});
  EXPECT_EQ(Entries(), Names{});

  host.foldersOnly = false;
  host.extSelect = true;
  host.extString = L"bmp";
  CollectRelative({L"top\\a.txt"});
  EXPECT_EQ(Entries(), Names{});

  host.filesOnly = true;
  CollectRelative({L"top\\c.bmp"});
  EXPECT_EQ(Entries(), (Names{L"top\\c.bmp"}));
}

TEST_F(Collection, ExtensionListsMatchRegardlessOfCaseSpacesAndPeriods) {
  MakeSampleTree();
  host.filesOnly = true;
  host.extSelect = true;
  struct {
    const wchar_t* ext;
    Names expected;
  } cases[] = {
      {L"TXT; .Bmp", {L"top\\a.txt", L"top\\B.TXT", L"top\\c.bmp", L"top\\sub\\d.txt"}},
      {L"tar.gz", {}},  // becomes "targz"
      {L"gz", {L"top\\arc.tar.gz"}},
      {L";log", {L"top\\noext", L"top\\sub\\deep\\e.log"}},  // the empty extension accepts "noext"
      {L"log;;", {L"top\\noext", L"top\\sub\\deep\\e.log"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.ext)));
    list.Clear();
    view.items.clear();
    host.extString = c.ext;
    CollectRelative({L"top"});
    EXPECT_EQ(Entries(), c.expected);
  }
}

TEST_F(Collection, ExtensionsOutsideAsciiMatchIgnoringCaseButNotWidth) {
  for (auto f : {L"top\\a.ｌｏｇ", L"top\\b.log", L"top\\c.ä"}) tree.MakeFile(f);
  host.filesOnly = true;
  host.extSelect = true;
  host.extString = L"ＬＯＧ;Ä";
  CollectRelative({L"top"});
  EXPECT_EQ(Entries(), (Names{L"top\\a.ｌｏｇ", L"top\\c.ä"}));
}

TEST_F(Collection, OptionsAreReadAtTheStartOfEveryCollection) {
  MakeSampleTree();
  host.extSelect = true;
  host.filesOnly = true;
  host.extString = L"bmp";
  CollectRelative({L"top"});
  host.extString = L"log";
  CollectRelative({L"top"});
  EXPECT_EQ(Entries(), (Names{L"top\\c.bmp", L"top\\sub\\deep\\e.log"}));
}

TEST_F(Collection, HiddenAndSystemFilesAndFoldersAreCollected) {
  const std::wstring hiddenFile = tree.MakeFile(L"top\\hidden.txt");
  const std::wstring systemFile = tree.MakeFile(L"top\\system.txt");
  const std::wstring hiddenDir = tree.MakeDir(L"top\\secret");
  tree.MakeFile(L"top\\secret\\inner.txt");
  SetFileAttributesW(hiddenFile.c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesW(systemFile.c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  SetFileAttributesW(hiddenDir.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  CollectRelative({L"top"});
  EXPECT_EQ(Entries(),
            (Names{L"top", L"top\\hidden.txt", L"top\\system.txt", L"top\\secret", L"top\\secret\\inner.txt"}));
}

// ---- patterns, roots and the form of an entry ----

TEST_F(Collection, APatternAddsMatchingFilesAndTreatsMatchingFoldersAsFolders) {
  for (auto f : {L"work\\x.log", L"work\\y.log", L"work\\z.txt", L"work\\sub.log\\inner.txt", L"work\\other\\w.log"})
    tree.MakeFile(f);
  CollectRelative({L"work\\*.log"});
  EXPECT_EQ(Entries(), (Names{L"work\\x.log", L"work\\y.log", L"work\\sub.log", L"work\\sub.log\\inner.txt"}));

  list.Clear();
  view.items.clear();
  host.subFolders = false;
  CollectRelative({L"work\\?.log"});
  EXPECT_EQ(Entries(), (Names{L"work\\x.log", L"work\\y.log"}));
  EXPECT_COPIES_ALIGNED();
}

TEST_F(Collection, APathThatNamesNothingAddsNothing) {
  CollectRelative({L"missing", L"missing\\*.txt", L"nofolder\\x\\y.txt"});
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
}

TEST_F(Collection, ANamedFolderKeepsItsFormAndEntriesBelowItTakeOneSeparator) {
  tree.MakeFile(L"top\\a.txt");
  Collect({tree.Path(L"top\\")});
  EXPECT_EQ(Entries(), (Names{L"top\\", L"top\\a.txt"}));
}

TEST_F(Collection, ADriveRootIsStoredWithItsSeparatorAndItsEntriesWithOne) {
  host.subFolders = false;
  Collect({L"C:\\"});
  EXPECT_EQ(Strings(list.begin(), list.end()), (Strings{L"C:\\"}));

  // What lies directly below the root, through a pattern: "C:\" + name, never "C:\\" + name.
  list.Clear();
  view.items.clear();
  host.foldersOnly = true;
  Collect({L"C:\\*"});
  ASSERT_FALSE(list.Empty());
  for (const auto& e : list) {
    EXPECT_EQ(e.compare(0, 3, L"C:\\"), 0) << testing::PrintToString(e);
    EXPECT_EQ(e.find(L'\\', 3), std::wstring::npos) << testing::PrintToString(e);
  }
}

TEST_F(Collection, RelativePathsAreTakenFromTheCurrentFolder) {
  tree.MakeFile(L"top\\a.txt");
  tree.MakeFile(L"top\\b.txt");
  wchar_t saved[MAX_PATH + 1];
  GetCurrentDirectoryW(MAX_PATH + 1, saved);
  SetCurrentDirectoryW(tree.Path(L"top").c_str());
  Collect({L"a.txt", L"*.txt"});
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(Entries(), (Names{L"top\\a.txt", L"top\\b.txt"}));
}

TEST_F(Collection, PathsLongerThanMaxPathAreCollectedWhole) {
  std::wstring deep = L"top";
  while (tree.Path(deep).size() < MAX_PATH + 40) deep += L"\\folder-with-a-long-name";
  tree.MakeDir(deep);
  const std::wstring file = deep + L"\\last.txt";
  tree.MakeFile(file);
  if (GetFileAttributesW(tree.Path(file).c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "this system does not make paths longer than MAX_PATH";
  host.filesOnly = true;
  CollectRelative({L"top"});
  EXPECT_EQ(Entries(), (Names{file}));
}

// ---- duplicates ----

TEST_F(Collection, TheSameFolderDroppedTwiceAddsNothingTheSecondTime) {
  MakeSampleTree();
  CollectRelative({L"top"});
  const Strings first(list.begin(), list.end());
  const int firstTotal = collection.LastTotal();

  SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  host.splashCount = 1;
  CollectRelative({L"top"});
  EXPECT_EQ(Strings(list.begin(), list.end()), first);
  // The pre-count still counts everything; progress moves only with additions.
  EXPECT_EQ(collection.LastTotal(), firstTotal);
  EXPECT_EQ(splash.starts, (std::vector<int>{firstTotal}));
  EXPECT_TRUE(splash.positions.empty());
  EXPECT_COPIES_ALIGNED();
}

TEST_F(Collection, PathsDifferingOnlyInCaseAreOneEntryInTheFormAddedFirst) {
  tree.MakeFile(L"top\\a.txt");
  std::wstring upper = tree.Path(L"TOP\\A.TXT");
  CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  Collect({tree.Path(L"top\\a.txt"), upper, tree.Path(L"top\\a.txt")});
  EXPECT_EQ(Strings(list.begin(), list.end()), (Strings{tree.Path(L"top\\a.txt")}));

  host.filesOnly = true;
  Collect({upper.substr(0, upper.size() - 6)});  // the folder, in upper case
  EXPECT_EQ(list.Count(), 1);
}

// ---- folder links ----

TEST_F(Collection, AFolderLinkIsCollectedButNotWalkedSoALoopEnds) {
  tree.MakeFile(L"top\\a.txt");
  std::wstring why;
  if (!targetstest::MakeFolderLink(tree.Path(L"top\\loop"), tree.Path(L"top"), why))
    GTEST_SKIP() << "cannot make a folder link here: " << testing::PrintToString(why);
  CollectRelative({L"top"});
  EXPECT_EQ(Entries(), (Names{L"top", L"top\\a.txt", L"top\\loop"}));
  EXPECT_EQ(collection.LastTotal(), 3);

  // Named directly, the link is an entry of its own and still not walked.
  list.Clear();
  view.items.clear();
  CollectRelative({L"top\\loop"});
  EXPECT_EQ(Entries(), (Names{L"top\\loop"}));
}

// ---- the progress threshold and the stop request ----

TEST_F(Collection, TheSplashAppearsOnlyWhenThePreCountReachesAPositiveThreshold) {
  for (int i = 0; i < 4; ++i) tree.MakeFile(L"top\\f" + std::to_wstring(i) + L".txt");  // total 5 with the folder
  SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  struct {
    int threshold;
    bool shown;
  } cases[] = {{0, false}, {-1, false}, {INT_MIN, false}, {6, false}, {5, true}, {1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.threshold);
    list.Clear();
    view.items.clear();
    splash = SplashLog{};
    host.splashCount = c.threshold;
    CollectRelative({L"top"});
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(collection.ShowProgress(), c.shown);
    EXPECT_EQ(splash.made, c.shown ? 1 : 0);
    EXPECT_EQ(splash.released, splash.made);
    if (c.shown) {
      EXPECT_EQ(splash.starts, (std::vector<int>{5}));
      EXPECT_EQ(splash.positions, (std::vector<int>{1, 2, 3, 4, 5}));
      EXPECT_EQ(collection.ProgressSuffix(), L" / 5 ファイル");
      EXPECT_EQ(splash.texts.back(), L"5 / 5 ファイル");
    }
  }
}

TEST_F(Collection, WithoutASplashALargeTotalShowsNothingExtra) {
  for (int i = 0; i < 3; ++i) tree.MakeFile(L"top\\f" + std::to_wstring(i) + L".txt");
  host.splashCount = 1;
  CollectRelative({L"top"});
  EXPECT_EQ(list.Count(), 4);
  EXPECT_FALSE(collection.ShowProgress());
}

TEST_F(Collection, AStopEndsTheWalkButLaterTopLevelFoldersStillGetTheirOwnEntry) {
  // The first folder holds a subfolder, so that the stop may fall inside a nested walk.
  for (auto f : {L"one\\0sub\\a.txt", L"one\\0sub\\b.txt", L"one\\0sub\\c.txt", L"one\\x.txt", L"one\\y.txt",
                 L"two\\t.txt", L"three\\u.txt", L"four.txt", L"five\\v.log"})
    tree.MakeFile(f);
  SplashLog splash;
  collection.SetSplashFactory(targetstest::FakeSplashFactory(splash));
  const int stopAfter = 3;
  splash.onProgress = [&](int position) {
    if (position == stopAfter) splash.requestStop();
  };
  host.splashCount = 1;
  CollectRelative({L"one", L"two", L"three", L"four.txt", L"five\\*.log"});

  const Names entries = Entries();
  // Exactly the entries added before the stop came from the first folder, whatever the order of
  // the walk; the other folders appear without their contents; the file and the pattern add nothing.
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                          [](const std::wstring& e) { return e.compare(0, 3, L"one") == 0; }),
            stopAfter);
  EXPECT_TRUE(entries.count(L"one"));
  EXPECT_TRUE(entries.count(L"two"));
  EXPECT_TRUE(entries.count(L"three"));
  EXPECT_EQ(entries.size(), static_cast<size_t>(stopAfter + 2));
  EXPECT_TRUE(collection.StopRequested());
  // The steps after the adding pass ran all the same.
  EXPECT_EQ(splash.released, 1);
  EXPECT_EQ(view.steps, (std::vector<std::string>{"activate", "begin", "end", "commands", "count"}));
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_COPIES_ALIGNED();

  // The next collection clears the stop request.
  splash.onProgress = nullptr;
  CollectRelative({L"two"});
  EXPECT_FALSE(collection.StopRequested());
  EXPECT_TRUE(Entries().count(L"two\\t.txt"));
}

// ---- the lock and the steps around the walk ----

TEST_F(Collection, TheUserInterfaceIsLockedForTheWalkAndTheListWindowUpdatedAfterIt) {
  tree.MakeFile(L"top\\a.txt");
  bool busyDuringWalk = false;
  std::vector<bool> enableSeenByInsert;
  view.onInsert = [&](const std::wstring&) {
    busyDuringWalk = ui::Application::Instance().CursorIsBusy();
    enableSeenByInsert = host.enableCalls;
  };
  CollectRelative({L"top"});
  EXPECT_TRUE(busyDuringWalk);
  EXPECT_EQ(enableSeenByInsert, (std::vector<bool>{false}));
  EXPECT_FALSE(ui::Application::Instance().CursorIsBusy());
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_EQ(view.steps, (std::vector<std::string>{"activate", "begin", "end", "commands", "count"}));
}

TEST_F(Collection, ACollectionThatLeavesTheListEmptyEnablesNoCommands) {
  CollectRelative({L"missing"});
  EXPECT_EQ(view.steps, (std::vector<std::string>{"activate", "begin", "end", "count"}));
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
}

TEST_F(Collection, TheMainWindowGetsTheFocusBackOnlyWhenTheListIsHiddenAndTheMainWindowShown) {
  struct {
    bool listShowing, mainShown;
    int focus;
  } cases[] = {{false, true, 1}, {true, true, 0}, {false, false, 0}, {true, false, 0}};
  for (const auto& c : cases) {
    view.showing = c.listShowing;
    host.shown = c.mainShown;
    host.focusCalls = 0;
    CollectRelative({L"missing"});
    EXPECT_EQ(host.focusCalls, c.focus) << c.listShowing << c.mainShown;
  }
}

TEST_F(Collection, AFailureDuringTheWalkStillUnlocksTheUserInterface) {
  tree.MakeFile(L"top\\a.txt");
  view.onInsert = [](const std::wstring&) { throw std::runtime_error("out of memory"); };
  EXPECT_THROW(CollectRelative({L"top"}), std::runtime_error);
  EXPECT_EQ(host.enableCalls, (std::vector<bool>{false, true}));
  EXPECT_FALSE(ui::Application::Instance().CursorIsBusy());
  EXPECT_EQ(view.steps.back(), "count");
}

TEST_F(Collection, AnItemTheListControlRefusesLeavesTheTargetListToo) {
  MakeSampleTree();
  view.refuse = [](const std::wstring& p) { return p.find(L"B.TXT") != std::wstring::npos; };
  CollectRelative({L"top"});
  EXPECT_FALSE(Entries().count(L"top\\B.TXT"));
  EXPECT_TRUE(Entries().count(L"top\\a.txt"));
  EXPECT_COPIES_ALIGNED();
}
