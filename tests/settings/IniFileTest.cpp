// The INI reader and writer on real files: layout of writes, reading rules, failures, malformed input.
#include "settings/IniFile.h"
#include "comm/Cp932.h"
#include "comm/Utf8.h"
#include "settings/SettingsTestKit.h"
#include "support/TempTree.h"
#include "ui/Error.h"
#include <gtest/gtest.h>
#include <random>

using settings::TIniFile;
using namespace settingstest;

namespace {

class IniFile : public testing::Test {
 protected:
  testsupport::TempTree FTree;
  std::wstring FPath = FTree.Path(L"VornaStampShifter.ini");
  TIniFile FIni{FPath};
};

}  // namespace

TEST_F(IniFile, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  EXPECT_EQ(FIni.ReadString(L"Bounds", L"Left", L"dflt"), L"dflt");
  FIni.DeleteKey(L"Bounds", L"Left");
  EXPECT_FALSE(Exists(FPath));  // neither a read nor a delete makes the file

  FIni.WriteString(L"Bounds", L"Left", L"10");
  EXPECT_EQ(ReadBytes(FPath), "[Bounds]\r\nLeft=10\r\n");
  EXPECT_EQ(FolderNames(FTree.Root()), std::vector<std::wstring>{L"VornaStampShifter.ini"});  // no temp file left
}

TEST_F(IniFile, WritesReplaceInPlaceAppendToSectionOrFile) {
  WriteBytes(FPath, "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3");
  FIni.WriteString(L"a", L"X", L"9");    // case-insensitive match keeps the stored spelling
  FIni.WriteString(L"A", L"w", L"4");    // new key after the last filled line of its section
  FIni.WriteString(L"C", L"v", L"5");    // new section at the end; the unterminated last line gets its end
  FIni.WriteString(L"B", L"u", L"6");
  EXPECT_EQ(ReadBytes(FPath), "[A]\r\nx=9\r\ny=2\r\nw=4\r\n\r\n[B]\r\nz=3\r\nu=6\r\n[C]\r\nv=5\r\n");
  EXPECT_EQ(FIni.ReadString(L"b", L"Z", L""), L"3");

  FIni.DeleteKey(L"A", L"y");
  EXPECT_EQ(ReadBytes(FPath), "[A]\r\nx=9\r\nw=4\r\n\r\n[B]\r\nz=3\r\nu=6\r\n[C]\r\nv=5\r\n");
}

TEST_F(IniFile, OnlyTheFirstSectionOfAName) {
  WriteBytes(FPath, "[A]\nx=1\n[B]\n[a]\ny=2\n");  // LF-only lines are read and kept
  EXPECT_EQ(FIni.ReadString(L"A", L"y", L"none"), L"none");
  FIni.WriteString(L"A", L"y", L"3");
  EXPECT_EQ(ReadBytes(FPath), "[A]\nx=1\ny=3\r\n[B]\n[a]\ny=2\n");
}

TEST_F(IniFile, ReadTrimsBlanksAndOnePairOfQuotes) {
  WriteBytes(FPath,
             "  [ S ]  \r\n a \t=  hello  world \t\r\nb=\"  in quotes \"\r\nc='single'\r\nd=\"\"twice\"\"\r\n"
             "e=\"mixed'\r\nf=\"\r\ng=   \r\n");
  EXPECT_EQ(FIni.ReadString(L"S", L"a", L"?"), L"hello  world");
  EXPECT_EQ(FIni.ReadString(L"S", L"b", L"?"), L"  in quotes ");
  EXPECT_EQ(FIni.ReadString(L"S", L"c", L"?"), L"single");
  EXPECT_EQ(FIni.ReadString(L"S", L"d", L"?"), L"\"twice\"");
  EXPECT_EQ(FIni.ReadString(L"S", L"e", L"?"), L"\"mixed'");
  EXPECT_EQ(FIni.ReadString(L"S", L"f", L"?"), L"\"");
  EXPECT_EQ(FIni.ReadString(L"S", L"g", L"?"), L"");  // present but empty is not missing
}

TEST_F(IniFile, ShiftJisBytesOnDiskAndNamesWithBracketSecondBytes) {
  // ゾ is 0x83 0x5D ("]" as second byte), ー is 0x81 0x5B ("["), ソ is 0x83 0x5C ("\").
  FIni.WriteString(L"ゾーン", L"ソフト", L"表示=ON");
  std::string expected = "[" + comm::WideToCp932(L"ゾーン") + "]\r\n" + comm::WideToCp932(L"ソフト") + "=" +
                         comm::WideToCp932(L"表示=ON") + "\r\n";
  EXPECT_EQ(ReadBytes(FPath), expected);
  EXPECT_EQ(FIni.ReadString(L"ゾーン", L"ソフト", L""), L"表示=ON");
  FIni.WriteString(L"ゾーン", L"ソフト", L"2");
  EXPECT_EQ(FIni.ReadString(L"ゾーン", L"ソフト", L""), L"2");
}

