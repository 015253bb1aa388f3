// The built help file: reading, checking every count, index and string against the bytes, loading.
#include "help/HelpFile.h"
#include "comm/Crc32.h"
#include "comm/FileBytes.h"
#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace help {

namespace {

constexpr char kMagic[8] = {'V', 'S', 'S', 'H', 'E', 'L', 'P', '\x1a'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 24;

[[noreturn]] void Damaged(const char* what) { throw std::runtime_error(what); }

// Reads little-endian values from a span of bytes; reading past its end is damage.
class TReader {
 public:
  explicit TReader(std::string_view bytes) : FBytes(bytes) {}
  size_t Left() const { return FBytes.size() - FPos; }
  std::string_view Take(size_t n) {
    if (n > Left()) Damaged("the file ends inside a record");
    std::string_view s = FBytes.substr(FPos, n);
    FPos += n;
    return s;
  }
  uint8_t U8() { return static_cast<uint8_t>(Take(1)[0]); }
  uint32_t U32() {
    std::string_view s = Take(4);
    return static_cast<uint32_t>(static_cast<unsigned char>(s[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(s[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(s[3])) << 24;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // A count of records of at least minSize bytes each: more than the bytes left can hold is damage,
  // so that no count read from the file makes the reader reserve memory it does not need.
  uint32_t Count(size_t minSize) {
    uint32_t n = U32();
    if (minSize && n > Left() / minSize) Damaged("a count larger than its records");
    return n;
  }
  // A string of at most maxChars characters; a longer one is damage.
  std::wstring Str(size_t maxChars = SIZE_MAX) {
    uint32_t n = Count(2);
    if (n > maxChars) Damaged("a string longer than its kind allows");
    std::string_view s = Take(size_t{n} * 2);
    std::wstring text(n, L'\0');
    for (uint32_t i = 0; i < n; ++i)
      text[i] = static_cast<wchar_t>(static_cast<unsigned char>(s[2 * i]) |
                                     static_cast<unsigned char>(s[2 * i + 1]) << 8);
    return text;
  }
  void ExpectEnd() const {
    if (Left()) Damaged("bytes left over after a section");
  }

 private:
  std::string_view FBytes;
  size_t FPos = 0;
};

// What the topics read so far have used of the bounds of the whole file and of the topic being read.
struct TTopicBudget {
  size_t Blocks = 0, Runs = 0, Chars = 0;              // all topics
  size_t TopicBlocks = 0, TopicRuns = 0, TopicLinks = 0, TopicChars = 0;  // the current one

  void StartTopic() { TopicBlocks = TopicRuns = TopicLinks = TopicChars = 0; }
  // Counts are checked before anything of that size is made.
  void AddBlocks(size_t n) {
    Blocks += n, TopicBlocks += n;
    if (Blocks > kMaxHelpBlocks || TopicBlocks > kMaxHelpTopicBlocks) Damaged("more blocks than a help file holds");
  }
  void AddRuns(size_t n) {
    Runs += n, TopicRuns += n;
    if (Runs > kMaxHelpRuns || TopicRuns > kMaxHelpTopicRuns) Damaged("more runs than a help file holds");
  }
  void AddLink() {
    if (++TopicLinks > kMaxHelpTopicLinks) Damaged("more links in a topic than a help file holds");
  }
  // The characters left for one more text.
  size_t CharsLeft() const { return std::min(kMaxHelpTextChars - Chars, kMaxHelpTopicChars - TopicChars); }
  void AddChars(size_t n) { Chars += n, TopicChars += n; }
  std::wstring Text(TReader& r) {
    std::wstring text = r.Str(CharsLeft());
    AddChars(text.size());
    return text;
  }
};

std::vector<THelpRun> ReadRuns(TReader& r, TTopicBudget& budget) {
  const uint32_t count = r.Count(9);
  budget.AddRuns(count);
  std::vector<THelpRun> runs(count);
  for (THelpRun& run : runs) {
    run.Style = r.U8();
    run.Target = r.I32();
    run.Text = budget.Text(r);
    if (run.Style & ~(hsBold | hsProgram | hsLink)) Damaged("a run of an unknown style");
    if (run.Style & hsLink) budget.AddLink();
  }
  return runs;
}

void CheckLinks(const std::vector<THelpRun>& runs, size_t topicCount) {
  for (const THelpRun& run : runs) {
    if (!(run.Style & hsLink)) {
      if (run.Target != -1) Damaged("a target on a run that is no link");
    } else if (run.Target < 0 || static_cast<size_t>(run.Target) >= topicCount) {
      Damaged("a link to a topic that does not exist");
    }
  }
}

}  // namespace

int THelpFile::FindTopic(std::wstring_view id) const {
  for (size_t i = 0; i < Topics.size(); ++i)
    if (Topics[i].Id == id) return static_cast<int>(i);
  return -1;
}

THelpFile ParseHelpFile(std::string_view bytes) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) != 0)
    Damaged("not a help file");
  if (bytes.size() > kMaxHelpFileBytes) Damaged("larger than any help file");
  TReader header(bytes.substr(8, kHeaderSize - 8));
  const uint32_t version = header.U32() & 0xFFFF;  // version, then a reserved half
  const uint32_t length = header.U32();
  const uint32_t crc = header.U32();
  const uint32_t sectionCount = header.U32();
  if (version != kVersion) Damaged("a help file of another version");
  if (length != bytes.size()) Damaged("a help file cut short or lengthened");
  const std::string_view body = bytes.substr(kHeaderSize);
  if (comm::Crc32(body) != crc) Damaged("a help file whose bytes changed");

  // The four sections, each once; others (from a later minor version) are passed over.
  std::string_view head, topics, contents, keywords;
  TReader sections(body);
  for (uint32_t i = 0; i < sectionCount; ++i) {
    std::string_view tag = sections.Take(4);
    std::string_view payload = sections.Take(sections.U32());
    std::string_view* slot = tag == "HEAD" ? &head : tag == "TOPC" ? &topics : tag == "CONT" ? &contents
                           : tag == "KEYW" ? &keywords : nullptr;
    if (!slot) continue;
    if (slot->data()) Damaged("a section twice");
    *slot = payload;
  }
  sections.ExpectEnd();
  if (!head.data() || !topics.data() || !contents.data() || !keywords.data()) Damaged("a section missing");

  THelpFile file;
  TReader t(topics);
  const uint32_t topicCount32 = t.Count(12);
  if (topicCount32 > kMaxHelpTopics) Damaged("more topics than a help file holds");
  file.Topics.resize(topicCount32);
  TTopicBudget budget;
  for (THelpTopic& topic : file.Topics) {
    budget.StartTopic();
    topic.Id = t.Str(kMaxHelpNameChars);
    topic.Title = t.Str(kMaxHelpNameChars);
    budget.AddChars(topic.Title.size());
    if (budget.Chars > kMaxHelpTextChars) Damaged("more text than a help file holds");
    const uint32_t blockCount = t.Count(9);
    budget.AddBlocks(blockCount);
    topic.Blocks.resize(blockCount);
    for (THelpBlock& block : topic.Blocks) {
      const uint8_t kind = t.U8();
      if (kind < hbParagraph || kind > hbSeeAlso) Damaged("a block of an unknown kind");
      block.Kind = static_cast<THelpBlockKind>(kind);
      block.Label = ReadRuns(t, budget);
      block.Body = ReadRuns(t, budget);
    }
  }
  t.ExpectEnd();
  if (file.Topics.empty()) Damaged("a help file without topics");
  const size_t topicCount = file.Topics.size();
  for (const THelpTopic& topic : file.Topics)
    for (const THelpBlock& block : topic.Blocks) {
      CheckLinks(block.Label, topicCount);
      CheckLinks(block.Body, topicCount);
    }

  TReader h(head);
  file.Title = h.Str(kMaxHelpNameChars);
  const uint32_t home = h.U32();
  h.ExpectEnd();
  if (home >= topicCount) Damaged("a home topic that does not exist");
  file.Home = static_cast<int>(home);

  TReader c(contents);
  const uint32_t entryCount = c.Count(10);
  if (entryCount > kMaxHelpContentsEntries) Damaged("more contents entries than a help file holds");
  file.Contents.resize(entryCount);
  for (size_t i = 0; i < file.Contents.size(); ++i) {
    THelpContentsEntry& e = file.Contents[i];
    e.Depth = c.U8();
    const uint8_t kind = c.U8();
    e.Title = c.Str(kMaxHelpNameChars);
    e.Topic = c.I32();
    if (kind > 1) Damaged("a contents entry of an unknown kind");
    e.Book = kind == 0;
    // The tree: one level deeper at most, and only below a book.
    const int allowed = i == 0 ? 0 : file.Contents[i - 1].Depth + (file.Contents[i - 1].Book ? 1 : 0);
    if (e.Depth > allowed) Damaged("a contents entry out of the tree");
    if (e.Book ? e.Topic != -1 : (e.Topic < 0 || static_cast<size_t>(e.Topic) >= topicCount))
      Damaged("a contents entry with a wrong topic");
  }
  c.ExpectEnd();

  TReader k(keywords);
  const uint32_t keywordCount = k.Count(12);
  if (keywordCount > kMaxHelpKeywords) Damaged("more keywords than a help file holds");
  file.Keywords.resize(keywordCount);
  size_t indexLines = 0;  // as BuildIndexLines makes them
  for (THelpKeyword& kw : file.Keywords) {
    kw.Text = k.Str(kMaxHelpNameChars);
    kw.Reading = k.Str(kMaxHelpNameChars);
    const uint32_t topicsOfKeyword = k.Count(4);
    indexLines += 1 + (topicsOfKeyword > 1 ? topicsOfKeyword : 0);
    if (indexLines > kMaxHelpIndexLines) Damaged("more index lines than a help file holds");
    kw.Topics.resize(topicsOfKeyword);
    if (kw.Text.empty() || kw.Topics.empty()) Damaged("an empty keyword");
    for (int& topic : kw.Topics) {
      topic = k.I32();
      if (topic < 0 || static_cast<size_t>(topic) >= topicCount) Damaged("a keyword of a topic that does not exist");
    }
  }
  k.ExpectEnd();
  return file;
}

THelpLoadResult LoadHelpFile(const std::wstring& path, THelpFile& file) {
  std::string bytes;
  // A file larger than any help file is measured, not read.
  const comm::TReadBytesOutcome read =
      comm::comm_ReadFileBytes(path, bytes, comm::kFileHolderPatienceMs, kMaxHelpFileBytes);
  if (read.Result == comm::rbMissing) return hlMissing;
  if (read.Result != comm::rbRead) return read.Error == ERROR_FILE_TOO_LARGE ? hlTooLarge : hlUnreadable;
  try {
    file = ParseHelpFile(bytes);
  } catch (const std::runtime_error&) {
    return hlDamaged;
  }
  return hlLoaded;
}

std::wstring HelpLoadMessage(THelpLoadResult result, const std::wstring& path) {
  switch (result) {
    case hlMissing:
      return L"ヘルプファイル " + path + L" が見つかりません。";
    case hlUnreadable:
      return L"ヘルプファイル " + path + L" を読み込めません。\r他のプログラムがこのファイルを開いていないか確かめてください。";
    case hlDamaged:
      return L"ヘルプファイル " + path + L" は壊れているため表示できません。\r"
             L"プログラムと一緒に配布されている VornaSTS.hlp を入れ直してください。";
    case hlTooLarge:
      return L"ヘルプファイル " + path + L" は大きすぎるため読み込めません。\r"
             L"プログラムと一緒に配布されている VornaSTS.hlp を入れ直してください。";
    case hlLoaded:
      break;
  }
  return std::wstring();
}

}  // namespace help
