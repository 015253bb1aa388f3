// Sources of bytes for the metadata readers: memory, and a window over another source.
#include "media/ByteSource.h"
#include <algorithm>
#include <cstring>

namespace media {

bool TMemorySource::Read(uint64_t offset, void* out, size_t count) {
  if (!Fits(offset, count, FSize)) return false;
  if (count) std::memcpy(out, FData + offset, count);
  return true;
}

bool TWindowSource::Read(uint64_t offset, void* out, size_t count) {
  if (!Fits(offset, count, FSize)) return false;
  if (count == 0) return true;
  if (offset >= FStart && Fits(offset - FStart, count, FFilled)) {
    std::memcpy(out, FBytes + (offset - FStart), count);
    return true;
  }
  if (count > kWindow) return FSource.Read(offset, out, count);
  const size_t fill = static_cast<size_t>(std::min<uint64_t>(kWindow, FSize - offset));
  FFilled = 0;
  if (!FSource.Read(offset, FBytes, fill)) return false;
  FStart = offset;
  FFilled = fill;
  std::memcpy(out, FBytes, count);
  return true;
}

std::string ReadBytes(IByteSource& source, uint64_t offset, size_t count) {
  std::string bytes;
  if (!Fits(offset, count, source.Size())) return bytes;
  bytes.resize(count);
  if (!source.Read(offset, bytes.data(), count)) bytes.clear();
  return bytes;
}

}  // namespace media
