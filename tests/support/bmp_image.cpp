#include "support/bmp_image.h"

TBytes FrameImage(uint16_t width, uint16_t height, const TBytes& palette,
                  const std::vector<TBytes>& topRows) {
  uint32_t rowLength = (width + 3u) & ~3u;
  uint32_t pixels = rowLength * height;
  TBytes image = {'B', 'M'};
  PutLe32(image, 1078 + pixels);
  PutLe32(image, 0);
  PutLe32(image, 1078);
  PutLe32(image, 40);
  PutLe32(image, width);
  PutLe32(image, height);
  PutLe16(image, 1);
  PutLe16(image, 8);
  PutLe32(image, 0);
  PutLe32(image, pixels);
  PutLe32(image, uint32_t{width} * height);
  PutLe32(image, uint32_t{width} * height);
  PutLe32(image, 0);
  PutLe32(image, 0);
  image.insert(image.end(), palette.begin(), palette.end());
  for (size_t r = height; r-- > 0;) {
    TBytes row = r < topRows.size() ? topRows[r] : TBytes();
    row.resize(rowLength, 0);
    image.insert(image.end(), row.begin(), row.end());
  }
  return image;
}

TBytes TestPalette() {
  TBytes palette;
  for (int i = 0; i < 256; ++i) {
    palette.push_back(static_cast<uint8_t>(i));
    palette.push_back(static_cast<uint8_t>(255 - i));
    palette.push_back(static_cast<uint8_t>(i / 2));
    palette.push_back(0);
  }
  return palette;
}
