// The about dialog: title, version and copyright, and the program's registration in the shell's Send To
// menu (a shell link in the user's Send To folder) or its removal.
#pragma once
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Prompter.h"
#include "ui/StdControls.h"
#include <string>

namespace shell {

// Where the dialog registers the program.
struct TSendToPlace {
  std::wstring ExePath;    // full path of the executable that the link starts
  std::wstring SendToDir;  // the user's Send To folder; empty when the shell knows none
};
// The running executable and the shell's Send To folder.
TSendToPlace CurrentSendToPlace();

// The folder of an executable's full path: the path up to its last "\" or ":", without that "\"
// unless the folder is a drive root ("C:\").
std::wstring ExecutableFolder(const std::wstring& exePath);

// The name of the link in the Send To folder, from the application title.
constexpr const wchar_t* kSendToLinkName = L"VornaStampShifter.lnk";

// Made for one showing: creation reads the state of the link, so the check box offers registration
// when no link file is there and removal when one is. OK, Enter and Esc carry out what the checked
// box offers and close; closing through the frame does nothing.
class TFormVersion : public ui::Form {
 public:
  // What the registration did is told through prompts, the program's prompt service; without one (a
  // dialog made alone) through a box of its own, alike.
  explicit TFormVersion(HWND owner = nullptr, TSendToPlace place = CurrentSendToPlace(),
                        const ui::IPrompter* prompts = nullptr);

  ui::Panel PanelVersion;
  ui::Image ImageIcon, ImageTitle;
  ui::Label LabelTitle, LabelVersion, LabelCopyright;
  ui::CheckBox CheckBoxSendInOut;
  ui::Button BitBtnOK;

  void BitBtnOKClick(ui::Control* sender);

  const std::wstring& ExeDir() const { return FExeDir; }
  const std::wstring& SendToDir() const { return FSendToDir; }
  const std::wstring& LinkPath() const { return FLinkPath; }
  bool RegisterMode() const { return FRegisterMode; }

 protected:
  void DoShow() override;

 private:
  void FormCreate();
  void Tell(const std::wstring& rest);

  std::wstring FExePath;
  std::wstring FExeDir;
  std::wstring FSendToDir;
  std::wstring FLinkPath;
  bool FRegisterMode = true;
  const ui::IPrompter* FPrompts = nullptr;
};

}  // namespace shell
