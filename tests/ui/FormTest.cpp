// Forms built from every control kind, driven with messages as a user would drive them.
#include "support/DialogAnswerer.h"
#include "support/Keys.h"
#include "ui/Application.h"
#include "ui/Error.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include <algorithm>
#include <commctrl.h>
#include <gtest/gtest.h>

using testsupport::DialogAnswerer;
using testsupport::PumpFor;
using testsupport::PumpUntil;

namespace {

// A windowless control that counts what reaches it.
class Probe : public ui::GraphicControl {
 public:
  void Paint(HDC dc) override {
    ++paints;
    RECT r = ClientRect();
    FillRect(dc, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
  }
  void MouseDown(ui::MouseButton, unsigned, int x, int y) override { downs.push_back({x, y}); }
  void MouseEnter() override { ++enters; }
  void MouseLeave() override { ++leaves; }
  int paints = 0, enters = 0, leaves = 0;
  std::vector<POINT> downs;
};

class TTestForm : public ui::Form {
 public:
  TTestForm() {
    CreateForm(L"テスト", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 300, 240);
    GroupBoxType.Create(this, 0, 0, 300, 80, L"変更対象(&F)");
    RadioButtonFile.Create(&GroupBoxType, 8, 16, 90, 17, L"ファイルのみ");
    RadioButtonFolder.Create(&GroupBoxType, 100, 16, 90, 17, L"フォルダのみ");
    CheckBoxSub.Create(&GroupBoxType, 8, 40, 200, 17, L"サブフォルダも対象にする(&B)");
    PanelMain.Create(this, 0, 80, 300, 100);
    PanelMain.SetBevels(ui::Bevel::Lowered, ui::Bevel::Raised);
    LabelReadOnly.Create(&PanelMain, 8, 8, 120, 14, L"読み取り専用ファイル(&R)");
    CheckBoxReadOnly.Create(&PanelMain, 140, 6, 60, 17, L"設定");
    LabelReadOnly.FocusControl = &CheckBoxReadOnly;
    EditExt.Create(&PanelMain, 8, 30, 120, 20, L"txt;bmp");
    ProbeBox.Create(&PanelMain, 200, 30, 32, 24);
    ListFiles.Create(&PanelMain, 8, 56, 200, 40);
    ButtonSet.Create(this, 8, 190, 75, 25, L"開始");
    ButtonSet.SetDefault(true);
    ButtonEnd.Create(this, 90, 190, 75, 25, L"終了");
    ButtonEnd.SetCancel(true);
    Progress.Create(this, 0, 233, 300, 7);
    Menu.Add(L"ﾊﾞｰｼﾞｮﾝ情報(&V)...", ui::scCtrl | 'E', [this](ui::Control*) { ++aboutClicks; });
    SetPopupMenu(&Menu);
    KeyPreview = true;
    CenterOnScreen();
  }
  void DoKeyDown(WORD& key, unsigned shift) override {
    keyHandled = false;
    if ((shift & ui::ssCtrl) && key == 'L') {
      ++ctrlL;
      keyHandled = true;
    }
  }
  void DoKeyPress(wchar_t& ch) override {
    if (keyHandled) {
      ch = 0;
      keyHandled = false;
    }
  }
  bool DoCanResize(int&, int&) override { return false; }

