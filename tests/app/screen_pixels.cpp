#include "screen_pixels.h"

#include <cstdio>
#include <string>

#include "toolkit/base/win32_handles.h"

std::vector<std::vector<COLORREF>> ScreenBlock(HWND window, int x, int y, int width, int height) {
  POINT origin = {x, y};
  ClientToScreen(window, &origin);
  TWindowDc screen;
  TMemoryDc memory(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TGdiObject<HBITMAP> block(
      CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TSelection selected(memory.Get(), block.Get());
  BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), origin.x, origin.y, SRCCOPY);
  GdiFlush();
  std::vector<std::vector<COLORREF>> colours(static_cast<size_t>(height));
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int row = 0; row < height && pixels; ++row) {
    for (int column = 0; column < width; ++column) {
      uint32_t bgr = pixels[row * width + column];
      colours[static_cast<size_t>(row)].push_back(
          RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
    }
  }
  return colours;
}

namespace {

// The first pixel that differs, described; empty when all match.
std::string FirstDifference(HWND window, const std::vector<TBytes>& rows,
                            const std::vector<TRgb>& palette) {
  int height = static_cast<int>(rows.size());
  int width = height ? static_cast<int>(rows[0].size()) : 0;
  auto shown = ScreenBlock(window, 0, 0, width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const TRgb& c = palette[rows[static_cast<size_t>(y)][static_cast<size_t>(x)]];
      COLORREF expected = RGB(c[0], c[1], c[2]);
      COLORREF seen = shown[static_cast<size_t>(y)][static_cast<size_t>(x)];
      if (seen == expected) continue;
      char text[120];
      std::snprintf(text, sizeof(text), "pixel (%d, %d): shown %06lX, expected %06lX", x, y,
                    static_cast<unsigned long>(seen), static_cast<unsigned long>(expected));
      return text;
    }
  }
  return {};
}

void PumpOwnQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

::testing::AssertionResult ShowsRows(HWND window, const std::vector<TBytes>& rows,
                                     const std::vector<TRgb>& palette) {
  // What a window draws reaches the screen a moment later, once its thread
  // looks at its messages again.
  std::string difference;
  for (int attempt = 0; attempt < 50; ++attempt) {
    PumpOwnQueue();
    difference = FirstDifference(window, rows, palette);
    if (difference.empty()) return ::testing::AssertionSuccess();
    Sleep(20);
  }
  return ::testing::AssertionFailure() << difference;
}
