#pragma once

#include <windows.h>

#include <cstdint>

// A toolkit colour: 0x00BBGGRR, or, with the top bit set, a system colour
// whose COLOR_* index is the low byte (resolved when it is used, so it follows
// the user's scheme).
using TColor = int32_t;

constexpr TColor SystemColor(uint8_t index) {
  return static_cast<TColor>(0x80000000u | index);
}

constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);  // 0x80000008
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);        // 0x8000000F
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);          // 0x80000005

// The RGB value the system takes for a toolkit colour.
COLORREF ResolveColor(TColor color);
