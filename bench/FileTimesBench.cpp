// The file primitives against bare loops of the system calls they make, on one folder of files.
#include "BenchSupport.h"
#include "comm/FileAttr.h"
#include "comm/FileDateTime.h"

int main(int argc, char** argv) {
  const int n = bench::CountArg(argc, argv, 2000);
  bench::ScratchFolder folder(L"vss-bench-times");
  folder.MakeFiles(n);
  const auto& files = folder.Files();
  std::printf("%d files, 9 rounds, median\n", n);
  bench::ReportHeader();

  comm::TDateTime created = 0, written = 0;
  comm::TryEncodeDateTime({2001, 2, 3, 4, 5, 6, 0}, created);
  comm::TryEncodeDateTime({2002, 3, 4, 5, 6, 7, 0}, written);
  FILETIME fc, fw;
  comm::comm_ConvDateTimeToFileTime(created, fc);
  comm::comm_ConvDateTimeToFileTime(written, fw);

  // Writing the times: the unit opens once, reads the three times, converts and writes two.
  auto t = bench::Race(9, {[&] {
                             for (const auto& f : files) comm::comm_SetFileDateTime(f, created, written);
                           },
                           [&] {
                             for (const auto& f : files) {
                               HANDLE h = CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
                               FILETIME c, a, w;
                               GetFileTime(h, &c, &a, &w);
                               SetFileTime(h, &fc, nullptr, &fw);
                               CloseHandle(h);
                             }
                           }});
  bench::Report("comm::comm_SetFileDateTime", n, t[0], t[1]);

  t = bench::Race(9, {[&] {
                        comm::TDateTime c, a, w;
                        for (const auto& f : files) comm::comm_GetFileDateTime(f, c, a, w);
                      },
                      [&] {
                        for (const auto& f : files) {
                          HANDLE h = CreateFileW(f.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
                          FILETIME c, a, w;
                          GetFileTime(h, &c, &a, &w);
                          CloseHandle(h);
                        }
                      }});
  bench::Report("comm::comm_GetFileDateTime", n, t[0], t[1]);

  t = bench::Race(9, {[&] {
                        for (const auto& f : files) {
                          comm::comm_SetReadOnlyAttr(f, true);
                          comm::comm_SetReadOnlyAttr(f, false);
                        }
                      },
                      [&] {
                        for (const auto& f : files) {
                          DWORD a = GetFileAttributesW(f.c_str());
                          SetFileAttributesW(f.c_str(), a | FILE_ATTRIBUTE_READONLY);
                          a = GetFileAttributesW(f.c_str());
                          SetFileAttributesW(f.c_str(), a & ~DWORD{FILE_ATTRIBUTE_READONLY});
                        }
                      }});
  bench::Report("comm::comm_SetReadOnlyAttr (on, off)", n, t[0], t[1]);

  t = bench::Race(9, {[&] {
                        int k = 0;
                        for (const auto& f : files) k += comm::comm_GetPathKind(f);
                        if (k < 0) std::puts("");
                      },
                      [&] {
                        DWORD k = 0;
                        for (const auto& f : files) k ^= GetFileAttributesW(f.c_str());
                        if (k == 1) std::puts("");
                      }});
  bench::Report("comm::comm_GetPathKind", n, t[0], t[1]);

  // Conversions alone, no file system: the unit against the system's own calendar conversion.
  const int conversions = n * 50;
  t = bench::Race(9, {[&] {
                        FILETIME ft = fw;
                        comm::TDateTime v;
                        for (int i = 0; i < conversions; ++i) {
                          comm::comm_ConvFileTimeToDateTime(ft, v);
                          comm::comm_ConvDateTimeToFileTime(v, ft);
                        }
                      },
                      [&] {
                        FILETIME ft = fw, local;
                        SYSTEMTIME st;
                        for (int i = 0; i < conversions; ++i) {
                          FileTimeToLocalFileTime(&ft, &local);
                          FileTimeToSystemTime(&local, &st);
                          SystemTimeToFileTime(&st, &local);
                          LocalFileTimeToFileTime(&local, &ft);
                        }
                      }});
  bench::Report("file time -> date-time -> file time", conversions, t[0], t[1]);
  return 0;
}
