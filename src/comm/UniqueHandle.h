// RAII holders for kernel handles and directory searches, the lowest layer's share of the RAII set:
// comm depends on Win32 only, so these live here and the windows' layer can take them as they are.
#pragma once
#include "Base.h"
#include <utility>

namespace comm {

// A kernel HANDLE closed with CloseHandle; INVALID_HANDLE_VALUE and null both mean "none".
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) noexcept : FHandle(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : FHandle(std::exchange(o.FHandle, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.FHandle, nullptr));
    return *this;
  }
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  HANDLE Get() const noexcept { return FHandle; }
  bool Valid() const noexcept { return FHandle && FHandle != INVALID_HANDLE_VALUE; }
  explicit operator bool() const noexcept { return Valid(); }
  void Reset(HANDLE h = nullptr) noexcept {
    if (Valid()) CloseHandle(FHandle);
    FHandle = h;
  }
  HANDLE Release() noexcept { return std::exchange(FHandle, nullptr); }

 private:
  HANDLE FHandle = nullptr;
};

// A search handle of FindFirstFileW, ended with FindClose.
class UniqueFind {
 public:
  UniqueFind() = default;
  explicit UniqueFind(HANDLE h) noexcept : FHandle(h) {}
  UniqueFind(UniqueFind&& o) noexcept : FHandle(std::exchange(o.FHandle, nullptr)) {}
  UniqueFind& operator=(UniqueFind&& o) noexcept {
    if (this != &o) Reset(std::exchange(o.FHandle, nullptr));
    return *this;
  }
  ~UniqueFind() { Reset(); }
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;
  HANDLE Get() const noexcept { return FHandle; }
  bool Valid() const noexcept { return FHandle && FHandle != INVALID_HANDLE_VALUE; }
  explicit operator bool() const noexcept { return Valid(); }
  void Reset(HANDLE h = nullptr) noexcept {
    if (Valid()) FindClose(FHandle);
    FHandle = h;
  }

 private:
  HANDLE FHandle = nullptr;
};

}  // namespace comm
