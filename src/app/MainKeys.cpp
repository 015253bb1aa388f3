// The main window's keyboard map: the Ctrl shortcuts of its commands.
#include "app/Main.h"

namespace app {

void TVNStampShifter::DoKeyDown(WORD& key, unsigned shift) {
  // Only the character of the key stroke that ran a shortcut is dropped. A combination that makes no
  // character (Ctrl+Alt+C) must not leave the flag set for the next key.
  FKeyHandled = false;
  if (!(shift & ui::ssCtrl)) return;
  switch (key) {
    // The selections (Ctrl+O, Ctrl+D, Ctrl+F) are refused by the application object while a run
    // walks the list they would change; a refused key is not taken.
    case 'L': FKeyHandled = FApp.ShowList(); break;
    case 'O': FKeyHandled = FApp.SelectMenu(); break;
    case 'D': FKeyHandled = FApp.SelectFolder(); break;
    case 'F': FKeyHandled = FApp.SelectFiles(); break;
    case 'Z':
      // In the extension field Ctrl+Z takes back the typing.
      if (GetFocus() != EditExtString.Handle() || !EditExtString.Handle()) {
        Undo1Click(nullptr);
        FKeyHandled = true;
      }
      break;
    case 'C':
      if (SpeedButtonCreate.Enabled()) {
        SpeedButtonCreateClick(&SpeedButtonCreate);
        FKeyHandled = true;
      }
      break;
    case 'U':
      if (SpeedButtonUpdate.Enabled()) {
        SpeedButtonCreateClick(&SpeedButtonUpdate);
        FKeyHandled = true;
      }
      break;
    default:
      break;
  }
}

void TVNStampShifter::DoKeyPress(wchar_t& key) {
  if (FKeyHandled) {
    key = 0;
    FKeyHandled = false;
  }
}

}  // namespace app
