// The file list window: its controls, layout, count label, hiding on close and the collection's view.
#include "targets/FileList.h"
#include "targets/CommandLine.h"
#include "targets/Splash.h"
#include "resource.h"
#include <windowsx.h>
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
  button.SetGlyphArt(glyphId);
  button.SetHint(hint);
}
}  // namespace

TFormFileList::TFormFileList(ICollectionHost& host, HWND owner) : FCollection(host, FTargetList, *this) {
  CreateForm(L"VornaStampShifter（ファイル一覧）", WS_OVERLAPPEDWINDOW, 0, kDesignWidth, kDesignHeight, owner);
  const ui::TDpi dpi = Dpi();
  SetBounds(Left(), Top(), dpi.Scale(kDesignWidth), dpi.Scale(kDesignHeight));
  // The client size at 96 DPI, which the controls are placed by.
  const int cw = dpi.Unscale(ClientWidth()), ch = dpi.Unscale(ClientHeight());

  PanelHead.Create(this, 0, 0, cw, kHeadHeight);
  PanelHead.SetBevels(ui::Bevel::Lowered, ui::Bevel::Raised);
  LabelListNum.Create(&PanelHead, 8, 8, 233, 25, L"");
  LabelListNum.Layout = ui::TextLayout::Center;
  SetUpCommandButton(SpeedButtonSave, &PanelHead, 224, IDB_GLYPH_SAVE, L"一覧の内容をファイルに出力します(Ctrl+S)|");
  SetUpCommandButton(SpeedButtonCBCopy, &PanelHead, 248, IDB_GLYPH_CBCOPY,
                     L"一覧の内容をクリップボードにコピーします(Ctrl+C)|");
  SetUpCommandButton(SpeedButtonClear, &PanelHead, 272, IDB_GLYPH_CLEAR, L"一覧の内容をクリアします");
  // The save button keeps its place; copy and clear keep their distance to the right edge (at 96 DPI).
  FCopyRightGap = cw - SpeedButtonCBCopy.DesignBounds().left;
  FClearRightGap = cw - SpeedButtonClear.DesignBounds().left;
  // Narrower, copy and clear would slide over the save button (which stays) and the count.
  FLeastClientWidth = cw;

  HListBoxFileList.CreateOwnerData(this, 0, kHeadHeight, cw, std::max(0, ch - kHeadHeight), true, [this](int index) {
    return index < FTargetList.Count() ? FTargetList.Entry(index) : std::wstring_view();
  });
  SendMessageW(HListBoxFileList.Handle(), LB_SETITEMHEIGHT, 0, dpi.Scale(kItemHeight));
  HListBoxFileList.AccessibleName = L"ファイル一覧";
  SetActiveControl(&HListBoxFileList);

  SaveList = PopupMenu.Add(L"ファイルに保存(&S)...", ui::scCtrl | 'S', [this](ui::Control* s) { SpeedButtonSaveClick(s); });
  N1 = PopupMenu.AddSeparator();
  ClipBoardCopy = PopupMenu.Add(L"クリップボードにコピー(&C)", ui::scCtrl | 'C',
                                [this](ui::Control* s) { SpeedButtonCBCopyClick(s); });
  DeleteList = PopupMenu.Add(L"削除(&D)", VK_DELETE, [this](ui::Control* s) { DeleteListClick(s); });
  AllSelectFile = PopupMenu.Add(L"全て選択(&A)", ui::scCtrl | 'A', [this](ui::Control* s) { AllSelectFileClick(s); });
  SpeedButtonSave.OnClick = [this](ui::Control* s) { SpeedButtonSaveClick(s); };
  SpeedButtonCBCopy.OnClick = [this](ui::Control* s) { SpeedButtonCBCopyClick(s); };
  SpeedButtonClear.OnClick = [this](ui::Control* s) { SpeedButtonClearClick(s); };
  KeyPreview = true;

  // A name typed without an extension becomes a text file under the text filter, and stays as typed
  // under the filter of every file.
  SaveDialogEx.Filter = L"テキストファイル(*.txt)|*.txt|すべてのファイル(*.*)|*.*";
  SaveDialogEx.DefaultExt = L"";
  SaveDialogEx.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
  SaveDialogEx.OnSetLeftTop = [this](shell::TFileDialogEx* d, int& l, int& t, int w, int h) {
    SaveDialogExSetLeftTop(d, l, t, w, h);
  };
  DropDst.SetControl(&HListBoxFileList);
  DropDst.OnFileDrop = [this](shell::TDropDst* sender, const std::vector<std::wstring>& files, int x, int y) {
    DropDstFileDrop(sender, files, x, y);
  };
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
  for (ui::MenuItem* m : {SaveList, ClipBoardCopy, DeleteList, AllSelectFile}) m->Enabled = enabled;
}

void TFormFileList::PlaceBeside(const RECT& main) {
  const int width = main.right - main.left, height = main.bottom - main.top;
  SetBounds(main.right, main.top, width, height);
  // The size may have met the least size: placed by the size it got.
  const RECT placed = ui::BesideOnScreen(main, Width(), Height());
  SetPosition(placed.left, placed.top);
}

void TFormFileList::MoveBeside(const RECT& main) {
  // A maximised window stays as the user made it; a minimised one is restored first, so that the
  // place below is where it shows.
  if (IsZoomed(Handle())) return;
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  const RECT placed = ui::BesideOnScreen(main, Width(), Height());
  SetPosition(placed.left, placed.top);
}

