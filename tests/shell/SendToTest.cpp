// Send To registration as the user meets it: the link written through the shell's link object and read
// back the same way, the about dialog offering registration or removal by the state of the link, its
// messages, and removal of a link that cannot be deleted.
#include "shell/ShellLink.h"
#include "shell/Version.h"
#include "support/DialogAnswerer.h"
#include "support/TempTree.h"
#include "ui/Error.h"
#include "ui/Scoped.h"
#include <knownfolders.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <thread>

using testsupport::DialogAnswerer;
using testsupport::TempTree;

namespace {

const std::wstring kRegister = L"「送る」に登録する(&S)";
const std::wstring kRemove = L"「送る」から削除する(&R)";
const std::wstring kM1 = L"\"VornaStampShifter\"をコンテキストメニューの「送る」に登録しました";
const std::wstring kM2 = L"\"VornaStampShifter\"をコンテキストメニューの「送る」に登録できませんでした";
const std::wstring kM3 = L"\"VornaStampShifter\"をコンテキストメニューの「送る」から削除しました";
const std::wstring kNotRemoved = L"\"VornaStampShifter\"をコンテキストメニューの「送る」から削除できませんでした";

// A link file as the shell reads it.
struct LinkRead {
  std::wstring target, arguments, folder, description, icon;
  int iconIndex = -1, show = 0;
  WORD hotKey = 0xFFFF;
};

bool ReadLink(const std::wstring& file, LinkRead& out) {
  ui::ComPtr<IShellLinkW> link;
  ui::ComPtr<IPersistFile> persist;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) ||
      FAILED(persist->Load(file.c_str(), STGM_READ)))
    return false;
  std::wstring b(32768, L'\0');
  const int n = static_cast<int>(b.size());
  auto text = [&](HRESULT hr) { return SUCCEEDED(hr) ? std::wstring(b.c_str()) : std::wstring(L"<failed>"); };
  out.target = text(link->GetPath(b.data(), n, nullptr, SLGP_RAWPATH));
  out.arguments = text(link->GetArguments(b.data(), n));
  out.folder = text(link->GetWorkingDirectory(b.data(), n));
  out.description = text(link->GetDescription(b.data(), n));
  out.icon = text(link->GetIconLocation(b.data(), n, &out.iconIndex));
  link->GetShowCmd(&out.show);
  link->GetHotkey(&out.hotKey);
  return true;
}