  ui::GroupBox GroupBoxType;
  ui::RadioButton RadioButtonFile, RadioButtonFolder;
  ui::CheckBox CheckBoxSub;
  ui::Panel PanelMain;
  ui::Label LabelReadOnly;
  ui::CheckBox CheckBoxReadOnly;
  ui::Edit EditExt;
  Probe ProbeBox;
  ui::ListBox ListFiles;
  ui::Button ButtonSet, ButtonEnd;
  ui::ProgressBar Progress;
  ui::PopupMenu Menu;
  int ctrlL = 0, aboutClicks = 0;
  bool keyHandled = false;
};

void SendKey(HWND target, WORD vk, bool ctrl = false) {
  // Keys go through the application's message loop, as typed keys do.
  BYTE state[256];
  GetKeyboardState(state);
  BYTE saved = state[VK_CONTROL];
  if (ctrl) state[VK_CONTROL] = 0x80;
  SetKeyboardState(state);
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  if (ctrl && vk >= 'A' && vk <= 'Z') PostMessageW(target, WM_CHAR, vk - 'A' + 1, 1);
  PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
  PumpFor(50);
  state[VK_CONTROL] = saved;
  SetKeyboardState(state);
}

}  // namespace

TEST(Form, ClientAreaHasTheRequestedSizeAndCannotBeResized) {
  TTestForm f;
  f.Show();
  EXPECT_EQ(f.ClientWidth(), 300);
  EXPECT_EQ(f.ClientHeight(), 240);
  RECT before;
  GetWindowRect(f.Handle(), &before);
  SetWindowPos(f.Handle(), nullptr, 0, 0, 500, 500, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(f.ClientWidth(), 300);
  EXPECT_EQ(f.ClientHeight(), 240);
}

TEST(Form, CheckBoxAndRadioButtonSetFromCodeRunTheirClickHandlers) {
  TTestForm f;
  int subClicks = 0, fileClicks = 0, folderClicks = 0;
  f.CheckBoxSub.OnClick = [&](ui::Control* s) {
    EXPECT_EQ(s, &f.CheckBoxSub);
    ++subClicks;
  };
  f.RadioButtonFile.OnClick = [&](ui::Control*) { ++fileClicks; };
  f.RadioButtonFolder.OnClick = [&](ui::Control*) { ++folderClicks; };
  f.CheckBoxSub.SetChecked(true);
  f.CheckBoxSub.SetChecked(true);  // no change, no click
  f.CheckBoxSub.SetChecked(false);
  EXPECT_EQ(subClicks, 2);
  f.RadioButtonFile.SetChecked(true);
  f.RadioButtonFolder.SetChecked(true);
  EXPECT_EQ(fileClicks, 1);
  EXPECT_EQ(folderClicks, 1);
  EXPECT_FALSE(f.RadioButtonFile.Checked());
  EXPECT_TRUE(f.RadioButtonFolder.Checked());
}

TEST(Form, UserClicksReachTheHandlers) {
  TTestForm f;
  f.Show();
  int subClicks = 0, fileClicks = 0, setClicks = 0;
  f.CheckBoxSub.OnClick = [&](ui::Control*) { ++subClicks; };
  f.RadioButtonFile.OnClick = [&](ui::Control*) { ++fileClicks; };
  f.ButtonSet.OnClick = [&](ui::Control*) { ++setClicks; };
  SendMessageW(f.CheckBoxSub.Handle(), BM_CLICK, 0, 0);
  SendMessageW(f.RadioButtonFile.Handle(), BM_CLICK, 0, 0);
  SendMessageW(f.ButtonSet.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(subClicks, 1);
  EXPECT_TRUE(f.CheckBoxSub.Checked());
  EXPECT_EQ(fileClicks, 1);
  EXPECT_TRUE(f.RadioButtonFile.Checked());
  EXPECT_EQ(setClicks, 1);
}

TEST(Form, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  TTestForm f;
  f.Show();
  int setClicks = 0, endClicks = 0;
  f.ButtonSet.OnClick = [&](ui::Control*) { ++setClicks; };
  f.ButtonEnd.OnClick = [&](ui::Control*) { ++endClicks; };
  f.CheckBoxSub.SetFocus();
  SendKey(f.CheckBoxSub.Handle(), VK_RETURN);
  EXPECT_EQ(setClicks, 1);
  SendKey(f.CheckBoxSub.Handle(), VK_ESCAPE);
  EXPECT_EQ(endClicks, 1);
}

TEST(Form, KeyPreviewSeesKeysFirstAndCanSwallowTheCharacter) {
  TTestForm f;
  f.Show();
  f.EditExt.SetFocus();
  f.EditExt.SetText(L"");
  SendKey(f.EditExt.Handle(), 'L', true);
  EXPECT_EQ(f.ctrlL, 1);
  EXPECT_EQ(f.EditExt.Text(), L"");
  // A key the form does not handle reaches the edit as usual.
  PostMessageW(f.EditExt.Handle(), WM_CHAR, L'x', 1);
  PumpFor(30);
  EXPECT_EQ(f.EditExt.Text(), L"x");
}

TEST(Form, PopupMenuShortcutRunsTheEntry) {
  TTestForm f;
  f.Show();
  f.CheckBoxSub.SetFocus();
  SendKey(f.CheckBoxSub.Handle(), 'E', true);
  EXPECT_EQ(f.aboutClicks, 1);
  f.Menu.Items()[0]->Enabled = false;
  SendKey(f.CheckBoxSub.Handle(), 'E', true);
  EXPECT_EQ(f.aboutClicks, 1);
  EXPECT_EQ(ui::ShortCutText(ui::scCtrl | 'E'), L"Ctrl+E");
  EXPECT_EQ(ui::ShortCutText(VK_ESCAPE), L"Esc");
}

TEST(Form, LabelAccessKeyFocusesItsControl) {
  TTestForm f;
  f.Show();
  f.EditExt.SetFocus();
  PostMessageW(f.EditExt.Handle(), WM_SYSCHAR, L'r', 1 | (1 << 29));
  PumpFor(30);
  EXPECT_TRUE(f.CheckBoxReadOnly.Focused());
  EXPECT_EQ(ui::MnemonicOf(L"読み取り専用ファイル(&R)"), L'R');
  EXPECT_EQ(ui::MnemonicOf(L"A && B"), 0);
}

TEST(Form, WindowlessControlIsPaintedAndGetsTheMouse) {
  TTestForm f;
  f.Show();
  UpdateWindow(f.Handle());
  PumpFor(30);
  EXPECT_GE(f.ProbeBox.paints, 1);
  HWND panel = f.PanelMain.Handle();
  SendMessageW(panel, WM_MOUSEMOVE, 0, MAKELPARAM(210, 40));
  EXPECT_EQ(f.ProbeBox.enters, 1);
  EXPECT_TRUE(f.ProbeBox.MouseInControl());
  int clicks = 0;
  f.ProbeBox.OnClick = [&](ui::Control*) { ++clicks; };
  SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 40));
  ASSERT_EQ(f.ProbeBox.downs.size(), 1u);
  EXPECT_EQ(f.ProbeBox.downs[0].x, 10);
  EXPECT_EQ(f.ProbeBox.downs[0].y, 10);
  EXPECT_EQ(GetCapture(), panel);
  SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(211, 41));
  EXPECT_EQ(clicks, 1);
  // Dragged out and back in while pressed: told once each way, however many moves.
  SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 40));
  for (int x = 5; x < 8; ++x) SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 5));
  EXPECT_EQ(f.ProbeBox.leaves, 1);
  EXPECT_FALSE(f.ProbeBox.MouseInControl());
  for (int x = 210; x < 213; ++x) SendMessageW(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 40));
  EXPECT_EQ(f.ProbeBox.enters, 2);
  EXPECT_TRUE(f.ProbeBox.MouseInControl());
  SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(211, 41));
  EXPECT_EQ(clicks, 2);
  // Released outside: no click.
  SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 40));
  SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(clicks, 2);
  SendMessageW(panel, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(f.ProbeBox.leaves, 2);
  EXPECT_FALSE(f.ProbeBox.MouseInControl());
  // A disabled windowless control gets nothing.
  f.ProbeBox.SetEnabled(false);
  SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(210, 40));
  SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(210, 40));
  EXPECT_EQ(clicks, 2);
}

