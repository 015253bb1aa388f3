// The console's side of the companion: text out (the wide console calls on a console, UTF-8 when
// redirected), the keys of a question, the stop request of Ctrl+C, and the console implementations
// of what the change run and the collection ask of a window.
#pragma once
#include "Base.h"
#include "cli/Options.h"
#include "engine/ChangeRun.h"
#include "engine/RunReport.h"
#include "targets/Collection.h"
#include "targets/TargetList.h"
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Text to a standard handle. On a console it goes through WriteConsoleW; redirected (a file, a pipe)
// it is UTF-8 without a byte-order mark, line ends CR LF, buffered until Flush, the buffer fills or a
// quarter of a second has passed since the last write.
class TTextOut {
 public:
  explicit TTextOut(HANDLE handle);
  ~TTextOut() { Flush(); }
  TTextOut(const TTextOut&) = delete;
  TTextOut& operator=(const TTextOut&) = delete;
  // "\n" ends a line.
  void Write(std::wstring_view text);
  void Flush();
  bool IsConsole() const { return FConsole; }

 private:
  static constexpr size_t kBufferBytes = 1 << 20;
  static constexpr uint64_t kFlushMs = 250;
  HANDLE FHandle;
  bool FConsole = false;
  std::string FBuffer;
  uint64_t FLastFlush = 0;
};

// The Ctrl+C (and Ctrl+Break, console close) request: set from the system's handler thread, read by
// the run between targets.
void InstallStopHandler();
bool StopRequested();
void RequestStop();  // as Ctrl+C does
void ClearStop();

// One key of a question's answer, lower-cased; 0 when no key can come (the input ended) or the stop
// was requested meanwhile.
using TKeyReader = std::function<wchar_t()>;
// The keys typed on the console's input.
wchar_t ReadConsoleKey();

// What one target line shows: outcome, path, before, after and the reason, separated by tabs.
// A state is "created / modified / attributes" ("2025/07/14 15:07:58 / 2025/07/14 15:07:58 / RH"; "-"
// for none of read-only, hidden and system); the reason is the report's.
std::wstring StateText(const engine::TTargetState& state);
std::wstring TargetLine(const engine::TReportEntry& entry);
// The same lines for a whole run: a dry run over a large tree prints one for nearly every target, and
// a fixed date gives each the same new times, whose text is made once.
class TLineFormatter {
 public:
  // The target's line and its line end, appended to line.
  void Append(std::wstring& line, const engine::TReportEntry& entry);
  // side: 0 before, 1 after (each keeps its last times' text).
  void AppendState(std::wstring& to, const engine::TTargetState& state, int side);

 private:
  struct TCachedTime {
    bool Valid = false;
    FILETIME Time{};
    std::wstring Text;
  };
  void AppendTime(std::wstring& to, const FILETIME& time, TCachedTime& cache);
  TCachedTime FTimes[2][2];  // [before, after][creation, last write]
  std::array<std::wstring, engine::kOutcomeCount> FOutcomes;
};
// Whether a target's line is printed: it changed (or would), failed, or was missing.
bool PrintsLine(const engine::TReportEntry& entry);
// Text of the engine's boxes as one console line: the breaks and tabs become single spaces.
std::wstring OneLine(std::wstring_view text);

// The user of a run on the console: questions answered from the keys (or all "go on" with yes), notices
// on standard output, errors on standard error.
class TConsoleUser : public engine::IChangeUser {
 public:
  TConsoleUser(TTextOut& out, TTextOut& err, bool yes, TKeyReader keys)
      : FOut(out), FErr(err), FYes(yes), FKeys(std::move(keys)) {}
  engine::TAnswer Ask(engine::TQuestion question, const std::wstring& text) override;
  void Inform(const std::wstring& text) override;
  void ShowError(const std::wstring& text) override;
  bool Confirm(const std::wstring& text, bool defaultYes) override;
  void ReportException() override;
  // The keys y / n (/ a), read until one of them comes; 0 when none can come.
  wchar_t AskKey(const std::wstring& text, const wchar_t* prompt, std::wstring_view keys);

 private:
  TTextOut& FOut;
  TTextOut& FErr;
  bool FYes;
  TKeyReader FKeys;
};

// The run's "window": the options' plan, no controls; between targets it looks at the stop request
// and stops the run as the stop button does.
class TConsoleWindow : public engine::IChangeWindow {
 public:
  explicit TConsoleWindow(const TRunSettings& settings) : FSettings(settings) {}
  void SetRun(engine::TChangeRun* run) { FRun = run; }
  engine::TChangeControls Controls() const override { return FSettings.Controls; }
  engine::TDateParts DateParts() const override { return FSettings.Parts; }
  engine::TTargetTimeRules TargetTimeRules() const override;
  void SetIdleState(bool) override {}
  void ProcessMessages() override;
  void SetBusyCursor(bool) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPosition(int) override {}
  void RequestClose() override {}
  void BringToFront() override {}
  bool Stopped() const { return FStopped; }

 private:
  TRunSettings FSettings;
  engine::TChangeRun* FRun = nullptr;
  bool FStopped = false;
};

// The target list as the run reads it.
class TListTargets : public engine::IChangeTargets {
 public:
  explicit TListTargets(const targets::TTargetList& list) : FList(list) {}
  int Count() const override { return FList.Count(); }
  std::wstring Entry(int index) const override { return std::wstring(FList.Entry(index)); }

 private:
  const targets::TTargetList& FList;
};

// The collection's host: the options' filters, no window. Its "splash" shows nothing: it is there
// because the collection looks for a stop request through it, at every entry.
class TConsoleCollectionHost : public targets::ICollectionHost, public targets::ICollectionView {
 public:
  TConsoleCollectionHost(const TCliOptions& options, TTextOut& err) : FOptions(options), FErr(err) {}
  // Sets the collection up to be stopped by Ctrl+C.
  void Attach(targets::TTargetCollection& collection);
  bool FilesOnly() const override { return FOptions.Take == TTake::Files; }
  bool FoldersOnly() const override { return FOptions.Take == TTake::Folders; }
  bool SubFolders() const override { return FOptions.Recurse; }
  bool ExtSelect() const override { return FOptions.HasExt; }
  std::wstring ExtString() const override { return FOptions.Ext; }
  int SplashCount() const override { return 1; }
  void SetControlsEnabled(bool) override {}
  bool Shown() const override { return false; }
  void FocusMainWindow() override {}
  void ProcessPendingMessages() override {}
  void SetBusyCursor(bool) override {}
  // The list control it has none of.
  void ActivateForCollection() override {}
  void BeginAdding(int) override {}
  void EndAdding() override {}
  bool InsertItem(int index, std::wstring_view) override;
  // A dry run keeps what the walk found of each target, so that it reads nothing twice.
  void KeepStates(bool keep) { FKeepStates = keep; }
  bool WantsStates() const override { return FKeepStates; }
  void ItemState(int index, const WIN32_FILE_ATTRIBUTE_DATA& state) override;
  // The state the walk found of target index; null when it has none (a path given itself).
  const WIN32_FILE_ATTRIBUTE_DATA* KnownState(int index) const;
  void EnableCommands() override {}
  void UpdateCount() override {}
  bool ViewShowing() const override { return false; }

 private:
  const TCliOptions& FOptions;
  TTextOut& FErr;
  bool FKeepStates = false;
  std::vector<WIN32_FILE_ATTRIBUTE_DATA> FStates;  // by the target list's index
};

}  // namespace cli
