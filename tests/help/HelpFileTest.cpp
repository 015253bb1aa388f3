// The help file: the built one read back whole, damaged ones refused, the index and the search.
#include "help/HelpFile.h"
#include "help/HelpIndex.h"
#include "HelpFileWriter.h"
#include "comm/FileBytes.h"
#include "support/BuiltFiles.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <functional>
#include <set>

using namespace help;
using helptest::Crc32;
using helptest::TFileWriter;

namespace {

struct TSmallHelp {
  int LinkTarget = 1;        // the link in topic 0
  uint8_t SecondDepth = 1;   // depth of the page below the book
  uint32_t TopicCount = 2;   // as written in TOPC
  uint32_t Home = 0;
  int KeywordTopic = 1;      // the second topic of the keyword
  bool WithKeywords = true;  // the KEYW section is there
};

// Two topics, "a" linking to "b", a book holding both, one keyword of both; header and CRC as they
// must be.
std::string SmallHelpFile(const TSmallHelp& o = {}) {
  TFileWriter w;
  w.Str(L"テストのヘルプ");
  w.U32(o.Home);
  const std::string head = w.Take();
  w.U32(o.TopicCount);
  for (int t = 0; t < 2; ++t) {
    w.Str(t == 0 ? L"a" : L"b");
    w.Str(t == 0 ? L"トピックA" : L"トピックB");
    w.U32(1);  // one block
    w.U8(hbParagraph);
    w.U32(0);  // no label
    w.U32(t == 0 ? 2 : 1);
    w.U8(0), w.U32(0xFFFFFFFFu), w.Str(t == 0 ? L"本文 " : L"二つ目");
    if (t == 0) w.U8(hsLink), w.U32(static_cast<uint32_t>(o.LinkTarget)), w.Str(L"トピックB");
  }
  const std::string topics = w.Take();
  w.U32(3);
  w.U8(0), w.U8(0), w.Str(L"本"), w.U32(0xFFFFFFFFu);
  w.U8(1), w.U8(1), w.Str(L"トピックA"), w.U32(0);
  w.U8(o.SecondDepth), w.U8(1), w.Str(L"トピックB"), w.U32(1);
  const std::string contents = w.Take();
  w.U32(1);
  w.Str(L"読み取り専用"), w.Str(L"よみとりせんよう"), w.U32(2), w.U32(0), w.U32(static_cast<uint32_t>(o.KeywordTopic));
  const std::string keywords = w.Take();
  using helptest::Section;
  std::string body = Section("HEAD", head) + Section("TOPC", topics) + Section("CONT", contents);
  if (o.WithKeywords) body += Section("KEYW", keywords);
  return helptest::Sealed(body, o.WithKeywords ? 4 : 3);
}

// The file with its CRC written again, as a file whose bytes were changed on purpose looks.
std::string Resealed(std::string file) {
  const uint32_t crc = Crc32(file.substr(24));
  for (int i = 0; i < 4; ++i) file[16 + i] = static_cast<char>(crc >> (8 * i));
  return file;
}

bool Parses(const std::string& bytes) {
  try {
    ParseHelpFile(bytes);
    return true;
  } catch (const std::runtime_error&) {
    return false;
  }
}

}  // namespace

