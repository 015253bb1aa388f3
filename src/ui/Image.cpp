// A windowless picture: a bitmap with a transparent key colour, or an icon, drawn as is or stretched.
#include "ui/Image.h"
#include "resource.h"

namespace ui {

HBITMAP LoadArtBitmap(int id, TDpi dpi) {
  const auto load = [](int resource) {
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0,
                                           LR_CREATEDIBSECTION));
  };
  const int percent = dpi.ArtPercent();
  if (percent != 100)
    if (HBITMAP scaled = load(id + (percent == 200 ? VSS_ART_200 : VSS_ART_150))) return scaled;
  return load(id);
}

void Image::SetBitmap(HBITMAP bitmap, COLORREF keyColor) {
  FArt = 0;
  FBitmap.Reset(bitmap);
  FKey = keyColor;
  Invalidate();
}

void Image::SetArt(int id, COLORREF keyColor) {
  SetBitmap(LoadArtBitmap(id, Dpi()), keyColor);
  FArt = id;
}

void Image::SetIcon(HICON icon) {
  FIcon.Reset(icon);
  FIconId = 0;
  Invalidate();
}

void Image::SetAppIcon(int id) {
  SetIcon(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, FWidth, FHeight, 0)));
  FIconId = id;
}

void Image::ApplyDpi() {
  GraphicControl::ApplyDpi();
  if (FArt) SetArt(FArt, FKey);
  if (FIconId) SetAppIcon(FIconId);
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
