// The change run over the target list, one target at a time on the user-interface thread.
#include "engine/ChangeRun.h"
#include "comm/FileAttr.h"
#include "comm/FileDateTime.h"
#include "comm/LiteralPath.h"
#include <cwchar>
#include <optional>

namespace engine {
namespace {

constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY, kHidden = FILE_ATTRIBUTE_HIDDEN, kSystem = FILE_ATTRIBUTE_SYSTEM;

std::wstring PartsText(const std::array<uint16_t, 6>& p) {
  return comm::FormatDateTimeParts(p[dpYear], p[dpMonth], p[dpDay], p[dpHour], p[dpMinute], p[dpSecond]);
}

}  // namespace

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
  }
  return path + what + L"\r" + L"処理を続けますか？";
}

std::wstring SummaryText(bool aborted, int changed, int errors, int unchanged) {
  return std::wstring(aborted ? L"変更を中断しました。" : L"変更が終了しました。") + L"\r\r" + L"変更数\t\t： " +
         std::to_wstring(changed) + L"\r" + L"エラー数\t\t： " + std::to_wstring(errors) + L"\r" + L"未変更数\t： " +
         std::to_wstring(unchanged);
}

void TChangeRun::ButtonSetClick() {
  // A second click that arrives in the same pumping as the stop request (a double click on "中断")
  // finds the run stopping, not stopped: it must not start another run inside this one.
  if (!FRunning && !FExecuting) {
    FExecuting = true;
    struct Done {
      bool& flag;
      ~Done() { flag = false; }
    } done{FExecuting};
    try {
      ExecuteChange();
    } catch (...) {
      RecoverFromException();
    }
  }
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
  auto attempt = [](auto&& step) {
    try {
      step();
    } catch (...) {
    }
  };
  attempt([&] { FWindow.SetBusyCursor(false); });
  attempt([&] { FWindow.SetIdleState(true); });
  attempt([&] { FWindow.SetProgressPosition(0); });
  attempt([&] { FWindow.BringToFront(); });
  // What went wrong, then how far the run got. A box that cannot be made now is not tried again.
  FUser.ReportException();
  if (summaryDue) {
    FSummary.Aborted = true;
    attempt([&] {
      FSummary.Unchanged = FTargets.Count() - FSummary.Changed - FSummary.Errors;
      FUser.Inform(SummaryText(true, FSummary.Changed, FSummary.Errors, FSummary.Unchanged));
    });
  }
}

void TChangeRun::Ask(TQuestion question, const std::wstring& path) {
  if (FNoMoreQuestions) return;
  switch (FUser.Ask(QuestionText(question, path))) {
    case TAnswer::Yes: break;
    case TAnswer::Abort: FAborted = true; break;
    case TAnswer::YesToAll:
    case TAnswer::Closed: FNoMoreQuestions = true; break;
  }
}

std::unique_ptr<TChangeTarget> TChangeRun::MakeTarget(const std::wstring& path) {
  std::wstring literal = comm_LiteralPath(path);
  if (FTargetFactory) return FTargetFactory(literal, FFolderNames);
  return std::make_unique<TChangeTarget>(std::move(literal), FFolderNames);
}

void TChangeRun::ExecuteChange() {
  FAborted = false;
  const TChangeControls controls = FWindow.Controls();
  FPlan.ChangeAttr = controls.AttrChg;
  FPlan.ChangeDate = controls.DateChg;
  FPlan.SetCreate = controls.Create;
  FPlan.SetUpdate = controls.Update;
  if (FPlan.ChangeAttr) BuildAttrPlan(controls, FPlan);
  if (FPlan.ChangeDate) {
    std::wstring message;
    if (!BuildDatePlan(FWindow.DateParts(), FPlan, message)) {
      FUser.ShowError(message);
      return;
    }
  }

  const int count = FTargets.Count();
  if (count == 0) {
    FUser.Inform(kEmptyListText);
  } else {
    FWindow.SetProgressRange(0, count - 1);
    FWindow.SetBusyCursor(true);
    FWindow.SetIdleState(false);
    FRunning = true;
    FNoMoreQuestions = false;
    FSummary = TRunSummary{};
    FSummaryDue = true;
    FFolderNames = comm::TFolderNameCache{};

    // The count is read again each time: the list is not meant to change under a run, but an index
    // past its end must never be read.
    for (int i = 0; i < FTargets.Count(); ++i) {
      FWindow.ProcessMessages();
      if (!FRunning) {
        FAborted = true;
        break;
      }
      FWindow.SetProgressPosition(i);
      // What the list shows is what the questions name; the file system gets the literal form, so
      // that "a." is "a." and not "a", and a root "C:\" is not the current folder of drive C.
      const std::wstring path = FTargets.Entry(i);
      std::optional<TChangeTarget> own;  // the real target lives here, a test's comes from its factory
      std::unique_ptr<TChangeTarget> made;
      TChangeTarget& target = FTargetFactory ? *(made = MakeTarget(path)) : own.emplace(comm_LiteralPath(path), FFolderNames);
      // GetPathKind of the literal form: nothing there is a missing target.
      if (GetFileAttributesW(target.LiteralPath().c_str()) == kNoFileAttributes) {
        Ask(TQuestion::Missing, path);
        if (FAborted) break;
        continue;
      }
      bool attrDone = true, dateDone = true;
      ChangeTarget(path, target, attrDone, dateDone);
      if (FAborted) break;
      if (attrDone && dateDone) ++FSummary.Changed;
      else ++FSummary.Errors;
    }

    // Automatic exit: the close is requested before the summary, whose box the pending shutdown
    // then closes at once.
    if (FWindow.Controls().AutoExit) FWindow.RequestClose();
    FSummary.Aborted = FAborted;
    FSummary.Unchanged = FTargets.Count() - FSummary.Changed - FSummary.Errors;
    FSummaryDue = false;
    FUser.Inform(SummaryText(FSummary.Aborted, FSummary.Changed, FSummary.Errors, FSummary.Unchanged));
  }

  FWindow.SetBusyCursor(false);
  FWindow.BringToFront();
  FWindow.SetProgressPosition(0);
}