TEST(HelpFile, TheBuiltFileReadsBackWithEveryLinkTopicAndKeywordReachable) {
  THelpFile file;
  ASSERT_EQ(LoadHelpFile(testsupport::BuiltHelpFile(), file), hlLoaded) << testsupport::BuiltHelpFile();
  ASSERT_GE(file.Topics.size(), 20u);
  EXPECT_EQ(file.Title, L"VornaStampShifter ヘルプ");

  // Every topic is a page of the contents, once; every page opens its topic.
  std::vector<int> pages(file.Topics.size(), 0);
  for (const THelpContentsEntry& e : file.Contents)
    if (!e.Book) {
      ++pages.at(static_cast<size_t>(e.Topic));
      EXPECT_EQ(e.Title, file.Topics[static_cast<size_t>(e.Topic)].Title);
    }
  for (size_t t = 0; t < file.Topics.size(); ++t) EXPECT_EQ(pages[t], 1) << file.Topics[t].Id;

  // Every link names a topic and shows some text; every topic is linked from another or is home.
  std::set<int> linked{file.Home};
  for (const THelpTopic& topic : file.Topics)
    for (const THelpBlock& block : topic.Blocks)
      for (const THelpRun& run : block.Body)
        if (run.Style & hsLink) {
          ASSERT_GE(run.Target, 0);
          ASSERT_LT(static_cast<size_t>(run.Target), file.Topics.size());
          EXPECT_FALSE(run.Text.empty()) << topic.Id;
          if (file.Topics[static_cast<size_t>(run.Target)].Id != topic.Id) linked.insert(run.Target);
        }
  EXPECT_EQ(linked.size(), file.Topics.size());

  // Typing a keyword, or its reading, finds it, and its lines open every topic it names.
  const std::vector<THelpIndexLine> lines = BuildIndexLines(file);
  for (size_t k = 0; k < file.Keywords.size(); ++k) {
    const THelpKeyword& kw = file.Keywords[k];
    SCOPED_TRACE(kw.Text);
    for (const std::wstring& typed : {kw.Text, kw.Reading.empty() ? kw.Text : kw.Reading}) {
      const int line = FindIndexLine(file, lines, typed);
      ASSERT_GE(line, 0);
      EXPECT_EQ(FoldText(file.Keywords[static_cast<size_t>(lines[static_cast<size_t>(line)].Keyword)].Text),
                FoldText(kw.Text));
    }
    std::set<int> opened;
    for (const THelpIndexLine& l : lines)
      if (l.Keyword == static_cast<int>(k)) opened.insert(l.Topic);
    EXPECT_EQ(opened, std::set<int>(kw.Topics.begin(), kw.Topics.end()));
  }
  // The index runs in the order of the readings.
  for (size_t k = 1; k < file.Keywords.size(); ++k) {
    auto key = [&](size_t i) {
      return IndexSortKey(file.Keywords[i].Reading.empty() ? file.Keywords[i].Text : file.Keywords[i].Reading);
    };
    EXPECT_LE(key(k - 1), key(k)) << file.Keywords[k].Text;
  }
}

TEST(HelpFile, OnlyAWholeUndamagedFileIsTaken) {
  const std::string good = SmallHelpFile();
  ASSERT_TRUE(Parses(good));
  const THelpFile file = ParseHelpFile(good);
  EXPECT_EQ(file.Topics[0].Blocks[0].Body[1].Target, 1);
  EXPECT_EQ(file.Contents[2].Depth, 1);
  EXPECT_EQ(file.FindTopic(L"b"), 1);
  EXPECT_EQ(file.FindTopic(L"c"), -1);

  // Cut, lengthened, a changed byte, another kind of file, another version.
  EXPECT_FALSE(Parses(good.substr(0, good.size() - 1)));
  EXPECT_FALSE(Parses(good + "x"));
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x20;
  EXPECT_FALSE(Parses(flipped));
  EXPECT_FALSE(Parses("MZ" + good.substr(2)));
  EXPECT_FALSE(Parses(std::string()));
  std::string version = good;
  version[8] = 2;
  EXPECT_FALSE(Parses(version));

  // Contents that pass the CRC but not the checks: a link beside the last topic and on it, a home
  // topic beyond the last, a tree that skips a level, a count far larger than the bytes, a section
  // missing.
  TSmallHelp o;
  o.LinkTarget = 1;
  EXPECT_TRUE(Parses(Resealed(SmallHelpFile(o))));
  o.LinkTarget = 2;
  EXPECT_FALSE(Parses(Resealed(SmallHelpFile(o))));
  o.LinkTarget = -1;
  EXPECT_FALSE(Parses(Resealed(SmallHelpFile(o))));
  // A keyword's topics likewise: the last topic, one past it, none.
  o = {};
  o.KeywordTopic = 1;
  EXPECT_TRUE(Parses(SmallHelpFile(o)));
  o.KeywordTopic = 2;
  EXPECT_FALSE(Parses(SmallHelpFile(o)));
  o.KeywordTopic = -1;
  EXPECT_FALSE(Parses(SmallHelpFile(o)));
  o = {};
  o.Home = 1;
  EXPECT_TRUE(Parses(SmallHelpFile(o)));
  o.Home = 2;
  EXPECT_FALSE(Parses(SmallHelpFile(o)));
  o = {};
  o.SecondDepth = 2;
  EXPECT_FALSE(Parses(SmallHelpFile(o)));
  o = {};
  o.TopicCount = 0x7FFFFFFF;
  EXPECT_FALSE(Parses(SmallHelpFile(o)));
  o = {};
  o.WithKeywords = false;
  EXPECT_FALSE(Parses(SmallHelpFile(o)));
}

