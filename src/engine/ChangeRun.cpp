// The change run over the target list, one target at a time on the user-interface thread.
#include "engine/ChangeRun.h"
#include "comm/ErrorText.h"
#include "comm/Scoped.h"
#include "comm/FileAttr.h"
#include "comm/FileDateTime.h"
#include "comm/LiteralPath.h"
#include <algorithm>
#include <cwchar>
#include <optional>

namespace engine {
namespace {

constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY, kHidden = FILE_ATTRIBUTE_HIDDEN, kSystem = FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kKept = kReadOnly | kHidden | kSystem;

// The journal's file and the system's reason, one to a line.
std::wstring JournalProblem(const wchar_t* what, const std::wstring& path, DWORD error, const wchar_t* question) {
  std::wstring reason = comm::SystemErrorText(error);
  if (reason.empty()) reason = L"エラー " + std::to_wstring(error);
  return std::wstring(what) + L"\r" + path + L"\r" + reason + (question ? L"\r\r" + std::wstring(question) : L"");
}

// The journal's records as the undo walks them.
class TJournalTargets : public IChangeTargets {
 public:
  explicit TJournalTargets(const TJournal& journal) : FJournal(journal) {}
  int Count() const override { return static_cast<int>(FJournal.Records.size()); }
  std::wstring Entry(int index) const override { return FJournal.Records.at(static_cast<size_t>(index)).Path; }

