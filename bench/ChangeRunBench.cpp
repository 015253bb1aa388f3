// The change run over a tree of files against bare loops of the system calls it makes: the
// sequence it uses (one open of the object itself, its name checked against its folder's, the
// attributes read, written and read back, the times read and written through the same handle), and
// the literal one of path calls (read-only cleared and restored on every target, the times read by
// one open and written after two more).
#include "BenchSupport.h"
#include "RunHost.h"
#include "comm/FileDateTime.h"
#include "engine/ChangeRun.h"
#include "app/Main.h"
#include "ui/Application.h"

namespace {

HANDLE OpenForTimes(const std::wstring& f) {
  return CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // The tree of a typical collection: 50 files a folder (20,000 files in 400 folders by default).
  const int n = bench::CountArg(argc, argv, 20000);
  const bench::Tree tree(n, std::max(1, n / 50));
  // In the order of a target list: sorted, so a folder's files come together.
  std::vector<std::wstring> files = tree.Files();
  std::sort(files.begin(), files.end());
  std::vector<std::wstring> literal;
  for (const auto& f : files) literal.push_back(L"\\\\?\\" + f);
  bench::RunHost host(files);
  engine::TChangeRun run(host, host, host);

  const FILETIME fc = bench::LocalFileTime({2001, 2, 3, 4, 5, 6, 0});
  const FILETIME fw = bench::LocalFileTime({2002, 3, 4, 5, 6, 7, 0});
  bool hiddenOn = false;

  std::printf("%d files in %d folders, hidden switched and both times written per target, 5 rounds, median\n", n,
              std::max(1, n / 50));
  bench::ReportHeader();
  // What the run does, by hand.
  auto byHand = [&] {
    hiddenOn = !hiddenOn;
    std::wstring lastFolder;
    for (const auto& f : literal) {
      if (GetFileAttributesW(f.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
      HANDLE h = bench::OpenChecked(f, lastFolder);
      bench::ChangeByHand(h, hiddenOn, fc, fw);
      CloseHandle(h);
    }
  };
  const auto t = bench::Race(5, {[&] {
                                   host.Flip();
                                   run.ButtonSetClick();
                                 },
                                 byHand,
                                 [&] {
                                   // The literal sequence: read-only cleared and restored every time,
                                   // the times read, then read again and written through two more opens.
                                   hiddenOn = !hiddenOn;
                                   for (const auto& f : files) {
                                     if (GetFileAttributesW(f.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
                                     DWORD a = GetFileAttributesW(f.c_str());
                                     SetFileAttributesW(f.c_str(), hiddenOn ? a | FILE_ATTRIBUTE_HIDDEN : a & ~DWORD{FILE_ATTRIBUTE_HIDDEN});
                                     a = GetFileAttributesW(f.c_str());
                                     const DWORD ro = a & FILE_ATTRIBUTE_READONLY;
                                     a = GetFileAttributesW(f.c_str());
                                     SetFileAttributesW(f.c_str(), a & ~DWORD{FILE_ATTRIBUTE_READONLY});
                                     FILETIME t0, t1, t2;
                                     for (int k = 0; k < 2; ++k) {
                                       HANDLE h = OpenForTimes(f);
                                       GetFileTime(h, &t0, &t1, &t2);
                                       CloseHandle(h);
                                     }
                                     HANDLE h = OpenForTimes(f);
                                     SetFileTime(h, &fc, nullptr, &fw);
                                     CloseHandle(h);
                                     a = GetFileAttributesW(f.c_str());
                                     SetFileAttributesW(f.c_str(), (a & ~DWORD{FILE_ATTRIBUTE_READONLY}) | ro);
                                   }
                                 }});
  bench::Report("change run vs the same calls by hand", n, t[0], t[1]);

  // The same run keeping its journal for the undo command, against the run without one; then the undo
  // of such a run (the journal read, every target given back) against the same calls by hand.
  wchar_t tempDir[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, tempDir);
  const std::wstring journalPath =
      std::wstring(tempDir) + L"vss-bench-journal-" + std::to_wstring(GetCurrentProcessId()) + L".undo";
  {
    engine::TJournalWriter writer(journalPath);
    const auto j = bench::Race(5, {[&] {
                                     host.Flip();
                                     run.SetJournal(&writer);
                                     run.ButtonSetClick();
                                   },
                                   [&] {
                                     host.Flip();
                                     run.SetJournal(nullptr);
                                     run.ButtonSetClick();
                                   }});
    bench::Report("change run with its journal vs without", n, j[0], j[1]);

    std::vector<double> undo, bare;
    for (int round = 0; round < 5; ++round) {
      host.Flip();
      run.SetJournal(&writer);
      run.ButtonSetClick();
      double t0 = bench::Seconds();
      engine::TJournal journal;
      DWORD error;
      engine::LoadJournal(journalPath, journal, error);
      run.UndoClick(journal);
      undo.push_back(bench::Seconds() - t0);
      if (!run.UndoComplete()) std::printf("undo incomplete: %d of %zu\n", run.LastSummary().Changed, journal.Records.size());

      host.Flip();
      run.ButtonSetClick();
      engine::LoadJournal(journalPath, journal, error);
      t0 = bench::Seconds();
      std::wstring lastFolder;
      for (const auto& r : journal.Records) {
        const std::wstring f = L"\\\\?\\" + r.Path;
        if (GetFileAttributesW(f.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        HANDLE h = bench::OpenChecked(f, lastFolder);
        FILE_BASIC_INFO info;
        GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info);
        FILE_BASIC_INFO change{};
        change.FileAttributes = r.Before.Attr ? r.Before.Attr : FILE_ATTRIBUTE_NORMAL;
        SetFileInformationByHandle(h, FileBasicInfo, &change, sizeof change);
        GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info);
        SetFileTime(h, &r.Before.Creation, nullptr, &r.Before.LastWrite);
        CloseHandle(h);
      }
      bare.push_back(bench::Seconds() - t0);
    }
    std::sort(undo.begin(), undo.end());
    std::sort(bare.begin(), bare.end());
    bench::Report("undo of that run vs the same calls by hand", n, undo[2], bare[2]);
    run.SetJournal(nullptr);
  }
  DeleteFileW(journalPath.c_str());

  // The same run started from the main window, as the user starts it: its progress bar, its
  // message pumping per target and its summary box (closed at once by the automatic exit).
  wchar_t tmp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, tmp);
  const std::wstring ini = std::wstring(tmp) + L"vss-bench-run-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
  {
    app::TVNStampShifter window(ini);
    window.SetTargets(&host);
    auto& application = ui::Application::Instance();
    application.SetMainForm(&window);
    window.CheckBoxAttrChg.SetChecked(true);
    window.CheckBoxHidden.SetChecked(true);
    window.CheckBoxReadOnly.SetChecked(false);
    window.CheckBoxSystem.SetChecked(false);
    window.CheckBoxDateChg.SetChecked(true);
    window.CheckBoxCreate.SetChecked(true);
    window.CheckBoxUpdate.SetChecked(true);
    window.CheckBoxAutoExit.SetChecked(true);
    const uint16_t parts[2][6] = {{2001, 2, 3, 4, 5, 6}, {2002, 3, 4, 5, 6, 7}};
    for (int side = 0; side < 2; ++side)
      for (int part = 0; part < 6; ++part) window.FDateParts[side][part] = parts[side][part];
    bool on = false;
    const auto w = bench::Race(5, {[&] {
                                     on = !on;
                                     (on ? window.RadioButtonHiddenON : window.RadioButtonHiddenOFF).SetChecked(true);
                                     window.ButtonSetClick(&window.ButtonSet);
                                     // The automatic exit ended the program; start it again for the next round.
                                     MSG msg;
                                     while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
                                     }
                                     application.ResetTerminated();
                                   },
                                   byHand});
    bench::Report("run from the main window vs the same calls", n, w[0], w[1]);
    window.SetTargets(nullptr);
    application.SetMainForm(nullptr);
  }
  DeleteFileW(ini.c_str());
  bench::Report("change run vs the literal sequence", n, t[0], t[2]);
  if (run.LastSummary().Changed != n) std::printf("changed %d of %d\n", run.LastSummary().Changed, n);
  return 0;
}
