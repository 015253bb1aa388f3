// The spin edit, its button pair and the auto-repeating button: stepping, typing rules, layout, repeat.
#include "widgets/CommonSpin.h"
#include <imm.h>
#include <algorithm>
#include <climits>
#include <string>

namespace widgets {

namespace {

std::function<void()>& RefusalSound() {
  static std::function<void()> sound;
  return sound;
}

void Refuse() {
  if (RefusalSound())
    RefusalSound()();
  else
    MessageBeep(0);
}

wchar_t DecimalSeparator() {
  wchar_t buf[8] = L"";
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) > 1) return buf[0];
  return L'.';
}

// Visible and enabled, and so are the windows it sits in.
bool CanFocusWindow(HWND hwnd) {
  if (!hwnd || !IsWindowVisible(hwnd)) return false;
  for (HWND w = hwnd; w; w = GetParent(w)) {
    if (!IsWindowEnabled(w)) return false;
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

constexpr int kLeastPairWidth = 15;
constexpr int kTextRoom = 1000;

}  // namespace

void SetRefusalSoundForTesting(std::function<void()> sound) { RefusalSound() = std::move(sound); }

wchar_t HalfWidthOf(wchar_t ch) {
  // The full-width forms U+FF01 ... U+FF5E stand in the order of "!" ... "~".
  if (ch >= 0xFF01 && ch <= 0xFF5E) return static_cast<wchar_t>(ch - 0xFF01 + L'!');
  return ch;
}

bool ParseSpinText(const std::wstring& text, int64_t& value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  if (i == text.size()) return false;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c < L'0' || c > L'9') return false;
    if (v <= INT_MAX) v = v * 10 + (c - L'0');  // beyond 32 bits only the saturation matters
  }
  if (negative) v = -v;
  value = std::clamp<int64_t>(v, INT_MIN, INT_MAX);
  return true;
}

// ---- TTimerSpeedButton ----

void TTimerSpeedButton::SetRepeatFlags(unsigned flags) {
  if (flags == FRepeatFlags) return;
  FRepeatFlags = flags;
  Invalidate();
}

void TTimerSpeedButton::MouseDown(ui::MouseButton button, unsigned shift, int x, int y) {
  TCommonButton::MouseDown(button, shift, x, y);
  if (!(FRepeatFlags & rfAutoRepeat) || button != ui::MouseButton::Left || !FDragging) return;
  if (!FTimer) {
    FTimer = std::make_unique<ui::Timer>();
    FTimer->OnTimer = [this](ui::Control*) { RepeatTick(); };
  }
  FTimer->SetEnabled(false);
  FTimer->SetInterval(kRepeatDelayMs);
  FTimer->SetEnabled(true);
}

void TTimerSpeedButton::MouseUp(ui::MouseButton button, unsigned shift, int x, int y) {
  // Stopped first, so a click handler that fails cannot leave the button repeating.
  if (FTimer) FTimer->SetEnabled(false);
  TCommonButton::MouseUp(button, shift, x, y);
}

void TTimerSpeedButton::RepeatTick() {
  if (!FTimer) return;
  if (!HasMouseCapture()) {
    // The release never reached the button (it was disabled or lost the capture): stop repeating.
    FTimer->SetEnabled(false);
    return;
  }
  if (FTimer->Interval() != kRepeatIntervalMs) FTimer->SetInterval(kRepeatIntervalMs);
  if (State() != bsDown) return;  // the pointer is off the button: wait for it to come back
  try {
    Click();
  } catch (...) {
    FTimer->SetEnabled(false);
    throw;
  }
}

void TTimerSpeedButton::Paint(HDC dc) {
  TCommonButton::Paint(dc);
  if (!(FRepeatFlags & rfFocusRect)) return;
  RECT r = ClientRect();
  InflateRect(&r, -3, -3);
  if (FaceState() == bsDown) OffsetRect(&r, 1, 1);
  DrawFocusRect(dc, &r);
}

// ---- TCommonSpinButton ----

TCommonSpinButton::TCommonSpinButton() : FActiveButton(&FIncButton) {
  FContainer = true;
  FIncButton.SetStyle(clsScrollUp);
  FDecButton.SetStyle(clsScrollDown);
  FIncButton.SetRepeatFlags(rfAutoRepeat);
  FDecButton.SetRepeatFlags(rfAutoRepeat);
  FIncButton.OnClick = [this](ui::Control*) {
    if (OnUpClick) OnUpClick(this);
  };
  FDecButton.OnClick = [this](ui::Control*) {
    if (OnDownClick) OnDownClick(this);
  };
  FIncButton.OnMouseDown = [this](ui::Control*, ui::MouseButton b, unsigned, int, int) { ButtonMouseDown(&FIncButton, b); };
  FDecButton.OnMouseDown = [this](ui::Control*, ui::MouseButton b, unsigned, int, int) { ButtonMouseDown(&FDecButton, b); };
}

