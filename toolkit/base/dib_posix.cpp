// TDib's platform half for builds without a window system: a device-compatible
// picture is a stand-in that only knows its size and holds black pixels, so
// it converts and saves exactly like the GDI one. Nothing is drawn and there
// is no clipboard.
#include <cstdlib>
#include <cstring>
#include <new>

#include "toolkit/base/dib.h"
#include "toolkit/base/dib_platform.h"

namespace {

struct TPictureStandIn {
  int32_t Width = 0;
  int32_t Height = 0;
  uint8_t* SectionBits = nullptr;  // pixels of a section made by Handle()
};

}  // namespace

void DeletePictureHandle(void* handle) {
  auto* picture = static_cast<TPictureStandIn*>(handle);
  std::free(picture->SectionBits);
  delete picture;
}

TDib* MakeDib(int32_t width, int32_t height) {
  auto* dib = new TDib();
  dib->Width = width;
  dib->Height = height;
  dib->PictureForm = kDeviceCompatible;
  if (width != 0 && height != 0) dib->BitmapHandle = new TPictureStandIn{width, height};
  return dib;
}

void TDib::SetPictureForm(uint8_t form) {
  if (form != kDeviceIndependent || PictureForm == form || IsEmpty()) return;
  InstallConverted(PlanConversion(*this));  // the stand-in's pixels are black
}

void TDib::DrawAt(void*, int32_t, int32_t) {}

bool TDib::PutOnClipboard() {
  return false;
}

void* TDib::Handle() {
  if (IsEmpty() || BitmapHandle || !Bits) return BitmapHandle;
  auto* section = new TPictureStandIn{Width, Height};
  section->SectionBits = static_cast<uint8_t*>(std::malloc(BitsSize + 1));
  if (!section->SectionBits) throw std::bad_alloc();
  std::memcpy(section->SectionBits, Bits, BitsSize);
  if (!BitsInSection) std::free(Bits);
  Bits = section->SectionBits;
  BitsInSection = true;
  BitmapHandle = section;
  return BitmapHandle;
}
