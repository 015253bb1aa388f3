// The target list's data half: order, uniqueness, indices for the list control, deletion.
#include "targets/TargetList.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <random>

using targets::TTargetList;
using Paths = std::vector<std::wstring>;

namespace {

Paths Entries(const TTargetList& list) { return Paths(list.begin(), list.end()); }

// Checks that every neighbouring pair is in strictly ascending order, reporting the caller's line.
void ExpectStrictlySorted(const TTargetList& list, int line) {
  SCOPED_TRACE(testing::Message() << "called from line " << line);
  for (int i = 1; i < list.Count(); ++i)
    ASSERT_LT(targets::CompareTargetPaths(list[i - 1], list[i]), 0) << "at index " << i;
}
#define EXPECT_STRICTLY_SORTED(list) ExpectStrictlySorted(list, __LINE__)

// Mixed names: ASCII in both cases, punctuation, digits, Japanese (kana, kanji, full width).
Paths SamplePaths() {
  Paths out;
  const wchar_t* dirs[] = {L"C:\\Data", L"C:\\data\\sub", L"D:\\写真", L"C:\\Program Files", L"\\\\server\\share"};
  const wchar_t* names[] = {L"a.txt", L"B.txt", L"a-b.txt", L"ab.txt", L"a_b.txt", L"a'b.txt", L"a b.txt", L"10.txt",
                            L"9.txt", L"表.txt", L"ソ.txt", L"あ.txt", L"ア.txt", L"ｱ.txt", L"Ａ.txt", L"zz", L"Zz2"};
  for (auto d : dirs)
    for (auto n : names) out.push_back(std::wstring(d) + L"\\" + n);
  out.push_back(L"C:\\");
  out.push_back(L"C:\\Data");
  return out;
}

}  // namespace

TEST(TargetList, PathsDifferingInLetterCaseAreOneEntry) {
  TTargetList list;
  EXPECT_EQ(list.Add(L"C:\\a.txt"), 0);
  EXPECT_EQ(list.Add(L"c:\\A.TXT"), -1);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], L"C:\\a.txt");  // the form added first stays
  EXPECT_TRUE(list.Holds(L"C:\\A.txt"));
  EXPECT_EQ(list.IndexOf(L"c:\\a.TXT"), 0);
}

TEST(TargetList, AddKeepsTheSortedOrderAndReturnsTheIndex) {
  TTargetList list;
  EXPECT_EQ(list.Add(L"C:\\b"), 0);
  EXPECT_EQ(list.Add(L"C:\\A"), 0);
  EXPECT_EQ(list.Add(L"C:\\c"), 2);
  EXPECT_EQ(Entries(list), (Paths{L"C:\\A", L"C:\\b", L"C:\\c"}));
}

