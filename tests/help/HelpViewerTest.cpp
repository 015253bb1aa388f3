// The help window over the built help file: what the topic pane holds, navigation, the index's
// type-ahead, the search, its placement and a damaged file.
#include "help/HelpViewer.h"
#include "HelpFileWriter.h"
#include "comm/FileBytes.h"
#include "support/BuiltFiles.h"
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "support/TempTree.h"
#include "ui/Application.h"
#include <gtest/gtest.h>
#include <algorithm>

using namespace help;
using testsupport::DialogAnswerer;

namespace {

class HelpViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::Application::Instance().SetTitle(L"VornaStampShifter"); }
  int Topic(const wchar_t* id) const { return viewer.File().FindTopic(id); }
  // The text the pane shows between two positions.
  std::wstring Shown(long start, long end) const { return viewer.RichEditTopic.TextRange(start, end); }
  // Types a text into an edit as the keyboard would: one character at a time.
  static void Type(ui::Edit& edit, const std::wstring& text) {
    edit.SetFocus();
    for (wchar_t c : text) PostMessageW(edit.Handle(), WM_CHAR, c, 1);
    testsupport::PumpFor(50);
  }
  const std::wstring file = testsupport::BuiltHelpFile();
  THelpViewer viewer;
};

}  // namespace

