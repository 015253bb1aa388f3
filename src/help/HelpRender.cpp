// A help topic as rich text: headings, emphasis, the program's texts, lists and links.
#include "help/HelpRender.h"
#include "help/HelpIndex.h"
#include <cstdio>

namespace help {

namespace {

// The space between the pane's frame and the text, in twips.
constexpr int kPageMargin = 150;

// Colour table entries (\cfN).
enum { cfText = 1, cfHeading = 2, cfProgram = 3, cfLink = 4, cfNote = 5 };

class TRtfWriter {
 public:
  explicit TRtfWriter(const THelpPalette& palette) {
    // The face is put right after loading (the table's name is only a fallback for the reader).
    FRtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\uc1"
           "{\\fonttbl{\\f0\\fnil\\fcharset128 MS UI Gothic;}}"
           "{\\colortbl;";
    for (uint32_t c : {palette.Text, palette.Heading, palette.Program, palette.Link, palette.Note}) {
      char entry[48];
      std::snprintf(entry, sizeof entry, "\\red%u\\green%u\\blue%u;", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
      FRtf += entry;
    }
    FRtf += "}\\viewkind4\\f0\\fs20\\cf1 ";
  }

  // Starts a paragraph with its indents and spacing (twips) and its character size (half points).
  // Every paragraph keeps the page's margin on both sides (a margin of the control itself is not
  // drawn again by every rich edit control when the text changes).
  void Paragraph(int leftIndent, int firstIndent, int before, int after, int size, int color, bool bold) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "\\pard\\li%d\\ri%d\\fi%d\\sb%d\\sa%d", leftIndent + kPageMargin, kPageMargin,
                  firstIndent, before, after);
    FRtf += buf;
    std::snprintf(buf, sizeof buf, "\\plain\\f0\\fs%d\\cf%d%s ", size, color, bold ? "\\b" : "");
    FRtf += buf;
    FColor = color;
    FBold = bold;
  }
  void EndParagraph() {
    FRtf += "\\par\n";
    FText += L'\r';
  }
  void Tab() {
    FRtf += "\\tab ";
    FText += L'\t';
  }

  // Within Japanese text a blank is written as a no-break space: a line then breaks between any two
  // characters where it is full, as Japanese is set, rather than only at the blanks (some rich edit
  // controls break nowhere else, which leaves short lines).
  void SetNoBreakBlanks(bool keep) { FNoBreakBlanks = keep; }

  void Text(const std::wstring& text) {
    for (wchar_t c : text) {
      if (c == L'\n') {
        FRtf += "\\line ";
        FText += L'\v';
        continue;
      }
      if (c == L'\t') {
        Tab();
        continue;
      }
      if (c == L'\r') continue;
      if (c == L' ' && FNoBreakBlanks) c = L'\x00A0';
      FText += c;
      if (c == L'\\' || c == L'{' || c == L'}') {
        FRtf += '\\';
        FRtf += static_cast<char>(c);
      } else if (c >= 0x20 && c < 0x80) {
        FRtf += static_cast<char>(c);
      } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "\\u%d?", static_cast<int>(static_cast<short>(c)));
        FRtf += buf;
      }
    }
  }

  void Runs(const std::vector<THelpRun>& runs, std::vector<THelpTextRange>& links) {
    for (const THelpRun& r : runs) {
      const bool link = r.Style & hsLink;
      const bool bold = (r.Style & hsBold) && !FBold;
      const int color = link ? cfLink : (r.Style & hsProgram) ? cfProgram : FColor;
      if (bold) FRtf += "\\b ";
      if (color != FColor) FRtf += "\\cf" + std::to_string(color) + " ";
      if (link) FRtf += "\\ul ";
      const long start = static_cast<long>(FText.size());
      Text(r.Text);
      if (link) {
        links.push_back({start, static_cast<long>(FText.size()), r.Target});
        FRtf += "\\ulnone ";
      }
      if (color != FColor) FRtf += "\\cf" + std::to_string(FColor) + " ";
      if (bold) FRtf += "\\b0 ";
    }
  }

  // The control ends the text with a paragraph mark of its own, which takes the place of the last one.
  std::string Finish() {
    if (FRtf.ends_with("\\par\n")) {
      FRtf.resize(FRtf.size() - 5);
      FText.pop_back();
    }
    return FRtf + "}";
  }
  const std::wstring& PlainText() const { return FText; }

 private:
  std::string FRtf;
  std::wstring FText;
  int FColor = cfText;
  bool FBold = false;
  bool FNoBreakBlanks = false;
};

