#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win32/program_run.h"
#include "win32/window_search.h"

// The real skarnel.exe started in a working folder and driven from outside,
// as a user drives it: clicks and keys posted to its windows (so that a
// crash in a handler ends the process for all to see), its system dialogs
// answered, its lists and texts read back.

// Rows of the main window's widget table, in creation order; the toolkit
// numbers controls from 32768 in the order they are made.
enum TViewerRow : int {
  kPreviewScrollerRow = 1,
  kPreviewRow,
  kLeftPanelRow,
  kSpriteListRow,
  kFolderPanelRow,
  kFolderGroupRow,
  kFolderEditRow,
  kFolderButtonRow,
  kRightPanelRow,
  kPaletteGroupRow,
  kPaletteBoxRow,
  kFramesGroupRow,
  kFrameListRow,
  kActionsGroupRow,
  kSaveAllRow,
  kSaveSelectedRow,
};

// Menu commands: the toolkit numbers menu items from 4096 in the order the
// menus are made (the menu bar's "Файл" first).
constexpr UINT kExitCommand = 4097;
constexpr UINT kAboutCommand = 4098;
constexpr UINT kSaveFrameCommand = 4099;
constexpr UINT kCopyCommand = 4100;

class TViewerRun {
 public:
  TViewerRun(const std::string& program, const std::string& folder);

  // The main window once it is shown; 0 when it never came.
  HWND Main() const { return main_; }
  HWND Row(TViewerRow row) const;
  TProgramRun& Program() { return program_; }

  // A window's text, asked of the window itself.
  std::string Text(HWND window) const;
  std::vector<std::string> Lines(HWND list) const;
  int LineCount(HWND list) const;
  std::string Line(HWND list, int index) const;
  std::vector<int> SelectedLines(HWND list) const;
  int CaretLine(HWND list) const;
  std::vector<std::string> ComboLines(HWND combo) const;
  // A window's rectangle in its parent's client coordinates.
  RECT PlaceOf(HWND window) const;

  // A left click on a list line; with `adding`, Ctrl is held.
  void ClickLine(HWND list, int index, bool adding = false) const;
  // A real left click through the display on a list line: it reaches the
  // line only where the system lets input through.
  void ClickLineOnScreen(HWND list, int index) const;
  // A left click at the middle of a window.
  void Click(HWND window) const;
  // A key pressed and released in a window that has been given the focus.
  void PressKey(HWND window, UINT key) const;
  void Command(UINT id) const;

  // The visible system dialog ("#32770") of the program, waiting up to
  // `timeoutMs` for it.
  HWND WaitForDialog(DWORD timeoutMs = 5000) const;
  // Answers the folder dialog with the folder, or Cancel when empty, and
  // waits until it has gone.
  bool AnswerFolderDialog(const std::string& folder) const;
  // Answers the save dialog with the path, or Cancel when empty, and waits
  // until it has gone; `offered` gets the file name it offered.
  bool AnswerSaveDialog(const std::string& path, std::string* offered) const;

 private:
  TProgramRun program_;
  HWND main_ = nullptr;
};
