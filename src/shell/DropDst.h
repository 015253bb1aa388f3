// TDropDst: a control that takes files and folders dropped from the shell, one event per drop.
#pragma once
#include "Base.h"
#include "shell/ControlHook.h"
#include <shellapi.h>
#include <functional>
#include <string>
#include <vector>

namespace shell {

class TDropDst;
// Files: the dropped paths, whole, in the order the shell gives them; x, y: the drop point in client
// coordinates of the window that took the drop.
using TFileDropEvent =
    std::function<void(TDropDst* sender, const std::vector<std::wstring>& files, int x, int y)>;

// What one drop carries.
struct TDroppedFiles {
  std::vector<std::wstring> Files;
  POINT Point{};
};
// Reads the names (each whole, however long) and the point of a drop handle; the handle stays open.
TDroppedFiles ReadDroppedFiles(HDROP drop);

// True when the window, or any window above it up to and including its top-level window, is disabled.
bool DisabledUpToTop(HWND window);

// Registers the hooked window as a drop target while AcceptDrop is true (again whenever its window is
// made anew) and turns each WM_DROPFILES into one OnFileDrop. Every drop is finished (DragFinish),
// whatever happens; an error of the handler is shown by the application's standard error box.
// A drop is refused, finished without an event, when AcceptDrop is false, while the window or one
// above it is disabled, while a modal window of the program stands over it (a question of the run,
// the date-time dialog, a file dialog) and while this target's own handler is still at work.
class TDropDst : public TControlHook {
 public:
  explicit TDropDst(ui::Form* owner = nullptr) : TControlHook(owner) {}
  ~TDropDst() override;

  TFileDropEvent OnFileDrop;
  void SetAcceptDrop(bool accept);
  bool AcceptDrop() const { return FAcceptDrop; }

 protected:
  void HandleChanged(THandleChange reason) override;
  LRESULT ProcessMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void BeforeUnhook() override;

 private:
  void UpdateDragAccept();
  bool DropRefused() const;
  void DoFileDrop(HDROP drop);

  bool FAcceptDrop = true;
  bool FDropping = false;
};

}  // namespace shell
