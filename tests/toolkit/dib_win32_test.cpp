// The bitmap object's GDI side, on real windows: drawing, DIB sections and the
// clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "support/bmp_image.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/dib.h"
#include "toolkit/base/main_window.h"
#include "toolkit/base/scoped_object.h"
#include "toolkit/base/win32_handles.h"

namespace {

// A visible top-level window to draw on; it is the clipboard owner while the
// test runs.
class TDrawWindow {
 public:
  TDrawWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "DibTestWindow";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "DibTestWindow", "dib", WS_POPUP | WS_VISIBLE, 10, 10, 64, 64,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window_);
    current_ = window_;
    SetMainWindowSource([]() -> void* { return current_; });
  }
  ~TDrawWindow() {
    SetMainWindowSource(nullptr);
    current_ = nullptr;
    DestroyWindow(window_);
  }
  HWND Handle() const { return window_; }

 private:
  HWND window_;
  static inline HWND current_ = nullptr;
};

const std::vector<TBytes> kRows = {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}};

TDib* LoadFrameImage() {
  TBytes image = FrameImage(5, 3, TestPalette(), kRows);
  TByteStream* stream = MakeMemoryStream();
  stream->Write(image.data(), static_cast<uint32_t>(image.size()));
  stream->Seek(0, 0);
  auto* dib = new TDib();
  dib->LoadBmpStream(stream);
  Free(stream);
  return dib;
}

COLORREF PaletteColour(uint8_t index) {
  TBytes palette = TestPalette();
  return RGB(palette[index * 4 + 2], palette[index * 4 + 1], palette[index * 4]);
}

// Reads the window's pixels back and checks the 5 x 3 frame at (x, y) and
// that the pixels right and below of it are untouched background.
void ExpectFrameAt(HWND window, int x, int y) {
  TWindowDc dc(window);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(GetPixel(dc.Get(), x + column, y + row), PaletteColour(kRows[row][column]))
          << "pixel " << column << "," << row;
    }
  }
  EXPECT_EQ(GetPixel(dc.Get(), x + 5, y), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc.Get(), x, y + 3), RGB(255, 255, 255));
}

TEST(DibDrawing, DrawsAFrameImageUnscaledInThePaletteColours) {
  TDrawWindow window;
  TScopedObject<TDib> dib(LoadFrameImage());
  TWindowDc dc(window.Handle());
  dib->DrawAt(dc.Get(), 3, 4);
  EXPECT_EQ(dib->BitmapHandle, nullptr);  // drawn from the rows, no device copy
  ExpectFrameAt(window.Handle(), 3, 4);
}

TEST(DibDrawing, ASectionMadeByHandleDrawsTheSame) {
  TDrawWindow window;
  TScopedObject<TDib> dib(LoadFrameImage());
  ASSERT_NE(dib->Handle(), nullptr);
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(static_cast<HBITMAP>(dib->BitmapHandle), sizeof(section), &section),
            static_cast<int>(sizeof(section)));
  EXPECT_EQ(section.dsBm.bmBits, dib->Bits);
  EXPECT_EQ(section.dsBmih.biBitCount, 8);
  TWindowDc dc(window.Handle());
  dib->DrawAt(dc.Get(), 0, 0);
  ExpectFrameAt(window.Handle(), 0, 0);
}

TEST(DibDrawing, ThePlaceholderDrawsOneBlackPixelAndConvertsToFiveSixFive) {
  TDrawWindow window;
  TScopedObject<TDib> dib(MakeDib(1, 1));
  BITMAP info;
  ASSERT_TRUE(GetObjectA(static_cast<HBITMAP>(dib->BitmapHandle), sizeof(info), &info));
  EXPECT_EQ(info.bmBitsPixel, 1);  // the memory context's own, monochrome format
  TWindowDc dc(window.Handle());
  dib->DrawAt(dc.Get(), 2, 2);
  EXPECT_EQ(GetPixel(dc.Get(), 2, 2), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc.Get(), 3, 2), RGB(255, 255, 255));

  dib->SetPictureForm(kDeviceIndependent);
  EXPECT_EQ(dib->BitFormat, kFormat16Bit565);
  ASSERT_NE(dib->InfoBlock, nullptr);
  uint32_t masks[3];
  std::memcpy(masks, dib->InfoBlock + 40, sizeof(masks));
  EXPECT_EQ(masks[0], 0xF800u);
  EXPECT_EQ(masks[1], 0x07E0u);
  EXPECT_EQ(masks[2], 0x001Fu);
  EXPECT_EQ(dib->Bits[0] | dib->Bits[1] << 8, 0);
  dib->DrawAt(dc.Get(), 4, 4);
  EXPECT_EQ(GetPixel(dc.Get(), 4, 4), RGB(0, 0, 0));
}

TEST(DibClipboard, PlacesTheHeaderColourTableAndRowsAsOneBlock) {
  TDrawWindow window;
  TScopedObject<TDib> dib(LoadFrameImage());
  ASSERT_TRUE(dib->PutOnClipboard());

  TClipboardSession clipboard(window.Handle());
  ASSERT_TRUE(clipboard.IsOpen());
  HANDLE data = GetClipboardData(CF_DIB);
  ASSERT_NE(data, nullptr);
  SIZE_T size = GlobalSize(data);
  EXPECT_GE(size, 1064u + dib->BitsSize);
  auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::memcmp(bytes, dib->InfoBlock, 1064), 0);
  EXPECT_EQ(std::memcmp(bytes + 1064, dib->Bits, dib->BitsSize), 0);
  GlobalUnlock(data);
}

TEST(DibClipboard, ThePlaceholderGoesOnTheClipboardAsFiveSixFive) {
  TDrawWindow window;
  TScopedObject<TDib> dib(MakeDib(1, 1));
  ASSERT_TRUE(dib->PutOnClipboard());
  TClipboardSession clipboard(window.Handle());
  ASSERT_TRUE(clipboard.IsOpen());
  HANDLE data = GetClipboardData(CF_DIB);
  ASSERT_NE(data, nullptr);
  EXPECT_GE(GlobalSize(data), 40u + 12 + 4);
  auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
  EXPECT_EQ(header->biBitCount, 16);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_BITFIELDS));
  GlobalUnlock(data);
}

TEST(DibClipboard, FailsWithoutAMainWindowOrAPicture) {
  TScopedObject<TDib> frame(LoadFrameImage());
  EXPECT_FALSE(frame->PutOnClipboard());  // no main window yet

  TDrawWindow window;
  TScopedObject<TDib> empty(new TDib());
  EXPECT_FALSE(empty->PutOnClipboard());
}

}  // namespace