bool HasJapanese(const std::vector<THelpRun>& runs) {
  for (const THelpRun& r : runs)
    for (wchar_t c : r.Text)
      if (c >= 0x3000) return true;
  return false;
}

// Full-width digits for a step's number ("1." as "１．"), so that every label is as wide as the
// hanging indent it stands in.
std::vector<THelpRun> FullWidthLabel(std::vector<THelpRun> label) {
  for (THelpRun& r : label)
    for (wchar_t& c : r.Text) {
      if (c >= L'0' && c <= L'9') c = static_cast<wchar_t>(c - L'0' + 0xFF10);
      else if (c == L'.') c = 0xFF0E;
    }
  return label;
}

}  // namespace

TRenderedTopic RenderTopic(const THelpFile& file, int index, const THelpMarkWidths& marks, const THelpPalette& palette) {
  TRenderedTopic out;
  const THelpTopic& topic = file.Topics.at(static_cast<size_t>(index));
  TRtfWriter w(palette);
  w.SetNoBreakBlanks(HasJapanese({THelpRun{0, -1, topic.Title}}));
  w.Paragraph(0, 0, 80, 200, 28, cfHeading, true);
  w.Text(topic.Title);
  w.EndParagraph();
  for (const THelpBlock& b : topic.Blocks) {
    w.SetNoBreakBlanks(b.Kind != hbProgramText && (HasJapanese(b.Body) || HasJapanese(b.Label)));
    switch (b.Kind) {
      case hbHeading:
        w.Paragraph(0, 0, 240, 80, 22, cfHeading, true);
        w.Runs(b.Body, out.Links);
        break;
      case hbSubheading:
        w.Paragraph(0, 0, 160, 40, 20, cfHeading, true);
        w.Runs(b.Body, out.Links);
        break;
      case hbBullet:
        // The mark hangs in the indent, which is as wide as the mark.
        w.Paragraph(240 + marks.Bullet, -marks.Bullet, 0, 60, 20, cfText, false);
        w.Text(L"・");
        w.Runs(b.Body, out.Links);
        break;
      case hbNumbered:
        w.Paragraph(100 + marks.Number, -marks.Number, 0, 60, 20, cfText, false);
        w.Runs(FullWidthLabel(b.Label), out.Links);
        w.Runs(b.Body, out.Links);
        break;
      case hbDefinition:
        // The term on a line of its own, its description indented below it.
        w.Paragraph(200, 0, 80, 0, 20, cfText, true);
        w.Runs(b.Label, out.Links);
        w.EndParagraph();
        w.Paragraph(640, 0, 0, 80, 20, cfText, false);
        w.Runs(b.Body, out.Links);
        break;
      case hbProgramText:
        w.Paragraph(480, 0, 0, 120, 20, cfProgram, false);
        w.Runs(b.Body, out.Links);
        break;
      case hbNote:
        w.Paragraph(240 + marks.Note, -marks.Note, 0, 100, 20, cfNote, false);
        w.Text(L"※");
        w.Runs(b.Body, out.Links);
        break;
      case hbSeeAlso:
        w.Paragraph(0, 0, 240, 60, 20, cfHeading, true);
        w.Text(kSeeAlsoCaption);
        for (const THelpRun& link : b.Body) {
          w.EndParagraph();
          w.Paragraph(240, 0, 0, 20, 20, cfText, false);
          w.Runs({link}, out.Links);
        }
        break;
      case hbParagraph:
        w.Paragraph(0, 0, 0, 100, 20, cfText, false);
        w.Runs(b.Body, out.Links);
        break;
    }
    w.EndParagraph();
  }
  out.Rtf = w.Finish();
  out.Text = w.PlainText();
  return out;
}

std::vector<THelpTextRange> FindWords(const std::wstring& text, const std::vector<std::wstring>& words, size_t most) {
  std::vector<THelpTextRange> hits;
  for (const auto& [start, end] : FindWordPlaces(FoldText(text), words, most))
    hits.push_back({static_cast<long>(start), static_cast<long>(end), -1});
  return hits;
}

}  // namespace help
