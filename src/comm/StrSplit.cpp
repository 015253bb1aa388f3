// Splitting at delimiter characters.
#include "comm/StrSplit.h"

namespace comm {

int comm_StrSplit(std::wstring_view text, std::wstring_view delimiters, std::vector<std::wstring>& list) {
  list.clear();
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (delimiters.find(text[i]) != std::wstring_view::npos) {
      list.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) list.emplace_back(text.substr(start));
  return static_cast<int>(list.size());
}

}  // namespace comm
