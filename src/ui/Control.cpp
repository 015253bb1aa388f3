// Windowed and windowless controls: creation, the shared message procedure, reflection and painting.
#include "ui/Control.h"
#include "ui/Accessible.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include <commctrl.h>
#include <windowsx.h>
#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace ui {

namespace {
// The objects of the windows this layer made. Kept in the process rather than as window properties:
// a property lookup is a server call under Wine, which made every message of a control many times
// dearer than the control's own work.
std::unordered_map<HWND, WinControl*>& Objects() {
  static std::unordered_map<HWND, WinControl*> objects;
  return objects;
}
}  // namespace

unsigned KeyboardShiftState() {
  unsigned s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  return s;
}

static unsigned MouseShift(WPARAM wp) {
  unsigned s = 0;
  if (wp & MK_SHIFT) s |= ssShift;
  if (wp & MK_CONTROL) s |= ssCtrl;
  if (wp & MK_LBUTTON) s |= ssLeft;
  if (wp & MK_RBUTTON) s |= ssRight;
  if (wp & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

// ---- Control ----

Control::Control() : FSerial([] {
  static unsigned long next = 0;
  return ++next;
}()) {}

Control::~Control() {
  if (FParent) {
    auto& v = FParent->FChildren;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (FParent->FCaptureControl == this) FParent->FCaptureControl = nullptr;
    if (FParent->FMouseControl == this) FParent->FMouseControl = nullptr;
  }
}

void Control::AttachTo(WinControl* parent) {
  FParent = parent;
  if (parent) {
    parent->FChildren.push_back(this);
    FFont = parent->FFont;
  }
}

void Control::SetBounds(int left, int top, int width, int height) {
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  const TDpi dpi = Dpi();
  FDesign = RECT{dpi.Unscale(left), dpi.Unscale(top), dpi.Unscale(left + width), dpi.Unscale(top + height)};
}

void Control::SetDesignBounds(int left, int top, int width, int height) {
  FDesign = RECT{left, top, left + width, top + height};
  const RECT r = Dpi().Scale(FDesign);
  FLeft = r.left, FTop = r.top, FWidth = r.right - r.left, FHeight = r.bottom - r.top;
}

TDpi Control::Dpi() const {
  if (const Form* f = ParentForm()) return f->FormDpi();
  return SystemDpi();
}

void Control::ApplyDpi() {
  // SetBounds, so that a control that lays out its inside on a resize does so; the 96-DPI bounds are
  // kept as they were rather than taken back from the rounded pixels.
  const RECT design = FDesign;
  const RECT r = Dpi().Scale(design);
  SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  FDesign = design;
}

// A disabled or hidden control has no hint: one that shows goes at once.
void Control::SetEnabled(bool enabled) {
  const bool changed = enabled != FEnabled;
  FEnabled = enabled;
  if (changed) HintChanged();
}
void Control::SetVisible(bool visible) {
  const bool changed = visible != FVisible;
  FVisible = visible;
  if (changed) HintChanged();
}
void Control::SetCaption(const std::wstring& caption) { FCaption = caption; }
void Control::SetFont(const Font& font) { FFont = font; }
void Control::SetColor(Color c) { FColor = c; }

void Control::SetHint(const std::wstring& hint) {
  FHint = hint;
  HintChanged();
}

void Control::SetShowHint(bool show) {
  FShowHint = show;
  HintChanged();
}

void Control::HintChanged() {
  if (Form* f = ParentForm(); f && f != static_cast<Control*>(this)) f->UpdateHint(this);
}

Form* Control::ParentForm() const {
  const Control* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<Form*>(const_cast<Control*>(c));
}

bool Control::CanReact() const {
  for (const Control* c = this; c; c = c->FParent)
    if (!c->FEnabled || !c->FVisible) return false;
  return true;
}

bool Control::EnabledInContainer() const {
  for (const Control* c = this; c; c = c->FParent) {
    if (dynamic_cast<const Form*>(c)) break;
    if (!c->FEnabled) return false;
  }
  return true;
}

void Control::Click() {
  if (OnClick) OnClick(this);
}

// ---- WinControl ----

WinControl::~WinControl() {
  // Components that refer to this control let go first; a procedure they put in front goes with them.
  auto notifications = std::move(FFreeNotifications);
  FFreeNotifications.clear();
  for (auto& n : notifications)
    if (n.second) n.second();
  WindowProc = nullptr;
  if (Form* f = ParentForm(); f && f != static_cast<Control*>(this)) f->RemoveHint(this);
  for (Control* c : FChildren) c->FParent = nullptr;
  FChildren.clear();
  DestroyHandle();
}

WinControl* WinControl::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  auto it = Objects().find(hwnd);
  return it == Objects().end() ? nullptr : it->second;
}

void WinControl::DestroyHandle() {
  // The window goes with the holder; one its parent already took is left alone.
  const comm::TUniqueWindow window(std::exchange(FHandle, nullptr));
}

void WinControl::AfterCreate(WinControl* parent) {
  if (!FHandle) throw std::runtime_error("CreateWindowExW failed");
  Objects()[FHandle] = this;
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(DeviceFont())), FALSE);
  (void)parent;
}

