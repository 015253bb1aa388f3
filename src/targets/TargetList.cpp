// The sorted, duplicate-free target list.
#include "targets/TargetList.h"
#include "comm/LiteralPath.h"

namespace targets {

namespace {

// Ordinal, ignoring case, as the file system itself compares names: a linguistic comparison takes
// distinct names such as "Straße" and "Strasse" for one entry, and one of the two files would never
// be changed.
int CompareKeys(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) -
         CSTR_EQUAL;
}

}  // namespace

int CompareTargetPaths(std::wstring_view a, std::wstring_view b) { return CompareKeys(comm_PathKey(a), comm_PathKey(b)); }

bool TTargetList::Find(std::wstring_view path, int& index) const { return FindKey(comm_PathKey(path), index); }

bool TTargetList::FindKey(std::wstring_view key, int& index) const {
  // Collections mostly add in ascending order: try the end first, one comparison instead of a search.
  if (FItems.empty() || CompareKeys(KeyAt(FItems.size() - 1), key) < 0) {
    index = Count();
    return false;
  }
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareKeys(KeyAt(static_cast<size_t>(mid)), key);
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
  std::wstring key = comm_PathKey(path);
  int index;
  if (FindKey(key, index)) return -1;
  if (key == path) key.clear();  // the common case: the entry is its own key, kept once
  FKeys.insert(FKeys.begin() + index, std::move(key));
  try {
    FItems.insert(FItems.begin() + index, std::move(path));
  } catch (...) {
    FKeys.erase(FKeys.begin() + index);  // both stay at the same indices
    throw;
  }
  return index;
}

void TTargetList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  FItems.erase(FItems.begin() + index);
  FKeys.erase(FKeys.begin() + index);
}

void TTargetList::Clear() {
  FItems.clear();
  FKeys.clear();
}

}  // namespace targets
