// Send To registration as the user meets it: the link written through the shell's link object and read
// back the same way, the about dialog offering registration or removal by the state of the link, and
// its messages, also for a link that cannot be deleted.
#include "shell/ShellLink.h"
#include "shell/Version.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "comm/Scoped.h"
#include <shlobj.h>
#include <gtest/gtest.h>

using testsupport::AnswerKind;
using testsupport::TempTree;
using shell::comm_GetSendToDir;
using shell::comm_GetWinDeskTopDir;
using shell::comm_MakeShortcut;

namespace {

const std::wstring kQuoted = L"\"VornaStampShifter\"をコンテキストメニューの「送る」";
const std::wstring kM1 = kQuoted + L"に登録しました", kM2 = kQuoted + L"に登録できませんでした";
const std::wstring kM3 = kQuoted + L"から削除しました", kNotRemoved = kQuoted + L"から削除できませんでした";

// A link file as the shell reads it: target, arguments, working folder, description, icon.
std::vector<std::wstring> ReadLink(const std::wstring& file) {
  comm::TComPtr<IShellLinkW> link;
  comm::TComPtr<IPersistFile> persist;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) ||
      FAILED(persist->Load(file.c_str(), STGM_READ)))
    return {};
  std::wstring b(32768, L'\0');
  const int n = static_cast<int>(b.size());
  int icon = 0;
  auto text = [&](HRESULT hr) { return SUCCEEDED(hr) ? std::wstring(b.c_str()) : std::wstring(L"?"); };
  return {text(link->GetPath(b.data(), n, nullptr, SLGP_RAWPATH)), text(link->GetArguments(b.data(), n)),
          text(link->GetWorkingDirectory(b.data(), n)), text(link->GetDescription(b.data(), n)),
          text(link->GetIconLocation(b.data(), n, &icon))};
}

bool IsFile(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Shows the dialog modally as the about command does: the user checks the box (or not) and ends the
// dialog with `end`; each message is answered with OK. Returns the messages' texts.
std::vector<std::wstring> Use(shell::TFormVersion& dialog, bool check, AnswerKind end, int* result = nullptr) {
  testsupport::DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormVersion"};
  std::vector<std::wstring> texts;
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    if (d.hwnd == dialog.Handle()) {
      if (check) PostMessageW(dialog.CheckBoxSendInOut.Handle(), BM_CLICK, 0, 0);
      return testsupport::Answer{end, L""};
    }
    EXPECT_EQ(d.caption, L"VornaStampShifter");
    EXPECT_EQ(d.buttons, std::vector<std::wstring>{L"OK"});
    texts.push_back(d.text);
    return testsupport::Answer{AnswerKind::Button, L"OK"};
  };
  const int r = dialog.ShowModal();
  if (result) *result = r;
  return texts;
}
using Texts = std::vector<std::wstring>;

}  // namespace

TEST(ShellLink, WrittenLinkReadsBackThroughTheLinkObject) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"プログラム 表\\VornaStampShifter.exe");
  ASSERT_TRUE(comm_MakeShortcut(tree.Path(L"a.lnk"), exe, L"", L"VornaStampShifter", tree.Path(L"プログラム 表")));
  EXPECT_EQ(ReadLink(tree.Path(L"a.lnk")), (Texts{exe, L"", tree.Path(L"プログラム 表"), L"VornaStampShifter", L""}));
  // Without a working folder the link starts in the target's folder.
  ASSERT_TRUE(comm_MakeShortcut(tree.Path(L"b.lnk"), exe, L"\"a b\" c", L"説明", L""));
  EXPECT_EQ(ReadLink(tree.Path(L"b.lnk")), (Texts{exe, L"\"a b\" c", tree.Path(L"プログラム 表\\"), L"説明", L""}));
}

TEST(ShellLink, ATargetIsWrittenWholeOrNotAtAll) {
  // The link object keeps targets of up to 259 characters; a longer one must never come out cut
  // (Wine's keeps an empty target: the registration then fails and says so).
  TempTree tree;
  for (size_t length : {size_t{259}, size_t{260}, size_t{300}}) {
    SCOPED_TRACE(length);
    const std::wstring name = L"t" + std::to_wstring(length) + L"_" + std::wstring(100, L'a');
    const std::wstring folder = tree.MakeDir(name);
    const std::wstring exe = tree.MakeFile(name + L"\\" + std::wstring(length - folder.size() - 5, L'b') + L".exe");
    ASSERT_EQ(exe.size(), length);
    const std::wstring link = tree.Path(name + L".lnk");
    const bool saved = comm_MakeShortcut(link, exe, L"", L"d", folder);
    EXPECT_TRUE(saved || length >= MAX_PATH);
    EXPECT_EQ(IsFile(link), saved);
    if (saved) {
      EXPECT_EQ(ReadLink(link).at(0), exe);
    }
  }
}

