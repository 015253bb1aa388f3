// TDropDst: registration as a drop target, the drop message turned into names and a point, refusals.
#include "shell/DropDst.h"
#include "comm/Scoped.h"
#include "ui/Application.h"
#include <algorithm>
#include <utility>

namespace shell {

TDroppedFiles ReadDroppedFiles(HDROP drop) {
  TDroppedFiles d;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  d.Files.reserve(count);
  for (UINT i = 0; i < count; ++i) {
    // The length first: a name is taken whole, also beyond 260 characters.
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(std::min(copied, length));
    d.Files.push_back(std::move(name));
  }
  DragQueryPoint(drop, &d.Point);
  return d;
}

TDropDst::~TDropDst() {
  // Unhooked here, while this object's BeforeUnhook is still the one that runs.
  Unhook();
}

void TDropDst::SetAcceptDrop(bool accept) {
  if (accept == FAcceptDrop) return;
  FAcceptDrop = accept;
  UpdateDragAccept();
}

void TDropDst::UpdateDragAccept() {
  const HWND h = HookedHandle();
  if (h && IsWindow(h)) DragAcceptFiles(h, FAcceptDrop ? TRUE : FALSE);
}

void TDropDst::HandleChanged(THandleChange reason) {
  TControlHook::HandleChanged(reason);
  UpdateDragAccept();
}

void TDropDst::BeforeUnhook() {
  // A window whose drop target has gone would take drops that nothing answers.
  DragAcceptFiles(HookedHandle(), FALSE);
}

bool DisabledUpToTop(HWND window) {
  const HWND root = GetAncestor(window, GA_ROOT);
  for (HWND w = window; w; w = w == root ? nullptr : GetParent(w))
    if (!IsWindowEnabled(w)) return true;
  return false;
}

bool TDropDst::DropRefused() const {
  if (!FAcceptDrop || FDropping) return true;
  const HWND h = HookedHandle();
  if (!h || !IsWindow(h)) return true;
  return DisabledUpToTop(h) || ui::Application::Instance().ModalOver(GetAncestor(h, GA_ROOT));
}

LRESULT TDropDst::ProcessMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_DROPFILES) return TControlHook::ProcessMessage(msg, wp, lp);
  const auto drop = reinterpret_cast<HDROP>(wp);
  try {
    if (!DropRefused()) DoFileDrop(drop);
  } catch (...) {
    ui::Application::Instance().HandleException();
  }
  DragFinish(drop);
  return 0;
}

void TDropDst::DoFileDrop(HDROP drop) {
  if (!OnFileDrop) return;
  TDroppedFiles d = ReadDroppedFiles(drop);
  FDropping = true;
  comm::TScopeExit reset([this] { FDropping = false; });
  OnFileDrop(this, d.Files, d.Point.x, d.Point.y);
}

}  // namespace shell
