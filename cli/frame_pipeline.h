#pragma once

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
// that order, stopping after the first write that fails. With `twoThreads`
// (and a second reader of the file to be had) a helper thread makes every
// second image at the same time, with buffers of its own; the writes stay
// on the calling thread, in order.
void MakeAndWriteInOrder(TShpFrameStream& stream, const std::vector<int32_t>& frames,
                         bool twoThreads, const TMakeFrameImage& make,
                         const TWriteFrameImage& write);
