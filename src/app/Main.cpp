// The main window: construction, enabling rules, locks, date display, commands and the options shown.
#include "app/Main.h"
#include "app/HelpTopics.h"
#include "comm/DateTime.h"
#include "ui/Application.h"

namespace app {

TVNStampShifter::TVNStampShifter(const std::wstring& iniPath)
    : FOwnApp(std::make_unique<TShifterApp>(iniPath)), FApp(*FOwnApp) {
  FormCreate();
}

TVNStampShifter::TVNStampShifter(TShifterApp& app) : FApp(app) { FormCreate(); }

TVNStampShifter::~TVNStampShifter() {
  Timer.SetEnabled(false);
  // FormDestroy: the options go to the INI file when the window goes.
  FApp.ShowSettingsFailure(SaveSettings());
  FApp.AttachMainView(nullptr);
}

void TVNStampShifter::FormCreate() {
  FDialogCaptions[0] = L"作成日時入力";
  FDialogCaptions[1] = L"更新日時入力";
  BuildControls();
  FApp.AttachMainView(this);
  FApp.ShowSettingsFailure(LoadSettings());
  // The enabling rules are applied even after a failed load, so that no control is left in a state
  // its rule forbids.
  CheckBoxDateChgClick(nullptr);
  CheckBoxAttrChgClick(nullptr);
  RadioButtonFileClick(nullptr);
  FAnimFrame = 0;
  FShown = false;
}

// ---- enabling rules ----

void TVNStampShifter::CheckBoxAttrChgClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked();
  for (ui::Control* c : std::initializer_list<ui::Control*>{&LabelReadOnly, &LabelHidden, &LabelSystem})
    c->SetEnabled(on);
  CheckBoxReadOnly.SetEnabled(on);
  CheckBoxReadOnlyClick(nullptr);
  CheckBoxHidden.SetEnabled(on);
  CheckBoxHiddenClick(nullptr);
  CheckBoxSystem.SetEnabled(on);
  CheckBoxSystemClick(nullptr);
}

void TVNStampShifter::CheckBoxReadOnlyClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked() && CheckBoxReadOnly.Checked();
  RadioButtonReadOnlyON.SetEnabled(on);
  RadioButtonReadOnlyOFF.SetEnabled(on);
}

void TVNStampShifter::CheckBoxHiddenClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked() && CheckBoxHidden.Checked();
  RadioButtonHiddenON.SetEnabled(on);
  RadioButtonHiddenOFF.SetEnabled(on);
}

void TVNStampShifter::CheckBoxSystemClick(ui::Control*) {
  bool on = CheckBoxAttrChg.Checked() && CheckBoxSystem.Checked();
  RadioButtonSystemON.SetEnabled(on);
  RadioButtonSystemOFF.SetEnabled(on);
}

void TVNStampShifter::CheckBoxDateChgClick(ui::Control*) {
  bool on = CheckBoxDateChg.Checked();
  CheckBoxCreate.SetEnabled(on);
  CheckBoxCreateClick(nullptr);
  CheckBoxUpdate.SetEnabled(on);
  CheckBoxUpdateClick(nullptr);
}

void TVNStampShifter::CheckBoxCreateClick(ui::Control*) {
  bool on = CheckBoxDateChg.Checked() && CheckBoxCreate.Checked();
  EditCreate.SetEnabled(on);
  SpeedButtonCreate.SetEnabled(on);
}

void TVNStampShifter::CheckBoxUpdateClick(ui::Control*) {
  bool on = CheckBoxDateChg.Checked() && CheckBoxUpdate.Checked();
  EditUpdate.SetEnabled(on);
  SpeedButtonUpdate.SetEnabled(on);
}

void TVNStampShifter::SetExtEditColor(bool enabled) { EditExtString.SetColor(enabled ? ui::clWindow : ui::clBtnFace); }

void TVNStampShifter::RadioButtonFileClick(ui::Control*) {
  bool on = RadioButtonFile.Checked() || RadioButtonAll.Checked();
  CheckBoxExtSelect.SetEnabled(on);
  EditExtString.SetEnabled(CheckBoxExtSelect.Enabled());
  SetExtEditColor(EditExtString.Enabled());
}

void TVNStampShifter::CheckBoxExtSelectClick(ui::Control*) {
  if (FShown && CheckBoxExtSelect.Checked()) EditExtString.SetFocus();
}

// ---- date display ----

void TVNStampShifter::ShowDateTime(ui::Edit* edit) {
  int side = edit->Tag == 1 ? 1 : 0;
  const uint16_t* p = FDateParts[side];
  // A rule that takes each target's own time shows in words, with the entered value it uses.
  if (const engine::TTimeRule& rule = FDateState.Rule[side]; rule.Source != engine::TTimeSource::Fixed) {
    comm::TDateTime entered = 0;
    comm::TryEncodeDateTime({p[0], p[1], p[2], p[3], p[4], p[5], 0}, entered);
    edit->SetText(L"　" + engine::RuleText(rule, static_cast<engine::TTimeSide>(side), entered));
    return;
  }
  // The parts are shown as stored; a part outside its range shows as it is rather than as some
  // other date, and the change run reports it.
  edit->SetText(L"　" + comm::FormatDateTimeParts(p[0], p[1], p[2], p[3], p[4], p[5]));
}