void WinControl::CreateStd(WinControl* parent, const wchar_t* cls, DWORD style, DWORD exStyle, int left, int top,
                           int width, int height, const std::wstring& text) {
  AttachTo(parent);
  SetDesignBounds(left, top, width, height);
  FCaption = text;
  if (parent) style |= WS_CHILD;
  if (FVisible) style |= WS_VISIBLE;
  static int nextId = 100;
  FHandle = CreateWindowExW(exStyle, cls, text.c_str(), style, FLeft, FTop, FWidth, FHeight,
                            parent ? parent->Handle() : nullptr,
                            parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)) : nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  AfterCreate(parent);
  FOldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinControl::SubclassProc)));
  FSubclassed = true;
  if (!FEnabled) EnableWindow(FHandle, FALSE);
}

void WinControl::CreateOwn(WinControl* parent, const wchar_t* cls, DWORD style, DWORD exStyle, int left, int top,
                           int width, int height, const std::wstring& text, HWND owner) {
  AttachTo(parent);
  FOwnClass = true;
  if (parent) {
    SetDesignBounds(left, top, width, height);
    left = FLeft, top = FTop, width = FWidth, height = FHeight;
  } else {
    FLeft = left, FTop = top, FWidth = width, FHeight = height;
  }
  FCaption = text;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (!GetClassInfoExW(inst, cls, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &WinControl::OwnProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = cls;
    wc.hIcon = LoadIconW(inst, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    RegisterClassExW(&wc);
  }
  if (parent) style |= WS_CHILD;
  static int nextId = 20000;
  HWND parentHwnd = parent ? parent->Handle() : owner;
  CreateWindowExW(exStyle, cls, text.c_str(), style, left, top, width, height, parentHwnd,
                  parent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)) : nullptr, inst, this);
  AfterCreate(parent);
  if (!FEnabled) EnableWindow(FHandle, FALSE);
}

LRESULT CALLBACK WinControl::OwnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WinControl* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<WinControl*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->FHandle = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    Objects()[hwnd] = self;
  } else {
    // The program's own classes keep their object in the window's user data: no lookup per message.
    self = reinterpret_cast<WinControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    Objects().erase(hwnd);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    LRESULT r = DefWindowProcW(hwnd, msg, wp, lp);
    if (self->FHandle == hwnd) self->FHandle = nullptr;
    return r;
  }
  return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK WinControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WinControl* self = FromHandle(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    WNDPROC old = self->FOldProc;
    Objects().erase(hwnd);
    self->FSubclassed = false;
    self->FHandle = nullptr;
    return CallWindowProcW(old, hwnd, msg, wp, lp);
  }
  return self->Dispatch(msg, wp, lp);
}

// Every message passes here: an exception never leaves a window procedure; it reaches the
// application's standard error box and the program goes on.
LRESULT WinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  try {
    if (WindowProc) {
      // A copy: the procedure may take itself out while it runs.
      const WndMethod proc = WindowProc;
      return proc(msg, wp, lp);
    }
    return WndProc(msg, wp, lp);
  } catch (...) {
    Application::Instance().HandleException();
    return 0;
  }
}

LRESULT WinControl::DefaultProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (FSubclassed) return CallWindowProcW(FOldProc, FHandle, msg, wp, lp);
  return DefWindowProcW(FHandle, msg, wp, lp);
}

