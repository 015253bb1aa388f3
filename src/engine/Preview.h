// What a run would do to each target, worked out without changing anything: the rows of the preview.
#pragma once
#include "Base.h"
#include "engine/ChangeRun.h"
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace engine {

// What a side (or the attributes) of a target comes to.
enum class TSideNote : uint8_t {
  Changes,     // gets a new value
  Same,        // the new value is the one it has
  NotSet,      // the run does not touch it
  NoTime,      // its rule has no time for this target (Why says why)
  Missing,     // there is no such file or folder
  Unreadable,  // its state could not be read
};

// One target: its state now and after the run. Kept small, since a preview holds one for each target
// of a list that may have a million.
struct TPreviewRow {
  uint32_t Index = 0;  // in the target list
  bool Read = false;   // worked out yet
  TSideNote CreationNote = TSideNote::NotSet, LastWriteNote = TSideNote::NotSet, AttrNote = TSideNote::NotSet;
  TNoValue CreationWhy = TNoValue::NoCurrentTime, LastWriteWhy = TNoValue::NoCurrentTime;  // with NoTime
  DWORD Attr = 0, NewAttr = 0;
  FILETIME Creation{}, LastWrite{}, NewCreation{}, NewLastWrite{};
};

// The columns of the preview, in order.
enum TPreviewColumn {
  pcPath, pcCreation, pcNewCreation, pcLastWrite, pcNewLastWrite, pcAttr, pcNewAttr, pcNote, pcColumnCount
};
// Their captions.
const wchar_t* PreviewColumnCaption(int column);
// Read-only, hidden and system as letters ("RHS"), as the shell's attribute column shows them.
std::wstring AttrText(DWORD attr);

// The rows of a plan over a target list, worked out a few at a time (Step) so that a window can show
// progress and be stopped, and shown in any column's order.
class TPreview {
 public:
  // The plan is copied; the target list must stay as it is while the preview lives.
  TPreview(const IChangeTargets& targets, const ChangePlan& plan);

  int Count() const { return static_cast<int>(FRows.size()); }
  // Rows worked out so far, in the list's order.
  int Done() const { return FDone; }
  bool Complete() const { return FDone == Count(); }
  // Works out the next rows, at most `rows` of them; false once every row is done.
  bool Step(int rows);

  // A row in the order shown (the list's, until SortBy).
  const TPreviewRow& Row(int shown) const { return FRows[FOrder[static_cast<size_t>(shown)]]; }
  std::wstring CellText(int shown, int column) const;
  // Orders the rows by a column (ties keep the list's order); rows without a state (not yet worked out,
  // missing, unreadable) come last but in the path's order.
  void SortBy(int column, bool ascending);
  int SortColumn() const { return FSortColumn; }
  bool SortAscending() const { return FAscending; }

  // Every row in the order shown, with a head line, as comma-separated text.
  std::wstring CsvText() const;

  const ChangePlan& Plan() const { return FPlan; }

  // The states of targets already read (the walk that collected them found them): known(index) gives
  // the target's state, or null to have it read here.
  using TKnownState = std::function<const WIN32_FILE_ATTRIBUTE_DATA*(int index)>;
  void SetKnownStates(TKnownState known) { FKnown = std::move(known); }

 private:
  // The state of the entry at path: from the listing of its folder when several of the next rows lie
  // in it (one directory read serves them all, as a collection reads it), else read alone. False with
  // the system's error when there is none.
  bool StateOf(int index, const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data, DWORD& error);
  void WorkOut(TPreviewRow& row);

  const IChangeTargets& FTargets;
  ChangePlan FPlan;
  std::vector<TPreviewRow> FRows;
  std::vector<uint32_t> FOrder;
  int FDone = 0;
  int FSortColumn = -1;
  bool FAscending = true;
  // The folder listed last (its literal path) and its entries by name.
  std::wstring FListedFolder;
  std::unordered_map<std::wstring, WIN32_FILE_ATTRIBUTE_DATA> FListed;
  TKnownState FKnown;
};

}  // namespace engine
