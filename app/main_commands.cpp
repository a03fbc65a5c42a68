// The commands behind the main window: browsing sprites, palettes and
// frames, and saving or copying frames.
#include "app/main_commands.h"

#include <new>

#include "app/about_box.h"
#include "app/animation_window.h"
#include "formats/cases.h"
#include "formats/frame_names.h"
#include "app/palette_catalogue.h"
#include "app/program_info.h"
#include "toolkit/base/system_text.h"
#include "toolkit/base/write_through.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"
#include "toolkit/widgets/painter.h"

namespace {

// The palette box's palette, or null when its index names none.
const PaletteRecord* ChosenPalette(TMainWindow* main) {
  int32_t index = CurrentIndex(main->PaletteBox);
  if (index < 0 || static_cast<size_t>(index) >= PaletteCatalogue.size()) return nullptr;
  return &PaletteCatalogue[static_cast<size_t>(index)];
}

// A sprite whose images the memory cannot hold is dropped, as one refused
// for size: no frames, the start-up picture shown.
void ColourSprite(TMainWindow* main) {
  try {
    if (const PaletteRecord* palette = ChosenPalette(main)) Sprite->SetPalette(palette->Colours);
    Sprite->BuildBitmaps();
  } catch (const std::bad_alloc&) {
    CurrentBitmap = StartupBitmap;
    Sprite->Clear();
  }
}

// The frame list's current line, or -1 when there is none: an empty list
// answers a caret line of its own on some systems.
int32_t CurrentFrameIndex(TMainWindow* main) {
  int32_t index = CurrentIndex(main->FrameList);
  return index >= 0 && index < ItemCount(main->FrameList) ? index : -1;
}

void RunPaintEvent(TMainWindow* main) {
  main->Preview->PaintEvent(main->Preview, nullptr);
}

// Holds back a list's drawing while it is filled: drawn after each line, a
// list of thousands of frames takes seconds.
class TDrawingPause {
 public:
  explicit TDrawingPause(TWidget* list) : window_(GetHandle(list)) {
    SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~TDrawingPause() {
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }
  TDrawingPause(const TDrawingPause&) = delete;
  TDrawingPause& operator=(const TDrawingPause&) = delete;

 private:
  HWND window_;
};

void FillFrameList(TMainWindow* main) {
  TDrawingPause pause(main->FrameList);
  ClearItems(main->FrameList);
  for (int32_t number = 1; number <= Sprite->FrameCount; ++number)
    AddItem(main->FrameList, FrameLine(Sprite->Name, number).c_str());
  // Refused by a list with multiple selection: the first line added is
  // already selected and current.
  SetCurrentIndex(main->FrameList, 0);
}

// Asks for the folder the frames go to; false when the user did not
// confirm one.
bool AskExportFolder(TMainWindow* main) {
  TFolderDialog* dialog = main->ExportFolderDialog;
  SetStartFolder(dialog, ExportFolder.c_str());
  if (!ShowDialog(dialog)) return false;
  ExportFolder = ChosenFolder(dialog);
  return true;
}

constexpr const char* kWriteFailedText = "Не удалось записать файл:";
constexpr const char* kCopyFailedText = "Не удалось скопировать кадр в буфер обмена.";

// The text is the system's: the program's own part converted, a path as
// the system gave it.
void ReportFailure(TMainWindow* main, const std::string& text) {
  MessageBoxA(main->AppForm->Window, text.c_str(), SystemText(kProgramName).c_str(),
              MB_OK | MB_ICONERROR);
}

}  // namespace

void ReportWriteFailure(TMainWindow* main, const std::string& path) {
  ReportFailure(main, SystemText(kWriteFailedText) + "\n" + path);
}

namespace {

// Writes through a temporary file beside the target, so that a failed write
// leaves the user's file as it was, and says so. An empty picture writes
// nothing and is no failure.
bool SaveImage(TMainWindow* main, TDib* bitmap, const std::string& path) {
  if (!bitmap || bitmap->IsEmpty()) return true;
  bool saved = WriteThroughTemporary(
      path, [bitmap](TByteStream* file) { return bitmap->SaveBmpStream(file); });
  if (!saved) ReportWriteFailure(main, path);
  return saved;
}

bool ExportFrame(TMainWindow* main, int32_t index) {
  std::string path = InFolder(ExportFolder, FrameFileName(Sprite->Name, index + 1));
  return SaveImage(main, Sprite->GetFrameBitmap(index), path);
}

}  // namespace

void SpriteChosen(TMainWindow* main) {
  int32_t index = CurrentIndex(main->SpriteList);
  if (index < 0) return;
  // The list shows ShpFolder, wherever the current directory has moved.
  LoadSprite(main, InFolder(ShpFolder, ItemText(main->SpriteList, index)));
}

void LoadSprite(TMainWindow* main, const std::string& fileName) {
  // Loading frees the old frames with their pictures; the preview must not
  // be left showing one of them.
  CurrentBitmap = StartupBitmap;
  try {
    Sprite->LoadShpFile(fileName.c_str());
  } catch (const std::bad_alloc&) {
    Sprite->Clear();
  }
  ColourSprite(main);
  FillFrameList(main);
  if (ItemCount(main->FrameList) > 0) {
    main->FrameList->SelectEvent(main->FrameList);
  } else {
    RunPaintEvent(main);
  }
  SetEnabled(main->PaletteBox, true);
  SetEnabled(main->SaveAllButton, true);
  AnimationSpriteLoaded(fileName);
}

void PaletteChanged(TMainWindow* main) {
  // The frames' pictures are refilled in place: CurrentBitmap stays the
  // frame shown.
  ColourSprite(main);
  // A sprite dropped for lack of memory leaves no frames to list.
  if (Sprite->FrameCount != ItemCount(main->FrameList)) {
    FillFrameList(main);
    RunPaintEvent(main);
  }
  main->FrameList->SelectEvent(main->FrameList);
  UpdateNow(main->PreviewScroller);
  AnimationPaletteChanged();
}

void FrameChosen(TMainWindow* main) {
  AnimationSelectionChanged();
  int32_t index = CurrentFrameIndex(main);
  if (index < 0) return;
  TDib* bitmap = Sprite->GetFrameBitmap(index);
  if (!bitmap) return;
  CurrentBitmap = bitmap;
  RunPaintEvent(main);
  SetEnabled(main->SaveSelectedButton, true);
}

void PaintPreview(TMainWindow* main, TWidget*, HDC) {
  TWidget* preview = main->Preview;
  SetWidth(preview, CurrentBitmap->Width);
  SetHeight(preview, CurrentBitmap->Height);
  CurrentBitmap->DrawAt(PainterDC(WidgetPainter(preview)), 0, 0);
}

void SaveFrame(TMainWindow* main) {
  TFileDialog* dialog = main->SaveFrameDialog;
  dialog->ChosenPath = Sprite->Name + FrameNumberText(CurrentFrameIndex(main) + 1);
  dialog->StartFolder = ExportFolder;
  if (!ShowDialog(dialog)) return;
  SaveImage(main, CurrentBitmap, dialog->ChosenPath);
  ExportFolder = FolderPartOf(dialog->ChosenPath);
}

void SaveSelectedFrames(TMainWindow* main) {
  if (!AskExportFolder(main)) return;
  int32_t count = ItemCount(main->FrameList);
  for (int32_t index = 0; index < count; ++index) {
    // A batch stops at its first failure: the user was told of it.
    if (IsItemSelected(main->FrameList, index) && !ExportFrame(main, index)) return;
  }
}

void SaveAllFrames(TMainWindow* main) {
  if (!AskExportFolder(main)) return;
  for (int32_t index = 0; index < Sprite->FrameCount; ++index) {
    if (!ExportFrame(main, index)) return;
  }
}

void ChooseShpFolder(TMainWindow* main) {
  TFolderDialog* dialog = main->ShpFolderDialog;
  SetStartFolder(dialog, ShpFolder.c_str());
  if (!ShowDialog(dialog)) return;
  ShpFolder = ChosenFolder(dialog);
  ClearItems(main->SpriteList);
  AddDirectoryListing(main->SpriteList, InFolder(ShpFolder, "*.shp").c_str(),
                      kListedFileAttributes);
  SetSystemText(main->FolderEdit, ShpFolder);
}

void CopyFrame(TMainWindow* main) {
  if (!CurrentBitmap->PutOnClipboard()) ReportFailure(main, SystemText(kCopyFailedText));
}

void ExitProgram(TMainWindow* main) {
  RequestClose(main->AppForm);
}

void ShowAbout(TMainWindow*) {
  ShowAboutBox(kProgramName, kProgramDate, kAuthorName, kAuthorEmail, kAuthorWeb);
}
