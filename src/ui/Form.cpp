// Top-level windows: frame sizing, showing and closing, modal loops, key preview and tooltips.
#include "ui/Form.h"
#include "ui/Application.h"
#include "ui/Menu.h"
#include "ui/StdControls.h"
#include <commctrl.h>
#include <windowsx.h>
#include <algorithm>

namespace ui {

namespace {
wchar_t UpperChar(wchar_t ch) {
  return static_cast<wchar_t>(
      reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch)))));
}
}  // namespace

wchar_t MnemonicOf(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') { ++i; continue; }
    return UpperChar(caption[i + 1]);
  }
  return 0;
}

Form::Form() { FContainer = true; }

Form::~Form() {
  if (Application::Instance().MainForm() == this) Application::Instance().SetMainForm(nullptr);
  FTooltip.Reset();
}

void Form::CreateForm(const std::wstring& caption, DWORD style, DWORD exStyle, int clientWidth, int clientHeight,
                      HWND owner) {
  FDpi = SystemDpi();
  RECT r{0, 0, FDpi.Scale(clientWidth), FDpi.Scale(clientHeight)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle | WS_EX_CONTROLPARENT);
  style &= ~WS_VISIBLE;
  FVisible = false;
  CreateOwn(nullptr, FClassName, style | WS_CLIPCHILDREN, exStyle | WS_EX_CONTROLPARENT, CW_USEDEFAULT,
            CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, caption, owner);
  FDpi = WindowDpi(Handle());
  RECT wr;
  GetWindowRect(Handle(), &wr);
  Control::SetBounds(wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top);
  SetClientSize(FDpi.Scale(clientWidth), FDpi.Scale(clientHeight));
  FDesignClient = SIZE{clientWidth, clientHeight};
}

void Form::ApplyDpi() {
  if (Handle()) SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(DeviceFont())), FALSE);
  if (FTooltip)
    SendMessageW(FTooltip.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(FDpi.Scale(DefaultFont()))), FALSE);
  for (Control* c : Children()) c->ApplyDpi();
}

void Form::ChangeDpi(TDpi dpi, const RECT& bounds) {
  if (!Handle()) return;
  FDpi = dpi;
  ApplyDpi();
  // Placed without the resize check: a form the user cannot resize still takes its new size.
  FInternalSize = true;
  SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  FInternalSize = false;
  if (!(GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_THICKFRAME) && FDesignClient.cx > 0) {
    const SIZE design = FDesignClient;
    SetClientSize(FDpi.Scale(design.cx), FDpi.Scale(design.cy));
    FDesignClient = design;
  }
  DoDpiChanged();
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Form::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
  DWORD ex = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  AdjustWindowRectEx(&r, style, FALSE, ex);
  FInternalSize = true;
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
  FInternalSize = false;
  // A menu bar or a wrapped caption can make the frame thicker than computed: correct from the result.
  RECT cr;
  GetClientRect(Handle(), &cr);
  if (cr.right != width || cr.bottom != height) {
    FInternalSize = true;
    SetBounds(FLeft, FTop, FWidth + width - cr.right, FHeight + height - cr.bottom);
    FInternalSize = false;
  }
  FDesignClient = SIZE{FDpi.Unscale(width), FDpi.Unscale(height)};
}

int Form::ClientWidth() const {
  RECT r;
  GetClientRect(Handle(), &r);
  return r.right;
}

int Form::ClientHeight() const {
  RECT r;
  GetClientRect(Handle(), &r);
  return r.bottom;
}

void Form::SetPosition(int left, int top) { SetBounds(left, top, FWidth, FHeight); }

void Form::SetPositionOnScreen(int left, int top) {
  RECT placed = FitOnScreen(RECT{left, top, left + FWidth, top + FHeight});
  SetPosition(placed.left, placed.top);
}

namespace {
BOOL CALLBACK RemoveWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM lp) {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (GetMonitorInfoW(monitor, &mi)) {
    comm::TGdiObject<HRGN> work(CreateRectRgnIndirect(&mi.rcWork));
    CombineRgn(reinterpret_cast<HRGN>(lp), reinterpret_cast<HRGN>(lp), work.Get(), RGN_DIFF);
  }
  return TRUE;
}
}  // namespace

