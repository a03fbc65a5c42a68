#include "fuzz/fuzz_entries.h"

#include <cstdio>
#include <cstdlib>

#include "toolkit/byte_stream.h"
#include "toolkit/dib.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// Saving and reloading huge (mostly zero) pictures only slows the fuzzer down.
constexpr uint32_t kLargePicture = 16u << 20;

TByteStream* StreamOf(const uint8_t* data, size_t size) {
  TByteStream* stream = MakeMemoryStream();
  stream->Write(data, static_cast<uint32_t>(size));
  stream->Seek(0, kFromStart);
  return stream;
}

}  // namespace

void FuzzBmpStream(const uint8_t* data, size_t size) {
  TByteStream* in = StreamOf(data, size);
  TDib* dib = new TDib();
  dib->LoadBmpStream(in);
  if (dib->IsEmpty()) {
    Check(in->GetPosition() == 0, "a failed load leaves the stream where it was");
    Check(dib->InfoBlock == nullptr && dib->Bits == nullptr, "a failed load keeps nothing");
  } else if (dib->BitsSize <= kLargePicture) {
    Check(dib->BitsSize == dib->RowStride * static_cast<uint32_t>(dib->Height),
          "BitsSize is RowStride x Height");
    TByteStream* out = MakeMemoryStream();
    bool saved = dib->SaveBmpStream(out);
    Check(saved, "a loaded picture saves");
    Check(out->GetSize() >= 54 + dib->BitsSize, "the saved file holds headers and rows");
    // What was saved loads again as the same picture.
    out->Seek(0, kFromStart);
    TDib* again = new TDib();
    again->LoadBmpStream(out);
    Check(again->Width == dib->Width && again->Height == dib->Height, "a saved picture reloads");
    Free(again);
    Free(out);
  }
  Free(dib);
  Free(in);
}
