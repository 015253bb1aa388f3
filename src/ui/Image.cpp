// A windowless picture: a bitmap with a transparent key colour, or an icon, drawn as is or stretched.
#include "ui/Image.h"

namespace ui {

void Image::SetBitmap(HBITMAP bitmap, COLORREF keyColor) {
  FBitmap.Reset(bitmap);
  FKey = keyColor;
  Invalidate();
}

void Image::SetIcon(HICON icon) {
  FIcon.Reset(icon);
  Invalidate();
}

void Image::SetStretch(bool stretch) {
  if (stretch == FStretch) return;
  FStretch = stretch;
  Invalidate();
}

void Image::Paint(HDC dc) {
  if (FIcon) {
    DrawIconEx(dc, 0, 0, FIcon.Get(), FStretch ? FWidth : 0, FStretch ? FHeight : 0, 0, nullptr, DI_NORMAL);
    return;
  }
  if (!FBitmap) return;
  BITMAP bm{};
  if (!GetObjectW(FBitmap.Get(), sizeof(bm), &bm)) return;
  const int w = FStretch ? FWidth : bm.bmWidth, h = FStretch ? FHeight : bm.bmHeight;
  comm::TMemoryDC mem(dc);
  comm::TSelectObject sel(mem, FBitmap.Get());
  if (FKey == CLR_INVALID) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  } else {
    TransparentBlt(dc, 0, 0, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, FKey);
  }
}

}  // namespace ui
