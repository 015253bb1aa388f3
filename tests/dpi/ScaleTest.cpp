// The windows at the display scale the test runs at (100 %, and 150 % and 200 % in prefixes of their
// own): sizes and places are the 96-DPI layout scaled, no caption is cut, and a change of DPI lays a
// window out again.
#include "app/InputDateTime.h"
#include "app/Main.h"
#include "app/PreviewWindow.h"
#include "app/ReportWindow.h"
#include "app/Prompts.h"
#include "shell/Version.h"
#include "support/TempTree.h"
#include "ui/Dpi.h"
#include "ScaleCheck.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace dpitest;

namespace {

// A check box or radio button: the box, a gap, then the caption whole.
void ExpectCaptionFits(const ui::Control& c, ui::TDpi dpi) {
  SCOPED_TRACE(testing::Message() << "caption of " << c.Caption().size() << " characters at " << c.Left());
  EXPECT_LE(TextWidth(c, c.Caption()) + dpi.Scale(13) + dpi.Scale(3), c.Width())
      << "cut at " << dpi.Value() << " DPI";
}

class MainAtScale : public ::testing::Test {
 protected:
  std::unique_ptr<app::TVNStampShifter> Open() {
    return std::make_unique<app::TVNStampShifter>(tree.Path(L"VornaStampShifter.ini"));
  }
  static std::vector<TLayoutRow> Rows(const app::TVNStampShifter& w) {
    return {
        {L"GroupBoxType", &w.GroupBoxType, R(0, 0, 300, 89)},
        {L"RadioButtonFile", &w.RadioButtonFile, R(10, 18, 84, 17)},
        {L"RadioButtonAll", &w.RadioButtonAll, R(190, 18, 60, 17)},
        {L"CheckBoxSubFolder", &w.CheckBoxSubFolder, R(10, 40, 200, 17)},
        {L"EditExtString", &w.EditExtString, R(186, 60, 104, 20)},
        {L"SpeedButtonListView", &w.SpeedButtonListView, R(243, 35, 23, 22)},
        {L"SpeedButtonSelect", &w.SpeedButtonSelect, R(267, 35, 23, 22)},
        {L"PanelMain", &w.PanelMain, R(0, 89, 300, 200)},
        {L"CheckBoxDateChg", &w.CheckBoxDateChg, R(8, 8, 260, 17)},
        {L"EditCreate", &w.EditCreate, R(108, 30, 158, 20)},
        {L"SpeedButtonUpdate", &w.SpeedButtonUpdate, R(268, 55, 23, 22)},
        {L"CheckBoxAttrChg", &w.CheckBoxAttrChg, R(8, 90, 260, 17)},
        {L"LabelHidden", &w.LabelHidden, R(18, 146, 132, 14)},
        {L"PanelSystem", &w.PanelSystem, R(150, 168, 142, 24)},
        {L"RadioButtonSystemOFF", &w.RadioButtonSystemOFF, R(96, 4, 44, 16)},
        {L"PanelVorna", &w.PanelVorna, R(13, 305, 32, 24)},
        {L"LabelDropZone", &w.LabelDropZone, R(0, 331, 58, 13)},
        {L"CheckBoxAutoExit", &w.CheckBoxAutoExit, R(62, 294, 200, 17)},
        {L"ButtonSet", &w.ButtonSet, R(62, 318, 75, 25)},
        {L"ButtonHelp", &w.ButtonHelp, R(220, 318, 75, 25)},
        {L"ProgressBar", &w.ProgressBar, R(0, 352, 300, 7)},
    };
  }
  testsupport::TempTree tree;
};

}  // namespace

TEST(DpiScale, RoundsToTheNearestPixelOnBothSidesOfZeroAndComesBack) {
  const ui::TDpi normal, wide(144), double_(192), unknown(0);
  EXPECT_EQ(normal.Scale(75), 75);
  EXPECT_EQ(wide.Scale(75), 113);  // 112.5 rounds away from zero
  EXPECT_EQ(wide.Scale(-12), -18);
  EXPECT_EQ(wide.Scale(-13), -20);  // -19.5
  EXPECT_EQ(double_.Scale(-12), -24);
  EXPECT_EQ(wide.Scale(1), 2);  // 1.5
  EXPECT_EQ(wide.Scale(0), 0);
  EXPECT_EQ(unknown.Value(), 96);
  EXPECT_EQ(wide.Percent(), 150);
  for (int v : {-359, -13, -1, 0, 1, 7, 23, 89, 300, 359, 65535})
    for (const ui::TDpi d : {normal, ui::TDpi(120), wide, ui::TDpi(168), double_, ui::TDpi(288)})
      EXPECT_EQ(d.Unscale(d.Scale(v)), v) << v << " at " << d.Value();
  const RECT r = wide.Scale(RECT{1, 3, 2, 4});
  EXPECT_EQ(r.left, 2);  // neighbours stay neighbours: 1..2 and 2..3 meet at 3
  EXPECT_EQ(r.right, 3);
  EXPECT_EQ(wide.Scale(ui::PixelFont(12)).Height, -18);
}

