// A high-contrast theme: fixed colours give way to the theme's, and a theme switch redraws the windows.
#include "support/Capture.h"
#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/GradGauge.h"
#include <gtest/gtest.h>

namespace {

class TThemedForm : public ui::Form {
 public:
  TThemedForm() {
    CreateForm(L"配色", WS_POPUP, 0, 300, 60);
    Title.Create(this, 0, 0, 300, 30, L"■■■■■■■■");
    Title.SetFont(ui::PixelFont(21, ui::fsBold, ui::clGreen));
    Gauge.Create(this, 0, 32, 300, 22);
    Gauge.SetPosition(50);
    Show();
    UpdateWindow(Handle());
  }
  ui::Label Title;
  widgets::TGradationGauge Gauge;
};

struct TFixedHighContrast {
  explicit TFixedHighContrast(bool on) { ui::FixHighContrastForTesting(on); }
  ~TFixedHighContrast() { ui::FixHighContrastForTesting(std::nullopt); }
};

}  // namespace

TEST(HighContrast, FixedColoursGiveWayToTheThemesAndASwitchRedrawsTheWindow) {
  const RECT title{0, 0, 300, 30}, filled{0, 32, 150, 54}, empty{152, 34, 298, 52};
  const COLORREF green = RGB(0, 128, 0), text = GetSysColor(COLOR_BTNTEXT), highlight = GetSysColor(COLOR_HIGHLIGHT);
  ASSERT_NE(text, green);

  TFixedHighContrast off(false);
  TThemedForm form;
  {
    testsupport::WindowPicture normal(form.Handle());
    EXPECT_GT(normal.Count(title, green), 50);
    EXPECT_EQ(normal.Count(filled, highlight), 0);  // the gradient
  }

  // The theme goes on: the window hears of it and draws itself again without being asked otherwise.
  ui::FixHighContrastForTesting(true);
  SendMessageW(form.Handle(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  testsupport::WindowPicture themed(form.Handle());
  EXPECT_EQ(themed.Count(title, green), 0);
  EXPECT_GT(themed.Count(title, text), 50);
  EXPECT_GT(themed.Count(filled, highlight), 2000);  // the filled half in the highlight colour
  EXPECT_EQ(themed.Count(empty, highlight), 0);
}
