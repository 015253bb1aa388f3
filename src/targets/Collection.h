// The target collection: expanding named and dropped paths by the main window's filters into the target list.
#pragma once
#include "Base.h"
#include "targets/TargetList.h"
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace targets {

// What a collection reads from the main window and asks of it. Options are read afresh at every
// decision (they cannot change meanwhile: SetControlsEnabled(false) has locked them).
class ICollectionHost {
 public:
  virtual ~ICollectionHost() = default;
  virtual bool FilesOnly() const = 0;          // "ファイルのみ": folders are not added
  virtual bool FoldersOnly() const = 0;        // "フォルダのみ": files are not added
  virtual bool SubFolders() const = 0;         // folders are walked, recursively
  virtual bool ExtSelect() const = 0;          // files only with a listed extension
  virtual std::wstring ExtString() const = 0;  // the extension list as typed ("TXT; .bmp")
  virtual int SplashCount() const = 0;         // a total at or above it (when above 0) shows the splash
  // Enables or disables the controls of both windows (and the list window as a whole).
  virtual void SetControlsEnabled(bool enabled) = 0;
  virtual bool Shown() const = 0;  // the main window has been shown
  virtual void FocusMainWindow() = 0;
  // Handles the pending window messages, so that the user can stop a collection that runs.
  virtual void ProcessPendingMessages() = 0;
  // Shows the application-wide busy cursor while a collection runs, and takes it away after.
  virtual void SetBusyCursor(bool busy) = 0;
};

// The progress window of a long collection.
class ICollectionSplash {
 public:
  virtual ~ICollectionSplash() = default;
  // Shows the window while the pre-count still runs (the total is not known yet): the gauge at 0,
  // the count label empty.
  virtual void Appear() = 0;
  // Called at every entry the pre-count examines once the window shows; the splash processes the
  // pending window messages (now and then), so that the user can stop the count too.
  virtual void Counting() = 0;
  // Shows the window (if it does not show yet) for the adding pass: the gauge at 0 of total, the
  // count label empty.
  virtual void Start(int total) = 0;
  // position entries added so far (never above the total); text is the count label, "37 / 120 ファイル".
  // Called at every added entry; the splash processes the pending window messages, so that the user
  // can stop the collection.
  virtual void Progress(int position, const std::wstring& text) = 0;
};
// Makes the splash of one collection; the splash calls requestStop when the user stops the collection.
// The splash is released (closed and destroyed) when the adding pass ends.
using SplashFactory = std::function<std::unique_ptr<ICollectionSplash>(std::function<void()> requestStop)>;

// The list window's side of a collection: the list control that holds the second copy of the target
// list, and the window around it.
class ICollectionView {
 public:
  virtual ~ICollectionView() = default;
  // Brings the list window to the front and gives the list the keyboard focus.
  virtual void ActivateForCollection() = 0;
  // Around the adding pass: about `expected` items may follow.
  virtual void BeginAdding(int expected) = 0;
  virtual void EndAdding() = 0;
  // Puts path into the list control at index, the index the target list gave it; false when the
  // control could not take it.
  virtual bool InsertItem(int index, std::wstring_view path) = 0;
  // A view that works on the targets' states without reading them again (a dry run) takes what the
  // walk found of each item it inserted: called right after InsertItem, for entries found by a search
  // (not for a path given itself, whose state the walk does not read).
  virtual bool WantsStates() const { return false; }
  virtual void ItemState(int index, const WIN32_FILE_ATTRIBUTE_DATA& state) { (void)index, (void)state; }
  // Enables the list window's commands (save, copy, clear and their menu entries).
  virtual void EnableCommands() = 0;
  virtual void UpdateCount() = 0;
  virtual bool ViewShowing() const = 0;
};

// The accepted extensions of an extension text: ASCII letters lower-cased, every " " and "."
// removed, split at ";" (an empty piece before each ";" is kept, so ";txt" also accepts files
// without an extension; nothing after a trailing ";" is added).
std::vector<std::wstring> MakeExtList(std::wstring_view text);
// Whether a file's extension (FileExtension) is a listed one: compared ordinally ignoring case, "*" in
// the listed one standing for any run of characters and "?" for any one ("jp*" takes jpg and jpeg; "*"
// takes every extension, none included). No extension holds either, so a list without them means
// what it always did.
bool ExtensionMatches(std::wstring_view listed, std::wstring_view ext);
// The extension of a file name: the text after the last ".", lower-cased; empty without a "." or
// when the name ends in ".".
std::wstring FileExtension(std::wstring_view name);

class TFoundEntries;

// Fills the target list and its list control from paths, by the host's filters. Folders are walked
// depth first, each folder's entry before what lies below it; a folder that is a link (symbolic
// link, junction) is collected like any folder but never walked into, so no cycle can hang a walk.
// The tree is walked once: the pre-count keeps the entries it accepts, and the adding pass adds
// those, so the total and the entries added agree.
class TTargetCollection {
 public:
  TTargetCollection(ICollectionHost& host, TTargetList& list, ICollectionView& view);

  // The one way targets are added: expands paths (files, folders, patterns with "*" and "?") in
  // order, with the user interface locked, and updates the list window afterwards.
  void AddPaths(const std::vector<std::wstring>& paths);

  // How the progress window is made; without one no progress is shown, however large the total.
  void SetSplashFactory(SplashFactory factory) { FSplashFactory = std::move(factory); }
  // Ends the pre-count or the walk at its next entry (the splash's stop button, Esc and close). A
  // stop during the pre-count holds for the adding pass too: the paths given that are folders get
  // their own entries (type permitting), nothing below them is added.
  void RequestStop() { FStopRequested = true; }

  // The splash appears during the pre-count as soon as the count reaches the threshold, or once the
  // count has run this long with a positive threshold (a walk over a whole drive that finds few
  // matching files), so that a long count can be stopped.
  static constexpr DWORD kSlowCountMs = 1000;
  DWORD SlowCountMs = kSlowCountMs;

  const std::vector<std::wstring>& ExtList() const { return FExtList; }
  bool ShowProgress() const { return FShowProgress; }
  bool StopRequested() const { return FStopRequested; }
  const std::wstring& ProgressSuffix() const { return FProgressSuffix; }
  // The pre-counted total of the last collection.
  int LastTotal() const { return FProgressTotal; }

 private:
  int CountPath(const std::wstring& path, TFoundEntries& found);
  void CountTick();
  bool MakeSplash();
  void AddFound(TFoundEntries& found);
  void AddEntry(std::wstring_view path, const WIN32_FILE_ATTRIBUTE_DATA* state);
  void AdvanceProgress();
  bool ExtPasses(std::wstring_view name) const;
  bool FileCounts(std::wstring_view name) const;
  void FinishCollection();

  ICollectionHost& FHost;
  TTargetList& FTargetList;
  ICollectionView& FView;
  SplashFactory FSplashFactory;
  std::unique_ptr<ICollectionSplash> FSplash;

  std::vector<std::wstring> FExtList;
  std::wstring FProgressSuffix;
  bool FShowProgress = false;
  bool FStopRequested = false;
  int FProgressTotal = 0;
  int FProgressPosition = 0;
  long long FCounted = 0;   // the pre-count so far
  DWORD FCountStart = 0;    // when the pre-count began
};

}  // namespace targets