TEST(DpiScale, PicturesAreTheLargestDrawingThatFits) {
  EXPECT_EQ(ui::TDpi(96).ArtPercent(), 100);
  EXPECT_EQ(ui::TDpi(143).ArtPercent(), 100);
  EXPECT_EQ(ui::TDpi(144).ArtPercent(), 150);
  EXPECT_EQ(ui::TDpi(191).ArtPercent(), 150);
  EXPECT_EQ(ui::TDpi(192).ArtPercent(), 200);
  EXPECT_EQ(ui::TDpi(288).ArtPercent(), 200);
  EXPECT_EQ(ui::TDpi(72).ArtPercent(), 100);
}

TEST(DpiScale, RunsAtTheRequestedDpi) {
  // A prefix whose LogPixels did not take would test nothing but 100 %.
  EXPECT_EQ(ui::SystemDpi().Value(), RequestedDpi());
}

TEST_F(MainAtScale, ClientSizeAndEveryControlAreThe96DpiLayoutScaled) {
  auto w = Open();
  w->Show();
  const ui::TDpi dpi = w->FormDpi();
  EXPECT_EQ(dpi.Value(), RequestedDpi());
  EXPECT_NEAR(w->ClientWidth(), dpi.Scale(300), 1);
  EXPECT_NEAR(w->ClientHeight(), dpi.Scale(359), 1);
  ExpectLayout(Rows(*w), dpi);
  // Pictures: drawn for the scale, not stretched from the 16-pixel glyph.
  EXPECT_EQ(GlyphSide(w->SpeedButtonListView), 16 * dpi.ArtPercent() / 100);
  EXPECT_EQ(GlyphSide(w->SpeedButtonCreate), 16 * dpi.ArtPercent() / 100);
  // Fonts: the window's 12-pixel faces at the scale.
  EXPECT_EQ(WindowFontHeight(w->ButtonSet.Handle()), dpi.Scale(-12));
  EXPECT_EQ(WindowFontHeight(w->EditExtString.Handle()), dpi.Scale(-12));
}

TEST_F(MainAtScale, NoCaptionIsCut) {
  auto w = Open();
  w->Show();
  const ui::TDpi dpi = w->FormDpi();
  for (const ui::Control* c :
       std::initializer_list<const ui::Control*>{&w->RadioButtonFile, &w->RadioButtonFolder, &w->RadioButtonAll,
                                                  &w->CheckBoxSubFolder, &w->CheckBoxExtSelect, &w->CheckBoxDateChg,
                                                  &w->CheckBoxCreate, &w->CheckBoxUpdate, &w->CheckBoxAttrChg,
                                                  &w->CheckBoxReadOnly, &w->RadioButtonReadOnlyON,
                                                  &w->RadioButtonReadOnlyOFF, &w->CheckBoxAutoExit})
    ExpectCaptionFits(*c, dpi);
  for (const ui::Label* l : {&w->LabelReadOnly, &w->LabelHidden, &w->LabelSystem, &w->LabelDropZone})
    EXPECT_LE(TextWidth(*l, l->Caption()), l->Width());
  for (const ui::Button* b : {&w->ButtonSet, &w->ButtonEnd, &w->ButtonHelp})
    EXPECT_LE(TextWidth(*b, b->Caption()) + dpi.Scale(8), b->Width());
  // The date the edits show, seconds included.
  EXPECT_LE(TextWidth(w->EditCreate, L"2026/12/31 23:59:59") + dpi.Scale(6), w->EditCreate.Width());
}