RECT RestoredBounds(HWND window) {
  RECT r{};
  if (!IsIconic(window) && !IsZoomed(window)) {
    GetWindowRect(window, &r);
    return r;
  }
  // The placement gives the restored place in work-area coordinates.
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  GetWindowPlacement(window, &wp);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromRect(&wp.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &mi);
  r = wp.rcNormalPosition;
  OffsetRect(&r, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
  return r;
}

RECT FitOnScreen(const RECT& bounds) {
  // What is left of the window once every work area is taken away; nothing left means it fits, also
  // when it spans two monitors side by side.
  comm::TGdiObject<HRGN> rest(CreateRectRgnIndirect(&bounds));
  EnumDisplayMonitors(nullptr, nullptr, RemoveWorkArea, reinterpret_cast<LPARAM>(rest.Get()));
  RECT box;
  if (GetRgnBox(rest.Get(), &box) == NULLREGION) return bounds;
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!GetMonitorInfoW(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &mi)) return bounds;
  const RECT& wa = mi.rcWork;
  const LONG width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  // A window larger than the work area keeps its top left corner on it.
  const LONG left = std::max(wa.left, std::min(bounds.left, wa.right - width));
  const LONG top = std::max(wa.top, std::min(bounds.top, wa.bottom - height));
  return RECT{left, top, left + width, top + height};
}

void FitWindowOnScreen(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return;
  const RECT fitted = FitOnScreen(r);
  if (fitted.left != r.left || fitted.top != r.top)
    SetWindowPos(window, nullptr, fitted.left, fitted.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT BesideOnScreen(const RECT& anchor, LONG width, LONG height, const std::function<RECT(const RECT&)>& fit) {
  // A side has room when fitting the window there moves it up or down at most.
  const RECT right = fit(RECT{anchor.right, anchor.top, anchor.right + width, anchor.top + height});
  if (right.left == anchor.right) return right;
  const RECT left = fit(RECT{anchor.left - width, anchor.top, anchor.left, anchor.top + height});
  if (left.left == anchor.left - width) return left;
  return right;
}

void Form::CenterOnScreen() {
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  SetPosition((sw - FWidth) / 2, (sh - FHeight) / 2);
}

void Form::Show() {
  FVisible = true;
  FShowRequested = true;
  ShowWindow(Handle(), SW_SHOW);
  FShowRequested = false;
  BringToFront();
}

void Form::Hide() {
  FVisible = false;
  ShowWindow(Handle(), SW_HIDE);
}

bool Form::Showing() const { return Handle() && IsWindowVisible(Handle()); }

void Form::BringToFront() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
}

void Form::Close() {
  if (!Handle()) return;
  if (FModal) {
    if (DoCloseQuery()) FModalResult = mrCancel;
    return;
  }
  if (!DoCloseQuery()) return;
  CloseAction action = CloseAction::Hide;
  DoClose(action);
  if (action == CloseAction::None) return;
  if (Application::Instance().MainForm() == this) {
    // Closing the main form ends the program; the window lives until the application lets it go.
    Application::Instance().Terminate();
    return;
  }
  if (action == CloseAction::Minimize)
    ShowWindow(Handle(), SW_MINIMIZE);
  else
    Hide();
}

namespace {
struct DisabledWindows {
  HWND self;
  std::vector<HWND> list;
};
BOOL CALLBACK DisableOthers(HWND hwnd, LPARAM lp) {
  auto* d = reinterpret_cast<DisabledWindows*>(lp);
  if (auto* form = dynamic_cast<Form*>(WinControl::FromHandle(hwnd)); form && form->UsableUnderModal) return TRUE;
  if (hwnd != d->self && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    d->list.push_back(hwnd);
    EnableWindow(hwnd, FALSE);
  }
  return TRUE;
}
}  // namespace

int Form::ShowModal() {
  Application& app = Application::Instance();
  const bool closeAtOnce = !ShowWhileTerminating;
  if (app.Terminated() && closeAtOnce) return mrClosed;
  HWND previous = GetActiveWindow();
  DisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOthers, reinterpret_cast<LPARAM>(&disabled));
  FModal = true;
  FModalResult = mrNone;
  ModalScope modal(Handle());
  Show();
  while (FModalResult == mrNone) {
    if (app.Terminated() && closeAtOnce) {
      FModalResult = mrClosed;
      break;
    }
    app.HandleMessage();
  }
  int result = FModalResult;
  // Enable the others before hiding, so that activation returns to the window that was active.
  for (HWND h : disabled.list)
    if (IsWindow(h)) EnableWindow(h, TRUE);
  Hide();
  FModal = false;
  if (previous && IsWindow(previous) && previous != Handle()) SetActiveWindow(previous);
  return result;
}

