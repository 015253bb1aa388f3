// The program's title block: the items, their places, fonts, artwork and texts.
#include "widgets/TitleArt.h"
#include "resource.h"
#include "version.h"

namespace widgets {

void CreateTitleItems(ui::WinControl* panel, const TTitleItems& items) {
  items.ImageIcon.Create(panel, 16, 16, 49, 49);
  items.ImageIcon.SetStretch(true);
  items.ImageIcon.SetAppIcon(IDI_APP);
  items.ImageTitle.Create(panel, 72, 12, 128, 32);
  items.ImageTitle.SetArt(IDB_TITLE, VSS_ART_KEY_COLOR);

  items.LabelTitle.Create(panel, 80, 40, 177, 25, L"Stamp Shifter");
  items.LabelTitle.SetFont(ui::PixelFont(21, ui::fsBold, ui::clGreen));
  items.LabelTitle.Layout = ui::TextLayout::Bottom;
  items.LabelVersion.Create(panel, 168, 66, 81, 25, L"Ver " VSS_VERSION_WTEXT);
  items.LabelVersion.SetFont(ui::PixelFont(16, ui::fsBold));
  items.LabelVersion.Layout = ui::TextLayout::Center;
  items.LabelCopyright.Create(panel, 8, 88, 249, 25, VSS_COPYRIGHT_WTEXT);
  items.LabelCopyright.SetFont(ui::PixelFont(13));
  items.LabelCopyright.TextAlignment = ui::Alignment::Center;
  items.LabelCopyright.Layout = ui::TextLayout::Center;
}

void FitCaptionWidth(ui::Label& label, int room, int minPixels) {
  // Measured at the label's DPI, as it is drawn: a font scaled by 1.5 is not always 1.5 times as wide.
  const ui::TDpi dpi = label.Dpi();
  ui::Font f = label.GetFont();
  while (f.Height < -minPixels && ui::TextExtent(ui::FontHandle(dpi.Scale(f)), label.Caption()).cx > room) ++f.Height;
  label.SetFont(f);
}

}  // namespace widgets
