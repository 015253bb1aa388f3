// The flat button: states and frame flags under real mouse messages, check and radio rules, painting.
#include "support/Capture.h"
#include "support/DialogAnswerer.h"
#include "ui/Form.h"
#include "widgets/CommonButton.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <vector>

using namespace widgets;

namespace {

class TButtonForm : public ui::Form {
 public:
  TButtonForm() {
    CreateForm(L"ボタン", WS_CAPTION | WS_SYSMENU, 0, 200, 40);
    Show();
  }
  TCommonButton& Add(TComBtnStyle style, int groupIndex = 0) {
    TCommonButton& b = *FButtons.emplace_back(std::make_unique<TCommonButton>());
    b.Create(this, 4 + 30 * static_cast<int>(FButtons.size() - 1), 4, 23, 22);
    b.SetStyle(style);
    b.SetGroupIndex(groupIndex);
    return b;
  }
  // A mouse message at a point of the button, in the button's own coordinates.
  void Mouse(TCommonButton& b, UINT msg, int x = 5, int y = 5) {
    SendMessageW(Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(b.Left() + x, b.Top() + y));
  }
  void ClickOn(TCommonButton& b) {
    Mouse(b, WM_LBUTTONDOWN);
    Mouse(b, WM_LBUTTONUP);
  }

 private:
  std::vector<std::unique_ptr<TCommonButton>> FButtons;
};

// A 23 x 22 picture made by a painter, read back pixel by pixel.
class Picture {
 public:
  explicit Picture(const std::function<void(HDC)>& paint) {
    FDC = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 23, -22, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    FBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    FOld = SelectObject(FDC, FBitmap);
    paint(FDC);
  }
  Picture(const Picture&) = delete;
  ~Picture() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
  }
  COLORREF At(int x, int y) const { return GetPixel(FDC, x, y); }
  bool operator==(const Picture& o) const {
    for (int y = 0; y < 22; ++y)
      for (int x = 0; x < 23; ++x)
        if (At(x, y) != o.At(x, y)) return false;
    return true;
  }

 private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
};

Picture Painted(TCommonButton& b) {
  return Picture([&](HDC dc) { b.Paint(dc); });
}

Picture SystemShape(UINT type, UINT flags) {
  return Picture([&](HDC dc) {
    RECT r{0, 0, 23, 22};
    DrawFrameControl(dc, &r, type, flags);
  });
}

}  // namespace

TEST(CommonButton, ScrollArrowFlagsFollowPressMoveReleaseAndDisable) {
  TButtonForm f;
  TCommonButton& b = f.Add(clsScrollUp);
  int clicks = 0;
  b.OnClick = [&](ui::Control*) { ++clicks; };
  EXPECT_EQ(b.FrameFlags(), UINT(DFCS_SCROLLUP));
  f.Mouse(b, WM_LBUTTONDOWN);
  // A pushed scroll arrow is drawn flat even on a button that is not.
  EXPECT_EQ(b.FrameFlags(), UINT(DFCS_SCROLLUP | DFCS_PUSHED | DFCS_FLAT));
  EXPECT_TRUE(Painted(b) == SystemShape(DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED | DFCS_FLAT));
  f.Mouse(b, WM_MOUSEMOVE, 40, 5);  // held with the pointer off the button: drawn up
  EXPECT_EQ(b.FrameFlags(), UINT(DFCS_SCROLLUP));
  f.Mouse(b, WM_MOUSEMOVE, 6, 6);
  f.Mouse(b, WM_LBUTTONUP, 6, 6);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b.FrameFlags(), UINT(DFCS_SCROLLUP));
  f.Mouse(b, WM_LBUTTONDOWN);
  f.Mouse(b, WM_LBUTTONUP, 50, 50);  // released off the button: no click
  EXPECT_EQ(clicks, 1);
  b.SetEnabled(false);
  EXPECT_EQ(b.FrameFlags(), UINT(DFCS_SCROLLUP | DFCS_INACTIVE));
  EXPECT_TRUE(Painted(b) == SystemShape(DFC_SCROLL, DFCS_SCROLLUP | DFCS_INACTIVE));
  b.SetEnabled(true);
  EXPECT_EQ(b.State(), bsUp);
}

TEST(CommonButton, CheckAndRadioRules) {
  TButtonForm f;
  TCommonButton& check = f.Add(clsCheckButton);
  TCommonButton& radioA = f.Add(clsRadioButton);
  TCommonButton& radioB = f.Add(clsRadioButton);
  TCommonButton& otherGroup = f.Add(clsRadioButton, 2);
  f.ClickOn(check);
  EXPECT_EQ(check.FrameFlags(), UINT(DFCS_BUTTONCHECK | DFCS_CHECKED));
  f.ClickOn(check);
  EXPECT_FALSE(check.Checked());

  otherGroup.SetChecked(true);
  f.ClickOn(radioA);
  f.ClickOn(radioA);  // stays checked
  EXPECT_TRUE(radioA.Checked());
  // Group index 0 is a group too: B unchecks A, not the radio button of group 2.
  f.ClickOn(radioB);
  EXPECT_TRUE(radioB.Checked());
  EXPECT_FALSE(radioA.Checked());
  EXPECT_TRUE(otherGroup.Checked());
  radioB.SetChecked(false);  // only a sibling unchecks a radio button
  EXPECT_TRUE(radioB.Checked());

  radioB.SetStyle(clsNormalButton);
  EXPECT_FALSE(radioB.Checked());
  radioB.SetChecked(true);
  EXPECT_FALSE(radioB.Checked());
  check.SetFlat(true);
  check.SetStyle(clsSizeGrip);
  EXPECT_FALSE(check.Flat());
}

