// File dialogs placed by their owner: frame hooked from its show to its close, placed once, names whole.
#include "shell/PlacedFileDialog.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "comm/Scoped.h"
#include <algorithm>

namespace shell {

namespace {
// The dialog being shown on this thread: file dialogs are modal, one at a time.
thread_local TFileDialogEx* t_shown = nullptr;
constexpr size_t kInitialBuffer = 32 * 1024;  // characters; grown as a selection needs more
}  // namespace

int WidenCutLabels(HWND dialog) {
  constexpr LONG kLabelGap = 4;
  int widened = 0;
  for (HWND label = GetWindow(dialog, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
    wchar_t cls[32] = L"";
    GetClassNameW(label, cls, 32);
    const LONG_PTR style = GetWindowLongPtrW(label, GWL_STYLE);
    // Its own visible style: the dialog itself may not show yet.
    if (_wcsicmp(cls, L"Static") != 0 || (style & SS_TYPEMASK) != SS_LEFT || !(style & WS_VISIBLE)) continue;
    const int length = GetWindowTextLengthW(label);
    if (length <= 0) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), length + 1)));
    RECT box{};
    GetWindowRect(label, &box);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
    RECT need{0, 0, 0, 0};
    {
      comm::TWindowDC dc(label);
      HFONT own = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
      comm::TSelectObject font(dc, own ? own : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
      DrawTextW(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE);
    }
    // The nearest control at its right whose row overlaps the label's (the system's layouts let a
    // label run on under it).
    HWND right = nullptr;
    RECT rightBox{};
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      if (c == label || !(GetWindowLongPtrW(c, GWL_STYLE) & WS_VISIBLE)) continue;
      RECT r{};
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      if (r.left <= box.left || r.top >= box.bottom || r.bottom <= box.top) continue;
      if (!right || r.left < rightBox.left) {
        right = c;
        rightBox = r;
      }
    }
    const LONG textRight = box.left + need.right;
    const LONG visible = (right ? std::min(box.right, rightBox.left) : box.right) - box.left;
    if (need.right <= visible) continue;
    // The control gives up what the text needs and a little space, and keeps at least half its width.
    const LONG shift = right ? std::max<LONG>(0, textRight + kLabelGap - rightBox.left) : 0;
    if (right && shift > (rightBox.right - rightBox.left) / 2) continue;
    SetWindowPos(label, nullptr, 0, 0, need.right, box.bottom - box.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (shift > 0)
      SetWindowPos(right, nullptr, rightBox.left + shift, rightBox.top, rightBox.right - rightBox.left - shift,
                   rightBox.bottom - rightBox.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ++widened;
  }
  return widened;
}

void PlaceBelowCaption(HWND owner, int& left, int& top) {
  RECT r{};
  if (!owner || !GetWindowRect(owner, &r)) return;
  left = r.left;
  top = r.top + ui::SystemMetric(SM_CYSIZE, ui::WindowDpi(owner)) + 1;
}

TFileDialogEx::~TFileDialogEx() { DoClose(); }

bool TFileDialogEx::Execute(HWND owner) {
  FFiles.clear();
  FBuffer.assign(std::max(kInitialBuffer, FileName.size() + 2), L'\0');
  std::copy(FileName.begin(), FileName.end(), FBuffer.begin());
  // "name|pattern" pairs become the double-null-terminated list the dialog takes.
  std::wstring filter = Filter;
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.append(2, L'\0');

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = FilterIndex;
  // Any extension, even an empty one, makes the dialog add the chosen filter's own.
  ofn.lpstrDefExt = DefaultExt ? DefaultExt->c_str() : nullptr;
  ofn.lpstrFile = FBuffer.data();
  ofn.nMaxFile = static_cast<DWORD>(FBuffer.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  // The dialog leaves the process's current folder alone: made current, the chosen folder could not be
  // removed or renamed by the user while the program runs.
  ofn.Flags = Options | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  ofn.lCustData = reinterpret_cast<LPARAM>(this);
  ofn.lpfnHook = HookProc;

  TFileDialogEx* outer = t_shown;
  t_shown = this;
  BOOL ok = FALSE;
  {
    ui::ModalScope modal;  // the program's other windows take no input meant for the owner meanwhile
    ok = Show(ofn);
  }
  t_shown = outer;
  DoClose();
  if (!ok) return false;
  FilterIndex = ofn.nFilterIndex;
  ReadFiles();
  FileName = FFiles.empty() ? std::wstring() : FFiles.front();
  return !FFiles.empty();
}

UINT_PTR CALLBACK TFileDialogEx::HookProc(HWND hdlg, UINT msg, WPARAM, LPARAM lp) {
  TFileDialogEx* self = t_shown;
  if (!self) return 0;
  switch (msg) {
    case WM_INITDIALOG:
      self->DoShow(hdlg);
      break;
    case WM_NOTIFY: {
      auto* n = reinterpret_cast<OFNOTIFYW*>(lp);
      if (n->hdr.code == CDN_SELCHANGE && n->lpOFN) self->GrowBuffer(*n->lpOFN);
      break;
    }
    case WM_DESTROY:
      self->DoClose();
      break;
    default:
      break;
  }
  return 0;
}

void TFileDialogEx::DoShow(HWND hookDialog) {
  // The hook's dialog is a child of the real frame (class "#32770"): the frame is what moves.
  FDialogWnd = hookDialog;
  HWND parent = GetParent(hookDialog);
  wchar_t cls[256] = L"";
  if (parent && GetClassNameW(parent, cls, 256) && wcscmp(cls, L"#32770") == 0) FDialogWnd = parent;
  FPlacePending = true;
  FFitPending = true;
  FOldWndProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(FDialogWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TFileDialogEx::DialogWndProc)));
}

