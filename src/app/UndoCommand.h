// The undo command: the last run's journal read, confirmed by the user and given back.
#pragma once
#include "app/Prompts.h"
#include "engine/ChangeRun.h"
#include "engine/UndoJournal.h"
#include <string>

namespace app {

// Reads the journal at journalPath under its lock, shows what it holds and asks; on yes gives the
// changes back through run and removes the journal it read when nothing is left to give back. Every
// outcome is told through prompts, modal to owner. An empty path means runs keep no journal.
void UndoLastRun(engine::TChangeRun& run, const std::wstring& journalPath, HWND owner, const TPrompts& prompts);

// The undo's confirmation: the journal's summary, and every path on request. True for yes.
bool ConfirmUndo(const engine::TJournal& journal, HWND owner, const TPrompts& prompts);

}  // namespace app
