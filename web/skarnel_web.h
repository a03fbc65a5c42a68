#pragma once

#include <cstdint>

// The page's one entry into the codec and the tools' writers: plain C
// functions over files of the module's in-memory file system, one per
// operation, so that the page's script needs no knowledge of C++ objects.
// One sprite and one palette are held at a time.
extern "C" {

// Loads the sprite file at `path` in place of the one held, on one thread,
// with the tools' repairs. Answers its frame count, or -1 when it was refused.
int32_t SkarnelLoadSprite(const char* path);

// The held sprite as JSON text, valid until the next call: "name", "width",
// "height", "lines" (the frame list's lines), "refusal" (why it was
// refused, or empty) and "repairs" (the tools' warnings, one per kind).
const char* SkarnelDescribeSprite();

// Reads a JASC-PAL file as the palette of this and later sprites; 0 when the
// file cannot be read.
int32_t SkarnelSetPalette(const char* path);

// Frame `index` of the whole sprite box in the palette's colours, as rows of
// red, green, blue and alpha 255, top row first; valid until the next call.
// Null outside the frames.
const uint8_t* SkarnelFrameRgba(int32_t index);

// Writes frame `index` as `format` ("bmp" or "png") into the file `path`,
// exactly as shptool export does. 0 when it cannot be written.
int32_t SkarnelExportFrame(const char* format, int32_t index, const char* path);

// Writes every frame as `format` ("gif" or "sheet") into files named after
// the sprite in `folder`, exactly as shptool export does with --delay and
// --columns. 0 when they cannot be written.
int32_t SkarnelExportSprite(const char* format, const char* folder, uint32_t delayMs,
                            uint32_t columns);
}