// ---- lock and run states ----

std::vector<ui::Control*> TVNStampShifter::LockedControls() {
  // Every control that shows an option, and those around them that lead to options or end the program.
  std::vector<ui::Control*> controls{&GroupBoxType};
  for (const TOptionBinding& b : OptionBindings()) controls.push_back(BoundControl(b));
  for (ui::Control* c : std::initializer_list<ui::Control*>{
           &SpeedButtonListView, &SpeedButtonSelect, &EditCreate, &SpeedButtonCreate, &EditUpdate, &SpeedButtonUpdate,
           &LabelReadOnly, &PanelReadOnly, &LabelHidden, &PanelHidden, &LabelSystem, &PanelSystem, &ButtonEnd,
           &LabelDropZone})
    controls.push_back(c);
  return controls;
}

void TVNStampShifter::SwitchLockedControls(bool enabled) {
  for (ui::Control* c : LockedControls()) c->SetEnabled(enabled);
  SetExtEditColor(enabled);
  FApp.LockOtherViews(enabled);
}
void TVNStampShifter::ReapplyRules() {
  RadioButtonFileClick(nullptr);
  CheckBoxDateChgClick(nullptr);
  CheckBoxAttrChgClick(nullptr);
}

void TVNStampShifter::SetIdleState(bool idle) {
  HWND focus = GetFocus();
  const bool focusHere = focus && IsChild(Handle(), focus);
  SwitchLockedControls(idle);
  // A run that disables the focused control hands the focus to "中断", so that the keyboard (Enter,
  // Space) can always stop it.
  if (!idle && focusHere && (GetFocus() != focus || !IsWindowEnabled(focus))) ButtonSet.SetFocus();
  if (idle) {
    ReapplyRules();
    ButtonSet.SetCaption(L"開始");
    ButtonSet.SetHint(kSetHintIdle);
  } else {
    ButtonSet.SetCaption(L"中断");
    ButtonSet.SetHint(kSetHintRunning);
  }
  UpdateUndoCommand();
}

void TVNStampShifter::SetControlsEnabled(bool enabled) {
  SwitchLockedControls(enabled);
  ButtonSet.SetEnabled(enabled);
  ButtonHelp.SetEnabled(enabled);
  if (enabled) ReapplyRules();
  SetEnabled(enabled);
  UpdateUndoCommand();
  FApp.SetListEnabled(enabled);
}

bool TVNStampShifter::DoCanResize(int&, int&) { return false; }

void TVNStampShifter::DoShow() { FShown = true; }

// ---- the view of the run ----

void TVNStampShifter::ButtonSetClick(ui::Control*) { FApp.RunOrStop(); }

void TVNStampShifter::UpdateUndoCommand() {
  if (Undo1) Undo1->Enabled = UndoAvailable();
  if (Preview1) Preview1->Enabled = !Running();
  if (Report1) Report1->Enabled = !Running();
}

void TVNStampShifter::Undo1Click(ui::Control*) { FApp.Undo(); }
void TVNStampShifter::Preview1Click(ui::Control*) { FApp.ShowPreview(); }
void TVNStampShifter::Report1Click(ui::Control*) { FApp.ShowReport(); }

void TVNStampShifter::FocusMainWindow() {
  if (HWND f = GetFocus(); f && IsChild(Handle(), f)) return;
  ::SetFocus(Handle());
}

void TVNStampShifter::ProcessPendingMessages() { ui::Application::Instance().ProcessMessages(); }
void TVNStampShifter::SetBusyCursor(bool busy) { ui::Application::Instance().SetBusyCursor(busy); }

void TVNStampShifter::BringToFront() {
  if (!Showing()) Show();
  ui::Form::BringToFront();
}

// ---- commands ----

void TVNStampShifter::SpeedButtonCreateClick(ui::Control* sender) {
  if (!FInputDateTime || !sender) return;
  FDialogTarget = sender->Tag == 1 ? 1 : 0;
  // Just right of this window, level with the button that was pressed.
  POINT top{sender->Left(), sender->Top()};
  if (sender->Parent()) ClientToScreen(sender->Parent()->Handle(), &top);
  FInputDateTime->SetPositionOnScreen(Left() + Width(), top.y);
  FInputDateTime->SetCaption(FDialogCaptions[FDialogTarget]);
  FInputDateTime->CheckBoxTime.SetChecked(FTimeFree[FDialogTarget]);
  FInputDateTime->CheckBoxSecond.SetChecked(FSecondFree[FDialogTarget]);
  if (FInputDateTime->ShowModal() == ui::mrOk) {
    // Both sides: the dialog may have written the value to the other side too.
    ShowDateTime(&EditCreate);
    ShowDateTime(&EditUpdate);
  }
}

