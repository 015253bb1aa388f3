// Times taken from each file against the fixed date-time: the run over photos with their taken time
// (read from each file's Exif) and with the date in their names, against the same run with one
// date-time for all; and the preview of 100,000 targets with the name rule against collecting them,
// in time and in memory.
#include "BenchSupport.h"
#include "CollectSupport.h"
#include "RunHost.h"
#include "engine/Preview.h"
#include "engine/TakenTimeFile.h"
#include <commctrl.h>
#include <psapi.h>
#include <cstdint>
#include <string>

namespace {

// A small JPEG as a camera writes it: Exif with DateTimeOriginal in APP1, then image data.
std::string CameraJpeg() {
  auto u16 = [](std::string& s, unsigned v) { s += static_cast<char>(v & 0xFF), s += static_cast<char>(v >> 8); };
  auto u32 = [&](std::string& s, uint32_t v) { u16(s, v & 0xFFFF), u16(s, v >> 16); };
  std::string tiff = "II*";
  tiff += '\0';
  u32(tiff, 8);
  u16(tiff, 1);  // IFD0: the Exif IFD's place
  u16(tiff, 0x8769), u16(tiff, 4), u32(tiff, 1), u32(tiff, 26), u32(tiff, 0);
  u16(tiff, 1);  // Exif IFD: DateTimeOriginal
  u16(tiff, 0x9003), u16(tiff, 2), u32(tiff, 20), u32(tiff, 44), u32(tiff, 0);
  tiff += std::string("2024:07:14 15:07:58", 19) + '\0';
  const std::string exif = std::string("Exif\0\0", 6) + tiff;
  std::string jpeg = "\xFF\xD8\xFF\xE1";
  const size_t length = exif.size() + 2;
  jpeg += static_cast<char>(length >> 8), jpeg += static_cast<char>(length & 0xFF);
  jpeg += exif;
  jpeg += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
  jpeg += std::string(16384, '\x55');
  jpeg += "\xFF\xD9";
  return jpeg;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
  // (Wine leaves the private count at zero and keeps the committed memory in the page file count.)
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

// The target list of a file list window, as the preview reads it.
class ListTargets : public engine::IChangeTargets {
 public:
  explicit ListTargets(const targets::TTargetList& list) : FList(list) {}
  int Count() const override { return FList.Count(); }
  std::wstring Entry(int index) const override { return std::wstring(FList[index]); }

 private:
  const targets::TTargetList& FList;
};

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  const int n = bench::CountArg(argc, argv, 20000);
  {
    const bench::Tree photos(n, std::max(1, n / 50), true, true, CameraJpeg());
    std::vector<std::wstring> files = photos.Files();
    std::sort(files.begin(), files.end());
    bench::RunHost host(files);
    engine::TChangeRun run(host, host, host);
    auto runWith = [&](engine::TTimeSource source) {
      return [&, source] {
        host.Rules.Rule[engine::dsCreate].Source = host.Rules.Rule[engine::dsUpdate].Source = source;
        host.Rules.ReadTaken = engine::ReadFileTakenTime;
        host.Flip();
        run.ButtonSetClick();
        if (run.LastSummary().Changed != n) std::printf("only %d of %d changed\n", run.LastSummary().Changed, n);
      };
    };
    const auto t = bench::Race(5, {runWith(engine::TTimeSource::Fixed), runWith(engine::TTimeSource::Taken),
                                   runWith(engine::TTimeSource::FileName)});
    std::printf("%d photos in %d folders, hidden switched and both times written, 5 rounds, median\n", n,
                std::max(1, n / 50));
    bench::ReportHeader();
    bench::Report("run with the taken time vs a fixed date", n, t[1], t[0]);
    bench::Report("run with the name's date vs a fixed date", n, t[2], t[0]);
  }

  // The preview of 100,000 targets against collecting them: time and memory.
  const int many = 100000;
  const bench::Tree tree(many, many / 50, false, true);
  int count = 0;
  bench::Collect(tree.Root(), count);  // the first walk fills the system's caches
  std::vector<double> collect, preview;
  double listBytes = 0, previewBytes = 0;
  for (int round = 0; round < 3; ++round) {
    const size_t before = PrivateBytes();
    collect.push_back(bench::Collect(tree.Root(), count, 0, [&](targets::TFormFileList& window) {
      listBytes = static_cast<double>(PrivateBytes() - before);
      ListTargets targets(window.TargetList());
      engine::ChangePlan plan;
      plan.ChangeDate = plan.SetUpdate = true;
      plan.Rules.Rule[engine::dsUpdate].Source = engine::TTimeSource::FileName;
      const size_t beforePreview = PrivateBytes();
      const double t0 = bench::Seconds();
      engine::TPreview shown(targets, plan);
      while (shown.Step(1000)) {
      }
      preview.push_back(bench::Seconds() - t0);
      previewBytes = static_cast<double>(PrivateBytes() - beforePreview);
    }));
  }
  std::sort(collect.begin(), collect.end());
  std::sort(preview.begin(), preview.end());
  std::printf("%d targets (%d entries), 3 rounds, median\n", many, count);
  bench::ReportHeader();
  bench::Report("preview with the name's date vs collecting", count, preview[1], collect[1]);
  std::printf("%-44s %10.1f MB %10.1f MB %7.2fx\n", "memory: preview vs target list", previewBytes / 1048576.0,
              listBytes / 1048576.0, previewBytes / listBytes);
  return 0;
}