TEST(HelpFile, EveryFieldIsCheckedOnBothSidesOfItsEdge) {
  // Each case changes one field of a good file; the first value of each pair is taken, the second not.
  struct TCase {
    const char* what;
    std::function<void(THelpFile&)> taken, refused;
  };
  const THelpFile good = helptest::PlainHelp(3);
  ASSERT_TRUE(Parses(helptest::EncodeHelpFile(good)));
  auto body = [](THelpFile& f) -> THelpRun& { return f.Topics[0].Blocks[0].Body[0]; };
  const std::vector<TCase> cases = {
      {"block kind", [](THelpFile& f) { f.Topics[0].Blocks[0].Kind = hbSeeAlso; },
       [](THelpFile& f) { f.Topics[0].Blocks[0].Kind = static_cast<THelpBlockKind>(hbSeeAlso + 1); }},
      {"block kind below", [](THelpFile& f) { f.Topics[0].Blocks[0].Kind = hbParagraph; },
       [](THelpFile& f) { f.Topics[0].Blocks[0].Kind = static_cast<THelpBlockKind>(0); }},
      {"run style", [&](THelpFile& f) { body(f).Style = hsBold | hsProgram; },
       [&](THelpFile& f) { body(f).Style = 8; }},
      {"target of a run that is no link", [&](THelpFile& f) { body(f).Target = -1; },
       [&](THelpFile& f) { body(f).Target = 0; }},
      {"link in a label", [](THelpFile& f) { f.Topics[0].Blocks[0].Label = {{hsLink, 2, L"3"}}; },
       [](THelpFile& f) { f.Topics[0].Blocks[0].Label = {{hsLink, 3, L"4"}}; }},
      {"contents page", [](THelpFile& f) { f.Contents[0].Topic = 2; },
       [](THelpFile& f) { f.Contents[0].Topic = 3; }},
      {"contents page without topic", [](THelpFile& f) { f.Contents[0].Topic = 0; },
       [](THelpFile& f) { f.Contents[0].Topic = -1; }},
      {"contents book", [](THelpFile& f) { f.Contents[0] = {0, true, L"本", -1}; },
       [](THelpFile& f) { f.Contents[0] = {0, true, L"本", 0}; }},
      {"first contents entry", [](THelpFile& f) { f.Contents[0].Depth = 0; },
       [](THelpFile& f) { f.Contents[0].Depth = 1; }},
      {"keyword text", [](THelpFile& f) { f.Keywords[0].Text = L"x"; },
       [](THelpFile& f) { f.Keywords[0].Text.clear(); }},
      {"keyword topics", [](THelpFile& f) { f.Keywords[0].Topics = {2}; },
       [](THelpFile& f) { f.Keywords[0].Topics.clear(); }},
      {"topics", [](THelpFile& f) { f.Topics.resize(1), f.Contents.resize(1), f.Keywords.resize(1); },
       [](THelpFile& f) { f.Topics.clear(), f.Contents.clear(), f.Keywords.clear(); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    THelpFile taken = good, refused = good;
    c.taken(taken);
    c.refused(refused);
    EXPECT_TRUE(Parses(helptest::EncodeHelpFile(taken)));
    EXPECT_FALSE(Parses(helptest::EncodeHelpFile(refused)));
  }

  // Sections: one of another kind is passed over, one of the four given twice is damage, and so are
  // bytes left over inside one.
  TFileWriter w;
  w.Str(L"x");
  w.U32(0);
  const std::string head = helptest::Section("HEAD", w.Take());
  EXPECT_TRUE(Parses(helptest::EncodeHelpFile(good, helptest::Section("NEXT", "abc"), 1)));
  EXPECT_FALSE(Parses(helptest::EncodeHelpFile(good, head, 1)));
  // HEAD comes first: its tag, its length, the title and the home topic. A byte more at its end.
  std::string sections = helptest::EncodeHelpFile(good).substr(24);
  const size_t headSize = 4 + 2 * good.Title.size() + 4;
  ASSERT_EQ(static_cast<uint8_t>(sections[4]), headSize);
  sections.insert(8 + headSize, 1, '\0');
  sections[4] = static_cast<char>(headSize + 1);
  EXPECT_FALSE(Parses(helptest::Sealed(sections, 4)));
}

namespace {

// The topic made to hold blocks blocks of runsPerBlock runs each, with no text.
void Fill(THelpTopic& topic, size_t blocks, size_t runsPerBlock) {
  topic.Blocks.assign(blocks, THelpBlock{hbParagraph, {}, std::vector<THelpRun>(runsPerBlock)});
}

// The first topic's text made so long that the topic, title included, holds chars characters.
void FillText(THelpTopic& topic, size_t chars) {
  topic.Blocks = {{hbParagraph, {}, {{0, -1, std::wstring(chars - topic.Title.size(), L'字')}}}};
}

}  // namespace

TEST(HelpFile, EveryBoundOfWhatAFileHoldsIsTakenAtItsLimitAndRefusedBeyond) {
  // Each case makes a file at one limit (taken) and one beyond it (refused), every other quantity
  // well within its own.
  struct TCase {
    const char* what;
    std::function<THelpFile(size_t extra)> make;  // extra 0: at the limit; 1: one beyond
  };
  const std::vector<TCase> cases = {
      {"topics", [](size_t extra) { return helptest::PlainHelp(kMaxHelpTopics + extra); }},
      {"contents entries",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Contents.resize(kMaxHelpContentsEntries + extra, THelpContentsEntry{0, true, L"本", -1});
         return f;
       }},
      {"keywords",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Keywords.resize(kMaxHelpKeywords + extra, THelpKeyword{L"語", L"", {0}});
         return f;
       }},
      // One keyword naming one topic again and again: a line for the keyword and one per naming.
      {"index lines",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Keywords[0].Topics.assign(kMaxHelpIndexLines - 1 + extra, 0);
         return f;
       }},
      {"index lines of many keywords",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(2);
         f.Keywords.assign(kMaxHelpIndexLines / 3, THelpKeyword{L"語", L"", {0, 1}});  // three lines each
         f.Keywords.resize(f.Keywords.size() + kMaxHelpIndexLines % 3 + extra, THelpKeyword{L"語", L"", {0}});
         return f;
       }},
      {"title of a topic",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Topics[0].Title.assign(kMaxHelpNameChars + extra, L'題');
         return f;
       }},
      {"name of a topic",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Topics[0].Id.assign(kMaxHelpNameChars + extra, L'n');
         return f;
       }},
      {"title of the help",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Title.assign(kMaxHelpNameChars + extra, L'題');
         return f;
       }},
      {"title of a contents entry",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Contents[0].Title.assign(kMaxHelpNameChars + extra, L'題');
         return f;
       }},
      {"keyword",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Keywords[0].Text.assign(kMaxHelpNameChars + extra, L'語');
         return f;
       }},
      {"reading of a keyword",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(1);
         f.Keywords[0].Reading.assign(kMaxHelpNameChars + extra, L'ご');
         return f;
       }},
      {"text of a topic",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(2);
         FillText(f.Topics[1], kMaxHelpTopicChars + extra);
         return f;
       }},
      // Every topic within its own bound, all together at the file's.
      {"text of all topics",
       [](size_t extra) {
         const size_t full = kMaxHelpTextChars / kMaxHelpTopicChars;
         THelpFile f = helptest::PlainHelp(full + 1);
         size_t total = 0;
         for (size_t t = 0; t < full; ++t) FillText(f.Topics[t], kMaxHelpTopicChars - 1), total += kMaxHelpTopicChars - 1;
         FillText(f.Topics[full], kMaxHelpTextChars - total + extra);
         return f;
       }},
      {"blocks of a topic",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(2);
         Fill(f.Topics[1], kMaxHelpTopicBlocks + extra, 0);
         return f;
       }},
      {"runs of a topic",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(2);
         Fill(f.Topics[1], 1, kMaxHelpTopicRuns + extra);
         f.Topics[1].Blocks[0].Label.resize(1);  // labels count too
         f.Topics[1].Blocks[0].Body.pop_back();
         return f;
       }},
      {"links of a topic",
       [](size_t extra) {
         THelpFile f = helptest::PlainHelp(2);
         Fill(f.Topics[1], 1, kMaxHelpTopicLinks + extra + 1);
         for (THelpRun& run : f.Topics[1].Blocks[0].Body) run = {hsLink | hsBold, 0, L"→"};
         f.Topics[1].Blocks[0].Body.back() = {hsBold, -1, L"リンクではない"};
         return f;
       }},
      {"blocks of all topics",
       [](size_t extra) {
         const size_t full = kMaxHelpBlocks / kMaxHelpTopicBlocks;
         THelpFile f = helptest::PlainHelp(full + 1);
         for (size_t t = 0; t < full; ++t) Fill(f.Topics[t], kMaxHelpTopicBlocks - (t == 0 ? 1 : 0), 0);
         Fill(f.Topics[full], 1 + extra, 0);
         return f;
       }},
      {"runs of all topics",
       [](size_t extra) {
         const size_t full = kMaxHelpRuns / kMaxHelpTopicRuns;
         THelpFile f = helptest::PlainHelp(full + 1);
         for (size_t t = 0; t < full; ++t) Fill(f.Topics[t], 1, kMaxHelpTopicRuns - (t == 0 ? 1 : 0));
         Fill(f.Topics[full], 1, 1 + extra);
         return f;
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string atLimit = helptest::EncodeHelpFile(c.make(0));
    EXPECT_LE(atLimit.size(), kMaxHelpFileBytes);
    EXPECT_TRUE(Parses(atLimit));
    EXPECT_FALSE(Parses(helptest::EncodeHelpFile(c.make(1))));
  }
}

