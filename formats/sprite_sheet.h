#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/indexed_picture.h"

// Sprite sheets: the frames of a sprite in a grid of equal cells in one
// indexed PNG, and a JSON atlas of the cells in the array layout that
// sprite-sheet tools and web game engines read.

struct TSheetLayout {
  uint32_t CellWidth = 0;
  uint32_t CellHeight = 0;
  uint32_t Cells = 0;
  uint32_t Columns = 0;
  uint32_t Rows = 0;
  uint32_t Width = 0;   // Columns x CellWidth
  uint32_t Height = 0;  // Rows x CellHeight
};

// Lays out `cells` cells of cellWidth x cellHeight, `columns` to a row, or,
// for columns 0, the smallest N with N x N >= cells. False when there is no
// cell, a cell is empty or the sheet would exceed kMaxWrittenImageBytes.
bool PlanSheet(uint32_t cells, uint32_t cellWidth, uint32_t cellHeight, uint32_t columns,
               TSheetLayout& layout);

// Cell i lies at column i mod Columns, row i div Columns.
uint32_t CellX(const TSheetLayout& layout, uint32_t cell);
uint32_t CellY(const TSheetLayout& layout, uint32_t cell);

// The atlas of the cells, `names[i]` naming cell i, for the sheet image file
// `imageName`. Text that is not UTF-8 is written with replacement characters.
std::string SheetAtlasJson(const TSheetLayout& layout, const std::vector<std::string>& names,
                           const std::string& imageName);

// Encodes the sheet: cell i holds pictures[i] (each a sound picture of the
// cell size), cells without a picture index 0. False when the pictures do
// not match the layout or the encoder fails.
bool EncodeSheetPng(const TSheetLayout& layout, const std::vector<TIndexedPicture>& pictures,
                    const uint8_t* colours, bool opaque, TImageBytes& png);

// The same with the cells' pictures taken from `cells`, in cell order, a
// row of cells at a time: the pictures of one row are needed until the
// first of the next row is asked for.
bool EncodeSheetPng(const TSheetLayout& layout, const TPictureSource& cells, const uint8_t* colours,
                    bool opaque, TImageBytes& png);
