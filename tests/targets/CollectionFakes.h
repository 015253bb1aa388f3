// Stand-ins for the main window and the progress window in collection tests, and a folder-link maker.
#pragma once
#include "targets/Collection.h"
#include "ui/Application.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace targetstest {

// The main window's options, with its lock recorded.
struct FakeHost : targets::ICollectionHost {
  bool filesOnly = false, foldersOnly = false, subFolders = true, extSelect = false, shown = false;
  std::wstring extString;
  int splashCount = 0, focusCalls = 0;
  std::vector<bool> enableCalls, busyCalls;
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
  // The splash is a real window: its messages are handled as the main window would.
  void ProcessPendingMessages() override { ui::Application::Instance().ProcessMessages(); }
  void SetBusyCursor(bool busy) override {
    busyCalls.push_back(busy);
    ui::Application::Instance().SetBusyCursor(busy);
  }
};

// A progress window that records what it shows; onCounting runs at every entry of the pre-count
// once the window shows, onProgress at every advance.
struct SplashLog {
  int made = 0, released = 0, appeared = 0, counting = 0;
  std::vector<int> starts, positions;
  std::wstring lastText;
  std::function<void()> requestStop;
  std::function<void(int calls)> onCounting;
  std::function<void(int position)> onProgress;
};

inline targets::SplashFactory FakeSplashFactory(SplashLog& log) {
  struct Splash : targets::ICollectionSplash {
    explicit Splash(SplashLog& l) : log(l) {}
    ~Splash() override { ++log.released; }
    void Appear() override { ++log.appeared; }
    void Counting() override {
      ++log.counting;
      if (log.onCounting) log.onCounting(log.counting);
    }
    void Start(int total) override { log.starts.push_back(total); }
    void Progress(int position, const std::wstring& text) override {
      log.positions.push_back(position);
      log.lastText = text;
      if (log.onProgress) log.onProgress(position);
    }
    SplashLog& log;
  };
  return [&log](std::function<void()> requestStop) -> std::unique_ptr<targets::ICollectionSplash> {
    ++log.made;
    log.requestStop = std::move(requestStop);
    return std::make_unique<Splash>(log);
  };
}

// Makes `link`, a link to the folder `target`: a symbolic link, or under Wine (whose
// CreateSymbolicLinkW makes nothing) a link of the host file system. True when `link` is then a
// folder with the reparse-point attribute; otherwise why says what failed.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target, std::wstring& why);

}  // namespace targetstest
