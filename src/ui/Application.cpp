// The application object: the message loop with key preprocessing, pumping, help and the error box.
#include "ui/Application.h"
#include "ui/Error.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "comm/Cp932.h"
#include <exception>

namespace ui {

Application& Application::Instance() {
  static Application app;
  return app;
}

bool Application::PreTranslate(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  auto* form = dynamic_cast<Form*>(WinControl::FromHandle(root));
  if (!form) return false;
  if (form->PreTranslateKey(msg)) return true;
  // Tab, arrows, Enter, Esc and the mnemonics of windowed controls, as in a dialog box.
  const bool handled = IsDialogMessageW(root, &msg) != FALSE;
  // Tab takes the default frame off every button once the focus has moved; it goes back where Enter
  // goes. (The form is looked up again: handling the key may have closed it.)
  if (msg.message == WM_KEYDOWN)
    if (auto* after = dynamic_cast<Form*>(WinControl::FromHandle(root))) after->UpdateDefaultFrame();
  return handled;
}

void Application::Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// Handles one message taken from the queue; false for the quit message, which ends the loops.
bool Application::Handle(MSG& msg) {
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return false;
  }
  try {
    Dispatch(msg);
  } catch (...) {
    HandleException();
  }
  return true;
}

void Application::HandleMessage() {
  MSG msg;
  if (GetMessageW(&msg, nullptr, 0, 0) == -1) {
    FTerminated = true;
    return;
  }
  Handle(msg);
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (!Handle(msg)) return;
}

void Application::Run() {
  while (!FTerminated) HandleMessage();
}

void Application::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  PostQuitMessage(0);
}

void Application::EndModal() {
  if (!FModalWindows.empty()) FModalWindows.pop_back();
}

void Application::SetBusyCursor(bool busy) {
  FBusy = busy;
  POINT pt;
  GetCursorPos(&pt);
  // Show the new cursor at once rather than at the next mouse move.
  ::SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  if (!busy) SetCursorPos(pt.x, pt.y);
}

void Application::HandleException() {
  std::wstring message;
  try {
    throw;
  } catch (const Error& e) {
    message = e.Message();
  } catch (const std::exception& e) {
    // Our own code raises UTF-8 texts; the library's are plain ASCII.
    std::string s = e.what();
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    message.resize(static_cast<size_t>(n));
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), message.data(), n);
  } catch (...) {
    message = L"予期しないエラーが発生しました。";
  }
  if (OnException) {
    OnException(message);
    return;
  }
  MessageDialogOptions o;
  o.caption = FTitle;
  o.text = message;
  o.icon = MsgIcon::Error;
  o.buttons = {L"OK"};
  o.escapeButton = 0;
  o.showWhileTerminating = true;
  ShowMessageDialog(o);
}

bool Application::HelpCommand(UINT command, ULONG_PTR data) {
  if (!FHelpFile.empty() && GetFileAttributesW(FHelpFile.c_str()) != INVALID_FILE_ATTRIBUTES && OnHelp)
    return OnHelp(FHelpFile, command, data);
  MessageDialogOptions o;
  o.caption = FTitle;
  o.text = FHelpFile.empty() ? std::wstring(L"ヘルプファイルが設定されていません。")
                             : L"ヘルプファイル " + FHelpFile + L" が見つかりません。";
  o.icon = MsgIcon::Warning;
  o.escapeButton = 0;
  ShowMessageDialog(o);
  return false;
}

namespace {
LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
}

HWND Application::UtilityWindow() {
  if (FUtility) return FUtility;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = UtilityProc;
  wc.hInstance = inst;
  wc.lpszClassName = L"VssUtilityWindow";
  RegisterClassExW(&wc);
  FUtility = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
  return FUtility;
}

}  // namespace ui

#include "ui/Timer.h"

namespace ui {
namespace {
LRESULT CALLBACK UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    try {
      Timer::Fire(wp);
    } catch (...) {
      Application::Instance().HandleException();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}
}  // namespace
}  // namespace ui
