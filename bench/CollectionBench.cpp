// The collection of a generated tree into a hidden file list window, against a bare directory walk
// that builds a sorted vector of the same paths; 10,000 against 100,000 files for the growth; and
// 100,000 files with the progress splash shown against the same collection without it.
#include "BenchSupport.h"
#include "CollectSupport.h"
#include "comm/LiteralPath.h"
#include "targets/FileList.h"
#include "ui/Application.h"
#include <commctrl.h>
#include <psapi.h>
#include <cstring>

namespace {

// The bare walk: the directory search the collection makes (FindFirstFileExW with the basic level,
// which skips the short names, then FindNextFileW), every folder and file path into a vector,
// sorted with the target list's comparison.
void BareWalk(const std::wstring& dir, std::vector<std::wstring>& out) {
  bench::WalkTree(dir, [&](const std::wstring& full, const WIN32_FIND_DATAW&) { out.push_back(full); });
}

size_t BareCollect(const std::wstring& root) {
  std::vector<std::wstring> paths{root};
  BareWalk(root, paths);
  // The list compares the key of each path's object, made once per entry.
  std::vector<std::pair<std::wstring, std::wstring>> keyed;
  keyed.reserve(paths.size());
  for (auto& p : paths) keyed.emplace_back(comm::comm_PathKey(p), std::move(p));
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return CompareStringOrdinal(a.first.data(), static_cast<int>(a.first.size()), b.first.data(),
                                static_cast<int>(b.first.size()), TRUE) == CSTR_LESS_THAN;
  });
  return keyed.size();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Times {
  std::vector<double> unit, bare, splash;
};

// One round on one tree: the collection, then the bare walk; the counts must agree.
void Round(const bench::Tree& tree, Times& times) {
  int count = 0;
  times.unit.push_back(bench::Collect(tree.Root(), count));
  const double t0 = bench::Seconds();
  const size_t bareCount = BareCollect(tree.Root());
  times.bare.push_back(bench::Seconds() - t0);
  if (static_cast<size_t>(count) != bareCount) std::printf("count mismatch: %d against %zu\n", count, bareCount);
}

// The same collection with the progress splash shown from the first entry on.
void SplashRound(const bench::Tree& tree, Times& times) {
  int count = 0;
  times.splash.push_back(bench::Collect(tree.Root(), count, 1));
}

}  // namespace

// The optional run: one collection of 1,000,000 files against the bare walk, and the process's
// peak memory (the tree alone takes minutes to make).
int Million() {
  const bench::Tree tree(1000000, 20000, false);
  // The collection first, so that the peak is the program's and not the bare walk's vector; the tree
  // was just made, so the system's caches are warm for both.
  int warm = 0;
  const double unit = bench::Collect(tree.Root(), warm);
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof(pmc));
  const double t0 = bench::Seconds();
  const size_t bareCount = BareCollect(tree.Root());
  const double bare = bench::Seconds() - t0;
  std::printf("one collection of the million, against the bare walk\n");
  bench::ReportHeader();
  bench::Report("collect 1,000,000 files, 20,000 folders", 1020000, unit, bare);
  if (static_cast<size_t>(warm) != bareCount) std::printf("count mismatch: %d against %zu\n", warm, bareCount);
  std::printf("%-44s %10.0f MB\n", "peak working set", pmc.PeakWorkingSetSize / 1048576.0);
  return 0;
}

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (argc > 1 && std::strcmp(argv[1], "--million") == 0) return Million();
  const int files = bench::CountArg(argc, argv, 20000);
  const int rounds = 5;
  // Three trees of 50 files a folder, made before any clock runs. The rounds take them in turn, so
  // that a change of load on the machine falls on all of them alike.
  const bench::Tree main(files, files / 50), small(10000, 200), large(100000, 2000);
  const bench::Tree* trees[] = {&main, &small, &large};
  Times times[3];
  for (const bench::Tree* t : trees) {
    int warm = 0;
    bench::Collect(t->Root(), warm);  // the first walk of a new tree fills the system's caches
  }
  for (int r = 0; r < rounds; ++r) {
    for (int i = 0; i < 3; ++i) Round(*trees[i], times[i]);
    SplashRound(large, times[2]);
  }

  std::printf("collection into a hidden file list window against a bare walk, %d rounds, median\n", rounds);
  bench::ReportHeader();
  const int items[] = {files + files / 50, 10200, 102000};
  const char* names[] = {"main tree", "10,000 files, 200 folders", "100,000 files, 2,000 folders"};
  double unit[3], bare[3];
  for (int i = 0; i < 3; ++i) {
    unit[i] = Median(times[i].unit);
    bare[i] = Median(times[i].bare);
    const std::string what = i == 0 ? "collect " + std::to_string(files) + " files, " + std::to_string(files / 50) +
                                          " folders"
                                    : std::string("collect ") + names[i];
    bench::Report(what.c_str(), items[i], unit[i], bare[i]);
  }
  const double splash = Median(times[2].splash);
  bench::Report("100,000 files with the splash vs without", items[2], splash, unit[2]);
  std::printf("100,000 against 10,000: collection %.2fx, bare walk %.2fx\n", unit[2] / unit[1], bare[2] / bare[1]);
  return 0;
}