TEST(CommonButton, FlatButtonShowsItsFrameOnlyWhileHoveredOrDown) {
  TButtonForm f;
  TCommonButton& flat = f.Add(clsNormalButton);
  TCommonButton& flatCheck = f.Add(clsCheckButton);
  TCommonButton& flatGroup = f.Add(clsNormalButton, 1);
  for (TCommonButton* b : {&flat, &flatCheck, &flatGroup}) b->SetFlat(true);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                 dark = GetSysColor(COLOR_BTNSHADOW);
  // The edges of a button as the form shows it on the screen.
  auto edges = [&](TCommonButton& b) {
    testsupport::WindowPicture p(f.Handle());
    const int l = b.Left(), t = b.Top(), r = l + b.Width() - 1, bt = t + b.Height() - 1;
    return std::vector<COLORREF>{p.At(l + 11, t), p.At(l, t + 11), p.At(l + 11, bt), p.At(r, t + 11)};
  };
  const std::vector<COLORREF> none{face, face, face, face};
  EXPECT_EQ(edges(flat), none);
  f.Mouse(flat, WM_MOUSEMOVE);
  EXPECT_EQ(edges(flat), (std::vector<COLORREF>{light, light, dark, dark}));
  f.Mouse(flat, WM_LBUTTONDOWN);
  EXPECT_EQ(edges(flat), (std::vector<COLORREF>{dark, dark, light, light}));
  f.Mouse(flat, WM_MOUSEMOVE, 40, 30);  // held, with the pointer off the button: up and frameless
  EXPECT_EQ(edges(flat), none);
  f.Mouse(flat, WM_LBUTTONUP, 40, 30);
  f.Mouse(flat, WM_MOUSEMOVE, 190, 35);  // over the form only
  EXPECT_EQ(edges(flat), none);
  // A group member held down shows its frame without the pointer; one disabled under it shows none.
  flatGroup.SetDown(true);
  EXPECT_NE(edges(flatGroup), none);
  f.Mouse(flat, WM_MOUSEMOVE);
  flat.SetEnabled(false);
  EXPECT_EQ(edges(flat), none);

  // A flat check button keeps its mark and never shows the edge.
  Picture away = Painted(flatCheck);
  EXPECT_TRUE(away == SystemShape(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT));
  f.Mouse(flatCheck, WM_MOUSEMOVE);
  ASSERT_TRUE(flatCheck.MouseInControl());
  EXPECT_TRUE(Painted(flatCheck) == away);
}

TEST(CommonButton, GlyphIsPlacedClippedAndShiftedWhenPressed) {
  // Red, except the bottom-left pixel, which names the transparent colour.
  std::vector<DWORD> pixels(16 * 16, 0x00FF0000);
  pixels[15 * 16] = 0x00FF00FF;
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, pixels.data());
  TButtonForm f;
  TCommonButton& b = f.Add(clsNormalButton);
  b.SetGlyph(bitmap);
  DeleteObject(bitmap);  // the button keeps a copy
  const COLORREF red = RGB(255, 0, 0);
  // 16 x 16 on 23 x 22, spacing 4 + 1: at ((23 - 21) / 2, (22 - 16) / 2) = (1, 3), drawn only from 2 inside.
  Picture up = Painted(b);
  EXPECT_EQ(up.At(16, 3), red);
  EXPECT_NE(up.At(17, 3), red);
  EXPECT_NE(up.At(16, 2), red);
  EXPECT_EQ(up.At(2, 18), red);
  EXPECT_NE(up.At(1, 10), red);
  f.Mouse(b, WM_LBUTTONDOWN);
  Picture down = Painted(b);  // at (2, 4)
  EXPECT_EQ(down.At(17, 4), red);
  EXPECT_NE(down.At(18, 4), red);
  EXPECT_NE(down.At(17, 3), red);
  EXPECT_NE(down.At(2, 19), red);  // the transparent pixel
  EXPECT_EQ(down.At(3, 19), red);
  f.Mouse(b, WM_LBUTTONUP);
  b.SetStyle(clsScrollUp);  // other shapes show no glyph
  EXPECT_TRUE(Painted(b) == SystemShape(DFC_SCROLL, DFCS_SCROLLUP));
  // Halves truncate toward zero, also for content wider than the button; a margin counts from inside
  // the 2-pixel frame.
  TGlyphPlacement p = PlaceGlyphAndCaption(blGlyphLeft, 20, 22, SIZE{16, 16}, SIZE{10, 13}, 4, -1);
  EXPECT_EQ(p.Glyph.left, -5);
  EXPECT_EQ(p.Text.left, 16);
  p = PlaceGlyphAndCaption(blGlyphRight, 60, 22, SIZE{16, 16}, SIZE{20, 13}, 4, 2);
  EXPECT_EQ(p.Glyph.right, 56);
  EXPECT_EQ(p.Text.left, 15);
}

