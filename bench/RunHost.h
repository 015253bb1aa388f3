// The host of a change run in a benchmark: a main window that never pumps, a list of files, a user
// who is never asked.
#pragma once
#include "engine/ChangeRun.h"
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// A main window that never pumps, a list of the files, a user who is never asked.
class RunHost : public engine::IChangeWindow, public engine::IChangeTargets, public engine::IChangeUser {
 public:
  explicit RunHost(const std::vector<std::wstring>& files) : FFiles(files) {
    FControls.AttrChg = true;
    FControls.Hidden = true;
    FFlip = true;
    FControls.DateChg = FControls.Create = FControls.Update = true;
    FParts[engine::dsCreate] = {2001, 2, 3, 4, 5, 6};
    FParts[engine::dsUpdate] = {2002, 3, 4, 5, 6, 7};
  }
  // Alternates hidden on and off so that every run writes a change.
  void Flip() { FControls.HiddenOn = (FFlip = !FFlip); }
  // The sides' rules the runs take (all Fixed unless set).
  engine::TTargetTimeRules Rules;

  engine::TChangeControls Controls() const override { return FControls; }
  engine::TDateParts DateParts() const override { return FParts; }
  engine::TTargetTimeRules TargetTimeRules() const override { return Rules; }
  void SetIdleState(bool) override {}
  void ProcessMessages() override {}
  void SetBusyCursor(bool) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void RequestClose() override {}
  void BringToFront() override {}
  int Count() const override { return static_cast<int>(FFiles.size()); }
  std::wstring Entry(int i) const override { return FFiles[static_cast<size_t>(i)]; }
  engine::TAnswer Ask(engine::TQuestion, const std::wstring&) override {
    std::puts("unexpected question");
    return engine::TAnswer::YesToAll;
  }
  void Inform(const std::wstring&) override {}
  void ShowError(const std::wstring&) override { std::puts("unexpected error"); }
  void ReportException() override { std::puts("unexpected exception"); }
  bool Confirm(const std::wstring&, bool) override {
    std::puts("unexpected question");
    return false;
  }

 private:
  const std::vector<std::wstring>& FFiles;
  engine::TChangeControls FControls;
  engine::TDateParts FParts{};
  bool FFlip = false;
};

}  // namespace bench