HBRUSH WinControl::CtlColor(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, TextRGB(FFont.Color, FParent ? FParent->FColor : FColor));
  SetBkColor(dc, ColorToRGB(FParent ? FParent->FColor : FColor));
  return ColorBrush(FParent ? FParent->FColor : FColor);
}

void WinControl::PaintBackground(HDC dc, const RECT& rc) { FillRect(dc, &rc, ColorBrush(FColor)); }

void WinControl::PaintWindow(HDC dc, const RECT& paintRect) {
  for (Control* c : FChildren) {
    auto* g = dynamic_cast<GraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    RECT r = g->BoundsRect(), tmp;
    if (!IntersectRect(&tmp, &r, &paintRect)) continue;
    comm::TSavedDC saved(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    SetViewportOrgEx(dc, r.left, r.top, nullptr);
    g->Paint(dc);
  }
}

GraphicControl* WinControl::GraphicAt(POINT pt) const {
  for (auto it = FChildren.rbegin(); it != FChildren.rend(); ++it) {
    auto* g = dynamic_cast<GraphicControl*>(*it);
    if (!g || !g->Visible()) continue;
    RECT r = g->BoundsRect();
    if (PtInRect(&r, pt) && g->HitTest(pt.x - r.left, pt.y - r.top)) return g;
  }
  return nullptr;
}

void WinControl::SetMouseControl(GraphicControl* c) {
  if (c == FMouseControl) return;
  GraphicControl* old = FMouseControl;
  FMouseControl = c;
  if (old) {
    old->FMouseInControl = false;
    old->MouseLeave();
  }
  if (c) {
    c->FMouseInControl = true;
    c->MouseEnter();
  }
}

void WinControl::RouteMouse(UINT msg, WPARAM wp, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  unsigned shift = MouseShift(wp);
  if (msg == WM_MOUSELEAVE) {
    FTrackingLeave = false;
    if (!FCaptureControl) SetMouseControl(nullptr);
    return;
  }
  GraphicControl* hit = GraphicAt(pt);
  GraphicControl* target = FCaptureControl ? FCaptureControl : hit;
  if (msg == WM_MOUSEMOVE) {
    if (!FTrackingLeave) {
      TRACKMOUSEEVENT tme{};
      tme.cbSize = sizeof(tme);
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = FHandle;
      FTrackingLeave = TrackMouseEvent(&tme) != FALSE;
    }
    if (FCaptureControl) {
      // A pressed control alone is told when the pointer leaves and re-enters it, once each way.
      const bool inside = hit == FCaptureControl;
      if (inside != FCaptureControl->FMouseInControl) {
        FCaptureControl->FMouseInControl = inside;
        if (inside) FCaptureControl->MouseEnter();
        else FCaptureControl->MouseLeave();
      }
      FMouseControl = inside ? FCaptureControl : nullptr;
    } else {
      SetMouseControl(hit && hit->CanReact() ? hit : nullptr);
    }
    if (target && target->CanReact()) target->MouseMove(shift, pt.x - target->Left(), pt.y - target->Top());
    return;
  }
  MouseButton button = MouseButton::Left;
  if (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP || msg == WM_RBUTTONDBLCLK) button = MouseButton::Right;
  if (msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP || msg == WM_MBUTTONDBLCLK) button = MouseButton::Middle;
  bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN || msg == WM_LBUTTONDBLCLK ||
              msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
  if (down) {
    if (!hit || !hit->CanReact()) return;
    if (button == MouseButton::Left) {
      FCaptureControl = hit;
      SetCapture(FHandle);
    }
    hit->MouseDown(button, shift, pt.x - hit->Left(), pt.y - hit->Top());
  } else {
    GraphicControl* c = target;
    if (button == MouseButton::Left && FCaptureControl) {
      FCaptureControl = nullptr;
      if (GetCapture() == FHandle) ReleaseCapture();
    }
    if (c && c->CanReact()) c->MouseUp(button, shift, pt.x - c->Left(), pt.y - c->Top());
    SetMouseControl(hit && hit->CanReact() ? hit : nullptr);
  }
}

LRESULT WinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (HandleAccessibleClick(*this, msg, lp)) return 0;
  switch (msg) {
    case WM_GETOBJECT:
      if (const LRESULT object = AnswerGetObject(*this, wp, lp)) return object;
      break;
    case WM_COMMAND:
      if (lp) {
        if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lp)); c && c != this) {
          c->CommandNotify(HIWORD(wp));
          return 0;
        }
      }
      break;
    case WM_NOTIFY: {
      auto* nm = reinterpret_cast<NMHDR*>(lp);
      if (WinControl* c = FromHandle(nm->hwndFrom); c && c != this) return c->NotifyReflect(nm);
      break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lp)); c && c != this)
        return reinterpret_cast<LRESULT>(c->CtlColor(reinterpret_cast<HDC>(wp)));
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis->CtlType == ODT_MENU) {
        if (PopupMenu::DrawGlyph(dis)) return TRUE;
        break;
      }
      if (WinControl* c = FromHandle(dis->hwndItem); c && c != this && c->DrawItem(dis)) return TRUE;
      break;
    }
    case WM_CHARTOITEM:
      if (WinControl* c = FromHandle(reinterpret_cast<HWND>(lp)); c && c != this) return c->CharToItem(LOWORD(wp));
      break;
    case WM_MEASUREITEM:
      if (reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlType == ODT_MENU &&
          PopupMenu::MeasureGlyph(reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
        return TRUE;
      break;
    case WM_SETCURSOR:
      if (Application::Instance().CursorIsBusy()) {
        ::SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_ENABLE:
      if (FOwnClass) InvalidateRect(FHandle, nullptr, TRUE);
      break;
    case WM_SETFOCUS:
      // The default frame follows the focus onto and off the push buttons.
      if (Form* f = ParentForm()) f->UpdateDefaultFrame();
      break;
    default:
      break;
  }
  if (FOwnClass) {
    switch (msg) {
      case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(FHandle, &rc);
        PaintBackground(reinterpret_cast<HDC>(wp), rc);
        return 1;
      }
      case WM_PAINT: {
        comm::TPaintDC dc(FHandle);
        PaintWindow(dc, dc.PaintRect());
        return 0;
      }
      case WM_PRINTCLIENT: {
        RECT rc;
        GetClientRect(FHandle, &rc);
        PaintBackground(reinterpret_cast<HDC>(wp), rc);
        PaintWindow(reinterpret_cast<HDC>(wp), rc);
        return 0;
      }
      default:
        break;
    }
  }
  if (FContainer) {
    switch (msg) {
      case WM_MOUSEMOVE:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONUP:
      case WM_MOUSELEAVE:
        RouteMouse(msg, wp, lp);
        break;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != FHandle && FCaptureControl) {
          GraphicControl* c = FCaptureControl;
          FCaptureControl = nullptr;
          c->MouseUp(MouseButton::Left, 0, -1, -1);
          SetMouseControl(nullptr);
        }
        break;
      default:
        break;
    }
  }
  return DefaultProc(msg, wp, lp);
}

