// The preview: each target's state now and after the run, worked out as the run would.
#include "engine/Preview.h"
#include "comm/Csv.h"
#include "comm/FileDateTime.h"
#include "comm/LiteralPath.h"
#include "comm/Scoped.h"
#include <algorithm>

namespace engine {
namespace {

constexpr DWORD kShownAttrs = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

int64_t Ticks(const FILETIME& t) { return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime); }

// What a side's note says in the note column; empty where the side simply changes or is not touched.
std::wstring SideText(const wchar_t* side, TSideNote note, TNoValue why) {
  switch (note) {
    case TSideNote::Same: return std::wstring(side) + L": 変更なし";
    case TSideNote::NoTime: return std::wstring(side) + L": " + NoValueText(why);
    default: return std::wstring();
  }
}

// The new time of one side, and what it comes to.
void Side(bool set, const TSideTime& planned, const FILETIME& now, FILETIME& next, TSideNote& note, TNoValue& why) {
  next = now;
  if (!set) {
    note = TSideNote::NotSet;
  } else if (!planned.HasValue) {
    note = TSideNote::NoTime;
    why = planned.Reason;
  } else {
    next = planned.Time;
    note = Ticks(next) == Ticks(now) ? TSideNote::Same : TSideNote::Changes;
  }
}

}  // namespace

std::wstring AttrText(DWORD attr) {
  std::wstring text;
  if (attr & FILE_ATTRIBUTE_READONLY) text += L'R';
  if (attr & FILE_ATTRIBUTE_HIDDEN) text += L'H';
  if (attr & FILE_ATTRIBUTE_SYSTEM) text += L'S';
  return text;
}

const wchar_t* PreviewColumnCaption(int column) {
  static constexpr const wchar_t* kCaptions[pcColumnCount] = {
      L"パス", L"作成日時", L"新しい作成日時", L"更新日時", L"新しい更新日時", L"属性", L"新しい属性", L"備考"};
  return column >= 0 && column < pcColumnCount ? kCaptions[column] : L"";
}

TPreview::TPreview(const IChangeTargets& targets, const ChangePlan& plan) : FTargets(targets), FPlan(plan) {
  const int count = std::max(targets.Count(), 0);
  FRows.resize(static_cast<size_t>(count));
  FOrder.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    FRows[static_cast<size_t>(i)].Index = static_cast<uint32_t>(i);
    FOrder[static_cast<size_t>(i)] = static_cast<uint32_t>(i);
  }
}

bool TPreview::Step(int rows) {
  for (int n = 0; n < rows && FDone < Count(); ++n) WorkOut(FRows[static_cast<size_t>(FDone++)]);
  return !Complete();
}

bool TPreview::StateOf(int index, const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data, DWORD& error) {
  if (FKnown) {
    if (const WIN32_FILE_ATTRIBUTE_DATA* known = FKnown(index)) {
      data = *known;
      return true;
    }
  }
  // The entry's literal form, as the run opens it; a link is read as itself either way.
  const std::wstring literal = comm::comm_LiteralPath(path);
  const size_t cut = literal.find_last_of(L'\\');
  if (cut != std::wstring::npos && cut + 1 < literal.size()) {
    const std::wstring folder = literal.substr(0, cut), name = literal.substr(cut + 1);
    if (folder != FListedFolder) {
      // Listed when the next rows of the list (sorted, so a folder's entries come together) are in it too.
      constexpr int kListFrom = 4;
      int together = 1;
      while (together < kListFrom && index + together < Count()) {
        const std::wstring next = comm::comm_LiteralPath(FTargets.Entry(index + together));
        if (next.size() <= folder.size() || next.compare(0, folder.size(), folder) != 0 || next[folder.size()] != L'\\' ||
            next.find(L'\\', folder.size() + 1) != std::wstring::npos)
          break;
        ++together;
      }
      FListed.clear();
      FListedFolder.clear();
      if (together == kListFrom) {
        FListedFolder = folder;
        WIN32_FIND_DATAW found;
        comm::TUniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                                nullptr, FIND_FIRST_EX_LARGE_FETCH));
        if (find.Valid()) {
          do {
            FListed[found.cFileName] = {found.dwFileAttributes, found.ftCreationTime, found.ftLastAccessTime,
                                        found.ftLastWriteTime, found.nFileSizeHigh, found.nFileSizeLow};
          } while (FindNextFileW(find.Get(), &found));
        }
      }
    }
    if (!FListedFolder.empty()) {
      // The name as stored; one written otherwise (another letter case) is read alone.
      if (const auto it = FListed.find(name); it != FListed.end()) {
        data = it->second;
        return true;
      }
    }
  }
  if (GetFileAttributesExW(literal.c_str(), GetFileExInfoStandard, &data)) return true;
  error = GetLastError();
  return false;
}

