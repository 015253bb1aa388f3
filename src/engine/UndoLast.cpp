// The undo of the last run.
#include "engine/UndoLast.h"

namespace engine {

TUndoOutcome UndoLastRun(TChangeRun& run, const std::wstring& journalPath, IUndoUser& user) {
  if (journalPath.empty()) {
    user.Inform(kNothingToUndoText);
    return TUndoOutcome::Nothing;
  }
  TJournal journal;
  DWORD error = ERROR_SUCCESS;
  // The journal is read under its lock and held again after the confirmation: the undo acts only on
  // the journal the user confirmed, and removes only that one.
  TJournalUndo use(journalPath);
  switch (use.Read(journal, error)) {
    case TJournalLoad::Loaded: break;
    case TJournalLoad::Missing:
    case TJournalLoad::Empty:
      user.Inform(kNothingToUndoText);
      return TUndoOutcome::Nothing;
    case TJournalLoad::Busy: user.Inform(kJournalBusyUndoText); return TUndoOutcome::Busy;
    case TJournalLoad::Damaged: user.ShowError(JournalDamagedText(journalPath)); return TUndoOutcome::Failed;
    case TJournalLoad::Unreadable:
      user.ShowError(JournalReadFailedText(journalPath, error));
      return TUndoOutcome::Failed;
  }
  if (!user.ConfirmUndo(journal)) return TUndoOutcome::Declined;
  switch (use.Hold(error)) {
    case TJournalUndo::THold::Held: break;
    case TJournalUndo::THold::Busy: user.Inform(kJournalBusyUndoText); return TUndoOutcome::Busy;
    case TJournalUndo::THold::Replaced: user.Inform(kJournalReplacedText); return TUndoOutcome::Declined;
    case TJournalUndo::THold::Unreadable:
      user.ShowError(JournalReadFailedText(journalPath, error));
      return TUndoOutcome::Failed;
  }
  run.UndoClick(journal);
  // The undo's report outlives the journal it removes; one that cannot be kept is still shown by the
  // window program until it ends.
  if (run.Report().Undo) use.SaveReport(run.Report(), error);
  // A journal with something left to give back stays for another try.
  if (run.UndoComplete()) use.Remove();
  use.Release();
  return TUndoOutcome::Done;
}

}  // namespace engine
