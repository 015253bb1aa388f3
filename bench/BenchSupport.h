// Shared pieces of the benchmarks: a timer, a scratch folder of files, and the report lines.
#pragma once
#include "Base.h"
#include "comm/DateTime.h"
#include "comm/FileDateTime.h"
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace bench {

inline double Seconds() {
  static const double freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / freq;
}

// Runs each contender `rounds` times, alternating them so that drift hits both alike, and returns
// the median seconds of each.
inline std::vector<double> Race(int rounds, const std::vector<std::function<void()>>& contenders) {
  std::vector<std::vector<double>> times(contenders.size());
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < contenders.size(); ++i) {
      const double t0 = Seconds();
      contenders[i]();
      times[i].push_back(Seconds() - t0);
    }
  }
  std::vector<double> medians;
  for (auto& t : times) {
    std::sort(t.begin(), t.end());
    medians.push_back(t[t.size() / 2]);
  }
  return medians;
}

// One line: what was measured, per-item cost of the unit and of the bare loop, and their ratio.
inline void Report(const char* what, int items, double unit, double bare) {
  std::printf("%-44s %10.2f us %10.2f us %7.2fx\n", what, unit / items * 1e6, bare / items * 1e6, unit / bare);
  std::fflush(stdout);
}
inline void ReportHeader() {
  std::printf("%-44s %13s %13s %8s\n", "per item", "unit", "bare loop", "ratio");
}

// A scratch folder below the temporary folder, removed (files only, one level) at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const wchar_t* name) {
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tmp);
    FRoot = std::wstring(tmp) + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(FRoot.c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const auto& f : FFiles) {
      SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(f.c_str());
    }
    RemoveDirectoryW(FRoot.c_str());
  }
  const std::wstring& Root() const { return FRoot; }
  const std::vector<std::wstring>& Files() const { return FFiles; }
  void MakeFiles(int count) {
    for (int i = 0; i < count; ++i) {
      std::wstring f = FRoot + L"\\ファイル" + std::to_wstring(i) + L".txt";
      HANDLE h = CreateFileW(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
      FFiles.push_back(std::move(f));
    }
  }

 private:
  std::wstring FRoot;
  std::vector<std::wstring> FFiles;
};

// files files spread over folders folders below a new scratch folder; removed with it. Without
// keepNames, Files() stays empty (a benchmark of memory keeps no list of its own). With datedNames the
// files are named as a phone names its photos, each a second after the one before
// ("IMG_20240101_000000.JPG"), each with content's bytes.
class Tree {
 public:
  Tree(int files, int folders, bool keepNames = true, bool datedNames = false, const std::string& content = {}) {
    wchar_t tmp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, tmp);
    FRoot = std::wstring(tmp) + L"vss-bench-tree-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(files);
    CreateDirectoryW(FRoot.c_str(), nullptr);
    for (int d = 0; d < folders; ++d) {
      const std::wstring dir = FRoot + L"\\写真フォルダ" + std::to_wstring(10000 + d);
      CreateDirectoryW(dir.c_str(), nullptr);
      FDirs.push_back(dir);
    }
    for (int i = 0; i < files; ++i) {
      std::wstring name = L"IMG_" + std::to_wstring(100000 + i);
      if (datedNames) {
        wchar_t dated[32];
        std::swprintf(dated, 32, L"IMG_202401%02d_%02d%02d%02d", 1 + i / 86400 % 28, i / 3600 % 24, i / 60 % 60, i % 60);
        name = dated;
      }
      const std::wstring f = FDirs[static_cast<size_t>(i % folders)] + L"\\" + name + L".JPG";
      HANDLE h = CreateFileW(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (!content.empty()) WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
      }
      if (keepNames) FFiles.push_back(f);
    }
  }
  ~Tree() { Remove(FRoot); }
  const std::wstring& Root() const { return FRoot; }
  const std::vector<std::wstring>& Files() const { return FFiles; }

 private:
  static void Remove(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = dir + L"\\" + name;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          Remove(full);
        } else {
          SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(full.c_str());
        }
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
  }
  std::wstring FRoot;
  std::vector<std::wstring> FDirs;
  std::vector<std::wstring> FFiles;
};

// The directory walk the collection makes (FindFirstFileExW with the basic level, which skips the short
// names, then FindNextFileW, in the literal form): each(full path, find data) for every entry below
// dir, depth first, each folder before what it holds.
template <typename Each>
void WalkTree(const std::wstring& dir, Each&& each) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileExW((L"\\\\?\\" + dir + L"\\*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                              FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.cFileName[0] == L'.' && (!fd.cFileName[1] || (fd.cFileName[1] == L'.' && !fd.cFileName[2]))) continue;
    const std::wstring full = dir + L"\\" + fd.cFileName;
    each(full, fd);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) WalkTree(full, each);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

// The volume-relative name of an open object, as a change run asks it.
inline void NameOf(HANDLE h) {
  alignas(FILE_NAME_INFO) char buffer[sizeof(FILE_NAME_INFO) + 512 * sizeof(wchar_t)];
  GetFileInformationByHandleEx(h, FileNameInfo, buffer, sizeof buffer);
}

// The open of a target as a change run makes it: the object itself, its name and, once for all its
// files, its folder's name checked. lastFolder carries the folder between calls.
inline HANDLE OpenChecked(const std::wstring& f, std::wstring& lastFolder) {
  HANDLE h = CreateFileW(f.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  NameOf(h);
  const std::wstring folder = f.substr(0, f.rfind(L'\\'));
  if (folder != lastFolder) {
    HANDLE d = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    NameOf(d);
    CloseHandle(d);
    lastFolder = folder;
  }
  return h;
}

// The UTC file time of a local date-time, as a run writes the plan's.
inline FILETIME LocalFileTime(const comm::TDateTimeParts& parts) {
  comm::TDateTime value = 0;
  FILETIME time{};
  comm::TryEncodeDateTime(parts, value);
  comm::comm_ConvDateTimeToFileTime(value, time);
  return time;
}

// One target's change by hand through its handle: the attributes read, hidden switched and read back,
// the times read and written.
inline void ChangeByHand(HANDLE h, bool hiddenOn, const FILETIME& creation, const FILETIME& lastWrite) {
  FILE_BASIC_INFO info;
  GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info);
  FILE_BASIC_INFO change{};
  change.FileAttributes = hiddenOn ? info.FileAttributes | FILE_ATTRIBUTE_HIDDEN : info.FileAttributes & ~DWORD{FILE_ATTRIBUTE_HIDDEN};
  if (!change.FileAttributes) change.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetFileInformationByHandle(h, FileBasicInfo, &change, sizeof change);
  GetFileInformationByHandleEx(h, FileBasicInfo, &info, sizeof info);
  FILETIME t0, t1, t2;
  GetFileTime(h, &t0, &t1, &t2);
  SetFileTime(h, &creation, nullptr, &lastWrite);
}

// The count from the first argument, or the given default.
inline int CountArg(int argc, char** argv, int fallback) {
  return argc > 1 ? std::max(1, std::atoi(argv[1])) : fallback;
}

}  // namespace bench
