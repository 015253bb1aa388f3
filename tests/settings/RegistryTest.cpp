// The settings manager over the registry, in a scratch key below HKEY_CURRENT_USER that is removed after.
#include "settings/RegMng.h"
#include "settings/SettingsTestKit.h"
#include "ui/Error.h"
#include <gtest/gtest.h>
#include <functional>

using namespace settings;
using namespace settingstest;

namespace {

const std::wstring kTestRoot = L"Software\\VornaStampShifterTest";

class RegManagerRegistry : public testing::Test {
 protected:
  RegManagerRegistry() {
    FDir = kTestRoot + L"\\Settings-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    FManager.SetRegType(rtReg);
    FManager.SetRegDir(FDir);
    FManager.RegItems().Add(L"Left", L"Bounds", L"Left", L"5");
    FManager.RegItems().Add(L"Data", L"Blob", L"Data");
  }
  ~RegManagerRegistry() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, FDir.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestRoot.c_str());  // only when no other test run still uses it
  }
  bool SubkeyExists(const std::wstring& section) {
    comm::TRegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, (FDir + L"\\" + section).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
  }
  void SetRaw(const std::wstring& section, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    comm::TRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (FDir + L"\\" + section).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
  DWORD RawType(const std::wstring& section, const std::wstring& name) {
    DWORD type = REG_NONE;
    if (RegGetValueW(HKEY_CURRENT_USER, (FDir + L"\\" + section).c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr) !=
        ERROR_SUCCESS)
      return REG_NONE;
    return type;
  }
  // What a call returned or noted with the manager.
  std::wstring ErrorOf(const std::function<settings::TSettingsOutcome()>& call) {
    settings::TSettingsOutcome outcome = call();
    outcome &= FManager.TakeFailure();
    return outcome ? L"<no error>" : outcome.Message;
  }

  std::wstring FDir;
  TRegManager FManager;
  ErrorBoxRecorder FBoxes{FManager};
};

}  // namespace

TEST_F(RegManagerRegistry, ValuesAreTextInSubkeysAndReadsCreateNothing) {
  EXPECT_EQ(FManager.Filer(L"Left").ReadInteger(), 5);
  EXPECT_FALSE(SubkeyExists(L"Bounds"));
  FManager.Filer(L"Left").WriteInteger(-300);
  EXPECT_EQ(RawType(L"Bounds", L"Left"), static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(FManager.Filer(L"Left").ReadString(), L"-300");

  FManager.Filer(L"Left").WriteStrings({L"一", L"二"});
  FManager.Filer(L"Left").WriteStrings({L"三"});
  EXPECT_EQ(RawType(L"Bounds", L"Left_Item1"), static_cast<DWORD>(REG_NONE));  // removed
  std::vector<std::wstring> list;
  FManager.Filer(L"Left").ReadStrings(list);
  EXPECT_EQ(list, std::vector<std::wstring>{L"三"});

  const wchar_t expand[] = L"%TEMP%\\x";
  SetRaw(L"Bounds", L"Left", REG_EXPAND_SZ, expand, sizeof(expand));
  EXPECT_EQ(FManager.Filer(L"Left").ReadString(), L"%TEMP%\\x");  // as stored, not expanded
  EXPECT_TRUE(FBoxes.Texts().empty());
}

TEST_F(RegManagerRegistry, HugeStoredCountIsBoundedByTheValuesThere) {
  FManager.Filer(L"Left").WriteStrings({L"a", L"b"});
  SetRaw(L"Bounds", L"Left_ItemCount", REG_SZ, L"2000000000", 22);
  std::vector<std::wstring> list;
  FManager.Filer(L"Left").ReadStrings(list);
  EXPECT_EQ(list, (std::vector<std::wstring>{L"a", L"b", L""}));  // three values in the subkey
  FManager.Filer(L"Left").WriteStrings({});
  EXPECT_EQ(RawType(L"Bounds", L"Left_Item1"), static_cast<DWORD>(REG_NONE));
  EXPECT_EQ(RawType(L"Bounds", L"Left_ItemCount"), static_cast<DWORD>(REG_NONE));
}

TEST_F(RegManagerRegistry, StreamsAreBinaryValues) {
  TByteStream out;
  out.Bytes = {0, 1, 2, 0xFF, 0x80};
  FManager.Filer(L"Data").WriteStream(out);
  EXPECT_EQ(RawType(L"Blob", L"Data"), static_cast<DWORD>(REG_BINARY));
  TByteStream in;
  FManager.Filer(L"Data").ReadStream(in);
  EXPECT_EQ(in.Bytes, out.Bytes);
}

TEST_F(RegManagerRegistry, WrongTypesAndRefusedWritesRaise) {
  DWORD number = 7;
  SetRaw(L"Bounds", L"Left", REG_DWORD, &number, sizeof(number));
  EXPECT_EQ(ErrorOf([&] {
              FManager.Filer(L"Left").ReadInteger();
              return settings::TSettingsOutcome{};
            }), L"'Left' のデータ型が不正です");
  for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_DWORD}) {
    SetRaw(L"Blob", L"Data", type, L"ab", 4);
    TByteStream in;
    EXPECT_EQ(ErrorOf([&] {
      FManager.Filer(L"Data").ReadStream(in);
      return settings::TSettingsOutcome{};
    }), L"'Data' のデータ型が不正です") << type;
  }

  // A subkey name longer than the registry allows cannot be created.
  FManager.RegItems().Add(L"Long", std::wstring(300, L'k'), L"Value");
  EXPECT_EQ(ErrorOf([&] { return FManager.Filer(L"Long").WriteString(L"x"); }), L"'Value' の設定に失敗しました");
  EXPECT_EQ(FManager.Filer(L"Long").ReadString(), L"");
}