bool Form::IsShortCut(WORD key, unsigned shift) {
  std::vector<PopupMenu*> menus = FShortcutMenus;
  if (FPopupMenu && std::find(menus.begin(), menus.end(), FPopupMenu) == menus.end()) menus.push_back(FPopupMenu);
  for (PopupMenu* m : menus)
    if (m->IsShortCut(key, shift)) return true;
  return false;
}

bool Form::Mnemonic(WinControl* container, wchar_t ch) {
  for (Control* c : container->Children()) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (auto* label = dynamic_cast<Label*>(c)) {
      if (label->FocusControl && MnemonicOf(label->Caption()) == ch && label->FocusControl->CanReact()) {
        label->FocusControl->SetFocus();
        return true;
      }
    } else if (auto* group = dynamic_cast<GroupBox*>(c); group && MnemonicOf(group->Caption()) == ch) {
      // A group box's access key moves to the control inside it that Tab would reach first.
      if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE); first) {
        HWND target = nullptr;
        for (HWND h = first;;) {
          if (IsChild(group->Handle(), h)) {
            target = h;
            break;
          }
          h = GetNextDlgTabItem(Handle(), h, FALSE);
          if (!h || h == first) break;
        }
        if (target) {
          ::SetFocus(target);
          return true;
        }
      }
    } else if (auto* w = dynamic_cast<WinControl*>(c); w && !w->Children().empty()) {
      if (Mnemonic(w, ch)) return true;
    }
  }
  return false;
}

namespace {
struct ButtonOrder {
  std::vector<HWND> windows;  // every child window, in the order the dialog keys walk them
};
BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  reinterpret_cast<ButtonOrder*>(lp)->windows.push_back(hwnd);
  return TRUE;
}
bool IsButtonWithMnemonic(HWND hwnd, wchar_t ch) {
  if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return false;
  wchar_t cls[16] = L"";
  GetClassNameW(hwnd, cls, 16);
  if (_wcsicmp(cls, WC_BUTTONW) != 0) return false;
  LONG_PTR type = GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_GROUPBOX) return false;
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(0, GetWindowTextW(hwnd, text.data(), n + 1))));
  return MnemonicOf(text) == ch;
}
}  // namespace

// A key that several buttons share moves the focus to the next of them, in the order of the dialog
// keys, and presses none (a key that one button owns presses it, through the dialog handling).
bool Form::SharedMnemonic(wchar_t ch) {
  ButtonOrder order;
  EnumChildWindows(Handle(), CollectChild, reinterpret_cast<LPARAM>(&order));
  const std::vector<HWND>& all = order.windows;
  std::vector<size_t> owners;
  for (size_t i = 0; i < all.size(); ++i)
    if (IsButtonWithMnemonic(all[i], ch)) owners.push_back(i);
  if (owners.size() < 2) return false;
  HWND focus = GetFocus();
  size_t at = all.size();
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == focus || (focus && IsChild(all[i], focus))) at = i;
  size_t next = owners.front();  // round again after the last
  if (at < all.size())
    for (size_t i : owners)
      if (i > at) {
        next = i;
        break;
      }
  ::SetFocus(all[next]);
  return true;
}

bool Form::PreTranslateKey(MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(msg.wParam);
      unsigned shift = KeyboardShiftState();
      if (KeyPreview) {
        DoKeyDown(key, shift);
        if (key == 0) return true;
        msg.wParam = key;
      }
      if (key == VK_F1 && msg.message == WM_KEYDOWN && !(shift & (ssCtrl | ssAlt)) && !HelpTopic.empty()) {
        Application::Instance().ShowHelpTopic(HelpTopic);
        return true;
      }
      if (IsShortCut(key, shift)) return true;
      return false;
    }
    case WM_CHAR: {
      if (KeyPreview) {
        wchar_t ch = static_cast<wchar_t>(msg.wParam);
        DoKeyPress(ch);
        if (ch == 0) return true;
        msg.wParam = ch;
      }
      // A typed letter is an access key where the focused control takes no characters (a button).
      LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
      if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) return false;
      return SharedMnemonic(UpperChar(static_cast<wchar_t>(msg.wParam)));
    }
    case WM_SYSCHAR: {
      wchar_t ch = UpperChar(static_cast<wchar_t>(msg.wParam));
      return Mnemonic(this, ch) || SharedMnemonic(ch);
    }
    default:
      return false;
  }
}