TEST_F(MainAtScale, DpiChangeMovesToTheSuggestedPlaceAndLaysOutAgain) {
  auto w = Open();
  w->Show();
  const ui::TDpi first = w->FormDpi();
  const ui::TDpi other = OtherDpi(first);
  RECT suggested{40, 30, 40 + other.Scale(310), 30 + other.Scale(390)};
  SendDpiChanged(w->Handle(), other, suggested);
  EXPECT_EQ(w->FormDpi(), other);
  EXPECT_EQ(w->Left(), 40);
  EXPECT_EQ(w->Top(), 30);
  // A window of fixed size takes its own client size, not the suggested one.
  EXPECT_NEAR(w->ClientWidth(), other.Scale(300), 1);
  EXPECT_NEAR(w->ClientHeight(), other.Scale(359), 1);
  ExpectLayout(Rows(*w), other);
  EXPECT_EQ(WindowFontHeight(w->ButtonSet.Handle()), other.Scale(-12));
  EXPECT_EQ(w->ButtonSet.DeviceFont().Height, other.Scale(-12));
  EXPECT_EQ(GlyphSide(w->SpeedButtonSelect), 16 * other.ArtPercent() / 100);

  // And back: the same layout as at first, nothing drifted by the round trip.
  suggested = RECT{50, 60, 50 + first.Scale(310), 60 + first.Scale(390)};
  SendDpiChanged(w->Handle(), first, suggested);
  EXPECT_NEAR(w->ClientWidth(), first.Scale(300), 1);
  for (const TLayoutRow& row : Rows(*w)) {
    SCOPED_TRACE(testing::Message() << std::string(row.name, row.name + wcslen(row.name)));
    EXPECT_EQ(row.control->DesignBounds().left, row.design.left);
    EXPECT_EQ(row.control->DesignBounds().right, row.design.right);
  }
  ExpectLayout(Rows(*w), first);
  EXPECT_EQ(WindowFontHeight(w->ButtonSet.Handle()), first.Scale(-12));
  EXPECT_EQ(GlyphSide(w->SpeedButtonSelect), 16 * first.ArtPercent() / 100);
}

TEST(DateTimeAtScale, FieldsAreScaledAndTheYearIsWhole) {
  app::TDateEntryState state;
  app::TFormInputDateTime dlg{state};
  const ui::TDpi dpi = dlg.FormDpi();
  EXPECT_EQ(dpi.Value(), RequestedDpi());
  EXPECT_NEAR(dlg.ClientWidth(), dpi.Scale(302), 1);
  ExpectNear(ShownBounds(dlg.ButtonOK), dpi.Scale(R(180, dlg.ButtonOK.DesignBounds().top, 54, 25)), L"ButtonOK");
  ExpectNear(ShownBounds(dlg.GroupBoxInputDateTime),
             dpi.Scale(R(8, dlg.GroupBoxInputDateTime.DesignBounds().top, 286, 105)), L"GroupBox");
  // The year: four digits between the edit's left edge and its spin buttons.
  dlg.CommonSpinEditYear.SetValue(2026);
  const HWND year = dlg.CommonSpinEditYear.Handle();
  const HWND spin = GetWindow(year, GW_CHILD);
  ASSERT_TRUE(spin);
  RECT client, spinRect;
  GetClientRect(year, &client);
  GetWindowRect(spin, &spinRect);
  const int room = client.right - (spinRect.right - spinRect.left);
  EXPECT_LE(TextWidth(dlg.CommonSpinEditYear, L"2026") + dpi.Scale(2), room);
  ExpectCaptionFits(dlg.CheckBoxTime, dpi);
  ExpectCaptionFits(dlg.CheckBoxSecond, dpi);
  ExpectCaptionFits(dlg.CheckBoxCreateUpdate, dpi);
}

TEST(VersionAtScale, DialogIsScaled) {
  shell::TFormVersion dlg;
  const ui::TDpi dpi = dlg.FormDpi();
  EXPECT_NEAR(dlg.ClientWidth(), dpi.Scale(281), 1);
  EXPECT_NEAR(dlg.ClientHeight(), dpi.Scale(192), 1);
  ExpectNear(ShownBounds(dlg.PanelVersion), dpi.Scale(R(8, 8, 265, 121)), L"PanelVersion");
  ExpectNear(ShownBounds(dlg.BitBtnOK), dpi.Scale(R(104, 160, 65, 25)), L"BitBtnOK");
  // The copyright line whole, and the title texts within their labels.
  for (const ui::Label* l : {&dlg.LabelCopyright, &dlg.LabelTitle, &dlg.LabelVersion})
    EXPECT_LE(TextWidth(*l, l->Caption()), l->Width()) << l->Caption().size() << " characters at " << dpi.Value();
  // The title art as drawn for the scale: 128 x 32 at 100 %.
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(dlg.ImageTitle.Bitmap(), sizeof(bm), &bm));
  EXPECT_EQ(bm.bmWidth, 128 * dpi.ArtPercent() / 100);
  EXPECT_EQ(bm.bmHeight, 32 * dpi.ArtPercent() / 100);
}

