// Popup menus: built afresh for each show, so their entries always show the current state.
#include "ui/Menu.h"
#include "comm/Scoped.h"
#include "ui/Image.h"
#include <algorithm>
#include <utility>

namespace ui {

namespace {
HMENU gOpenMenu = nullptr;
const PopupMenu* gOpenPopup = nullptr;
TDpi gOpenDpi;                // the DPI of the open menu's owner
constexpr int kGlyphGap = 3;  // between an entry's glyph and its text, at 96 DPI

// The entry of the open menu that a measure or draw message names, when it has a glyph.
const MenuItem* OpenItemWithGlyph(ULONG_PTR itemData) {
  if (!gOpenPopup || !itemData) return nullptr;
  for (const auto& i : gOpenPopup->Items())
    if (reinterpret_cast<ULONG_PTR>(i.get()) == itemData) return i->Bitmap ? i.get() : nullptr;
  return nullptr;
}

std::wstring KeyName(WORD key) {
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::wstring(1, static_cast<wchar_t>(key));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
  switch (key) {
    case VK_ESCAPE: return L"Esc";
    case VK_RETURN: return L"Enter";
    case VK_DELETE: return L"Del";
    case VK_INSERT: return L"Ins";
    case VK_BACK: return L"BkSp";
    case VK_TAB: return L"Tab";
    case VK_SPACE: return L"Space";
    case VK_HOME: return L"Home";
    case VK_END: return L"End";
    case VK_PRIOR: return L"PgUp";
    case VK_NEXT: return L"PgDn";
    case VK_LEFT: return L"Left";
    case VK_RIGHT: return L"Right";
    case VK_UP: return L"Up";
    case VK_DOWN: return L"Down";
    default: return L"";
  }
}
}  // namespace

std::wstring ShortCutText(ShortCut sc) {
  if (sc == 0) return L"";
  std::wstring s;
  if (sc & scShift) s += L"Shift+";
  if (sc & scCtrl) s += L"Ctrl+";
  if (sc & scAlt) s += L"Alt+";
  return s + KeyName(static_cast<WORD>(sc & 0xFF));
}

MenuItem* PopupMenu::Add(const std::wstring& caption, ShortCut shortcut, NotifyEvent onClick) {
  auto item = std::make_unique<MenuItem>();
  item->Caption = caption;
  item->Shortcut = shortcut;
  item->OnClick = std::move(onClick);
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

MenuItem* PopupMenu::AddSeparator() { return Add(L"-"); }

MenuItem* PopupMenu::Find(const std::wstring& name) const {
  for (auto& i : FItems)
    if (i->Name == name) return i.get();
  return nullptr;
}

HMENU PopupMenu::OpenMenu() { return gOpenMenu; }

bool PopupMenu::MeasureGlyph(MEASUREITEMSTRUCT* mis) {
  const MenuItem* item = OpenItemWithGlyph(mis->itemData);
  BITMAP bm{};
  if (!item || !GetObjectW(item->Bitmap, sizeof(bm), &bm)) return false;
  mis->itemWidth = static_cast<UINT>(bm.bmWidth + gOpenDpi.Scale(kGlyphGap));
  mis->itemHeight = static_cast<UINT>(bm.bmHeight);
  return true;
}

bool PopupMenu::DrawGlyph(const DRAWITEMSTRUCT* dis) {
  const MenuItem* item = OpenItemWithGlyph(dis->itemData);
  BITMAP bm{};
  if (!item || !GetObjectW(item->Bitmap, sizeof(bm), &bm)) return false;
  const int w = bm.bmWidth, h = bm.bmHeight;
  const RECT& r = dis->rcItem;
  const int x = r.left;
  const int y = r.top + std::max<int>(0, (r.bottom - r.top - h) / 2);
  comm::TMemoryDC src(dis->hDC);
  comm::TSelectObject srcBitmap(src, item->Bitmap);
  const COLORREF key = GetPixel(src, 0, h - 1);
  if (!(dis->itemState & (ODS_GRAYED | ODS_DISABLED))) {
    // Over whatever the menu drew behind the entry: its colour, or the highlight.
    TransparentBlt(dis->hDC, x, y, w, h, src, 0, 0, w, h, key);
    return true;
  }
  // A greyed entry shows the glyph's shape engraved, as its text is.
  comm::TGdiObject<HBITMAP> shape(CreateBitmap(w, h, 1, 1, nullptr));
  {
    comm::TMemoryDC mono(dis->hDC);
    comm::TSelectObject monoBitmap(mono, shape.Get());
    SetBkColor(src, key);  // key pixels become white, the glyph black
    BitBlt(mono, 0, 0, w, h, src, 0, 0, SRCCOPY);
  }
  DrawStateW(dis->hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(shape.Get()), 0, x, y, w, h,
             DST_BITMAP | DSS_DISABLED);
  return true;
}

void PopupMenu::LoadGlyphs(TDpi dpi) {
  FGlyphs.clear();
  for (const auto& item : FItems) {
    if (!item->GlyphArt) continue;
    FGlyphs.emplace_back(LoadArtBitmap(item->GlyphArt, dpi));
    item->Bitmap = FGlyphs.back().Get();
  }
}

MenuItem* PopupMenu::Popup(int x, int y, HWND owner) {
  if (OnPopup) OnPopup(nullptr);
  // The owner may have moved to a monitor of another scale since the last show: a window of the
  // program's knows its DPI from the last change.
  const WinControl* ownerControl = WinControl::FromHandle(owner);
  const TDpi dpi = ownerControl ? ownerControl->Dpi() : WindowDpi(owner);
  LoadGlyphs(dpi);
  const comm::TUniqueMenu menu(CreatePopupMenu());
  for (size_t i = 0; i < FItems.size(); ++i) {
    MenuItem& it = *FItems[i];
    if (!it.Visible) continue;
    if (it.Caption == L"-") {
      AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = it.Caption;
    if (it.Shortcut) text += L"\t" + ShortCutText(it.Shortcut);
    UINT flags = MF_STRING | (it.Enabled ? MF_ENABLED : MF_GRAYED) | (it.Checked ? MF_CHECKED : 0);
    AppendMenuW(menu.Get(), flags, i + 1, text.c_str());
    if (it.Bitmap) {
      // Drawn by the owner (MeasureGlyph, DrawGlyph): a bitmap given to the menu as it is would show
      // its key colour, and inverted on the highlight.
      MENUITEMINFOW mii{};
      mii.cbSize = sizeof(mii);
      mii.fMask = MIIM_BITMAP | MIIM_DATA;
      mii.hbmpItem = HBMMENU_CALLBACK;
      mii.dwItemData = reinterpret_cast<ULONG_PTR>(&it);
      SetMenuItemInfoW(menu.Get(), static_cast<UINT>(i + 1), FALSE, &mii);
    }
  }
  gOpenMenu = menu.Get();
  const PopupMenu* outerPopup = std::exchange(gOpenPopup, this);
  const TDpi outerDpi = std::exchange(gOpenDpi, dpi);
  // The owner must be the foreground window, or the menu does not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  UINT cmd = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner,
                                              nullptr));
  gOpenMenu = nullptr;
  gOpenPopup = outerPopup;
  gOpenDpi = outerDpi;
  PostMessageW(owner, WM_NULL, 0, 0);
  if (cmd == 0 || cmd > FItems.size()) return nullptr;
  MenuItem* item = FItems[cmd - 1].get();
  if (item->Enabled) item->Click();
  return item;
}

bool PopupMenu::IsShortCut(WORD key, unsigned shift) {
  ShortCut sc = MakeShortCut(key, shift);
  for (auto& i : FItems) {
    if (i->Shortcut == sc && i->Visible && i->Enabled) {
      i->Click();
      return true;
    }
  }
  return false;
}

}  // namespace ui
