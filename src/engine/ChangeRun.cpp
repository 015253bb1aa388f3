// The change run over the target list, one target at a time on the user-interface thread.
#include "engine/ChangeRun.h"
#include "comm/FileAttr.h"
#include "comm/FileDateTime.h"
#include <cwchar>

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
    ExecuteChange();
  }
  FRunning = false;
  FWindow.SetIdleState(true);
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
    int changed = 0, errors = 0;

    // The count is read again each time: the list is not meant to change under a run, but an index
    // past its end must never be read.
    for (int i = 0; i < FTargets.Count(); ++i) {
      FWindow.ProcessMessages();
      if (!FRunning) {
        FAborted = true;
        break;
      }
      FWindow.SetProgressPosition(i);
      const std::wstring path = FTargets.Entry(i);
      if (GetPathKind(path) == pkNone) {
        Ask(TQuestion::Missing, path);
        if (FAborted) break;
        continue;
      }
      bool attrDone = true, dateDone = true;
      if (FPlan.ChangeAttr) {
        attrDone = ChangeTargetAttr(path);
        if (FAborted) break;
      }
      // The date step opens the target for writing, which a read-only file refuses: the read-only
      // state after the attribute step is held, cleared around the date step and restored. A target
      // that is not read-only needs neither write (the results of both are ignored anyway).
      bool heldReadOnly = false;
      comm_GetReadOnlyAttr(path, heldReadOnly);
      if (heldReadOnly) comm_SetReadOnlyAttr(path, false);
      if (FPlan.ChangeDate) dateDone = ChangeTargetDateTime(path);
      if (heldReadOnly) comm_SetReadOnlyAttr(path, true);
      if (FAborted) break;
      if (attrDone && dateDone) ++changed;
      else ++errors;
    }

    // Automatic exit: the close is requested before the summary, whose box the pending shutdown
    // then closes at once.
    if (FWindow.Controls().AutoExit) FWindow.RequestClose();
    FSummary = TRunSummary{FAborted, changed, errors, FTargets.Count() - changed - errors};
    FUser.Inform(SummaryText(FSummary.Aborted, FSummary.Changed, FSummary.Errors, FSummary.Unchanged));
  }

  FWindow.SetBusyCursor(false);
  FWindow.BringToFront();
  FWindow.SetProgressPosition(0);
}

bool TChangeRun::ChangeTargetAttr(const std::wstring& path) {
  const DWORD attr = GetFileAttributesW(path.c_str());
  if (attr == kNoFileAttributes) {
    Ask(TQuestion::AttrUnreadable, path);
    return false;
  }
  // Written even when the word does not change: a refused write is an error all the same.
  if (SetFileAttributesW(path.c_str(), (attr & ~FPlan.AttrMask) | FPlan.AttrValues)) return true;
  Ask(TQuestion::AttrWriteFailed, path);
  return false;
}

bool TChangeRun::ChangeTargetDateTime(const std::wstring& path) {
  // One open reads the three times and writes the two; the last-access time is never written.
  switch (comm_ReplaceFileDateTime(path, FPlan.SetCreate ? &FPlan.CreateTime : nullptr,
                                   FPlan.SetUpdate ? &FPlan.UpdateTime : nullptr)) {
    case rtDone: return true;
    case rtUnreadable: Ask(TQuestion::TimeUnreadable, path); return false;
    case rtWriteFailed: Ask(TQuestion::TimeWriteFailed, path); return false;
  }
  return false;
}

}  // namespace engine
