// The flat button: press, release and group rules of a speed button, and its frame-control face.
#include "widgets/CommonButton.h"
#include "ui/Image.h"
#include "ui/Form.h"

namespace widgets {

namespace {

struct FrameKind {
  UINT type;
  UINT flags;
};

constexpr FrameKind kFrameKinds[] = {
    {DFC_BUTTON, DFCS_BUTTONPUSH},       {DFC_BUTTON, DFCS_BUTTONCHECK},      {DFC_BUTTON, DFCS_BUTTONRADIO},
    {DFC_CAPTION, DFCS_CAPTIONCLOSE},    {DFC_CAPTION, DFCS_CAPTIONHELP},     {DFC_CAPTION, DFCS_CAPTIONMAX},
    {DFC_CAPTION, DFCS_CAPTIONMIN},      {DFC_CAPTION, DFCS_CAPTIONRESTORE},  {DFC_SCROLL, DFCS_SCROLLDOWN},
    {DFC_SCROLL, DFCS_SCROLLDOWN},       {DFC_SCROLL, DFCS_SCROLLLEFT},       {DFC_SCROLL, DFCS_SCROLLRIGHT},
    {DFC_SCROLL, DFCS_SCROLLUP},         {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
};

bool IsPressed(TButtonState s) { return s == bsDown || s == bsExclusive; }

bool IsMarkStyle(TComBtnStyle s) { return s == clsCheckButton || s == clsRadioButton; }

}  // namespace

UINT FrameControlType(TComBtnStyle style) { return kFrameKinds[style].type; }
UINT FrameControlBaseFlags(TComBtnStyle style) { return kFrameKinds[style].flags; }

TGlyphPlacement PlaceGlyphAndCaption(TButtonLayout layout, int width, int height, SIZE glyph, SIZE text, int spacing,
                                     int margin) {
  RECT g{0, 0, glyph.cx, glyph.cy};
  RECT t{0, 0, text.cx, text.cy};
  const int s = (glyph.cx <= 0 || glyph.cy <= 0) ? 0 : spacing + 1;
  const int W = width, H = height;
  // C++ integer division truncates toward zero, as the placement requires.
  switch (layout) {
    case blGlyphLeft:
      OffsetRect(&g, (W - (g.right + t.right + s)) / 2, (H - g.bottom) / 2);
      OffsetRect(&t, g.right + s, (H - t.bottom) / 2);
      if (margin >= 0) {
        int dx = margin + 2 - g.left;
        OffsetRect(&g, dx, 0);
        OffsetRect(&t, dx, 0);
      }
      break;
    case blGlyphRight:
      OffsetRect(&t, (W - (g.right + t.right + s)) / 2, (H - t.bottom) / 2);
      OffsetRect(&g, t.right + s, (H - g.bottom) / 2);
      if (margin >= 0) {
        int dx = W - 2 - g.right - margin;
        OffsetRect(&g, dx, 0);
        OffsetRect(&t, dx, 0);
      }
      break;
    case blGlyphTop:
      OffsetRect(&g, (W - g.right) / 2, (H - (g.bottom + t.bottom + s)) / 2);
      OffsetRect(&t, (W - t.right) / 2, g.bottom + s);
      if (margin >= 0) {
        int dy = margin + 2 - g.top;
        OffsetRect(&g, 0, dy);
        OffsetRect(&t, 0, dy);
      }
      break;
    case blGlyphBottom:
      OffsetRect(&t, (W - t.right) / 2, (H - (g.bottom + t.bottom + s)) / 2);
      OffsetRect(&g, (W - g.right) / 2, t.bottom + s);
      if (margin >= 0) {
        int dy = H - 2 - g.bottom - margin;
        OffsetRect(&g, 0, dy);
        OffsetRect(&t, 0, dy);
      }
      break;
  }
  return TGlyphPlacement{g, t};
}

// ---- properties ----

void TCommonButton::SetStyle(TComBtnStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  if (style == clsSizeGrip) FFlat = false;
  if (!IsMarkStyle(style)) FChecked = false;
  Invalidate();
}

void TCommonButton::SetChecked(bool checked) {
  bool old = FChecked;
  if (FStyle == clsCheckButton) {
    FChecked = checked;
  } else if (FStyle == clsRadioButton && checked) {
    if (Parent()) {
      for (ui::Control* c : Parent()->Children()) {
        auto* b = dynamic_cast<TCommonButton*>(c);
        if (!b || b == this || b->FStyle != clsRadioButton || b->FGroupIndex != FGroupIndex || !b->FChecked) continue;
        b->FChecked = false;
        b->Invalidate();
      }
    }
    FChecked = true;
  }
  if (FChecked != old) Invalidate();
}

void TCommonButton::SetFlat(bool flat) {
  if (flat == FFlat) return;
  FFlat = flat;
  Invalidate();
}

void TCommonButton::SetGroupIndex(int index) {
  if (index == FGroupIndex) return;
  FGroupIndex = index;
  if (FGroupIndex == 0 && FDown) {
    FDown = false;
    FState = bsUp;
  }
  if (FDown) ReleaseSiblings();
  Invalidate();
}

void TCommonButton::SetDown(bool down) {
  if (FGroupIndex == 0) down = false;
  if (down == FDown) return;
  // The selected member of a group stays down unless the group may be all up.
  if (FDown && !FAllowAllUp) return;
  FDown = down;
  FState = down ? bsExclusive : bsUp;
  Invalidate();
  if (down) ReleaseSiblings();
}

void TCommonButton::SetAllowAllUp(bool allow) {
  FAllowAllUp = allow;
  if (FGroupIndex == 0 || !Parent()) return;
  for (ui::Control* c : Parent()->Children())
    if (auto* b = dynamic_cast<TCommonButton*>(c); b && b != this && b->FGroupIndex == FGroupIndex)
      b->FAllowAllUp = allow;
}

void TCommonButton::ReleaseSiblings() {
  if (FGroupIndex == 0 || !Parent()) return;
  for (ui::Control* c : Parent()->Children()) {
    auto* b = dynamic_cast<TCommonButton*>(c);
    if (!b || b == this || b->FGroupIndex != FGroupIndex || !b->FDown) continue;
    b->FDown = false;
    b->FState = bsUp;
    b->Invalidate();
  }
}

void TCommonButton::SetLayout(TButtonLayout layout) {
  FLayout = layout;
  Invalidate();
}

void TCommonButton::SetSpacing(int spacing) {
  FSpacing = spacing;
  Invalidate();
}

void TCommonButton::SetMargin(int margin) {
  FMargin = margin;
  Invalidate();
}

void TCommonButton::SetGlyph(HBITMAP bitmap) {
  FGlyphArt = 0;
  FGlyph.Reset(bitmap ? static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
  Invalidate();
}

void TCommonButton::SetGlyphArt(int id) {
  FGlyphArt = id;
  FGlyph.Reset(ui::LoadArtBitmap(id, Dpi()));
  Invalidate();
}

void TCommonButton::ApplyDpi() {
  ui::GraphicControl::ApplyDpi();
  if (FGlyphArt) SetGlyphArt(FGlyphArt);
}

// ---- state ----

bool TCommonButton::HasMouseCapture() const {
  return FDragging && Parent() && Parent()->Handle() && GetCapture() == Parent()->Handle();
}

TButtonState TCommonButton::State() {
  if (!EnabledInContainer()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = (FDown && FGroupIndex != 0) ? bsExclusive : bsUp;
  }
  return FState;
}

TButtonState TCommonButton::FaceState() const {
  if (IsMarkStyle(FStyle) && FState == bsExclusive) return (FMousePressed && FMouseInControl) ? bsDown : bsUp;
  return FState;
}

UINT TCommonButton::FrameFlags() {
  State();
  TButtonState s = FaceState();
  UINT flags = FrameControlBaseFlags(FStyle);
  if (s == bsDisabled) flags |= DFCS_INACTIVE;
  if (IsPressed(s)) flags |= DFCS_PUSHED;
  if (FChecked) flags |= DFCS_CHECKED;
  // The scroll shapes look flat while pushed, as the system's own scroll arrows do.
  bool flat = FFlat || (FStyle >= clsScrollBorder && FStyle <= clsScrollUp && IsPressed(s));
  if (flat) flags |= DFCS_FLAT;
  return flags;
}

// ---- mouse ----

void TCommonButton::Click() {
  if (FStyle == clsCheckButton) {
    SetChecked(!FChecked);
    if (FGroupIndex > 0) Invalidate();
  } else if (FStyle == clsRadioButton && !FChecked) {
    SetChecked(true);
    if (FGroupIndex > 0) Invalidate();
  }
  ui::GraphicControl::Click();
}

ui::AccRole TCommonButton::AccessibleRole() const {
  if (FStyle == clsCheckButton) return ui::AccRole::CheckButton;
  if (FStyle == clsRadioButton) return ui::AccRole::RadioButton;
  return ui::AccRole::PushButton;
}

unsigned TCommonButton::AccessibleState() const {
  if (FStyle == clsCheckButton || FStyle == clsRadioButton) return FChecked ? STATE_SYSTEM_CHECKED : 0;
  return FDown ? STATE_SYSTEM_PRESSED : 0;
}

void TCommonButton::MouseDown(ui::MouseButton button, unsigned shift, int x, int y) {
  FMousePressed = true;
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  if (button == ui::MouseButton::Left && EnabledInContainer()) {
    if (!FDown) {
      FState = bsDown;
      Invalidate();
    }
    FDragging = true;
  }
  if (FGroupIndex > 0 && IsMarkStyle(FStyle)) Invalidate();
}

void TCommonButton::MouseMove(unsigned, int x, int y) {
  if (!FDragging) return;
  bool inside = x >= 0 && y >= 0 && x < FWidth && y < FHeight;
  TButtonState s = FDown ? bsExclusive : (inside ? bsDown : bsUp);
  if (s != FState) {
    FState = s;
    Invalidate();
  } else if (IsMarkStyle(FStyle)) {
    Invalidate();  // a held check or radio button shows pushed only while the pointer is on it
  }
}

void TCommonButton::MouseUp(ui::MouseButton button, unsigned, int x, int y) {
  FMousePressed = false;
  if (button != ui::MouseButton::Left || !FDragging) {
    if (IsMarkStyle(FStyle)) Invalidate();
    return;
  }
  FDragging = false;
  bool inside = x >= 0 && y >= 0 && x < FWidth && y < FHeight;
  if (FGroupIndex == 0) {
    FState = bsUp;
  } else if (inside) {
    SetDown(!FDown);
  } else if (FDown) {
    FState = bsExclusive;
  }
  Invalidate();
  if (inside) Click();
}

void TCommonButton::MouseEnter() {
  if (FFlat || FMousePressed) Invalidate();
}

void TCommonButton::MouseLeave() {
  if (FFlat || FMousePressed) Invalidate();
}

// ---- painting ----

bool TCommonButton::ShowsFrame() {
  State();
  TButtonState s = FaceState();
  // A flat push-button face shows its frame only while the pointer is over it or while it is down.
  if (!FFlat || (FStyle != clsNormalButton && FStyle != clsScrollBorder)) return true;
  return IsPressed(s) || (FMouseInControl && s != bsDisabled);
}

void TCommonButton::Paint(HDC dc) {
  UINT flags = FrameFlags();
  TButtonState s = FaceState();
  RECT r = ClientRect();
  if (!ShowsFrame()) {
    FillRect(dc, &r, ui::ColorBrush(ui::clBtnFace));
  } else {
    comm::TSavedDC saved(dc);
    if (FStyle == clsScrollBorder) {
      // Only a two-pixel ring of the shape is wanted: the face inside stays plain.
      FillRect(dc, &r, ui::ColorBrush(ui::clBtnFace));
      ExcludeClipRect(dc, 2, 2, FWidth - 2, FHeight - 2);
    }
    RECT face = r;
    DrawFrameControl(dc, &face, FrameControlType(FStyle), flags);
  }
  if (FMouseInControl && s != bsDisabled && FFlat && !IsMarkStyle(FStyle) && FStyle != clsSizeGrip) {
    UINT edge = IsPressed(s) ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
    RECT e = r;
    DrawEdge(dc, &e, edge, BF_BOTTOMRIGHT);
    DrawEdge(dc, &e, edge, BF_TOPLEFT);
  }
  InflateRect(&r, -2, -2);
  if (FStyle == clsNormalButton || FStyle == clsScrollBorder) PaintGlyphAndCaption(dc, r, s);
}

std::vector<bool> EngravedShape(const std::vector<COLORREF>& pixels, COLORREF transparent) {
  auto light = [](COLORREF c) {
    return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c) >= 1000 * kEngraveLightLevel;
  };
  std::vector<bool> shape(pixels.size(), false);
  bool any = false;
  for (size_t i = 0; i < pixels.size(); ++i) {
    shape[i] = pixels[i] != transparent && !light(pixels[i]);
    any = any || shape[i];
  }
  // A glyph drawn only in light colours is engraved as its whole silhouette rather than vanish.
  if (!any)
    for (size_t i = 0; i < pixels.size(); ++i) shape[i] = pixels[i] != transparent;
  return shape;
}

namespace {
// A disabled glyph, engraved as the system draws disabled pictures: its shape (EngravedShape) in the
// highlight colour one pixel down and right, and in the shadow colour on top.
void DrawDisabledGlyph(HDC dc, HBITMAP glyph, int x, int y, SIZE size) {
  // The glyph's pixels, read as top-down 32-bit rows.
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> bits(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
  {
    comm::TWindowDC screen(nullptr);
    if (!GetDIBits(screen, glyph, 0, static_cast<UINT>(size.cy), bits.data(), &bi, DIB_RGB_COLORS)) return;
  }
  std::vector<COLORREF> pixels(bits.size());
  for (size_t i = 0; i < bits.size(); ++i)
    pixels[i] = RGB((bits[i] >> 16) & 0xFF, (bits[i] >> 8) & 0xFF, bits[i] & 0xFF);
  // The bottom-left pixel names the transparent colour.
  const COLORREF transparent = pixels[static_cast<size_t>(size.cy - 1) * static_cast<size_t>(size.cx)];
  std::vector<bool> shape = EngravedShape(pixels, transparent);
  // The monochrome mask: 0 (black) on the shape, 1 (white) elsewhere; rows of whole 16-bit words.
  const size_t stride = ((static_cast<size_t>(size.cx) + 15) / 16) * 2;
  std::vector<BYTE> maskBits(stride * static_cast<size_t>(size.cy), 0xFF);
  for (int row = 0; row < size.cy; ++row)
    for (int col = 0; col < size.cx; ++col)
      if (shape[static_cast<size_t>(row) * static_cast<size_t>(size.cx) + static_cast<size_t>(col)])
        maskBits[static_cast<size_t>(row) * stride + static_cast<size_t>(col) / 8] &=
            static_cast<BYTE>(~(0x80u >> (col % 8)));
  comm::TGdiObject<HBITMAP> mask(CreateBitmap(size.cx, size.cy, 1, 1, maskBits.data()));
  comm::TMemoryDC maskDC(dc);
  comm::TSelectObject selMask(maskDC, mask.Get());
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  // Paints the brush where the mask is black and keeps the destination where it is white.
  constexpr DWORD kBrushWhereMaskBlack = 0x00B8074A;
  for (int pass = 0; pass < 2; ++pass) {
    comm::TGdiObject<HBRUSH> brush(CreateSolidBrush(ui::ColorToRGB(pass == 0 ? ui::clBtnHighlight : ui::clBtnShadow)));
    comm::TSelectObject selBrush(dc, brush.Get());
    int offset = pass == 0 ? 1 : 0;
    BitBlt(dc, x + offset, y + offset, size.cx, size.cy, maskDC, 0, 0, kBrushWhereMaskBlack);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}
}  // namespace

void TCommonButton::PaintGlyphAndCaption(HDC dc, const RECT& area, TButtonState state) {
  SIZE glyph{0, 0}, text{0, 0};
  BITMAP bm{};
  if (FGlyph && GetObjectW(FGlyph.Get(), sizeof(bm), &bm)) glyph = SIZE{bm.bmWidth, bm.bmHeight};
  if (glyph.cx <= 0 && FCaption.empty()) return;
  comm::TSavedDC saved(dc);
  SelectObject(dc, ui::FontHandle(DeviceFont()));
  if (!FCaption.empty()) {
    RECT calc{0, 0, area.right - area.left, area.bottom - area.top};
    DrawTextW(dc, FCaption.c_str(), -1, &calc, DT_CALCRECT);
    text = SIZE{calc.right - calc.left, calc.bottom - calc.top};
  }
  TGlyphPlacement p = PlaceGlyphAndCaption(FLayout, FWidth, FHeight, glyph, text, FSpacing, FMargin);
  if (IsPressed(state)) {
    OffsetRect(&p.Glyph, 1, 1);
    OffsetRect(&p.Text, 1, 1);
  }
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  if (glyph.cx > 0 && glyph.cy > 0) {
    if (state == bsDisabled) {
      DrawDisabledGlyph(dc, FGlyph.Get(), p.Glyph.left, p.Glyph.top, glyph);
    } else {
      comm::TMemoryDC mem(dc);
      comm::TSelectObject sel(mem, FGlyph.Get());
      COLORREF transparent = GetPixel(mem, 0, glyph.cy - 1);
      TransparentBlt(dc, p.Glyph.left, p.Glyph.top, glyph.cx, glyph.cy, mem, 0, 0, glyph.cx, glyph.cy, transparent);
    }
  }
  if (!FCaption.empty()) ui::DrawCaptionText(dc, FCaption, p.Text, 0, state != bsDisabled, FFont.Color);
}

}  // namespace widgets
