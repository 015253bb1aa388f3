// The taken time of a file on disk: the media reader over a shared read handle.
#include "engine/TakenTimeFile.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "media/TakenTime.h"
#include <algorithm>

namespace engine {

TFileByteSource::TFileByteSource(const std::wstring& path)
    : FFile(CreateFileW(comm::comm_LiteralPath(path).c_str(), GENERIC_READ, comm::kShareAll, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {
  LARGE_INTEGER size{};
  if (FFile && GetFileSizeEx(FFile.Get(), &size) && size.QuadPart >= 0) FSize = static_cast<uint64_t>(size.QuadPart);
  else FFile.Reset();
}

bool TFileByteSource::Read(uint64_t offset, void* out, size_t count) {
  if (!FFile || !media::Fits(offset, count, FSize)) return false;
  auto* bytes = static_cast<unsigned char*>(out);
  while (count) {
    // A read at an offset of its own: the handle keeps no position between reads.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count, 1u << 24));
    if (!ReadFile(FFile.Get(), bytes, want, &got, &at) || got == 0) return false;  // got 0: the file shrank
    bytes += got;
    offset += got;
    count -= got;
  }
  return true;
}

std::optional<media::TMediaTime> ReadFileTakenTime(const std::wstring& path) {
  TFileByteSource file(path);
  if (!file.Valid()) return std::nullopt;
  return media::ReadTakenTime(file);
}

}  // namespace engine
