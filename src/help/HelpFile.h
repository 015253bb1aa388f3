// The built help file: topics made of blocks and styled runs, the contents tree and the keyword index.
#pragma once
#include "Base.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace help {

enum THelpBlockKind : uint8_t {
  hbParagraph = 1,
  hbHeading,
  hbSubheading,
  hbBullet,
  hbNumbered,    // Label holds the number ("1.")
  hbDefinition,  // Label holds the term, Body its description
  hbProgramText, // a text as the program shows it; "\n" breaks its lines
  hbNote,
  hbSeeAlso,     // Body holds one link per related topic
};

enum THelpRunStyle : uint8_t { hsBold = 1, hsProgram = 2, hsLink = 4 };

struct THelpRun {
  uint8_t Style = 0;
  int Target = -1;  // the linked topic's index (hsLink), else -1
  std::wstring Text;
};

struct THelpBlock {
  THelpBlockKind Kind = hbParagraph;
  std::vector<THelpRun> Label;
  std::vector<THelpRun> Body;
};

struct THelpTopic {
  std::wstring Id;     // the name the program and the links use
  std::wstring Title;
  std::vector<THelpBlock> Blocks;
};

// One line of the contents, in tree order: a book holds the entries below it that are one level deeper.
struct THelpContentsEntry {
  int Depth = 0;
  bool Book = false;
  std::wstring Title;
  int Topic = -1;  // a page's topic; -1 for a book
};

struct THelpKeyword {
  std::wstring Text;
  std::wstring Reading;  // in kana, for keywords written with kanji; the index is sorted by it
  std::vector<int> Topics;
};

struct THelpFile {
  std::wstring Title;
  int Home = 0;  // the topic shown with the contents
  std::vector<THelpTopic> Topics;
  std::vector<THelpContentsEntry> Contents;
  std::vector<THelpKeyword> Keywords;  // in index order

  // The index of the topic of that name, or -1.
  int FindTopic(std::wstring_view id) const;
};

// Reads a built help file. Anything that is not a whole, undamaged help file of this version raises
// std::runtime_error with a short reason (in English, for the log of a test); nothing read from the
// file is trusted before it is checked.
THelpFile ParseHelpFile(std::string_view bytes);

enum THelpLoadResult { hlLoaded, hlMissing, hlUnreadable, hlDamaged, hlTooLarge };

// Reads and checks the file at path into file.
THelpLoadResult LoadHelpFile(const std::wstring& path, THelpFile& file);

// What the user is told when the help file at path could not be loaded.
std::wstring HelpLoadMessage(THelpLoadResult result, const std::wstring& path);

// What a help file may hold. The program's own help is far below every bound (70 KB, 24 topics, 31
// contents entries, 167 keywords making 199 index lines, 404 blocks and 1,370 runs, 23,000 characters,
// at most 162 runs, 14 links and 2,300 characters in a topic, no title or keyword longer than 22 characters).
// The bounds keep what reading and showing a file builds, and how long it takes, in proportion to a
// help file whatever counts a damaged or hostile file declares; a file beyond any of them is damaged.
constexpr size_t kMaxHelpFileBytes = 16u << 20;  // a larger file is not read at all (hlTooLarge)
constexpr size_t kMaxHelpTopics = 2000;
constexpr size_t kMaxHelpContentsEntries = 4000;  // each a line of the contents tree
constexpr size_t kMaxHelpKeywords = 10000;
// The lines of the keyword list: one per keyword, and one per topic below a keyword of several topics.
constexpr size_t kMaxHelpIndexLines = 20000;
// A topic's name and title, the help's title, a contents entry's title, a keyword and its reading: the
// index copies a topic's title into a line for each keyword that names the topic.
constexpr size_t kMaxHelpNameChars = 256;
constexpr size_t kMaxHelpBlocks = 100000;      // of all topics together
constexpr size_t kMaxHelpRuns = 200000;        // of all topics together
constexpr size_t kMaxHelpTopicBlocks = 2000;   // of one topic: each a paragraph of the pane
constexpr size_t kMaxHelpTopicRuns = 5000;     // of one topic
constexpr size_t kMaxHelpTopicLinks = 500;     // of one topic: each is a change of format in the pane
constexpr size_t kMaxHelpTopicChars = 200000;  // title and text of one topic, which the pane loads whole
constexpr size_t kMaxHelpTextChars = 2000000;  // titles and text of all topics, which a search reads

}  // namespace help
