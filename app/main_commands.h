#pragma once

#include <windows.h>

#include <string>

#include "app/main_unit.h"

// The commands behind the main window's events. Each takes the main
// window's record and runs to completion on the GUI thread.

// A line of the sprite list was chosen: loads that file of ShpFolder.
void SpriteChosen(TMainWindow* main);
// Loads the sprite file, colours it with the palette box's palette, lists
// its frames and shows the first.
void LoadSprite(TMainWindow* main, const std::string& fileName);
// Another palette was chosen: recolours every frame and shows the current
// one again.
void PaletteChanged(TMainWindow* main);
// The frame list's current line becomes the frame shown.
void FrameChosen(TMainWindow* main);
// Sizes the preview to CurrentBitmap and draws it; `dc` is not used.
void PaintPreview(TMainWindow* main, TWidget* preview, HDC dc);
// Saves the picture shown under a name asked for with the save dialog.
void SaveFrame(TMainWindow* main);
// Asks for a folder and saves the selected frames there, or every frame.
void SaveSelectedFrames(TMainWindow* main);
void SaveAllFrames(TMainWindow* main);
// Asks for another folder of sprites and lists its *.shp files.
void ChooseShpFolder(TMainWindow* main);
// Puts the picture shown on the clipboard.
void CopyFrame(TMainWindow* main);
void ExitProgram(TMainWindow* main);
// Tells the user that the file could not be written.
void ReportWriteFailure(TMainWindow* main, const std::string& path);
void ShowAbout(TMainWindow* main);
