// The undo command.
#include "app/UndoCommand.h"
#include <vector>

namespace app {

void UndoLastRun(engine::TChangeRun& run, const std::wstring& journalPath, HWND owner, const TPrompts& prompts) {
  if (journalPath.empty()) {
    prompts.Inform(owner, engine::kNothingToUndoText);
    return;
  }
  engine::TJournal journal;
  DWORD error = ERROR_SUCCESS;
  // The journal is read under its lock and held again after the confirmation: the undo acts only on
  // the journal the user confirmed, and removes only that one.
  engine::TJournalUndo use(journalPath);
  switch (use.Read(journal, error)) {
    case engine::TJournalLoad::Loaded: break;
    case engine::TJournalLoad::Missing:
    case engine::TJournalLoad::Empty:
      prompts.Inform(owner, engine::kNothingToUndoText);
      return;
    case engine::TJournalLoad::Busy: prompts.Inform(owner, engine::kJournalBusyUndoText); return;
    case engine::TJournalLoad::Damaged: prompts.ShowError(owner, engine::JournalDamagedText(journalPath)); return;
    case engine::TJournalLoad::Unreadable: prompts.ShowError(owner, engine::JournalReadFailedText(journalPath, error)); return;
  }
  if (!ConfirmUndo(journal, owner, prompts)) return;
  switch (use.Hold(error)) {
    case engine::TJournalUndo::THold::Held: break;
    case engine::TJournalUndo::THold::Busy: prompts.Inform(owner, engine::kJournalBusyUndoText); return;
    case engine::TJournalUndo::THold::Replaced:
      prompts.Inform(owner, engine::kJournalReplacedText);
      return;
    case engine::TJournalUndo::THold::Unreadable:
      prompts.ShowError(owner, engine::JournalReadFailedText(journalPath, error));
      return;
  }
  run.UndoClick(journal);
  // The undo's report outlives the journal it removes; one that cannot be kept is still shown by this
  // program until it ends.
  if (run.Report().Undo) use.SaveReport(run.Report(), error);
  // A journal with something left to give back stays for another try.
  if (run.UndoComplete()) use.Remove();
  use.Release();
}

bool ConfirmUndo(const engine::TJournal& journal, HWND owner, const TPrompts& prompts) {
  // Every path the undo will write to, not only the few the text names.
  std::vector<std::wstring> paths;
  for (const auto& record : journal.Records) paths.push_back(record.Path);
  return prompts.Confirm(owner, engine::UndoConfirmationText(journal), true, paths);
}

}  // namespace app
