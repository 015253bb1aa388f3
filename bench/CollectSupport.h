// Collections in a benchmark: a hidden file list window filled from a tree as the program fills it.
#pragma once
#include "BenchSupport.h"
#include "targets/FileList.h"
#include "ui/Application.h"
#include <functional>
#include <string>

namespace bench {

// Options of the main window: everything, subfolders walked, no extension filter, no splash.
struct CollectionHost : targets::ICollectionHost {
  bool FilesOnly() const override { return false; }
  bool FoldersOnly() const override { return false; }
  bool SubFolders() const override { return true; }
  bool ExtSelect() const override { return false; }
  std::wstring ExtString() const override { return L""; }
  int SplashCount() const override { return splashCount; }
  void SetControlsEnabled(bool enabled) override {
    if (window) {
      window->SetListControlsEnabled(enabled);
      window->SetEnabled(enabled);
    }
  }
  bool Shown() const override { return false; }
  void FocusMainWindow() override {}
  // As the main window does, so that the measured collection pays what the program's does.
  void ProcessPendingMessages() override { ui::Application::Instance().ProcessMessages(); }
  void SetBusyCursor(bool busy) override { ui::Application::Instance().SetBusyCursor(busy); }
  targets::TFormFileList* window = nullptr;
  int splashCount = 0;
};

// One collection into a new hidden window (made before the clock starts); returns seconds, and the
// entry count through count. then, when given, sees the filled window before it goes.
inline double Collect(const std::wstring& root, int& count, int splashCount = 0,
                      const std::function<void(targets::TFormFileList&)>& then = {}) {
  CollectionHost host;
  host.splashCount = splashCount;
  targets::TFormFileList window(host);
  host.window = &window;
  const double t0 = bench::Seconds();
  window.AddPaths({root});
  const double t = bench::Seconds() - t0;
  count = window.EntryCount();
  if (then) then(window);
  return t;
}

}  // namespace bench
