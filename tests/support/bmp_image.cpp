#include "support/bmp_image.h"

#include <algorithm>

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

TBytes BmpFile(const TBmpForm& form) {
  TBytes info;
  PutLe32(info, form.HeaderSize);
  if (form.HeaderSize == 12) {
    PutLe16(info, static_cast<uint16_t>(form.Width));
    PutLe16(info, static_cast<uint16_t>(form.Height));
  } else {
    PutLe32(info, static_cast<uint32_t>(form.Width));
    PutLe32(info, static_cast<uint32_t>(form.Height));
  }
  PutLe16(info, form.Planes);
  PutLe16(info, form.BitCount);
  if (form.HeaderSize > 12) {
    for (uint32_t field : {form.Compression, 0u, 0u, 0u, form.ColoursUsed, 0u})
      PutLe32(info, field);
  }
  for (uint32_t mask : form.Masks)
    PutLe32(info, mask);
  if (form.HeaderSize > 40) info.resize(std::max<size_t>(info.size(), form.HeaderSize), 0);
  for (uint32_t i = 0; i < form.TableEntries; ++i) {
    TBytes entry(form.HeaderSize == 12 ? 3 : 4, static_cast<uint8_t>(i));
    info.insert(info.end(), entry.begin(), entry.end());
  }
  info.resize(info.size() + form.Gap, 0xEE);
  TBytes pixels;
  for (size_t r = 0; r < form.Rows.size(); ++r) {
    const TBytes& row = form.Rows[form.Height < 0 ? r : form.Rows.size() - 1 - r];
    pixels.insert(pixels.end(), row.begin(), row.end());
    pixels.resize((pixels.size() + 3) & ~size_t{3}, 0);
  }
  uint32_t offBits = form.OffBits >= 0 ? static_cast<uint32_t>(form.OffBits)
                                       : static_cast<uint32_t>(14 + info.size());
  TBytes file = {'B', 'M'};
  PutLe32(file, static_cast<uint32_t>(14 + info.size() + pixels.size()));
  PutLe32(file, 0);
  PutLe32(file, offBits);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}
