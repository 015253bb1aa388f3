// The about dialog: layout, the state of the Send To link, registration and removal, and their messages.
#include "shell/Version.h"
#include "shell/ShellLink.h"
#include "ui/MessageDialog.h"
#include "widgets/TitleArt.h"

namespace shell {

namespace {
constexpr const wchar_t* kTitle = L"VornaStampShifter";
constexpr const wchar_t* kRegisterCaption = L"「送る」に登録する(&S)";
constexpr const wchar_t* kRemoveCaption = L"「送る」から削除する(&R)";
constexpr const wchar_t* kRegistered = L"をコンテキストメニューの「送る」に登録しました";
constexpr const wchar_t* kNotRegistered = L"をコンテキストメニューの「送る」に登録できませんでした";
constexpr const wchar_t* kNoSendToFolder = L"。\r「送る」フォルダの場所が分かりません";
constexpr const wchar_t* kRemoved = L"をコンテキストメニューの「送る」から削除しました";
constexpr const wchar_t* kNotRemoved = L"をコンテキストメニューの「送る」から削除できませんでした";

bool FileExists(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attr = GetFileAttributesW(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// Deletes the link; true when it is gone. A failed deletion is "gone" only when the link was not there
// any more; a deletion that succeeds but leaves the file in place (held open by a program that allows
// the deletion) is not.
bool RemoveLink(const std::wstring& path) {
  if (!DeleteFileW(path.c_str())) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  return !FileExists(path);
}
}  // namespace

TSendToPlace CurrentSendToPlace() {
  TSendToPlace place;
  std::wstring exe(32768, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size())));
  place.ExePath = exe;
  comm_GetSendToDir(place.SendToDir);
  return place;
}

std::wstring ExecutableFolder(const std::wstring& exePath) {
  const size_t cut = exePath.find_last_of(L"\\:");
  if (cut == std::wstring::npos) return std::wstring();
  if (exePath[cut] == L':') return exePath.substr(0, cut + 1);
  std::wstring folder = exePath.substr(0, cut);
  if (!folder.empty() && folder.back() == L':') folder += L'\\';  // a drive root keeps its separator
  return folder;
}

TFormVersion::TFormVersion(HWND owner, TSendToPlace place, const ui::IPrompter* prompts)
    : FExePath(std::move(place.ExePath)), FSendToDir(std::move(place.SendToDir)), FPrompts(prompts) {
  FClassName = L"TFormVersion";
  CreateForm(kTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 281, 192, owner);

  PanelVersion.Create(this, 8, 8, 265, 121);
  widgets::CreateTitleItems(&PanelVersion, {ImageIcon, ImageTitle, LabelTitle, LabelVersion, LabelCopyright});
  // The line stays inside its label, centred, where the font's glyphs are wide.
  widgets::FitCaptionWidth(LabelCopyright, LabelCopyright.Width());

  CheckBoxSendInOut.Create(this, 8, 136, 137, 17, L"");
  BitBtnOK.Create(this, 104, 160, 65, 25, L"OK");
  BitBtnOK.ModalResult = ui::mrOk;
  BitBtnOK.SetDefault(true);
  BitBtnOK.SetCancel(true);
  BitBtnOK.OnClick = [this](ui::Control* s) { BitBtnOKClick(s); };
  FormCreate();
}

void TFormVersion::FormCreate() {
  FExeDir = ExecutableFolder(FExePath);
  // Without a Send To folder there is no place for the link: registering then fails with its message.
  FLinkPath = FSendToDir.empty() ? std::wstring() : FSendToDir + L"\\" + kSendToLinkName;
  // The link is recognised by its path alone; what it points at is not examined.
  FRegisterMode = !FileExists(FLinkPath);
  CheckBoxSendInOut.SetCaption(FRegisterMode ? kRegisterCaption : kRemoveCaption);
}

void TFormVersion::DoShow() { CenterOnScreen(); }

void TFormVersion::BitBtnOKClick(ui::Control*) {
  if (!CheckBoxSendInOut.Checked()) return;
  if (FRegisterMode) {
    // Without a Send To folder the link has no place: never a path of its own making (a bare name
    // would land in the current drive's root).
    if (FSendToDir.empty() || FLinkPath.empty()) {
      Tell(std::wstring(kNotRegistered) + kNoSendToFolder);
      return;
    }
    const bool saved = comm_MakeShortcut(FLinkPath, FExePath, L"", kTitle, FExeDir);
    Tell(saved ? kRegistered : kNotRegistered);
    return;
  }
  // Removed is said only when the link is gone: a read-only folder, a read-only link or a program that
  // holds the link open keep it.
  Tell(RemoveLink(FLinkPath) ? kRemoved : kNotRemoved);
}

void TFormVersion::Tell(const std::wstring& rest) {
  const std::wstring text = std::wstring(L"\"") + kTitle + L"\"" + rest;
  if (FPrompts) {
    FPrompts->Inform(Handle(), text);
    return;
  }
  ui::MessageDialogOptions o;
  o.caption = kTitle;
  o.text = text;
  o.escapeButton = 0;  // an information box: Esc and the close box answer OK
  o.owner = Handle();
  ui::ShowMessageDialog(o);
}

}  // namespace shell