TEST(ShellFolders, SendToIsTheShellsOwnFolderNotOneBesideTheDesktop) {
  std::wstring desktop, sendTo;
  comm_GetWinDeskTopDir(desktop);
  comm_GetSendToDir(sendTo);
  wchar_t shellDesktop[MAX_PATH] = L"", shellSendTo[MAX_PATH] = L"";
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, shellDesktop), S_OK);
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, SHGFP_TYPE_CURRENT, shellSendTo), S_OK);
  EXPECT_EQ(CompareStringOrdinal(desktop.c_str(), -1, shellDesktop, -1, TRUE), CSTR_EQUAL);
  EXPECT_EQ(CompareStringOrdinal(sendTo.c_str(), -1, shellSendTo, -1, TRUE), CSTR_EQUAL);
  EXPECT_NE(GetFileAttributesW(sendTo.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(shell::TFormVersion().LinkPath(), sendTo + L"\\VornaStampShifter.lnk");  // the running program's dialog

  EXPECT_EQ(shell::ExecutableFolder(L"C:\\Tools\\VornaStampShifter.exe"), L"C:\\Tools");
  EXPECT_EQ(shell::ExecutableFolder(L"C:\\VornaStampShifter.exe"), L"C:\\");  // a drive root keeps its "\"
}

TEST(AboutDialog, TextsFrameAndPlace) {
  TempTree tree;
  shell::TFormVersion about(nullptr, {tree.Path(L"VornaStampShifter.exe"), tree.Root()});
  EXPECT_EQ(about.Caption(), L"VornaStampShifter");
  EXPECT_EQ(about.ClientWidth(), 281);
  EXPECT_EQ(about.ClientHeight(), 192);
  EXPECT_FALSE(GetWindowLongPtrW(about.Handle(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
  EXPECT_EQ(about.LabelTitle.Caption(), L"Stamp Shifter");
  EXPECT_EQ(about.LabelVersion.Caption(), L"Ver 2.13");
  EXPECT_EQ(about.LabelCopyright.Caption(), L"Copyright (C) 2026 VornaStampShifter Project");
  EXPECT_LE(ui::TextExtent(ui::FontHandle(about.LabelCopyright.GetFont()), about.LabelCopyright.Caption()).cx,
            about.LabelCopyright.Width());
  EXPECT_EQ(about.CheckBoxSendInOut.Caption(), L"「送る」に登録する(&S)");
  // Enter with the box unchecked closes with OK and changes nothing; the dialog was centred.
  int result = 0;
  EXPECT_EQ(Use(about, false, AnswerKind::Enter, &result), Texts{});
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_FALSE(IsFile(about.LinkPath()));
  RECT wr;
  GetWindowRect(about.Handle(), &wr);
  EXPECT_NEAR(wr.left + wr.right, GetSystemMetrics(SM_CXSCREEN), 2);
  EXPECT_NEAR(wr.top + wr.bottom, GetSystemMetrics(SM_CYSCREEN), 2);
}

TEST(AboutDialog, RegistersThenOffersRemovalThenRemoves) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"app\\VornaStampShifter.exe"), sendTo = tree.MakeDir(L"SendTo");
  const std::wstring link = sendTo + L"\\VornaStampShifter.lnk";
  shell::TFormVersion first(nullptr, {exe, sendTo});
  EXPECT_EQ(Use(first, true, AnswerKind::Enter), Texts{kM1});
  EXPECT_EQ(ReadLink(link), (Texts{exe, L"", tree.Path(L"app"), L"VornaStampShifter", L""}));

  shell::TFormVersion second(nullptr, {exe, sendTo});
  EXPECT_EQ(second.CheckBoxSendInOut.Caption(), L"「送る」から削除する(&R)");
  EXPECT_EQ(Use(second, true, AnswerKind::CloseFrame), Texts{});  // the frame's close does nothing
  EXPECT_TRUE(IsFile(link));
  shell::TFormVersion third(nullptr, {exe, sendTo});
  EXPECT_EQ(Use(third, true, AnswerKind::Escape), Texts{kM3});  // Esc presses OK
  EXPECT_FALSE(IsFile(link));

  // A link of that name pointing elsewhere is the registration; removed meanwhile, it is gone all the same.
  ASSERT_TRUE(comm_MakeShortcut(link, tree.MakeFile(L"other.exe"), L"", L"other", L""));
  shell::TFormVersion fourth(nullptr, {exe, sendTo});
  EXPECT_FALSE(fourth.RegisterMode());
  ASSERT_TRUE(DeleteFileW(link.c_str()));
  EXPECT_EQ(Use(fourth, true, AnswerKind::Enter), Texts{kM3});
}

TEST(AboutDialog, FailuresAreSaid) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"VornaStampShifter.exe"), sendTo = tree.MakeDir(L"SendTo");
  // A Send To folder that is not there: registration fails and says so.
  {
    shell::TFormVersion about(nullptr, {exe, tree.Path(L"missing")});
    EXPECT_EQ(Use(about, true, AnswerKind::Enter), Texts{kM2});
  }
  // None known: refused with its reason, and no link lands in the root of the current drive, also
  // where that root can be written (the temporary folder's drive, made current).
  wchar_t previous[MAX_PATH] = L"";
  GetCurrentDirectoryW(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryW(tree.Root().c_str()));
  const std::wstring rootLink = tree.Root().substr(0, 3) + L"VornaStampShifter.lnk";
  {
    // The root takes a file here, so a link put there would stay and be seen.
    const std::wstring probe = tree.Root().substr(0, 3) + L"vss-probe.tmp";
    comm::TUniqueHandle made(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr));
    ASSERT_TRUE(made) << "the drive's root cannot be written: this check would prove nothing";
  }
  ASSERT_FALSE(IsFile(rootLink));
  shell::TFormVersion unknown(nullptr, {exe, std::wstring()});
  EXPECT_EQ(unknown.LinkPath(), L"");
  EXPECT_TRUE(unknown.RegisterMode());
  EXPECT_EQ(Use(unknown, true, AnswerKind::Enter), Texts{kM2 + L"。\r「送る」フォルダの場所が分かりません"});
  const bool landed = IsFile(rootLink);
  if (landed) DeleteFileW(rootLink.c_str());
  SetCurrentDirectoryW(previous);
  EXPECT_FALSE(landed);

  // A link held open without delete sharing, or read-only, stays; the dialog says so.
  const std::wstring link = sendTo + L"\\VornaStampShifter.lnk";
  ASSERT_TRUE(comm_MakeShortcut(link, exe, L"", L"VornaStampShifter", L""));
  for (int how = 0; how < 2; ++how) {
    SCOPED_TRACE(how == 0 ? "held open" : "read-only");
    comm::TUniqueHandle held(how == 0 ? CreateFileW(link.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 0, nullptr)
                                   : nullptr);
    if (how == 1) {
      ASSERT_TRUE(SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    shell::TFormVersion about(nullptr, {exe, sendTo});
    EXPECT_EQ(Use(about, true, AnswerKind::Enter), Texts{kNotRemoved});
    EXPECT_TRUE(IsFile(link));
  }
  ASSERT_TRUE(SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL));
  shell::TFormVersion about(nullptr, {exe, sendTo});
  EXPECT_EQ(Use(about, true, AnswerKind::Enter), Texts{kM3});
}

// Given the program's prompt service, the dialog tells through it, modal to itself, and shows no box of
// its own.
TEST(AboutDialog, TellsThroughThePromptServiceWhenGivenOne) {
  struct Recorder : ui::IPrompter {
    mutable Texts told;
    mutable HWND owner = nullptr;
    void Inform(HWND o, const std::wstring& text) const override {
      owner = o;
      told.push_back(text);
    }
    void ShowError(HWND, const std::wstring& text) const override { told.push_back(L"error: " + text); }
  } prompts;
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"VornaStampShifter.exe"), sendTo = tree.MakeDir(L"SendTo");
  shell::TFormVersion about(nullptr, {exe, sendTo}, &prompts);
  testsupport::DialogAnswerer none;  // a box of the dialog's own would fail the test
  about.CheckBoxSendInOut.SetChecked(true);
  about.BitBtnOKClick(nullptr);
  EXPECT_EQ(prompts.told, Texts{kM1});
  EXPECT_EQ(prompts.owner, about.Handle());
  EXPECT_TRUE(IsFile(about.LinkPath()));
  EXPECT_TRUE(none.Shown().empty());
}
