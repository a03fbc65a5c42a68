#pragma once

// Scoped owners of Win32 handles: each gives its handle back when it goes out
// of scope, so no return path can leak one or forget a paired call. Win32
// code only.
#include <windows.h>

#include <utility>

// One owned handle of a kind described by TTraits (its type, the value that
// means "none" and how it is released).
template <typename TTraits>
class TScopedHandle {
 public:
  using THandle = typename TTraits::THandle;

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
  explicit operator bool() const { return TTraits::IsValid(handle_); }
  // Gives up ownership: the caller (or the system) releases the handle now.
  THandle Release() { return std::exchange(handle_, TTraits::None()); }
  void Reset(THandle handle = TTraits::None()) {
    if (TTraits::IsValid(handle_)) TTraits::Close(handle_);
    handle_ = handle;
  }

 private:
  THandle handle_ = TTraits::None();
};

// Process, thread, file and other kernel handles: CloseHandle. Both 0 and
// INVALID_HANDLE_VALUE mean "none", since the creating calls differ.
struct TKernelHandleTraits {
  using THandle = HANDLE;
  static HANDLE None() { return nullptr; }
  static bool IsValid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
using TKernelHandle = TScopedHandle<TKernelHandleTraits>;

// A directory search from FindFirstFileA: FindClose.
struct TFindHandleTraits {
  using THandle = HANDLE;
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) { FindClose(handle); }
};
using TFindHandle = TScopedHandle<TFindHandleTraits>;

// A brush, pen, font, bitmap or region: DeleteObject.
template <typename TGdiHandle>
struct TGdiObjectTraits {
  using THandle = TGdiHandle;
  static TGdiHandle None() { return nullptr; }
  static bool IsValid(TGdiHandle handle) { return handle != nullptr; }
  static void Close(TGdiHandle handle) { DeleteObject(handle); }
};
template <typename TGdiHandle>
using TGdiObject = TScopedHandle<TGdiObjectTraits<TGdiHandle>>;

// Movable global memory, as the clipboard takes it: GlobalFree unless
// released to the clipboard.
struct TGlobalMemoryTraits {
  using THandle = HGLOBAL;
  static HGLOBAL None() { return nullptr; }
  static bool IsValid(HGLOBAL handle) { return handle != nullptr; }
  static void Close(HGLOBAL handle) { GlobalFree(handle); }
};
using TGlobalMemory = TScopedHandle<TGlobalMemoryTraits>;

// A memory device context: DeleteDC.
struct TMemoryDcTraits {
  using THandle = HDC;
  static HDC None() { return nullptr; }
  static bool IsValid(HDC dc) { return dc != nullptr; }
  static void Close(HDC dc) { DeleteDC(dc); }
};

// A memory device context compatible with `like` (the screen when 0).
class TMemoryDc : public TScopedHandle<TMemoryDcTraits> {
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
