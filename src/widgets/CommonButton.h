// The flat button: a windowless speed button whose face is one of the system's frame-control shapes.
#pragma once
#include "ui/Control.h"
#include "comm/Scoped.h"
#include <functional>
#include <vector>

namespace widgets {

// The shape of the face.
enum TComBtnStyle {
  clsNormalButton,
  clsCheckButton,
  clsRadioButton,
  clsCloseButton,
  clsHelpButton,
  clsMaximizeButton,
  clsMinimizeButton,
  clsRestoreButton,
  clsScrollBorder,
  clsScrollDown,
  clsScrollLeft,
  clsScrollRight,
  clsScrollUp,
  clsSizeGrip
};

// The drawing state: exclusive is a group member held down as the selected one.
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The DrawFrameControl type and base state flags of a style.
UINT FrameControlType(TComBtnStyle style);
UINT FrameControlBaseFlags(TComBtnStyle style);

// Where the glyph and the caption go on a button of width x height (button coordinates), before the
// (1, 1) shift of a pressed button. An empty glyph or caption has size 0 x 0.
struct TGlyphPlacement {
  RECT Glyph;
  RECT Text;
};
TGlyphPlacement PlaceGlyphAndCaption(TButtonLayout layout, int width, int height, SIZE glyph, SIZE text, int spacing,
                                     int margin);

// The pixels of a glyph (row by row) that its disabled, engraved picture shows: those that are neither
// the transparent colour nor light (brightness kEngraveLightLevel or more, as white, silver and yellow),
// so outlines and dark parts stay recognisable instead of the whole glyph becoming one grey silhouette.
// A glyph without a dark pixel shows its whole silhouette.
constexpr int kEngraveLightLevel = 192;
std::vector<bool> EngravedShape(const std::vector<COLORREF>& pixels, COLORREF transparent);

using MouseEvent = std::function<void(ui::Control* sender, ui::MouseButton button, unsigned shift, int x, int y)>;

class TCommonButton : public ui::GraphicControl {
 public:
  TCommonButton() = default;

  void SetStyle(TComBtnStyle style);
  TComBtnStyle Style() const { return FStyle; }
  // Kept only by the check and radio styles; checking a radio button unchecks its siblings.
  void SetChecked(bool checked);
  bool Checked() const { return FChecked; }
  void SetFlat(bool flat);
  bool Flat() const { return FFlat; }

  // Buttons of one parent with the same GroupIndex > 0 form a group in which one can stay down.
  void SetGroupIndex(int index);
  int GroupIndex() const { return FGroupIndex; }
  void SetDown(bool down);
  bool Down() const { return FDown; }
  void SetAllowAllUp(bool allow);
  bool AllowAllUp() const { return FAllowAllUp; }

  void SetLayout(TButtonLayout layout);
  TButtonLayout Layout() const { return FLayout; }
  // Pixels between glyph and caption.
  void SetSpacing(int spacing);
  int Spacing() const { return FSpacing; }
  // Pixels from the edge to the glyph; -1 centres glyph and caption together.
  void SetMargin(int margin);
  int Margin() const { return FMargin; }
  // The button keeps a copy; the colour of the bitmap's bottom-left pixel is drawn transparent.
  void SetGlyph(HBITMAP bitmap);
  // The glyph from the program's pictures (ui::LoadArtBitmap), drawn for the button's DPI and drawn
  // again for a new one.
  void SetGlyphArt(int id);
  void ApplyDpi() override;
  HBITMAP Glyph() const { return FGlyph.Get(); }

  // The drawing state brought up to date with the enabled state.
  TButtonState State();
  // The DrawFrameControl flags of the face as the next paint draws it.
  UINT FrameFlags();
  // Whether the next paint draws the face's frame: a flat push-button face shows it only while the
  // pointer is over it or while it is down; every other face always.
  bool ShowsFrame();
  bool MousePressed() const { return FMousePressed; }

  void Click() override;
  // A check or radio face reads as that kind of button and tells whether it is checked; a button held
  // down in its group reads as pressed.
  ui::AccRole AccessibleRole() const override;
  unsigned AccessibleState() const override;
  void Paint(HDC dc) override;
  void MouseDown(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseUp(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

  // Runs at the start of every press, before the button goes down.
  MouseEvent OnMouseDown;

 protected:
  // The state the face shows: check and radio buttons show their selection by the mark, never by
  // staying pushed.
  TButtonState FaceState() const;
  bool HasMouseCapture() const;
  void ReleaseSiblings();

  TComBtnStyle FStyle = clsNormalButton;
  TButtonState FState = bsUp;
  TButtonLayout FLayout = blGlyphLeft;
  bool FChecked = false;
  bool FFlat = false;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FDragging = false;      // the left button went down here and has not come up
  bool FMousePressed = false;  // any button went down here and has not come up
  int FGroupIndex = 0;
  int FSpacing = 4;
  int FMargin = -1;
  comm::TGdiObject<HBITMAP> FGlyph;
  int FGlyphArt = 0;  // the picture of the glyph, 0 for one given as a bitmap

 private:
  void PaintGlyphAndCaption(HDC dc, const RECT& area, TButtonState state);
};

}  // namespace widgets
