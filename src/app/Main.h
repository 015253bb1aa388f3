// The main window: the options of a change run, the stored date-times, start/stop, the picture.
#pragma once
#include "Base.h"
#include "comm/Clock.h"
#include "comm/Scoped.h"
#include "app/InputDateTime.h"
#include "app/OptionBinding.h"
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
#include <functional>
#include <memory>
#include <string>

namespace app {

class TVNStampShifter : public ui::Form,
                        public targets::ICollectionHost,
                        private engine::IChangeWindow,
                        private engine::IChangeUser {
 public:
  // Creates the window and its controls, points the settings at iniPath and loads them.
  explicit TVNStampShifter(const std::wstring& iniPath);
  ~TVNStampShifter() override;

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
  ui::MenuItem* Undo1 = nullptr;
  ui::MenuItem* About1 = nullptr;
  ui::MenuItem* Exit1 = nullptr;
  ui::Timer Timer;
  settings::TRegManager RegManager;

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
  // The journal every run keeps, for the undo command; without one (empty), runs keep none.
  void SetJournalPath(const std::wstring& path);
  const std::wstring& JournalPath() const { return FJournalPath; }
  // The undo command is there to use: a journal exists and nothing else is going on.
  bool UndoAvailable() const;
  void UpdateUndoCommand();
  void ButtonHelpClick(ui::Control* sender);
  void SpeedButtonListViewClick(ui::Control* sender);
  void SpeedButtonSelectClick(ui::Control* sender);
  void D1Click(ui::Control* sender);
  void F1Click(ui::Control* sender);

  // The options between the INI file and the controls; SaveSettings writes what the controls show.
  void LoadSettings();
  void SaveSettings();
  settings::TAppOptions FOptions;

  // The message boxes of this window and of the commands it runs.
  const TPrompts& Prompts() const { return FPrompts; }

  // The speech text of an animation frame.
  static const wchar_t* SpeechOfFrame(int frame);

  // ---- state shared with the change run, the settings and the date-time dialog ----
  // The stored date-times and their options, shared with the date-time dialog; the fields below
  // are names for its parts.
  TDateEntryState FDateState;
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
  // The settings file was there at start-up but could not be read: nothing is saved over it.
  bool FSettingsUnread = false;
  // A change run is in progress.
  bool Running() const { return FChangeRun && FChangeRun->Running(); }
  // The run, once the target list it walks is known.
  void SetTargets(engine::IChangeTargets* targets);
  engine::TChangeRun* ChangeRun() const { return FChangeRun.get(); }

  // Hooks to the windows and commands made after this one (the file list window, the date-time
  // dialog, the selection commands); start-up connects them.
  std::function<void(bool enabled)> OnListControlsEnabled;  // file list window's list and commands
  std::function<void(bool enabled)> OnListWindowEnabled;    // the file list window as a whole
  std::function<void(bool accept)> OnDropAcceptance;       // drop target of the picture
  std::function<void()> OnShowList;                         // show the file list window beside this one
  std::function<void()> OnSelectMenu;                       // drop down the selection menu
  std::function<void()> OnSelectFolder;                     // folder selection
  std::function<void()> OnSelectFiles;                      // file selection
  std::function<void()> OnAbout;                            // the about dialog

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
  std::vector<TOptionBinding> OptionBindings();

  // engine::IChangeWindow
  engine::TChangeControls Controls() const override;
  engine::TDateParts DateParts() const override;
  void ProcessMessages() override;
  void SetBusyCursor(bool busy) override;
  void SetProgressRange(int min, int max) override;
  void SetProgressPosition(int position) override;
  void RequestClose() override;
  void BringToFront() override;
  // engine::IChangeUser
  engine::TAnswer Ask(engine::TQuestion question, const std::wstring& text) override;
  void Inform(const std::wstring& text) override;
  void ShowError(const std::wstring& text) override;
  void ReportException() override;
  bool Confirm(const std::wstring& text, bool defaultYes) override;

  // The window's left and top edges as the user placed it, also while it is minimised.
  POINT PlacedPosition() const;

  TPrompts FPrompts;
  settings::TErrorBoxHook FPreviousSettingsReporter;  // given back when this window goes
  comm::TImageList ImageList;
  int FDrawnFrame = -1;  // frame shown on the picture; -1 before the first tick
  std::unique_ptr<engine::TChangeRun> FChangeRun;
  std::wstring FJournalPath;
  std::unique_ptr<engine::TJournalWriter> FJournal;
  // A run handles the window's messages and moves its bar at this pace rather than for every
  // target: a stop click is still answered within this time, a small part of the 50 ms a user
  // would notice.
  static constexpr uint32_t kRunPaceMs = 15;
  comm::TPace FRunPace{kRunPaceMs}, FBarPace{kRunPaceMs};
  int FProgressMin = 0, FProgressMax = 0;
};

}  // namespace app
