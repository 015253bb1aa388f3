// A help topic as rich text: the RTF that the topic pane loads, its plain text and its links' places.
#pragma once
#include "help/HelpFile.h"
#include <cstdint>
#include <string>
#include <vector>

namespace help {

// A stretch of the shown text, in the character positions of the rich edit control.
struct THelpTextRange {
  long Start = 0, End = 0;
  int Target = -1;  // for a link: the topic it opens
};

struct TRenderedTopic {
  std::string Rtf;
  // The text as the control holds it: "\r" ends a paragraph, "\v" breaks a line within one.
  std::wstring Text;
  std::vector<THelpTextRange> Links;
};

// The caption of the related topics at the end of a topic.
constexpr const wchar_t* kSeeAlsoCaption = L"関連項目";

// How wide the marks that hang in front of list items and notes are in the topic's font, in twips:
// the text beside a mark and the lines below it then start at one edge. The defaults are those of a
// full-width character of the 10-point text.
struct THelpMarkWidths {
  int Bullet = 200;  // "・"
  int Note = 200;    // "※"
  int Number = 400;  // "１．", the widest step number
};

// The colours of a topic's text, red in the lowest byte. The defaults are the help's own; a
// high-contrast theme gives its text colours instead.
struct THelpPalette {
  uint32_t Text = 0x000000;
  uint32_t Heading = 0x602000;  // dark blue
  uint32_t Program = 0x000080;  // dark red: the program's own texts
  uint32_t Link = 0xCC0000;     // blue
  uint32_t Note = 0x006000;     // dark green
};

TRenderedTopic RenderTopic(const THelpFile& file, int topic, const THelpMarkWidths& marks = {},
                           const THelpPalette& palette = {});

// The places of the words (folded, as SearchWords gives them) in a shown text, the first most of them
// in the order of the text: the search's hits.
std::vector<THelpTextRange> FindWords(const std::wstring& text, const std::vector<std::wstring>& words,
                                      size_t most = SIZE_MAX);

}  // namespace help
