// The undo command.
#include "app/UndoCommand.h"
#include "engine/UndoLast.h"
#include <vector>

namespace app {
namespace {

// The undo's questions and notices as the program's boxes, modal to the main window.
class TUndoPrompts : public engine::IUndoUser {
 public:
  TUndoPrompts(HWND owner, const TPrompts& prompts) : FOwner(owner), FPrompts(prompts) {}
  void Inform(const std::wstring& text) override { FPrompts.Inform(FOwner, text); }
  void ShowError(const std::wstring& text) override { FPrompts.ShowError(FOwner, text); }
  bool ConfirmUndo(const engine::TJournal& journal) override { return app::ConfirmUndo(journal, FOwner, FPrompts); }

 private:
  HWND FOwner;
  const TPrompts& FPrompts;
};

}  // namespace

void UndoLastRun(engine::TChangeRun& run, const std::wstring& journalPath, HWND owner, const TPrompts& prompts) {
  TUndoPrompts user(owner, prompts);
  engine::UndoLastRun(run, journalPath, user);
}

bool ConfirmUndo(const engine::TJournal& journal, HWND owner, const TPrompts& prompts) {
  // Every path the undo will write to, not only the few the text names.
  std::vector<std::wstring> paths;
  for (const auto& record : journal.Records) paths.push_back(record.Path);
  return prompts.Confirm(owner, engine::UndoConfirmationText(journal), true, paths);
}

}  // namespace app
