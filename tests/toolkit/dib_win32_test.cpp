// The bitmap object's GDI side, on real windows: drawing, DIB sections and the
// clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "support/bmp_image.h"
#include "toolkit/base/byte_stream.h"
#include "toolkit/base/dib.h"
#include "toolkit/base/main_window.h"

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

struct TDibHolder {
  TDib* d;
  explicit TDibHolder(TDib* dib = new TDib()) : d(dib) {}
  ~TDibHolder() { Free(d); }
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
  HDC dc = GetDC(window);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(GetPixel(dc, x + column, y + row), PaletteColour(kRows[row][column]))
          << "pixel " << column << "," << row;
    }
  }
  EXPECT_EQ(GetPixel(dc, x + 5, y), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, x, y + 3), RGB(255, 255, 255));
  ReleaseDC(window, dc);
}

TEST(DibDrawing, DrawsAFrameImageUnscaledInThePaletteColours) {
  TDrawWindow window;
  TDibHolder dib(LoadFrameImage());
  HDC dc = GetDC(window.Handle());
  dib.d->DrawAt(dc, 3, 4);
  ReleaseDC(window.Handle(), dc);
  EXPECT_EQ(dib.d->BitmapHandle, nullptr);  // drawn from the rows, no device copy
  ExpectFrameAt(window.Handle(), 3, 4);
}

TEST(DibDrawing, ASectionMadeByHandleDrawsTheSame) {
  TDrawWindow window;
  TDibHolder dib(LoadFrameImage());
  ASSERT_NE(dib.d->Handle(), nullptr);
  DIBSECTION section;
  ASSERT_EQ(GetObjectA(static_cast<HBITMAP>(dib.d->BitmapHandle), sizeof(section), &section),
            static_cast<int>(sizeof(section)));
  EXPECT_EQ(section.dsBm.bmBits, dib.d->Bits);
  EXPECT_EQ(section.dsBmih.biBitCount, 8);
  HDC dc = GetDC(window.Handle());
  dib.d->DrawAt(dc, 0, 0);
  ReleaseDC(window.Handle(), dc);
  ExpectFrameAt(window.Handle(), 0, 0);
}

TEST(DibDrawing, ThePlaceholderDrawsOneBlackPixelAndConvertsToFiveSixFive) {
  TDrawWindow window;
  TDibHolder dib(MakeDib(1, 1));
  BITMAP info;
  ASSERT_TRUE(GetObjectA(static_cast<HBITMAP>(dib.d->BitmapHandle), sizeof(info), &info));
  EXPECT_EQ(info.bmBitsPixel, 1);  // the memory context's own, monochrome format
  HDC dc = GetDC(window.Handle());
  dib.d->DrawAt(dc, 2, 2);
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(255, 255, 255));

  dib.d->SetPictureForm(kDeviceIndependent);
  EXPECT_EQ(dib.d->BitFormat, kFormat16Bit565);
  ASSERT_NE(dib.d->InfoBlock, nullptr);
  uint32_t masks[3];
  std::memcpy(masks, dib.d->InfoBlock + 40, sizeof(masks));
  EXPECT_EQ(masks[0], 0xF800u);
  EXPECT_EQ(masks[1], 0x07E0u);
  EXPECT_EQ(masks[2], 0x001Fu);
  EXPECT_EQ(dib.d->Bits[0] | dib.d->Bits[1] << 8, 0);
  dib.d->DrawAt(dc, 4, 4);
  EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));
  ReleaseDC(window.Handle(), dc);
}

TEST(DibClipboard, PlacesTheHeaderColourTableAndRowsAsOneBlock) {
  TDrawWindow window;
  TDibHolder dib(LoadFrameImage());
  ASSERT_TRUE(dib.d->PutOnClipboard());

  ASSERT_TRUE(OpenClipboard(window.Handle()));
  HANDLE data = GetClipboardData(CF_DIB);
  ASSERT_NE(data, nullptr);
  SIZE_T size = GlobalSize(data);
  EXPECT_GE(size, 1064u + dib.d->BitsSize);
  auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::memcmp(bytes, dib.d->InfoBlock, 1064), 0);
  EXPECT_EQ(std::memcmp(bytes + 1064, dib.d->Bits, dib.d->BitsSize), 0);
  GlobalUnlock(data);
  CloseClipboard();
}

TEST(DibClipboard, ThePlaceholderGoesOnTheClipboardAsFiveSixFive) {
  TDrawWindow window;
  TDibHolder dib(MakeDib(1, 1));
  ASSERT_TRUE(dib.d->PutOnClipboard());
  ASSERT_TRUE(OpenClipboard(window.Handle()));
  HANDLE data = GetClipboardData(CF_DIB);
  ASSERT_NE(data, nullptr);
  EXPECT_GE(GlobalSize(data), 40u + 12 + 4);
  auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(data));
  EXPECT_EQ(header->biBitCount, 16);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_BITFIELDS));
  GlobalUnlock(data);
  CloseClipboard();
}

TEST(DibClipboard, FailsWithoutAMainWindowOrAPicture) {
  TDibHolder frame(LoadFrameImage());
  EXPECT_FALSE(frame.d->PutOnClipboard());  // no main window yet

  TDrawWindow window;
  TDibHolder empty;
  EXPECT_FALSE(empty.d->PutOnClipboard());
}

}  // namespace
