// The standard controls: creation styles, notifications turned into events, and container painting.
#include "ui/StdControls.h"
#include "ui/Form.h"
#include <commctrl.h>
#include <algorithm>

namespace ui {

namespace {
// A control that is not a radio button starts a new group for the arrow keys, as does the first radio
// button after one.
DWORD GroupStyle(WinControl* parent, bool isRadio) {
  if (!isRadio) return WS_GROUP;
  if (!parent) return WS_GROUP;
  for (auto it = parent->Children().rbegin(); it != parent->Children().rend(); ++it) {
    if (!(*it)->IsWindowed()) continue;
    return dynamic_cast<RadioButton*>(*it) ? 0 : WS_GROUP;
  }
  return WS_GROUP;
}
}  // namespace

// ---- Button ----

void Button::Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption) {
  CreateStd(parent, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | GroupStyle(parent, false), 0, left, top, width, height,
            caption);
}

void Button::SetDefault(bool isDefault) {
  FDefault = isDefault;
  if (Form* f = ParentForm()) {
    if (isDefault) f->SetDefaultButton(this);
    else if (f->DefaultButton() == this) f->SetDefaultButton(nullptr);
    f->UpdateDefaultFrame();
  } else if (Handle()) {
    SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void Button::SetCancel(bool isCancel) {
  FCancel = isCancel;
  if (Form* f = ParentForm(); f && isCancel) f->SetCancelButton(this);
}

void Button::Click() {
  if (ModalResult != 0)
    if (Form* f = ParentForm()) f->SetModalResult(ModalResult);
  Control::Click();
}

void Button::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

// ---- CheckBox ----

bool StateButton::Checked() const { return Handle() && SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption) {
  CreateStd(parent, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP | GroupStyle(parent, false), 0, left, top, width,
            height, caption);
}

void CheckBox::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  Click();
}

void CheckBox::CommandNotify(WORD code) {
  if (code == BN_CLICKED) Click();
}

// ---- RadioButton ----

void RadioButton::Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption) {
  DWORD group = GroupStyle(parent, true);
  CreateStd(parent, WC_BUTTONW, BS_AUTORADIOBUTTON | group | (group ? WS_TABSTOP : 0), 0, left, top, width, height,
            caption);
}

void RadioButton::SetChecked(bool checked) {
  bool was = Checked();
  SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!checked) return;
  // Only the checked radio button of a set is a tab stop; the arrow keys move within the set.
  SetWindowLongPtrW(Handle(), GWL_STYLE, GetWindowLongPtrW(Handle(), GWL_STYLE) | WS_TABSTOP);
  if (Parent()) {
    for (Control* c : Parent()->Children()) {
      auto* r = dynamic_cast<RadioButton*>(c);
      if (!r || r == this || !r->Handle()) continue;
      SendMessageW(r->Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
      SetWindowLongPtrW(r->Handle(), GWL_STYLE, GetWindowLongPtrW(r->Handle(), GWL_STYLE) & ~WS_TABSTOP);
    }
  }
  if (!was) Click();
}

void RadioButton::CommandNotify(WORD code) {
  if (code != BN_CLICKED) return;
  // The standard control has already checked itself; siblings outside its group are ours to clear.
  SendMessageW(Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
  SetChecked(true);
}

// ---- Edit ----

void Edit::Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& text,
                  DWORD extraStyle) {
  FColor = clWindow;
  // A multi-line edit scrolls sideways only when asked to; single-line edits always do.
  DWORD scroll = (extraStyle & ES_MULTILINE) ? 0 : ES_AUTOHSCROLL;
  CreateStd(parent, WC_EDITW, scroll | WS_TABSTOP | WS_GROUP | extraStyle, WS_EX_CLIENTEDGE, left, top, width,
            height, text);
}

void Edit::SetReadOnly(bool readOnly) { SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }

bool Edit::ReadOnly() const { return (GetWindowLongPtrW(Handle(), GWL_STYLE) & ES_READONLY) != 0; }

void Edit::SetMaxLength(int length) { SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(length), 0); }

void Edit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void Edit::SetColor(Color c) {
  FColor = c;
  Invalidate();
}

void Edit::CommandNotify(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange(this);
}

