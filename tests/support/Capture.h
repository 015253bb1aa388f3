// What a window shows on the screen, read back pixel by pixel.
#pragma once
#include "Base.h"

namespace testsupport {

// A copy of a window's client area, taken from the window's own device context after its pending
// paints (the picture the user sees, windowless children included).
class WindowPicture {
 public:
  explicit WindowPicture(HWND hwnd);
  ~WindowPicture();
  WindowPicture(const WindowPicture&) = delete;
  WindowPicture& operator=(const WindowPicture&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  COLORREF At(int x, int y) const;
  // How many pixels of the rectangle have the colour.
  int Count(const RECT& r, COLORREF color) const;
  // Whether the two pictures agree on every pixel of the rectangle.
  bool SameIn(const WindowPicture& other, const RECT& r) const;

 private:
  int FWidth = 0, FHeight = 0;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
};

}  // namespace testsupport
