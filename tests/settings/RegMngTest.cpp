// The settings manager over an INI file: lookups, conversions, derived keys, error boxes, file layout.
#include "settings/RegMng.h"
#include "settings/SettingsTestKit.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "ui/Error.h"
#include <gtest/gtest.h>

using namespace settings;
using namespace settingstest;

namespace {

class RegManagerIni : public testing::Test {
 protected:
  RegManagerIni() {
    FManager.SetRegType(rtIni);
    FManager.SetIniFileName(FPath);
  }
  // Puts "key=value" lines into section S of a fresh file.
  void Store(const std::string& lines) { WriteBytes(FPath, "[S]\r\n" + lines); }
  TRegFiler& Item(const std::wstring& ident, const std::wstring& defaultValue = {}) {
    FManager.RegItems().Clear();
    FManager.RegItems().Add(L"Item", L"S", ident, defaultValue);
    return FManager.Filer(L"Item");
  }

  testsupport::TempTree FTree;
  std::wstring FPath = FTree.Path(L"test.ini");
  TRegManager FManager;
  ErrorBoxRecorder FBoxes{FManager};
};

}  // namespace

TEST_F(RegManagerIni, LookupIgnoresCaseFirstItemWinsUnknownNameShowsBox) {
  FManager.RegItems().Add(L"Left", L"Bounds", L"Left", L"1");
  FManager.RegItems().Add(L"LEFT", L"Other", L"Left", L"2");
  FManager.RegItems().Add(L"On", L"Bounds", L"On", L"True");
  EXPECT_EQ(FManager.RegItems().FindItem(L"left"), &FManager.RegItems().Items(0));
  FManager.Filer(L"left").WriteInteger(-5);
  EXPECT_EQ(ReadBytes(FPath), "[Bounds]\r\nLeft=-5\r\n");
  EXPECT_TRUE(FBoxes.Texts().empty());

  EXPECT_TRUE(FManager.Filer(L"On").ReadBool());
  // The unknown name unbinds the filer: nothing of the previous item leaks into these calls.
  EXPECT_FALSE(FManager.Filer(L"Nope").ReadBool());
  EXPECT_EQ(FManager.Filer(L"Nope").ReadString(), L"");
  EXPECT_EQ(FManager.Filer(L"Nope").ReadInteger(), 0);
  FManager.Filer(L"Nope").WriteString(L"x");
  EXPECT_EQ(FBoxes.Texts(), std::vector<std::wstring>(4, L"[' Nope '] is invalid."));
  EXPECT_EQ(ReadBytes(FPath), "[Bounds]\r\nLeft=-5\r\n");
}

TEST_F(RegManagerIni, MissingFileYieldsDefaultsWithoutCreatingIt) {
  EXPECT_EQ(Item(L"SplashCount", L"100").ReadInteger(), 100);
  EXPECT_EQ(Item(L"ExtString", L"*.txt").ReadString(), L"*.txt");
  EXPECT_EQ(Item(L"Left").ReadInteger(), 0);
  EXPECT_FALSE(Exists(FPath));
}

TEST_F(RegManagerIni, BooleanDefaultsAndStoredValues) {
  for (const wchar_t* d : {L"True", L"TRUE", L"true", L"YES", L"yes", L"1"}) EXPECT_TRUE(Item(L"Missing", d).ReadBool()) << d;
  for (const wchar_t* d : {L"False", L"", L"0", L"2", L" true", L"on"}) EXPECT_FALSE(Item(L"Missing", d).ReadBool()) << d;

  Store("t=TRUE\r\ntwo=2\r\nbig=256\r\nbig1=257\r\nneg=-1\r\nhex=0x01\r\nempty=\r\n");
  const std::pair<const wchar_t*, bool> stored[] = {{L"t", false},    {L"two", true}, {L"big", false},  {L"big1", true},
                                                    {L"neg", true},   {L"hex", true}, {L"empty", false}};
  for (auto [key, expected] : stored) EXPECT_EQ(Item(key, L"True").ReadBool(), expected) << key;

  Item(L"w").WriteBool(true);
  Item(L"w2").WriteBool(false);
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\nt=TRUE\r\ntwo=2\r\nbig=256\r\nbig1=257\r\nneg=-1\r\nhex=0x01\r\nempty=\r\nw=1\r\nw2=0\r\n");
}

TEST_F(RegManagerIni, IntegersFromStoredTextAndDefaults) {
  Store("lead=\" 12\"\r\ntrail=\"12 \"\r\nhex=$1F\r\nempty=\r\n");  // quotes keep the blanks for the conversion
  EXPECT_EQ(Item(L"lead").ReadInteger(), 12);
  EXPECT_EQ(Item(L"trail").ReadInteger(), 0);
  EXPECT_EQ(Item(L"hex").ReadInteger(), 31);
  EXPECT_EQ(Item(L"empty", L"100").ReadInteger(), 0);  // a stored empty text is not the default
  EXPECT_EQ(Item(L"missing", L"12 ").ReadInteger(), 0);
}

