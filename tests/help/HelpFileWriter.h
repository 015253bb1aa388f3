// Help files written as the help compiler writes them, from a THelpFile held in memory, so that a test
// can make a file of any size or shape the format allows.
#pragma once
#include "help/HelpFile.h"
#include <cstdint>
#include <string>
#include <utility>

namespace helptest {

// Little-endian values and strings, as the format stores them.
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

inline uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return ~crc;
}

inline std::string Section(const char* tag, const std::string& payload) {
  TFileWriter s;
  s.U32(static_cast<uint32_t>(payload.size()));
  return std::string(tag, 4) + s.Take() + payload;
}

// The header (length and CRC as they must be) before the sections given.
inline std::string Sealed(const std::string& sections, uint32_t sectionCount) {
  TFileWriter w;
  w.U32(1);  // version and the reserved half
  w.U32(static_cast<uint32_t>(24 + sections.size()));
  w.U32(Crc32(sections));
  w.U32(sectionCount);
  return std::string("VSSHELP\x1a", 8) + w.Take() + sections;
}

inline void WriteRuns(TFileWriter& w, const std::vector<help::THelpRun>& runs) {
  w.U32(static_cast<uint32_t>(runs.size()));
  for (const help::THelpRun& r : runs) w.U8(r.Style), w.U32(static_cast<uint32_t>(r.Target)), w.Str(r.Text);
}

// The whole file for what file holds, written as it stands (nothing is checked), with any sections
// of other kinds after the four (extraCount of them in extra).
inline std::string EncodeHelpFile(const help::THelpFile& file, const std::string& extra = {},
                                  uint32_t extraCount = 0) {
  TFileWriter w;
  w.Str(file.Title);
  w.U32(static_cast<uint32_t>(file.Home));
  const std::string head = w.Take();
  w.U32(static_cast<uint32_t>(file.Topics.size()));
  for (const help::THelpTopic& t : file.Topics) {
    w.Str(t.Id);
    w.Str(t.Title);
    w.U32(static_cast<uint32_t>(t.Blocks.size()));
    for (const help::THelpBlock& b : t.Blocks) {
      w.U8(b.Kind);
      WriteRuns(w, b.Label);
      WriteRuns(w, b.Body);
    }
  }
  const std::string topics = w.Take();
  w.U32(static_cast<uint32_t>(file.Contents.size()));
  for (const help::THelpContentsEntry& e : file.Contents)
    w.U8(static_cast<uint8_t>(e.Depth)), w.U8(e.Book ? 0 : 1), w.Str(e.Title), w.U32(static_cast<uint32_t>(e.Topic));
  const std::string contents = w.Take();
  w.U32(static_cast<uint32_t>(file.Keywords.size()));
  for (const help::THelpKeyword& k : file.Keywords) {
    w.Str(k.Text);
    w.Str(k.Reading);
    w.U32(static_cast<uint32_t>(k.Topics.size()));
    for (int t : k.Topics) w.U32(static_cast<uint32_t>(t));
  }
  const std::string keywords = w.Take();
  return Sealed(Section("HEAD", head) + Section("TOPC", topics) + Section("CONT", contents) +
                    Section("KEYW", keywords) + extra,
                4 + extraCount);
}

// A help file of count topics named "t0", "t1"…, each titled "トピック<n>" with one paragraph, each a
// page of the contents and named by the keyword "キーワード<n>".
inline help::THelpFile PlainHelp(size_t count) {
  help::THelpFile file;
  file.Title = L"テストのヘルプ";
  for (size_t i = 0; i < count; ++i) {
    const std::wstring n = std::to_wstring(i);
    file.Topics.push_back({L"t" + n, L"トピック" + n, {{help::hbParagraph, {}, {{0, -1, L"本文" + n}}}}});
    file.Contents.push_back({0, false, L"トピック" + n, static_cast<int>(i)});
    file.Keywords.push_back({L"キーワード" + n, L"", {static_cast<int>(i)}});
  }
  return file;
}

}  // namespace helptest
