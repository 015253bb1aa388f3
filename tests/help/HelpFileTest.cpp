// The help file: the built one read back whole, damaged ones refused, the index and the search.
#include "help/HelpFile.h"
#include "help/HelpIndex.h"
#include "comm/FileBytes.h"
#include "support/BuiltFiles.h"
#include "support/TempTree.h"
#include <gtest/gtest.h>
#include <set>

using namespace help;

namespace {

// Writes help files as the help compiler does, so that a test can break one exactly where it wants.
class TFileWriter {
 public:
  void U8(uint8_t v) { FBody.push_back(static_cast<char>(v)); }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Str(const std::wstring& s) {
    U32(static_cast<uint32_t>(s.size()));
    for (wchar_t c : s) U8(static_cast<uint8_t>(c)), U8(static_cast<uint8_t>(c >> 8));
  }
  std::string Take() { return std::exchange(FBody, std::string()); }

 private:
  std::string FBody;
};

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

struct TSmallHelp {
  int LinkTarget = 1;        // the link in topic 0
  uint8_t SecondDepth = 1;   // depth of the page below the book
  uint32_t TopicCount = 2;   // as written in TOPC
  uint32_t Home = 0;
  bool WithKeywords = true;  // the KEYW section is there
};

// Two topics, "a" linking to "b", a book holding both, one keyword; header and CRC as they must be.
std::string SmallHelpFile(const TSmallHelp& o = {}) {
  TFileWriter w;
  auto section = [](const char* tag, const std::string& payload) {
    TFileWriter s;
    std::string out(tag, 4);
    s.U32(static_cast<uint32_t>(payload.size()));
    return out + s.Take() + payload;
  };
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
  w.Str(L"読み取り専用"), w.Str(L"よみとりせんよう"), w.U32(2), w.U32(0), w.U32(1);
  const std::string keywords = w.Take();
  std::string body = section("HEAD", head) + section("TOPC", topics) + section("CONT", contents);
  if (o.WithKeywords) body += section("KEYW", keywords);
  w.U32(1);  // version and the reserved half
  w.U32(static_cast<uint32_t>(24 + body.size()));
  w.U32(Crc32(body));
  w.U32(o.WithKeywords ? 4 : 3);
  return std::string("VSSHELP\x1a", 8) + w.Take() + body;
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