TEST_F(RegManagerIni, EmptySectionOrKeyNeitherOpensTheStoreNorShowsABox) {
  FManager.RegItems().Add(L"NoSection", L"", L"k", L"dflt");
  FManager.RegItems().Add(L"NoIdent", L"S", L"", L"dflt");
  EXPECT_EQ(FManager.Filer(L"NoSection").ReadString(), L"dflt");
  FManager.Filer(L"NoSection").WriteString(L"x");
  FManager.Filer(L"NoIdent").WriteInteger(1);
  EXPECT_EQ(FManager.Filer(L"NoIdent").ReadString(), L"dflt");
  FManager.SetIniFileName(L"");  // would show a box if the store were opened
  FManager.Filer(L"NoIdent").WriteString(L"x");
  EXPECT_FALSE(Exists(FPath));
  EXPECT_TRUE(FBoxes.Texts().empty());
}

TEST_F(RegManagerIni, BackEndThatIsNotNamedShowsItsBoxPerStoreAccess) {
  FManager.SetIniFileName(L"");
  EXPECT_EQ(Item(L"k", L"dflt").ReadString(), L"dflt");
  Item(L"k").WriteFont(TRegFont{});  // four values, four boxes
  EXPECT_EQ(FBoxes.Texts(), std::vector<std::wstring>(5, L"can not create Inifile object."));

  FBoxes.Texts().clear();
  FManager.SetRegType(rtReg);
  FManager.SetRegDir(L"");
  EXPECT_EQ(Item(L"k", L"7").ReadInteger(), 7);
  Item(L"k").WriteBool(true);
  EXPECT_EQ(FBoxes.Texts(), std::vector<std::wstring>(2, L"can not create Registry object."));
}

TEST_F(RegManagerIni, ManagerPropertiesAndFileChangesTakeEffectAtOnce) {
  Item(L"k").WriteString(L"first");
  WriteBytes(FPath, "[S]\r\nk=edited\r\n");
  EXPECT_EQ(Item(L"k").ReadString(), L"edited");  // nothing is cached between calls
  FManager.SetIniFileName(FTree.Path(L"other.ini"));
  EXPECT_EQ(Item(L"k", L"dflt").ReadString(), L"dflt");
}