TEST(Form, ListBoxAndProgressBarKeepTheirItemsAndPosition) {
  TTestForm f;
  f.ListFiles.Add(L"C:\\b");
  f.ListFiles.Insert(0, L"C:\\A");
  f.ListFiles.Add(L"C:\\c");
  ASSERT_EQ(f.ListFiles.Count(), 3);
  EXPECT_EQ(f.ListFiles.Item(0), L"C:\\A");
  EXPECT_EQ(f.ListFiles.Item(2), L"C:\\c");
  f.ListFiles.SetSelected(0, true);
  f.ListFiles.SetSelected(2, true);
  EXPECT_EQ(f.ListFiles.SelCount(), 2);
  f.ListFiles.Delete(1);
  EXPECT_EQ(f.ListFiles.Item(1), L"C:\\c");
  f.ListFiles.Clear();
  EXPECT_EQ(f.ListFiles.Count(), 0);
  f.Progress.SetRange(0, 0);
  f.Progress.SetPosition(0);
  EXPECT_EQ(f.Progress.Position(), 0);
  f.Progress.SetRange(0, 99);
  f.Progress.SetPosition(42);
  EXPECT_EQ(f.Progress.Position(), 42);
}

TEST(Form, ExceptionInAClickHandlerReachesTheErrorBoxAndTheProgramGoesOn) {
  ui::Application::Instance().SetTitle(L"VornaStampShifter");
  TTestForm f;
  f.Show();
  int after = 0;
  f.ButtonSet.OnClick = [](ui::Control*) { throw ui::Error(L"日付が不正です"); };
  f.ButtonEnd.OnClick = [&](ui::Control*) { ++after; };
  DialogAnswerer answers;
  answers.Press(L"OK");
  PostMessageW(f.ButtonSet.Handle(), BM_CLICK, 0, 0);
  PumpUntil([&] { return answers.Shown().size() == 1; });
  PumpFor(30);
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_EQ(answers.Shown()[0].caption, L"VornaStampShifter");
  EXPECT_EQ(answers.Shown()[0].text, L"日付が不正です");
  // The window still works.
  SendMessageW(f.ButtonEnd.Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(after, 1);
}

TEST(Form, ShowModalEndsWithTheButtonsModalResultAndReenablesTheOwner) {
  TTestForm owner;
  owner.Show();
  TTestForm dialog;
  dialog.ButtonSet.ModalResult = ui::mrOk;
  PostMessageW(dialog.ButtonSet.Handle(), BM_CLICK, 0, 0);
  bool ownerDisabledDuring = false;
  dialog.ButtonSet.OnClick = [&](ui::Control*) { ownerDisabledDuring = !IsWindowEnabled(owner.Handle()); };
  EXPECT_EQ(dialog.ShowModal(), ui::mrOk);
  EXPECT_TRUE(ownerDisabledDuring);
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_FALSE(dialog.Showing());
  // The close box ends it with Cancel.
  PostMessageW(dialog.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog.ShowModal(), ui::mrCancel);
}

TEST(Timer, FiresAtItsIntervalUntilStopped) {
  ui::Timer t;
  int ticks = 0;
  t.OnTimer = [&](ui::Control*) { ++ticks; };
  t.SetInterval(20);
  t.SetEnabled(true);
  PumpUntil([&] { return ticks >= 3; }, 2000);
  EXPECT_GE(ticks, 3);
  t.SetEnabled(false);
  int stopped = ticks;
  PumpFor(100);
  EXPECT_EQ(ticks, stopped);
}

TEST(Application, BusyCursorAndHelpWithoutAFile) {
  auto& app = ui::Application::Instance();
  app.SetBusyCursor(true);
  EXPECT_TRUE(app.CursorIsBusy());
  app.SetBusyCursor(false);
  EXPECT_FALSE(app.CursorIsBusy());
  app.SetTitle(L"VornaStampShifter");
  app.SetHelpFile(L"C:\\no-such-folder\\VornaSTS.hlp");
  DialogAnswerer answers;
  answers.Press(L"OK");
  EXPECT_FALSE(app.HelpCommand(11, 0));
  ASSERT_EQ(answers.Shown().size(), 1u);
  EXPECT_NE(answers.Shown()[0].text.find(L"VornaSTS.hlp"), std::wstring::npos);
}

TEST(Application, HelpIsAskedForItsContentsOrForTheTopicOfTheWindowWithF1) {
  auto& app = ui::Application::Instance();
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  app.SetHelpFile(exe);  // any file that is there
  std::vector<std::wstring> asked;
  app.OnHelp = [&asked](const std::wstring& file, const std::wstring& topic) {
    EXPECT_EQ(file, ui::Application::Instance().HelpFile());
    asked.push_back(topic.empty() ? L"(contents)" : topic);
    return true;
  };
  EXPECT_TRUE(app.HelpCommand(HELP_FINDER, 0));
  EXPECT_TRUE(app.HelpCommand(HELP_CONTENTS, 0));
  EXPECT_FALSE(app.HelpCommand(HELP_QUIT, 0));  // no other command shows anything

  TTestForm f;
  f.Show();
  testsupport::PressKey(f.EditExt.Handle(), VK_F1);  // a window without a topic: nothing
  f.HelpTopic = L"test-window";
  testsupport::PressKey(f.EditExt.Handle(), VK_F1);
  testsupport::PressKey(f.EditExt.Handle(), VK_F1, ui::ssCtrl);  // Ctrl+F1 is not F1
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"(contents)", L"(contents)", L"test-window"}));
  app.OnHelp = nullptr;
}

