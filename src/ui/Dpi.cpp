// The DPI a window is shown at, read from the system where it can tell, else from the screen.
#include "ui/Dpi.h"
#include "comm/Scoped.h"

namespace ui {

namespace {
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// A function of user32 that Windows 7 and 8 lack, or null.
template <typename Fn>
Fn UserProc(const char* name) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

// Looked up once.
GetDpiForWindowFn GetDpiForWindowProc() {
  static const GetDpiForWindowFn fn = UserProc<GetDpiForWindowFn>("GetDpiForWindow");
  return fn;
}
GetSystemMetricsForDpiFn GetSystemMetricsForDpiProc() {
  static const GetSystemMetricsForDpiFn fn = UserProc<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
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

int SystemMetric(int index, TDpi dpi) {
  if (GetSystemMetricsForDpiFn fn = GetSystemMetricsForDpiProc()) return fn(index, static_cast<UINT>(dpi.Value()));
  return dpi.Scale(SystemDpi().Unscale(GetSystemMetrics(index)));
}

}  // namespace ui
