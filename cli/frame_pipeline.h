#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "formats/indexed_picture.h"

class TShpFrameStream;
class TShpFrameReader;

// Makes the image of frame `index` into `image`, decoding it through
// `reader` (nil: the stream's own) into `canvas`; false when it cannot be made.
using TMakeFrameImage = std::function<bool(int32_t index, TShpFrameReader* reader,
                                           std::vector<uint8_t>& canvas, TImageBytes& image)>;
// Writes what was made of frame `index` (`made` false: nothing could be);
// false stops the frames after it.
using TWriteFrameImage = std::function<bool(int32_t index, bool made, const TImageBytes& image)>;

// Makes the images of `frames` (0-based, in this order) and writes them in
// that order, stopping after the first write that fails; an exception
// thrown while making a frame is thrown once the frames before it are
// written. With `twoThreads` (and a second reader of the file to be had) a
// helper thread makes images at the same time, with a canvas of its own,
// up to FramesInFlight ahead of the writes; the writes stay on the calling
// thread, in order, and the frames after a failed one are never written.
void MakeAndWriteInOrder(TShpFrameStream& stream, const std::vector<int32_t>& frames,
                         bool twoThreads, const TMakeFrameImage& make,
                         const TWriteFrameImage& write);

// How many images of canvases this large may be made and not yet written:
// a few MiB of them, at least 2.
size_t FramesInFlight(uint32_t canvasSize);
