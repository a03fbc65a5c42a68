#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/palette_text.h"
#include "support/test_files.h"
#include "viewer_driver.h"

// The animation window of the real program, found and driven from outside.

// "Вид" / "Анимация...": the next command after the main window's own.
constexpr UINT kAnimationCommand = 4101;

struct TAnimationControls {
  HWND Form = nullptr;
  HWND Play = nullptr;
  HWND Back = nullptr;
  HWND Next = nullptr;
  HWND Position = nullptr;
  HWND Delay = nullptr;
  HWND Zoom = nullptr;
  HWND Save = nullptr;
  HWND Selected = nullptr;
  HWND Backdrop = nullptr;
  HWND Shadow = nullptr;
  HWND Picture = nullptr;
};

// The program's animation windows, shown or not.
std::vector<HWND> AnimationWindows(TViewerRun& viewer);
// Chooses "Анимация..." and finds the window's controls; Form is 0 when no
// window came.
TAnimationControls OpenAnimation(TViewerRun& viewer);
// Waits until the window's text is `text`.
bool WaitForText(TViewerRun& viewer, HWND window, const std::string& text);
// The client size of a window.
SIZE ClientSize(HWND window);
// Rows of indices with each index repeated `zoom` times across and down.
std::vector<TBytes> Zoomed(const std::vector<TBytes>& rows, int zoom);