bool IsFile(const std::wstring& path) {
  const DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The about dialog for a program at exe registering in sendTo.
shell::TSendToPlace Place(const std::wstring& exe, const std::wstring& sendTo) { return {exe, sendTo}; }

// Shows the dialog modally, as the about command does; the user checks the box (or not) and ends the
// dialog with the given answer. Every message the dialog shows is answered with OK and recorded.
struct Session {
  int result = 0;
  std::vector<testsupport::ShownDialog> messages;
};
Session Use(shell::TFormVersion& dialog, bool check, testsupport::AnswerKind end) {
  DialogAnswerer answers;
  answers.ExtraClasses = {L"TFormVersion"};
  answers.Responder = [&](const testsupport::ShownDialog& d) {
    if (d.hwnd != dialog.Handle()) return testsupport::Answer{testsupport::AnswerKind::Button, L"OK"};
    if (check) PostMessageW(dialog.CheckBoxSendInOut.Handle(), BM_CLICK, 0, 0);
    return testsupport::Answer{end, L""};
  };
  Session s;
  s.result = dialog.ShowModal();
  for (const auto& d : answers.Shown())
    if (d.hwnd != dialog.Handle()) s.messages.push_back(d);
  return s;
}

void ExpectMessage(const Session& s, const std::wstring& text) {
  ASSERT_EQ(s.messages.size(), 1u);
  const auto& m = s.messages[0];
  EXPECT_EQ(m.caption, L"VornaStampShifter");
  EXPECT_EQ(m.text, text);
  EXPECT_EQ(m.buttons, std::vector<std::wstring>{L"OK"});
  // No icon: the text is the only static control, at the dialog's left margin.
  HWND icon = nullptr;
  for (HWND c = GetWindow(m.hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if ((GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = c;
  EXPECT_EQ(icon, nullptr);
}

}  // namespace

// ---- the link file ----

TEST(ShellLink, WrittenLinkReadsBackThroughTheLinkObject) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"プログラム 表\\VornaStampShifter.exe");
  const std::wstring link = tree.Path(L"送る.lnk");
  ASSERT_TRUE(comm_MakeShortcut(link, exe, L"", L"VornaStampShifter", tree.Path(L"プログラム 表")));
  LinkRead r;
  ASSERT_TRUE(ReadLink(link, r));
  EXPECT_EQ(r.target, exe);
  EXPECT_EQ(r.arguments, L"");
  EXPECT_EQ(r.folder, tree.Path(L"プログラム 表"));
  EXPECT_EQ(r.description, L"VornaStampShifter");
  // Icon, hot key and show command are the shell's defaults.
  EXPECT_EQ(r.icon, L"");
  EXPECT_EQ(r.hotKey, 0);
  EXPECT_EQ(r.show, SW_SHOWNORMAL);

  // Without a working folder the link starts in the target's folder; arguments are kept as given.
  const std::wstring other = tree.Path(L"other.lnk");
  ASSERT_TRUE(comm_MakeShortcut(other, exe, L"\"a b\" c", L"説明", L""));
  ASSERT_TRUE(ReadLink(other, r));
  EXPECT_EQ(r.folder, tree.Path(L"プログラム 表\\"));
  EXPECT_EQ(r.arguments, L"\"a b\" c");
  EXPECT_EQ(r.description, L"説明");
}

TEST(ShellLink, ALinkThatCannotBeSavedOrCreatedIsAFailure) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"VornaStampShifter.exe");
  // No folder to save in: false, and nothing written.
  EXPECT_FALSE(comm_MakeShortcut(tree.Path(L"missing\\VornaStampShifter.lnk"), exe, L"", L"d", tree.Root()));
  EXPECT_FALSE(IsFile(tree.Path(L"missing\\VornaStampShifter.lnk")));
  // No shell link object on a thread without COM: an error for the standard error box, not a false.
  bool threw = false;
  std::thread([&] {
    try {
      comm_MakeShortcut(tree.Path(L"x.lnk"), exe, L"", L"d", tree.Root());
    } catch (const ui::Error& e) {
      threw = e.Message().find(L"ショートカットを作成できません。") == 0;
    }
  }).join();
  EXPECT_TRUE(threw);
  EXPECT_FALSE(IsFile(tree.Path(L"x.lnk")));
}

TEST(ShellLink, ATargetIsWrittenWholeOrNotAtAll) {
  // The link object keeps targets of up to 259 characters; a longer one must never come out cut
  // (Wine's refuses it, so the registration fails and says so).
  TempTree tree;
  for (size_t length : {size_t{259}, size_t{260}, size_t{300}}) {
    SCOPED_TRACE(testing::Message() << "target of " << length << " characters");
    const std::wstring folder = tree.MakeDir(L"t" + std::to_wstring(length) + L"_" + std::wstring(100, L'長'));
    const std::wstring exe = tree.MakeFile(folder.substr(tree.Root().size() + 1) + L"\\" +
                                           std::wstring(length - folder.size() - 1 - 4, L'b') + L".exe");
    ASSERT_EQ(exe.size(), length);
    const std::wstring link = tree.Path(L"t" + std::to_wstring(length) + L".lnk");
    const bool saved = comm_MakeShortcut(link, exe, L"", L"d", folder);
    if (length < MAX_PATH) {
      EXPECT_TRUE(saved);
    }
    LinkRead r;
    if (saved) {
      ASSERT_TRUE(ReadLink(link, r));
      EXPECT_EQ(r.target, exe);
    } else {
      EXPECT_FALSE(IsFile(link));
    }
  }
}

// ---- the shell's folders ----

