// The flat button: states and frame flags under real mouse messages, check and radio rules, painting.
#include "ui/Form.h"
#include "widgets/CommonButton.h"
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace widgets;

namespace {

class TButtonForm : public ui::Form {
 public:
  TButtonForm() {
    CreateForm(L"ボタン", WS_CAPTION | WS_SYSMENU, 0, 200, 100);
    CenterOnScreen();
  }
  // Buttons placed side by side, 23 x 22 each, from the left edge.
  TCommonButton& Add(TComBtnStyle style, int groupIndex = 0) {
    auto b = std::make_unique<TCommonButton>();
    int index = static_cast<int>(FButtons.size());
    b->Create(this, 4 + index * 30, 4, 23, 22);
    b->SetStyle(style);
    b->SetGroupIndex(groupIndex);
    FButtons.push_back(std::move(b));
    return *FButtons.back();
  }
  // Mouse messages at a point of the button, in the button's own coordinates.
  void Mouse(TCommonButton& b, UINT msg, int x, int y) {
    WPARAM keys = msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0;
    SendMessageW(Handle(), msg, keys, MAKELPARAM(b.Left() + x, b.Top() + y));
  }
  void ClickOn(TCommonButton& b) {
    Mouse(b, WM_LBUTTONDOWN, 5, 5);
    Mouse(b, WM_LBUTTONUP, 5, 5);
  }

 private:
  std::vector<std::unique_ptr<TCommonButton>> FButtons;
};

// A 32-bit bitmap to paint into and read back, filled with a colour no system shape uses.
class Canvas {
 public:
  Canvas(int width, int height) : FWidth(width), FHeight(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    RECT r{0, 0, width, height};
    HBRUSH fill = CreateSolidBrush(kUnpainted);
    FillRect(FDC, &r, fill);
    DeleteObject(fill);
  }
  ~Canvas() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
  }
  HDC DC() const { return FDC; }
  COLORREF At(int x, int y) const { return GetPixel(FDC, x, y); }
  bool SameAs(const Canvas& o) const {
    for (int y = 0; y < FHeight; ++y)
      for (int x = 0; x < FWidth; ++x)
        if (At(x, y) != o.At(x, y)) return false;
    return true;
  }
  static constexpr COLORREF kUnpainted = RGB(1, 254, 3);

 private:
  int FWidth, FHeight;
  HBITMAP FBitmap;
  HDC FDC;
  HGDIOBJ FOld;
};

// What the system draws for a frame-control shape on a button-sized area.
std::unique_ptr<Canvas> SystemShape(UINT type, UINT flags, int w = 23, int h = 22) {
  auto c = std::make_unique<Canvas>(w, h);
  RECT r{0, 0, w, h};
  DrawFrameControl(c->DC(), &r, type, flags);
  return c;
}

std::unique_ptr<Canvas> Painted(TCommonButton& b) {
  auto c = std::make_unique<Canvas>(b.Width(), b.Height());
  b.Paint(c->DC());
  return c;
}

}  // namespace

TEST(CommonButton, ScrollArrowFlagsFollowPressMoveReleaseAndDisable) {
  TButtonForm f;
  f.Show();
  TCommonButton& b = f.Add(clsScrollUp);
  int clicks = 0;
  b.OnClick = [&](ui::Control*) { ++clicks; };
  EXPECT_EQ(b.FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP));
  f.Mouse(b, WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(b.State(), bsDown);
  // Pushed scroll arrows are drawn flat even when the button is not.
  EXPECT_EQ(b.FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP | DFCS_PUSHED | DFCS_FLAT));
  f.Mouse(b, WM_MOUSEMOVE, 40, 5);  // held, pointer off the button: drawn up
  EXPECT_EQ(b.FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP));
  f.Mouse(b, WM_MOUSEMOVE, 6, 6);
  EXPECT_EQ(b.State(), bsDown);
  f.Mouse(b, WM_LBUTTONUP, 6, 6);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b.FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP));
  // Released off the button: no click.
  f.Mouse(b, WM_LBUTTONDOWN, 5, 5);
  f.Mouse(b, WM_LBUTTONUP, 50, 50);
  EXPECT_EQ(clicks, 1);
  b.SetEnabled(false);
  EXPECT_EQ(b.FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP | DFCS_INACTIVE));
  b.SetEnabled(true);
  EXPECT_EQ(b.State(), bsUp);
  b.SetFlat(true);
  EXPECT_EQ(b.FrameFlags(), static_cast<UINT>(DFCS_SCROLLUP | DFCS_FLAT));
}

