// The program's one set of RAII holders: owned handles, DC scopes, selected objects, COM and scope guards.
#pragma once
#include "Base.h"
#include <commctrl.h>
#include <objbase.h>
#include <ole2.h>
#include <utility>

namespace comm {

// An owned handle of one kind. Traits give the type, the value of an empty holder (Empty), which
// values name nothing (IsValid) and how an owned one is given back (Close).
template <typename Traits>
class TUnique {
 public:
  using Type = typename Traits::Type;

  TUnique() noexcept : FHandle(Traits::Empty()) {}
  explicit TUnique(Type h) noexcept : FHandle(h) {}
  TUnique(TUnique&& o) noexcept : FHandle(o.Release()) {}
  TUnique& operator=(TUnique&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~TUnique() { Reset(); }
  TUnique(const TUnique&) = delete;
  TUnique& operator=(const TUnique&) = delete;

  Type Get() const noexcept { return FHandle; }
  bool Valid() const noexcept { return Traits::IsValid(FHandle); }
  explicit operator bool() const noexcept { return Valid(); }
  // Closes what is held and takes h.
  void Reset(Type h = Traits::Empty()) noexcept {
    if (Traits::IsValid(FHandle)) Traits::Close(FHandle);
    FHandle = h;
  }
  // Gives up ownership without closing: for a handle the system takes over (SetClipboardData, …).
  Type Release() noexcept { return std::exchange(FHandle, Traits::Empty()); }
  // Where a creating call puts the new handle; what was held is closed first.
  Type* Put() noexcept {
    Reset();
    return &FHandle;
  }

 private:
  Type FHandle;
};

// Kernel handles: CreateFileW fails with INVALID_HANDLE_VALUE, most others with null; neither is owned.
struct THandleTraits {
  using Type = HANDLE;
  static Type Empty() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { CloseHandle(h); }
};

// A search of FindFirstFileW/FindFirstFileExW; a failed one returns INVALID_HANDLE_VALUE.
struct TFindTraits {
  using Type = HANDLE;
  static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) noexcept { return h && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { FindClose(h); }
};

// The kinds whose failure value is null, told apart by how they are given back.
template <typename T, void (*CloseFn)(T)>
struct TNullTraits {
  using Type = T;
  static Type Empty() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { CloseFn(h); }
};

namespace scoped_detail {
inline void CloseRegKey(HKEY k) { RegCloseKey(k); }
template <typename T>
inline void DeleteGdi(T h) { DeleteObject(h); }
inline void DestroyImageList(HIMAGELIST h) { ImageList_Destroy(h); }
template <typename T>
inline void FreeCoTaskMem(T* p) { CoTaskMemFree(const_cast<void*>(static_cast<const void*>(p))); }
inline void FreeGlobal(HGLOBAL h) { GlobalFree(h); }
inline void FreeLocal(HLOCAL h) { LocalFree(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
// A window may already be gone with its parent; only a live one is destroyed.
inline void DestroyWindowHandle(HWND h) {
  if (IsWindow(h)) DestroyWindow(h);
}
}  // namespace scoped_detail

using TUniqueHandle = TUnique<THandleTraits>;
using TUniqueFind = TUnique<TFindTraits>;
using TRegKey = TUnique<TNullTraits<HKEY, scoped_detail::CloseRegKey>>;
// A pen, brush, font, bitmap or region.
template <typename T>
using TGdiObject = TUnique<TNullTraits<T, scoped_detail::DeleteGdi<T>>>;
using TImageList = TUnique<TNullTraits<HIMAGELIST, scoped_detail::DestroyImageList>>;
// Memory the shell or COM hands out (paths, item id lists), freed with CoTaskMemFree.
template <typename T>
using TCoTaskMem = TUnique<TNullTraits<T*, scoped_detail::FreeCoTaskMem<T>>>;
using TGlobalMem = TUnique<TNullTraits<HGLOBAL, scoped_detail::FreeGlobal>>;
using TLocalMem = TUnique<TNullTraits<HLOCAL, scoped_detail::FreeLocal>>;
using TUniqueIcon = TUnique<TNullTraits<HICON, scoped_detail::DestroyIconHandle>>;
using TUniqueMenu = TUnique<TNullTraits<HMENU, scoped_detail::DestroyMenuHandle>>;
using TUniqueWindow = TUnique<TNullTraits<HWND, scoped_detail::DestroyWindowHandle>>;

// A window's DC of GetDC, released with ReleaseDC; an empty scope holds none.
class TWindowDC {
 public:
  TWindowDC() = default;
  explicit TWindowDC(HWND hwnd) : FHwnd(hwnd), FDC(GetDC(hwnd)) {}
  ~TWindowDC() { Reset(); }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }
  void Reset() {
    if (FDC) ReleaseDC(FHwnd, FDC);
    FHwnd = nullptr;
    FDC = nullptr;
  }
  // Releases the DC held and takes the window's.
  void Reset(HWND hwnd) {
    Reset();
    FHwnd = hwnd;
    FDC = GetDC(hwnd);
  }

 private:
  HWND FHwnd = nullptr;
  HDC FDC = nullptr;
};

// A memory DC of CreateCompatibleDC, deleted with DeleteDC.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatible) : FDC(CreateCompatibleDC(compatible)) {}
  ~TMemoryDC() {
    if (FDC) DeleteDC(FDC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
};

// BeginPaint/EndPaint for one WM_PAINT.
class TPaintDC {
 public:
  explicit TPaintDC(HWND hwnd) : FHwnd(hwnd) { FDC = BeginPaint(hwnd, &FPs); }
  ~TPaintDC() { EndPaint(FHwnd, &FPs); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }
  const RECT& PaintRect() const { return FPs.rcPaint; }

 private:
  HWND FHwnd;
  HDC FDC;
  PAINTSTRUCT FPs{};
};

// SaveDC/RestoreDC around drawing that changes the DC's state.
class TSavedDC {
 public:
  explicit TSavedDC(HDC dc) : FDC(dc), FId(SaveDC(dc)) {}
  ~TSavedDC() { RestoreDC(FDC, FId); }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

 private:
  HDC FDC;
  int FId;
};

// An object selected into a DC for the scope's lifetime; the one it replaced goes back at the end.
// An empty scope, or one given no object, selects nothing.
class TSelectObject {
 public:
  TSelectObject() = default;
  TSelectObject(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(obj ? SelectObject(dc, obj) : nullptr) {}
  ~TSelectObject() { Reset(); }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  void Reset() {
    if (FOld) SelectObject(FDC, FOld);
    FDC = nullptr;
    FOld = nullptr;
  }
  void Reset(HDC dc, HGDIOBJ obj) {
    Reset();
    FDC = dc;
    FOld = obj ? SelectObject(dc, obj) : nullptr;
  }

 private:
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

// OLE initialisation of the calling thread (drag and drop, the clipboard, the shell's dialogs).
class TOleInit {
 public:
  TOleInit() : FResult(OleInitialize(nullptr)) {}
  ~TOleInit() {
    if (SUCCEEDED(FResult)) OleUninitialize();
  }
  TOleInit(const TOleInit&) = delete;
  TOleInit& operator=(const TOleInit&) = delete;
  bool Succeeded() const { return SUCCEEDED(FResult); }

 private:
  HRESULT FResult;
};

// A COM interface pointer released when the holder goes.
template <typename T>
class TComPtr {
 public:
  TComPtr() = default;
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  ~TComPtr() { Reset(); }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  // Where a creating call puts the new pointer; what was held is released first.
  T** operator&() {
    Reset();
    return &FPtr;
  }
  explicit operator bool() const { return FPtr != nullptr; }
  void Reset() {
    if (FPtr) FPtr->Release();
    FPtr = nullptr;
  }

 private:
  T* FPtr = nullptr;
};

// Runs a function when the scope ends, however it ends (state put back, flags cleared).
template <typename F>
class TScopeExit {
 public:
  explicit TScopeExit(F f) : FExit(std::move(f)) {}
  ~TScopeExit() { FExit(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

 private:
  F FExit;
};

}  // namespace comm