namespace {
class NoTargets : public engine::IChangeTargets {
 public:
  int Count() const override { return 0; }
  std::wstring Entry(int) const override { return {}; }
};
}  // namespace

// A window the user can resize lays itself out at run time: after a change of DPI it takes the
// suggested size, and its margins, buttons and columns follow the new scale. leastWidth x leastHeight
// is its least size at 96 DPI.
void ExpectRowsWindowFollowsDpi(app::TFormRows& window, int leastWidth, int leastHeight) {
  const ui::TDpi first = window.FormDpi();
  EXPECT_EQ(first.Value(), RequestedDpi());
  const auto expectLayout = [&](ui::TDpi dpi) {
    const int cw = window.ClientWidth(), ch = window.ClientHeight();
    // Close: 84 x 25 at 8 from the right and bottom edges; Copy at 8 from the left.
    ExpectNear(ShownBounds(window.ButtonClose),
               RECT{cw - dpi.Scale(8) - dpi.Scale(84), ch - dpi.Scale(8) - dpi.Scale(25), cw - dpi.Scale(8),
                    ch - dpi.Scale(8)},
               L"ButtonClose");
    ExpectNear(ShownBounds(window.ButtonCopy),
               RECT{dpi.Scale(8), ch - dpi.Scale(8) - dpi.Scale(25), dpi.Scale(8) + dpi.Scale(84), ch - dpi.Scale(8)},
               L"ButtonCopy");
    EXPECT_NEAR(ShownBounds(window.ListViewRows).left, dpi.Scale(8), 1);
    EXPECT_EQ(WindowFontHeight(window.ButtonClose.Handle()), dpi.Scale(-12));
  };
  expectLayout(first);

  const ui::TDpi other = OtherDpi(first);
  RECT suggested{20, 10, 20 + other.Scale(600), 10 + other.Scale(350)};
  SendDpiChanged(window.Handle(), other, suggested);
  EXPECT_EQ(window.FormDpi(), other);
  EXPECT_EQ(window.Left(), 20);
  EXPECT_EQ(window.Width(), other.Scale(600));  // a resizable window takes the size it is given
  EXPECT_EQ(window.Height(), other.Scale(350));
  expectLayout(other);
  // The least size follows the scale.
  EXPECT_EQ(window.LeastSize().cx, other.Scale(leastWidth));
  SetWindowPos(window.Handle(), nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(window.Width(), other.Scale(leastWidth));
  EXPECT_EQ(window.Height(), other.Scale(leastHeight));
}

TEST(PreviewAtScale, DpiChangeTakesTheSuggestedSizeAndLaysOutAgain) {
  NoTargets targets;
  engine::ChangePlan plan;
  app::TPrompts prompts;
  app::TFormPreview preview(nullptr, targets, plan, prompts);
  // 900 pixels wide at 96 DPI, where the screen has room (the system keeps a window within it).
  if (preview.FormDpi().Scale(900) + 40 < GetSystemMetrics(SM_CXSCREEN)) {
    EXPECT_NEAR(preview.ClientWidth(), preview.FormDpi().Scale(900), 1);
  }
  ExpectRowsWindowFollowsDpi(preview, 520, 240);
}

TEST(ReportAtScale, DpiChangeTakesTheSuggestedSizeAndLaysOutAgain) {
  engine::TRunReport report;
  report.Entries.resize(1);
  report.Entries[0].Path = L"C:\\a.txt";
  app::TPrompts prompts;
  app::TFormReport window(nullptr, report, prompts);
  // Never larger than the screen's work area, however large the scale.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  window.CenterOn(work);
  EXPECT_LE(window.Width(), work.right - work.left);
  ExpectRowsWindowFollowsDpi(window, 480, 240);
}