TEST(CommonButton, EveryStyleIsDrawnAsItsSystemShape) {
  struct Expected {
    TComBtnStyle style;
    UINT type, flags;
  };
  const Expected table[] = {
      {clsNormalButton, DFC_BUTTON, DFCS_BUTTONPUSH},    {clsCheckButton, DFC_BUTTON, DFCS_BUTTONCHECK},
      {clsRadioButton, DFC_BUTTON, DFCS_BUTTONRADIO},    {clsCloseButton, DFC_CAPTION, DFCS_CAPTIONCLOSE},
      {clsHelpButton, DFC_CAPTION, DFCS_CAPTIONHELP},    {clsMaximizeButton, DFC_CAPTION, DFCS_CAPTIONMAX},
      {clsMinimizeButton, DFC_CAPTION, DFCS_CAPTIONMIN}, {clsRestoreButton, DFC_CAPTION, DFCS_CAPTIONRESTORE},
      {clsScrollDown, DFC_SCROLL, DFCS_SCROLLDOWN},      {clsScrollLeft, DFC_SCROLL, DFCS_SCROLLLEFT},
      {clsScrollRight, DFC_SCROLL, DFCS_SCROLLRIGHT},    {clsScrollUp, DFC_SCROLL, DFCS_SCROLLUP},
      {clsSizeGrip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
  };
  TButtonForm f;
  for (const Expected& e : table) {
    SCOPED_TRACE(testing::Message() << "style " << e.style);
    TCommonButton& b = f.Add(e.style);
    EXPECT_TRUE(Painted(b)->SameAs(*SystemShape(e.type, e.flags)));
    b.SetEnabled(false);
    EXPECT_TRUE(Painted(b)->SameAs(*SystemShape(e.type, e.flags | DFCS_INACTIVE)));
  }
  // The scroll border keeps only a two-pixel ring of the shape around a plain face.
  TCommonButton& border = f.Add(clsScrollBorder);
  auto painted = Painted(border);
  auto shape = SystemShape(DFC_SCROLL, DFCS_SCROLLDOWN);
  for (int x = 0; x < 23; ++x) EXPECT_EQ(painted->At(x, 1), shape->At(x, 1)) << "x " << x;
  // Inside the ring the arrow of the shape is left out.
  int paintedInside = 0, shapeInside = 0;
  for (int y = 2; y < 20; ++y)
    for (int x = 2; x < 21; ++x) {
      paintedInside += painted->At(x, y) != GetSysColor(COLOR_BTNFACE);
      shapeInside += shape->At(x, y) != GetSysColor(COLOR_BTNFACE);
    }
  EXPECT_EQ(paintedInside, 0);
  EXPECT_GT(shapeInside, 0);
}

TEST(CommonButton, CheckAndRadioRules) {
  TButtonForm f;
  f.Show();
  TCommonButton& check = f.Add(clsCheckButton);
  TCommonButton& radioA = f.Add(clsRadioButton);
  TCommonButton& radioB = f.Add(clsRadioButton);
  TCommonButton& otherGroup = f.Add(clsRadioButton, 2);
  TCommonButton& normal = f.Add(clsNormalButton);

  f.ClickOn(check);
  EXPECT_TRUE(check.Checked());
  EXPECT_EQ(check.FrameFlags(), static_cast<UINT>(DFCS_BUTTONCHECK | DFCS_CHECKED));
  f.ClickOn(check);
  EXPECT_FALSE(check.Checked());

  otherGroup.SetChecked(true);
  f.ClickOn(radioA);
  EXPECT_TRUE(radioA.Checked());
  f.ClickOn(radioA);  // stays checked
  EXPECT_TRUE(radioA.Checked());
  // Group index 0 is a group too: B unchecks A, but not the radio button of group 2.
  f.ClickOn(radioB);
  EXPECT_TRUE(radioB.Checked());
  EXPECT_FALSE(radioA.Checked());
  EXPECT_TRUE(otherGroup.Checked());
  radioB.SetChecked(false);  // a radio button is unchecked only by a sibling
  EXPECT_TRUE(radioB.Checked());

  normal.SetChecked(true);
  EXPECT_FALSE(normal.Checked());
  radioB.SetStyle(clsNormalButton);
  EXPECT_FALSE(radioB.Checked());
  check.SetFlat(true);
  check.SetStyle(clsSizeGrip);
  EXPECT_FALSE(check.Flat());
}

TEST(CommonButton, GroupedButtonStaysDownAsTheExclusiveOne) {
  TButtonForm f;
  f.Show();
  TCommonButton& a = f.Add(clsNormalButton, 1);
  TCommonButton& b = f.Add(clsNormalButton, 1);
  TCommonButton& check = f.Add(clsCheckButton, 1);
  f.ClickOn(a);
  EXPECT_TRUE(a.Down());
  EXPECT_EQ(a.FrameFlags(), static_cast<UINT>(DFCS_BUTTONPUSH | DFCS_PUSHED));
  f.ClickOn(b);
  EXPECT_FALSE(a.Down());
  EXPECT_TRUE(b.Down());
  f.ClickOn(b);  // the group may not be all up
  EXPECT_TRUE(b.Down());
  // A check button in the group shows its selection by the mark, not by staying pushed.
  f.ClickOn(check);
  EXPECT_TRUE(check.Down());
  EXPECT_FALSE(b.Down());
  EXPECT_EQ(check.State(), bsExclusive);
  EXPECT_EQ(check.FrameFlags(), static_cast<UINT>(DFCS_BUTTONCHECK | DFCS_CHECKED));
}

TEST(CommonButton, FlatButtonShowsAOnePixelEdgeWhileHovered) {
  TButtonForm f;
  f.Show();
  TCommonButton& flat = f.Add(clsNormalButton);
  TCommonButton& flatCheck = f.Add(clsCheckButton);
  flat.SetFlat(true);
  flatCheck.SetFlat(true);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);

  auto away = Painted(flat);
  EXPECT_TRUE(away->SameAs(*SystemShape(DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT)));
  f.Mouse(flat, WM_MOUSEMOVE, 5, 5);
  ASSERT_TRUE(flat.MouseInControl());
  auto raised = Painted(flat);
  EXPECT_EQ(raised->At(11, 0), highlight);
  EXPECT_EQ(raised->At(0, 11), highlight);
  EXPECT_EQ(raised->At(11, 21), shadow);
  EXPECT_EQ(raised->At(22, 11), shadow);
  f.Mouse(flat, WM_LBUTTONDOWN, 5, 5);
  auto sunken = Painted(flat);
  EXPECT_EQ(sunken->At(11, 0), shadow);
  EXPECT_EQ(sunken->At(11, 21), highlight);
  f.Mouse(flat, WM_LBUTTONUP, 5, 5);

  auto checkAway = Painted(flatCheck);
  f.Mouse(flatCheck, WM_MOUSEMOVE, 5, 5);
  ASSERT_TRUE(flatCheck.MouseInControl());
  EXPECT_TRUE(Painted(flatCheck)->SameAs(*checkAway));
}

