// A windowless picture: a bitmap with a transparent key colour, or an icon, drawn as is or stretched.
#pragma once
#include "ui/Control.h"
#include "comm/Scoped.h"

namespace ui {

class Image : public GraphicControl {
 public:
  // The image takes ownership of the bitmap; pixels of keyColor are not drawn (CLR_INVALID: none).
  void SetBitmap(HBITMAP bitmap, COLORREF keyColor = CLR_INVALID);
  // The image takes ownership of the icon.
  void SetIcon(HICON icon);
  // Drawn over the whole control instead of at its own size in the top left corner.
  void SetStretch(bool stretch);
  bool Stretch() const { return FStretch; }
  HBITMAP Bitmap() const { return FBitmap.Get(); }
  HICON Icon() const { return FIcon.Get(); }
  void Paint(HDC dc) override;

 private:
  comm::TGdiObject<HBITMAP> FBitmap;
  COLORREF FKey = CLR_INVALID;
  comm::TUniqueIcon FIcon;
  bool FStretch = false;
};

}  // namespace ui
