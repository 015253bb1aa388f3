// The console companion: the same collection, change run, preview and journal as the window program.
#include "cli/Companion.h"
#include "comm/Clock.h"
#include "comm/Csv.h"
#include "comm/ErrorText.h"
#include "comm/FileBytes.h"
#include "comm/LiteralPath.h"
#include "engine/UndoLast.h"
#include "targets/CommandLine.h"

namespace cli {
namespace {

// The rows a dry run works out between two looks at the stop request.
constexpr int kPreviewStep = 256;

std::wstring CountsLine(const wchar_t* heading, int changed, int errors, int unchanged) {
  return std::wstring(heading) + std::to_wstring(changed) + L"、エラー数 " + std::to_wstring(errors) + L"、未変更数 " +
         std::to_wstring(unchanged) + L"\n";
}

// The undo's questions on the console.
class TConsoleUndoUser : public engine::IUndoUser {
 public:
  TConsoleUndoUser(TConsoleUser& user, TTextOut& err, bool yes) : FUser(user), FErr(err), FYes(yes) {}
  // The undo informs only of why it undid nothing (nothing to undo, the journal in use or replaced):
  // diagnostics, kept off the standard output that a script reads for the targets' lines.
  void Inform(const std::wstring& text) override { FErr.Write(OneLine(text) + L"\n"); }
  void ShowError(const std::wstring& text) override { FUser.ShowError(text); }
  bool ConfirmUndo(const engine::TJournal& journal) override {
    const std::wstring text = engine::UndoConfirmationText(journal);
    if (FYes) {
      FErr.Write(OneLine(text) + L"\n");
      return true;
    }
    return FUser.AskKey(text, L"[y] はい  [n] いいえ: ", L"yn") == L'y';
  }

 private:
  TConsoleUser& FUser;
  TTextOut& FErr;
  bool FYes;
};

engine::TRunReport EmptyReport(bool undo, engine::TRunEnding ending = engine::TRunEnding::Ended) {
  engine::TRunReport report;
  report.Undo = undo;
  report.Ending = ending;
  GetSystemTimeAsFileTime(&report.Started);
  return report;
}

class TCompanion {
 public:
  TCompanion(const TCliOptions& options, TCompanionIo& io)
      : FOptions(options), FIo(io), FUser(io.Out, io.Err, options.Yes || !io.InputIsConsole, io.Keys) {}
  int Run(const TRunSettings& settings);
  int Undo();

 private:
  void Print(const engine::TReportEntry& entry) {
    if (!PrintsLine(entry)) return;
    FLine.clear();
    FLines.Append(FLine, entry);
    FIo.Out.Write(FLine);
  }
  // The log, when one is asked for, however the run ended: one that did nothing leaves a log of nothing
  // rather than an earlier run's. A path given that named nothing is in it first, and makes a success a
  // failure, as does a log that cannot be written.
  int Logged(int code, const engine::TRunReport& report);
  int DryRun(const TConsoleWindow& window, const engine::IChangeTargets& targets, const TConsoleCollectionHost& host);
  int Outcome(const engine::TChangeRun& run, bool stopped) const;

