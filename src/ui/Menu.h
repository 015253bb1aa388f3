// Popup menus with items, glyphs and keyboard shortcuts.
#pragma once
#include "ui/Control.h"
#include <memory>
#include <string>
#include <vector>

namespace ui {

// A shortcut: a virtual-key code with modifier flags.
using ShortCut = unsigned;
constexpr ShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
constexpr ShortCut MakeShortCut(WORD key, unsigned shift) {
  return key | ((shift & ssShift) ? scShift : 0) | ((shift & ssCtrl) ? scCtrl : 0) | ((shift & ssAlt) ? scAlt : 0);
}
// "Ctrl+E", "Esc", "Shift+Del": the text shown beside a menu entry.
std::wstring ShortCutText(ShortCut sc);

class MenuItem {
 public:
  std::wstring Caption;  // "-" is a separator line
  ShortCut Shortcut = 0;
  bool Enabled = true;
  bool Checked = false;
  bool Visible = true;
  // Glyph shown beside the entry, not owned; its bottom-left pixel's colour is transparent. The entry
  // draws it itself, so that the key colour never shows and the glyph sits on the highlight as well.
  HBITMAP Bitmap = nullptr;
  // A glyph from the program's pictures (ui::LoadArtBitmap) instead: each show of the menu sets Bitmap
  // to it as drawn for the DPI of the window it is shown for. 0: none, Bitmap stands as given.
  int GlyphArt = 0;
  std::wstring Name;
  NotifyEvent OnClick;
  void Click() {
    if (OnClick) OnClick(nullptr);
  }
};

class PopupMenu {
 public:
  MenuItem* Add(const std::wstring& caption, ShortCut shortcut = 0, NotifyEvent onClick = nullptr);
  MenuItem* AddSeparator();
  const std::vector<std::unique_ptr<MenuItem>>& Items() const { return FItems; }
  MenuItem* Find(const std::wstring& name) const;

  // Shows the menu at a screen position and runs the chosen entry's handler; returns it, or null. The
  // glyphs are those of the owner's DPI.
  MenuItem* Popup(int x, int y, HWND owner);
  // Runs the entry with this shortcut when it is enabled; true when one was found.
  bool IsShortCut(WORD key, unsigned shift);
  NotifyEvent OnPopup;  // runs before the menu is shown, to update the entries

  // The menu of the last Popup while it is open (tests read and close it).
  static HMENU OpenMenu();

  // Size and drawing of the glyph of an entry of the open menu, for its owner's WM_MEASUREITEM and
  // WM_DRAWITEM; false when the message is about something else.
  static bool MeasureGlyph(MEASUREITEMSTRUCT* mis);
  static bool DrawGlyph(const DRAWITEMSTRUCT* dis);

 private:
  // The entries' picture glyphs drawn for a DPI, held until the next show.
  void LoadGlyphs(TDpi dpi);
  std::vector<std::unique_ptr<MenuItem>> FItems;
  std::vector<comm::TGdiObject<HBITMAP>> FGlyphs;
};

}  // namespace ui