TEST_F(IniFile, ReadReturnsAtMost2047BytesWholeCharactersOnly) {
  std::wstring ascii(3000, L'a');
  std::wstring kana(1500, L'あ');  // two bytes each
  FIni.WriteString(L"S", L"ascii", ascii);
  FIni.WriteString(L"S", L"kana", kana);
  FIni.WriteString(L"S", L"odd", L"a" + kana);
  EXPECT_EQ(FIni.ReadString(L"S", L"ascii", L""), ascii.substr(0, 2047));
  EXPECT_EQ(FIni.ReadString(L"S", L"kana", L""), kana.substr(0, 1023));  // 2046 bytes: no half character
  EXPECT_EQ(FIni.ReadString(L"S", L"odd", L""), L"a" + kana.substr(0, 1023));
}

TEST_F(IniFile, LineBreaksInTextsCannotAddLines) {
  FIni.WriteString(L"S", L"k", L"one\r\n[Evil]\ninjected=1");
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\nk=one  [Evil] injected=1\r\n");
}

TEST_F(IniFile, RefusedWriteRaisesAndLeavesTheOldFile) {
  const std::string before = "[A]\r\nx=1\r\n";
  WriteBytes(FPath, before);
  SetFileAttributesW(FPath.c_str(), FILE_ATTRIBUTE_READONLY);
  const settings::TSettingsOutcome refused = FIni.WriteString(L"A", L"x", L"2");
  EXPECT_FALSE(refused.Ok);
  EXPECT_EQ(refused.Message, FPath + L" に書き込めません");
  EXPECT_FALSE(FIni.DeleteKey(L"A", L"x").Ok);
  SetFileAttributesW(FPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(FPath), before);
  EXPECT_EQ(FolderNames(FTree.Root()).size(), 1u);

  TIniFile inMissingFolder(FTree.Path(L"no-such-folder\\x.ini"));
  EXPECT_FALSE(inMissingFolder.WriteString(L"A", L"x", L"1").Ok);
  TIniFile onAFolder(FTree.MakeDir(L"folder.ini"));
  EXPECT_FALSE(onAFolder.WriteString(L"A", L"x", L"1").Ok);
  EXPECT_EQ(onAFolder.ReadString(L"A", L"x", L"d"), L"d");
}

// Malformed files: every key that stands on a line of its own in its section is still read, and a
// write keeps every other byte as it was.
TEST_F(IniFile, MalformedBytesNeitherCrashNorLoseReadableKeys) {
  std::mt19937 random(20260);
  std::uniform_int_distribution<int> byte(0, 255), length(0, 120), kind(0, 9);
  const std::string oddLines[] = {"[", "[[[", "]]]", "=", "==x", std::string("a\0b=c\0d", 7), "\x81", "\xFC\r",
                                  "\r\r\r", "[\x83", std::string(1 << 20, 'Q') + "=" + std::string(100, 'v')};
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    std::string content;
    auto junk = [&] {
      if (kind(random) < 3) return oddLines[static_cast<size_t>(byte(random)) % std::size(oddLines)];
      std::string line;
      for (int n = length(random); n > 0; --n) {
        char c = static_cast<char>(byte(random));
        line += c == '\n' ? ' ' : c;
      }
      // Junk must not open a section of its own, or the keys below it would rightly move there.
      size_t first = line.find_first_not_of(" \t\r");
      if (first != std::string::npos && line[first] == '[')
        for (char& c : line)
          if (c == ']') c = '}';
      return line;
    };
    for (int s = 0; s < 4; ++s) {
      content += junk() + "\n[Sec" + std::to_string(s) + "]\r\n" + junk() + "\n";
      content += "key" + std::to_string(s) + "=value" + std::to_string(s) + "\r\n" + junk() + "\n";
    }
    content += junk();
    WriteBytes(FPath, content);

    for (int s = 0; s < 4; ++s)
      EXPECT_EQ(FIni.ReadString(L"Sec" + std::to_wstring(s), L"key" + std::to_wstring(s), L"lost"), L"value" + std::to_wstring(s));

    FIni.WriteString(L"Sec2", L"added", L"yes");
    std::string after = ReadBytes(FPath);
    size_t at = after.find("added=yes\r\n");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(after.substr(0, at) + after.substr(at + 11), content);
    EXPECT_EQ(FIni.ReadString(L"Sec2", L"added", L""), L"yes");
    EXPECT_EQ(FIni.ReadString(L"Sec3", L"key3", L"lost"), L"value3");
  }
}