TEST(ShellFolders, SendToIsTheShellsOwnFolderNotOneBesideTheDesktop) {
  std::wstring desktop, sendTo;
  comm_GetWinDeskTopDir(desktop);
  comm_GetSendToDir(sendTo);
  wchar_t shellDesktop[MAX_PATH] = L"", shellSendTo[MAX_PATH] = L"";
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, shellDesktop), S_OK);
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, SHGFP_TYPE_CURRENT, shellSendTo), S_OK);
  EXPECT_EQ(CompareStringOrdinal(desktop.c_str(), -1, shellDesktop, -1, TRUE), CSTR_EQUAL) << "desktop";
  EXPECT_EQ(CompareStringOrdinal(sendTo.c_str(), -1, shellSendTo, -1, TRUE), CSTR_EQUAL) << "Send To";
  EXPECT_NE(GetFileAttributesW(sendTo.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  // The dialog of the running program takes that folder.
  shell::TFormVersion about;
  EXPECT_EQ(about.SendToDir(), sendTo);
  EXPECT_EQ(about.LinkPath(), sendTo + L"\\VornaStampShifter.lnk");
}

TEST(ShellFolders, ExecutableFolderKeepsTheSeparatorOnlyAtADriveRoot) {
  EXPECT_EQ(shell::ExecutableFolder(L"C:\\Tools\\Vorna\\VornaStampShifter.exe"), L"C:\\Tools\\Vorna");
  EXPECT_EQ(shell::ExecutableFolder(L"C:\\VornaStampShifter.exe"), L"C:\\");
  EXPECT_EQ(shell::ExecutableFolder(L"\\\\server\\share\\VornaStampShifter.exe"), L"\\\\server\\share");
  EXPECT_EQ(shell::ExecutableFolder(L"C:VornaStampShifter.exe"), L"C:");
  EXPECT_EQ(shell::ExecutableFolder(L"VornaStampShifter.exe"), L"");
}

// ---- the about dialog ----

TEST(AboutDialog, FixedFrameWithTitleVersionAndCopyright) {
  TempTree tree;
  shell::TFormVersion about(nullptr, Place(tree.Path(L"app\\VornaStampShifter.exe"), tree.Root()));
  EXPECT_EQ(about.Caption(), L"VornaStampShifter");
  EXPECT_EQ(about.ClientWidth(), 281);
  EXPECT_EQ(about.ClientHeight(), 192);
  const LONG_PTR style = GetWindowLongPtrW(about.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_EQ(about.GetFont().Name, L"ＭＳ Ｐゴシック");
  EXPECT_EQ(about.GetFont().Height, -12);

  struct Place {
    ui::Control& c;
    ui::WinControl* parent;
    RECT r;
  } places[] = {
      {about.PanelVersion, &about, {8, 8, 273, 129}},
      {about.ImageIcon, &about.PanelVersion, {16, 16, 65, 65}},
      {about.ImageTitle, &about.PanelVersion, {72, 12, 200, 44}},
      {about.LabelTitle, &about.PanelVersion, {80, 40, 257, 65}},
      {about.LabelVersion, &about.PanelVersion, {168, 66, 249, 91}},
      {about.LabelCopyright, &about.PanelVersion, {8, 88, 257, 113}},
      {about.CheckBoxSendInOut, &about, {8, 136, 145, 153}},
      {about.BitBtnOK, &about, {104, 160, 169, 185}},
  };
  for (const auto& p : places) {
    SCOPED_TRACE(testing::Message() << "control at " << p.r.left << "," << p.r.top);
    const RECT r = p.c.BoundsRect();
    EXPECT_TRUE(EqualRect(&r, &p.r));
    EXPECT_EQ(p.c.Parent(), p.parent);
  }
  EXPECT_EQ(about.LabelTitle.Caption(), L"Stamp Shifter");
  EXPECT_EQ(about.LabelTitle.GetFont().FontColor, ui::clGreen);
  EXPECT_EQ(about.LabelTitle.GetFont().Height, -21);
  EXPECT_EQ(about.LabelVersion.Caption(), L"Ver 2.13");
  EXPECT_EQ(about.LabelCopyright.Caption(), L"Copyright (C) 2026 VornaStampShifter Project");
  // The line is centred in its label and stays inside it.
  EXPECT_EQ(about.LabelCopyright.TextAlignment, ui::Alignment::Center);
  EXPECT_LE(ui::TextExtent(ui::FontHandle(about.LabelCopyright.GetFont()), about.LabelCopyright.Caption()).cx, 249);
  EXPECT_NE(about.ImageIcon.Icon(), nullptr);
  EXPECT_TRUE(about.ImageIcon.Stretch());
  EXPECT_NE(about.ImageTitle.Bitmap(), nullptr);
  EXPECT_EQ(about.BitBtnOK.Caption(), L"OK");
  EXPECT_TRUE(about.BitBtnOK.IsDefault());
  EXPECT_TRUE(about.BitBtnOK.IsCancel());
  EXPECT_FALSE(about.CheckBoxSendInOut.Checked());
  EXPECT_EQ(about.ExeDir(), tree.Path(L"app"));

  // Enter with the box unchecked closes with OK and changes nothing; the dialog was centred on the screen.
  Session s = Use(about, false, testsupport::AnswerKind::Enter);
  EXPECT_EQ(s.result, ui::mrOk);
  EXPECT_TRUE(s.messages.empty());
  EXPECT_FALSE(IsFile(about.LinkPath()));
  RECT wr;
  GetWindowRect(about.Handle(), &wr);
  EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((wr.top + wr.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST(AboutDialog, RegistersThenOffersRemovalThenRemoves) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"app\\VornaStampShifter.exe");
  const std::wstring sendTo = tree.MakeDir(L"SendTo");
  const std::wstring link = sendTo + L"\\VornaStampShifter.lnk";
  {
    SCOPED_TRACE("no link: registration");
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    EXPECT_EQ(about.CheckBoxSendInOut.Caption(), kRegister);
    EXPECT_TRUE(about.RegisterMode());
    Session s = Use(about, true, testsupport::AnswerKind::Enter);
    EXPECT_EQ(s.result, ui::mrOk);
    ExpectMessage(s, kM1);
    LinkRead r;
    ASSERT_TRUE(ReadLink(link, r));
    EXPECT_EQ(r.target, exe);
    EXPECT_EQ(r.folder, tree.Path(L"app"));
    EXPECT_EQ(r.description, L"VornaStampShifter");
    EXPECT_EQ(r.arguments, L"");
  }
  {
    SCOPED_TRACE("link there: closing through the frame does nothing");
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    EXPECT_EQ(about.CheckBoxSendInOut.Caption(), kRemove);
    EXPECT_FALSE(about.RegisterMode());
    Session s = Use(about, true, testsupport::AnswerKind::CloseFrame);
    EXPECT_NE(s.result, ui::mrOk);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_TRUE(IsFile(link));
  }
  {
    SCOPED_TRACE("link there: Esc presses OK and removes it");
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    Session s = Use(about, true, testsupport::AnswerKind::Escape);
    EXPECT_EQ(s.result, ui::mrOk);
    ExpectMessage(s, kM3);
    EXPECT_FALSE(IsFile(link));
  }
  {
    SCOPED_TRACE("a link of that name that points elsewhere is the registration");
    ASSERT_TRUE(comm_MakeShortcut(link, tree.MakeFile(L"other.exe"), L"", L"other", L""));
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    EXPECT_EQ(about.CheckBoxSendInOut.Caption(), kRemove);
    // Removed by someone else while the dialog was open: it is gone, and said so.
    ASSERT_TRUE(DeleteFileW(link.c_str()));
    ExpectMessage(Use(about, true, testsupport::AnswerKind::Enter), kM3);
  }
}

TEST(AboutDialog, RegistrationWithoutASendToFolderSaysItFailed) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"VornaStampShifter.exe");
  for (const std::wstring& sendTo : {tree.Path(L"missing"), std::wstring()}) {
    SCOPED_TRACE(sendTo.empty() ? "no Send To folder known" : "Send To folder missing");
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    EXPECT_EQ(about.CheckBoxSendInOut.Caption(), kRegister);
    ExpectMessage(Use(about, true, testsupport::AnswerKind::Enter), kM2);
    EXPECT_FALSE(IsFile(tree.Path(L"missing\\VornaStampShifter.lnk")));
    EXPECT_FALSE(IsFile(L"\\VornaStampShifter.lnk"));  // never beside the current drive's root
  }
}

TEST(AboutDialog, ALinkThatCannotBeDeletedIsSaidToStay) {
  TempTree tree;
  const std::wstring exe = tree.MakeFile(L"VornaStampShifter.exe");
  const std::wstring sendTo = tree.MakeDir(L"SendTo");
  const std::wstring link = sendTo + L"\\VornaStampShifter.lnk";
  ASSERT_TRUE(comm_MakeShortcut(link, exe, L"", L"VornaStampShifter", L""));
  {
    SCOPED_TRACE("held open by a program that does not share deletion");
    ui::UniqueHandle held(CreateFileW(link.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    ExpectMessage(Use(about, true, testsupport::AnswerKind::Enter), kNotRemoved);
    EXPECT_TRUE(IsFile(link));
  }
  {
    SCOPED_TRACE("a read-only link");
    ASSERT_TRUE(SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_READONLY));
    shell::TFormVersion about(nullptr, Place(exe, sendTo));
    ExpectMessage(Use(about, true, testsupport::AnswerKind::Enter), kNotRemoved);
    EXPECT_TRUE(IsFile(link));
    ASSERT_TRUE(SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL));
  }
  // Once nothing holds it, the same removal succeeds.
  shell::TFormVersion about(nullptr, Place(exe, sendTo));
  ExpectMessage(Use(about, true, testsupport::AnswerKind::Enter), kM3);
  EXPECT_FALSE(IsFile(link));
}
