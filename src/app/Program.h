// The application object: the options, the stored date-times, the target list, the commands and the prompts.
#pragma once
#include "Base.h"
#include "comm/Clock.h"
#include "app/InputDateTime.h"
#include "app/Prompts.h"
#include "engine/ChangeRun.h"
#include "engine/UndoJournal.h"
#include "settings/AppSettings.h"
#include "settings/RegMng.h"
#include <memory>
#include <string>
#include <vector>

namespace app {

// The main window as the application object sees it: the view that shows the options and the run.
class IMainView {
 public:
  virtual ~IMainView() = default;
  // The owner of the prompts; null before the window exists.
  virtual HWND ViewHandle() const = 0;
  virtual bool ViewEnabled() const = 0;
  virtual RECT ViewBounds() const = 0;
  // The options as the controls show them.
  virtual void CollectShownOptions(settings::TAppOptions& options) const = 0;
  // Switches the view between the idle and the running state of a change run.
  virtual void SetIdleState(bool idle) = 0;
  virtual void SetProgressRange(int min, int max) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void RequestClose() = 0;
  virtual void BringToFront() = 0;
  virtual void UpdateUndoCommand() = 0;
};

// The file list window as the commands reach it.
class IListView {
 public:
  virtual ~IListView() = default;
  // Shows the window beside the main window's bounds.
  virtual void ShowBeside(const RECT& mainBounds) = 0;
  // Its list and commands, locked under a collection or a run.
  virtual void SetListControlsEnabled(bool enabled) = 0;
  // The window as a whole.
  virtual void SetListEnabled(bool enabled) = 0;
  // Collects the paths into the target list.
  virtual void AddPaths(const std::vector<std::wstring>& paths) = 0;
};

// The selection commands (menu, folder browser, file dialog) and the picture's drop target.
class ISelectView {
 public:
  virtual ~ISelectView() = default;
  virtual void SelectMenu() = 0;
  virtual void SelectFolder() = 0;
  virtual void SelectFiles() = 0;
  virtual void SetDropAcceptance(bool accept) = 0;
};

// Owns what outlives any one window. Views attach themselves and detach as they go; a command whose
// view is missing does nothing, so a main window runs alone (as tests make it) and with the others.
class TShifterApp : private engine::IChangeWindow, private engine::IChangeUser {
 public:
  // Points the settings at iniPath; nothing is read until LoadOptions.
  explicit TShifterApp(const std::wstring& iniPath);
  ~TShifterApp() override;
  TShifterApp(const TShifterApp&) = delete;
  TShifterApp& operator=(const TShifterApp&) = delete;

  settings::TRegManager RegManager;
  // The saved options, as last loaded or collected from the main window.
  settings::TAppOptions Options;
  // The stored date-times and their options, shared with the date-time dialog.
  TDateEntryState DateState;
  const TPrompts& Prompts() const { return FPrompts; }

  // ---- settings ----
  // Reads the options and the stored date-times (now when none are stored) and writes back those
  // that prove the file takes writes. A file that is there but unreadable is never written over.
  settings::TSettingsOutcome LoadOptions();
  // Collects the options from the main window and writes them; a failure is returned, not shown.
  settings::TSettingsOutcome SaveOptions();
  // A settings failure, shown once as the settings' error box.
  void ShowSettingsFailure(const settings::TSettingsOutcome& outcome) const;
  // What the settings noted on reads since the last look (an unknown name, a refused read), shown once.
  void ShowNotedSettingsFailure();
  bool SettingsUnread() const { return FSettingsUnread; }
  // Keeps the folder of a selection in "FolderPath"; a failure is shown.
  void RememberFolder(const std::wstring& folder);
  std::wstring RememberedFolder();

  // ---- views ----
  void AttachMainView(IMainView* view) { FMainView = view; }
  void AttachListView(IListView* view) { FListView = view; }
  void AttachSelectView(ISelectView* view) { FSelectView = view; }
  HWND Owner() const { return FMainView ? FMainView->ViewHandle() : nullptr; }

  // ---- commands ----
  // Each of these four is false when it has no window to do it in, or is refused during a run.
  bool ShowList();
  bool SelectMenu();
  bool SelectFolder();
  bool SelectFiles();
  // Collects paths (selections and drops) into the target list.
  void AddPaths(const std::vector<std::wstring>& paths);
  // The about box, where the program is registered in Send To or removed from it.
  void About();
  // Starts a run, or stops the one in progress.
  void RunOrStop();
  // Gives back the last run's changes, after showing what they were.
  void Undo();
  bool UndoAvailable() const;
  // The preview of what a run with the window's settings would do to each target, modal over the
  // main window; its "開始" starts that run. False when refused: under a run or a collection.
  bool ShowPreview();
  // The report of the last run or undo (this program's, or another's that came later), modal over the
  // main window; without one, a message. False when refused: under a run.
  bool ShowReport();
  // The views besides the main window follow its lock: their list controls and drop target.
  void LockOtherViews(bool enabled);
  void SetListEnabled(bool enabled);

  // ---- the run ----
  // The run, once the target list it walks is known.
  void SetTargets(engine::IChangeTargets* targets);
  engine::TChangeRun* ChangeRun() const { return FChangeRun.get(); }
  bool Running() const { return FChangeRun && FChangeRun->Running(); }
  // The journal every run keeps, for the undo command; without one (empty), runs keep none.
  void SetJournalPath(const std::wstring& path);
  const std::wstring& JournalPath() const { return FJournalPath; }

  // ---- time rules ----
  // The sides' rules as the date-time dialog left them, with the reader of the files' taken times.
  engine::TTargetTimeRules TargetTimeRules() const override;
  // The plan a run started now would take (engine::BuildChangePlan over this object).
  bool BuildPlan(engine::ChangePlan& plan, std::wstring& message) const;

 private:
  // engine::IChangeWindow
  engine::TChangeControls Controls() const override;
  engine::TDateParts DateParts() const override;
  void SetIdleState(bool idle) override;
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
  void UpdateUndoCommand();

  TPrompts FPrompts;
  IMainView* FMainView = nullptr;
  IListView* FListView = nullptr;
  ISelectView* FSelectView = nullptr;
  bool FSettingsUnread = false;
  std::unique_ptr<engine::TChangeRun> FChangeRun;
  engine::IChangeTargets* FTargets = nullptr;  // the list the run walks, for the preview
  std::wstring FJournalPath;
  std::unique_ptr<engine::TJournalWriter> FJournal;
  // A run handles the window's messages and moves its bar at this pace rather than for every
  // target: a stop click is still answered within this time, a small part of the 50 ms a user
  // would notice.
  static constexpr uint32_t kRunPaceMs = 15;
  comm::TPace FRunPace{kRunPaceMs}, FBarPace{kRunPaceMs};
  int FProgressMin = 0, FProgressMax = 0;
};

// The sides' rules between the options (names and offsets as text) and the dialog's state: a name or
// an offset that does not read gives the entered date-time, or no offset.
void TimeRulesFromOptions(const settings::TAppOptions& options, TDateEntryState& state);
void TimeRulesToOptions(const TDateEntryState& state, settings::TAppOptions& options);

// The run's switches as the options hold them.
engine::TChangeControls ChangeControlsOf(const settings::TAppOptions& options);

}  // namespace app