void WinControl::AddFreeNotification(const void* key, std::function<void()> fn) {
  FFreeNotifications.emplace_back(key, std::move(fn));
}

void WinControl::RemoveFreeNotification(const void* key) {
  auto& v = FFreeNotifications;
  v.erase(std::remove_if(v.begin(), v.end(), [key](const auto& n) { return n.first == key; }), v.end());
}

void WinControl::RecreateWnd() {
  if (!FHandle || !FParent || !FParent->Handle()) return;
  const HWND old = FHandle;
  wchar_t cls[256] = L"";
  GetClassNameW(old, cls, 256);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_EXSTYLE));
  const LONG_PTR id = GetWindowLongPtrW(old, GWLP_ID);
  const std::wstring text = Caption();
  const bool hadFocus = GetFocus() == old;
  const HINSTANCE inst = GetModuleHandleW(nullptr);

  // The old window stops reaching this object before the new one is made: its last messages would
  // otherwise be handled as the new window's.
  Objects().erase(old);
  if (FOwnClass) {
    SetWindowLongPtrW(old, GWLP_USERDATA, 0);
  } else if (FSubclassed) {
    SetWindowLongPtrW(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
    FSubclassed = false;
  }
  FHandle = nullptr;
  // From here the old window is ours to destroy, whether or not its successor is made.
  comm::TUniqueWindow oldWindow(old);

  HWND created = CreateWindowExW(exStyle, cls, text.c_str(), style, FLeft, FTop, FWidth, FHeight,
                                 FParent->Handle(), reinterpret_cast<HMENU>(id), inst, FOwnClass ? this : nullptr);
  if (!created) throw std::runtime_error("CreateWindowExW failed");
  if (!FOwnClass) {
    FHandle = created;
    Objects()[created] = this;
    FOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(created, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinControl::SubclassProc)));
    FSubclassed = true;
  }
  SetWindowPos(created, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (Control* c : FChildren)
    if (auto* w = dynamic_cast<WinControl*>(c); w && w->FHandle) SetParent(w->FHandle, created);
  oldWindow.Reset();
  // Sent through the object, so that whatever is in front of its procedure sees the new window.
  SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(DeviceFont())), FALSE);
  if (!FEnabled) EnableWindow(created, FALSE);
  if (hadFocus) ::SetFocus(created);
}