// Files saved by an editor with a byte-order mark: read in their encoding, written back in it.
TEST_F(IniFile, ByteOrderMarkFilesKeepTheirEncodingAndEveryLineEndCounts) {
  const std::string utf8Body = "[Bounds]\r\nLeft=1\r\n[Application]\r\nExtString=" + comm::WideToUtf8(L"表;txt") + "\r\n";
  WriteBytes(FPath, "\xEF\xBB\xBF" + utf8Body);
  EXPECT_EQ(FIni.ReadString(L"Bounds", L"Left", L"?"), L"1");  // the first section is found behind the mark
  EXPECT_EQ(FIni.ReadString(L"Application", L"ExtString", L"?"), L"表;txt");
  FIni.WriteString(L"Bounds", L"Left", L"2");
  EXPECT_EQ(ReadBytes(FPath), "\xEF\xBB\xBF[Bounds]\r\nLeft=2\r\n[Application]\r\nExtString=" + comm::WideToUtf8(L"表;txt") + "\r\n");

  auto utf16 = [](std::wstring_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
      char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
      bytes += bigEndian ? high : low;
      bytes += bigEndian ? low : high;
    }
    return bytes;
  };
  for (bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "UTF-16 big endian" : "UTF-16 little endian");
    WriteBytes(FPath, utf16(L"[A]\r\nx=表示\r\n", bigEndian));
    EXPECT_EQ(FIni.ReadString(L"A", L"x", L"?"), L"表示");
    FIni.WriteString(L"A", L"y", L"한");
    EXPECT_EQ(ReadBytes(FPath), utf16(L"[A]\r\nx=表示\r\ny=한\r\n", bigEndian));
  }

  WriteBytes(FPath, "[A]\rx=1\ry=2\n[B]\r\nz=3\rw=4");  // CR alone, LF alone and CR LF each end a line
  EXPECT_EQ(FIni.ReadString(L"A", L"y", L"?") + FIni.ReadString(L"B", L"z", L"?") + FIni.ReadString(L"B", L"w", L"?"), L"234");
  FIni.WriteString(L"A", L"x", L"5");
  EXPECT_EQ(ReadBytes(FPath), "[A]\rx=5\ry=2\n[B]\r\nz=3\rw=4");
}

// Without a mark the file is Shift-JIS and untouched lines keep their bytes, also bytes that two
// code points share (0x87 0x90 and 0x81 0xE0 both read as U+2252); a text without a Shift-JIS form
// makes the whole file UTF-8 rather than "?".
TEST_F(IniFile, TextWithoutAShiftJisFormTurnsTheFileIntoUtf8) {
  const std::string shiftJis = "[A]\r\nnec=\x87\x90\r\njis=" + comm::WideToCp932(L"表示") + "\r\n";
  WriteBytes(FPath, shiftJis);
  FIni.WriteString(L"A", L"ext", L"～;表");  // every character has a Shift-JIS form
  EXPECT_EQ(ReadBytes(FPath), shiftJis + "ext=" + comm::WideToCp932(L"～;表") + "\r\n");

  FIni.WriteString(L"A", L"ext", L"한;🙂;é");
  EXPECT_EQ(ReadBytes(FPath), "\xEF\xBB\xBF[A]\r\nnec=" + comm::WideToUtf8(L"\x2252") + "\r\njis=" + comm::WideToUtf8(L"表示") +
                                  "\r\next=" + comm::WideToUtf8(L"한;🙂;é") + "\r\n");
  EXPECT_EQ(FIni.ReadString(L"A", L"ext", L""), L"한;🙂;é");
  EXPECT_EQ(FIni.ReadString(L"A", L"jis", L""), L"表示");

  TIniFile fresh(FTree.Path(L"fresh.ini"));
  fresh.WriteString(L"S", L"k", L"é");
  EXPECT_EQ(ReadBytes(fresh.FileName()), "\xEF\xBB\xBF[S]\r\nk=" + comm::WideToUtf8(L"é") + "\r\n");
}

TEST_F(IniFile, BlanksAroundNamesAreIgnoredOnBothSides) {
  WriteBytes(FPath, "[ Bounds\t]\r\n Left =5\r\n");
  EXPECT_EQ(FIni.ReadString(L" Bounds ", L"\tLeft", L"?"), L"5");
  FIni.WriteString(L"Bounds ", L" Left", L"6");
  FIni.WriteString(L" Bounds", L" Top ", L"7");
  FIni.WriteString(L" New ", L" Key ", L"8");
  EXPECT_EQ(ReadBytes(FPath), "[ Bounds\t]\r\nLeft=6\r\nTop=7\r\n[New]\r\nKey=8\r\n");
  FIni.WriteString(L"  ", L"Key", L"9");  // a name of blanks only is no name
  FIni.WriteString(L"New", L"\t", L"9");
  EXPECT_EQ(FIni.ReadString(L"New", L" ", L"none"), L"none");
  EXPECT_EQ(ReadBytes(FPath), "[ Bounds\t]\r\nLeft=6\r\nTop=7\r\n[New]\r\nKey=8\r\n");
}
