// TDib's GDI half: device-compatible bitmaps, drawing, DIB sections and the
// clipboard.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "toolkit/base/dib.h"
#include "toolkit/base/dib_platform.h"
#include "toolkit/base/le_bytes.h"
#include "toolkit/base/main_window.h"
#include "toolkit/base/win32_handles.h"

namespace {

HBITMAP AsBitmap(void* handle) {
  return static_cast<HBITMAP>(handle);
}

const BITMAPINFO* AsInfo(const uint8_t* infoBlock) {
  return reinterpret_cast<const BITMAPINFO*>(infoBlock);
}

// A DIB section for the info block, with its own pixel memory.
HBITMAP CreateSection(const uint8_t* infoBlock, void** sectionBits) {
  TWindowDc screen;
  return CreateDIBSection(screen.Get(), AsInfo(infoBlock), DIB_RGB_COLORS, sectionBits, nullptr, 0);
}

// Draws a bitmap handle: BitBlt from a memory device context.
void BlitBitmap(HDC target, HBITMAP bitmap, int32_t x, int32_t y, int32_t width, int32_t height) {
  TMemoryDc source(target);
  TSelection selected(source.Get(), bitmap);
  BITMAP info;
  int32_t rows = GetObjectA(bitmap, sizeof(info), &info) ? info.bmHeight : height;
  BitBlt(target, x, y, width, rows, source.Get(), 0, 0, SRCCOPY);
}

}  // namespace

void DeletePictureHandle(void* handle) {
  DeleteObject(AsBitmap(handle));
}

TDib* MakeDib(int32_t width, int32_t height) {
  auto* dib = new TDib();
  dib->Width = width;
  dib->Height = height;
  dib->PictureForm = kDeviceCompatible;
  if (width != 0 && height != 0) {
    TMemoryDc memory;
    dib->BitmapHandle = CreateCompatibleBitmap(memory.Get(), width, height);
  }
  return dib;
}

void TDib::DrawAt(void* deviceContext, int32_t x, int32_t y) {
  if (IsEmpty()) return;
  HDC target = static_cast<HDC>(deviceContext);
  if (BitmapHandle) return BlitBitmap(target, AsBitmap(BitmapHandle), x, y, Width, Height);
  if (!InfoBlock) return;
  int32_t rows = static_cast<int32_t>(ReadLe32(InfoBlock + kBiHeight));
  if (rows < 0) rows = -rows;
  if (StretchDIBits(target, x, y, Width, rows, 0, 0, Width, rows, Bits, AsInfo(InfoBlock),
                    DIB_RGB_COLORS, SRCCOPY) != 0) {
    return;
  }
  if (Handle()) BlitBitmap(target, AsBitmap(BitmapHandle), x, y, Width, Height);
}

void* TDib::Handle() {
  if (IsEmpty() || BitmapHandle || !Bits || !InfoBlock) return BitmapHandle;
  void* sectionBits = nullptr;
  HBITMAP section = CreateSection(InfoBlock, &sectionBits);
  if (!section) return nullptr;
  std::memcpy(sectionBits, Bits, BitsSize);
  if (!BitsInSection) std::free(Bits);
  Bits = static_cast<uint8_t*>(sectionBits);
  BitsInSection = true;
  BitmapHandle = section;
  return BitmapHandle;
}

void TDib::SetPictureForm(uint8_t form) {
  // Only the device-independent form is ever asked for.
  if (form != kDeviceIndependent || PictureForm == form || IsEmpty() || !BitmapHandle) return;
  HBITMAP old = AsBitmap(BitmapHandle);
  BITMAP source;
  int32_t sourceRows = GetObjectA(old, sizeof(source), &source) ? source.bmHeight : Height;
  TConvertedPicture picture = PlanConversion(*this);
  UINT rows = static_cast<UINT>(Height < sourceRows ? Height : sourceRows);
  // GetDIBits into 5-6-5 bit fields is unreliable on some systems (zeros and
  // cleared masks), so that format is always drawn through a section instead.
  bool copied = false;
  if (picture.Format != kFormat16Bit565) {
    TMemoryDc memory;
    copied = GetDIBits(memory.Get(), old, 0, rows, picture.Bits,
                       reinterpret_cast<BITMAPINFO*>(picture.InfoBlock),
                       DIB_RGB_COLORS) >= static_cast<int>(rows);
  }
  if (!copied && !DrawThroughSection(picture.InfoBlock, picture.Bits, picture.BitsSize)) {
    FreeConversion(picture);
    return;
  }
  InstallConverted(picture);
}

// Draws the picture into a temporary DIB section of `info` and copies the
// section's pixels out, so the converted picture holds no GDI handle.
bool TDib::DrawThroughSection(const uint8_t* info, uint8_t* bits, uint32_t bitsSize) {
  void* sectionBits = nullptr;
  TGdiObject<HBITMAP> section(CreateSection(info, &sectionBits));
  if (!section) return false;
  {
    TWindowDc screen;
    TMemoryDc target(screen.Get());
    TSelection selected(target.Get(), section.Get());
    DrawAt(target.Get(), 0, 0);
  }
  GdiFlush();  // the section's memory is read right after
  std::memcpy(bits, sectionBits, bitsSize);
  return true;
}

bool TDib::PutOnClipboard() {
  if (IsEmpty()) return false;
  HWND owner = static_cast<HWND>(AppMainWindow());
  if (!owner) return false;
  TClipboardSession clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  SetPictureForm(kDeviceIndependent);
  if (!InfoBlock) return false;
  uint32_t infoBytes = InfoBytesInUse(InfoBlock);
  TGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, infoBytes + BitsSize));
  void* memory = block ? GlobalLock(block.Get()) : nullptr;
  if (!memory) return false;
  std::memcpy(memory, InfoBlock, infoBytes);
  std::memcpy(static_cast<uint8_t*>(memory) + infoBytes, Bits, BitsSize);
  SetLastError(NO_ERROR);
  if (GlobalUnlock(block.Get()) || GetLastError() != NO_ERROR) return false;
  if (!SetClipboardData(CF_DIB, block.Get())) return false;
  block.Release();  // the clipboard owns it now
  return true;
}
