// The list export format for a file and for the clipboard.
#include "targets/ListExport.h"
#include "comm/Cp932.h"
#include "comm/FileBytes.h"
#include "comm/Scoped.h"
#include "comm/Utf8.h"
#include <cstring>

namespace targets {

namespace {
template <class Entries>
std::wstring ExportText(const Entries& entries) {
  size_t size = 0;
  for (const std::wstring_view e : entries) size += e.size() + 2;
  std::wstring text;
  text.reserve(size);
  for (const std::wstring_view e : entries) {
    text += e;
    text += L"\r\n";
  }
  return text;
}

// A global memory block holding size bytes, for the clipboard.
comm::TGlobalMem GlobalCopy(const void* data, size_t size) {
  comm::TGlobalMem mem(GlobalAlloc(GMEM_MOVEABLE, size));
  if (!mem) return mem;
  void* p = GlobalLock(mem.Get());
  if (!p) return {};
  std::memcpy(p, data, size);
  GlobalUnlock(mem.Get());
  return mem;
}

std::string ExportBytes(const std::wstring& text) {
  bool lossy = false;
  std::string bytes = comm::WideToCp932(text, &lossy);
  if (!lossy) return bytes;
  return "\xEF\xBB\xBF" + comm::WideToUtf8(text);
}

TClipboardResult CopyText(HWND owner, const std::wstring& text) {
  const std::string bytes = comm::WideToCp932(text);
  comm::TGlobalMem ansi = GlobalCopy(bytes.c_str(), bytes.size() + 1);
  comm::TGlobalMem wide = GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  if (!ansi || !wide) return TClipboardResult::Failed;
  if (!OpenClipboard(owner)) return TClipboardResult::CannotOpen;
  EmptyClipboard();
  // Once set, a block belongs to the clipboard and leaves its holder; one the clipboard refused is freed.
  const bool ok = SetClipboardData(CF_UNICODETEXT, wide.Get()) != nullptr;
  if (ok) wide.Release();
  if (SetClipboardData(CF_TEXT, ansi.Get())) ansi.Release();
  CloseClipboard();
  return ok ? TClipboardResult::Copied : TClipboardResult::Failed;
}

bool SaveBytes(const std::wstring& path, const std::string& bytes) {
  return comm::comm_ReplaceFileBytes(path, bytes).Result != comm::rpFailed;
}

}  // namespace

std::string ListExportBytes(const std::vector<std::wstring>& entries) { return ExportBytes(ExportText(entries)); }
std::string ListExportBytes(const TTargetList& entries) { return ExportBytes(ExportText(entries)); }

TClipboardResult CopyListToClipboard(HWND owner, const std::vector<std::wstring>& entries) {
  return CopyText(owner, ExportText(entries));
}
TClipboardResult CopyListToClipboard(HWND owner, const TTargetList& entries) {
  return CopyText(owner, ExportText(entries));
}

bool SaveListToFile(const std::wstring& path, const std::vector<std::wstring>& entries) {
  return SaveBytes(path, ListExportBytes(entries));
}
bool SaveListToFile(const std::wstring& path, const TTargetList& entries) {
  return SaveBytes(path, ListExportBytes(entries));
}

}  // namespace targets