TCommonSpinButton::~TCommonSpinButton() = default;

void TCommonSpinButton::Create(ui::WinControl* parent, int left, int top, int width, int height) {
  width = std::max(width, kLeastPairWidth);
  CreateOwn(parent, L"VssSpinButton",
            WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (FVisible ? WS_VISIBLE : 0) | (FTabStop ? WS_TABSTOP : 0), 0, left,
            top, width, height, L"");
  FIncButton.Create(this, 0, 0, 0, 0);
  FDecButton.Create(this, 0, 0, 0, 0);
  FIncButton.AccessibleName = L"増やす";
  FDecButton.AccessibleName = L"減らす";
  LayoutButtons(FWidth, FHeight);
}

void TCommonSpinButton::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, kLeastPairWidth);
  ui::WinControl::SetBounds(left, top, width, height);
  LayoutButtons(width, height);
}

void TCommonSpinButton::LayoutButtons(int width, int height) {
  width = std::max(width, kLeastPairWidth);
  int half = height / 2;
  FIncButton.SetBounds(0, 0, width, half);
  FDecButton.SetBounds(0, height % 2 == 0 ? half : half + 1, width, half);
}

void TCommonSpinButton::SetEnabled(bool enabled) {
  ui::WinControl::SetEnabled(enabled);
  Invalidate();
}

void TCommonSpinButton::SetFlat(bool flat) {
  FIncButton.SetFlat(flat);
  FDecButton.SetFlat(flat);
}

void TCommonSpinButton::SetTabStop(bool tabStop) {
  FTabStop = tabStop;
  if (!Handle()) return;
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  SetWindowLongPtrW(Handle(), GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
}

bool TCommonSpinButton::TabStop() const { return FTabStop; }

bool TCommonSpinButton::CanFocus() const { return CanFocusWindow(Handle()); }

void TCommonSpinButton::ActivateButton(TTimerSpeedButton* button) {
  if (!TabStop() || !CanFocus() || button == FActiveButton) return;
  FActiveButton->SetRepeatFlags(FActiveButton->RepeatFlags() & ~rfFocusRect);
  FActiveButton = button;
  if (GetFocus() == Handle()) {
    button->SetRepeatFlags(button->RepeatFlags() | rfFocusRect);
    Invalidate();
  }
}

void TCommonSpinButton::ButtonMouseDown(TTimerSpeedButton* button, ui::MouseButton mouseButton) {
  if (mouseButton != ui::MouseButton::Left) return;
  ActivateButton(button);
  HWND target = FocusControl ? FocusControl->Handle() : nullptr;
  if (target && (GetWindowLongPtrW(target, GWL_STYLE) & WS_TABSTOP) && CanFocusWindow(target) &&
      GetFocus() != target) {
    FocusControl->SetFocus();
  } else if (TabStop() && GetFocus() != Handle() && CanFocus()) {
    SetFocus();
  }
}

LRESULT TCommonSpinButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if (wp == VK_SPACE) {
        FActiveButton->Click();
        return 0;
      }
      if (wp == VK_UP || wp == VK_DOWN) {
        TTimerSpeedButton* b = wp == VK_UP ? &FIncButton : &FDecButton;
        ActivateButton(b);
        b->Click();
        return 0;
      }
      break;
    case WM_SETFOCUS:
      FActiveButton->SetRepeatFlags(FActiveButton->RepeatFlags() | rfFocusRect);
      break;
    case WM_KILLFOCUS:
      FActiveButton->SetRepeatFlags(FActiveButton->RepeatFlags() & ~rfFocusRect);
      break;
    default:
      break;
  }
  return ui::WinControl::WndProc(msg, wp, lp);
}

// ---- TCommonSpinEdit ----

TCommonSpinEdit::TCommonSpinEdit() {
  FSpinButton.FocusControl = this;
  FSpinButton.OnUpClick = [this](ui::Control*) { StepUp(); };
  FSpinButton.OnDownClick = [this](ui::Control*) { StepDown(); };
}

TCommonSpinEdit::~TCommonSpinEdit() { FSpinButton.FocusControl = nullptr; }

void TCommonSpinEdit::Create(ui::WinControl* parent, int left, int top, int width, int height) {
  // Multi-line only for the formatting rectangle that leaves room for the buttons.
  ui::Edit::Create(parent, left, top, width, height, L"0", ES_MULTILINE | ES_RIGHT | WS_CLIPCHILDREN);
  FSpinButton.Create(this, 0, 0, kLeastPairWidth, 17);
  Resized();
}

