// Stand-ins for the main window, the list window and the progress window in collection tests.
#pragma once
#include "support/TempTree.h"
#include "targets/Collection.h"
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace targetstest {

// The main window's options and lock, recorded.
struct FakeHost : targets::ICollectionHost {
  bool filesOnly = false, foldersOnly = false, subFolders = true, extSelect = false;
  std::wstring extString;
  int splashCount = 0;
  bool shown = false;
  std::vector<bool> enableCalls;
  int focusCalls = 0;
  std::function<void(bool)> onSetControlsEnabled;

  bool FilesOnly() const override { return filesOnly; }
  bool FoldersOnly() const override { return foldersOnly; }
  bool SubFolders() const override { return subFolders; }
  bool ExtSelect() const override { return extSelect; }
  std::wstring ExtString() const override { return extString; }
  int SplashCount() const override { return splashCount; }
  void SetControlsEnabled(bool enabled) override {
    enableCalls.push_back(enabled);
    if (onSetControlsEnabled) onSetControlsEnabled(enabled);
  }
  bool Shown() const override { return shown; }
  void FocusMainWindow() override { ++focusCalls; }
};

// The list control's copy and the window steps, recorded.
struct FakeView : targets::ICollectionView {
  std::vector<std::wstring> items;
  std::vector<std::string> steps;  // the calls other than InsertItem, in order
  bool showing = false;
  std::function<bool(const std::wstring&)> refuse;  // items the control cannot take
  std::function<void(const std::wstring&)> onInsert;

  void ActivateForCollection() override { steps.push_back("activate"); }
  void BeginAdding(int) override { steps.push_back("begin"); }
  void EndAdding() override { steps.push_back("end"); }
  bool InsertItem(int index, const std::wstring& path) override {
    if (onInsert) onInsert(path);
    if (refuse && refuse(path)) return false;
    if (index < 0 || index > static_cast<int>(items.size())) throw std::logic_error("index out of range");
    items.insert(items.begin() + index, path);
    return true;
  }
  void EnableCommands() override { steps.push_back("commands"); }
  void UpdateCount() override { steps.push_back("count"); }
  bool ViewShowing() const override { return showing; }
};

// A progress window that records what it is shown; onProgress runs at every advance.
struct SplashLog {
  int made = 0, released = 0;
  std::vector<int> starts;
  std::vector<int> positions;
  std::vector<std::wstring> texts;
  std::function<void()> requestStop;
  std::function<void(int position)> onProgress;
};

class FakeSplash : public targets::ICollectionSplash {
 public:
  explicit FakeSplash(SplashLog& log) : FLog(log) {}
  ~FakeSplash() override { ++FLog.released; }
  void Start(int total) override { FLog.starts.push_back(total); }
  void Progress(int position, const std::wstring& text) override {
    FLog.positions.push_back(position);
    FLog.texts.push_back(text);
    if (FLog.onProgress) FLog.onProgress(position);
  }

 private:
  SplashLog& FLog;
};

inline targets::SplashFactory FakeSplashFactory(SplashLog& log) {
  return [&log](std::function<void()> requestStop) -> std::unique_ptr<targets::ICollectionSplash> {
    ++log.made;
    log.requestStop = std::move(requestStop);
    return std::make_unique<FakeSplash>(log);
  };
}

// Makes a link named `link` to the folder `target`, as the system allows: a symbolic link, or where
// the system only pretends to make one (Wine), a link of the host file system made by its own ln.
// True when `link` is then a folder that carries the reparse-point attribute.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::wstring& why);

}  // namespace targetstest
