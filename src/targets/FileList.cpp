// The file list window: its controls, layout, count label, hiding on close and the collection's view.
#include "targets/FileList.h"
#include "targets/CommandLine.h"
#include <algorithm>

namespace targets {

namespace {
constexpr int kDesignWidth = 308, kDesignHeight = 333;  // outer size before start-up places it
constexpr int kHeadHeight = 41;
constexpr int kItemHeight = 12;
}  // namespace

TFormFileList::TFormFileList(ICollectionHost& host, HWND owner) : FCollection(host, FTargetList, *this) {
  CreateForm(L"VornaStampShifter（ファイル一覧）", WS_OVERLAPPEDWINDOW, 0, kDesignWidth, kDesignHeight, owner);
  SetBounds(Left(), Top(), kDesignWidth, kDesignHeight);
  const int cw = ClientWidth(), ch = ClientHeight();

  PanelHead.Create(this, 0, 0, cw, kHeadHeight);
  PanelHead.SetBevels(ui::Bevel::Lowered, ui::Bevel::Raised);
  LabelListNum.Create(&PanelHead, 8, 8, 233, 25, L"");
  LabelListNum.Layout = ui::TextLayout::Center;

  HListBoxFileList.Create(this, 0, kHeadHeight, cw, std::max(0, ch - kHeadHeight), true);
  SendMessageW(HListBoxFileList.Handle(), LB_SETITEMHEIGHT, 0, kItemHeight);
  SetActiveControl(&HListBoxFileList);
  SetCommandsEnabled(false);
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

void TFormFileList::SetCommandsEnabled(bool enabled) { FCommandsEnabled = enabled; }

void TFormFileList::PlaceBeside(const RECT& main) {
  const int width = main.right - main.left, height = main.bottom - main.top;
  SetBounds(main.right, main.top, width, height);
}

LRESULT TFormFileList::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) FormActivate(this);
      break;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) FormResize(this);
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
  HListBoxFileList.SetBounds(0, kHeadHeight, cw, std::max(0, ch - kHeadHeight));
  HListBoxFileList.Invalidate();
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