Control* Form::FindById(WinControl* container, int id) {
  for (Control* c : container->Children()) {
    if (auto* w = dynamic_cast<WinControl*>(c)) {
      if (w->Handle() && GetDlgCtrlID(w->Handle()) == id) return w;
      if (Control* found = FindById(w, id)) return found;
    }
  }
  return nullptr;
}

namespace {
void CollectButtons(WinControl* container, std::vector<Button*>& buttons) {
  for (Control* c : container->Children()) {
    if (auto* b = dynamic_cast<Button*>(c)) buttons.push_back(b);
    else if (auto* w = dynamic_cast<WinControl*>(c)) CollectButtons(w, buttons);
  }
}
}  // namespace

void Form::UpdateDefaultFrame() {
  if (!Handle()) return;
  // Enter presses the focused push button, or else the default button (the dialog manager asks the
  // focus for DLGC_DEFPUSHBUTTON first): the frame goes where Enter goes.
  Button* framed = FDefaultButton;
  HWND focus = GetFocus();
  if (focus && IsChild(Handle(), focus))
    if (auto* b = dynamic_cast<Button*>(FromHandle(focus))) framed = b;
  std::vector<Button*> buttons;
  CollectButtons(this, buttons);
  for (Button* b : buttons) {
    if (!b->Handle()) continue;
    const bool wanted = b == framed;
    const bool shown = (GetWindowLongPtrW(b->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (wanted != shown) SendMessageW(b->Handle(), BM_SETSTYLE, wanted ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  }
}

void Form::SetActiveControl(WinControl* c) {
  FLastFocus = c ? c->Handle() : nullptr;
  if (FLastFocus && GetActiveWindow() == Handle()) ::SetFocus(FLastFocus);
}

void Form::UpdateHint(Control* c) {
  if (!Handle()) return;
  std::wstring shortHint = c->Hint().substr(0, c->Hint().find(L'|'));
  bool windowed = c->IsWindowed();
  HWND toolOwner = windowed ? Handle() : (c->Parent() ? c->Parent()->Handle() : nullptr);
  if (!toolOwner) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = toolOwner;
  ti.uId = windowed ? reinterpret_cast<UINT_PTR>(static_cast<WinControl*>(c)->Handle()) : reinterpret_cast<UINT_PTR>(c);
  if (windowed && !static_cast<WinControl*>(c)->Handle()) return;
  // A windowless control whose hint is off keeps its parent's hint off it too: a tool of its own with
  // no text, which the tooltip prefers to the parent window's tool and never shows. (A windowed one
  // has a window of its own, where its parent's tool does not reach.)
  const bool silent = !windowed && !c->ShowHint();
  if (!FTooltip) {
    if ((shortHint.empty() || !c->ShowHint()) && !silent) return;
    FTooltip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    SendMessageW(FTooltip.Get(), TTM_SETMAXTIPWIDTH, 0, 600);
    SendMessageW(FTooltip.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(FDpi.Scale(DefaultFont()))), FALSE);
  }
  // A disabled or hidden control shows no tip, and one showing for it goes at once (a button disabled
  // by its own click keeps no tip on the screen).
  const bool shown = c->Enabled() && c->Visible();
  if (!shown) {
    TTTOOLINFOW current{};
    current.cbSize = sizeof(current);
    if (SendMessageW(FTooltip.Get(), TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&current)) &&
        current.hwnd == ti.hwnd && current.uId == ti.uId)
      SendMessageW(FTooltip.Get(), TTM_POP, 0, 0);
  }
  SendMessageW(FTooltip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  // A hidden control is not there at all; a disabled windowless one stays silent over its parent.
  if (!c->Visible()) return;
  if (silent || (!windowed && !c->Enabled())) shortHint.clear();
  else if (shortHint.empty() || !c->ShowHint() || !shown) return;
  ti.uFlags = TTF_SUBCLASS | (windowed ? TTF_IDISHWND : 0);
  ti.rect = c->BoundsRect();
  ti.lpszText = shortHint.data();
  SendMessageW(FTooltip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Form::RemoveHint(Control* c) {
  if (!FTooltip) return;
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  bool windowed = c->IsWindowed();
  ti.hwnd = windowed ? Handle() : (c->Parent() ? c->Parent()->Handle() : nullptr);
  ti.uId = windowed ? reinterpret_cast<UINT_PTR>(static_cast<WinControl*>(c)->Handle()) : reinterpret_cast<UINT_PTR>(c);
  SendMessageW(FTooltip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

namespace {
BOOL CALLBACK TellColorChange(HWND child, LPARAM) {
  SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}
}  // namespace

LRESULT Form::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_GETMINMAXINFO:
      if (FLeastWidth > 0 || FLeastHeight > 0) {
        auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
        const SIZE least = LeastSize();
        mm->ptMinTrackSize.x = std::max<LONG>(mm->ptMinTrackSize.x, least.cx);
        mm->ptMinTrackSize.y = std::max<LONG>(mm->ptMinTrackSize.y, least.cy);
        return 0;
      }
      break;
    case WM_DPICHANGED:
      ChangeDpi(TDpi(HIWORD(wp)), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // A theme switched on or off (high contrast among them): the standard controls hear of it from
      // their window, and everything is drawn again in the new colours.
      if (msg == WM_SYSCOLORCHANGE || wp == SPI_SETHIGHCONTRAST) {
        EnumChildWindows(Handle(), TellColorChange, 0);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      }
      break;
    case WM_COMMAND:
      if (!lp || !FromHandle(reinterpret_cast<HWND>(lp))) {
        WORD id = LOWORD(wp);
        if (id == IDCANCEL) {
          if (FCancelButton && FCancelButton->CanReact()) FCancelButton->Click();
          return 0;
        }
        if (id == IDOK) {
          if (FDefaultButton && FDefaultButton->CanReact()) FDefaultButton->Click();
          return 0;
        }
        if (auto* b = dynamic_cast<Button*>(FindById(this, id)); b && b->CanReact()) {
          b->Click();
          return 0;
        }
      }
      break;
    case DM_GETDEFID:
      if (FDefaultButton && FDefaultButton->Handle())
        return MAKELRESULT(GetDlgCtrlID(FDefaultButton->Handle()), DC_HASDEFID);
      return 0;
    case WM_CONTEXTMENU:
      if (FPopupMenu) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (pt.x == -1 && pt.y == -1) {
          pt = POINT{0, 0};
          ClientToScreen(Handle(), &pt);
        }
        FPopupMenu->Popup(pt.x, pt.y, Handle());
        return 0;
      }
      break;
    case WM_SHOWWINDOW:
      // Shown by the program; not when the restore of a minimised owner shows the form again as it
      // was (the system's own ShowWindow then also sends this message).
      if (wp && FShowRequested) DoShow();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(Handle(), f)) FLastFocus = f;
      } else {
        HWND f = FLastFocus;
        if (!f || !IsWindow(f) || !IsWindowEnabled(f) || !IsWindowVisible(f))
          f = GetNextDlgTabItem(Handle(), nullptr, FALSE);
        if (f && IsChild(Handle(), f)) ::SetFocus(f);
        return 0;
      }
      break;
    case WM_WINDOWPOSCHANGING: {
      auto* wp2 = reinterpret_cast<WINDOWPOS*>(lp);
      if (!FInternalSize && !(wp2->flags & SWP_NOSIZE) && Handle() && (wp2->cx != FWidth || wp2->cy != FHeight)) {
        const SIZE least = LeastSize();
        int w = std::max<int>(wp2->cx, least.cx), h = std::max<int>(wp2->cy, least.cy);
        if (!DoCanResize(w, h)) wp2->flags |= SWP_NOSIZE;
        else wp2->cx = w, wp2->cy = h;
      }
      break;
    }
    case WM_WINDOWPOSCHANGED: {
      RECT r;
      GetWindowRect(Handle(), &r);
      FLeft = r.left, FTop = r.top, FWidth = r.right - r.left, FHeight = r.bottom - r.top;
      break;
    }
    case WM_ENABLE:
      FEnabled = wp != 0;
      break;
    case WM_HELP:
      if (!HelpTopic.empty()) {
        Application::Instance().ShowHelpTopic(HelpTopic);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return WinControl::WndProc(msg, wp, lp);
}

}  // namespace ui
