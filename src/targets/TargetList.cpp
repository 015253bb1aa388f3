// The sorted, duplicate-free target list.
#include "targets/TargetList.h"

namespace targets {

int CompareTargetPaths(std::wstring_view a, std::wstring_view b) {
  // Ordinal, ignoring case, as the file system itself compares names: a linguistic comparison takes
  // distinct names such as "Straße" and "Strasse" for one entry, and one of the two files would never
  // be changed.
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) -
         CSTR_EQUAL;
}

bool TTargetList::Find(std::wstring_view path, int& index) const {
  // Collections mostly add in ascending order: try the end first, one comparison instead of a search.
  if (FItems.empty() || CompareTargetPaths(FItems.back(), path) < 0) {
    index = Count();
    return false;
  }
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareTargetPaths(FItems[static_cast<size_t>(mid)], path);
    if (c < 0) {
      lo = mid + 1;
    } else if (c > 0) {
      hi = mid - 1;
    } else {
      index = mid;
      return true;
    }
  }
  index = lo;
  return false;
}

bool TTargetList::Holds(std::wstring_view path) const {
  int index;
  return Find(path, index);
}

int TTargetList::IndexOf(std::wstring_view path) const {
  int index;
  return Find(path, index) ? index : -1;
}

int TTargetList::Add(std::wstring path) {
  int index;
  if (Find(path, index)) return -1;
  FItems.insert(FItems.begin() + index, std::move(path));
  return index;
}

void TTargetList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FItems.erase(FItems.begin() + index);
}

}  // namespace targets
