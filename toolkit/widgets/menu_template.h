#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/widgets/menu.h"

// The template being read into a menu.
struct TMenuTemplate {
  const char* const* Items;
  int32_t HighIndex;
};

// Appends the items of one level, starting at template index `start`, to
// `level`'s menu `handle` and numbers them; returns the index after the
// level's closing ")" or the index where the template ended.
int32_t InsertMenuLevel(TMenuNode* menu, HMENU handle, const TMenuTemplate& source, int32_t level,
                        int32_t start);