TEST_F(HelpViewerTest, ThePaneHoldsTheRenderedTextWithItsLinksWhereTheyAre) {
  ASSERT_TRUE(viewer.ShowHelp(file, L"main-window"));
  for (int t = 0; t < static_cast<int>(viewer.File().Topics.size()); ++t) {
    viewer.ShowTopic(t);
    const TRenderedTopic& r = viewer.Rendered();
    SCOPED_TRACE(viewer.File().Topics[static_cast<size_t>(t)].Id);
    ASSERT_GE(viewer.RichEditTopic.TextLength(), static_cast<long>(r.Text.size()));
    // A line break within a paragraph takes one position; the control reports it as "\v" (Wine as a
    // blank).
    auto breaksAsBlanks = [](std::wstring s) {
      std::replace(s.begin(), s.end(), L'\v', L' ');
      return s;
    };
    EXPECT_EQ(breaksAsBlanks(Shown(0, static_cast<long>(r.Text.size()))), breaksAsBlanks(r.Text));
    ASSERT_FALSE(r.Links.empty());  // at least the related topics
    for (const THelpTextRange& link : r.Links) {
      // The control marks exactly the link's characters as a link.
      CHARFORMAT2W cf{};
      cf.cbSize = sizeof(cf);
      viewer.RichEditTopic.SetSelection(link.Start, link.End);
      SendMessageW(viewer.RichEditTopic.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      EXPECT_TRUE((cf.dwMask & CFM_LINK) && (cf.dwEffects & CFE_LINK)) << link.Start;
      viewer.RichEditTopic.SetSelection(link.End, link.End + 1);
      SendMessageW(viewer.RichEditTopic.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
      EXPECT_FALSE(cf.dwEffects & CFE_LINK) << link.End;
    }
  }
  // Japanese text breaks where a line is full, not at its blanks: no plain blank is left beside it.
  viewer.ShowTopic(Topic(L"main-window"));
  EXPECT_EQ(viewer.Rendered().Text.find(L"メイン ウィンドウ"), std::wstring::npos);
  EXPECT_NE(viewer.Rendered().Text.find(L"メイン\x00A0ウィンドウ"), std::wstring::npos);
}

TEST_F(HelpViewerTest, LinksTheTreeAndTheHistoryMoveTogether) {
  ASSERT_TRUE(viewer.ShowHelp(file, L""));
  EXPECT_TRUE(viewer.Showing());
  EXPECT_EQ(viewer.CurrentTopic(), viewer.File().Home);
  EXPECT_EQ(viewer.TabControlNavi.TabIndex(), THelpViewer::tabContents);
  EXPECT_FALSE(viewer.ButtonBack.Enabled());
  EXPECT_FALSE(viewer.ButtonForward.Enabled());

  // A link opens its topic, which the tree shows selected.
  const THelpTextRange link = viewer.Rendered().Links.front();
  EXPECT_FALSE(viewer.FollowLinkAt(0));  // the title
  ASSERT_TRUE(viewer.FollowLinkAt(link.End - 1));
  const int linked = link.Target;
  EXPECT_EQ(viewer.CurrentTopic(), linked);
  HTREEITEM selected = viewer.TreeViewContents.Selected();
  ASSERT_NE(selected, nullptr);
  EXPECT_EQ(viewer.File().Contents[static_cast<size_t>(viewer.TreeViewContents.Data(selected))].Topic, linked);
  EXPECT_TRUE(viewer.ButtonBack.Enabled());

  // Choosing a page in the tree shows it; back and forward walk the steps, Alt+arrows too.
  const int limits = Topic(L"limits");
  HTREEITEM item = viewer.TreeViewContents.First();
  while (item && viewer.TreeViewContents.ItemText(item) != viewer.File().Topics[static_cast<size_t>(limits)].Title)
    item = viewer.TreeViewContents.Next(item);
  ASSERT_NE(item, nullptr);
  viewer.TreeViewContents.Select(item);
  EXPECT_EQ(viewer.CurrentTopic(), limits);
  viewer.ButtonBack.Click();
  EXPECT_EQ(viewer.CurrentTopic(), linked);
  testsupport::PressKey(viewer.TreeViewContents.Handle(), VK_LEFT, ui::ssAlt);
  EXPECT_EQ(viewer.CurrentTopic(), viewer.File().Home);
  EXPECT_FALSE(viewer.ButtonBack.Enabled());
  testsupport::PressKey(viewer.TreeViewContents.Handle(), VK_RIGHT, ui::ssAlt);
  EXPECT_EQ(viewer.CurrentTopic(), linked);
  EXPECT_TRUE(viewer.ButtonForward.Enabled());
  // A new step drops the steps ahead.
  viewer.ShowTopic(Topic(L"safety"));
  EXPECT_FALSE(viewer.ButtonForward.Enabled());
  viewer.GoBack();
  EXPECT_EQ(viewer.CurrentTopic(), linked);

  // Asking again for a topic brings the same window to it; Esc closes it (hidden, kept).
  const HWND window = viewer.Handle();
  ASSERT_TRUE(viewer.ShowHelp(file, L"file-list"));
  EXPECT_EQ(viewer.Handle(), window);
  EXPECT_EQ(viewer.CurrentTopic(), Topic(L"file-list"));
  testsupport::PressKey(viewer.RichEditTopic.Handle(), VK_ESCAPE);
  EXPECT_FALSE(viewer.Showing());
  // A name the file lacks opens the contents.
  ASSERT_TRUE(viewer.ShowHelp(file, L"no-such-topic"));
  EXPECT_EQ(viewer.CurrentTopic(), viewer.File().Home);
}

TEST_F(HelpViewerTest, TypingAKeywordSelectsItAndSearchingMarksTheWordsFound) {
  ASSERT_TRUE(viewer.ShowHelp(file, L""));
  viewer.SelectTab(THelpViewer::tabIndex);
  EXPECT_TRUE(viewer.PageIndex.Visible());
  EXPECT_FALSE(viewer.PageContents.Visible());
  Type(viewer.EditIndex, L"読み");
  ASSERT_GE(viewer.ListBoxIndex.ItemIndex(), 0);
  EXPECT_EQ(viewer.ListBoxIndex.Item(viewer.ListBoxIndex.ItemIndex()), L"読み取り専用");
  testsupport::PressKey(viewer.EditIndex.Handle(), VK_RETURN);
  EXPECT_EQ(viewer.CurrentTopic(), Topic(L"attributes"));
  // The arrows move through the list from the edit.
  const int before = viewer.ListBoxIndex.ItemIndex();
  testsupport::PressKey(viewer.EditIndex.Handle(), VK_DOWN);
  EXPECT_EQ(viewer.ListBoxIndex.ItemIndex(), before + 1);

  viewer.SelectTab(THelpViewer::tabSearch);
  viewer.EditSearch.SetText(L"クリップボード　開く");
  viewer.ButtonSearchStart.Click();
  const std::vector<int> found = SearchTopics(viewer.File(), SearchWords(L"クリップボード 開く"));
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(viewer.SearchResults(), found);
  EXPECT_EQ(viewer.ListBoxSearch.Count(), static_cast<int>(found.size()));
  EXPECT_EQ(viewer.LabelSearchResult.Caption(), L"見つかったトピック(&T): " + std::to_wstring(found.size()) + L" 件");
  testsupport::PressKey(viewer.ListBoxSearch.Handle(), VK_RETURN);
  EXPECT_EQ(viewer.CurrentTopic(), found.front());
  const std::vector<THelpTextRange> hits = FindWords(viewer.Rendered().Text, SearchWords(L"クリップボード"));
  ASSERT_FALSE(hits.empty());
  EXPECT_EQ(Shown(hits.front().Start, hits.front().End), L"クリップボード");
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  viewer.RichEditTopic.SetSelection(hits.front().Start, hits.front().End);
  SendMessageW(viewer.RichEditTopic.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_FALSE(cf.dwEffects & CFE_AUTOBACKCOLOR);
  EXPECT_NE(cf.crBackColor, GetSysColor(COLOR_WINDOW));

  // Words no topic holds: an empty list that says so.
  viewer.EditSearch.SetText(L"存在しない語句ｘｙｚ");
  viewer.ButtonSearchStart.Click();
  EXPECT_EQ(viewer.ListBoxSearch.Count(), 0);
  EXPECT_EQ(viewer.LabelSearchResult.Caption(), L"見つかったトピック(&T): 0 件");
}

TEST_F(HelpViewerTest, PlacementIsRestoredAndKeptOnTheScreen) {
  THelpPlacement stored{};
  int saves = 0;
  THelpViewer other;
  other.OnSavePlacement = [&](const THelpPlacement& p) {
    stored = p;
    ++saves;
  };
  other.OnLoadPlacement = [](THelpPlacement&) { return false; };
  ASSERT_TRUE(other.ShowHelp(file, L""));
  other.SetBounds(40, 30, 700, 500);
  other.SetPaneWidth(300);
  other.Close();
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(stored.Bounds.left, 40);
  EXPECT_EQ(stored.Bounds.right - stored.Bounds.left, 700);
  EXPECT_EQ(stored.PaneWidth, 300);

  // A new window opens where the last one was; a place off every screen comes onto one.
  THelpPlacement given = stored;
  viewer.OnLoadPlacement = [&given](THelpPlacement& p) {
    p = given;
    return true;
  };
  ASSERT_TRUE(viewer.ShowHelp(file, L""));
  EXPECT_EQ(viewer.BoundsRect().left, 40);
  EXPECT_EQ(viewer.BoundsRect().top, 30);
  EXPECT_EQ(viewer.Width(), 700);
  EXPECT_EQ(viewer.TabControlNavi.Width(), 300);
  THelpViewer offScreen;
  given.Bounds = RECT{-5000, -5000, -4300, -4500};
  offScreen.OnLoadPlacement = viewer.OnLoadPlacement;
  ASSERT_TRUE(offScreen.ShowHelp(file, L""));
  RECT shown = offScreen.BoundsRect();
  EXPECT_EQ(ui::FitOnScreen(shown).left, shown.left);
  EXPECT_EQ(offScreen.Width(), 700);

  // The panes keep a least width on either side of the splitter.
  viewer.SetPaneWidth(10);
  EXPECT_GT(viewer.TabControlNavi.Width(), 10);
  viewer.SetPaneWidth(5000);
  EXPECT_LT(viewer.TabControlNavi.Left() + viewer.TabControlNavi.Width(), viewer.RichEditTopic.Left());
  EXPECT_GT(viewer.RichEditTopic.Width(), 200);
}

TEST_F(HelpViewerTest, AFileThatCannotBeShownIsReportedAndLeavesTheWindowClosed) {
  testsupport::TempTree tree;
  std::string bytes;
  ASSERT_EQ(comm::comm_ReadFileBytes(file, bytes).Result, comm::rbRead);
  bytes[bytes.size() / 2] ^= 0x01;
  const std::wstring damaged = tree.MakeFile(L"VornaSTS.hlp", bytes);
  DialogAnswerer answers;
  answers.Press(L"OK").Press(L"OK");
  EXPECT_FALSE(viewer.ShowHelp(damaged, L""));
  EXPECT_FALSE(viewer.ShowHelp(tree.Path(L"gone.hlp"), L"main-window"));
  ASSERT_EQ(answers.Shown().size(), 2u);
  EXPECT_EQ(answers.Shown()[0].caption, L"VornaStampShifter");
  EXPECT_EQ(answers.Shown()[0].text, HelpLoadMessage(hlDamaged, damaged));
  EXPECT_EQ(answers.Shown()[1].text, L"ヘルプファイル " + tree.Path(L"gone.hlp") + L" が見つかりません。");
  EXPECT_FALSE(viewer.Showing());
  EXPECT_FALSE(viewer.Loaded());
}

namespace {

// Milliseconds since start.
ULONGLONG Since(ULONGLONG start) { return GetTickCount64() - start; }

}  // namespace

TEST_F(HelpViewerTest, AFileAtEveryBoundIsShownWholeAndPromptly) {
  // One file at the bounds of the viewer's work: the most topics, contents lines and index lines with
  // the longest titles, and one topic of the most text, blocks, runs and links, every character of it
  // a word a search finds.
  THelpFile big = helptest::PlainHelp(kMaxHelpTopics);
  for (THelpTopic& t : big.Topics) t.Title = t.Title + std::wstring(kMaxHelpNameChars - t.Title.size(), L'題');
  for (size_t i = 0; i < big.Contents.size(); ++i) big.Contents[i].Title = big.Topics[i].Title;
  big.Contents.resize(kMaxHelpContentsEntries, THelpContentsEntry{0, true, std::wstring(kMaxHelpNameChars, L'本'), -1});
  big.Keywords.clear();
  for (size_t k = 0; k < kMaxHelpIndexLines / 3; ++k)
    big.Keywords.push_back({L"語" + std::to_wstring(k), L"", {static_cast<int>(k % kMaxHelpTopics), 0}});
  THelpTopic& heavy = big.Topics[1];
  heavy.Blocks.assign(kMaxHelpTopicBlocks, THelpBlock{hbBullet, {}, {}});
  const size_t runText = (kMaxHelpTopicChars - heavy.Title.size()) / kMaxHelpTopicRuns;
  for (size_t r = 0; r < kMaxHelpTopicRuns; ++r) {
    const bool link = r % (kMaxHelpTopicRuns / kMaxHelpTopicLinks) == 0;
    heavy.Blocks[r % kMaxHelpTopicBlocks].Body.push_back(
        {static_cast<uint8_t>(link ? hsLink : hsBold), link ? 0 : -1, std::wstring(runText, L'あ')});
  }
  testsupport::TempTree tree;
  const std::wstring path = tree.MakeFile(L"big.hlp", helptest::EncodeHelpFile(big));

  // Windows cuts a rich text loaded into the pane at the control's limit (Wine raises the limit to
  // the text): the pane is made to take the longest topic before any is loaded.
  EXPECT_GT(SendMessageW(viewer.RichEditTopic.Handle(), EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(kMaxHelpTopicChars));
  ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(viewer.ShowHelp(path, L"t1"));
  const ULONGLONG opened = Since(start);
  EXPECT_EQ(viewer.ListBoxIndex.Count(), static_cast<int>(kMaxHelpIndexLines / 3 * 3));
  EXPECT_EQ(viewer.ListBoxIndex.Item(2), L"\x3000\x3000" + big.Topics[0].Title);
  // The whole topic is in the pane, and its last link is one.
  const TRenderedTopic& r = viewer.Rendered();
  EXPECT_EQ(viewer.RichEditTopic.TextLength(), static_cast<long>(r.Text.size()));
  EXPECT_GE(SendMessageW(viewer.RichEditTopic.Handle(), EM_GETLIMITTEXT, 0, 0), static_cast<LRESULT>(r.Text.size()));
  ASSERT_EQ(r.Links.size(), kMaxHelpTopicLinks);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  viewer.RichEditTopic.SetSelection(r.Links.back().Start, r.Links.back().End);
  SendMessageW(viewer.RichEditTopic.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE(cf.dwEffects & CFE_LINK);

  // Type-ahead through every keyword to the last.
  viewer.SelectTab(THelpViewer::tabIndex);
  start = GetTickCount64();
  Type(viewer.EditIndex, L"語" + std::to_wstring(kMaxHelpIndexLines / 3 - 1));
  const ULONGLONG typed = Since(start);
  EXPECT_EQ(viewer.ListBoxIndex.Item(viewer.ListBoxIndex.ItemIndex()), L"語" + std::to_wstring(kMaxHelpIndexLines / 3 - 1));

  // A search for a word in every place of the heavy topic: the first ones are marked, not all.
  viewer.SelectTab(THelpViewer::tabSearch);
  viewer.EditSearch.SetText(L"あ");
  start = GetTickCount64();
  viewer.ButtonSearchStart.Click();
  ASSERT_EQ(viewer.SearchResults(), std::vector<int>{1});
  testsupport::PressKey(viewer.ListBoxSearch.Handle(), VK_RETURN);
  const ULONGLONG searched = Since(start);
  const std::vector<THelpTextRange> hits = FindWords(viewer.Rendered().Text, SearchWords(L"あ"));
  ASSERT_GT(hits.size(), 1000u);
  auto marked = [&](const THelpTextRange& hit) {
    viewer.RichEditTopic.SetSelection(hit.Start, hit.End);
    SendMessageW(viewer.RichEditTopic.Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return !(cf.dwEffects & CFE_AUTOBACKCOLOR) && cf.crBackColor != GetSysColor(COLOR_WINDOW);
  };
  EXPECT_TRUE(marked(hits.front()));
  EXPECT_FALSE(marked(hits.back()));
  // Each step takes about a second here or less; one that hung would take minutes (a link or a mark
  // costs a change of format in the pane, half a millisecond each in a topic this long).
  EXPECT_LT(opened, 15000u);
  EXPECT_LT(typed, 5000u);
  EXPECT_LT(searched, 15000u);
}
