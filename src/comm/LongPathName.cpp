// Long path names by a directory search per component, from the root outwards.
#include "comm/LongPathName.h"
#include "Base.h"
#include "comm/PathText.h"
#include "comm/UniqueHandle.h"

namespace {

void Expand(std::wstring_view p, std::wstring& longPath) {
  if (p.empty()) return;
  p = comm::DropTrailingSeparator(p);
  if (p.size() < 3) {  // a drive such as "C:", or a single separator
    longPath.append(p);
    return;
  }
  const size_t cut = p.find_last_of(L"\\:");
  const std::wstring_view dir = cut == std::wstring_view::npos ? std::wstring_view() : p.substr(0, cut + 1);
  // A path that is its own folder part ("abc:", the "\\?\C:" of a long-path prefix, a stream name's
  // "file:") cannot be split further: it is taken as it stands, so the expansion always ends.
  if (comm::DropTrailingSeparator(dir).size() >= p.size()) {
    longPath.append(p);
    return;
  }
  Expand(dir, longPath);
  WIN32_FIND_DATAW fd;
  const std::wstring name(p);
  comm::UniqueFind find(FindFirstFileW(name.c_str(), &fd));
  if (find) {
    // A bare name or a drive-relative one ("C:name") takes no separator of its own.
    if (!dir.empty() && dir.back() != L':') longPath += comm::kPathSeparator;
    longPath += fd.cFileName;
  } else {
    longPath = name;
  }
}

}  // namespace

void comm_GetLongPathName(const std::wstring& path, std::wstring& longPath) {
  longPath.clear();
  Expand(path, longPath);
}

std::wstring comm_GetLongPathName(const std::wstring& path) {
  std::wstring out;
  comm_GetLongPathName(path, out);
  return out;
}
