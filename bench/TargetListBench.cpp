// The target list against a bare sorted vector with the same comparison, and the sorted list box
// that shows the list, for scale.
#include "BenchSupport.h"
#include "comm/LiteralPath.h"
#include "targets/TargetList.h"
#include <random>

namespace {

// A bare sorted insert with the same comparison: binary search, then insert.
void BareAdd(std::vector<std::wstring>& v, const std::wstring& p) {
  auto it = std::lower_bound(v.begin(), v.end(), p, [](const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
  });
  if (it != v.end() && CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, it->data(), static_cast<int>(it->size()),
                                      p.data(), static_cast<int>(p.size())) == CSTR_EQUAL)
    return;
  v.insert(it, p);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = bench::CountArg(argc, argv, 20000);
  // Paths as a walk finds them: folders of 100 files each, in ascending order.
  std::vector<std::wstring> walked;
  for (int i = 0; i < n; ++i)
    walked.push_back(L"C:\\Users\\写真\\フォルダ" + std::to_wstring(10000 + i / 100) + L"\\IMG_" + std::to_wstring(100000 + i) +
                     L".JPG");
  std::vector<std::wstring> shuffled = walked;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(1));
  std::printf("%d paths, 5 rounds, median\n", n);
  bench::ReportHeader();

  for (auto* order : {&walked, &shuffled}) {
    const char* name = order == &walked ? "Add, walk order" : "Add, random order";
    auto t = bench::Race(5, {[&] {
                               targets::TTargetList list;
                               for (const auto& p : *order) list.Add(p);
                             },
                             [&] {
                               std::vector<std::wstring> v;
                               for (const auto& p : *order) BareAdd(v, p);
                             }});
    bench::Report(name, n, t[0], t[1]);
  }

  targets::TTargetList full;
  for (const auto& p : walked) full.Add(p);
  // The bare search compares the keys of the objects, made once per entry as the list makes them.
  std::vector<std::wstring> keys;
  for (const auto& p : full) keys.push_back(comm::comm_PathKey(p));
  auto t = bench::Race(5, {[&] {
                             int held = 0;
                             for (const auto& p : shuffled) held += full.Holds(p);
                             if (held != n) std::puts("lost entries");
                           },
                           [&] {
                             int held = 0;
                             for (const auto& p : shuffled)
                               held += std::binary_search(keys.begin(), keys.end(), comm::comm_PathKey(p),
                                                          [](const std::wstring& a, const std::wstring& b) {
                                                            return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                                                        static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
                                                          });
                             if (held != n) std::puts("lost entries");
                           }});
  bench::Report("Holds, every entry", n, t[0], t[1]);

  // The list control's half: a sorted list box taking the same paths, in walk order.
  HWND box = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  t = bench::Race(5, {[&] {
                        targets::TTargetList list;
                        for (const auto& p : walked) list.Add(p);
                      },
                      [&] {
                        SendMessageW(box, LB_RESETCONTENT, 0, 0);
                        for (const auto& p : walked) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p.c_str()));
                      }});
  bench::Report("Add vs sorted list box LB_ADDSTRING", n, t[0], t[1]);
  DestroyWindow(box);
  return 0;
}
