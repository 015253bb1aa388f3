// The target list's data: sorted, duplicate-free full paths under one case-insensitive comparison.
#pragma once
#include "Base.h"
#include <cstdint>
#include <iterator>
#include <memory>
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
  TTargetList() = default;
  TTargetList(const TTargetList&) = delete;
  TTargetList& operator=(const TTargetList&) = delete;

  int Count() const { return static_cast<int>(FRecords.size()); }
  bool Empty() const { return FRecords.empty(); }
  // Entry i, 0 <= i < Count(), as it was added. The view stays valid until the list is next changed.
  std::wstring_view Entry(int index) const {
    const TRecord& r = FRecords[static_cast<size_t>(index)];
    return std::wstring_view(r.Text, r.Length);
  }
  std::wstring_view operator[](int index) const { return Entry(index); }

  // Binary search: true when an entry compares equal to path; index is that entry's, or else the
  // index at which path would be inserted.
  bool Find(std::wstring_view path, int& index) const;
  bool Holds(std::wstring_view path) const;
  int IndexOf(std::wstring_view path) const;  // -1 when not held

  // Inserts path at its sorted place and returns that index; -1 (nothing added) when it is held.
  int Add(std::wstring_view path);
  // Removes entry index (ignored when out of range).
  void Delete(int index);
  void Clear();

  // The entries in order, as views.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::wstring_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::wstring_view;
    const_iterator(const TTargetList* list, int index) : FList(list), FIndex(index) {}
    std::wstring_view operator*() const { return FList->Entry(FIndex); }
    const_iterator& operator++() {
      ++FIndex;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator old = *this;
      ++FIndex;
      return old;
    }
    bool operator==(const const_iterator& o) const { return FIndex == o.FIndex; }
    bool operator!=(const const_iterator& o) const { return FIndex != o.FIndex; }

   private:
    const TTargetList* FList;
    int FIndex;
  };
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, Count()); }

 private:
  // An entry: its characters, and right after them the key of its object (comm_PathKey) where that
  // differs from the entry (KeyLength > 0), else the entry is its own key (nearly always). The
  // characters live in large shared blocks rather than in one allocation per entry: a list of a
  // million paths costs little more than the paths themselves.
  struct TRecord {
    const wchar_t* Text;
    uint32_t Length;
    uint32_t KeyLength;
  };

  bool FindKey(std::wstring_view key, int& index) const;
  std::wstring_view KeyAt(size_t i) const {
    const TRecord& r = FRecords[i];
    return r.KeyLength ? std::wstring_view(r.Text + r.Length, r.KeyLength) : std::wstring_view(r.Text, r.Length);
  }
  // Room for n characters in the blocks.
  wchar_t* Allocate(size_t n);
  // Copies the live entries into new blocks, dropping the room of deleted ones.
  void Compact();

  std::vector<TRecord> FRecords;
  std::vector<std::unique_ptr<wchar_t[]>> FBlocks;
  size_t FBlockFree = 0;      // characters still free at the end of the last block
  wchar_t* FNext = nullptr;   // the first of them
  size_t FLiveChars = 0;      // characters held by the entries
  size_t FDeadChars = 0;      // characters of deleted entries still in the blocks
};

}  // namespace targets
