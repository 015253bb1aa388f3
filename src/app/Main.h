// The main window, a view over the application object: the options of a run, the date-times, start/stop, the picture.
#pragma once
#include "Base.h"
#include "comm/Scoped.h"
#include "app/InputDateTime.h"
#include "app/OptionBinding.h"
#include "app/Program.h"
#include "app/Prompts.h"
#include "engine/ChangeRun.h"
#include "targets/Collection.h"
#include "settings/RegMng.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/StdControls.h"
#include "ui/Timer.h"
#include "widgets/CommonButton.h"
#include <commctrl.h>
#include <cstdint>
#include <memory>
#include <string>

namespace app {

// A view over the application object: its controls show the options, its buttons, menu and keys
// call the object's commands.
class TVNStampShifter : public ui::Form, public targets::ICollectionHost, private IMainView {
  std::unique_ptr<TShifterApp> FOwnApp;  // when the window stands alone
  TShifterApp& FApp;

 public:
  // A window alone, with an application object of its own whose settings are at iniPath.
  explicit TVNStampShifter(const std::wstring& iniPath);
  // The program's main window over its application object; creating it loads the settings.
  explicit TVNStampShifter(TShifterApp& app);
  ~TVNStampShifter() override;

  TShifterApp& App() { return FApp; }

  // ---- controls, top to bottom ----
  ui::GroupBox GroupBoxType;
  ui::RadioButton RadioButtonFile, RadioButtonFolder, RadioButtonAll;
  ui::CheckBox CheckBoxSubFolder, CheckBoxExtSelect;
  ui::Edit EditExtString;
  widgets::TCommonButton SpeedButtonListView, SpeedButtonSelect;
  ui::Panel PanelMain;
  ui::CheckBox CheckBoxDateChg, CheckBoxCreate;
  ui::Edit EditCreate;
  widgets::TCommonButton SpeedButtonCreate;
  ui::CheckBox CheckBoxUpdate;
  ui::Edit EditUpdate;
  widgets::TCommonButton SpeedButtonUpdate;
  ui::CheckBox CheckBoxAttrChg;
  ui::Label LabelReadOnly, LabelHidden, LabelSystem;
  ui::Panel PanelReadOnly, PanelHidden, PanelSystem;
  ui::CheckBox CheckBoxReadOnly, CheckBoxHidden, CheckBoxSystem;
  ui::RadioButton RadioButtonReadOnlyON, RadioButtonReadOnlyOFF;
  ui::RadioButton RadioButtonHiddenON, RadioButtonHiddenOFF;
  ui::RadioButton RadioButtonSystemON, RadioButtonSystemOFF;
  ui::Label LabelMsg;
  ui::Panel PanelVorna;
  ui::PaintBox ImageVorna;
  ui::Label LabelDropZone;
  ui::CheckBox CheckBoxAutoExit;
  ui::Button ButtonSet, ButtonEnd, ButtonHelp;
  ui::ProgressBar ProgressBar;
  ui::PopupMenu PopupMenu;
  ui::MenuItem* Preview1 = nullptr;
  ui::MenuItem* Undo1 = nullptr;
  ui::MenuItem* Report1 = nullptr;
  ui::MenuItem* About1 = nullptr;
  ui::MenuItem* Exit1 = nullptr;
  ui::Timer Timer;
  settings::TRegManager& RegManager = FApp.RegManager;

  // ---- enabling rules; each may be called with no sender to re-apply it ----
  void CheckBoxAttrChgClick(ui::Control* sender);
  void CheckBoxReadOnlyClick(ui::Control* sender);
  void CheckBoxHiddenClick(ui::Control* sender);
  void CheckBoxSystemClick(ui::Control* sender);
  void CheckBoxDateChgClick(ui::Control* sender);
  void CheckBoxCreateClick(ui::Control* sender);
  void CheckBoxUpdateClick(ui::Control* sender);
  void RadioButtonFileClick(ui::Control* sender);
  void CheckBoxExtSelectClick(ui::Control* sender);

  // Redraws one of the two date edits from the stored parts of its side.
  void ShowDateTime(ui::Edit* edit);
  // Locks and unlocks the user interface around a collection.
  void SetControlsEnabled(bool enabled) override;

  // ---- the options a collection reads, afresh at every decision ----
  bool FilesOnly() const override { return RadioButtonFile.Checked(); }
  bool FoldersOnly() const override { return RadioButtonFolder.Checked(); }
  bool SubFolders() const override { return CheckBoxSubFolder.Checked(); }
  bool ExtSelect() const override { return CheckBoxExtSelect.Checked(); }
  std::wstring ExtString() const override { return EditExtString.Text(); }
  int SplashCount() const override { return FSplashCount; }
  bool Shown() const override { return FShown; }
  void FocusMainWindow() override;
  // A collection handles every pending message at once; a run paces them (ProcessMessages).
  void ProcessPendingMessages() override;
  void SetBusyCursor(bool busy) override;
  void Inform(HWND owner, const std::wstring& text) override { Prompts().Inform(owner, text); }
  void ShowError(HWND owner, const std::wstring& text) override { Prompts().ShowError(owner, text); }
  // Switches both windows between the idle and the running state of a change run.
  void SetIdleState(bool idle) override;

