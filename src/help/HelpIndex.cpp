// The help's keyword index and full-text search.
#include "help/HelpIndex.h"
#include <algorithm>
#include <functional>
#include <string_view>

namespace help {

namespace {

// Half-width katakana U+FF66..U+FF9D as full-width katakana (voicing marks stay separate characters).
constexpr wchar_t kHalfKana[] =
    L"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";  // not shown

constexpr wchar_t kVoiced[] = L"がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽぁぃぅぇぉっゃゅょゎゔ";  // not shown
constexpr wchar_t kPlain[] = L"かきくけこさしすせそたちつてとはひふへほはひふへほあいうえおつやゆよわう";    // not shown

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\x3000' || c == L'\x00A0' || c == L'\r' || c == L'\n';
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Finds a word in texts in time proportional to the text whatever the two hold (a plain find can take
// the text's length times the word's on a text made of one repeated character).
class TWordFinder {
 public:
  explicit TWordFinder(const std::wstring& word) : FWord(word), FSearcher(FWord.begin(), FWord.end()) {}
  size_t Find(const std::wstring& text, size_t from) const {
    if (from > text.size()) return std::wstring::npos;
    auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), FSearcher);
    return found == text.end() ? std::wstring::npos : static_cast<size_t>(found - text.begin());
  }

 private:
  std::wstring FWord;
  std::boyer_moore_searcher<std::wstring::const_iterator> FSearcher;
};

}  // namespace

std::wstring FoldText(const std::wstring& text) {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = static_cast<wchar_t>(c - 0xFEE0);        // full-width ASCII
    else if (c == 0x3000 || c == 0x00A0) c = L' ';
    else if (c >= 0xFF66 && c <= 0xFF9D) c = kHalfKana[c - 0xFF66];              // half-width katakana
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    if (c >= 0x30A1 && c <= 0x30F6) c = static_cast<wchar_t>(c - 0x60);          // katakana as hiragana
  }
  return out;
}

std::wstring IndexSortKey(const std::wstring& text) {
  std::wstring key = FoldText(text);
  const std::wstring_view voiced(kVoiced);
  for (wchar_t& c : key)
    if (size_t at = voiced.find(c); at != std::wstring_view::npos) c = kPlain[at];
  return key;
}

std::vector<THelpIndexLine> BuildIndexLines(const THelpFile& file) {
  std::vector<THelpIndexLine> lines;
  for (size_t k = 0; k < file.Keywords.size(); ++k) {
    const THelpKeyword& kw = file.Keywords[k];
    lines.push_back({kw.Text, static_cast<int>(k), kw.Topics.front(), false});
    if (kw.Topics.size() < 2) continue;
    for (int topic : kw.Topics)
      lines.push_back({L"\x3000\x3000" + file.Topics[static_cast<size_t>(topic)].Title, static_cast<int>(k), topic, true});
  }
  return lines;
}

int FindIndexLine(const THelpFile& file, const std::vector<THelpIndexLine>& lines, const std::wstring& typed) {
  std::wstring want = FoldText(typed);
  while (!want.empty() && IsBlank(want.front())) want.erase(want.begin());
  if (lines.empty() || want.empty()) return -1;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].Sub) continue;
    const THelpKeyword& kw = file.Keywords[static_cast<size_t>(lines[i].Keyword)];
    if (StartsWith(FoldText(kw.Text), want) || (!kw.Reading.empty() && StartsWith(FoldText(kw.Reading), want)))
      return static_cast<int>(i);
  }
  // Nothing begins so: the place in the sorted list where it would stand.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].Sub) continue;
    const THelpKeyword& kw = file.Keywords[static_cast<size_t>(lines[i].Keyword)];
    if (IndexSortKey(kw.Reading.empty() ? kw.Text : kw.Reading) >= IndexSortKey(want)) return static_cast<int>(i);
  }
  for (size_t i = lines.size(); i-- > 0;)
    if (!lines[i].Sub) return static_cast<int>(i);
  return -1;
}

std::vector<std::wstring> SearchWords(const std::wstring& query) {
  std::vector<std::wstring> words;
  const std::wstring folded = FoldText(query);
  size_t i = 0;
  while (i < folded.size()) {
    while (i < folded.size() && IsBlank(folded[i])) ++i;
    size_t start = i;
    while (i < folded.size() && !IsBlank(folded[i])) ++i;
    if (i > start) {
      std::wstring w = folded.substr(start, i - start);
      if (std::find(words.begin(), words.end(), w) == words.end()) words.push_back(w);
    }
  }
  return words;
}

std::wstring TopicSearchText(const THelpTopic& topic) {
  std::wstring text = topic.Title;
  for (const THelpBlock& b : topic.Blocks) {
    text += L'\n';
    for (const THelpRun& r : b.Label) text += r.Text;
    text += L' ';
    for (const THelpRun& r : b.Body) text += r.Text;
  }
  return text;
}

std::vector<int> SearchTopics(const THelpFile& file, const std::vector<std::wstring>& words) {
  std::vector<int> found;
  if (words.empty()) return found;
  std::vector<TWordFinder> finders;
  finders.reserve(words.size());  // each finder refers to its own copy of the word
  for (const std::wstring& w : words) finders.emplace_back(w);
  for (size_t t = 0; t < file.Topics.size(); ++t) {
    const std::wstring text = FoldText(TopicSearchText(file.Topics[t]));
    if (std::all_of(finders.begin(), finders.end(), [&](const TWordFinder& f) { return f.Find(text, 0) != std::wstring::npos; }))
      found.push_back(static_cast<int>(t));
  }
  return found;
}

std::vector<std::pair<size_t, size_t>> FindWordPlaces(const std::wstring& folded, const std::vector<std::wstring>& words,
                                                      size_t most) {
  std::vector<std::pair<size_t, size_t>> places;
  for (const std::wstring& word : words) {
    if (word.empty()) continue;
    const TWordFinder finder(word);
    size_t taken = 0;
    for (size_t at = finder.Find(folded, 0); at != std::wstring::npos && taken < most; at = finder.Find(folded, at + word.size()), ++taken)
      places.emplace_back(at, at + word.size());
  }
  std::sort(places.begin(), places.end());
  if (places.size() > most) places.resize(most);
  return places;
}

}  // namespace help