TEST_F(RegManagerIni, RefusedWriteRaisesAndEarlierWritesStay) {
  Item(L"a").WriteString(L"1");
  SetFileAttributesW(FPath.c_str(), FILE_ATTRIBUTE_READONLY);
  const settings::TSettingsOutcome refused = Item(L"b").WriteString(L"2");
  EXPECT_FALSE(refused.Ok);
  EXPECT_EQ(refused.Message, FPath + L" に書き込めません");
  SetFileAttributesW(FPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\na=1\r\n");
}

TEST_F(RegManagerIni, StringListsLeaveNoStaleKeys) {
  TRegFiler& filer = Item(L"L");
  filer.WriteStrings({L"a", L"b", L"c", L"d", L"e"});
  filer.WriteStrings({L"x", L"y", L"z"});
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\nL_ItemCount=3\r\nL_Item0=x\r\nL_Item1=y\r\nL_Item2=z\r\n");
  std::vector<std::wstring> list{L"old"};
  filer.ReadStrings(list);
  EXPECT_EQ(list, (std::vector<std::wstring>{L"x", L"y", L"z"}));

  filer.WriteStrings({});
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\n");
  filer.ReadStrings(list);
  EXPECT_TRUE(list.empty());
}

TEST_F(RegManagerIni, StreamsAsHexLines) {
  TRegFiler& filer = Item(L"D");
  TByteStream out;
  for (int i = 0; i < 33; ++i) out.Bytes.push_back(static_cast<uint8_t>(i * 7));
  out.Position = 20;  // the whole stream is stored, whatever the position
  filer.WriteStream(out);
  EXPECT_EQ(out.Position, 33u);
  std::string hex;
  for (int i = 0; i < 32; ++i) hex += "0123456789ABCDEF"[(i * 7) >> 4], hex += "0123456789ABCDEF"[(i * 7) & 15];
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\nD_c=2\r\nD_d0=" + hex + "\r\nD_d1=E0\r\n");

  TByteStream in;
  in.Bytes = {0xEE, 0xEE, 0xEE};
  in.Position = 1;  // read bytes go at the position
  filer.ReadStream(in);
  ASSERT_EQ(in.Bytes.size(), 34u);
  EXPECT_EQ(in.Bytes[0], 0xEE);
  EXPECT_TRUE(std::equal(out.Bytes.begin(), out.Bytes.end(), in.Bytes.begin() + 1));

  TByteStream small;
  small.Bytes = {1};
  filer.WriteStream(small);
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\nD_c=1\r\nD_d0=01\r\n");
  TByteStream empty;
  filer.WriteStream(empty);
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\n");

  Store("D_c=2\r\nD_d0=0A1\r\nD_d1=QQ\r\n");
  TByteStream odd;
  filer.ReadStream(odd);
  EXPECT_EQ(odd.Bytes, (std::vector<uint8_t>{10, 1, 0}));
}

TEST_F(RegManagerIni, FontsRoundTripAndBadColourRaises) {
  TRegFiler& filer = Item(L"F");
  const TRegFont written{L"ＭＳ ゴシック", comm::FontHeight(9), SHIFTJIS_CHARSET, fsBold | fsUnderline,
                         static_cast<TColor>(0x80000000 | COLOR_WINDOWTEXT)};
  filer.WriteFont(written);
  EXPECT_NE(ReadBytes(FPath).find("F_FontSize=9\r\n"), std::string::npos);  // stored in points
  TRegFont other{L"Arial", comm::FontHeight(20), SHIFTJIS_CHARSET, fsItalic, RGB(1, 2, 3)};
  filer.ReadFont(other);
  EXPECT_EQ(other, written);

  Store("F_FontName=Tahoma\r\nF_FontSize=abc\r\nF_FontColor=$00563412\r\nF_FontStyle=xyz\r\n");
  filer.ReadFont(other);
  EXPECT_EQ(other, (TRegFont{L"Tahoma", -12, SHIFTJIS_CHARSET, 0, RGB(0x12, 0x34, 0x56)}));  // size kept, style none

  Store("F_FontName=Courier\r\nF_FontSize=11\r\nF_FontColor=purple-ish\r\n");
  const settings::TSettingsOutcome unread = filer.ReadFont(other);
  EXPECT_FALSE(unread.Ok);
  EXPECT_NE(unread.Message.find(L"'purple-ish'"), std::wstring::npos);
  EXPECT_EQ(other.Name, L"Courier");  // what was read before the colour stays read
  EXPECT_EQ(comm::FontPoints(other.Height), 11);

  // Points and pixel heights at 96 DPI round to the nearest and come back as they were, both signs.
  for (int points = -100; points <= 100; ++points) EXPECT_EQ(comm::FontPoints(comm::FontHeight(points)), points);
  EXPECT_EQ(comm::FontHeight(9), -12);
  EXPECT_EQ(comm::FontHeight(10), -13);
  EXPECT_EQ(comm::FontHeight(-12), 16);  // a negative size is a cell height in pixels
  EXPECT_EQ(comm::FontPoints(-13), 10);
}

TEST_F(RegManagerIni, RemovedItemUnbindsTheFilerAndTablesCopy) {
  TRegFiler& filer = Item(L"k", L"dflt");
  FManager.RegItems().Clear();
  EXPECT_EQ(filer.Item(), nullptr);
  EXPECT_EQ(filer.ReadString(), L"");

  TRegItems copy;
  copy.Add(L"A", L"S1", L"I1", L"D1");
  FManager.SetRegItems(copy);
  copy.Items(0).Name = L"changed";  // the manager holds copies, not shared items
  const TRegItem& a = FManager.RegItems().Items(0);
  EXPECT_EQ(a.Name + a.Section + a.Ident + a.DefaultValue, L"AS1I1D1");
  EXPECT_THROW(FManager.RegItems().Items(1), std::out_of_range);
}

// A corrupt count is bounded by the lines the file has: reading and rewriting end at once.
TEST_F(RegManagerIni, HugeStoredCountsAreBoundedByTheFile) {
  Store("L_ItemCount=2000000000\r\nL_Item0=a\r\nL_Item1=b\r\nD_c=2147483647\r\nD_d0=0A0B\r\n");
  TRegFiler& list = Item(L"L");
  std::vector<std::wstring> entries;
  list.ReadStrings(entries);
  ASSERT_EQ(entries.size(), 6u);  // the file's six lines
  EXPECT_EQ(entries[0] + entries[1] + entries[5], L"ab");
  list.WriteStrings({L"x"});
  EXPECT_EQ(ReadBytes(FPath), "[S]\r\nL_ItemCount=1\r\nL_Item0=x\r\nD_c=2147483647\r\nD_d0=0A0B\r\n");
  TByteStream stream;
  Item(L"D").ReadStream(stream);
  EXPECT_EQ(stream.Bytes, (std::vector<uint8_t>{10, 11}));
}

// The settings show no window: an error is noted for the program to show, once.
TEST(RegManagerBox, AFailureIsNotedNotShown) {
  TRegManager manager;
  testsupport::DialogAnswerer answerer;
  EXPECT_EQ(manager.Filer(L"Missing").ReadInteger(), 0);
  EXPECT_TRUE(answerer.Shown().empty());
  const settings::TSettingsOutcome noted = manager.TakeFailure();
  EXPECT_FALSE(noted.Ok);
  EXPECT_EQ(noted.Message, L"[' Missing '] is invalid.");
  EXPECT_TRUE(manager.TakeFailure().Ok);  // taken once
}