void WinControl::SetBounds(int left, int top, int width, int height) {
  Control::SetBounds(left, top, width, height);
  if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WinControl::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  if (FHandle) EnableWindow(FHandle, enabled ? TRUE : FALSE);
}

void WinControl::SetVisible(bool visible) {
  Control::SetVisible(visible);
  if (FHandle) ShowWindow(FHandle, visible ? SW_SHOWNA : SW_HIDE);
}

void WinControl::SetCaption(const std::wstring& caption) {
  Control::SetCaption(caption);
  if (FHandle) SetWindowTextW(FHandle, caption.c_str());
}

std::wstring WinControl::Caption() const {
  if (!FHandle) return FCaption;
  int n = GetWindowTextLengthW(FHandle);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(FHandle, s.data(), n + 1);
  s.resize(static_cast<size_t>(std::max(n, 0)));
  return s;
}

void WinControl::SetFont(const Font& font) {
  Control::SetFont(font);
  if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(DeviceFont())), TRUE);
}

void WinControl::ApplyDpi() {
  Control::ApplyDpi();
  if (FHandle) SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(DeviceFont())), FALSE);
  for (Control* c : FChildren) c->ApplyDpi();
  Invalidate();
}

void WinControl::SetColor(Color c) {
  Control::SetColor(c);
  Invalidate();
}

void WinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void WinControl::Repaint() {
  if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WinControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

bool WinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

// ---- GraphicControl ----

GraphicControl::~GraphicControl() {
  if (FParent) {
    if (Form* f = ParentForm()) f->RemoveHint(this);
    Invalidate();
  }
}

void GraphicControl::Create(WinControl* parent, int left, int top, int width, int height) {
  AttachTo(parent);
  SetDesignBounds(left, top, width, height);
  Invalidate();
}

void GraphicControl::SetBounds(int left, int top, int width, int height) {
  Invalidate();
  Control::SetBounds(left, top, width, height);
  Invalidate();
  HintChanged();
}

void GraphicControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  Control::SetEnabled(enabled);
  if (!enabled && FParent && FParent->FMouseControl == this) FParent->SetMouseControl(nullptr);
  Invalidate();
}

void GraphicControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  Invalidate();
  Control::SetVisible(visible);
  Invalidate();
}

void GraphicControl::SetCaption(const std::wstring& caption) {
  if (caption == FCaption) return;
  Control::SetCaption(caption);
  Invalidate();
  NotifyAccessibleNameChange(*this);
}

void GraphicControl::Invalidate() {
  if (FParent && FParent->Handle()) {
    RECT r = BoundsRect();
    InvalidateRect(FParent->Handle(), &r, TRUE);
  }
}

void GraphicControl::Repaint() {
  Invalidate();
  if (FParent && FParent->Handle()) UpdateWindow(FParent->Handle());
}

void GraphicControl::MouseDown(MouseButton, unsigned, int, int) {}
void GraphicControl::MouseMove(unsigned, int, int) {}
void GraphicControl::MouseUp(MouseButton button, unsigned, int x, int y) {
  if (button == MouseButton::Left && x >= 0 && y >= 0 && x < FWidth && y < FHeight) Click();
}
void GraphicControl::MouseEnter() {}
void GraphicControl::MouseLeave() {}

}  // namespace ui
