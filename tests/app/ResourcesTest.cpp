// The icon and the pictures compiled into the program: sizes, transparent colour, and content.
#include "Base.h"
#include "resource.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

// A bitmap resource read back as top-down RGB pixels.
struct Picture {
  int width = 0, height = 0, bitsPerPixel = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool IsKey(int x, int y) const { return At(x, y) == VSS_ART_KEY_COLOR; }
};

Picture LoadPicture(int id) {
  Picture p;
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bmp) return p;
  DIBSECTION ds{};
  if (GetObjectW(bmp, sizeof(ds), &ds) == sizeof(ds)) {
    p.width = ds.dsBm.bmWidth;
    p.height = ds.dsBm.bmHeight;
    p.bitsPerPixel = ds.dsBm.bmBitsPixel;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(static_cast<size_t>(p.width) * p.height);
    HDC dc = GetDC(nullptr);
    int lines = GetDIBits(dc, bmp, 0, p.height, quads.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (lines == p.height) {
      for (const RGBQUAD& q : quads) p.pixels.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
  }
  DeleteObject(bmp);
  return p;
}

// Colours used inside a rectangle, key colour included.
std::set<COLORREF> Colours(const Picture& p, int x0, int y0, int w, int h) {
  std::set<COLORREF> s;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) s.insert(p.At(x, y));
  return s;
}

// First row of a frame that holds anything but the key colour (the top of the animal).
int TopOfFrame(const Picture& strip, int frame) {
  for (int y = 0; y < strip.height; ++y)
    for (int x = 0; x < VSS_VORNA_FRAME_WIDTH; ++x)
      if (!strip.IsKey(frame * VSS_VORNA_FRAME_WIDTH + x, y)) return y;
  return strip.height;
}

std::vector<COLORREF> FramePixels(const Picture& strip, int frame) {
  std::vector<COLORREF> v;
  for (int y = 0; y < strip.height; ++y)
    for (int x = 0; x < VSS_VORNA_FRAME_WIDTH; ++x) v.push_back(strip.At(frame * VSS_VORNA_FRAME_WIDTH + x, y));
  return v;
}

TEST(Resources, AnimationStripHoldsTwentySixFramesOf32By24) {
  Picture strip = LoadPicture(IDB_VORNA_FRAMES);
  ASSERT_EQ(strip.width, VSS_VORNA_FRAME_WIDTH * VSS_VORNA_FRAME_COUNT);
  ASSERT_EQ(strip.width, 832);
  ASSERT_EQ(strip.height, 24);
  EXPECT_EQ(strip.bitsPerPixel, 24);
  ASSERT_EQ(strip.pixels.size(), 832u * 24u);
}

TEST(Resources, EveryAnimationFrameIsTransparentAtItsCornersAndShowsTheAnimal) {
  Picture strip = LoadPicture(IDB_VORNA_FRAMES);
  ASSERT_EQ(strip.pixels.size(), 832u * 24u);
  const int w = VSS_VORNA_FRAME_WIDTH, h = VSS_VORNA_FRAME_HEIGHT;
  for (int f = 0; f < VSS_VORNA_FRAME_COUNT; ++f) {
    SCOPED_TRACE(f);
    int x0 = f * w;
    EXPECT_TRUE(strip.IsKey(x0, 0));
    EXPECT_TRUE(strip.IsKey(x0 + w - 1, 0));
    EXPECT_TRUE(strip.IsKey(x0, h - 1));
    EXPECT_TRUE(strip.IsKey(x0 + w - 1, h - 1));
    // Fur, belly, outline, eyes and the mound: far more than a stray pixel or two.
    EXPECT_GE(Colours(strip, x0, 0, w, h).size(), 8u);
    EXPECT_LT(TopOfFrame(strip, f), h / 2);
  }
}

TEST(Resources, AnimationFramesFollowTheSpeechTexts) {
  Picture strip = LoadPicture(IDB_VORNA_FRAMES);
  ASSERT_EQ(strip.pixels.size(), 832u * 24u);
  // Sitting at the start and at the end; standing up, taller, on the exclamation frames.
  int sitting = TopOfFrame(strip, 0);
  EXPECT_EQ(TopOfFrame(strip, 25), sitting);
  for (int f = 15; f <= 17; ++f) EXPECT_LT(TopOfFrame(strip, f), sitting) << "frame " << f;
  EXPECT_EQ(FramePixels(strip, 25), FramePixels(strip, 0)) << "the loop ends where it starts";
  // It looks around while the dots are shown and tilts its head on the question.
  EXPECT_NE(FramePixels(strip, 3), FramePixels(strip, 0));
  EXPECT_NE(FramePixels(strip, 5), FramePixels(strip, 3));
  EXPECT_NE(FramePixels(strip, 11), FramePixels(strip, 0));
  EXPECT_NE(FramePixels(strip, 18), FramePixels(strip, 16));
  std::set<std::vector<COLORREF>> distinct;
  for (int f = 0; f < VSS_VORNA_FRAME_COUNT; ++f) distinct.insert(FramePixels(strip, f));
  EXPECT_GE(distinct.size(), 10u);
}

