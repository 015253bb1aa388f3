// The undo of the last run, as both programs take it: the journal read under its lock, confirmed by
// the user, held while its changes are given back, and removed once nothing is left to give back.
#pragma once
#include "Base.h"
#include "engine/ChangeRun.h"
#include "engine/UndoJournal.h"
#include <string>

namespace engine {

// Who is told and asked during an undo: the window program's boxes, the companion's console.
class IUndoUser {
 public:
  virtual ~IUndoUser() = default;
  virtual void Inform(const std::wstring& text) = 0;
  virtual void ShowError(const std::wstring& text) = 0;
  // What the journal holds, and whether to give it back; true for yes.
  virtual bool ConfirmUndo(const TJournal& journal) = 0;
};

// How an undo ended.
enum class TUndoOutcome {
  Nothing,   // no journal, or an empty one
  Busy,      // another program holds the journal
  Failed,    // the journal could not be read or is damaged
  Declined,  // the user said no, or the journal was replaced since it was confirmed
  Done,      // the run gave back what it could (the run's summary says how much)
};

// Reads the journal at journalPath, asks, and on yes gives its changes back through run. An empty
// path means runs keep no journal.
TUndoOutcome UndoLastRun(TChangeRun& run, const std::wstring& journalPath, IUndoUser& user);

}  // namespace engine
