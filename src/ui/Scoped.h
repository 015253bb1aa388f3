// RAII holders for Win32 handles, device contexts, selected GDI objects, COM and COM pointers.
#pragma once
#include "Base.h"
#include "comm/UniqueHandle.h"
#include <objbase.h>
#include <utility>

namespace ui {

// Kernel handles and directory searches: the holders of the lowest layer serve here as they are.
using comm::UniqueFind;
using comm::UniqueHandle;

// A GDI object (pen, brush, font, bitmap, region) deleted with DeleteObject.
template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T h) : FHandle(h) {}
  GdiObject(GdiObject&& o) noexcept : FHandle(std::exchange(o.FHandle, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) { Reset(); FHandle = std::exchange(o.FHandle, nullptr); }
    return *this;
  }
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  T Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  void Reset(T h = nullptr) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = h;
  }

 private:
  T FHandle = nullptr;
};

// A window DC of GetDC, released with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : FHwnd(hwnd), FDC(GetDC(hwnd)) {}
  ~WindowDC() { if (FDC) ReleaseDC(FHwnd, FDC); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }

 private:
  HWND FHwnd;
  HDC FDC;
};

// A memory DC of CreateCompatibleDC, deleted with DeleteDC.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatible) : FDC(CreateCompatibleDC(compatible)) {}
  ~MemoryDC() { if (FDC) DeleteDC(FDC); }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : FHwnd(hwnd) { FDC = BeginPaint(hwnd, &FPs); }
  ~PaintDC() { EndPaint(FHwnd, &FPs); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC Get() const { return FDC; }
  operator HDC() const { return FDC; }
  const RECT& PaintRect() const { return FPs.rcPaint; }

 private:
  HWND FHwnd;
  HDC FDC;
  PAINTSTRUCT FPs{};
};

// An object selected into a DC for the holder's lifetime.
class SelectObj {
 public:
  SelectObj(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(obj ? SelectObject(dc, obj) : nullptr) {}
  ~SelectObj() { if (FOld) SelectObject(FDC, FOld); }
  SelectObj(const SelectObj&) = delete;
  SelectObj& operator=(const SelectObj&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// SaveDC/RestoreDC around drawing that changes the DC's state.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : FDC(dc), FId(SaveDC(dc)) {}
  ~SavedDC() { RestoreDC(FDC, FId); }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC FDC;
  int FId;
};

// A window destroyed with DestroyWindow.
class UniqueHwnd {
 public:
  UniqueHwnd() = default;
  explicit UniqueHwnd(HWND h) : FHwnd(h) {}
  ~UniqueHwnd() { Reset(); }
  UniqueHwnd(const UniqueHwnd&) = delete;
  UniqueHwnd& operator=(const UniqueHwnd&) = delete;
  HWND Get() const { return FHwnd; }
  void Reset(HWND h = nullptr) {
    if (FHwnd && IsWindow(FHwnd)) DestroyWindow(FHwnd);
    FHwnd = h;
  }
  HWND Release() { return std::exchange(FHwnd, nullptr); }

 private:
  HWND FHwnd = nullptr;
};

// COM initialisation of the calling thread (OLE, for drag and drop and the clipboard).
class ScopedOleInit {
 public:
  ScopedOleInit() : FResult(OleInitialize(nullptr)) {}
  ~ScopedOleInit() { if (SUCCEEDED(FResult)) OleUninitialize(); }
  ScopedOleInit(const ScopedOleInit&) = delete;
  ScopedOleInit& operator=(const ScopedOleInit&) = delete;
  bool Succeeded() const { return SUCCEEDED(FResult); }

 private:
  HRESULT FResult;
};

// A COM interface pointer released when the holder goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { Reset(); }
  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  T** operator&() { Reset(); return &FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  void Reset() {
    if (FPtr) FPtr->Release();
    FPtr = nullptr;
  }

 private:
  T* FPtr = nullptr;
};

// Memory of GlobalAlloc (clipboard data) freed unless handed over with Release.
class UniqueGlobal {
 public:
  explicit UniqueGlobal(HGLOBAL h) : FHandle(h) {}
  ~UniqueGlobal() { if (FHandle) GlobalFree(FHandle); }
  UniqueGlobal(const UniqueGlobal&) = delete;
  UniqueGlobal& operator=(const UniqueGlobal&) = delete;
  HGLOBAL Get() const { return FHandle; }
  HGLOBAL Release() { return std::exchange(FHandle, nullptr); }

 private:
  HGLOBAL FHandle;
};

}  // namespace ui