TEST(CommonButton, GlyphAndCaptionPlacement) {
  // A 16 x 16 glyph without caption on a 23 x 22 button: spacing 4 + 1 counts because there is a glyph.
  TGlyphPlacement p = PlaceGlyphAndCaption(blGlyphLeft, 23, 22, SIZE{16, 16}, SIZE{0, 0}, 4, -1);
  EXPECT_EQ(p.Glyph.left, 1);
  EXPECT_EQ(p.Glyph.top, 3);
  // Halves truncate toward zero, also when the content is wider than the button.
  p = PlaceGlyphAndCaption(blGlyphLeft, 20, 22, SIZE{16, 16}, SIZE{10, 13}, 4, -1);
  EXPECT_EQ(p.Glyph.left, -5);
  EXPECT_EQ(p.Text.left, 16);
  EXPECT_EQ(p.Text.top, 4);
  // No glyph: no spacing, the caption is centred alone.
  p = PlaceGlyphAndCaption(blGlyphLeft, 60, 22, SIZE{0, 0}, SIZE{30, 13}, 4, -1);
  EXPECT_EQ(p.Text.left, 15);

  p = PlaceGlyphAndCaption(blGlyphRight, 60, 22, SIZE{16, 16}, SIZE{20, 13}, 4, -1);
  EXPECT_EQ(p.Text.left, 9);
  EXPECT_EQ(p.Glyph.left, 34);
  EXPECT_EQ(p.Glyph.top, 3);
  p = PlaceGlyphAndCaption(blGlyphRight, 60, 22, SIZE{16, 16}, SIZE{20, 13}, 4, 2);
  EXPECT_EQ(p.Glyph.right, 56);  // 2 from the right edge inside the 2-pixel frame
  EXPECT_EQ(p.Text.left, 15);

  p = PlaceGlyphAndCaption(blGlyphTop, 60, 50, SIZE{16, 16}, SIZE{30, 13}, 4, -1);
  EXPECT_EQ(p.Glyph.left, 22);
  EXPECT_EQ(p.Glyph.top, 8);
  EXPECT_EQ(p.Text.left, 15);
  EXPECT_EQ(p.Text.top, 29);
  p = PlaceGlyphAndCaption(blGlyphTop, 60, 50, SIZE{16, 16}, SIZE{30, 13}, 4, 3);
  EXPECT_EQ(p.Glyph.top, 5);
  EXPECT_EQ(p.Text.top, 26);

  p = PlaceGlyphAndCaption(blGlyphBottom, 60, 50, SIZE{16, 16}, SIZE{30, 13}, 4, 0);
  EXPECT_EQ(p.Glyph.bottom, 48);
  EXPECT_EQ(p.Text.bottom, p.Glyph.top - 5);
}