int TCommonSpinEdit::Value() const {
  std::wstring text = Text();
  int64_t n = 0;
  if (!ParseSpinText(text, n)) n = 0;
  if (n == 0 && text != L"0") return MinValue;
  if (n < MinValue) return MinValue;
  if (n > MaxValue) return MaxValue;
  return static_cast<int>(n);
}

int TCommonSpinEdit::ClampValue(int value) const {
  if (MinValue == MaxValue) return value;
  if (value < MinValue) return MinValue;
  if (value > MaxValue) return MaxValue;
  return value;
}

void TCommonSpinEdit::SetValue(int value) { SetText(std::to_wstring(ClampValue(value))); }

bool TCommonSpinEdit::AcceptsChar(wchar_t ch) const {
  if (ch >= L'0' && ch <= L'9') return true;
  if (ch == L'+' || ch == L'-' || ch == DecimalSeparator()) return true;
  return ch < 32 && ch != L'\r';
}

bool TCommonSpinEdit::Permitted(wchar_t ch) const {
  if (!AcceptsChar(ch)) return false;
  if (!EditorEnabled && (ch >= 32 || ch == L'\b')) return false;
  return true;
}

void TCommonSpinEdit::TypeChar(wchar_t ch, LPARAM lp) {
  ch = HalfWidthOf(ch);
  if (!Permitted(ch)) {
    Refuse();
    return;
  }
  ui::Edit::WndProc(WM_CHAR, ch, lp);
}

void TCommonSpinEdit::TakeImeResult() {
  HIMC imc = ImmGetContext(Handle());
  if (!imc) return;
  std::wstring text;
  LONG bytes = ImmGetCompositionStringW(imc, GCS_RESULTSTR, nullptr, 0);
  if (bytes > 0) {
    text.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
    ImmGetCompositionStringW(imc, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
  }
  ImmReleaseContext(Handle(), imc);
  for (wchar_t ch : text) TypeChar(ch, 1);
}

namespace {
std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text.assign(p, wcsnlen(p, GlobalSize(data) / sizeof(wchar_t)));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool IsBlank(wchar_t ch) { return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == 0x3000; }
}  // namespace

void TCommonSpinEdit::Paste() {
  std::wstring text = ClipboardText(Handle());
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  std::wstring accepted;
  for (size_t i = first; i < last; ++i) {
    const wchar_t ch = HalfWidthOf(text[i]);
    // Control characters pass as keys only; in a text they are characters like any other.
    if (ch < 32 || !AcceptsChar(ch)) {
      Refuse();
      return;
    }
    accepted += ch;
  }
  if (accepted.empty()) return;
  // As the edit control's own paste: undoable, and cut at the maximum length.
  SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(accepted.c_str()));
}

void TCommonSpinEdit::StepUp() { Step(Increment); }
void TCommonSpinEdit::StepDown() { Step(-static_cast<int64_t>(Increment)); }

void TCommonSpinEdit::Step(int64_t delta) {
  if (ReadOnly()) {
    Refuse();
    return;
  }
  // Computed wide so that a step at the end of the 32-bit range stops there instead of wrapping.
  int64_t next = std::clamp<int64_t>(static_cast<int64_t>(Value()) + delta, INT_MIN, INT_MAX);
  SetValue(static_cast<int>(next));
}

void TCommonSpinEdit::SetEnabled(bool enabled) {
  ui::Edit::SetEnabled(enabled);
  FSpinButton.SetEnabled(enabled);
}

int TCommonSpinEdit::LeastHeight() const {
  comm::TWindowDC dc(nullptr);
  TEXTMETRICW system{}, own{};
  comm::TSelectObject font(dc, GetStockObject(SYSTEM_FONT));
  GetTextMetricsW(dc, &system);
  font.Reset(dc, ui::FontHandle(DeviceFont()));
  GetTextMetricsW(dc, &own);
  return own.tmHeight + std::min(system.tmHeight, own.tmHeight) / 4 + 4 * ui::SystemMetric(SM_CYBORDER, Dpi()) + 2;
}

void TCommonSpinEdit::ApplyDpi() {
  ui::WinControl::ApplyDpi();
  Resized();
}

void TCommonSpinEdit::Resized() {
  if (!Handle()) return;
  RECT wr;
  GetWindowRect(Handle(), &wr);
  int width = wr.right - wr.left, height = wr.bottom - wr.top;
  int least = LeastHeight();
  if (height < least) {
    SetBounds(FLeft, FTop, width, least);  // the resize that follows places the buttons
    return;
  }
  if (FSpinButton.Handle()) {
    int pairWidth = FSpinButton.Width();
    if (GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE)
      FSpinButton.SetBounds(width - pairWidth - 5, 0, pairWidth, height - 5);
    else
      FSpinButton.SetBounds(width - pairWidth, 1, pairWidth, height - 3);
  }
  UpdateTextRect();
}