void TFileDialogEx::DoClose() {
  if (FDialogWnd && FOldWndProc && IsWindow(FDialogWnd))
    SetWindowLongPtrW(FDialogWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
  FDialogWnd = nullptr;
  FOldWndProc = nullptr;
  FPlacePending = false;
  FFitPending = false;
}

LRESULT CALLBACK TFileDialogEx::DialogWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  TFileDialogEx* self = t_shown;
  if (!self || hwnd != self->FDialogWnd || !self->FOldWndProc) return DefWindowProcW(hwnd, msg, wp, lp);
  const WNDPROC old = self->FOldWndProc;
  if (msg == WM_WINDOWPOSCHANGING && self->FPlacePending) {
    auto* wpos = reinterpret_cast<WINDOWPOS*>(lp);
    self->FPlacePending = false;
    if (self->OnSetLeftTop) {
      RECT r{};
      GetWindowRect(hwnd, &r);
      int left = wpos->x, top = wpos->y;
      self->OnSetLeftTop(self, left, top, r.right - r.left, r.bottom - r.top);
      // Placed by its owner, the dialog is then kept wholly on the screen, at the size it takes now.
      const bool sized = !(wpos->flags & SWP_NOSIZE);
      const LONG width = sized ? wpos->cx : r.right - r.left, height = sized ? wpos->cy : r.bottom - r.top;
      const RECT fitted = ui::FitOnScreen(RECT{left, top, left + width, top + height});
      wpos->x = fitted.left;
      wpos->y = fitted.top;
      wpos->flags &= ~SWP_NOMOVE;
    }
  }
  if (msg == WM_NCDESTROY) self->DoClose();
  if (msg == WM_SHOWWINDOW && wp && self->FFitPending) {
    // The dialog may have grown since it was placed (its size restored, a template added): the size
    // it shows with is kept wholly on the screen too.
    self->FFitPending = false;
    const LRESULT r = CallWindowProcW(old, hwnd, msg, wp, lp);
    ui::FitWindowOnScreen(hwnd);
    // The system's layout, made for its own fonts, can cut a label ("保存する場所(I):").
    WidenCutLabels(hwnd);
    return r;
  }
  return CallWindowProcW(old, hwnd, msg, wp, lp);
}

void TFileDialogEx::GrowBuffer(OPENFILENAMEW& ofn) {
  // A selection of many long names may need more than the buffer holds: the folder, every name with
  // its quotes and separator, and the closing nulls.
  HWND frame = FDialogWnd;
  if (!frame) return;
  const LRESULT names = SendMessageW(frame, CDM_GETSPEC, 0, 0);
  const LRESULT folder = SendMessageW(frame, CDM_GETFOLDERPATH, 0, 0);
  if (names < 0 || folder < 0) return;
  const size_t need = static_cast<size_t>(names + folder) + 16;
  if (need <= FBuffer.size()) return;
  FBuffer.assign(need * 2, L'\0');
  ofn.lpstrFile = FBuffer.data();
  ofn.nMaxFile = static_cast<DWORD>(FBuffer.size());
}

void TFileDialogEx::ReadFiles() {
  // One name: the full path. Several: the folder, then each name, each ended by a null; a second null
  // ends the list.
  const wchar_t* p = FBuffer.data();
  const wchar_t* end = p + FBuffer.size();
  std::vector<std::wstring> parts;
  while (p < end && *p) {
    const wchar_t* q = p;
    while (q < end && *q) ++q;
    parts.emplace_back(p, q);
    p = q + 1;
  }
  if (parts.size() <= 1) {
    FFiles = parts;
    return;
  }
  std::wstring folder = parts.front();
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  for (size_t i = 1; i < parts.size(); ++i) FFiles.push_back(folder + parts[i]);
}

}  // namespace shell
