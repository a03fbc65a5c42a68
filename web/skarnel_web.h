#pragma once

#include <cstdint>

// The page's one entry into the codec and the tools' writers: plain C
// functions over files of the module's in-memory file system, one per
// operation, so that the page's script needs no knowledge of C++ objects.
// One sprite and one palette are held at a time. Texts are answered as
// JSON, valid until the next call that answers text.
extern "C" {

// The sprites of the archive at `path`, nested ones included, as JSON:
// "archive" (false when the file is no archive), "entries" (each as the
// rest of the path that loads it, such as "inner.mix/tank.shp") and
// "errors" (entries that could not be read, one line each).
const char* SkarnelListArchive(const char* path);

// Reads the sprite at `path`, a file or "ARCHIVE.mix/NAME", in place of the
// one held, a frame at a time on one thread with the tools' repairs, as
// shptool export reads it. Answers its frame count, or -1 when refused.
int32_t SkarnelLoadSprite(const char* path);

// The held sprite as JSON: "name", "width", "height", "lines" (the frame
// list's lines), "refusal" (why it was refused, or empty), "repairs" (the
// tools' warnings, one per kind) and "report" (the same facts as numbers,
// for the page to say in its own language).
const char* SkarnelDescribeSprite();

// Reads a palette file (JASC-PAL, or 768 raw bytes) as the palette of this
// and later sprites; 0 when the file cannot be read.
int32_t SkarnelSetPalette(const char* path);

// Frame `index` of the whole sprite box in the palette's colours, as rows of
// red, green, blue and alpha 255, top row first, as the animation window
// composes it: over frame `shadow` (-1: none), colour 0 showing the
// palette's own or, with `checkerboard`, grey squares. Null when there is
// no such frame or it cannot be composed.
const uint8_t* SkarnelFrameRgba(int32_t index, int32_t shadow, int32_t checkerboard);

// The frames the animation plays, as JSON pairs [frame, shadow] (-1: none):
// with `onlySelected`, those of `selected` (0-based numbers separated by
// commas) in that order; with `shadows`, the first half over the second.
const char* SkarnelPlayList(int32_t onlySelected, int32_t shadows, const char* selected);

// Writes frame `index` as `format` ("bmp" or "png") into the file `path`,
// exactly as shptool export does. 0 when it cannot be written.
int32_t SkarnelExportFrame(const char* format, int32_t index, const char* path);

// Writes `frames` (0-based, separated by commas; empty: every frame) as
// `format` ("gif" or "sheet") into files named after the sprite in
// `folder`, exactly as shptool export does with --frames, --delay,
// --columns and (`opaque`) --opaque. 0 when they cannot be written.
int32_t SkarnelExportSprite(const char* format, const char* folder, const char* frames,
                            uint32_t delayMs, uint32_t columns, int32_t opaque);
}