SIZE TFormFileList::LeastClientSize() const {
  // The list's two scroll arrows, its horizontal scroll bar and its edge.
  const ui::TDpi dpi = Dpi();
  const int list = 2 * ui::SystemMetric(SM_CYVSCROLL, dpi) + ui::SystemMetric(SM_CYHSCROLL, dpi) +
                   2 * ui::SystemMetric(SM_CYEDGE, dpi);
  return SIZE{dpi.Scale(FLeastClientWidth), dpi.Scale(kHeadHeight) + list};
}

LRESULT TFormFileList::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) FormActivate(this);
      break;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) FormResize(this);
      break;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wp) == HListBoxFileList.Handle()) {
        const POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const bool fromKeyboard = pt.x == -1 && pt.y == -1;
        HListBoxFileListContextPopup(pt, fromKeyboard);
        POINT at = pt;
        if (fromKeyboard) {
          at = POINT{0, 0};
          ClientToScreen(HListBoxFileList.Handle(), &at);
        }
        PopupMenu.Popup(at.x, at.y, Handle());
        return 0;
      }
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

void TFormFileList::DoKeyDown(WORD& key, unsigned shift) {
  if (key && GetFocus() == HListBoxFileList.Handle() && PopupMenu.IsShortCut(key, shift)) key = 0;
}

void TFormFileList::FormActivate(ui::Control*) { UpdateCount(); }

// ---- commands ----

void TFormFileList::HListBoxFileListContextPopup(POINT screen, bool fromKeyboard) {
  if (fromKeyboard) return;
  POINT pt = screen;
  ScreenToClient(HListBoxFileList.Handle(), &pt);
  RECT client;
  GetClientRect(HListBoxFileList.Handle(), &client);
  if (!PtInRect(&client, pt)) return;
  // The item under the point, counting only items that exist (LB_ITEMFROMPOINT carries 16 bits only).
  const HWND list = HListBoxFileList.Handle();
  const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  if (height <= 0) return;
  const long long index = SendMessageW(list, LB_GETTOPINDEX, 0, 0) + pt.y / height;
  if (index < HListBoxFileList.Count()) HListBoxFileList.SetSelected(static_cast<int>(index), true);
}

void TFormFileList::DeleteListClick(ui::Control*) {
  if (HListBoxFileList.SelCount() <= 0) return;
  // From the last to the first, so that the indices still to come stay valid in both copies.
  std::vector<int> selected(static_cast<size_t>(HListBoxFileList.SelCount()));
  const LRESULT got = SendMessageW(HListBoxFileList.Handle(), LB_GETSELITEMS, selected.size(),
                                   reinterpret_cast<LPARAM>(selected.data()));
  selected.resize(got > 0 ? static_cast<size_t>(got) : 0);
  HListBoxFileList.BeginUpdate(0);
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    FTargetList.Delete(*it);
    HListBoxFileList.Delete(*it);
  }
  HListBoxFileList.EndUpdate();
  if (HListBoxFileList.Count() == 0) HListBoxFileList.ClearAll();
  UpdateCount();
}

void TFormFileList::AllSelectFileClick(ui::Control*) { HListBoxFileList.SelectAll(); }

void TFormFileList::SpeedButtonClearClick(ui::Control*) {
  FTargetList.Clear();
  HListBoxFileList.ClearAll();
  UpdateCount();
  SetCommandsEnabled(false);
}

void TFormFileList::SpeedButtonCBCopyClick(ui::Control*) {
  if (FCommands && EntryCount() > 0) FCommands->CopyList();
}

void TFormFileList::SpeedButtonSaveClick(ui::Control*) {
  if (FCommands) FCommands->SaveList();
}

bool TFormFileList::AskSaveFileName(const std::wstring& initialDir, std::wstring& file) {
  SaveDialogEx.InitialDir = initialDir;
  SaveDialogEx.FileName.clear();
  if (!SaveDialogEx.Execute(Handle())) return false;
  file = SaveDialogEx.FileName;
  return true;
}

void TFormFileList::SaveDialogExSetLeftTop(shell::TFileDialogEx*, int& left, int& top, int, int) {
  shell::PlaceBelowCaption(Handle(), left, top);
}

void TFormFileList::DropDstFileDrop(shell::TDropDst*, const std::vector<std::wstring>& files, int, int) {
  AddPaths(files);
}

void TFormFileList::DoDpiChanged() {
  if (HListBoxFileList.Handle())
    SendMessageW(HListBoxFileList.Handle(), LB_SETITEMHEIGHT, 0, Dpi().Scale(kItemHeight));
  FormResize(this);
}

void TFormFileList::FormResize(ui::Control*) {
  if (!PanelHead.Handle() || !HListBoxFileList.Handle()) return;  // still being built
  const ui::TDpi dpi = Dpi();
  const int cw = ClientWidth(), ch = ClientHeight(), head = dpi.Scale(kHeadHeight);
  PanelHead.SetBounds(0, 0, cw, head);
  SpeedButtonCBCopy.SetBounds(cw - dpi.Scale(FCopyRightGap), SpeedButtonCBCopy.Top(), SpeedButtonCBCopy.Width(),
                              SpeedButtonCBCopy.Height());
  SpeedButtonClear.SetBounds(cw - dpi.Scale(FClearRightGap), SpeedButtonClear.Top(), SpeedButtonClear.Width(),
                             SpeedButtonClear.Height());
  HListBoxFileList.SetBounds(0, head, cw, std::max(0, ch - head));
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

bool TFormFileList::InsertItem(int index, std::wstring_view path) {
  return HListBoxFileList.InsertString(index, path) == index;
}

void TFormFileList::EnableCommands() { SetCommandsEnabled(true); }

}  // namespace targets
