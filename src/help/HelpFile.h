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

enum THelpLoadResult { hlLoaded, hlMissing, hlUnreadable, hlDamaged };

// Reads and checks the file at path into file.
THelpLoadResult LoadHelpFile(const std::wstring& path, THelpFile& file);

// What the user is told when the help file at path could not be loaded.
std::wstring HelpLoadMessage(THelpLoadResult result, const std::wstring& path);

// Largest help file taken: a larger one is damaged or not ours.
constexpr size_t kMaxHelpFileBytes = 16u << 20;

}  // namespace help
