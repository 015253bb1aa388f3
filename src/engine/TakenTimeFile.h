// When the photo or video in a file was taken, read through a handle on the file.
#pragma once
#include "Base.h"
#include "comm/Scoped.h"
#include "media/ByteSource.h"
#include "media/MediaTime.h"
#include <optional>
#include <string>

namespace engine {

// A file opened for reading, shared with every other opener, as a source of bytes for the metadata
// readers: each read goes to its offset, nothing is read ahead.
class TFileByteSource final : public media::IByteSource {
 public:
  // Opens the file that path names, by its literal form (names are taken as they stand, long paths
  // work). A folder, or a file that cannot be opened, gives a source that is not Valid and holds nothing.
  explicit TFileByteSource(const std::wstring& path);
  // Reads through a handle already open on the file with read access (a run's own handle on its
  // target, which spares a second open); the handle stays the caller's.
  explicit TFileByteSource(HANDLE open);
  bool Valid() const { return FHandle != nullptr; }
  uint64_t Size() const override { return FSize; }
  bool Read(uint64_t offset, void* out, size_t count) override;

 private:
  void TakeSize();

  comm::TUniqueHandle FOwned;
  HANDLE FHandle = nullptr;
  uint64_t FSize = 0;
};

// The time the file's own metadata states it was taken (media::ReadTakenTime); nullopt when it states
// none or cannot be read. Read through open when it is given (a handle with read access on that file),
// else through a handle of its own.
std::optional<media::TMediaTime> ReadFileTakenTime(const std::wstring& path, HANDLE open = nullptr);

}  // namespace engine
