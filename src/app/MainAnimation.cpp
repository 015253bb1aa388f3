// The main window's picture: the prairie dog's frames on a timer, and what it says in each.
#include "app/Main.h"
#include "resource.h"

namespace app {

namespace {
constexpr int kFrameCount = VSS_VORNA_FRAME_COUNT;
}  // namespace

const wchar_t* TVNStampShifter::SpeechOfFrame(int frame) {
  if (frame >= 3 && frame <= 6) return L"・　　";
  if (frame >= 7 && frame <= 10) return L"・・　";
  if (frame >= 11 && frame <= 14) return L"・・・";
  if (frame >= 15 && frame <= 17) return L"！";
  if (frame >= 18 && frame <= 24) return L"うきゅ？";
  return L"";
}

void TVNStampShifter::PaintVorna(HDC dc) {
  if (!ImageList || FDrawnFrame < 0) return;
  ImageList_Draw(ImageList.Get(), FDrawnFrame, dc, 0, 0, ILD_TRANSPARENT);
}

void TVNStampShifter::TimerTimer(ui::Control*) {
  FDrawnFrame = FAnimFrame;
  ImageVorna.Repaint();
  LabelMsg.SetCaption(SpeechOfFrame(FAnimFrame));
  FAnimFrame += 1;
  if (FAnimFrame >= kFrameCount) FAnimFrame = 0;
}

void TVNStampShifter::ImageVornaClick(ui::Control*) { Timer.SetEnabled(!Timer.Enabled()); }

}  // namespace app
