#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/palette_text.h"
#include "support/test_files.h"

// What the screen shows, read back through the screen's device context: on
// a 24-bit display the palette colours come back exactly. The window may
// belong to another process.

// The colours of a w x h block at the window's client point (x, y), rows
// top first.
std::vector<std::vector<COLORREF>> ScreenBlock(HWND window, int x, int y, int width, int height);

// Whether the window's client area shows `rows` (colour indices, top row
// first) in the palette from its origin, pixel for pixel; the first
// difference is described.
::testing::AssertionResult ShowsRows(HWND window, const std::vector<TBytes>& rows,
                                     const std::vector<TRgb>& palette);
