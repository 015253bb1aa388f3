// The bytes a reader of metadata takes from a file: read at offsets, never all at once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace media {

// A random-access source of bytes: a file on disk, or memory in tests and fuzzing.
class IByteSource {
 public:
  virtual ~IByteSource() = default;
  // The number of bytes the source holds.
  virtual uint64_t Size() const = 0;
  // Reads exactly count bytes at offset into out; false when they cannot all be read.
  virtual bool Read(uint64_t offset, void* out, size_t count) = 0;
};

// Bytes in memory, not copied: they must outlive the source.
class TMemorySource final : public IByteSource {
 public:
  TMemorySource(const void* data, size_t size) : FData(static_cast<const unsigned char*>(data)), FSize(size) {}
  uint64_t Size() const override { return FSize; }
  bool Read(uint64_t offset, void* out, size_t count) override;

 private:
  const unsigned char* FData;
  size_t FSize;
};

// A source read through one small window: the headers a reader walks usually lie close together, so
// most of its small reads are served from the window and the file is asked a few times only. Reads
// larger than the window go to the source itself. The source's size is asked once.
class TWindowSource final : public IByteSource {
 public:
  static constexpr size_t kWindow = 4096;
  explicit TWindowSource(IByteSource& source) : FSource(source), FSize(source.Size()) {}
  uint64_t Size() const override { return FSize; }
  bool Read(uint64_t offset, void* out, size_t count) override;

 private:
  IByteSource& FSource;
  uint64_t FSize;
  uint64_t FStart = 0;   // the offset of the window's first byte
  size_t FFilled = 0;    // how many bytes the window holds
  unsigned char FBytes[kWindow];
};

// True when [offset, offset + count) lies within a source of the given size (no overflow).
inline bool Fits(uint64_t offset, uint64_t count, uint64_t size) { return offset <= size && count <= size - offset; }

// Reads count bytes at offset into a string; empty when they do not lie within the source or fail.
// Callers cap count: no length read from a file reaches here unchecked.
std::string ReadBytes(IByteSource& source, uint64_t offset, size_t count);

}  // namespace media