TEST(CommonButton, DisabledGlyphIsEngravedInShadowAndHighlight) {
  std::vector<DWORD> pixels(16 * 16, 0x00FF0000);
  pixels[15 * 16] = 0x00FF00FF;  // transparent corner
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, pixels.data());
  TButtonForm f;
  TCommonButton& b = f.Add(clsNormalButton);
  b.SetGlyph(bitmap);
  DeleteObject(bitmap);
  b.SetEnabled(false);
  Picture off = Painted(b);
  const COLORREF red = RGB(255, 0, 0), shadow = GetSysColor(COLOR_BTNSHADOW),
                 highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  // The glyph at (1, 3), clipped 2 pixels inside: no colour of its own, its shape in the shadow colour,
  // and the highlight showing one pixel below its bottom edge.
  for (int y = 3; y < 19; ++y)
    for (int x = 2; x < 17; ++x) EXPECT_NE(off.At(x, y), red) << x << "," << y;
  EXPECT_EQ(off.At(8, 10), shadow);
  EXPECT_EQ(off.At(8, 19), highlight);
  b.SetEnabled(true);
  EXPECT_EQ(Painted(b).At(8, 10), red);
}

TEST(CommonButton, EngravedShapeLeavesOutLightAndTransparentPixels) {
  const COLORREF key = RGB(255, 0, 255);
  // Brightness 192 (silver) is light, 191 is not; white and yellow are light, red and black are not.
  std::vector<COLORREF> pixels{key, RGB(255, 255, 255), RGB(192, 192, 192), RGB(191, 191, 191),
                               RGB(0, 0, 0), RGB(255, 0, 0), RGB(255, 255, 0)};
  EXPECT_EQ(EngravedShape(pixels, key), (std::vector<bool>{false, false, false, true, true, true, false}));
  // Only light pixels: the whole silhouette is engraved rather than nothing.
  EXPECT_EQ(EngravedShape({key, RGB(255, 255, 255), RGB(255, 255, 0)}, key),
            (std::vector<bool>{false, true, true}));
  EXPECT_EQ(EngravedShape({key, key}, key), (std::vector<bool>{false, false}));
}

namespace {
// Hovers the mouse over the button until its tip shows; false when it never does.
bool HoverUntilTipShows(TButtonForm& f, TCommonButton& b, DWORD timeoutMs = 3000) {
  POINT p{b.Left() + b.Width() / 2, b.Top() + b.Height() / 2};
  ClientToScreen(f.Handle(), &p);
  SetCursorPos(p.x, p.y);
  // Off every tool first, then one move onto the button: the tip's timer starts again at every move
  // over the same tool.
  SendMessageW(f.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(f.ClientWidth() - 2, f.ClientHeight() - 2));
  SendMessageW(f.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(b.Left() + b.Width() / 2, b.Top() + b.Height() / 2));
  return testsupport::PumpUntil([&] { return IsWindowVisible(f.TooltipWindow()) != FALSE; }, timeoutMs);
}
}  // namespace

TEST(CommonButton, HintGoesWhenItsButtonIsDisabledOrHiddenAndComesBackWithIt) {
  TButtonForm f;
  SetForegroundWindow(f.Handle());
  TCommonButton& clear = f.Add(clsNormalButton);
  TCommonButton& other = f.Add(clsNormalButton);
  clear.SetHint(L"一覧を空にします|");
  other.SetHint(L"保存します|");
  ASSERT_NE(f.TooltipWindow(), nullptr);
  SendMessageW(f.TooltipWindow(), TTM_SETDELAYTIME, TTDT_INITIAL, 0);
  const auto tools = [&] { return SendMessageW(f.TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0); };
  EXPECT_EQ(tools(), 2);
  for (bool hide : {false, true}) {
    SCOPED_TRACE(hide ? "hidden" : "disabled");
    ASSERT_TRUE(HoverUntilTipShows(f, clear));
    // Its own click disables (or hides) the button under the mouse: the tip goes at once.
    if (hide) clear.SetVisible(false);
    else clear.SetEnabled(false);
    EXPECT_FALSE(IsWindowVisible(f.TooltipWindow()));
    // Hidden, its tool goes; disabled, a silent one stays, keeping the form's own hint off it. The
    // other button keeps its hint.
    EXPECT_EQ(tools(), hide ? 1 : 2);
    testsupport::PumpFor(200);
    EXPECT_FALSE(IsWindowVisible(f.TooltipWindow()));
    if (hide) clear.SetVisible(true);
    else clear.SetEnabled(true);
    EXPECT_EQ(tools(), 2);
  }
  // While disabled the button shows no tip when the mouse comes over it.
  clear.SetEnabled(false);
  EXPECT_FALSE(HoverUntilTipShows(f, clear, 500));
  clear.SetEnabled(true);
  EXPECT_TRUE(HoverUntilTipShows(f, clear));
}
