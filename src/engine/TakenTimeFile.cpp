// The taken time of a file on disk: the media reader over a shared read handle.
#include "engine/TakenTimeFile.h"
#include "comm/LiteralPath.h"
#include "comm/NamedObject.h"
#include "media/TakenTime.h"
#include <algorithm>

namespace engine {

TFileByteSource::TFileByteSource(const std::wstring& path)
    : FOwned(CreateFileW(comm::comm_LiteralPath(path).c_str(), GENERIC_READ, comm::kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr)),
      FHandle(FOwned.Get()) {
  TakeSize();
}

TFileByteSource::TFileByteSource(HANDLE open) : FHandle(open) { TakeSize(); }

void TFileByteSource::TakeSize() {
  LARGE_INTEGER size{};
  // A folder has no bytes to read: no source.
  FILE_STANDARD_INFO info{};
  if (FHandle && GetFileInformationByHandleEx(FHandle, FileStandardInfo, &info, sizeof info) && !info.Directory &&
      info.EndOfFile.QuadPart >= 0) {
    size = info.EndOfFile;
    FSize = static_cast<uint64_t>(size.QuadPart);
  } else {
    FHandle = nullptr;
    FOwned.Reset();
  }
}

bool TFileByteSource::Read(uint64_t offset, void* out, size_t count) {
  if (!FHandle || !media::Fits(offset, count, FSize)) return false;
  auto* bytes = static_cast<unsigned char*>(out);
  while (count) {
    // A read at an offset of its own: the handle keeps no position between reads.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(count, 1u << 24));
    if (!ReadFile(FHandle, bytes, want, &got, &at) || got == 0) return false;  // got 0: the file shrank
    bytes += got;
    offset += got;
    count -= got;
  }
  return true;
}

std::optional<media::TMediaTime> ReadFileTakenTime(const std::wstring& path, HANDLE open) {
  TFileByteSource file = open ? TFileByteSource(open) : TFileByteSource(path);
  if (!file.Valid()) return std::nullopt;
  return media::ReadTakenTime(file);
}

}  // namespace engine
