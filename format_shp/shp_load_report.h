#pragma once

#include <cstdint>

// Why a sprite file loaded with no frames at all.
enum class TShpRefusal : uint8_t {
  None,
  CannotOpen,         // missing, a folder, or not readable
  ShorterThanHeader,  // fewer than the 8 bytes of the file header
  ImageTooLarge,      // one frame image would not fit a byte stream's 32-bit size
  CanvasesTooLarge,   // the frames with pixels, canvases and images, would need too much memory
};

// Frames that share one kind of repair: how many, and the first of them.
struct TFrameTally {
  uint32_t Count = 0;
  int32_t First = -1;  // zero-based frame index, -1 when Count is 0

  void Add(int32_t index) {
    if (Count++ == 0) First = index;
  }
};

// What LoadShpFile had to repair or refuse. The converter prints it; the
// viewer shows what was loaded and ignores it.
struct TShpLoadReport {
  TShpRefusal Refusal = TShpRefusal::None;
  uint32_t FileSize = 0;
  // The frame count written in the file's header, even when refused.
  uint32_t FramesInHeader = 0;
  // Frame headers cut off by the end of the file; they read as all-zero
  // frames without pixels.
  uint32_t HeadersCut = 0;
  // For a refusal for size: the bytes the sprite would have needed (one
  // frame image, or all canvases together).
  uint64_t BytesNeeded = 0;

  TFrameTally Clipped;      // frames reaching outside the sprite box; the rest was kept
  TFrameTally Truncated;    // frame data ended early; the pixels not read are colour 0
  TFrameTally DataPastEnd;  // data offset at or after the end of the file; blank
  TFrameTally OverBudget;   // left blank: frame data was re-read far more than the file holds

  bool IsClean() const {
    return Refusal == TShpRefusal::None && HeadersCut == 0 && Clipped.Count == 0 &&
           Truncated.Count == 0 && DataPastEnd.Count == 0 && OverBudget.Count == 0;
  }
};
