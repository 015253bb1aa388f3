// The sorted, duplicate-free target list.
#include "targets/TargetList.h"
#include "comm/LiteralPath.h"
#include <algorithm>
#include <new>

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

int CompareTargetPaths(std::wstring_view a, std::wstring_view b) { return CompareKeys(comm::comm_PathKey(a), comm::comm_PathKey(b)); }

bool TTargetList::Find(std::wstring_view path, int& index) const { return FindKey(comm::comm_PathKey(path), index); }

bool TTargetList::FindKey(std::wstring_view key, int& index) const {
  // Collections mostly add in ascending order: try the end first, one comparison instead of a search.
  if (FRecords.empty() || CompareKeys(KeyAt(FRecords.size() - 1), key) < 0) {
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

int TTargetList::Add(std::wstring_view path) {
  const std::wstring key = comm::comm_PathKey(path);
  int index;
  if (FindKey(key, index)) return -1;
  const bool ownKey = key == path;  // the common case: the entry is its own key, kept once
  const size_t chars = path.size() + (ownKey ? 0 : key.size());
  // Room for the record before the characters are placed, so that a failure here loses nothing.
  if (FRecords.size() == FRecords.capacity()) FRecords.reserve(std::max<size_t>(16, FRecords.size() * 2));
  wchar_t* text = Allocate(chars);
  std::copy(path.begin(), path.end(), text);
  if (!ownKey) std::copy(key.begin(), key.end(), text + path.size());
  FRecords.insert(FRecords.begin() + index,
                  TRecord{text, static_cast<uint32_t>(path.size()), static_cast<uint32_t>(ownKey ? 0 : key.size())});
  FLiveChars += chars;
  return index;
}

wchar_t* TTargetList::Allocate(size_t n) {
  constexpr size_t kBlockChars = 64 * 1024;
  if (n > FBlockFree) {
    const size_t size = std::max(n, kBlockChars);
    FBlocks.push_back(std::make_unique<wchar_t[]>(size));
    FDeadChars += FBlockFree;  // the rest of the block before is never used
    FNext = FBlocks.back().get();
    FBlockFree = size;
  }
  wchar_t* p = FNext;
  FNext += n;
  FBlockFree -= n;
  return p;
}

void TTargetList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  const TRecord& r = FRecords[static_cast<size_t>(index)];
  const size_t chars = r.Length + r.KeyLength;
  FRecords.erase(FRecords.begin() + index);
  FLiveChars -= chars;
  FDeadChars += chars;
  if (FRecords.empty()) {
    Clear();
  } else if (FDeadChars > FLiveChars && FDeadChars > 4 * 64 * 1024) {
    Compact();
  }
}

void TTargetList::Compact() {
  std::vector<std::unique_ptr<wchar_t[]>> oldBlocks;
  oldBlocks.swap(FBlocks);
  const size_t oldFree = FBlockFree, oldDead = FDeadChars;
  wchar_t* const oldNext = FNext;
  FBlockFree = 0;
  FNext = nullptr;
  try {
    std::vector<TRecord> moved(FRecords);
    for (TRecord& r : moved) {
      wchar_t* text = Allocate(r.Length + r.KeyLength);
      std::copy(r.Text, r.Text + r.Length + r.KeyLength, text);
      r.Text = text;
    }
    FRecords.swap(moved);
    FDeadChars = 0;
  } catch (const std::bad_alloc&) {
    // Short of memory: keep the blocks as they were; the room is found again at a later deletion.
    FBlocks.swap(oldBlocks);
    FBlockFree = oldFree;
    FNext = oldNext;
    FDeadChars = oldDead;
  }
}

void TTargetList::Clear() {
  std::vector<TRecord>().swap(FRecords);
  std::vector<std::unique_ptr<wchar_t[]>>().swap(FBlocks);
  FBlockFree = 0;
  FNext = nullptr;
  FLiveChars = 0;
  FDeadChars = 0;
}

}  // namespace targets
