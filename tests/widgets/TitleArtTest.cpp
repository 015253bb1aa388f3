// The title block: a caption steps its font down only as far as it must to fit, and never below the least size.
#include "ui/Form.h"
#include "widgets/TitleArt.h"
#include <gtest/gtest.h>

namespace {

class TTitleForm : public ui::Form {
 public:
  TTitleForm() {
    CreateForm(L"題字", WS_CAPTION | WS_SYSMENU, 0, 300, 130);
    Panel.Create(this, 8, 8, 265, 121);
    widgets::CreateTitleItems(&Panel, {ImageIcon, ImageTitle, LabelTitle, LabelVersion, LabelCopyright});
  }
  ui::Panel Panel;
  ui::Image ImageIcon, ImageTitle;
  ui::Label LabelTitle, LabelVersion, LabelCopyright;
};

int Width(const ui::Label& l) { return ui::TextExtent(ui::FontHandle(l.GetFont()), l.Caption()).cx; }

}  // namespace

TEST(TitleArt, CaptionShrinksOnlyAsFarAsItMustAndNoFurtherThanTheLeast) {
  TTitleForm f;
  ui::Label& line = f.LabelCopyright;
  ASSERT_EQ(line.GetFont().Height, -13);
  const int natural = Width(line);

  // Room for the whole line at its size: the font stays.
  widgets::FitCaptionWidth(line, natural);
  EXPECT_EQ(line.GetFont().Height, -13);

  // One pixel short: a smaller size that fits, and the next larger one would not have.
  widgets::FitCaptionWidth(line, natural - 1);
  const int fitted = line.GetFont().Height;
  EXPECT_GT(fitted, -13);
  EXPECT_LE(Width(line), natural - 1);
  ui::Font larger = line.GetFont();
  --larger.Height;
  EXPECT_GT(ui::TextExtent(ui::FontHandle(larger), line.Caption()).cx, natural - 1);

  // No room at all: the least size, readable, rather than nothing.
  widgets::FitCaptionWidth(line, 10, 9);
  EXPECT_EQ(line.GetFont().Height, -9);
}
