// The program's title block: icon, title art, name, version and copyright line on a panel, as the
// about dialog and the progress splash show it.
#pragma once
#include "ui/Image.h"
#include "ui/StdControls.h"

namespace widgets {

// The five items of the title block, members of the window that shows them.
struct TTitleItems {
  ui::Image& ImageIcon;
  ui::Image& ImageTitle;
  ui::Label& LabelTitle;
  ui::Label& LabelVersion;
  ui::Label& LabelCopyright;
};

// Creates the items on panel at their places (icon at (16, 16) stretched to 49 x 49, title art at
// (72, 12), "Stamp Shifter", "Ver " + version, the copyright line) with their fonts and artwork.
void CreateTitleItems(ui::WinControl* panel, const TTitleItems& items);

// Where the glyphs of the label's font are wide, steps the font down a pixel at a time (to no less
// than minPixels at 96 DPI) until the caption, drawn at the label's DPI, is at most room pixels wide.
void FitCaptionWidth(ui::Label& label, int room, int minPixels = 9);

}  // namespace widgets