TEST(HelpFile, AFileLargerThanAnyHelpFileIsToldAsSuchWithoutBeingRead) {
  testsupport::TempTree tree;
  THelpFile file;
  // A good file made exactly as large as the bound by a section the reader passes over, then a byte
  // larger.
  const std::string small = SmallHelpFile();
  const std::string padding(kMaxHelpFileBytes - small.size() - 8, 'p');
  const std::string atLimit = helptest::Sealed(small.substr(24) + helptest::Section("PADS", padding), 5);
  ASSERT_EQ(atLimit.size(), kMaxHelpFileBytes);
  EXPECT_EQ(LoadHelpFile(tree.MakeFile(L"limit.hlp", atLimit), file), hlLoaded);
  EXPECT_EQ(file.Title, L"テストのヘルプ");
  const std::string beyond = helptest::Sealed(small.substr(24) + helptest::Section("PADS", padding + "p"), 5);
  EXPECT_EQ(LoadHelpFile(tree.MakeFile(L"beyond.hlp", beyond), file), hlTooLarge);
  EXPECT_FALSE(Parses(beyond));

  // 300 MB, beyond what the program reads of any file: measured, not read, and not taken for a file
  // that another program holds.
  const std::wstring huge = tree.MakeFile(L"huge.hlp", small);
  {
    HANDLE h = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 300ll << 20;
    EXPECT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
  }
  EXPECT_EQ(LoadHelpFile(huge, file), hlTooLarge);
  EXPECT_EQ(HelpLoadMessage(hlTooLarge, L"C:\\x\\VornaSTS.hlp"),
            L"ヘルプファイル C:\\x\\VornaSTS.hlp は大きすぎるため読み込めません。\r"
            L"プログラムと一緒に配布されている VornaSTS.hlp を入れ直してください。");
  EXPECT_EQ(file.Title, L"テストのヘルプ");  // what was loaded before stays
}