HBRUSH Edit::CtlColor(HDC dc) {
  SetTextColor(dc, Enabled() ? TextRGB(FFont.Color, FColor) : ColorToRGB(clGrayText));
  SetBkColor(dc, ColorToRGB(FColor));
  return ColorBrush(FColor);
}

// ---- Label ----

void Label::Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption) {
  FCaption = caption;
  GraphicControl::Create(parent, left, top, width, height);
}

bool Label::HitTest(int, int) const { return true; }

void Label::Paint(HDC dc) {
  RECT r = ClientRect();
  if (!Transparent) FillRect(dc, &r, ColorBrush(FColor));
  comm::TSelectObject font(dc, FontHandle(DeviceFont()));
  SetBkMode(dc, TRANSPARENT);
  UINT fmt = DT_EXPANDTABS | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  if (TextAlignment == Alignment::Center) fmt |= DT_CENTER;
  if (TextAlignment == Alignment::Right) fmt |= DT_RIGHT;
  if (Layout != TextLayout::Top) {
    RECT calc = r;
    DrawTextW(dc, FCaption.c_str(), -1, &calc, fmt | DT_CALCRECT);
    int h = calc.bottom - calc.top;
    int offset = Layout == TextLayout::Bottom ? (r.bottom - h) : (r.bottom - h) / 2;
    r.top = std::max(0, offset);
  }
  // A label looks disabled when it or its container is, not when its form waits behind a modal window.
  DrawCaptionText(dc, FCaption, r, fmt, EnabledInContainer(), FFont.Color, FColor);
}

// ---- Panel ----

void DrawBevel(HDC dc, RECT& r, Bevel bevel, int width) {
  if (bevel == Bevel::None) return;
  COLORREF topLeft = ColorToRGB(bevel == Bevel::Raised ? clBtnHighlight : clBtnShadow);
  COLORREF bottomRight = ColorToRGB(bevel == Bevel::Raised ? clBtnShadow : clBtnHighlight);
  for (int i = 0; i < width; ++i) {
    comm::TGdiObject<HBRUSH> tl(CreateSolidBrush(topLeft)), br(CreateSolidBrush(bottomRight));
    RECT e;
    e = RECT{r.left, r.top, r.right - 1, r.top + 1};
    FillRect(dc, &e, tl.Get());
    e = RECT{r.left, r.top, r.left + 1, r.bottom - 1};
    FillRect(dc, &e, tl.Get());
    e = RECT{r.left, r.bottom - 1, r.right, r.bottom};
    FillRect(dc, &e, br.Get());
    e = RECT{r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &e, br.Get());
    InflateRect(&r, -1, -1);
  }
}

void Panel::Create(WinControl* parent, int left, int top, int width, int height) {
  FContainer = true;
  CreateOwn(parent, L"VssPanel", WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE, WS_EX_CONTROLPARENT, left, top,
            width, height, L"");
}

LRESULT Panel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The bevels run along the edges: a new size moves them, so the whole panel is drawn again (the
  // system would repaint only the part that a larger size uncovers).
  if (msg == WM_SIZE) InvalidateRect(Handle(), nullptr, TRUE);
  return WinControl::WndProc(msg, wp, lp);
}

void Panel::SetBevels(Bevel outer, Bevel inner) {
  FOuter = outer;
  FInner = inner;
  Invalidate();
}

void Panel::PaintWindow(HDC dc, const RECT& paintRect) {
  RECT r{0, 0, FWidth, FHeight};
  GetClientRect(Handle(), &r);
  DrawBevel(dc, r, FOuter, BevelWidth);
  DrawBevel(dc, r, FInner, BevelWidth);
  WinControl::PaintWindow(dc, paintRect);
}

// ---- GroupBox ----

void GroupBox::Create(WinControl* parent, int left, int top, int width, int height, const std::wstring& caption) {
  FContainer = true;
  CreateOwn(parent, L"VssGroupBox", WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE, WS_EX_CONTROLPARENT, left, top,
            width, height, caption);
}

void GroupBox::SetCaption(const std::wstring& caption) {
  WinControl::SetCaption(caption);
  Invalidate();
}

