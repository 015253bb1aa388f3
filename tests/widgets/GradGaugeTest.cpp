// The gradation gauge: range rules, filled width and percentage, the drawn pixels, repaints skipped.
#include "support/Capture.h"
#include "ui/Form.h"
#include "widgets/GradGauge.h"
#include <gtest/gtest.h>
#include <functional>

using namespace widgets;

namespace {

class TGaugeForm : public ui::Form {
 public:
  TGaugeForm() {
    CreateForm(L"ゲージ", WS_CAPTION | WS_SYSMENU, 0, 300, 60);
    Gauge.Create(this, 3, 3, 263, 22);
    Show();
    UpdateWindow(Handle());
  }
  TGradationGauge Gauge;
};

using Picture = testsupport::WindowPicture;

// What the gauge shows on the screen now.
Picture OnScreen(TGaugeForm& f) {
  return Picture(f.Gauge.Width(), f.Gauge.Height(), [&](HDC dc) {
    comm::TWindowDC win(f.Handle());
    BitBlt(dc, 0, 0, f.Gauge.Width(), f.Gauge.Height(), win, f.Gauge.Left(), f.Gauge.Top(), SRCCOPY);
  });
}

// What a whole paint of the gauge draws.
Picture Painted(TGradationGauge& g) {
  return Picture(g.Width(), g.Height(), [&](HDC dc) { g.Paint(dc); });
}

}  // namespace

TEST(GradationGauge, RangeRulesRefuseWhatWouldLeaveThePositionOutside) {
  TGaugeForm f;
  TGradationGauge& g = f.Gauge;
  g.SetPosition(500);
  EXPECT_EQ(g.Position(), 100);
  const unsigned paints = g.PaintCount();
  g.SetMax(99);  // below the position: refused, nothing drawn
  EXPECT_EQ(g.Max(), 100);
  EXPECT_EQ(g.PaintCount(), paints);
  g.SetPosition(40);
  g.SetMin(41);  // above the position: refused
  EXPECT_EQ(g.Min(), 0);
  g.SetMin(40);  // equal to the position: taken
  EXPECT_EQ(g.Min(), 40);
  g.SetPosition(10);
  EXPECT_EQ(g.Position(), 40);
  g.SetMax(40);  // equal to the position: taken
  EXPECT_EQ(g.Max(), 40);
  g.SetPosition(41);
  EXPECT_EQ(g.Position(), 40);
}

TEST(GradationGauge, FilledWidthAndPercentFollowThePixels) {
  TGaugeForm f;
  TGradationGauge& g = f.Gauge;
  g.SetMax(120);
  g.SetPosition(37);
  EXPECT_EQ(g.Filled(), 81);
  EXPECT_EQ(g.PercentText(), L"31%");
  g.SetPosition(1);
  EXPECT_EQ(g.Filled(), 2);
  EXPECT_EQ(g.PercentText(), L"1%");
  g.SetPosition(0);
  EXPECT_EQ(g.Filled(), 0);
  EXPECT_EQ(g.PercentText(), L"0%");
  g.SetPosition(120);
  EXPECT_EQ(g.Filled(), 263);
  EXPECT_EQ(g.PercentText(), L"100%");
  // The fill is measured from 0, not from Min. The position moves into the narrower range first.
  g.SetMax(100);
  EXPECT_EQ(g.Max(), 120);
  g.SetPosition(20);
  g.SetMax(100);
  g.SetMin(20);
  ASSERT_EQ(g.Max(), 100);
  ASSERT_EQ(g.Min(), 20);
  EXPECT_EQ(g.Filled(), 53);
  EXPECT_EQ(g.PercentText(), L"20%");
  // No valid division: an empty gauge showing 0%.
  EXPECT_EQ(GaugeFilled(5, 0, 263), 0);
  EXPECT_EQ(GaugePercentText(0, 0), L"0%");
}

TEST(GradationGauge, MaxZeroPaintsAnEmptyGauge) {
  TGaugeForm f;
  TGradationGauge& g = f.Gauge;
  g.SetMax(0);
  ASSERT_EQ(g.Max(), 0);
  EXPECT_EQ(g.Filled(), 0);
  EXPECT_EQ(g.PercentText(), L"0%");
  g.SetShowPercent(false);
  Picture p = Painted(g);
  EXPECT_EQ(p.At(10, 10), GetSysColor(COLOR_BTNFACE));
}

