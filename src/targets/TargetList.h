// The target list's data: sorted, duplicate-free full paths under one case-insensitive comparison.
#pragma once
#include "Base.h"
#include <string>
#include <string_view>
#include <vector>

namespace targets {

// The one order of the target list: the objects the paths name (comm_PathKey: "\\?\C:\x", "C:\x" and
// "C:\x\" are one), compared ordinally ignoring case (CompareStringOrdinal) as the file system compares
// names. Negative, zero or positive as a sorts before, with or after b. The list control's copy takes
// its items at the indices this order gives.
int CompareTargetPaths(std::wstring_view a, std::wstring_view b);

// The list of paths a change run works on (FTargetList). Entries are kept in the order above, and a
// path that names the object of an entry is not added again (paths differing in letter case, in the
// "\\?\" prefix or in a folder's trailing separator are one entry), kept in the form in which it was
// added first. Index i here is index i of the list control that shows the list: the window inserts each
// item at the index Add returns.
class TTargetList {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  // Entry i, 0 <= i < Count(), as it was added.
  const std::wstring& Entry(int index) const { return FItems[static_cast<size_t>(index)]; }
  const std::wstring& operator[](int index) const { return Entry(index); }

  // Binary search: true when an entry compares equal to path; index is that entry's, or else the
  // index at which path would be inserted.
  bool Find(std::wstring_view path, int& index) const;
  bool Holds(std::wstring_view path) const;
  int IndexOf(std::wstring_view path) const;  // -1 when not held

  // Inserts path at its sorted place and returns that index; -1 (nothing added) when it is held.
  int Add(std::wstring path);
  // Removes entry index (ignored when out of range).
  void Delete(int index);
  void Clear();

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

 private:
  bool FindKey(std::wstring_view key, int& index) const;

  // The key of entry i: the entry itself where it is its own key (nearly always), so that a million
  // entries do not hold their paths twice.
  std::wstring_view KeyAt(size_t i) const { return FKeys[i].empty() ? std::wstring_view(FItems[i]) : FKeys[i]; }

  std::vector<std::wstring> FItems;  // the entries as added
  std::vector<std::wstring> FKeys;   // the key of each entry's object (comm_PathKey) where it differs, else empty
};

}  // namespace targets