TEST(ProgressBar, ShowsEveryPixelOfProgressWithoutRedrawingForEachStep) {
  TTestForm f;
  f.Show();
  ui::ProgressBar& bar = f.Progress;  // 300 pixels wide
  bar.SetRange(0, 19999);
  RECT r;
  GetClientRect(bar.Handle(), &r);
  auto fill = [&](LRESULT pos) { return static_cast<int64_t>(pos) * r.right / 19999; };
  int updates = 0;
  LRESULT last = SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0);
  for (int i = 0; i < 20000; ++i) {
    bar.SetPosition(i);
    const LRESULT shown = SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0);
    if (shown != last) ++updates, last = shown;
    // What the user sees is what the position set means.
    ASSERT_EQ(fill(shown), fill(i)) << "at " << i;
    ASSERT_EQ(bar.Position(), i);
  }
  EXPECT_EQ(last, 19999);
  EXPECT_LE(updates, r.right + 1);
  bar.SetPosition(0);
  EXPECT_EQ(SendMessageW(bar.Handle(), PBM_GETPOS, 0, 0), 0);
}

TEST(Form, ControlMadeAnewKeepsItsPlaceChildrenProcedureAndDestructionNotice) {
  TTestForm f;
  f.Show();
  f.PanelMain.SetEnabled(false);
  std::vector<UINT> seen;
  f.PanelMain.WindowProc = [&](UINT msg, WPARAM wp, LPARAM lp) {
    seen.push_back(msg);
    return f.PanelMain.ControlProc(msg, wp, lp);
  };
  const HWND old = f.PanelMain.Handle();
  f.PanelMain.RecreateWnd();
  const HWND now = f.PanelMain.Handle();
  ASSERT_NE(now, old);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(ui::WinControl::FromHandle(now), &f.PanelMain);
  EXPECT_EQ(ui::WinControl::FromHandle(old), nullptr);
  EXPECT_EQ(GetParent(f.EditExt.Handle()), now);  // the windowed children moved over
  EXPECT_EQ(GetParent(f.ListFiles.Handle()), now);
  EXPECT_FALSE(IsWindowEnabled(now));
  RECT r;
  GetWindowRect(now, &r);
  MapWindowPoints(nullptr, f.Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 80);
  EXPECT_EQ(r.right - r.left, 300);
  // The procedure in front stayed with the control and saw the new window being made.
  EXPECT_NE(std::find(seen.begin(), seen.end(), UINT{WM_CREATE}), seen.end());
  EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT{WM_DESTROY}), 0);  // the old one had been let go

  int notices = 0;
  {
    ui::Edit gone;
    gone.Create(&f, 0, 0, 10, 10);
    gone.AddFreeNotification(&notices, [&]() { ++notices; });
    gone.AddFreeNotification(&seen, [&]() { notices += 100; });
    gone.RemoveFreeNotification(&seen);
  }
  EXPECT_EQ(notices, 1);
}

