// Drops as the shell delivers them: the drop data built in memory and sent as WM_DROPFILES.
#include "support/Drop.h"
#include <shlobj.h>
#include <cstring>

namespace testsupport {

HDROP MakeDrop(const std::vector<std::wstring>& files, POINT pt) {
  size_t chars = 1;
  for (const std::wstring& f : files) chars += f.size() + 1;
  HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* d = static_cast<DROPFILES*>(GlobalLock(h));
  d->pFiles = sizeof(DROPFILES);
  d->pt = pt;
  d->fNC = FALSE;
  d->fWide = TRUE;
  auto* p = reinterpret_cast<wchar_t*>(d + 1);
  for (const std::wstring& f : files) {
    std::memcpy(p, f.c_str(), (f.size() + 1) * sizeof(wchar_t));
    p += f.size() + 1;
  }
  GlobalUnlock(h);
  return static_cast<HDROP>(h);
}

bool SendDrop(HWND target, const std::vector<std::wstring>& files, POINT pt) {
  HDROP drop = MakeDrop(files, pt);
  SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  // DragFinish frees the memory: the handle no longer names a block.
  SetLastError(0);
  const bool finished = GlobalSize(drop) == 0;
  if (!finished) GlobalFree(drop);
  return finished;
}

}  // namespace testsupport