  void SpeedButtonCreateClick(ui::Control* sender);
  void TimerTimer(ui::Control* sender);
  void ImageVornaClick(ui::Control* sender);
  void ButtonSetClick(ui::Control* sender);
  void ButtonEndClick(ui::Control* sender);
  void Exit1Click(ui::Control* sender);
  void About1Click(ui::Control* sender);
  // Gives back the last run's changes, after showing what they were.
  void Undo1Click(ui::Control* sender);
  void Preview1Click(ui::Control* sender);
  void Report1Click(ui::Control* sender);
  // The journal every run keeps, for the undo command; without one (empty), runs keep none.
  void SetJournalPath(const std::wstring& path) { FApp.SetJournalPath(path); }
  const std::wstring& JournalPath() const { return FApp.JournalPath(); }
  // The undo command is there to use: a journal exists and nothing else is going on.
  bool UndoAvailable() const { return FApp.UndoAvailable(); }
  void UpdateUndoCommand() override;
  void ButtonHelpClick(ui::Control* sender);
  void SpeedButtonListViewClick(ui::Control* sender);
  void SpeedButtonSelectClick(ui::Control* sender);
  void D1Click(ui::Control* sender);
  void F1Click(ui::Control* sender);

  // The options between the INI file and the controls; SaveSettings writes what the controls show.
  // Each returns what the settings met, shown by the caller.
  settings::TSettingsOutcome LoadSettings();
  settings::TSettingsOutcome SaveSettings() { return FApp.SaveOptions(); }
  settings::TAppOptions& FOptions = FApp.Options;

  // The message boxes of this window and of the commands it runs.
  const TPrompts& Prompts() const { return FApp.Prompts(); }

  // The speech text of an animation frame.
  static const wchar_t* SpeechOfFrame(int frame);

  // ---- state shared with the change run, the settings and the date-time dialog ----
  // The stored date-times and their options, shared with the date-time dialog; the fields below
  // are names for its parts.
  TDateEntryState& FDateState = FApp.DateState;
  uint16_t (&FDateParts)[2][6] = FDateState.Parts;
  bool (&FTimeFree)[2] = FDateState.TimeFree;
  bool (&FSecondFree)[2] = FDateState.SecondFree;
  bool& FCreateUpdate = FDateState.CreateUpdate;
  int& FDialogTarget = FDateState.Target;
  // The date-time dialog, made once at start-up after this window.
  TFormInputDateTime* FInputDateTime = nullptr;
  std::wstring FDialogCaptions[2];
  int FAnimFrame = 0;
  bool FKeyHandled = false;
  bool FShown = false;
  int32_t FSplashCount = 100;
  // A change run is in progress.
  bool Running() const { return FApp.Running(); }
  // The run, once the target list it walks is known.
  void SetTargets(engine::IChangeTargets* targets) { FApp.SetTargets(targets); }
  engine::TChangeRun* ChangeRun() const { return FApp.ChangeRun(); }

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DoShow() override;
  void DoKeyDown(WORD& key, unsigned shift) override;
  void DoKeyPress(wchar_t& key) override;
  bool DoCanResize(int& width, int& height) override;

 private:
  void FormCreate();
  void BuildControls();
  void PaintVorna(HDC dc);
  void SetExtEditColor(bool enabled);
  // Controls that the run and the collection lock switch together, and the switch itself.
  std::vector<ui::Control*> LockedControls();
  void SwitchLockedControls(bool enabled);
  // The enabling rules of the type, date and attribute options, in this order.
  void ReapplyRules();
  // The controls that show stored options, in the order they are set.
  std::vector<TOptionBinding> OptionBindings() const;

  // IMainView
  HWND ViewHandle() const override { return Handle(); }
  bool ViewEnabled() const override { return IsWindowEnabled(Handle()) != FALSE; }
  RECT ViewBounds() const override { return BoundsRect(); }
  void CollectShownOptions(settings::TAppOptions& options) const override;
  void SetProgressRange(int min, int max) override { ProgressBar.SetRange(min, max); }
  void SetProgressPosition(int position) override { ProgressBar.SetPosition(position); }
  void RequestClose() override { Close(); }
  void BringToFront() override;

  // The window's left and top edges as the user placed it, also while it is minimised.
  POINT PlacedPosition() const;

  static const wchar_t* const kSetHintIdle;
  static const wchar_t* const kSetHintRunning;
  comm::TImageList ImageList;
  int FDrawnFrame = -1;  // frame shown on the picture; -1 before the first tick
};

}  // namespace app
