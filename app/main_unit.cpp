// The main window: its record, menus, dialogs and widgets, built in the
// order that alignment depends on, and the start-up tail that fills it.
#include "app/main_unit.h"

#include <windows.h>

#include "app/about_box.h"
#include "app/animation_window.h"
#include "app/main_commands.h"
#include "app/palette_catalogue.h"
#include "app/program_info.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/layout.h"
#include "toolkit/widgets/list_controls.h"
#include "toolkit/widgets/scroll_box.h"

TShp* Sprite = nullptr;
TDib* CurrentBitmap = nullptr;
TDib* StartupBitmap = nullptr;
std::string ExportFolder;
std::string ShpFolder;

namespace {

using TCommand = void (*)(TMainWindow* main);

const char* const kMenuBarTemplate[] = {"Файл", "(", "Выход", ")", "О Программе...", ""};
const char* const kPreviewMenuTemplate[] = {"Сохранить...", "Скопировать в буфер", ""};

constexpr TColor kWindowColour = 0x80000005;  // COLOR_WINDOW
constexpr TColor kFaceColour = 0x8000000F;    // COLOR_BTNFACE
constexpr int32_t kFontHeight = -11;

// Events run commands, which need only the record.
template <TCommand Command>
void RunOnNotify(TMainWindow* main, TWidget*) {
  Command(main);
}

template <TCommand Command>
void RunOnItem(TMainWindow* main, TMenuNode*, int32_t) {
  Command(main);
}

template <TCommand Command>
TNotifyEvent On(TMainWindow* main) {
  return TNotifyEvent::Bind<&RunOnNotify<Command>>(main);
}

template <TCommand Command>
TMenuItemEvent OnItem(TMainWindow* main) {
  return TMenuItemEvent::Bind<&RunOnItem<Command>>(main);
}

void BuildForm(TMainWindow* main) {
  TWidget* form = MakeForm(nullptr, kProgramName);
  main->AppForm = form;
  PlaceAt(form, 168, 75);
  SizeTo(form, 549, 439);
  MainWidget = form;
  OwnObject(form, main);
  SetFontHeight(GetFont(form), kFontHeight);
  // Aligned children touch the form's edges and each other.
  form->Spacing = 0;
}

void BuildMenus(TMainWindow* main) {
  main->MenuBar = MakeMenu(main->AppForm, 0, kMenuBarTemplate, 5, {});
  const TMenuItemEvent barItems[] = {OnItem<&ExitProgram>(main), OnItem<&ShowAbout>(main)};
  SetItemHandlers(main->MenuBar, 1, barItems, 1);

  main->PreviewMenu = MakeMenu(main->AppForm, 0, kPreviewMenuTemplate, 2, {});
  const TMenuItemEvent previewItems[] = {OnItem<&SaveFrame>(main), OnItem<&CopyFrame>(main)};
  SetItemHandlers(main->PreviewMenu, 0, previewItems, 1);
}

void BuildDialogs(TMainWindow* main) {
  TFileDialog* save = MakeFileDialog(nullptr, nullptr, 0);
  save->FilterSpec = "Bitmaps (*.bmp)|*.bmp";
  save->ForOpening = false;
  save->FallbackExtension = "bmp";
  OwnObject(main->AppForm, save);
  main->SaveFrameDialog = save;

  main->ExportFolderDialog = MakeFolderDialog(nullptr, 0);
  main->ShpFolderDialog = MakeFolderDialog(nullptr, 0);
  OwnObject(main->AppForm, main->ExportFolderDialog);
  OwnObject(main->AppForm, main->ShpFolderDialog);
}

// Sizes are set before the alignment, so that the parent's layout, redone
// by the alignment, uses them.
TWidget* Align(TWidget* widget, uint8_t mode, int32_t width, int32_t height) {
  SizeTo(widget, width, height);
  return SetAlignMode(widget, mode);
}

// A group box whose children sit below its caption.
TWidget* MakeGroup(TWidget* parent, const char* caption, uint8_t mode, int32_t height) {
  TWidget* group = Align(MakeGroupBox(parent, caption), mode, 0, height);
  group->Spacing = 2;
  SetInset(group, kInsetTop, 14);
  return group;
}

void BuildPreview(TMainWindow* main) {
  main->PreviewScroller =
      SetAlignMode(MakeScrollBox(main->AppForm, kScrollEdgeClient), kAlignClient);
  TWidget* preview = MakePaintBox(main->PreviewScroller);
  main->Preview = preview;
  PlaceAt(preview, 1, 1);
  SizeTo(preview, 240, 240);
  SetCursorShape(preview, LoadCursorA(nullptr, IDC_HAND));
  SetContextMenu(preview, main->PreviewMenu);
  preview->ClickEvent = On<&SaveFrame>(main);
  SetPaintEvent(preview, TPaintEvent::Bind<&PaintPreview>(main));
}

void BuildLeftColumn(TMainWindow* main) {
  main->LeftPanel = Align(MakePanel(main->AppForm, kEdgeNone), kAlignLeft, 137, 0);

  TWidget* sprites = Align(MakeListBox(main->LeftPanel, kListNoIntegralHeight), kAlignClient, 0, 0);
  main->SpriteList = sprites;
  SetColor(sprites, kWindowColour);
  sprites->SelectEvent = On<&SpriteChosen>(main);
  SetCurrentIndex(sprites, 0);

  main->FolderPanel = Align(MakePanel(main->LeftPanel, kEdgeNone), kAlignTop, 0, 45);
  main->FolderGroup = MakeGroup(main->FolderPanel, " Путь к SHP файлам ", kAlignClient, 0);
  main->FolderEdit = PlaceAt(MakeEditBox(main->FolderGroup, 0), 6, 16);
  SetColor(main->FolderEdit, kWindowColour);
  main->FolderButton = SizeTo(PlaceAt(MakeButton(main->FolderGroup, "..."), 108, 16), 25, 0);
  main->FolderButton->ClickEvent = On<&ChooseShpFolder>(main);
}

void BuildPaletteBox(TMainWindow* main) {
  main->PaletteGroup = MakeGroup(main->RightPanel, "Палитра", kAlignTop, 44);
  TWidget* box = MakeComboBox(main->PaletteGroup, kComboDropDownList | kComboNoIntegralHeight);
  main->PaletteBox = box;
  SizeTo(PlaceAt(box, 6, 16), 131, 0);
  SetColor(box, kWindowColour);
  SetEnabled(box, false);
  // Replaced by the palettes before the window is first shown.
  SetItemText(box, 0, "ComboBox1");
  SetCurrentIndex(box, 0);
  box->ChangeEvent = On<&PaletteChanged>(main);
}

void BuildRightColumn(TMainWindow* main) {
  main->RightPanel = Align(MakePanel(main->AppForm, kEdgeNone), kAlignLeft, 144, 0);
  SetColor(main->RightPanel, kFaceColour);
  BuildPaletteBox(main);

  main->FramesGroup = MakeGroup(main->RightPanel, "Спрайты", kAlignClient, 0);
  TWidget* frames =
      MakeListBox(main->FramesGroup, kListExtendedSel | kListMultipleSel | kListNoIntegralHeight);
  main->FrameList = Align(frames, kAlignClient, 0, 0);
  SetColor(frames, kWindowColour);
  frames->SelectEvent = On<&FrameChosen>(main);
  SetCurrentIndex(frames, 0);

  main->ActionsGroup = MakeGroup(main->RightPanel, "Действия", kAlignBottom, 68);
  TWidget* saveAll = MakeButton(main->ActionsGroup, "Сохранить все...");
  main->SaveAllButton = SizeTo(PlaceAt(saveAll, 8, 16), 129, 0);
  SetEnabled(saveAll, false);
  saveAll->ClickEvent = On<&SaveAllFrames>(main);
  TWidget* saveSelected = MakeButton(main->ActionsGroup, "Только выделенное...");
  main->SaveSelectedButton = SizeTo(PlaceAt(saveSelected, 8, 40), 129, 0);
  SetEnabled(saveSelected, false);
  saveSelected->ClickEvent = On<&SaveSelectedFrames>(main);
}

void RunStartupTail(TMainWindow* main) {
  LoadPaletteCatalogue();
  ClearItems(main->PaletteBox);
  for (const PaletteRecord& palette : PaletteCatalogue)
    AddItem(main->PaletteBox, palette.Name.c_str());

  ExportFolder = WorkingDirectory();
  ShpFolder = ExportFolder;
  AddDirectoryListing(main->SpriteList, "*.shp", kListedFileAttributes);
  SetSystemText(main->FolderEdit, ShpFolder);

  StartupBitmap = MakeDib(1, 1);
  CurrentBitmap = StartupBitmap;
  Sprite = new TShp();
  BuildAboutBox(main->AppForm);
}

}  // namespace

std::string WorkingDirectory() {
  DWORD size = GetCurrentDirectoryA(0, nullptr);
  std::string path(size, '\0');
  DWORD length = size ? GetCurrentDirectoryA(size, path.data()) : 0;
  path.resize(length < size ? length : 0);
  return path;
}

TMainWindow* BuildMainWindow() {
  auto* main = new TMainWindow();
  BuildForm(main);
  BuildMenus(main);
  // After the bar the window was specified with, so its commands keep their
  // numbers.
  AddViewMenu(main);
  BuildDialogs(main);
  BuildPreview(main);
  BuildLeftColumn(main);
  BuildRightColumn(main);
  // Creates the main window, hidden until the main loop shows it.
  HWND window = GetHandle(main->AppForm);
  main->SaveFrameDialog->OwnerWindow = window;
  main->ExportFolderDialog->OwnerWindow = window;
  main->ShpFolderDialog->OwnerWindow = window;
  RunStartupTail(main);
  return main;
}
