// A windowless picture: a bitmap with a transparent key colour, or an icon, drawn as is or stretched.
#pragma once
#include "ui/Control.h"
#include "comm/Scoped.h"

namespace ui {

// A picture of the program's resources as drawn for the DPI's display scale (TDpi::ArtPercent: the
// bitmap id, or its 150 % or 200 % drawing at id + VSS_ART_150 or VSS_ART_200), as a DIB section the
// caller owns; the 100 % drawing where a larger one is missing; null when there is none.
HBITMAP LoadArtBitmap(int id, TDpi dpi);

class Image : public GraphicControl {
 public:
  // The image takes ownership of the bitmap; pixels of keyColor are not drawn (CLR_INVALID: none).
  void SetBitmap(HBITMAP bitmap, COLORREF keyColor = CLR_INVALID);
  // The picture from the program's pictures (LoadArtBitmap), drawn for the control's DPI and drawn
  // again for a new one.
  void SetArt(int id, COLORREF keyColor = CLR_INVALID);
  // The image takes ownership of the icon.
  void SetIcon(HICON icon);
  // The program's icon at the size of the control (the icon's image nearest that size).
  void SetAppIcon(int id);
  void ApplyDpi() override;
  // Drawn over the whole control instead of at its own size in the top left corner.
  void SetStretch(bool stretch);
  bool Stretch() const { return FStretch; }
  HBITMAP Bitmap() const { return FBitmap.Get(); }
  HICON Icon() const { return FIcon.Get(); }
  void Paint(HDC dc) override;

 private:
  comm::TGdiObject<HBITMAP> FBitmap;
  COLORREF FKey = CLR_INVALID;
  int FArt = 0, FIconId = 0;  // the picture or icon to draw again at a new DPI
  comm::TUniqueIcon FIcon;
  bool FStretch = false;
};

}  // namespace ui
