// The controls of a viewer window: tab control and pages, tree view, read-only rich edit.
#include "ui/ViewControls.h"
#include "ui/Error.h"
#include <uxtheme.h>
#include <algorithm>

namespace ui {

// ---- TabControl ----

void TabControl::Create(WinControl* parent, int left, int top, int width, int height) {
  CreateStd(parent, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_GROUP, WS_EX_CONTROLPARENT,
            left, top, width, height, L"");
}

void TabControl::AddTab(const std::wstring& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  std::wstring text = caption;
  item.pszText = text.data();
  SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(TabCount()), reinterpret_cast<LPARAM>(&item));
}

int TabControl::TabCount() const { return static_cast<int>(SendMessageW(Handle(), TCM_GETITEMCOUNT, 0, 0)); }
int TabControl::TabIndex() const { return static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)); }

void TabControl::SetTabIndex(int index) {
  if (index < 0 || index >= TabCount()) return;
  const bool changed = index != TabIndex();
  SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
  if (changed && OnChange) OnChange(this);
}

std::wstring TabControl::TabText(int index) const {
  if (index < 0 || index >= TabCount()) return {};
  wchar_t text[256] = L"";
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = 255;
  if (!SendMessageW(Handle(), TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return {};
  return item.pszText ? item.pszText : L"";
}

RECT TabControl::PageRect() const {
  RECT r;
  GetClientRect(Handle(), &r);
  SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

LRESULT TabControl::NotifyReflect(NMHDR* nm) {
  if (nm->code == TCN_SELCHANGE && OnChange) OnChange(this);
  return 0;
}

// ---- TabPage ----

void TabPage::Create(TabControl* parent) {
  const RECT r = parent->PageRect();
  Panel::Create(parent, r.left, r.top, r.right - r.left, r.bottom - r.top);
  SetBevels(Bevel::None, Bevel::None);
}

int TabPage::TabIndexOfPage() const {
  if (!Parent()) return -1;
  int index = 0;
  for (const Control* k : Parent()->Children()) {
    if (k == this) return index;
    if (dynamic_cast<const TabPage*>(k)) ++index;
  }
  return -1;
}

void TabPage::PaintBackground(HDC dc, const RECT& rc) {
  // On a themed tab control the body is drawn by the theme; the page shows it through.
  RECT area = rc;
  if (IsAppThemed() && Parent() && SUCCEEDED(DrawThemeParentBackground(Handle(), dc, &area))) return;
  Panel::PaintBackground(dc, rc);
}

// ---- TreeView ----

void TreeView::Create(WinControl* parent, int left, int top, int width, int height) {
  FColor = clWindow;
  CreateStd(parent, WC_TREEVIEWW,
            TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_TABSTOP |
                WS_GROUP,
            WS_EX_CLIENTEDGE, left, top, width, height, L"");
}

void TreeView::SetImageList(HIMAGELIST images) {
  SendMessageW(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

HTREEITEM TreeView::Add(HTREEITEM parent, const std::wstring& text, LPARAM data, int image) {
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent ? parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  std::wstring t = text;
  ins.item.pszText = t.data();
  ins.item.lParam = data;
  ins.item.iImage = image;
  ins.item.iSelectedImage = image;
  return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void TreeView::Clear() { SendMessageW(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

HTREEITEM TreeView::Selected() const {
  return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TreeView::Select(HTREEITEM item) {
  SendMessageW(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  if (item) SendMessageW(Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

LPARAM TreeView::Data(HTREEITEM item) const {
  TVITEMW it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = item;
  SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  return it.lParam;
}

std::wstring TreeView::ItemText(HTREEITEM item) const {
  wchar_t buf[512] = L"";
  TVITEMW it{};
  it.mask = TVIF_TEXT | TVIF_HANDLE;
  it.hItem = item;
  it.pszText = buf;
  it.cchTextMax = 512;
  SendMessageW(Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
  return buf;
}

bool TreeView::Expanded(HTREEITEM item) const {
  return (SendMessageW(Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

void TreeView::Expand(HTREEITEM item, bool expand) {
  const bool was = Expanded(item);
  SendMessageW(Handle(), TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item));
  // A change made from code is told like the user's (the control tells only some of them).
  if (was != Expanded(item) && OnExpanded) OnExpanded(this, item, !was);
}

void TreeView::SetImage(HTREEITEM item, int image) {
  TVITEMW it{};
  it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  it.hItem = item;
  it.iImage = image;
  it.iSelectedImage = image;
  SendMessageW(Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

HTREEITEM TreeView::First() const {
  return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM TreeView::Next(HTREEITEM item) const {
  auto get = [this](UINT how, HTREEITEM from) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  };
  if (HTREEITEM child = get(TVGN_CHILD, item)) return child;
  for (HTREEITEM at = item; at; at = get(TVGN_PARENT, at))
    if (HTREEITEM sibling = get(TVGN_NEXT, at)) return sibling;
  return nullptr;
}

LRESULT TreeView::NotifyReflect(NMHDR* nm) {
  switch (nm->code) {
    case TVN_SELCHANGEDW:
      if (OnChange) OnChange(this, reinterpret_cast<NMTREEVIEWW*>(nm)->itemNew.hItem);
      break;
    case TVN_ITEMEXPANDEDW: {
      auto* tv = reinterpret_cast<NMTREEVIEWW*>(nm);
      if (OnExpanded) OnExpanded(this, tv->itemNew.hItem, tv->action == TVE_EXPAND);
      break;
    }
    case NM_DBLCLK:
      if (HTREEITEM item = Selected(); item && OnActivate) OnActivate(this, item);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT TreeView::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETDLGCODE && lp) {
    // Enter opens the selected item rather than pressing the window's default button.
    auto* m = reinterpret_cast<MSG*>(lp);
    if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
  }
  if (msg == WM_KEYDOWN && wp == VK_RETURN) {
    if (HTREEITEM item = Selected(); item && OnActivate) OnActivate(this, item);
    return 0;
  }
  if (msg == WM_CHAR && (wp == L'\r' || wp == L'\n')) return 0;  // no beep for the Enter just handled
  return WinControl::WndProc(msg, wp, lp);
}

// ---- RichEdit ----

namespace {

// The class of the rich edit control the system offers, or null.
const wchar_t* RichEditClass() {
  static const wchar_t* cls = [] () -> const wchar_t* {
    if (LoadLibraryW(L"Msftedit.dll")) return MSFTEDIT_CLASS;
    if (LoadLibraryW(L"riched20.dll")) return RICHEDIT_CLASSW;
    return nullptr;
  }();
  return cls;
}

struct TStreamSource {
  const std::string* text;
  size_t pos;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
  auto* s = reinterpret_cast<TStreamSource*>(cookie);
  const size_t n = std::min(static_cast<size_t>(size), s->text->size() - s->pos);
  std::copy_n(s->text->data() + s->pos, n, buffer);
  s->pos += n;
  *read = static_cast<LONG>(n);
  return 0;
}

}  // namespace

bool RichEdit::LibraryLoaded() { return RichEditClass() != nullptr; }

void RichEdit::Create(WinControl* parent, int left, int top, int width, int height) {
  const wchar_t* cls = RichEditClass();
  if (!cls) throw Error(L"ヘルプの表示に必要なリッチ エディット コントロール (Msftedit.dll) を読み込めません。");
  FColor = clWindow;
  CreateStd(parent, cls, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
            WS_EX_CLIENTEDGE, left, top, width, height, L"");
  SendMessageW(Handle(), EM_SETEVENTMASK, 0, ENM_LINK);
}

void RichEdit::LoadRtf(const std::string& rtf) {
  TStreamSource source{&rtf, 0};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  es.pfnCallback = ReadStream;
  SendMessageW(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
}

void RichEdit::SetFace(const std::wstring& face, BYTE charset) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  cf.dwMask = CFM_FACE | CFM_CHARSET;
  cf.bCharSet = charset;
  face.copy(cf.szFaceName, LF_FACESIZE - 1);
  SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
}

void RichEdit::FormatRange(long start, long end, const CHARFORMAT2W& format) {
  CHARRANGE old{};
  SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
  SetSelection(start, end);
  CHARFORMAT2W cf = format;
  cf.cbSize = sizeof(cf);
  SendMessageW(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
}

long RichEdit::TextLength() const {
  GETTEXTLENGTHEX gl{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<long>(SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
}

std::wstring RichEdit::TextRange(long start, long end) const {
  if (end <= start) return std::wstring();
  std::wstring text(static_cast<size_t>(end - start) + 1, L'\0');
  TEXTRANGEW tr{};
  tr.chrg.cpMin = start;
  tr.chrg.cpMax = end;
  tr.lpstrText = text.data();
  const LRESULT n = SendMessageW(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
  text.resize(static_cast<size_t>(std::max<LRESULT>(0, n)));
  return text;
}

void RichEdit::SetSelection(long start, long end) {
  CHARRANGE r{start, end};
  SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void RichEdit::ScrollToTop() {
  SetSelection(0, 0);
  SendMessageW(Handle(), WM_VSCROLL, SB_TOP, 0);
}

LRESULT RichEdit::NotifyReflect(NMHDR* nm) {
  if (nm->code == EN_LINK) {
    auto* link = reinterpret_cast<ENLINK*>(nm);
    if (link->msg == WM_LBUTTONUP && OnLinkClick) OnLinkClick(this, link->chrg.cpMin, link->chrg.cpMax);
  }
  return 0;
}

LRESULT RichEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    // The whole client area, margins included: some controls paint only where text stands, which
    // would leave a longer line of the text before in place.
    RECT r;
    GetClientRect(Handle(), &r);
    FillRect(reinterpret_cast<HDC>(wp), &r, ColorBrush(clWindow));
    return 1;
  }
  if (msg == WM_GETDLGCODE) {
    // A text to read, not to type in: Tab and Esc keep their meaning in the window.
    LRESULT code = WinControl::WndProc(msg, wp, lp);
    return code & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
  }
  return WinControl::WndProc(msg, wp, lp);
}

// ---- ListView ----

void ListView::Create(WinControl* parent, int left, int top, int width, int height, const std::vector<Column>& columns) {
  FColor = clWindow;
  CreateStd(parent, WC_LISTVIEWW,
            LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, left, top,
            width, height, L"");
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP,
               LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
  FColumns = 0;
  for (const Column& c : columns) {
    LVCOLUMNW lc{};
    lc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lc.fmt = c.RightAligned && FColumns > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;  // the first column is always left
    lc.cx = Dpi().Scale(c.Width);  // a 96-DPI width
    lc.pszText = const_cast<wchar_t*>(c.Caption.c_str());
    lc.iSubItem = FColumns;
    SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(FColumns), reinterpret_cast<LPARAM>(&lc));
    ++FColumns;
  }
}

void ListView::SetRowCount(int rows) {
  SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(std::max(rows, 0)), 0);
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  if (rows > 0) SendMessageW(Handle(), LVM_ENSUREVISIBLE, 0, FALSE);
  InvalidateRect(Handle(), nullptr, TRUE);
}

int ListView::RowCount() const { return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

void ListView::RefreshRows() { InvalidateRect(Handle(), nullptr, FALSE); }

void ListView::SetSortMark(int column, bool ascending) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
  for (int i = 0; i < FColumns; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, i, &item)) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    Header_SetItem(header, i, &item);
  }
}

std::vector<int> ListView::SelectedRows() const {
  std::vector<int> rows;
  int at = -1;
  while ((at = static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(at), LVNI_SELECTED))) >= 0)
    rows.push_back(at);
  return rows;
}

void ListView::SelectAll() {
  LVITEMW all{};
  all.stateMask = all.state = LVIS_SELECTED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
}

LRESULT ListView::NotifyReflect(NMHDR* nm) {
  switch (nm->code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(nm)->item;
      if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        FCellText = OnCellText ? OnCellText(item.iItem, item.iSubItem) : std::wstring();
        // The control gives a buffer of its own size; a longer text is cut there, never past it.
        lstrcpynW(item.pszText, FCellText.c_str(), item.cchTextMax);
      }
      return 0;
    }
    case LVN_COLUMNCLICK:
      if (OnColumnClick) OnColumnClick(this, reinterpret_cast<NMLISTVIEW*>(nm)->iSubItem);
      return 0;
    default:
      return 0;
  }
}

}  // namespace ui
