// The file list window: its controls, layout, count label, hiding on close and the collection's view.
#include "targets/FileList.h"
#include "targets/CommandLine.h"
#include "targets/Splash.h"
#include "resource.h"
#include <algorithm>

namespace targets {

namespace {
constexpr int kDesignWidth = 308, kDesignHeight = 333;  // outer size before start-up places it
constexpr int kHeadHeight = 41;
constexpr int kItemHeight = 12;

void SetUpCommandButton(widgets::TCommonButton& button, ui::WinControl* parent, int left, int glyphId,
                        const wchar_t* hint) {
  button.Create(parent, left, 8, 23, 22);
  button.SetFlat(true);
  // The button keeps a copy of its glyph.
  ui::GdiObject<HBITMAP> glyph(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(glyphId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (glyph) button.SetGlyph(glyph.Get());
  button.SetHint(hint);
}
}  // namespace

TFormFileList::TFormFileList(ICollectionHost& host, HWND owner) : FCollection(host, FTargetList, *this) {
  CreateForm(L"VornaStampShifter（ファイル一覧）", WS_OVERLAPPEDWINDOW, 0, kDesignWidth, kDesignHeight, owner);
  SetBounds(Left(), Top(), kDesignWidth, kDesignHeight);
  const int cw = ClientWidth(), ch = ClientHeight();

  PanelHead.Create(this, 0, 0, cw, kHeadHeight);
  PanelHead.SetBevels(ui::Bevel::Lowered, ui::Bevel::Raised);
  LabelListNum.Create(&PanelHead, 8, 8, 233, 25, L"");
  LabelListNum.Layout = ui::TextLayout::Center;
  SetUpCommandButton(SpeedButtonSave, &PanelHead, 224, IDB_GLYPH_SAVE, L"一覧の内容をファイルに出力します(Ctrl+S)|");
  SetUpCommandButton(SpeedButtonCBCopy, &PanelHead, 248, IDB_GLYPH_CBCOPY,
                     L"一覧の内容をクリップボードにコピーします(Ctrl+C)|");
  SetUpCommandButton(SpeedButtonClear, &PanelHead, 272, IDB_GLYPH_CLEAR, L"一覧の内容をクリアします");
  // The save button keeps its place; copy and clear keep their distance to the right edge.
  FCopyRightGap = cw - SpeedButtonCBCopy.Left();
  FClearRightGap = cw - SpeedButtonClear.Left();
  // Narrower, copy and clear would slide over the save button (which stays) and the count.
  FLeastClientWidth = cw;

  HListBoxFileList.Create(this, 0, kHeadHeight, cw, std::max(0, ch - kHeadHeight), true);
  SendMessageW(HListBoxFileList.Handle(), LB_SETITEMHEIGHT, 0, kItemHeight);
  SetActiveControl(&HListBoxFileList);
  SetCommandsEnabled(false);
  FCollection.SetSplashFactory(MakeSplashFactory());
}

TFormFileList::~TFormFileList() = default;

void TFormFileList::TakeCommandLine(const std::vector<std::wstring>& arguments) {
  std::vector<std::wstring> paths = CommandLinePaths(arguments);
  if (!paths.empty()) AddPaths(paths);
}

void TFormFileList::UpdateCount() {
  LabelListNum.SetCaption(L"現在の選択ファイル数: " + std::to_wstring(EntryCount()));
}

void TFormFileList::SetListControlsEnabled(bool enabled) {
  LabelListNum.SetEnabled(enabled);
  HListBoxFileList.SetEnabled(enabled);
  SetCommandsEnabled(enabled);
}

void TFormFileList::SetCommandsEnabled(bool enabled) {
  FCommandsEnabled = enabled;
  for (widgets::TCommonButton* b : {&SpeedButtonSave, &SpeedButtonCBCopy, &SpeedButtonClear}) b->SetEnabled(enabled);
}

void TFormFileList::PlaceBeside(const RECT& main) {
  const int width = main.right - main.left, height = main.bottom - main.top;
  SetBounds(main.right, main.top, width, height);
  // The size may have met the least size: placed by the size it got.
  SetPositionOnScreen(main.right, main.top);
}

void TFormFileList::MoveBeside(const RECT& main) {
  // A maximised window stays as the user made it; a minimised one is restored first, so that the
  // place below is where it shows.
  if (IsZoomed(Handle())) return;
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetPositionOnScreen(main.right, main.top);
}

SIZE TFormFileList::LeastClientSize() const {
  // The list's two scroll arrows, its horizontal scroll bar and its edge.
  const int list =
      2 * GetSystemMetrics(SM_CYVSCROLL) + GetSystemMetrics(SM_CYHSCROLL) + 2 * GetSystemMetrics(SM_CYEDGE);
  return SIZE{FLeastClientWidth, kHeadHeight + list};
}

LRESULT TFormFileList::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) FormActivate(this);
      break;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) FormResize(this);
      break;
    case WM_GETMINMAXINFO:
      if (FLeastClientWidth > 0) {
        const SIZE least = LeastClientSize();
        RECT r{0, 0, least.cx, least.cy};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
        auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
        mmi->ptMinTrackSize.x = std::max<LONG>(mmi->ptMinTrackSize.x, r.right - r.left);
        mmi->ptMinTrackSize.y = std::max<LONG>(mmi->ptMinTrackSize.y, r.bottom - r.top);
      }
      break;
    default:
      break;
  }
  return Form::WndProc(msg, wp, lp);
}

void TFormFileList::DoClose(ui::CloseAction& action) {
  // The window holds the target list for the whole run of the program: closing only hides it.
  action = ui::CloseAction::Hide;
}

void TFormFileList::FormActivate(ui::Control*) { UpdateCount(); }

void TFormFileList::FormResize(ui::Control*) {
  if (!PanelHead.Handle() || !HListBoxFileList.Handle()) return;  // still being built
  const int cw = ClientWidth(), ch = ClientHeight();
  PanelHead.SetBounds(0, 0, cw, kHeadHeight);
  SpeedButtonCBCopy.SetBounds(cw - FCopyRightGap, SpeedButtonCBCopy.Top(), SpeedButtonCBCopy.Width(),
                              SpeedButtonCBCopy.Height());
  SpeedButtonClear.SetBounds(cw - FClearRightGap, SpeedButtonClear.Top(), SpeedButtonClear.Width(),
                             SpeedButtonClear.Height());
  HListBoxFileList.SetBounds(0, kHeadHeight, cw, std::max(0, ch - kHeadHeight));
  HListBoxFileList.Invalidate();
  // The head is drawn again whole at every size change, also one that leaves its own size as it was.
  PanelHead.Invalidate();
}

// ---- the collection's view ----

void TFormFileList::ActivateForCollection() {
  SetForegroundWindow(Handle());
  HListBoxFileList.SetFocus();
}

void TFormFileList::BeginAdding(int expected) { HListBoxFileList.BeginUpdate(expected); }

void TFormFileList::EndAdding() { HListBoxFileList.EndUpdate(); }

bool TFormFileList::InsertItem(int index, const std::wstring& path) {
  return HListBoxFileList.InsertString(index, path) == index;
}

void TFormFileList::EnableCommands() { SetCommandsEnabled(true); }

}  // namespace targets