void TChangeRun::ChangeTarget(const std::wstring& path, TChangeTarget& target, bool& attrDone, bool& dateDone) {
  // A target that opens for writing takes both steps through that one handle: its read-only state
  // plays no part (the attribute step may switch read-only on; the times are written all the same).
  if (FPlan.ChangeDate) target.OpenForWrite();
  DWORD attr = kNoFileAttributes;  // the word after the attribute step, as read back
  if (FPlan.ChangeAttr) {
    attrDone = AttrStep(path, target, attr);
    if (FAborted) return;
  }
  if (!FPlan.ChangeDate) return;
  if (target.OpenedForWrite()) {
    dateDone = DateStep(path, target);
    return;
  }

  // The date step opens the target for writing, which a read-only file refuses: the read-only state
  // after the attribute step is held, cleared around the date step and restored.
  if (attr == kNoFileAttributes) target.ReadAttr(attr);
  const bool heldReadOnly = attr != kNoFileAttributes && (attr & FILE_ATTRIBUTE_READONLY);
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
  DWORD after;
  if (!WriteAttrChecked(target, attr & ~DWORD{FILE_ATTRIBUTE_READONLY}, attr, after)) {
    attrDone = false;
    if (!FAborted) Ask(TQuestion::AttrWriteFailed, path);
  }
}

bool TChangeRun::WriteAttrChecked(TChangeTarget& target, DWORD current, DWORD wanted, DWORD& after) {
  constexpr DWORD kKept = kReadOnly | kHidden | kSystem;
  // Read-only goes on last: where hidden and system live in an extended attribute (Linux file systems
  // under Wine), a file that is read-only already refuses them, and the write claims success all the same.
  if ((wanted & kReadOnly) && ((wanted ^ current) & (kHidden | kSystem))) target.WriteAttr(wanted & ~kReadOnly);
  const bool written = target.WriteAttr(wanted) == TTargetStatus::Done;
  // Read back: a write can be accepted and still not take.
  if (target.ReadAttr(after) != TTargetStatus::Done) return false;
  return written && (after & kKept) == (wanted & kKept);
}

bool TChangeRun::AttrStep(const std::wstring& path, TChangeTarget& target, DWORD& after) {
  DWORD attr;
  switch (target.ReadAttr(attr)) {
    case TTargetStatus::Done: break;
    case TTargetStatus::Failed: Ask(TQuestion::AttrUnreadable, path); return false;
    // A link that cannot be changed without its target: reported as a change that failed.
    case TTargetStatus::Link: Ask(TQuestion::AttrWriteFailed, path); return false;
  }
  // Written even when the word does not change: a refused write is an error all the same.
  if (WriteAttrChecked(target, attr, (attr & ~FPlan.AttrMask) | FPlan.AttrValues, after)) return true;
  Ask(TQuestion::AttrWriteFailed, path);
  return false;
}

bool TChangeRun::DateStep(const std::wstring& path, TChangeTarget& target) {
  // One open reads the three times and writes the two; the last-access time is never written.
  switch (target.ReplaceTimes(FPlan.SetCreate ? &FPlan.CreateTime : nullptr, FPlan.SetUpdate ? &FPlan.UpdateTime : nullptr)) {
    case rtDone: return true;
    case rtUnreadable: Ask(TQuestion::TimeUnreadable, path); return false;
    case rtWriteFailed: Ask(TQuestion::TimeWriteFailed, path); return false;
  }
  return false;
}

bool TChangeRun::ChangeTargetAttr(const std::wstring& path) {
  DWORD after;
  return AttrStep(path, *MakeTarget(path), after);
}

bool TChangeRun::ChangeTargetDateTime(const std::wstring& path) { return DateStep(path, *MakeTarget(path)); }

}  // namespace engine
