#pragma once

#include <string>

#include "format_shp/shp.h"
#include "toolkit/base/base_object.h"
#include "toolkit/base/dib.h"
#include "toolkit/widgets/file_dialog.h"
#include "toolkit/widgets/folder_dialog.h"
#include "toolkit/widgets/menu.h"
#include "toolkit/widgets/widget.h"

// The parts of the main window. Made by BuildMainWindow and owned by the
// main form, so that it goes with the form.
class TMainWindow : public TBaseObject {
 public:
  TWidget* AppForm = nullptr;
  TWidget* RightPanel = nullptr;  // palette, frames, actions
  TWidget* LeftPanel = nullptr;   // SHP folder and sprite list
  TWidget* ActionsGroup = nullptr;
  TWidget* SpriteList = nullptr;  // the *.shp names of ShpFolder
  TWidget* PaletteGroup = nullptr;
  TWidget* PaletteBox = nullptr;  // item i is PaletteCatalogue[i]
  TWidget* FramesGroup = nullptr;
  TWidget* FrameList = nullptr;  // one line per frame of Sprite
  TWidget* PreviewScroller = nullptr;
  TWidget* Preview = nullptr;  // shows CurrentBitmap
  TWidget* SaveAllButton = nullptr;
  TMenuNode* PreviewMenu = nullptr;
  TFileDialog* SaveFrameDialog = nullptr;
  TWidget* SaveSelectedButton = nullptr;
  TFolderDialog* ExportFolderDialog = nullptr;
  TWidget* FolderPanel = nullptr;
  TWidget* FolderGroup = nullptr;
  TWidget* FolderEdit = nullptr;  // only ever written: shows ShpFolder
  TWidget* FolderButton = nullptr;
  TFolderDialog* ShpFolderDialog = nullptr;
  TMenuNode* MenuBar = nullptr;
};

// Program-wide state, one each for the life of the process.
extern TShp* Sprite;              // the loaded sprite, reloaded in place
extern TDib* CurrentBitmap;       // what the preview shows, saving and copying use
extern TDib* StartupBitmap;       // the 1 x 1 picture shown before any frame
extern std::string ExportFolder;  // offered by the export commands
extern std::string ShpFolder;     // whose *.shp files the sprite list shows

// Builds the main window, hidden, then runs the start-up tail: palettes
// (the process ends here without one), the sprite list of the working
// directory, the start-up bitmap, the sprite and the About box. The record
// is freed with its AppForm.
TMainWindow* BuildMainWindow();

// The process's current directory as the system reports it.
std::string WorkingDirectory();
