// The console companion against bare loops: a run of 20,000 targets (collected, changed with its
// journal, a line each to a redirected output) against the same walk and the same calls by hand; and
// a dry run of 100,000 targets with a fixed date against the collection of the same tree alone.
#include "BenchSupport.h"
#include "cli/Companion.h"
#include "comm/Clock.h"
#include "comm/FileDateTime.h"
#include "comm/LiteralPath.h"
#include "targets/Collection.h"

namespace {

// Output redirected to a file, as a script's ">" does.
class RedirectedOutput {
 public:
  explicit RedirectedOutput(const std::wstring& path) : FPath(path) {
    FFile = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  }
  ~RedirectedOutput() {
    CloseHandle(FFile);
    DeleteFileW(FPath.c_str());
  }
  HANDLE Handle() const { return FFile; }

 private:
  std::wstring FPath;
  HANDLE FFile;
};

int Companion(const std::vector<std::wstring>& args, HANDLE out, const std::wstring& journal) {
  cli::TTextOut o(out), e(out);
  cli::TCompanionIo io{o, e, nullptr, false, journal};
  return cli::RunCompanion(args, io);
}

// What a companion run does, by hand: the walk; per target the existence check, the open of the
// object with its name (and once per folder the folder's name), the attributes read, written and
// read back, the times read and written, a journal record before and after (written out in large
// pieces and flushed once a second, as the journal is) and its output line.
void ByHand(const std::wstring& root, bool hiddenOn, const FILETIME& fc, const FILETIME& fw, HANDLE out,
            const std::wstring& journal) {
  std::vector<std::wstring> files;
  bench::WalkTree(root, [&](const std::wstring& f, const WIN32_FIND_DATAW& fd) {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(f);
  });
  std::sort(files.begin(), files.end());
  HANDLE j = CreateFileW(journal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  std::string record, lines;
  DWORD lastFlush = GetTickCount(), written;
  std::wstring lastFolder;
  for (const auto& path : files) {
    const std::wstring f = L"\\\\?\\" + path;
    if (GetFileAttributesW(f.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    HANDLE h = bench::OpenChecked(f, lastFolder);
    record.append(32 + path.size() * 2, 'B');
    bench::ChangeByHand(h, hiddenOn, fc, fw);
    // The state the target was left in, for its report.
    FILE_BASIC_INFO info;
    GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info);
    CloseHandle(h);
    record.append(36, 'A');
    lines.append(160 + path.size(), 'x');
    if (record.size() > 64 * 1024) {
      WriteFile(j, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
      record.clear();
    }
    if (GetTickCount() - lastFlush >= 1000) {
      FlushFileBuffers(j);
      lastFlush = GetTickCount();
    }
    if (lines.size() > 64 * 1024) {
      WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
      lines.clear();
    }
  }
  WriteFile(j, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  FlushFileBuffers(j);
  CloseHandle(j);
  DeleteFileW(journal.c_str());
  WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
}

// The collection alone, as the companion makes it: the same host, no window.
int Collect(const std::wstring& root, const std::vector<std::wstring>& args) {
  cli::TCliOptions options;
  cli::TUsageError error;
  cli::ParseArguments(args, comm::Now(), options, error);
  cli::TTextOut err(nullptr);
  cli::TConsoleCollectionHost host(options, err);
  targets::TTargetList list;
  targets::TTargetCollection collection(host, list, host);
  host.Attach(collection);
  collection.AddPaths({root});
  return list.Count();
}

}  // namespace

int main(int argc, char** argv) {
  const int n = bench::CountArg(argc, argv, 20000);
  wchar_t tmp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, tmp);
  const std::wstring base = std::wstring(tmp) + L"vss-bench-companion-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring journal = base + L".undo", bareJournal = base + L"-bare.undo";
  RedirectedOutput out(base + L".out");
  bench::ReportHeader();
  {
    // 50 files a folder, as in the change run's benchmark.
    const bench::Tree tree(n, std::max(1, n / 50), false);
    const FILETIME fc = bench::LocalFileTime({2001, 2, 3, 4, 5, 6, 0});
    const FILETIME fw = bench::LocalFileTime({2002, 3, 4, 5, 6, 7, 0});
    bool on = false, bareOn = false;
    int code = 0;
    const auto t = bench::Race(5, {[&] {
                                     on = !on;
                                     code |= Companion({L"--hidden", on ? L"on" : L"off", L"--created", L"2001-02-03 04:05:06",
                                                        L"--modified", L"2002-03-04 05:06:07", L"--files", L"--recurse",
                                                        L"--yes", tree.Root()},
                                                       out.Handle(), journal);
                                   },
                                   [&] {
                                     bareOn = !bareOn;
                                     ByHand(tree.Root(), bareOn, fc, fw, out.Handle(), bareJournal);
                                   }});
    if (code != 0) std::printf("a companion run ended with %d\n", code);
    char what[64];
    std::snprintf(what, sizeof what, "companion run of %d vs the calls by hand", n);
    bench::Report(what, n, t[0], t[1]);
    DeleteFileW(journal.c_str());
  }
  {
    // The dry run over 100,000 files (or ten times the count given) with a fixed date, against the
    // collection of the same tree by the same host.
    const int m = n * 5;
    const bench::Tree tree(m, std::max(1, m / 50), false);
    int collected = 0, code = 0;
    const auto t = bench::Race(5, {[&] {
                                     code |= Companion({L"--dry-run", L"--modified", L"2002-03-04 05:06:07", L"--files",
                                                        L"--recurse", tree.Root()},
                                                       out.Handle(), journal);
                                   },
                                   [&] {
                                     collected = Collect(tree.Root(), {L"--files", L"--recurse", L"--hidden", L"on", L"x"});
                                   }});
    if (code != 0 || collected != m) std::printf("dry run ended with %d, collection found %d of %d\n", code, collected, m);
    char what[64];
    std::snprintf(what, sizeof what, "dry run of %d vs the collection", m);
    bench::Report(what, m, t[0], t[1]);
  }
  return 0;
}
