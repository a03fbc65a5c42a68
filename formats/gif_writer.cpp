#include "formats/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <new>

namespace {

constexpr uint32_t kMaxGifSide = 65535;

// An exception must not cross the library's C frames: running out of memory
// is answered as a short write, which the library reports.
int AppendToImage(GifFileType* file, const GifByteType* data, int length) {
  auto* gif = static_cast<TImageBytes*>(file->UserData);
  try {
    gif->insert(gif->end(), data, data + length);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return length;
}

// Closes the file on every return path; closing writes the trailer.
class TGifEncoder {
 public:
  explicit TGifEncoder(TImageBytes& gif) {
    int error = 0;
    file_ = EGifOpen(&gif, AppendToImage, &error);
  }
  ~TGifEncoder() { Close(); }
  TGifEncoder(const TGifEncoder&) = delete;
  TGifEncoder& operator=(const TGifEncoder&) = delete;

  GifFileType* File() const { return file_; }
  bool Close() {
    if (!file_) return false;
    int error = 0;
    bool closed = EGifCloseFile(file_, &error) == GIF_OK;
    file_ = nullptr;
    return closed;
  }

 private:
  GifFileType* file_ = nullptr;
};

bool PutScreen(GifFileType* file, uint32_t width, uint32_t height, const uint8_t* colours) {
  GifColorType table[256];
  for (int i = 0; i < 256; ++i) {
    table[i].Red = colours[4 * i + 2];
    table[i].Green = colours[4 * i + 1];
    table[i].Blue = colours[4 * i];
  }
  ColorMapObject* map = GifMakeMapObject(256, table);
  if (!map) return false;
  EGifSetGifVersion(file, true);
  bool put = EGifPutScreenDesc(file, static_cast<int>(width), static_cast<int>(height), 8, 0,
                               map) == GIF_OK;
  GifFreeMapObject(map);
  return put;
}

bool PutEndlessLoop(GifFileType* file) {
  static const GifByteType kApplication[] = "NETSCAPE2.0";
  static const GifByteType kLoopForever[] = {1, 0, 0};  // sub-block 1, count 0
  return EGifPutExtensionLeader(file, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(file, 11, kApplication) == GIF_OK &&
         EGifPutExtensionBlock(file, 3, kLoopForever) == GIF_OK &&
         EGifPutExtensionTrailer(file) == GIF_OK;
}

bool PutFrame(GifFileType* file, const TIndexedPicture& frame, const TGifOptions& options) {
  GraphicsControlBlock control = {};
  control.DisposalMode = DISPOSE_BACKGROUND;
  control.DelayTime = GifDelayHundredths(options.DelayMs);
  control.TransparentColor = options.Opaque ? NO_TRANSPARENT_COLOR : 0;
  GifByteType extension[4];
  size_t length = EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(file, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) !=
          GIF_OK ||
      EGifPutImageDesc(file, 0, 0, static_cast<int>(frame.Width), static_cast<int>(frame.Height),
                       false, nullptr) != GIF_OK) {
    return false;
  }
  // The library takes rows as writable buffers: each is copied first.
  std::vector<GifPixelType> row(frame.Width, 0);
  for (uint32_t y = 0; y < frame.Height; ++y) {
    if (!frame.Pixels.empty()) std::copy_n(PictureRow(frame, y, nullptr), frame.Width, row.data());
    if (EGifPutLine(file, row.data(), static_cast<int>(frame.Width)) != GIF_OK) return false;
  }
  return true;
}

bool FrameFits(uint32_t width, uint32_t height, const TIndexedPicture& frame) {
  return frame.Width == width && frame.Height == height && PictureIsSound(frame);
}

}  // namespace

uint16_t GifDelayHundredths(uint32_t delayMs) {
  return static_cast<uint16_t>(std::min<uint64_t>((uint64_t{delayMs} + 5) / 10, 65535));
}

bool EncodeAnimatedGif(uint32_t width, uint32_t height, uint32_t count,
                       const TPictureSource& frames, const uint8_t* colours,
                       const TGifOptions& options, TImageBytes& gif) {
  if (count == 0 || width > kMaxGifSide || height > kMaxGifSide ||
      uint64_t{width} * height * count > kMaxWrittenImageBytes) {
    return false;
  }
  gif.clear();
  TGifEncoder encoder(gif);
  GifFileType* file = encoder.File();
  if (!file || !PutScreen(file, width, height, colours) || !PutEndlessLoop(file)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    TIndexedPicture frame;
    if (!frames(i, frame) || !FrameFits(width, height, frame) || !PutFrame(file, frame, options))
      return false;
  }
  return encoder.Close();
}

bool EncodeAnimatedGif(uint32_t width, uint32_t height, const std::vector<TIndexedPicture>& frames,
                       const uint8_t* colours, const TGifOptions& options, TImageBytes& gif) {
  auto take = [&](uint32_t i, TIndexedPicture& frame) {
    frame = frames[i];
    return true;
  };
  return EncodeAnimatedGif(width, height, static_cast<uint32_t>(frames.size()), take, colours,
                           options, gif);
}

bool WriteAnimatedGif(const std::string& path, uint32_t width, uint32_t height,
                      const std::vector<TIndexedPicture>& frames, const uint8_t* colours,
                      const TGifOptions& options) {
  TImageBytes gif;
  return EncodeAnimatedGif(width, height, frames, colours, options, gif) &&
         WriteImageFile(path, gif);
}
