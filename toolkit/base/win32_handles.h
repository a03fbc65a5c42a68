#pragma once

// Scoped owners of Win32 handles: each gives its handle back when it goes out
// of scope, so no return path can leak one or forget a paired call. Win32
// code only.
#include <windows.h>

#include <utility>

// How each kind of handle is given back.
inline void CloseKernelHandle(HANDLE handle) {
  CloseHandle(handle);
}
inline void CloseFindHandle(HANDLE handle) {
  FindClose(handle);
}
template <typename TGdiHandle>
inline void DeleteGdiObject(TGdiHandle handle) {
  DeleteObject(handle);
}
inline void FreeGlobalMemory(HGLOBAL handle) {
  GlobalFree(handle);
}
inline void DeleteMemoryDc(HDC dc) {
  DeleteDC(dc);
}

// One owned handle, given back with `Close`. Both 0 and INVALID_HANDLE_VALUE
// mean "none", since the calls that make handles answer failure either way.
template <typename THandle, void (*Close)(THandle)>
class TScopedHandle {
 public:
  TScopedHandle() = default;
  explicit TScopedHandle(THandle handle) : handle_(handle) {}
  ~TScopedHandle() { Reset(); }
  TScopedHandle(TScopedHandle&& other) noexcept : handle_(other.Release()) {}
  TScopedHandle& operator=(TScopedHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  TScopedHandle(const TScopedHandle&) = delete;
  TScopedHandle& operator=(const TScopedHandle&) = delete;

  THandle Get() const { return handle_; }
  explicit operator bool() const {
    return handle_ && reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE;
  }
  // Gives up ownership: the caller (or the system) gives the handle back now.
  THandle Release() { return std::exchange(handle_, nullptr); }
  void Reset(THandle handle = nullptr) {
    if (*this) Close(handle_);
    handle_ = handle;
  }

 private:
  THandle handle_ = nullptr;
};

// Process, thread, file and other kernel handles.
using TKernelHandle = TScopedHandle<HANDLE, &CloseKernelHandle>;
// A directory search from FindFirstFileA.
using TFindHandle = TScopedHandle<HANDLE, &CloseFindHandle>;
// A brush, pen, font, bitmap or region.
template <typename TGdiHandle>
using TGdiObject = TScopedHandle<TGdiHandle, &DeleteGdiObject<TGdiHandle>>;
// Movable global memory, as the clipboard takes it: freed unless released to
// the clipboard.
using TGlobalMemory = TScopedHandle<HGLOBAL, &FreeGlobalMemory>;

// A memory device context compatible with `like` (the screen when 0).
class TMemoryDc : public TScopedHandle<HDC, &DeleteMemoryDc> {
 public:
  explicit TMemoryDc(HDC like = nullptr) : TScopedHandle(CreateCompatibleDC(like)) {}
};

// A window's device context (the screen's for 0) from GetDC, given back with
// ReleaseDC.
class TWindowDc {
 public:
  explicit TWindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ~TWindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context; the one it replaced is selected
// again when the scope ends, before either is deleted.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(dc ? SelectObject(dc, object) : nullptr) {}
  ~TSelection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// The clipboard, open for the scope: closed however the scope is left.
class TClipboardSession {
 public:
  explicit TClipboardSession(HWND owner) : open_(OpenClipboard(owner) != 0) {}
  ~TClipboardSession() {
    if (open_) CloseClipboard();
  }
  TClipboardSession(const TClipboardSession&) = delete;
  TClipboardSession& operator=(const TClipboardSession&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};