TEST(CommonButton, GlyphIsDrawnTransparentlyInsideTheFrameAndShiftsWhenPressed) {
  const COLORREF red = RGB(255, 0, 0);
  // Red everywhere except the bottom-left pixel, which names the transparent colour.
  std::vector<DWORD> pixels(16 * 16, 0x00FF0000);
  pixels[15 * 16] = 0x00FF00FF;
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, pixels.data());

  TButtonForm f;
  f.Show();
  TCommonButton& b = f.Add(clsNormalButton);
  b.SetGlyph(bitmap);
  DeleteObject(bitmap);  // the button keeps its own copy
  auto up = Painted(b);
  // Placed at (1, 3): the first column falls outside the area 2 pixels inside the edges.
  EXPECT_EQ(up->At(16, 3), red);
  EXPECT_NE(up->At(17, 3), red);
  EXPECT_NE(up->At(16, 2), red);
  EXPECT_EQ(up->At(2, 17), red);
  EXPECT_NE(up->At(1, 10), red);
  EXPECT_EQ(up->At(2, 18), red);
  EXPECT_NE(up->At(2, 19), red);
  f.Mouse(b, WM_LBUTTONDOWN, 5, 5);
  auto down = Painted(b);
  EXPECT_EQ(down->At(17, 4), red);
  EXPECT_NE(down->At(17, 3), red);
  EXPECT_NE(down->At(18, 4), red);
  EXPECT_NE(down->At(2, 19), red);  // the transparent pixel, now inside the area
  EXPECT_EQ(down->At(3, 19), red);
  f.Mouse(b, WM_LBUTTONUP, 5, 5);
  // Only the push button and the border show a glyph.
  b.SetStyle(clsScrollUp);
  EXPECT_TRUE(Painted(b)->SameAs(*SystemShape(DFC_SCROLL, DFCS_SCROLLUP)));
}