void TCommonSpinEdit::UpdateTextRect() {
  RECT client;
  GetClientRect(Handle(), &client);
  RECT r{0, 0, client.right - FSpinButton.Width() - 2, client.bottom + 1};
  // The rectangle reaches far to the left of the visible area: a right-aligned multi-line edit never
  // scrolls sideways, so with a font whose digits are wider than planned a long number would wrap onto
  // a line the field cannot show and further keystrokes would be refused. This way it is taken whole,
  // its first digits out of sight.
  r.left = r.right - kTextRoom;
  SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TCommonSpinEdit::LeaveEdit() {
  if (MinValue == MaxValue) return;
  int64_t n = 0;
  if (ParseSpinText(Text(), n) && (n < MinValue || n > MaxValue)) SetValue(Value());
}

void TCommonSpinEdit::CommandNotify(WORD code) {
  // A change made through WM_SETTEXT is reported once, by the WM_SETTEXT handling below.
  if (code == EN_CHANGE && FSettingText > 0) return;
  ui::Edit::CommandNotify(code);
}

LRESULT TCommonSpinEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      // The edit control paints typed text without regard to its children: the buttons are drawn
      // again on top every time.
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      if (FSpinButton.Handle())
        RedrawWindow(FSpinButton.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      return r;
    }
    // Every way a character arrives goes through one filter; the edit control itself would take
    // an input method's character, and its finished text, unfiltered.
    case WM_CHAR:
    case WM_IME_CHAR:
      TypeChar(static_cast<wchar_t>(wp), lp);
      return 0;
    case WM_UNICHAR:
      if (wp == UNICODE_NOCHAR) return TRUE;
      if (wp <= 0xFFFF) TypeChar(static_cast<wchar_t>(wp), 1);
      else Refuse();
      return 0;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
      // The text being composed stays in the input method's own window, out of the field.
      return DefWindowProcW(Handle(), msg, wp, lp);
    case WM_IME_COMPOSITION:
      if (lp & GCS_RESULTSTR) {
        TakeImeResult();
        // Taken: the default handling must not send it again as characters.
        lp &= ~static_cast<LPARAM>(GCS_RESULTSTR | GCS_RESULTCLAUSE | GCS_RESULTREADSTR | GCS_RESULTREADCLAUSE);
      }
      return DefWindowProcW(Handle(), msg, wp, lp);
    case WM_KEYDOWN:
      if (wp == VK_UP) {
        StepUp();
      } else if (wp == VK_DOWN) {
        StepDown();
      } else if (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
        // Shift+Insert pastes inside the edit control without a WM_PASTE: sent one here, so that
        // every paste takes the one way below.
        SendMessageW(Handle(), WM_PASTE, 0, 0);
        return 0;
      } else if (wp == VK_DELETE && !EditorEnabled) {
        Refuse();
        return 0;
      }
      break;
    case WM_PASTE:
      // Ctrl+V, Shift+Insert and the context menu all end here.
      if (EditorEnabled && !ReadOnly()) Paste();
      return 0;
    case WM_CUT:
    case WM_CLEAR:
      if (!EditorEnabled || ReadOnly()) return 0;
      break;
    case WM_UNDO:
    case EM_UNDO:
      if (!EditorEnabled) return 0;
      break;
    case WM_SETTEXT: {
      // A multi-line edit control does not report a text set by the program; the program relies on it.
      std::wstring before = Text();
      ++FSettingText;
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      --FSettingText;
      if (Text() != before && OnChange) OnChange(this);
      return r;
    }
    case WM_GETDLGCODE: {
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      // Tab and Esc belong to the window (next control, Cancel), not to the multi-line edit.
      if (auto* m = reinterpret_cast<MSG*>(lp);
          m && m->message == WM_KEYDOWN && (m->wParam == VK_TAB || m->wParam == VK_ESCAPE))
        r &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
      return r;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // The focus arrives during the default handling of the press.
      FLButtonDown = true;
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      FLButtonDown = false;
      return r;
    }
    case WM_SETFOCUS: {
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      if (AutoSelect && !FLButtonDown) SelectAll();
      return r;
    }
    case WM_KILLFOCUS: {
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      LeaveEdit();
      return r;
    }
    case WM_SIZE:
    case WM_SETFONT: {
      // Both make the edit control reset its formatting rectangle.
      LRESULT r = ui::Edit::WndProc(msg, wp, lp);
      Resized();
      return r;
    }
    default:
      break;
  }
  return ui::Edit::WndProc(msg, wp, lp);
}

}  // namespace widgets
