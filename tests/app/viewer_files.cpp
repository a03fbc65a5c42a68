#include "viewer_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "support/bmp_image.h"
#include "toolkit/base/win32_handles.h"

namespace {

// The rectangle of frame k: its pixels are never 0, so it shows on the
// box's colour 0, and differ from frame to frame.
std::vector<TBytes> FramePixels(int k, int width, int height) {
  std::vector<TBytes> rows;
  for (int y = 0; y < height; ++y) {
    TBytes row;
    for (int x = 0; x < width; ++x)
      row.push_back(static_cast<uint8_t>(1 + (k * 37 + x * 5 + y * 11) % 254));
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

std::vector<TBytes> TTestSprite::BoxRows(size_t index) const {
  const TShpFrameIn& frame = Frames.at(index);
  return PlaceInBox(Width, Height, frame.X, frame.Y, frame.Rows);
}

TBytes TTestSprite::FrameBmp(size_t index, const std::vector<TRgb>& palette) const {
  return FrameImage(Width, Height, ColourTable(palette), BoxRows(index));
}

std::vector<TRgb> AmberPalette() {
  std::vector<TRgb> colours;
  for (int i = 0; i < 256; ++i)
    colours.push_back({i, 255 - i, (i * 3) & 255});
  return colours;
}

std::vector<TRgb> SeaPalette() {
  std::vector<TRgb> colours;
  for (int i = 0; i < 256; ++i)
    colours.push_back({(i * 5) & 255, i, 255 - i});
  return colours;
}

std::string PaletteText(const std::vector<TRgb>& palette) {
  return JascPaletteText(palette);
}

TTestSprite TankSprite() {
  TTestSprite sprite{"tank.shp", 23, 17, {}};
  for (int k = 0; k < 12; ++k) {
    int x = k;
    int y = k % 5;
    std::vector<TBytes> rows = FramePixels(k, 6 + k % 3, 5 + k % 4);
    if (k == 3) {
      sprite.Frames.push_back(FrameWithoutPixels(static_cast<uint16_t>(x), 0, 4, 4));
    } else if (k % 2) {
      sprite.Frames.push_back(RawFrame(static_cast<uint16_t>(x), static_cast<uint16_t>(y), rows));
    } else {
      sprite.Frames.push_back(CodedFrame(static_cast<uint16_t>(x), static_cast<uint16_t>(y), rows));
    }
  }
  return sprite;
}

TTestSprite DottedSprite() {
  TTestSprite sprite{"my.unit.shp", 9, 7, {}};
  sprite.Frames.push_back(CodedFrame(1, 1, FramePixels(20, 5, 4)));
  sprite.Frames.push_back(RawFrame(2, 0, FramePixels(21, 7, 7)));
  return sprite;
}

TTestSprite FramelessSprite() {
  return TTestSprite{"empty.shp", 8, 8, {}};
}

void PutSprite(const std::string& folder, const TTestSprite& sprite, std::string name) {
  if (name.empty()) name = sprite.FileName;
  WriteFileBytes(folder + "\\" + name, sprite.Bytes());
}

void PutPalette(const std::string& folder, const std::string& name,
                const std::vector<TRgb>& palette) {
  std::string text = PaletteText(palette);
  WriteFileBytes(folder + "\\" + name, TBytes(text.begin(), text.end()));
}

void SettleFolders(const std::string& path) {
  for (size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
    std::string folder = path.substr(0, end);
    WIN32_FIND_DATAA found;
    TFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    while (search && FindNextFileA(search.Get(), &found)) {
    }
    if (end == std::string::npos) break;
  }
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  TFindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
  if (!search) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(search.Get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> DirectoryListing(const std::string& pattern) {
  HWND list = CreateWindowA("LISTBOX", "", LBS_HASSTRINGS, 0, 0, 100, 100, nullptr, nullptr,
                            nullptr, nullptr);
  SendMessageA(list, LB_DIR, 0x2F, reinterpret_cast<LPARAM>(pattern.c_str()));
  std::vector<std::string> names;
  for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    char text[MAX_PATH] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    names.push_back(text);
  }
  DestroyWindow(list);
  return names;
}

std::vector<std::string> FrameLines(const std::string& name, int count) {
  std::vector<std::string> lines;
  for (int n = 1; n <= count; ++n) {
    char line[64];
    std::snprintf(line, sizeof(line), "%03d : %s%03d", n, name.c_str(), n);
    lines.push_back(line);
  }
  return lines;
}

std::string Lower(std::string text) {
  CharLowerA(text.data());
  return text;
}