TEST(FitOnScreen, KeepsWhatFitsAndMovesTheRestOntoTheWorkAreaNoFurther) {
  RECT wa;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  auto left = [](LONG x, LONG width) { return ui::FitOnScreen(RECT{x, 10, x + width, 210}).left; };
  EXPECT_EQ(left(wa.right - 300, 300), wa.right - 300);  // touching the edge
  EXPECT_EQ(left(wa.right - 299, 300), wa.right - 300);  // a pixel over
  EXPECT_EQ(left(wa.left - 1, 300), wa.left);
  EXPECT_EQ(left(wa.right + 5000, 300), wa.right - 300);            // outside every monitor
  EXPECT_EQ(left(wa.left + 10, wa.right - wa.left + 99), wa.left);  // wider than the work area
}

// The place a window is kept at: where it stands, or where it goes back to from minimised or maximised.
TEST(RestoredBounds, IsWhereTheWindowStandsOrWhereItIsRestoredTo) {
  ui::Form form;
  form.CreateForm(L"置き場所", WS_OVERLAPPEDWINDOW, 0, 300, 200);
  form.SetBounds(120, 90, 300, 200);
  form.Show();
  testsupport::PumpFor(30);
  const RECT placed{120, 90, 420, 290};
  auto same = [&](const char* state) {
    SCOPED_TRACE(state);
    const RECT r = ui::RestoredBounds(form.Handle());
    EXPECT_EQ(r.left, placed.left);
    EXPECT_EQ(r.top, placed.top);
    EXPECT_EQ(r.right, placed.right);
    EXPECT_EQ(r.bottom, placed.bottom);
  };
  same("as placed");
  for (int show : {SW_MAXIMIZE, SW_MINIMIZE}) {
    ShowWindow(form.Handle(), show);
    testsupport::PumpFor(30);
    RECT now;
    GetWindowRect(form.Handle(), &now);
    EXPECT_FALSE(EqualRect(&now, &placed));  // the window itself stands elsewhere meanwhile
    same(show == SW_MAXIMIZE ? "maximised" : "minimised");
    ShowWindow(form.Handle(), SW_RESTORE);
    testsupport::PumpFor(30);
  }
}