void TVNStampShifter::SpeedButtonListViewClick(ui::Control*) { FApp.ShowList(); }
void TVNStampShifter::SpeedButtonSelectClick(ui::Control*) { FApp.SelectMenu(); }
void TVNStampShifter::D1Click(ui::Control*) { FApp.SelectFolder(); }
void TVNStampShifter::F1Click(ui::Control*) { FApp.SelectFiles(); }
void TVNStampShifter::About1Click(ui::Control*) { FApp.About(); }

void TVNStampShifter::ButtonEndClick(ui::Control*) { Close(); }
void TVNStampShifter::Exit1Click(ui::Control*) { Close(); }

void TVNStampShifter::ButtonHelpClick(ui::Control*) { ui::Application::Instance().HelpCommand(HELP_FINDER, 0); }

// ---- the options shown ----

std::vector<TOptionBinding> TVNStampShifter::OptionBindings() const {
  using O = settings::TAppOptions;
  // The controls are the window's own; binding them does not change them.
  auto& w = const_cast<TVNStampShifter&>(*this);
  // In the order they are applied: of two radio buttons of a group both stored as checked, the later
  // wins, and each check box runs its enabling rule as it is set.
  return {
      TOptionBinding{TRadioBinding{&O::TypeFile, &w.RadioButtonFile}},
      TOptionBinding{TRadioBinding{&O::TypeFolder, &w.RadioButtonFolder}},
      TOptionBinding{TRadioBinding{&O::TypeAll, &w.RadioButtonAll}},
      TOptionBinding{TCheckBinding{&O::SubFolder, &w.CheckBoxSubFolder}},
      TOptionBinding{TCheckBinding{&O::ExtSelect, &w.CheckBoxExtSelect}},
      TOptionBinding{TTextBinding{&O::ExtString, &w.EditExtString}},
      TOptionBinding{TCheckBinding{&O::DateChange, &w.CheckBoxDateChg}},
      TOptionBinding{TCheckBinding{&O::AttrChange, &w.CheckBoxAttrChg}},
      TOptionBinding{TCheckBinding{&O::ReadOnly, &w.CheckBoxReadOnly}},
      TOptionBinding{TRadioBinding{&O::ReadOnlyOn, &w.RadioButtonReadOnlyON}},
      TOptionBinding{TRadioBinding{&O::ReadOnlyOff, &w.RadioButtonReadOnlyOFF}},
      TOptionBinding{TCheckBinding{&O::Hidden, &w.CheckBoxHidden}},
      TOptionBinding{TRadioBinding{&O::HiddenOn, &w.RadioButtonHiddenON}},
      TOptionBinding{TRadioBinding{&O::HiddenOff, &w.RadioButtonHiddenOFF}},
      TOptionBinding{TCheckBinding{&O::System, &w.CheckBoxSystem}},
      TOptionBinding{TRadioBinding{&O::SystemOn, &w.RadioButtonSystemON}},
      TOptionBinding{TRadioBinding{&O::SystemOff, &w.RadioButtonSystemOFF}},
      TOptionBinding{TCheckBinding{&O::AutoEnd, &w.CheckBoxAutoExit}},
      TOptionBinding{TCheckBinding{&O::CreateDateTime, &w.CheckBoxCreate}},
      TOptionBinding{TCheckBinding{&O::UpdateDateTime, &w.CheckBoxUpdate}},
  };
}

void TVNStampShifter::CollectShownOptions(settings::TAppOptions& options) const {
  const POINT placed = PlacedPosition();
  options.Left = placed.x;
  options.Top = placed.y;
  CollectOptions(OptionBindings(), options);
}

settings::TSettingsOutcome TVNStampShifter::LoadSettings() {
  const settings::TSettingsOutcome outcome = FApp.LoadOptions();
  const settings::TAppOptions& o = FOptions;
  if (o.Left) {
    // A position off the screen (a monitor since removed, a smaller screen) is moved onto the nearest
    // monitor.
    SetPositionOnScreen(*o.Left, o.Top);
  } else {
    CenterOnScreen();
  }
  ApplyOptions(OptionBindings(), o);
  FSplashCount = o.SplashCount;
  // The edits show the date-times a run would write, whatever became of the file.
  ShowDateTime(&EditCreate);
  ShowDateTime(&EditUpdate);
  CheckBoxCreateClick(nullptr);
  CheckBoxUpdateClick(nullptr);
  return outcome;
}

POINT TVNStampShifter::PlacedPosition() const {
  if (!IsIconic(Handle())) return POINT{Left(), Top()};
  // A minimised window stands far outside the screen; its place is the one it is restored to.
  const RECT restored = ui::RestoredBounds(Handle());
  return POINT{restored.left, restored.top};
}

LRESULT TVNStampShifter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ENDSESSION && wp) {
    // Windows is ending the session: the process may end before this window is destroyed, so the
    // options are saved now. No box can be answered at this point; a failed save stays silent.
    (void)SaveSettings();
    return 0;
  }
  return ui::Form::WndProc(msg, wp, lp);
}

}  // namespace app
