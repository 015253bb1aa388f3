// Fuzzes the taken-time reader over bytes in memory: whatever the input, the reader gives no value or
// a valid time, reads only within the input, and reads it a bounded number of times.
#include "media/Exif.h"
#include "media/TakenTime.h"
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// Counts the reads of one input: the boxes and chunks walked are bounded by the input's size.
class TCountingSource final : public media::IByteSource {
 public:
  explicit TCountingSource(media::IByteSource& source) : FSource(source) {}
  uint64_t Size() const override { return FSource.Size(); }
  bool Read(uint64_t offset, void* out, size_t count) override {
    ++Reads;
    return FSource.Read(offset, out, count);
  }
  uint64_t Reads = 0;

 private:
  media::IByteSource& FSource;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  media::TMemorySource memory(data, size);
  TCountingSource source(memory);
  if (const auto t = media::ReadTakenTime(source); t && !media::IsValid(*t)) __builtin_trap();
  if (source.Reads > 64 + size) __builtin_trap();
  // The text forms on their own, as PNG text and QuickTime values hand them over.
  if (size <= 80) {
    if (const auto t = media::ParseTextTime(std::string_view(reinterpret_cast<const char*>(data), size)); t && !media::IsValid(*t))
      __builtin_trap();
  }
  return 0;
}