TEST(GradationGauge, DrawsTheGradientOverTheFilledPartAndTheBackColourBeyond) {
  TGaugeForm f;
  TGradationGauge& g = f.Gauge;
  g.SetShowPercent(false);
  g.SetBackColor(RGB(200, 200, 200));
  g.SetMax(120);
  g.SetPosition(37);
  Picture p = Painted(g);
  // Band 1 starts at x = 1: one step down from pure blue; the colour darkens towards the right.
  EXPECT_EQ(p.At(1, 5), RGB(0, 0, 254));
  EXPECT_LT(GetBValue(p.At(80, 5)), GetBValue(p.At(40, 5)));
  EXPECT_GT(GetBValue(p.At(80, 5)), 160);
  EXPECT_EQ(p.At(81, 5), RGB(200, 200, 200));
  EXPECT_EQ(p.At(200, 5), RGB(200, 200, 200));
  // The last band reaches the far edge one step short of the last colour.
  g.SetPosition(120);
  Picture full = Painted(g);
  EXPECT_EQ(full.At(261, 5), RGB(0, 0, 1));

  // Equal colours give one flat fill.
  g.SetColor_Top(RGB(10, 120, 30));
  g.SetColor_Last(RGB(10, 120, 30));
  Picture flat = Painted(g);
  EXPECT_EQ(flat.At(1, 5), RGB(10, 120, 30));
  EXPECT_EQ(flat.At(261, 5), RGB(10, 120, 30));
}

TEST(GradationGauge, VerticalFillGrowsFromTheBottomWithTheLowerGradient) {
  TGaugeForm f;
  TGradationGauge& g = f.Gauge;
  g.SetBounds(3, 3, 22, 51);
  g.SetShowPercent(false);
  g.SetBackColor(RGB(200, 200, 200));
  g.SetGradStyle(gsVertical);
  g.SetPosition(50);
  ASSERT_EQ(g.Filled(), 26);
  Picture p = Painted(g);
  EXPECT_EQ(p.At(10, 20), RGB(200, 200, 200));  // upper half empty
  const BYTE nearMiddle = GetBValue(p.At(10, 26)), nearBottom = GetBValue(p.At(10, 49));
  EXPECT_LT(nearMiddle, 140);  // the lower half of blue-to-black, not its upper half
  EXPECT_LT(nearBottom, nearMiddle);
}

TEST(GradationGauge, SkippedRepaintsLeaveTheScreenAsAWholePaintWould) {
  TGaugeForm f;
  TGradationGauge& g = f.Gauge;
  g.SetMax(10000);
  unsigned paints = g.PaintCount();
  g.SetPosition(1);  // 0.026 pixels: neither the fill nor the 0% changes
  g.SetPosition(2);
  EXPECT_EQ(g.PaintCount(), paints);
  for (uint16_t v = 3; v <= 3000; ++v) g.SetPosition(v);
  // About 79 filled widths and 30 percentages pass: at most one drawing each, not one per step.
  EXPECT_GT(g.PaintCount(), paints + 60);
  EXPECT_LT(g.PaintCount(), paints + 120);
  EXPECT_TRUE(OnScreen(f).SameIn(Painted(g), g.ClientRect()));
  // A change of colour always draws.
  paints = g.PaintCount();
  g.SetColor_Top(RGB(255, 0, 0));
  EXPECT_EQ(g.PaintCount(), paints + 1);
  EXPECT_TRUE(OnScreen(f).SameIn(Painted(g), g.ClientRect()));
}

TEST(GradationGauge, ResizedEitherWayTheGradientFillsEveryNewRowAndColumn) {
  for (TGradStyle style : {gsHorizontal, gsVertical}) {
    SCOPED_TRACE(style == gsHorizontal ? "horizontal" : "vertical");
    TGaugeForm f;
    TGradationGauge& g = f.Gauge;
    g.SetBounds(3, 3, 40, 20);
    g.SetShowPercent(false);
    g.SetBackColor(RGB(200, 200, 200));
    g.SetGradStyle(style);
    g.SetPosition(100);
    Picture before = Painted(g);  // the gradient made at 40 x 20
    ASSERT_EQ(before.Count(RECT{1, 1, 39, 19}, RGB(200, 200, 200)), 0);
    // Taller only, then wider only: each time the whole inside is gradient, none of it the back colour.
    g.SetBounds(3, 3, 40, 50);
    Picture taller = Painted(g);
    EXPECT_EQ(taller.Count(RECT{1, 1, 39, 49}, RGB(200, 200, 200)), 0);
    g.SetBounds(3, 3, 90, 50);
    Picture wider = Painted(g);
    EXPECT_EQ(wider.Count(RECT{1, 1, 89, 49}, RGB(200, 200, 200)), 0);
    // Made anew at the new size, the gradient runs its whole course over the new extent.
    const int edge = style == gsHorizontal ? 88 : 48;
    const COLORREF last = style == gsHorizontal ? wider.At(edge, 25) : wider.At(45, edge);
    EXPECT_LT(GetBValue(last), 10);
  }
}