TEST(HelpFile, LoadingTellsMissingUnreadableAndDamagedApart) {
  testsupport::TempTree tree;
  THelpFile file;
  EXPECT_EQ(LoadHelpFile(tree.Path(L"none.hlp"), file), hlMissing);
  {
    // Held by another program that lets no one read it.
    const std::wstring held = tree.MakeFile(L"held.hlp", SmallHelpFile());
    HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LoadHelpFile(held, file), hlUnreadable);
    CloseHandle(h);
  }
  EXPECT_EQ(LoadHelpFile(tree.MakeFile(L"text.hlp", "これはヘルプではありません"), file), hlDamaged);
  EXPECT_EQ(LoadHelpFile(tree.MakeFile(L"small.hlp", SmallHelpFile()), file), hlLoaded);
  EXPECT_EQ(file.Title, L"テストのヘルプ");
  EXPECT_EQ(HelpLoadMessage(hlDamaged, L"C:\\x\\VornaSTS.hlp"),
            L"ヘルプファイル C:\\x\\VornaSTS.hlp は壊れているため表示できません。\r"
            L"プログラムと一緒に配布されている VornaSTS.hlp を入れ直してください。");
}

TEST(HelpIndex, TypingFindsKeywordsByTextOrReadingAndSearchNeedsEveryWord) {
  EXPECT_EQ(FoldText(L"ＡＢｃ１　ｶﾀｶﾅ ヨミ\x00A0x"), L"abc1 かたかな よみ x");
  EXPECT_EQ(IndexSortKey(L"ガイヨウ"), L"かいよう");
  EXPECT_LT(IndexSortKey(L"かいし"), IndexSortKey(L"がいよう"));  // が sorts with か

  THelpFile file;
  file.Topics = {{L"t0", L"開始", {}}, {L"t1", L"読み込み", {}}, {L"t2", L"属性", {}}};
  file.Keywords = {{L"INI ファイル", L"", {0}},
                   {L"開始", L"かいし", {0}},
                   {L"読み取り専用", L"よみとりせんよう", {2, 1}},
                   {L"読み取り専用ファイル", L"よみとりせんようふぁいる", {2}}};
  const std::vector<THelpIndexLine> lines = BuildIndexLines(file);
  // A keyword of two topics: its own line opens the first, a line per topic below it.
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2].Text, L"読み取り専用");
  EXPECT_EQ(lines[3].Text, L"\x3000\x3000属性");
  EXPECT_EQ(lines[4].Topic, 1);
  EXPECT_TRUE(lines[4].Sub);

  EXPECT_EQ(FindIndexLine(file, lines, L"読み"), 2);
  EXPECT_EQ(FindIndexLine(file, lines, L"よみ"), 2);
  EXPECT_EQ(FindIndexLine(file, lines, L"ヨミトリセンヨウフ"), 5);
  EXPECT_EQ(FindIndexLine(file, lines, L"ｉｎｉ"), 0);
  // Nothing begins so: the place it would stand at, the last line past the end, nothing for nothing.
  EXPECT_EQ(FindIndexLine(file, lines, L"かき"), 2);
  EXPECT_EQ(FindIndexLine(file, lines, L"わ"), 5);
  EXPECT_EQ(FindIndexLine(file, lines, L""), -1);
  EXPECT_EQ(FindIndexLine(file, lines, L"　"), -1);

  file.Topics[0].Blocks = {{hbParagraph, {}, {{0, -1, L"クリップボードにコピーします"}}}};
  file.Topics[1].Blocks = {{hbParagraph, {}, {{0, -1, L"ファイルに保存します"}}}};
  EXPECT_EQ(SearchWords(L"  コピー　ｸﾘｯ コピー "), (std::vector<std::wstring>{L"こぴー", L"くりっ"}));
  EXPECT_EQ(SearchTopics(file, SearchWords(L"くりっぷぼーど こぴー")), std::vector<int>{0});
  EXPECT_EQ(SearchTopics(file, SearchWords(L"します")), (std::vector<int>{0, 1}));
  EXPECT_TRUE(SearchTopics(file, SearchWords(L"します 属性")).empty());
  EXPECT_EQ(SearchTopics(file, SearchWords(L"属性")), std::vector<int>{2});  // the title is searched too
  EXPECT_TRUE(SearchTopics(file, SearchWords(L"   ")).empty());
}