// The main window loads the strip into an image list masked by the key colour and draws one frame per tick.
TEST(Resources, StripLoadsAsAMaskedImageListOfTwentySixFrames) {
  HIMAGELIST list = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_VORNA_FRAMES),
                                         VSS_VORNA_FRAME_WIDTH, 0, VSS_ART_KEY_COLOR, IMAGE_BITMAP,
                                         LR_CREATEDIBSECTION);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(list), VSS_VORNA_FRAME_COUNT);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, VSS_VORNA_FRAME_WIDTH);
  EXPECT_EQ(cy, VSS_VORNA_FRAME_HEIGHT);

  const COLORREF background = RGB(0, 128, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, cx, cy);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  for (int frame : {0, 16, 25}) {
    SCOPED_TRACE(frame);
    HBRUSH brush = CreateSolidBrush(background);
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ASSERT_TRUE(ImageList_Draw(list, frame, dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(GetPixel(dc, 0, 0), background);
    EXPECT_EQ(GetPixel(dc, cx - 1, cy - 1), background);
    EXPECT_NE(GetPixel(dc, cx / 2, cy - 6), background) << "the animal's body is missing";
    EXPECT_NE(GetPixel(dc, cx / 2, cy - 6), VSS_ART_KEY_COLOR);
  }
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ImageList_Destroy(list);
}

TEST(Resources, GlyphsAre16By16WithTheKeyColourAtTheBottomLeft) {
  const int ids[] = {IDB_GLYPH_LISTVIEW, IDB_GLYPH_SELECT, IDB_GLYPH_DATE, IDB_GLYPH_SAVE,
                     IDB_GLYPH_CBCOPY,   IDB_GLYPH_CLEAR,  IDB_GLYPH_STOP, IDB_MENU_FOLDER,
                     IDB_MENU_FILE,      IDB_MENU_CANCEL};
  std::set<std::vector<COLORREF>> distinct;
  for (int id : ids) {
    SCOPED_TRACE(id);
    Picture g = LoadPicture(id);
    ASSERT_EQ(g.width, VSS_GLYPH_SIZE);
    ASSERT_EQ(g.height, VSS_GLYPH_SIZE);
    ASSERT_EQ(g.pixels.size(), 256u);
    // Transparent drawing takes the bottom-left pixel as the transparent colour.
    EXPECT_TRUE(g.IsKey(0, VSS_GLYPH_SIZE - 1));
    size_t keyPixels = 0;
    for (COLORREF c : g.pixels) keyPixels += c == VSS_ART_KEY_COLOR;
    EXPECT_GT(keyPixels, 0u);
    EXPECT_LE(keyPixels, 256u - 32u) << "the glyph is nearly empty";
    distinct.insert(g.pixels);
  }
  EXPECT_EQ(distinct.size(), std::size(ids)) << "two glyphs are the same picture";
}

TEST(Resources, TitleArtAndAboutPicture) {
  Picture title = LoadPicture(IDB_TITLE);
  ASSERT_EQ(title.width, VSS_TITLE_WIDTH);
  ASSERT_EQ(title.height, VSS_TITLE_HEIGHT);
  ASSERT_EQ(title.pixels.size(), 128u * 32u);
  EXPECT_TRUE(title.IsKey(0, 0));
  EXPECT_TRUE(title.IsKey(0, VSS_TITLE_HEIGHT - 1));
  EXPECT_TRUE(title.IsKey(VSS_TITLE_WIDTH - 1, 0));
  EXPECT_GE(Colours(title, 0, 0, 64, 32).size(), 5u) << "the name is missing";

  Picture picture = LoadPicture(IDB_APP_PICTURE);
  ASSERT_EQ(picture.width, 32);
  ASSERT_EQ(picture.height, 32);
  ASSERT_EQ(picture.pixels.size(), 32u * 32u);
  EXPECT_TRUE(picture.IsKey(0, 31));
  EXPECT_FALSE(picture.IsKey(16, 16));
}

// The icon group holds a 16 x 16 and a 32 x 32 image of 32 bits each.
TEST(Resources, IconGroupHolds16And32PixelImages) {
  HMODULE self = GetModuleHandleW(nullptr);
  HRSRC group = FindResourceW(self, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(self, group)));
  ASSERT_NE(dir, nullptr);
  for (int size : {16, 32}) {
    SCOPED_TRACE(size);
    int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
    ASSERT_GT(id, 0);
    HRSRC image = FindResourceW(self, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_NE(image, nullptr);
    auto* bih = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, image)));
    ASSERT_NE(bih, nullptr);
    EXPECT_EQ(bih->biWidth, size);
    EXPECT_EQ(bih->biHeight, 2 * size);  // colour image and mask
    EXPECT_EQ(bih->biBitCount, 32);
  }
}

// Drawn over a background, the icon leaves its corner transparent and covers its middle.
TEST(Resources, IconDrawsTransparentlyAtBothSizes) {
  for (int size : {16, 32}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectW(info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, size);
    if (info.hbmColor) {
      GetObjectW(info.hbmColor, sizeof(bm), &bm);
      EXPECT_EQ(bm.bmWidth, size);
      EXPECT_EQ(bm.bmHeight, size);
      DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);

    const COLORREF background = RGB(0, 128, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    HBRUSH brush = CreateSolidBrush(background);
    RECT r{0, 0, size, size};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(GetPixel(dc, 0, size - 1), background);
    EXPECT_NE(GetPixel(dc, size / 2, size / 2), background);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    DestroyIcon(icon);
  }
}

}  // namespace
