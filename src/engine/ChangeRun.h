// The change run: applies the change plan to every entry of the target list, with the questions,
// the stop request and the summary. Reads the main window, the list and the user's answers through
// the three small interfaces below, so the same code runs in a test with scripted answers.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include "comm/NamedObject.h"
#include "engine/ChangeTarget.h"
#include "engine/RunReport.h"
#include "engine/TimeRule.h"
#include "engine/UndoJournal.h"
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace engine {

// The times one target gets where a side's time depends on the target itself (when the photo was
// taken, the date in its name, a shift of its own time): each side a file time (UTC) to write, or none
// when its rule has no value for this target (and then why). Such a side stays as it is, without a
// question.
struct TTargetTimes {
  TSideTime Creation, LastWrite;
};
// The rules of the two sides of the date step. A side whose rule is not Fixed takes its time from each
// target (the plan's date-time of that side is then the rule's entered value: date only, time only).
struct TTargetTimeRules {
  TTimeRule Rule[2];  // [dsCreate], [dsUpdate]
  // When the photo or video at a path (as the list shows it) was taken, read through open when it is
  // not null (a handle on that file with read access); empty: no file says.
  std::function<std::optional<media::TMediaTime>(const std::wstring& path, HANDLE open)> ReadTaken;
  // Some side the plan sets reads when its target was taken.
  bool ReadsTaken(bool setCreate, bool setUpdate) const {
    return (setCreate && Rule[0].Source == TTimeSource::Taken) || (setUpdate && Rule[1].Source == TTimeSource::Taken);
  }
  bool PerTarget(int side) const { return Rule[side].Source != TTimeSource::Fixed; }
  bool Any() const { return PerTarget(0) || PerTarget(1); }
};

// What one run applies; rebuilt from the main window's controls when a run starts.
struct ChangePlan {
  bool ChangeAttr = false;
  DWORD AttrMask = 0;    // read-only 1, hidden 2, system 4: the attributes the attribute step touches
  DWORD AttrValues = 0;  // the attributes it switches on; a subset of AttrMask
  bool ChangeDate = false;
  bool SetCreate = false;
  bool SetUpdate = false;
  comm::TDateTime CreateTime = 0;  // local time, whole seconds
  comm::TDateTime UpdateTime = 0;
  // An undo writes the file system's own times instead, as they were recorded.
  bool RawTimes = false;
  FILETIME CreateFileTime{}, UpdateFileTime{};
  // The sides' rules; while both are Fixed, both sides get the values above.
  TTargetTimeRules Rules;
};

// The stored date-times of the main window (FDateParts): [side][part].
enum TDateSide { dsCreate = 0, dsUpdate = 1 };
enum TDatePart { dpYear = 0, dpMonth, dpDay, dpHour, dpMinute, dpSecond };
using TDateParts = std::array<std::array<uint16_t, 6>, 2>;

// The states of the main window's controls that a run reads.
struct TChangeControls {
  bool AttrChg = false;  // CheckBoxAttrChg
  bool ReadOnly = false, ReadOnlyOn = false;  // CheckBoxReadOnly, RadioButtonReadOnlyON
  bool Hidden = false, HiddenOn = false;      // CheckBoxHidden, RadioButtonHiddenON
  bool System = false, SystemOn = false;      // CheckBoxSystem, RadioButtonSystemON
  bool DateChg = false;  // CheckBoxDateChg
  bool Create = false;   // CheckBoxCreate
  bool Update = false;   // CheckBoxUpdate
  bool AutoExit = false;  // CheckBoxAutoExit
};

// The times a run with the plan gives a target found in the state now: each side the plan sets, the
// plan's one value or, under per-target rules, the target's own; nothing for a side it does not set.
// open, when not null, is a handle on the target with read access for the taken time.
TTargetTimes PlannedTimes(const ChangePlan& plan, const std::wstring& path, const TTargetState& now,
                          HANDLE open = nullptr);

// AttrMask and AttrValues from the attribute check boxes and radio buttons.
void BuildAttrPlan(const TChangeControls& controls, ChangePlan& plan);
// CreateTime and UpdateTime from the stored parts. False, with a message for the user and the plan
// untouched, when a side's parts form no date or time.
bool BuildDatePlan(const TDateParts& parts, ChangePlan& plan, std::wstring& message);

// The answer to a question of the run. Closed: the box was closed without a button (also at once
// while the program is ending); it counts as YesToAll.
enum class TAnswer { Yes, Abort, YesToAll, Closed };

// What a question is about.
enum class TQuestion { Missing, AttrUnreadable, AttrWriteFailed, TimeUnreadable, TimeWriteFailed, ChangedSince };

// The buttons of every question, in order; the first is the default and Esc answers none.
inline constexpr const wchar_t* kQuestionButtons[3] = {L"はい(&Y)", L"中止(&A)", L"すべてはい(&A)"};
inline constexpr const wchar_t* kEmptyListText = L"ファイルまたはフォルダが選択されていません。";

// The question text for a path; CR is a single carriage return.
std::wstring QuestionText(TQuestion question, const std::wstring& path);
// The summary text of a run, and of an undo.
std::wstring SummaryText(bool aborted, int changed, int errors, int unchanged);
std::wstring UndoSummaryText(bool aborted, int changed, int errors, int unchanged);
// The texts of a journal that cannot be made, written or completed: the file and the system's reason.
std::wstring JournalBeginFailedText(const std::wstring& path, DWORD error);
std::wstring JournalWriteFailedText(const std::wstring& path, DWORD error);
std::wstring JournalEndFailedText(const std::wstring& path, DWORD error);
std::wstring JournalReadFailedText(const std::wstring& path, DWORD error);
std::wstring JournalDamagedText(const std::wstring& path);
// The run's question when another copy of the program (or the console companion) holds the journal.
std::wstring JournalBusyText(const std::wstring& path);
inline constexpr const wchar_t* kNothingToUndoText = L"元に戻せる変更はありません。";
// The undo's texts when another program holds the journal, and when the journal the user confirmed has
// been replaced or removed since.
inline constexpr const wchar_t* kJournalBusyUndoText =
    L"ほかの VornaStampShifter が変更中か、変更を元に戻している最中のため、元に戻せません。\r"
    L"その処理が終わってから、もう一度お試しください。";
inline constexpr const wchar_t* kJournalReplacedText =
    L"確認した後で、変更の記録がほかの VornaStampShifter によって置き換えられたか削除されたため、"
    L"何も元に戻しませんでした。\r新しい記録があれば、もう一度「直前の変更を元に戻す」を選ぶと内容を確認できます。";

// The target list as the run reads it: index 0 first.
class IChangeTargets {
 public:
  virtual ~IChangeTargets() = default;
  virtual int Count() const = 0;
  virtual std::wstring Entry(int index) const = 0;
};

// The user's side: modal boxes captioned with the application title, centred on the screen.
class IChangeUser {
 public:
  virtual ~IChangeUser() = default;
  // A question without an icon, with the buttons kQuestionButtons; question says what it is about.
  virtual TAnswer Ask(TQuestion question, const std::wstring& text) = 0;
  // An information box without an icon, with one button "OK".
  virtual void Inform(const std::wstring& text) = 0;
  // An error box (a plan that cannot be built).
  virtual void ShowError(const std::wstring& text) = 0;
  // A question without an icon, with the buttons "はい(&Y)" and "いいえ(&N)" (Esc answers no); true
  // for yes. defaultYes makes "はい(&Y)" the default button, otherwise "いいえ(&N)".
  virtual bool Confirm(const std::wstring& text, bool defaultYes) = 0;
  // Tells the user about the exception being handled (called inside a catch block only): a run that
  // something escaped from (a box that could not be made, memory running out) ends with it.
  virtual void ReportException() = 0;
};

// The main window's side.
class IChangeWindow {
 public:
  virtual ~IChangeWindow() = default;
  virtual TChangeControls Controls() const = 0;
  virtual TDateParts DateParts() const = 0;
  // The rules that take a side's time from each target; none: both sides get their date-time parts.
  virtual TTargetTimeRules TargetTimeRules() const { return {}; }
  // Switches the controls of both windows between idle (true) and running (false).
  virtual void SetIdleState(bool idle) = 0;
  // Handles every pending window message (a click on the stop button arrives here).
  virtual void ProcessMessages() = 0;
  // The hourglass over the whole application while busy.
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void SetProgressRange(int min, int max) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // Asks the main window to close (automatic exit after a run).
  virtual void RequestClose() = 0;
  // Shows the main window and brings it to the front.
  virtual void BringToFront() = 0;
};

// Counts of the last run.
struct TRunSummary {
  bool Aborted = false;
  int Changed = 0, Errors = 0, Unchanged = 0;
};

// The plan of a run from the main window: what its controls, stored date-times and rules say. False,
// with a message for the user, when a side's date-time parts form no date or time.
bool BuildChangePlan(const IChangeWindow& window, ChangePlan& plan, std::wstring& message);

// The run. Each entry is changed as the object it names: the file system is given the entry's literal
// form (comm_LiteralPath: "a." is not "a", "C:\" is the root and not the current folder of drive C), a
// link is changed itself, never what it leads to, and where the platform cannot do that the link gets
// the failure questions. Attributes are read back after they are written; a bit that did not take is a
// failed change, and so is a read-only attribute that could not be put back after the date step.
class TChangeRun {
 public:
  TChangeRun(IChangeWindow& window, IChangeTargets& targets, IChangeUser& user)
      : FWindow(window), FTargets(targets), FUser(user) {}

  // The start/stop button: starts a run when none is in progress; in every case then clears the
  // running flag (the stop request, when it arrives during a run) and puts the controls back to idle.
  // Whatever escapes a run (a box that cannot be made, memory running out) ends it: the window goes
  // back to idle, the user is told what happened and how far the run got, and nothing is rethrown.
  void ButtonSetClick();
  // The run itself.
  void ExecuteChange();
  // The journal each run keeps of what it changes (none without it); not owned. A run that cannot
  // make or write its journal asks whether to go on without it.
  void SetJournal(IChangeJournal* journal) { FJournal = journal; }
  // Gives back what the journal's run changed, as a run goes: the stop button, the questions and a
  // summary. A target that is already as the run found it counts as given back; one that was changed
  // after the run is asked about first. The journal itself is the caller's to remove.
  void UndoClick(const TJournal& journal);
  // True after an undo that gave back every target of its journal.
  bool UndoComplete() const { return FUndoComplete; }
  // The attribute step and the date step for one target on their own; true when the change was
  // written (and, for attributes, read back as written). A run takes both through one object per target.
  bool ChangeTargetAttr(const std::wstring& path);
  bool ChangeTargetDateTime(const std::wstring& path);

  // What the last run or undo did to each target it took (a target the user stopped at before anything
  // was done to it is not in it). Kept for the next run: a run whose journal does not hold it (it
  // changed nothing, or an undo) hands it to the journal's SaveReport.
  const TRunReport& Report() const { return FReport; }
  // Called once per target as soon as its outcome is known.
  void SetReportSink(TReportSink sink) { FReportSink = std::move(sink); }

  bool Running() const { return FRunning; }
  bool Aborted() const { return FAborted; }
  const ChangePlan& Plan() const { return FPlan; }
  const TRunSummary& LastSummary() const { return FSummary; }

  // How the run makes the object of one target (tests make one whose operations fail); without a
  // factory, the real one.
  using TTargetFactory =
      std::function<std::unique_ptr<TChangeTarget>(const std::wstring& literalPath, comm::TFolderNameCache& folders)>;
  void SetTargetFactory(TTargetFactory factory) { FTargetFactory = std::move(factory); }

 private:
  // Asks unless the user answered "すべてはい" earlier in this run; Abort sets FAborted. The report
  // keeps the first failure of a target: the system's error and what failed (note; None: as the
  // question says).
  void Ask(TQuestion question, const std::wstring& path, DWORD error = ERROR_SUCCESS,
           TReportNote note = TReportNote::None);
  // The outcome of the loop's present target, into the report, its sink and the journal.
  void EndEntry(TTargetOutcome outcome);
  std::unique_ptr<TChangeTarget> MakeTarget(const std::wstring& path);
  // Both steps on one target, with the read-only handling around the date step. knownState is the
  // target's state already read (null: none).
  void ChangeTarget(const std::wstring& path, TChangeTarget& target, bool& attrDone, bool& dateDone,
                    const TTargetState* knownState);
  // The times of a target under per-target rules, into FTargetTimes; false when its state cannot be
  // read (asked about).
  bool TakeTargetTimes(const std::wstring& path, TChangeTarget& target, const TTargetState* knownState);
  bool AttrStep(const std::wstring& path, TChangeTarget& target, DWORD& after, DWORD knownAttr);
  // How one target of a run or an undo went, for the counts of the summary.
  enum class TStepOutcome { Changed, Failed, Unchanged };
  // One target of a run, recorded in the journal first. Unchanged: nothing was to be done to it (its
  // rules had no value and no attribute was to change).
  TStepOutcome ChangeRecorded(const std::wstring& path, TChangeTarget& target);
  // One target of an undo; Changed when it is as the run found it.
  TStepOutcome UndoTarget(const TJournalHeader& header, const TJournalRecord& record, const std::wstring& path,
                          TChangeTarget& target);
  // Shared by the run and the undo: the busy state, the loop over the targets with the stop request
  // and the missing check, the counts and the summary.
  using TStep = std::function<TStepOutcome(int index, const std::wstring& path, TChangeTarget& target)>;
  void RunLoop(IChangeTargets& targets, bool undo, const TStep& step);
  // The run's journal: started before the loop (false: the user would rather not run without one),
  // ended after it.
  bool BeginJournal();
  void EndJournal();
  bool DateStep(const std::wstring& path, TChangeTarget& target);
  // Writes an attribute word and reads it back; true when the write was accepted and read-only,
  // hidden and system read back as written. after is the word read back (kNoFileAttributes if none).
  // error: the system's reason when the write or the read back was refused, 0 when it did not take.
  static bool WriteAttrChecked(TChangeTarget& target, DWORD current, DWORD wanted, DWORD& after, DWORD& error);
  // After an exception escaped the run: the window back to idle, the user told.
  void RecoverFromException();

  IChangeWindow& FWindow;
  IChangeTargets& FTargets;
  IChangeUser& FUser;
  ChangePlan FPlan;
  TRunSummary FSummary;
  bool FRunning = false;
  bool FExecuting = false;  // inside ExecuteChange, from its start to its summary
  bool FAborted = false;
  bool FNoMoreQuestions = false;
  bool FSummaryDue = false;  // the run has started its loop and not yet shown its summary
  TTargetFactory FTargetFactory;
  IChangeJournal* FJournal = nullptr;
  bool FJournalOn = false;      // this run writes the journal
  bool FJournalCommitted = false;
  bool FUndoComplete = false;
  // The recorded target a run is changing while its journal is not yet the last run's.
  struct TUncommitted {
    TChangeTarget& target;
    const TTargetState& before;
  };
  TUncommitted* FUncommitted = nullptr;
  IChangeTargets* FLoopTargets = nullptr;  // the targets of the loop in progress
  bool FUndoing = false;
  bool FOverwriteChanged = false;  // "すべてはい" to a target changed since the run, in this undo
  comm::TFolderNameCache FFolderNames;
  // The present target's times under per-target rules; FNoDateValue when no side it sets has one.
  TTargetTimes FTargetTimes;
  bool FNoDateValue = false;
  // The report of the run in progress, or of the last one.
  TRunReport FReport;
  TReportSink FReportSink;
  TReportEntry* FEntry = nullptr;  // the present target's entry
  bool FFailureNoted = false;      // it holds its failure
  bool FEntryRecorded = false;     // it has a record of its state in the journal
  bool FJournalCutShort = false;   // the journal stopped being written before the run ended
};

}  // namespace engine