  const TCliOptions& FOptions;
  TCompanionIo& FIo;
  TConsoleUser FUser;
  TLineFormatter FLines;
  std::wstring FLine;
  std::vector<engine::TReportEntry> FMissing;  // the paths given that named nothing
};

int TCompanion::Logged(int code, const engine::TRunReport& report) {
  if (!FMissing.empty() && code == ecDone) code = ecFailed;
  if (FOptions.LogFile.empty()) return code;
  DWORD error = ERROR_SUCCESS;
  bool written;
  if (FMissing.empty()) {
    written = WriteReportCsv(FOptions.LogFile, report, error);
  } else {
    engine::TRunReport withMissing = report;
    withMissing.Entries.insert(withMissing.Entries.begin(), FMissing.begin(), FMissing.end());
    written = WriteReportCsv(FOptions.LogFile, withMissing, error);
  }
  if (written) return code;
  FUser.ShowError(L"ログ ファイルを書き込めません: " + FOptions.LogFile + L" " + comm::SystemErrorText(error));
  return code == ecDone ? ecFailed : code;
}

int TCompanion::Outcome(const engine::TChangeRun& run, bool stopped) const {
  // Ctrl+C while a question waited ends the run through the question's "中止", not the stop.
  if (stopped || StopRequested()) return ecStopped;
  // No run took place: it would not start without its journal (the answer "n", or --yes, which answers
  // as the box's default button), so nothing was done of what was asked.
  const FILETIME& started = run.Report().Started;
  if (started.dwLowDateTime == 0 && started.dwHighDateTime == 0) return ecFailed;
  // A target gone when the run came to it is no error of the summary's, yet nothing was done to it.
  const engine::TRunSummary& s = run.LastSummary();
  const auto counts = engine::OutcomeCounts(run.Report());
  return s.Errors > 0 || s.Aborted || counts[static_cast<size_t>(engine::TTargetOutcome::Missing)] > 0 ? ecFailed
                                                                                                      : ecDone;
}

int TCompanion::Run(const TRunSettings& settings) {
  // The targets, collected as the window collects the paths it is given.
  targets::TTargetList list;
  TConsoleCollectionHost host(FOptions, FIo.Err);
  host.KeepStates(FOptions.DryRun);
  {
    const std::vector<std::wstring> paths = targets::CommandLinePaths(FOptions.Paths);
    // The window passes over a path that names nothing; a script is told, by a line, the log and the
    // exit code.
    for (const auto& path : paths) {
      const size_t name = path.find_last_of(L"\\/");
      const bool pattern = path.find_first_of(L"*?", name == std::wstring::npos ? 0 : name) != std::wstring::npos;
      if (pattern || GetFileAttributesW(comm::comm_LiteralPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
      engine::TReportEntry& missing = FMissing.emplace_back();
      missing.Error = GetLastError();
      missing.Path = path;
      missing.Outcome = engine::TTargetOutcome::Missing;
      FIo.Err.Write(L"見つかりません: " + path + L"\n");
      Print(missing);
    }
    targets::TTargetCollection collection(host, list, host);
    host.Attach(collection);
    collection.AddPaths(paths);
  }
  if (StopRequested()) {
    FIo.Err.Write(L"対象を集める途中で中断しました。\n");
    return Logged(ecStopped, EmptyReport(false, engine::TRunEnding::Stopped));
  }
  if (list.Empty()) {
    FIo.Err.Write(L"パスと条件に合うファイルまたはフォルダがありません。\n");
    // The log still says what this run did (nothing), rather than what an earlier one left there.
    return Logged(ecNothing, EmptyReport(false));
  }

  TListTargets targets(list);
  TConsoleWindow window(settings);
  engine::TChangeRun run(window, targets, FUser);
  window.SetRun(&run);
  if (FOptions.DryRun) return DryRun(window, targets, host);

  std::unique_ptr<engine::TJournalWriter> journal;
  if (!FIo.JournalPath.empty()) journal = std::make_unique<engine::TJournalWriter>(FIo.JournalPath);
  run.SetJournal(journal.get());
  run.SetReportSink([this](const engine::TReportEntry& entry) { Print(entry); });
  run.ButtonSetClick();
  return Logged(Outcome(run, window.Stopped()), run.Report());
}

int TCompanion::DryRun(const TConsoleWindow& window, const engine::IChangeTargets& targets,
                       const TConsoleCollectionHost& host) {
  engine::ChangePlan plan;
  std::wstring message;
  if (!engine::BuildChangePlan(window, plan, message)) {
    FUser.ShowError(message);
    return Logged(ecUsage, EmptyReport(false));
  }
  engine::TPreview preview(targets, plan);
  // What the collection's walk found a moment ago is what a second look would find.
  preview.SetKnownStates([&host](int index) { return host.KnownState(index); });
  while (preview.Step(kPreviewStep))
    if (StopRequested()) return Logged(ecStopped, EmptyReport(false, engine::TRunEnding::Stopped));

  // The report is kept only for the log.
  engine::TRunReport report = EmptyReport(false);
  const bool keep = !FOptions.LogFile.empty();
  if (keep) report.Entries.reserve(static_cast<size_t>(preview.Count()));
  int changed = 0, errors = 0;
  for (int i = 0; i < preview.Count(); ++i) {
    const engine::TPreviewRow& row = preview.Row(i);
    engine::TReportEntry entry = DryRunEntry(row, targets.Entry(static_cast<int>(row.Index)));
    Print(entry);
    if (entry.Outcome == engine::TTargetOutcome::Changed) ++changed;
    else if (entry.Outcome == engine::TTargetOutcome::Failed || entry.Outcome == engine::TTargetOutcome::Missing) ++errors;
    if (keep) report.Entries.push_back(std::move(entry));
  }
  FIo.Out.Write(CountsLine(L"確認のみ (--dry-run): 変更される数 ", changed, errors, preview.Count() - changed - errors));
  return Logged(errors > 0 ? ecFailed : ecDone, report);
}

int TCompanion::Undo() {
  const targets::TTargetList empty;  // the undo walks the journal's targets
  TListTargets none(empty);
  TConsoleWindow window(TRunSettings{});
  engine::TChangeRun run(window, none, FUser);
  window.SetRun(&run);
  run.SetReportSink([this](const engine::TReportEntry& entry) { Print(entry); });
  TConsoleUndoUser user(FUser, FIo.Err, FOptions.Yes || !FIo.InputIsConsole);
  switch (engine::UndoLastRun(run, FIo.JournalPath, user)) {
    case engine::TUndoOutcome::Nothing: return Logged(ecNothing, EmptyReport(true));
    case engine::TUndoOutcome::Busy:
    case engine::TUndoOutcome::Failed:
    case engine::TUndoOutcome::Declined: return Logged(ecFailed, EmptyReport(true));
    case engine::TUndoOutcome::Done: break;
  }
  return Logged(Outcome(run, window.Stopped()), run.Report());
}

}  // namespace

engine::TReportEntry DryRunEntry(const engine::TPreviewRow& row, std::wstring path) {
  using engine::TSideNote;
  using engine::TTargetOutcome;
  engine::TReportEntry e;
  e.Path = std::move(path);
  if (row.AttrNote == TSideNote::Missing) {
    e.Outcome = TTargetOutcome::Missing;
    return e;
  }
  if (row.AttrNote == TSideNote::Unreadable) {
    e.Outcome = TTargetOutcome::Failed;
    return e;
  }
  e.HasBefore = e.HasAfter = true;
  e.Before = {row.Attr, row.Creation, row.LastWrite};
  e.After = {row.NewAttr, row.NewCreation, row.NewLastWrite};
  const TSideNote notes[3] = {row.AttrNote, row.CreationNote, row.LastWriteNote};
  bool changes = false, noTime = false;
  for (const TSideNote n : notes) {
    changes = changes || n == TSideNote::Changes;
    noTime = noTime || n == TSideNote::NoTime;
  }
  e.Outcome = changes ? TTargetOutcome::Changed : noTime ? TTargetOutcome::NoValue : TTargetOutcome::Unchanged;
  if (!changes) e.After = e.Before;
  return e;
}

bool WriteReportCsv(const std::wstring& path, const engine::TRunReport& report, DWORD& error) {
  // Replaced whole, as the window saves its lists: a write that fails leaves the earlier log as it was,
  // and a path beyond MAX_PATH is taken.
  const comm::TReplaceBytesOutcome written =
      comm::comm_ReplaceFileBytes(path, comm::CsvFileBytes(engine::ReportCsvText(report)));
  error = written.Error;
  return written.Result != comm::rpFailed;
}

int RunCompanion(const std::vector<std::wstring>& arguments, TCompanionIo& io) {
  TCliOptions options;
  TUsageError usage;
  if (!ParseArguments(arguments, comm::Now(), options, usage)) {
    io.Err.Write(UsageErrorText(usage));
    return ecUsage;
  }
  switch (options.Command) {
    case TCommand::Help: io.Out.Write(UsageText()); return ecDone;
    case TCommand::Version: io.Out.Write(VersionText()); return ecDone;
    case TCommand::Undo: return TCompanion(options, io).Undo();
    case TCommand::Run: break;
  }
  TRunSettings settings;
  if (!MakeRunSettings(options, settings, usage)) {
    io.Err.Write(UsageErrorText(usage));
    return ecUsage;
  }
  return TCompanion(options, io).Run(settings);
}

}  // namespace cli
