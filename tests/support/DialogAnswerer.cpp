// The CBT hook behind DialogAnswerer, and message pumping for tests.
#include "support/DialogAnswerer.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace testsupport {

namespace {
thread_local DialogAnswerer* gActive = nullptr;

std::wstring WindowText(HWND h) {
  int n = GetWindowTextLengthW(h);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(h, s.data(), n + 1);
  s.resize(static_cast<size_t>(n > 0 ? n : 0));
  return s;
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring ClassOf(HWND h) {
  wchar_t cls[256] = L"";
  GetClassNameW(h, cls, 256);
  return cls;
}
}  // namespace

DialogAnswerer::DialogAnswerer() {
  FPrevious = gActive;
  gActive = this;
  FHook = SetWindowsHookExW(WH_CBT, &DialogAnswerer::HookProc, nullptr, GetCurrentThreadId());
  FCallHook = SetWindowsHookExW(WH_CALLWNDPROC, &DialogAnswerer::CallWndProc, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
  if (FHook) UnhookWindowsHookEx(FHook);
  if (FCallHook) UnhookWindowsHookEx(FCallHook);
  gActive = FPrevious;
  if (!FQueue.empty()) ADD_FAILURE() << FQueue.size() << " queued dialog answer(s) were not used";
}

DialogAnswerer* DialogAnswerer::Active() { return gActive; }

DialogAnswerer& DialogAnswerer::Press(const std::wstring& caption) {
  FQueue.push_back(Answer{AnswerKind::Button, caption});
  return *this;
}
DialogAnswerer& DialogAnswerer::CloseFrame() {
  FQueue.push_back(Answer{AnswerKind::CloseFrame, L""});
  return *this;
}
DialogAnswerer& DialogAnswerer::PressEscape() {
  FQueue.push_back(Answer{AnswerKind::Escape, L""});
  return *this;
}
DialogAnswerer& DialogAnswerer::PressEnter() {
  FQueue.push_back(Answer{AnswerKind::Enter, L""});
  return *this;
}

ShownDialog DialogAnswerer::Read(HWND hwnd) {
  ShownDialog d;
  d.hwnd = hwnd;
  d.owner = GetWindow(hwnd, GW_OWNER);
  d.className = ClassOf(hwnd);
  d.caption = WindowText(hwnd);
  for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    std::wstring cls = ClassOf(c);
    LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
    if (_wcsicmp(cls.c_str(), WC_STATICW) == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) continue;
      std::wstring t = WindowText(c);
      if (t.empty()) continue;
      if (!d.text.empty()) d.text += L"\n";
      d.text += t;
    } else if (_wcsicmp(cls.c_str(), WC_EDITW) == 0 && (style & ES_READONLY)) {
      // A message too tall for the screen scrolls in a read-only edit, its line ends made CR LF:
      // recorded with them given back as CR, as the program wrote the text.
      std::wstring t = WindowText(c);
      for (size_t at = t.find(L"\r\n"); at != std::wstring::npos; at = t.find(L"\r\n", at + 1)) t.erase(at + 1, 1);
      if (t.empty()) continue;
      if (!d.text.empty()) d.text += L"\n";
      d.text += t;
    } else if (_wcsicmp(cls.c_str(), WC_BUTTONW) == 0) {
      LONG_PTR type = style & BS_TYPEMASK;
      if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) continue;
      d.buttons.push_back(WindowText(c));
      if (type == BS_DEFPUSHBUTTON) d.defaultButton = d.buttons.back();
    }
  }
  return d;
}

bool DialogAnswerer::Carry(HWND hwnd, const Answer& a) {
  switch (a.kind) {
    case AnswerKind::None:
      return true;
    case AnswerKind::Button:
      for (HWND c = GetWindow(hwnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (_wcsicmp(ClassOf(c).c_str(), WC_BUTTONW) == 0 && WindowText(c) == a.button) {
          PostMessageW(c, BM_CLICK, 0, 0);
          return true;
        }
      }
      return false;
    case AnswerKind::CloseFrame:
      PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return true;
    case AnswerKind::Escape:
    case AnswerKind::Enter: {
      WPARAM key = a.kind == AnswerKind::Escape ? VK_ESCAPE : VK_RETURN;
      HWND target = GetFocus();
      if (!target || (target != hwnd && !IsChild(hwnd, target))) target = hwnd;
      PostMessageW(target, WM_KEYDOWN, key, 1);
      PostMessageW(target, WM_KEYUP, key, 0xC0000001);
      return true;
    }
  }
  return false;
}

void DialogAnswerer::OnActivate(HWND hwnd) {
  std::wstring cls = ClassOf(hwnd);
  if (cls != ui::kMessageDialogClass && !(SystemDialogs && cls == L"#32770") && !ExtraClasses.count(cls)) return;
  if (FAnswered.count(hwnd)) return;
  FAnswered.insert(hwnd);
  ShownDialog d = Read(hwnd);
  FShown.push_back(d);
  Answer a;
  if (!FQueue.empty()) {
    a = FQueue.front();
    FQueue.pop_front();
  } else if (Responder) {
    a = Responder(d);
  } else {
    ADD_FAILURE() << "unexpected dialog \"" << Utf8(d.caption)
                  << "\": " << Utf8(d.text);
    a = Answer{AnswerKind::CloseFrame, L""};
  }
  if (!Carry(hwnd, a)) {
    ADD_FAILURE() << "dialog has no button \"" << Utf8(a.button) << "\"";
    Carry(hwnd, Answer{AnswerKind::CloseFrame, L""});
  }
}

LRESULT CALLBACK DialogAnswerer::HookProc(int code, WPARAM wp, LPARAM lp) {
  DialogAnswerer* self = gActive;
  HHOOK hook = self ? self->FHook : nullptr;
  if (code == HCBT_ACTIVATE && self) {
    HWND hwnd = reinterpret_cast<HWND>(wp);
    // Children are complete by now; answer after the activation has finished.
    self->OnActivate(hwnd);
  }
  return CallNextHookEx(hook, code, wp, lp);
}

LRESULT CALLBACK DialogAnswerer::CallWndProc(int code, WPARAM wp, LPARAM lp) {
  DialogAnswerer* self = gActive;
  HHOOK hook = self ? self->FCallHook : nullptr;
  if (code == HC_ACTION && self) {
    auto* cwp = reinterpret_cast<CWPSTRUCT*>(lp);
    // A form shown again after it was hidden (dialogs made once and kept) is a new question.
    if ((cwp->message == WM_SHOWWINDOW && !cwp->wParam) || cwp->message == WM_DESTROY)
      self->FAnswered.erase(cwp->hwnd);
  }
  return CallNextHookEx(hook, code, wp, lp);
}

LoopSteps::LoopSteps(std::vector<std::function<bool()>> steps, UINT intervalMs) : FSteps(std::move(steps)) {
  FTimer.OnTimer = [this](ui::Control*) {
    // Off while a step runs: a step that pumps messages must not run the next one inside itself.
    FTimer.SetEnabled(false);
    if (!Done() && FSteps[FNext]()) ++FNext;
    FTimer.SetEnabled(!Done());
  };
  FTimer.SetInterval(intervalMs);
  FTimer.SetEnabled(!Done());
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    ui::Application::Instance().ProcessMessages();
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

}  // namespace testsupport
