#include "formats/sprite_sheet.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "formats/png_writer.h"

namespace {

uint32_t SmallestSquareSide(uint32_t cells) {
  auto side = static_cast<uint32_t>(std::sqrt(static_cast<double>(cells)));
  // The floating-point root may be one off either way for large counts.
  while (uint64_t{side} * side > cells)
    --side;
  while (uint64_t{side} * side < cells)
    ++side;
  return side;
}

bool PictureMatches(const TSheetLayout& layout, const TIndexedPicture& picture) {
  return picture.Width == layout.CellWidth && picture.Height == layout.CellHeight &&
         PictureIsSound(picture);
}

bool PicturesMatch(const TSheetLayout& layout, const std::vector<TIndexedPicture>& pictures) {
  if (pictures.size() != layout.Cells) return false;
  return std::all_of(pictures.begin(), pictures.end(), [&](const TIndexedPicture& picture) {
    return PictureMatches(layout, picture);
  });
}

}  // namespace

bool PlanSheet(uint32_t cells, uint32_t cellWidth, uint32_t cellHeight, uint32_t columns,
               TSheetLayout& layout) {
  if (cells == 0 || cellWidth == 0 || cellHeight == 0) return false;
  if (columns == 0) columns = SmallestSquareSide(cells);
  uint32_t rows = (cells - 1) / columns + 1;
  uint64_t width = uint64_t{columns} * cellWidth;
  uint64_t height = uint64_t{rows} * cellHeight;
  // Each side alone may not overflow before the product is checked.
  if (width > kMaxWrittenImageBytes || height > kMaxWrittenImageBytes ||
      width * height > kMaxWrittenImageBytes)
    return false;
  layout = {cellWidth,
            cellHeight,
            cells,
            columns,
            rows,
            static_cast<uint32_t>(width),
            static_cast<uint32_t>(height)};
  return true;
}

uint32_t CellX(const TSheetLayout& layout, uint32_t cell) {
  return cell % layout.Columns * layout.CellWidth;
}

uint32_t CellY(const TSheetLayout& layout, uint32_t cell) {
  return cell / layout.Columns * layout.CellHeight;
}

std::string SheetAtlasJson(const TSheetLayout& layout, const std::vector<std::string>& names,
                           const std::string& imageName) {
  using TJson = nlohmann::ordered_json;
  TJson size = {{"w", layout.CellWidth}, {"h", layout.CellHeight}};
  TJson frames = TJson::array();
  for (uint32_t i = 0; i < names.size(); ++i) {
    frames.push_back({
        {"filename", names[i]},
        {"frame",
         {{"x", CellX(layout, i)},
          {"y", CellY(layout, i)},
          {"w", layout.CellWidth},
          {"h", layout.CellHeight}}},
        {"rotated", false},
        {"trimmed", false},
        {"spriteSourceSize",
         {{"x", 0}, {"y", 0}, {"w", layout.CellWidth}, {"h", layout.CellHeight}}},
        {"sourceSize", size},
    });
  }
  TJson meta = {
      {"image", imageName}, {"size", {{"w", layout.Width}, {"h", layout.Height}}}, {"scale", "1"}};
  TJson atlas = {{"frames", frames}, {"meta", meta}};
  return atlas.dump(-1, ' ', false, TJson::error_handler_t::replace) + "\n";
}

bool EncodeSheetPng(const TSheetLayout& layout, const std::vector<TIndexedPicture>& pictures,
                    const uint8_t* colours, bool opaque, TImageBytes& png) {
  if (!PicturesMatch(layout, pictures)) return false;
  auto take = [&](uint32_t cell, TIndexedPicture& picture) {
    picture = pictures[cell];
    return true;
  };
  return EncodeSheetPng(layout, take, colours, opaque, png);
}

bool EncodeSheetPng(const TSheetLayout& layout, const TPictureSource& cells, const uint8_t* colours,
                    bool opaque, TImageBytes& png) {
  std::vector<uint8_t> zeros(layout.CellWidth, 0);
  std::vector<uint8_t> row(layout.Width, 0);
  std::vector<TIndexedPicture> rowCells(layout.Columns);
  bool sound = true;
  // Each row of the sheet is put together from one line of each cell beside
  // each other, so the sheet never has to be in memory whole; the cells of
  // a row are fetched as its first line is.
  auto rows = [&](uint32_t y) {
    uint32_t first = y / layout.CellHeight * layout.Columns;
    uint32_t line = y % layout.CellHeight;
    for (uint32_t column = 0; column < layout.Columns && first + column < layout.Cells; ++column) {
      TIndexedPicture& picture = rowCells[column];
      if (line == 0) {
        sound = sound && cells(first + column, picture) && PictureMatches(layout, picture);
        if (!sound) picture = {};
      }
      const uint8_t* source = sound ? PictureRow(picture, line, zeros.data()) : zeros.data();
      std::copy_n(source, layout.CellWidth, row.data() + size_t{column} * layout.CellWidth);
    }
    for (uint32_t column = layout.Cells - std::min(layout.Cells, first); column < layout.Columns;
         ++column)
      std::fill_n(row.data() + size_t{column} * layout.CellWidth, layout.CellWidth, 0);
    return row.data();
  };
  return EncodeIndexedPng(layout.Width, layout.Height, rows, colours, opaque, png) && sound;
}