TEST(BesideOnScreen, RightWhereThereIsRoomElseLeftElseMovedOntoTheScreen) {
  // A work area 0..1000 x 0..700; fit moves a window onto it as FitOnScreen does.
  const RECT wa{0, 0, 1000, 700};
  auto fit = [&](const RECT& r) {
    const LONG w = r.right - r.left, h = r.bottom - r.top;
    const LONG left = std::max(wa.left, std::min(r.left, wa.right - w));
    const LONG top = std::max(wa.top, std::min(r.top, wa.bottom - h));
    return RECT{left, top, left + w, top + h};
  };
  // A 400 x 300 window beside an anchor spanning anchorLeft..anchorRight.
  auto left = [&](LONG anchorLeft, LONG anchorRight) {
    return ui::BesideOnScreen(RECT{anchorLeft, 50, anchorRight, 350}, 400, 300, fit).left;
  };
  EXPECT_EQ(left(100, 600), 600);  // the right has room, just
  EXPECT_EQ(left(400, 601), 0);    // a pixel short at the right: the left has room, just
  EXPECT_EQ(left(399, 601), 600);  // neither side: at the right, moved onto the screen over the anchor
  EXPECT_EQ(left(-50, 1050), 600);
  // Moved up or down, a side still has room.
  const RECT low = ui::BesideOnScreen(RECT{100, 500, 600, 800}, 400, 300, fit);
  EXPECT_EQ(low.left, 600);
  EXPECT_EQ(low.top, 400);
  EXPECT_EQ(low.right - low.left, 400);
  EXPECT_EQ(low.bottom - low.top, 300);
  const RECT lowLeft = ui::BesideOnScreen(RECT{500, 500, 700, 800}, 400, 300, fit);
  EXPECT_EQ(lowLeft.left, 100);
  EXPECT_EQ(lowLeft.top, 400);
}
