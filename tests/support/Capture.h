// What a window shows on the screen, read back pixel by pixel.
#pragma once
#include "Base.h"
#include <functional>

namespace testsupport {

// A copy of a window's client area taken from the window's device context once its pending paints
// are done: the picture the user sees, windowless children included.
class WindowPicture {
 public:
  explicit WindowPicture(HWND hwnd);
  // A width x height picture made by a painter (a control's Paint, a system shape).
  WindowPicture(int width, int height, const std::function<void(HDC)>& paint);
  ~WindowPicture();
  WindowPicture(const WindowPicture&) = delete;
  WindowPicture& operator=(const WindowPicture&) = delete;

  COLORREF At(int x, int y) const { return GetPixel(FDC, x, y); }
  // How many pixels of the rectangle have the colour.
  int Count(const RECT& r, COLORREF color) const;
  bool SameIn(const WindowPicture& other, const RECT& r) const;

 private:
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
};

}  // namespace testsupport
