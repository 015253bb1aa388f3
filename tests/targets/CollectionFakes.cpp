// Making folder links for the collection tests, on Windows and under Wine.
#include "CollectionFakes.h"
#include "support/Links.h"

namespace targetstest {

bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::wstring& why) {
  if (!testsupport::MakeSymbolicLink(link, target, true)) {
    why = L"no symbolic link could be made (error " + std::to_wstring(GetLastError()) + L")";
    return false;
  }
  const DWORD a = GetFileAttributesW(link.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  why = L"the link is not seen as a folder link";
  return false;
}

}  // namespace targetstest
