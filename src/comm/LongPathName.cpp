// Long path names by a directory search per component, from the root outwards.
#include "comm/LongPathName.h"
#include "Base.h"
#include "comm/PathText.h"
#include "comm/UniqueHandle.h"
#include <vector>

namespace {

// One level of the expansion: a path and its folder part (up to and including its last "\" or ":").
struct Level {
  std::wstring_view path, dir;
};

// Appends the stored name of the last component of level.path, whose folder part longPath holds in its
// long form already; when the search finds nothing, longPath becomes the path as passed.
void ExpandLast(const Level& level, std::wstring& longPath) {
  WIN32_FIND_DATAW fd;
  const std::wstring name(level.path);
  comm::UniqueFind find(FindFirstFileW(name.c_str(), &fd));
  if (find) {
    // A bare name or a drive-relative one ("C:name") takes no separator of its own.
    if (!level.dir.empty() && level.dir.back() != L':') longPath += comm::kPathSeparator;
    longPath += fd.cFileName;
  } else {
    longPath = name;
  }
}

// The folder parts are expanded before the names in them, from the root outwards. The levels are
// collected first and expanded in a loop: a path of thousands of components (a command line may hold
// 32,000 characters) needs no stack of its depth.
void Expand(std::wstring_view p, std::wstring& longPath) {
  std::vector<Level> levels;
  for (;;) {
    if (p.empty()) break;
    p = comm::DropTrailingSeparator(p);
    if (p.size() < 3) {  // a drive such as "C:", or a single separator
      longPath.append(p);
      break;
    }
    const size_t cut = p.find_last_of(L"\\:");
    const std::wstring_view dir = cut == std::wstring_view::npos ? std::wstring_view() : p.substr(0, cut + 1);
    // A path that is its own folder part ("abc:", the "\\?\C:" of a long-path prefix, a stream name's
    // "file:") cannot be split further: it is taken as it stands, so the expansion always ends.
    if (comm::DropTrailingSeparator(dir).size() >= p.size()) {
      longPath.append(p);
      break;
    }
    levels.push_back(Level{p, dir});
    p = dir;
  }
  for (auto level = levels.rbegin(); level != levels.rend(); ++level) ExpandLast(*level, longPath);
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
