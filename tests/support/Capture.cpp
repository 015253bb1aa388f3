// Window captures for tests: BitBlt from the window's device context into a 32-bit picture.
#include "support/Capture.h"

namespace testsupport {

WindowPicture::WindowPicture(int width, int height, const std::function<void(HDC)>& paint) {
  FDC = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  FBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  FOld = SelectObject(FDC, FBitmap);
  paint(FDC);
}

namespace {
RECT ClientOf(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r{};
  GetClientRect(hwnd, &r);
  return r;
}
}  // namespace

WindowPicture::WindowPicture(HWND hwnd)
    : WindowPicture(ClientOf(hwnd).right, ClientOf(hwnd).bottom, [hwnd](HDC dc) {
        RECT r;
        GetClientRect(hwnd, &r);
        HDC window = GetDC(hwnd);
        BitBlt(dc, 0, 0, r.right, r.bottom, window, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, window);
      }) {}

WindowPicture::~WindowPicture() {
  SelectObject(FDC, FOld);
  DeleteDC(FDC);
  DeleteObject(FBitmap);
}

int WindowPicture::Count(const RECT& r, COLORREF color) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
  return n;
}

bool WindowPicture::SameIn(const WindowPicture& other, const RECT& r) const {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (At(x, y) != other.At(x, y)) return false;
  return true;
}

}  // namespace testsupport