void GroupBox::PaintWindow(HDC dc, const RECT& paintRect) {
  RECT r;
  GetClientRect(Handle(), &r);
  comm::TSelectObject font(dc, FontHandle(DeviceFont()));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  RECT frame = r;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (!FCaption.empty()) {
    const int inset = Dpi().Scale(8);
    RECT tr{inset, 0, r.right - inset, tm.tmHeight};
    RECT calc = tr;
    DrawTextW(dc, FCaption.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
    calc.right += 2;
    RECT bg{tr.left - 1, 0, std::min<LONG>(tr.left + calc.right - calc.left + 1, r.right - 2), tm.tmHeight};
    FillRect(dc, &bg, ColorBrush(FColor));
    DrawCaptionText(dc, FCaption, tr, DT_SINGLELINE | DT_LEFT, IsWindowEnabled(Handle()) != FALSE, FFont.Color,
                    FColor);
  }
  WinControl::PaintWindow(dc, paintRect);
}

// ---- ListBox ----

void ListBox::Create(WinControl* parent, int left, int top, int width, int height, bool multiSelect,
                     DWORD extraStyle) {
  FColor = clWindow;
  CreateStd(parent, WC_LISTBOXW,
            LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP |
                (multiSelect ? LBS_EXTENDEDSEL : 0) | extraStyle,
            WS_EX_CLIENTEDGE, left, top, width, height, L"");
}

int ListBox::Count() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

std::wstring ListBox::Item(int index) const {
  LRESULT n = SendMessageW(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (n == LB_ERR) return L"";
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(Handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(n == LB_ERR ? 0 : static_cast<size_t>(n));
  return s;
}

int ListBox::Add(const std::wstring& text) {
  return static_cast<int>(SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ListBox::Insert(int index, const std::wstring& text) {
  return static_cast<int>(SendMessageW(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(text.c_str())));
}

void ListBox::Delete(int index) { SendMessageW(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void ListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::SelCount() const {
  LRESULT n = SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0);
  if (n == LB_ERR) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(n);
}

bool ListBox::Selected(int index) const {
  return SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void ListBox::SetSelected(int index, bool selected) {
  SendMessageW(Handle(), LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

void ListBox::SelectAll() {
  if (Count() > 0) SendMessageW(Handle(), LB_SELITEMRANGEEX, 0, static_cast<LPARAM>(Count() - 1));
}

int ListBox::ItemIndex() const { return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void ListBox::SetItemIndex(int index) {
  if (GetWindowLongPtrW(Handle(), GWL_STYLE) & LBS_EXTENDEDSEL)
    SendMessageW(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
  else
    SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBox::SetHorizontalExtent(int pixels) {
  SendMessageW(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels), 0);
}

int ListBox::HorizontalExtent() const {
  return static_cast<int>(SendMessageW(Handle(), LB_GETHORIZONTALEXTENT, 0, 0));
}

void ListBox::CommandNotify(WORD code) {
  if (code == LBN_DBLCLK && OnDblClick) OnDblClick(this);
  if (code == LBN_SELCHANGE && OnSelChange) OnSelChange(this);
}

// ---- ProgressBar ----

void ProgressBar::Create(WinControl* parent, int left, int top, int width, int height) {
  CreateStd(parent, PROGRESS_CLASSW, 0, 0, left, top, width, height, L"");
  SetRange(0, 100);
}

void ProgressBar::SetRange(int min, int max) {
  FMin = min;
  FMax = std::max(min, max);
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  FPosition = std::clamp(FPosition, FMin, FMax);
  FShownPosition = FPosition;
  SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

int64_t ProgressBar::Filled(int position) const {
  if (FMax <= FMin) return 0;
  RECT r{};
  GetClientRect(Handle(), &r);
  return static_cast<int64_t>(position - FMin) * r.right / (static_cast<int64_t>(FMax) - FMin);
}

void ProgressBar::SetPosition(int position) {
  position = std::clamp(position, FMin, FMax);
  FPosition = position;
  if (position == FShownPosition) return;
  if (position == FMin || position == FMax || Filled(position) != Filled(FShownPosition)) {
    FShownPosition = position;
    SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
}

}  // namespace ui
