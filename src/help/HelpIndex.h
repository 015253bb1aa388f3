// The help's keyword index and full-text search, without windows: folding, lines, type-ahead, search.
#pragma once
#include "help/HelpFile.h"
#include <string>
#include <utility>
#include <vector>

namespace help {

// The form in which texts are compared: Latin letters in lower case, full-width letters, digits and
// signs as their ASCII forms, half-width katakana as full-width, katakana as hiragana, the ideographic
// and the no-break space as a blank. Character for character, so positions in the folded text are positions in the
// original.
std::wstring FoldText(const std::wstring& text);

// The order of the index: folded, with voiced and small kana sorting as their plain kana (が as か,
// ょ as よ), as a Japanese index runs. The help compiler sorts the keywords by the same key.
std::wstring IndexSortKey(const std::wstring& text);

// A line of the keyword list: a keyword, or below a keyword of several topics one line per topic.
struct THelpIndexLine {
  std::wstring Text;  // as the list shows it (a topic line indented)
  int Keyword = -1;
  int Topic = -1;     // the topic the line opens: a keyword's first topic, or the line's own
  bool Sub = false;
};

std::vector<THelpIndexLine> BuildIndexLines(const THelpFile& file);

// The line that typing selects: the first keyword whose text or reading begins with what was typed
// (folded); else the first keyword that sorts at or after it (IndexSortKey); else the last. -1 for an empty list
// or nothing typed.
int FindIndexLine(const THelpFile& file, const std::vector<THelpIndexLine>& lines, const std::wstring& typed);

// The words of a search: split at blanks (also the ideographic space), folded, duplicates dropped.
std::vector<std::wstring> SearchWords(const std::wstring& query);

// The plain text of a topic, as searched: its title and every block.
std::wstring TopicSearchText(const THelpTopic& topic);

// The topics that hold every word, in the order of the file (the order of the contents).
std::vector<int> SearchTopics(const THelpFile& file, const std::vector<std::wstring>& words);

// The places (start, end) of the words in a folded text, the first most of them in the order of the
// text. Time and memory follow the text's length and most, whatever the text and the words hold.
std::vector<std::pair<size_t, size_t>> FindWordPlaces(const std::wstring& folded, const std::vector<std::wstring>& words,
                                                      size_t most);

}  // namespace help