void TPreview::WorkOut(TPreviewRow& row) {
  row.Read = true;
  const std::wstring path = FTargets.Entry(static_cast<int>(row.Index));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  DWORD error = ERROR_SUCCESS;
  if (!StateOf(static_cast<int>(row.Index), path, data, error)) {
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
    row.CreationNote = row.LastWriteNote = row.AttrNote = missing ? TSideNote::Missing : TSideNote::Unreadable;
    return;
  }
  TTargetState now;
  now.Attr = data.dwFileAttributes;
  now.Creation = data.ftCreationTime;
  now.LastWrite = data.ftLastWriteTime;
  row.Attr = now.Attr;
  row.Creation = now.Creation;
  row.LastWrite = now.LastWrite;
  const TTargetTimes times = PlannedTimes(FPlan, path, now);
  Side(FPlan.ChangeDate && FPlan.SetCreate, times.Creation, now.Creation, row.NewCreation, row.CreationNote,
       row.CreationWhy);
  Side(FPlan.ChangeDate && FPlan.SetUpdate, times.LastWrite, now.LastWrite, row.NewLastWrite, row.LastWriteNote,
       row.LastWriteWhy);
  row.NewAttr = FPlan.ChangeAttr ? (now.Attr & ~FPlan.AttrMask) | FPlan.AttrValues : now.Attr;
  row.AttrNote = !FPlan.ChangeAttr ? TSideNote::NotSet
                 : (row.NewAttr & kShownAttrs) == (now.Attr & kShownAttrs) ? TSideNote::Same
                                                                          : TSideNote::Changes;
}

std::wstring TPreview::CellText(int shown, int column) const {
  if (shown < 0 || shown >= Count()) return std::wstring();
  const TPreviewRow& row = Row(shown);
  if (column == pcPath) return FTargets.Entry(static_cast<int>(row.Index));
  if (!row.Read) return column == pcNote ? L"…" : L"";
  if (row.AttrNote == TSideNote::Missing) return column == pcNote ? L"ファイルまたはフォルダがありません" : L"";
  if (row.AttrNote == TSideNote::Unreadable) return column == pcNote ? L"属性と日時を読めません" : L"";
  switch (column) {
    case pcCreation: return comm::LocalFileTimeText(row.Creation);
    case pcNewCreation: return comm::LocalFileTimeText(row.NewCreation);
    case pcLastWrite: return comm::LocalFileTimeText(row.LastWrite);
    case pcNewLastWrite: return comm::LocalFileTimeText(row.NewLastWrite);
    case pcAttr: return AttrText(row.Attr);
    case pcNewAttr: return AttrText(row.NewAttr);
    case pcNote: {
      std::wstring note = SideText(L"作成日時", row.CreationNote, row.CreationWhy);
      const std::wstring update = SideText(L"更新日時", row.LastWriteNote, row.LastWriteWhy);
      if (!note.empty() && !update.empty()) note += L" / ";
      return note + update;
    }
    default: return std::wstring();
  }
}

void TPreview::SortBy(int column, bool ascending) {
  FSortColumn = column;
  FAscending = ascending;
  // Keys of the columns that are not text; a row without a state has none and goes last either way.
  auto key = [&](const TPreviewRow& r) -> int64_t {
    switch (column) {
      case pcCreation: return Ticks(r.Creation);
      case pcNewCreation: return Ticks(r.NewCreation);
      case pcLastWrite: return Ticks(r.LastWrite);
      case pcNewLastWrite: return Ticks(r.NewLastWrite);
      case pcAttr: return r.Attr & kShownAttrs;
      case pcNewAttr: return r.NewAttr & kShownAttrs;
      // What stays as it is and why, side by side.
      case pcNote:
        return (static_cast<int64_t>(r.CreationNote) << 24) | (static_cast<int64_t>(r.CreationWhy) << 16) |
               (static_cast<int64_t>(r.LastWriteNote) << 8) | static_cast<int64_t>(r.LastWriteWhy);
      default: return 0;
    }
  };
  auto before = [&](uint32_t a, uint32_t b) {
    const TPreviewRow &ra = FRows[a], &rb = FRows[b];
    // Rows without a state (not worked out, missing, unreadable) have no value in any column but the path.
    auto stated = [](const TPreviewRow& r) {
      return r.Read && r.AttrNote != TSideNote::Missing && r.AttrNote != TSideNote::Unreadable;
    };
    if (column != pcPath && stated(ra) != stated(rb)) return stated(ra);
    int order = 0;
    if (column == pcPath) {
      const std::wstring pa = FTargets.Entry(static_cast<int>(ra.Index)), pb = FTargets.Entry(static_cast<int>(rb.Index));
      order = CompareStringOrdinal(pa.c_str(), static_cast<int>(pa.size()), pb.c_str(), static_cast<int>(pb.size()),
                                   TRUE) - CSTR_EQUAL;
    } else {
      const int64_t ka = key(ra), kb = key(rb);
      order = ka < kb ? -1 : ka > kb ? 1 : 0;
    }
    if (order == 0) return a < b;
    return ascending ? order < 0 : order > 0;
  };
  std::sort(FOrder.begin(), FOrder.end(), before);
}

std::wstring TPreview::CsvText() const {
  return comm::CsvTableText(
      pcColumnCount, static_cast<size_t>(Count()), [](int c) { return std::wstring(PreviewColumnCaption(c)); },
      [&](size_t row, int c) { return CellText(static_cast<int>(row), c); });
}

}  // namespace engine