 private:
  const TJournal& FJournal;
};

// What a question says failed, for the report.
TReportNote NoteOf(TQuestion question) {
  switch (question) {
    case TQuestion::AttrUnreadable: return TReportNote::AttrUnreadable;
    case TQuestion::AttrWriteFailed: return TReportNote::AttrWriteFailed;
    case TQuestion::TimeUnreadable: return TReportNote::TimeUnreadable;
    case TQuestion::TimeWriteFailed: return TReportNote::TimeWriteFailed;
    case TQuestion::Missing:
    case TQuestion::ChangedSince: break;
  }
  return TReportNote::None;
}

TReportNote NoteOf(TNoValue reason) {
  switch (reason) {
    case TNoValue::NoMetadata: return TReportNote::NoTakenTime;
    case TNoValue::NoNameDate: return TReportNote::NoNameDate;
    case TNoValue::NoCurrentTime: return TReportNote::NoCurrentTime;
    case TNoValue::OutOfRange: return TReportNote::OutOfRange;
  }
  return TReportNote::None;
}

std::wstring PartsText(const std::array<uint16_t, 6>& p) {
  return comm::FormatDateTimeParts(p[dpYear], p[dpMonth], p[dpDay], p[dpHour], p[dpMinute], p[dpSecond]);
}

}  // namespace

TTargetTimes PlannedTimes(const ChangePlan& plan, const std::wstring& path, const TTargetState& now, HANDLE open) {
  TTargetTimes times;
  if (!plan.ChangeDate) return times;
  if (plan.Rules.Any()) {
    TRuleTarget target;
    target.Path = path;
    target.Current[tsCreate] = now.Creation;
    target.Current[tsUpdate] = now.LastWrite;
    // A link's own handle holds no picture: its time is read where the link leads, as the preview reads it.
    const HANDLE data = now.Attr & FILE_ATTRIBUTE_REPARSE_POINT ? nullptr : open;
    if (plan.Rules.ReadTaken) target.ReadTaken = [&] { return plan.Rules.ReadTaken(path, data); };
    TRuleEvaluator rules({{plan.Rules.Rule[dsCreate], plan.Rules.Rule[dsUpdate]}, {plan.CreateTime, plan.UpdateTime}},
                         std::move(target));
    if (plan.SetCreate) times.Creation = rules.Evaluate(tsCreate);
    if (plan.SetUpdate) times.LastWrite = rules.Evaluate(tsUpdate);
  } else {
    times.Creation.HasValue = plan.SetCreate && comm::comm_ConvDateTimeToFileTime(plan.CreateTime, times.Creation.Time);
    times.LastWrite.HasValue = plan.SetUpdate && comm::comm_ConvDateTimeToFileTime(plan.UpdateTime, times.LastWrite.Time);
  }
  if (!plan.SetCreate) times.Creation = TSideTime{};
  if (!plan.SetUpdate) times.LastWrite = TSideTime{};
  return times;
}

bool BuildChangePlan(const IChangeWindow& window, ChangePlan& plan, std::wstring& message) {
  const TChangeControls controls = window.Controls();
  plan.ChangeAttr = controls.AttrChg;
  plan.ChangeDate = controls.DateChg;
  plan.SetCreate = controls.Create;
  plan.SetUpdate = controls.Update;
  if (plan.ChangeAttr) BuildAttrPlan(controls, plan);
  plan.Rules = TTargetTimeRules{};
  if (!plan.ChangeDate) return true;
  if (!BuildDatePlan(window.DateParts(), plan, message)) return false;
  plan.Rules = window.TargetTimeRules();
  return true;
}

void BuildAttrPlan(const TChangeControls& c, ChangePlan& plan) {
  plan.AttrMask = (c.ReadOnly ? kReadOnly : 0) | (c.Hidden ? kHidden : 0) | (c.System ? kSystem : 0);
  plan.AttrValues = (c.ReadOnly && c.ReadOnlyOn ? kReadOnly : 0) | (c.Hidden && c.HiddenOn ? kHidden : 0) |
                    (c.System && c.SystemOn ? kSystem : 0);
}

bool BuildDatePlan(const TDateParts& parts, ChangePlan& plan, std::wstring& message) {
  comm::TDateTime values[2];
  for (int side = dsCreate; side <= dsUpdate; ++side) {
    const auto& p = parts[side];
    if (!comm::TryEncodeDateTime({p[dpYear], p[dpMonth], p[dpDay], p[dpHour], p[dpMinute], p[dpSecond], 0}, values[side])) {
      message = std::wstring(side == dsCreate ? L"作成日時" : L"更新日時") + L" " + PartsText(p) +
                L" は正しい日時ではありません。";
      return false;
    }
  }
  plan.CreateTime = values[dsCreate];
  plan.UpdateTime = values[dsUpdate];
  return true;
}

std::wstring QuestionText(TQuestion question, const std::wstring& path) {
  const wchar_t* what = L"";
  switch (question) {
    case TQuestion::Missing: what = L" が存在しません。"; break;
    case TQuestion::AttrUnreadable: what = L" の属性は変更できません。"; break;
    case TQuestion::AttrWriteFailed: what = L" の属性が変更できませんでした。"; break;
    case TQuestion::TimeUnreadable: what = L" の更新日時は変更できません。"; break;
    case TQuestion::TimeWriteFailed: what = L" の更新日時が変更できませんでした。"; break;
    case TQuestion::ChangedSince: return path + L" は変更の後で別に変更されています。\r元に戻して処理を続けますか？";
  }
  return path + what + L"\r" + L"処理を続けますか？";
}

namespace {
std::wstring CountsText(const wchar_t* heading, int changed, int errors, int unchanged) {
  return std::wstring(heading) + L"\r\r" + L"変更数\t\t： " +
         std::to_wstring(changed) + L"\r" + L"エラー数\t\t： " + std::to_wstring(errors) + L"\r" + L"未変更数\t： " +
         std::to_wstring(unchanged);
}
}  // namespace

std::wstring SummaryText(bool aborted, int changed, int errors, int unchanged) {
  return CountsText(aborted ? L"変更を中断しました。" : L"変更が終了しました。", changed, errors, unchanged);
}

std::wstring UndoSummaryText(bool aborted, int changed, int errors, int unchanged) {
  return CountsText(aborted ? L"元に戻す処理を中断しました。" : L"変更を元に戻しました。", changed, errors, unchanged);
}

std::wstring JournalBeginFailedText(const std::wstring& path, DWORD error) {
  return JournalProblem(L"変更を元に戻すための記録を作成できません。", path, error, L"記録せずに変更しますか？");
}

std::wstring JournalWriteFailedText(const std::wstring& path, DWORD error) {
  return JournalProblem(L"変更を元に戻すための記録を書き込めません。", path, error, L"記録せずに処理を続けますか？");
}

std::wstring JournalEndFailedText(const std::wstring& path, DWORD error) {
  return JournalProblem(L"変更を元に戻すための記録を保存できませんでした。", path, error, nullptr);
}

std::wstring JournalReadFailedText(const std::wstring& path, DWORD error) {
  return JournalProblem(L"変更の記録を読み込めません。", path, error, nullptr);
}

std::wstring JournalBusyText(const std::wstring& path) {
  return L"変更を元に戻すための記録を作成できません。\r" + path +
         L"\rほかの VornaStampShifter が変更中か、変更を元に戻している最中です。\r\r"
         L"記録せずに変更すると、この変更は元に戻せません。\r記録せずに変更しますか？";
}

std::wstring JournalDamagedText(const std::wstring& path) {
  return L"変更の記録が壊れているため、元に戻せません。\r" + path;
}

void TChangeRun::ButtonSetClick() {
  // A second click that arrives in the same pumping as the stop request (a double click on "中断")
  // finds the run stopping, not stopped: it must not start another run inside this one.
  if (!FRunning && !FExecuting) {
    FExecuting = true;
    comm::TScopeExit done([this] { FExecuting = false; });
    try {
      ExecuteChange();
    } catch (...) {
      RecoverFromException();
    }
  }
  FRunning = false;
  FWindow.SetIdleState(true);
}

void TChangeRun::UndoClick(const TJournal& journal) {
  FUndoComplete = false;
  if (FRunning || FExecuting) return;
  FOverwriteChanged = false;
  FExecuting = FUndoing = true;
  comm::TScopeExit done([this] { FExecuting = FUndoing = false; });
  TJournalTargets targets(journal);
  // Each target of an undo has a plan of its own; the run's plan is kept for the next run.
  const ChangePlan savedPlan = FPlan;
  comm::TScopeExit keepPlan([&] { FPlan = savedPlan; });
  try {
    RunLoop(targets, true, [&](int index, const std::wstring& path, TChangeTarget& target) {
      return UndoTarget(journal.Header, journal.Records[static_cast<size_t>(index)], path, target);
    });
    FUndoComplete = !FSummary.Aborted && FSummary.Errors == 0 && FSummary.Changed == targets.Count();
    FWindow.SetBusyCursor(false);
    FWindow.BringToFront();
    FWindow.SetProgressPosition(0);
  } catch (...) {
    RecoverFromException();
  }
  FLoopTargets = nullptr;
  FRunning = false;
  FWindow.SetIdleState(true);
}

void TChangeRun::RecoverFromException() {
  // The window must not stay "running" whatever happened: each step back to idle is taken even if
  // another one fails.
  const bool summaryDue = FSummaryDue;
  FSummaryDue = false;
  FRunning = false;
  FAborted = true;
  // The target the run was at: in the report only where it failed before whatever escaped.
  if (FEntry) {
    if (FFailureNoted) {
      FEntry->Outcome = TTargetOutcome::Failed;
      if (FReportSink) FReportSink(*FEntry);
    } else {
      FReport.Entries.pop_back();
    }
    FEntry = nullptr;
  }
  FReport.Ending = TRunEnding::Stopped;
  auto attempt = [](auto&& step) {
    try {
      step();
    } catch (...) {
    }
  };
  attempt([&] { EndJournal(); });
  attempt([&] { FWindow.SetBusyCursor(false); });
  attempt([&] { FWindow.SetIdleState(true); });
  attempt([&] { FWindow.SetProgressPosition(0); });
  attempt([&] { FWindow.BringToFront(); });
  // What went wrong, then how far the run got. A box that cannot be made now is not tried again.
  FUser.ReportException();
  if (summaryDue) {
    FSummary.Aborted = true;
    attempt([&] {
      const int count = FLoopTargets ? FLoopTargets->Count() : FTargets.Count();
      FSummary.Unchanged = count - FSummary.Changed - FSummary.Errors;
      FUser.Inform((FUndoing ? UndoSummaryText : SummaryText)(true, FSummary.Changed, FSummary.Errors,
                                                              FSummary.Unchanged));
    });
  }
}

void TChangeRun::Ask(TQuestion question, const std::wstring& path, DWORD error, TReportNote note) {
  if (FEntry && !FFailureNoted) {
    FFailureNoted = true;
    FEntry->Error = error;
    FEntry->Note = note != TReportNote::None ? note : NoteOf(question);
  }
  if (FNoMoreQuestions) return;
  // A question may stay open for long, and the program may be ended under it: a target the run has
  // already changed in part makes the journal the last run's before it is asked about.
  if (FUncommitted) {
    TTargetState now;
    if (FUncommitted->target.ReadState(now) == TTargetStatus::Done && !SameTargetState(FUncommitted->before, now)) {
      FJournal->Commit();
      FJournalCommitted = true;
      FUncommitted = nullptr;
    }
  }
  switch (FUser.Ask(question, QuestionText(question, path))) {
    case TAnswer::Yes: break;
    case TAnswer::Abort: FAborted = true; break;
    case TAnswer::YesToAll:
    case TAnswer::Closed: FNoMoreQuestions = true; break;
  }
}

std::unique_ptr<TChangeTarget> TChangeRun::MakeTarget(const std::wstring& path) {
  std::wstring literal = comm::comm_LiteralPath(path);
  if (FTargetFactory) return FTargetFactory(literal, FFolderNames);
  return std::make_unique<TChangeTarget>(std::move(literal), FFolderNames);
}

void TChangeRun::ExecuteChange() {
  FAborted = false;
  std::wstring message;
  if (!BuildChangePlan(FWindow, FPlan, message)) {
    FUser.ShowError(message);
    return;
  }

  if (FTargets.Count() == 0) {
    FUser.Inform(kEmptyListText);
  } else if (BeginJournal()) {
    RunLoop(FTargets, false,
            [&](int, const std::wstring& path, TChangeTarget& target) { return ChangeRecorded(path, target); });
    FPlan.Rules = TTargetTimeRules{};  // what the rules hold (a reader of the files) is not kept
  }

  FWindow.SetBusyCursor(false);
  FWindow.BringToFront();
  FWindow.SetProgressPosition(0);
}

bool TChangeRun::BeginJournal() {
  FJournalOn = FJournalCommitted = false;
  // A run that changes nothing has nothing to give back.
  if (!FJournal || (!FPlan.ChangeAttr && !FPlan.ChangeDate)) return true;
  TJournalHeader header;
  GetSystemTimeAsFileTime(&header.Started);
  header.ChangeAttr = FPlan.ChangeAttr;
  header.AttrMask = FPlan.AttrMask;
  header.AttrValues = FPlan.AttrValues;
  header.ChangeDate = FPlan.ChangeDate;
  header.SetCreate = FPlan.ChangeDate && FPlan.SetCreate;
  header.SetUpdate = FPlan.ChangeDate && FPlan.SetUpdate;
  header.CreatePerTarget = header.SetCreate && FPlan.Rules.PerTarget(dsCreate);
  header.UpdatePerTarget = header.SetUpdate && FPlan.Rules.PerTarget(dsUpdate);
  if (header.SetCreate && !header.CreatePerTarget) comm::comm_ConvDateTimeToFileTime(FPlan.CreateTime, header.Creation);
  if (header.SetUpdate && !header.UpdatePerTarget) comm::comm_ConvDateTimeToFileTime(FPlan.UpdateTime, header.LastWrite);
  if (FJournal->Begin(header)) {
    FJournalOn = true;
    return true;
  }
  // Without a journal the run cannot be taken back: the user decides, and "いいえ" is the default. A
  // journal that another copy holds is not waited for beyond a moment: that copy's run may last long,
  // and the user can as well answer "いいえ" and start again when it is over.
  if (FJournal->Error() == ERROR_LOCK_VIOLATION) return FUser.Confirm(JournalBusyText(FJournal->Path()), false);
  return FUser.Confirm(JournalBeginFailedText(FJournal->Path(), FJournal->Error()), false);
}

void TChangeRun::EndEntry(TTargetOutcome outcome) {
  FEntry->Outcome = outcome;
  if (FJournalOn) {
    // A target without a record of its state can only have failed or been missing.
    if (FEntryRecorded)
      FJournal->RecordOutcome(nullptr, outcome, FEntry->Error, FEntry->Note);
    else if (outcome == TTargetOutcome::Failed || outcome == TTargetOutcome::Missing)
      FJournal->RecordOutcome(&FEntry->Path, outcome, FEntry->Error, FEntry->Note);
  }
  if (FReportSink) FReportSink(*FEntry);
}

void TChangeRun::EndJournal() {
  if (!FJournalOn) return;
  FJournalOn = false;
  // A run that an exception ended counts as stopped too (the recovery sets FAborted first).
  if (!FJournal->End(FAborted)) FUser.ShowError(JournalEndFailedText(FJournal->Path(), FJournal->Error()));
}

void TChangeRun::RunLoop(IChangeTargets& targets, bool undo, const TStep& step) {
  FAborted = false;
  FLoopTargets = &targets;
  const int count = targets.Count();
  FWindow.SetProgressRange(0, count - 1);
  FWindow.SetBusyCursor(true);
  FWindow.SetIdleState(false);
  FRunning = true;
  FNoMoreQuestions = false;
  FSummary = TRunSummary{};
  FSummaryDue = true;
  FFolderNames = comm::TFolderNameCache{};
  FReport = TRunReport{};
  FReport.Undo = undo;
  GetSystemTimeAsFileTime(&FReport.Started);
  FReport.Entries.reserve(static_cast<size_t>(std::max(count, 0)));
  FJournalCutShort = false;

  // The count is read again each time: the list is not meant to change under a run, but an index
  // past its end must never be read.
  for (int i = 0; i < targets.Count(); ++i) {
    FWindow.ProcessMessages();
    if (!FRunning) {
      FAborted = true;
      break;
    }
    FWindow.SetProgressPosition(i);
    // What the list shows is what the questions name; the file system gets the literal form, so
    // that "a." is "a." and not "a", and a root "C:\" is not the current folder of drive C.
    const std::wstring path = targets.Entry(i);
    std::optional<TChangeTarget> own;  // the real target lives here, a test's comes from its factory
    std::unique_ptr<TChangeTarget> made;
    TChangeTarget& target = FTargetFactory ? *(made = MakeTarget(path)) : own.emplace(comm::comm_LiteralPath(path), FFolderNames);
    // When the photo was taken is read through the run's own handle on it, not a second open.
    if (!FUndoing && FPlan.ChangeDate && FPlan.Rules.ReadsTaken(FPlan.SetCreate, FPlan.SetUpdate)) target.ReadDataToo();
    FEntry = &FReport.Entries.emplace_back();
    FEntry->Path = path;
    FFailureNoted = FEntryRecorded = false;
    // comm_GetPathKind of the literal form: nothing there is a missing target.
    if (GetFileAttributesW(target.LiteralPath().c_str()) == comm::kNoFileAttributes) {
      FEntry->Error = GetLastError();
      FFailureNoted = true;
      EndEntry(TTargetOutcome::Missing);
      Ask(TQuestion::Missing, path);
      if (FAborted) break;
      continue;
    }
    const TStepOutcome outcome = step(i, path, target);
    // A target the user stopped at before anything failed was not done at all.
    if (FAborted && !FFailureNoted) {
      FReport.Entries.pop_back();
      FEntry = nullptr;
      break;
    }
    switch (outcome) {
      case TStepOutcome::Failed: EndEntry(TTargetOutcome::Failed); break;
      case TStepOutcome::Unchanged: {
        const TSideTime& side = FPlan.SetCreate ? FTargetTimes.Creation : FTargetTimes.LastWrite;
        FEntry->Note = NoteOf(side.Reason);
        EndEntry(TTargetOutcome::NoValue);
        break;
      }
      // Written, and found as it was: it already was as the plan (or the undo) makes it.
      case TStepOutcome::Changed:
        EndEntry(FEntry->HasBefore && FEntry->HasAfter && SameTargetState(FEntry->Before, FEntry->After)
                     ? TTargetOutcome::Unchanged
                     : TTargetOutcome::Changed);
        break;
    }
    if (FAborted) break;
    if (outcome == TStepOutcome::Changed) ++FSummary.Changed;
    else if (outcome == TStepOutcome::Failed) ++FSummary.Errors;
  }
  FEntry = nullptr;
  FReport.Ending = FAborted ? TRunEnding::Stopped : TRunEnding::Ended;
  const bool journalHoldsReport = FJournalOn && FJournalCommitted && !FJournalCutShort;
  EndJournal();
  // The journal that holds this run's report is the last run's; otherwise the report is kept beside it.
  if (!undo && FJournal && !journalHoldsReport) FJournal->SaveReport(FReport);

  // Automatic exit: the close is requested before the summary, whose box the pending shutdown
  // then closes at once.
  if (!undo && FWindow.Controls().AutoExit) FWindow.RequestClose();
  FSummary.Aborted = FAborted;
  FSummary.Unchanged = targets.Count() - FSummary.Changed - FSummary.Errors;
  FSummaryDue = false;
  FUser.Inform((undo ? UndoSummaryText : SummaryText)(FSummary.Aborted, FSummary.Changed, FSummary.Errors,
                                                      FSummary.Unchanged));
}

TChangeRun::TStepOutcome TChangeRun::ChangeRecorded(const std::wstring& path, TChangeTarget& target) {
  if (FPlan.ChangeDate) target.OpenForWrite();
  TTargetState before;
  bool recorded = false;
  // The state is read for the report too; the steps then need not read it again.
  const TTargetStatus read = target.ReadState(before);
  const bool known = read == TTargetStatus::Done;
  if (known) {
    FEntry->HasBefore = true;
    FEntry->Before = before;
  }
  if (FJournalOn) {
    switch (read) {
      case TTargetStatus::Done:
        if (FJournal->Record(path, before)) {
          recorded = FEntryRecorded = true;
        } else if (FUser.Confirm(JournalWriteFailedText(FJournal->Path(), FJournal->Error()), false)) {
          FJournalCutShort = true;
          EndJournal();  // what was recorded so far stays the journal of this run
        } else {
          FAborted = true;
          return TStepOutcome::Failed;
        }
        break;
      // The steps write nothing to a link they cannot change as itself; they ask about it.
      case TTargetStatus::Link: break;
      // A state that cannot be recorded is not changed.
      case TTargetStatus::Failed:
        Ask(FPlan.ChangeAttr ? TQuestion::AttrUnreadable : TQuestion::TimeUnreadable, path, target.Error());
        return TStepOutcome::Failed;
    }
  }
  bool attrDone = true, dateDone = true;
  TUncommitted uncommitted{target, before};
  comm::TScopeExit clear([this] { FUncommitted = nullptr; });
  if (recorded && !FJournalCommitted) FUncommitted = &uncommitted;
  ChangeTarget(path, target, attrDone, dateDone, known ? &before : nullptr);
  TTargetState after;
  const bool readAfter = known && target.ReadState(after) == TTargetStatus::Done;
  if (readAfter) {
    FEntry->HasAfter = true;
    FEntry->After = after;
  }
  if (recorded) {
    const bool read = readAfter;
    if (read) FJournal->RecordAfter(after);
    // The first target that this run really changed makes its journal the last run's.
    const bool changed = read ? !SameTargetState(before, after)
                              : (FPlan.ChangeAttr && attrDone) || (FPlan.ChangeDate && dateDone && !FNoDateValue);
    if (changed && !FJournalCommitted) {
      FJournal->Commit();
      FJournalCommitted = true;
    }
  }
  if (!attrDone || !dateDone) return TStepOutcome::Failed;
  return FNoDateValue && !FPlan.ChangeAttr ? TStepOutcome::Unchanged : TStepOutcome::Changed;
}

TChangeRun::TStepOutcome TChangeRun::UndoTarget(const TJournalHeader& header, const TJournalRecord& record,
                                                const std::wstring& path, TChangeTarget& target) {
  target.OpenForWrite();
  TTargetState now;
  switch (target.ReadState(now)) {
    case TTargetStatus::Done: break;
    case TTargetStatus::Failed: Ask(TQuestion::AttrUnreadable, path, target.Error()); return TStepOutcome::Failed;
    case TTargetStatus::Link:
      Ask(TQuestion::AttrWriteFailed, path, ERROR_SUCCESS, TReportNote::Link);
      return TStepOutcome::Failed;
  }
  FEntry->HasBefore = FEntry->HasAfter = true;
  FEntry->Before = FEntry->After = now;
  if (SameTargetState(record.Before, now)) return TStepOutcome::Changed;
  // Later work on the target is not undone without the user's word: asked even after "すべてはい" to
  // another question, and a box closed unanswered (the program ending) stops the undo.
  if (ChangedSinceRun(header, record, now) && !FOverwriteChanged) {
    switch (FUser.Ask(TQuestion::ChangedSince, QuestionText(TQuestion::ChangedSince, path))) {
      case TAnswer::Yes: break;
      case TAnswer::YesToAll: FNoMoreQuestions = FOverwriteChanged = true; break;
      case TAnswer::Abort:
      case TAnswer::Closed: FAborted = true; return TStepOutcome::Failed;
    }
  }
  FPlan = ChangePlan{};
  FPlan.ChangeAttr = (now.Attr & kKept) != (record.Before.Attr & kKept);
  FPlan.AttrMask = kKept;
  FPlan.AttrValues = record.Before.Attr & kKept;
  FPlan.SetCreate = !SameFileTime(now.Creation, record.Before.Creation);
  FPlan.SetUpdate = !SameFileTime(now.LastWrite, record.Before.LastWrite);
  FPlan.ChangeDate = FPlan.SetCreate || FPlan.SetUpdate;
  FPlan.RawTimes = true;
  FPlan.CreateFileTime = record.Before.Creation;
  FPlan.UpdateFileTime = record.Before.LastWrite;
  bool attrDone = true, dateDone = true;
  ChangeTarget(path, target, attrDone, dateDone, &now);
  FEntry->HasAfter = target.ReadState(FEntry->After) == TTargetStatus::Done;
  return attrDone && dateDone ? TStepOutcome::Changed : TStepOutcome::Failed;
}

bool TChangeRun::TakeTargetTimes(const std::wstring& path, TChangeTarget& target, const TTargetState* knownState) {
  TTargetState now;
  if (knownState) {
    now = *knownState;
  } else {
    switch (target.ReadState(now)) {
      case TTargetStatus::Done: break;
      case TTargetStatus::Failed: Ask(TQuestion::TimeUnreadable, path, target.Error()); return false;
      case TTargetStatus::Link: Ask(TQuestion::TimeWriteFailed, path, ERROR_SUCCESS, TReportNote::Link); return false;
    }
  }
  FTargetTimes = PlannedTimes(FPlan, path, now, target.DataHandle());
  FNoDateValue = (FPlan.SetCreate || FPlan.SetUpdate) && !FTargetTimes.Creation.HasValue && !FTargetTimes.LastWrite.HasValue;
  return true;
}

void TChangeRun::ChangeTarget(const std::wstring& path, TChangeTarget& target, bool& attrDone, bool& dateDone,
                              const TTargetState* knownState) {
  const DWORD knownAttr = knownState ? knownState->Attr : comm::kNoFileAttributes;
  FNoDateValue = false;
  // A target that opens for writing takes both steps through that one handle: its read-only state
  // plays no part (the attribute step may switch read-only on; the times are written all the same).
  if (FPlan.ChangeDate) target.OpenForWrite();
  DWORD attr = comm::kNoFileAttributes;  // the word after the attribute step, as read back
  if (FPlan.ChangeAttr) {
    attrDone = AttrStep(path, target, attr, knownAttr);
    if (FAborted) return;
  }
  if (!FPlan.ChangeDate) return;
  // Times taken from the target: a target whose rules have no value keeps its times, and its
  // read-only state is not touched for nothing.
  if (FPlan.Rules.Any() && !FPlan.RawTimes) {
    if (!TakeTargetTimes(path, target, knownState)) {
      dateDone = false;
      return;
    }
    if (FNoDateValue) return;
  }
  if (target.OpenedForWrite()) {
    dateDone = DateStep(path, target);
    return;
  }

  // The date step opens the target for writing, which a read-only file refuses: the read-only state
  // after the attribute step is held, cleared around the date step and restored.
  // The word read before the attribute step serves only where that step wrote nothing.
  if (attr == comm::kNoFileAttributes && !FPlan.ChangeAttr) attr = knownAttr;
  if (attr == comm::kNoFileAttributes) target.ReadAttr(attr);
  const bool heldReadOnly = attr != comm::kNoFileAttributes && (attr & FILE_ATTRIBUTE_READONLY);
  if (heldReadOnly) target.WriteAttr(attr & ~DWORD{FILE_ATTRIBUTE_READONLY});
  // The attribute step may have made the target writable too.
  if (heldReadOnly || FPlan.ChangeAttr) target.OpenForWrite(true);
  try {
    dateDone = DateStep(path, target);
  } catch (...) {
    if (heldReadOnly) target.WriteAttr(attr);  // nothing is lost, whatever escapes
    throw;
  }
  if (!heldReadOnly) return;
  // A file that silently lost its read-only attribute would be the worst outcome: a restore that is
  // refused or does not take counts as a failed attribute change, with its question.
  DWORD after, error;
  if (!WriteAttrChecked(target, attr & ~DWORD{FILE_ATTRIBUTE_READONLY}, attr, after, error)) {
    attrDone = false;
    if (!FAborted) Ask(TQuestion::AttrWriteFailed, path, error, error ? TReportNote::None : TReportNote::AttrNotTaken);
  }
}

bool TChangeRun::WriteAttrChecked(TChangeTarget& target, DWORD current, DWORD wanted, DWORD& after, DWORD& error) {
  constexpr DWORD kKept = kReadOnly | kHidden | kSystem;
  // Read-only goes on last: where hidden and system live in an extended attribute (Linux file systems
  // under Wine), a file that is read-only already refuses them, and the write claims success all the same.
  if ((wanted & kReadOnly) && ((wanted ^ current) & (kHidden | kSystem))) target.WriteAttr(wanted & ~kReadOnly);
  const bool written = target.WriteAttr(wanted) == TTargetStatus::Done;
  error = written ? ERROR_SUCCESS : target.Error();
  // Read back: a write can be accepted and still not take.
  if (target.ReadAttr(after) != TTargetStatus::Done) {
    if (!error) error = target.Error();
    return false;
  }
  return written && (after & kKept) == (wanted & kKept);
}

bool TChangeRun::AttrStep(const std::wstring& path, TChangeTarget& target, DWORD& after, DWORD knownAttr) {
  DWORD attr = knownAttr;
  switch (attr != comm::kNoFileAttributes ? TTargetStatus::Done : target.ReadAttr(attr)) {
    case TTargetStatus::Done: break;
    case TTargetStatus::Failed: Ask(TQuestion::AttrUnreadable, path, target.Error()); return false;
    // A link that cannot be changed without its target: reported as a change that failed.
    case TTargetStatus::Link: Ask(TQuestion::AttrWriteFailed, path, ERROR_SUCCESS, TReportNote::Link); return false;
  }
  // Written even when the word does not change: a refused write is an error all the same.
  DWORD error;
  if (WriteAttrChecked(target, attr, (attr & ~FPlan.AttrMask) | FPlan.AttrValues, after, error)) return true;
  Ask(TQuestion::AttrWriteFailed, path, error, error ? TReportNote::None : TReportNote::AttrNotTaken);
  return false;
}

namespace {
// A time write that failed because the target is a link this platform would follow.
TReportNote TimeWriteNote(const TChangeTarget& target) {
  return target.LinkFollowed() ? TReportNote::Link : TReportNote::None;
}
}  // namespace

bool TChangeRun::DateStep(const std::wstring& path, TChangeTarget& target) {
  // An undo writes back the times as they were recorded; per-target rules write each target's own.
  if (FPlan.RawTimes || FPlan.Rules.Any()) {
    const FILETIME* creation = FPlan.RawTimes ? (FPlan.SetCreate ? &FPlan.CreateFileTime : nullptr)
                                              : (FTargetTimes.Creation.HasValue ? &FTargetTimes.Creation.Time : nullptr);
    const FILETIME* lastWrite = FPlan.RawTimes ? (FPlan.SetUpdate ? &FPlan.UpdateFileTime : nullptr)
                                               : (FTargetTimes.LastWrite.HasValue ? &FTargetTimes.LastWrite.Time : nullptr);
    switch (target.WriteTimes(creation, lastWrite)) {
      case comm::rtDone: return true;
      case comm::rtUnreadable: Ask(TQuestion::TimeUnreadable, path, target.Error()); return false;
      case comm::rtWriteFailed: Ask(TQuestion::TimeWriteFailed, path, target.Error(), TimeWriteNote(target)); return false;
    }
    return false;
  }
  // One open reads the three times and writes the two; the last-access time is never written.
  switch (target.ReplaceTimes(FPlan.SetCreate ? &FPlan.CreateTime : nullptr, FPlan.SetUpdate ? &FPlan.UpdateTime : nullptr)) {
    case comm::rtDone: return true;
    case comm::rtUnreadable: Ask(TQuestion::TimeUnreadable, path, target.Error()); return false;
    case comm::rtWriteFailed: Ask(TQuestion::TimeWriteFailed, path, target.Error(), TimeWriteNote(target)); return false;
  }
  return false;
}

bool TChangeRun::ChangeTargetAttr(const std::wstring& path) {
  DWORD after;
  return AttrStep(path, *MakeTarget(path), after, comm::kNoFileAttributes);
}

bool TChangeRun::ChangeTargetDateTime(const std::wstring& path) {
  const std::unique_ptr<TChangeTarget> target = MakeTarget(path);
  if (FPlan.Rules.Any() && !FPlan.RawTimes) {
    if (!TakeTargetTimes(path, *target, nullptr)) return false;
    if (FNoDateValue) return true;
  }
  return DateStep(path, *target);
}

}  // namespace engine