TEST(TargetList, FindGivesTheInsertionIndexOfAMissingPath) {
  TTargetList list;
  for (auto p : {L"C:\\b", L"C:\\d", L"C:\\f"}) list.Add(p);
  int index = -1;
  EXPECT_FALSE(list.Find(L"C:\\a", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list.Find(L"C:\\C", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find(L"C:\\g", index));
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(list.Find(L"c:\\D", index));
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list.IndexOf(L"C:\\e"), -1);
  EXPECT_FALSE(list.Holds(L"C:\\e"));
}

TEST(TargetList, DeletingSelectedEntriesFromTheLastDown) {
  TTargetList list;
  for (auto p : {L"C:\\1", L"C:\\2", L"C:\\3", L"C:\\4", L"C:\\5"}) list.Add(p);
  const int selected[] = {1, 3};
  for (int k = 1; k >= 0; --k) list.Delete(selected[k]);
  EXPECT_EQ(Entries(list), (Paths{L"C:\\1", L"C:\\3", L"C:\\5"}));
  list.Delete(-1);
  list.Delete(3);
  EXPECT_EQ(list.Count(), 3);
  list.Clear();
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(list.Add(L"C:\\1"), 0);
}

TEST(TargetList, TrailingSeparatorIsKeptAsGivenAndNamesNoOtherObject) {
  TTargetList list;
  list.Add(L"C:\\");
  list.Add(L"C:\\Data");
  EXPECT_EQ(Entries(list), (Paths{L"C:\\", L"C:\\Data"}));
  // "C:" alone is the current folder of drive C, not its root.
  EXPECT_FALSE(list.Holds(L"C:"));
  // A folder with and without its trailing separator is one folder, kept as added first.
  EXPECT_TRUE(list.Holds(L"C:\\Data\\"));
  EXPECT_EQ(list.Add(L"c:\\data\\"), -1);
  EXPECT_EQ(list.Add(L"D:\\Data\\"), 2);
  EXPECT_EQ(list.Add(L"D:\\Data"), -1);
  EXPECT_EQ(Entries(list), (Paths{L"C:\\", L"C:\\Data", L"D:\\Data\\"}));
}

TEST(TargetList, OneObjectIsOneEntryHoweverItsPathIsWritten) {
  TTargetList list;
  EXPECT_EQ(list.Add(L"C:\\x"), 0);
  EXPECT_EQ(list.Add(L"\\\\?\\C:\\x"), -1);
  EXPECT_EQ(list.Add(L"\\\\?\\c:\\X\\"), -1);
  EXPECT_EQ(list.Add(L"C:/x"), -1);
  EXPECT_EQ(list.Add(L"C:\\y\\..\\x"), -1);
  EXPECT_EQ(list.Add(L"\\\\server\\share\\x"), 1);
  EXPECT_EQ(list.Add(L"\\\\?\\UNC\\server\\share\\x"), -1);
  EXPECT_EQ(Entries(list), (Paths{L"C:\\x", L"\\\\server\\share\\x"}));
  // The other side: names that Windows' path rules would trim are objects of their own.
  EXPECT_EQ(list.Add(L"C:\\x."), 1);
  EXPECT_EQ(list.Add(L"C:\\x "), 1);  // " " sorts before "."
  EXPECT_EQ(list.Add(L"\\\\?\\C:\\x."), -1);
  EXPECT_EQ(list.Add(L"C:\\x\\y"), 3);
  EXPECT_EQ(Entries(list), (Paths{L"C:\\x", L"C:\\x ", L"C:\\x.", L"C:\\x\\y", L"\\\\server\\share\\x"}));
  EXPECT_STRICTLY_SORTED(list);
}

TEST(TargetList, JapaneseNamesAreDistinctByWidthAndKana) {
  TTargetList list;
  for (auto p : {L"C:\\あ", L"C:\\ア", L"C:\\ｱ", L"C:\\A", L"C:\\Ａ", L"C:\\表", L"C:\\ソ"}) EXPECT_GE(list.Add(p), 0);
  EXPECT_EQ(list.Count(), 7);
  EXPECT_EQ(list.Add(L"C:\\ａ"), -1);  // full-width letters have case too
  EXPECT_STRICTLY_SORTED(list);
}

TEST(TargetList, AnyInsertionOrderGivesTheSameList) {
  Paths paths = SamplePaths();
  TTargetList reference;
  for (const auto& p : paths) reference.Add(p);
  EXPECT_STRICTLY_SORTED(reference);
  EXPECT_EQ(reference.Count(), static_cast<int>(paths.size()));

  std::mt19937 rng(12345);
  for (int round = 0; round < 20; ++round) {
    std::shuffle(paths.begin(), paths.end(), rng);
    TTargetList list;
    for (const auto& p : paths) {
      const int at = list.Add(p);
      ASSERT_GE(at, 0);
      ASSERT_EQ(list[at], p);
    }
    ASSERT_EQ(Entries(list), Entries(reference)) << "round " << round;
    for (const auto& p : paths) ASSERT_EQ(list[list.IndexOf(p)], p);
  }
}

TEST(TargetList, NamesThatOnlyLookAlikeStayDistinct) {
  // Names a linguistic comparison takes for equal are distinct files: each must stay an entry of its own.
  TTargetList list;
  for (auto p : {L"C:\\Straße.txt", L"C:\\Strasse.txt", L"C:\\æb", L"C:\\aeb", L"C:\\a\u00ADb", L"C:\\ab"})
    EXPECT_GE(list.Add(p), 0) << "not added";
  EXPECT_EQ(list.Count(), 6);
  EXPECT_STRICTLY_SORTED(list);
  // Letter case alone still makes one entry, kept as first added.
  EXPECT_EQ(list.Add(L"c:\\STRASSE.TXT"), -1);
  EXPECT_TRUE(list.Holds(L"C:\\strasse.txt"));
}

// Entries share large character blocks; deleting most of a long list gives their room back by moving
// the rest. Every entry, its key and its place must survive the moves, and adding goes on after them.
TEST(TargetList, ALongListKeepsEveryEntryThroughDeletionsThatCompactIt) {
  TTargetList list;
  Paths expected;
  for (int i = 0; i < 30000; ++i) {
    wchar_t name[64];
    swprintf(name, 64, L"C:\\フォルダ\\長い名前のファイル_%05d.txt", i);
    // Every third one in the "\\?\" form: its key is kept beside it.
    const std::wstring path = i % 3 ? std::wstring(name) : L"\\\\?\\" + std::wstring(name);
    ASSERT_EQ(list.Add(path), i);
    expected.push_back(path);
  }
  ASSERT_EQ(list.Add(L"C:\\フォルダ\\" + std::wstring(40000, L'龠')), 30000);  // longer than a block
  expected.push_back(L"C:\\フォルダ\\" + std::wstring(40000, L'龠'));
  // From the top down, as the list window deletes a selection, keeping one in ten.
  for (int i = 30000; i >= 0; --i) {
    if (i % 10 == 0) continue;
    list.Delete(i);
    expected.erase(expected.begin() + i);
  }
  EXPECT_EQ(Entries(list), expected);
  for (size_t i = 0; i < expected.size(); ++i) {
    // Found through either form of the path, at its index.
    const std::wstring other = expected[i].rfind(L"\\\\?\\", 0) == 0 ? expected[i].substr(4) : L"\\\\?\\" + expected[i];
    ASSERT_EQ(list.IndexOf(other), static_cast<int>(i)) << i;
  }
  EXPECT_EQ(list.Add(L"C:\\フォルダ\\長い名前のファイル_00005.txt"), 1);
  EXPECT_EQ(list.Add(L"\\\\?\\C:\\フォルダ\\長い名前のファイル_00010.TXT"), -1);
  EXPECT_STRICTLY_SORTED(list);
  list.Clear();
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(list.Add(L"C:\\a"), 0);
  EXPECT_EQ(list[0], L"C:\\a");
}
