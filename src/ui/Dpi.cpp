// The DPI a window is shown at, read from the system where it can tell, else from the screen.
#include "ui/Dpi.h"
#include "comm/Scoped.h"

namespace ui {

namespace {
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Looked up once: Windows 7 and 8 lack it.
GetDpiForWindowFn GetDpiForWindowProc() {
  static const GetDpiForWindowFn fn = [] {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                : nullptr;
  }();
  return fn;
}
}  // namespace

TDpi SystemDpi() {
  comm::TWindowDC dc(nullptr);
  return TDpi(dc ? GetDeviceCaps(dc, LOGPIXELSY) : kDesignDpi);
}

TDpi WindowDpi(HWND window) {
  if (window) {
    if (GetDpiForWindowFn fn = GetDpiForWindowProc())
      if (const UINT dpi = fn(window)) return TDpi(static_cast<int>(dpi));
  }
  return SystemDpi();
}

}  // namespace ui
