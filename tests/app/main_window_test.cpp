// The main window as start-up leaves it: every widget, menu and dialog with
// its settings, and what the start-up tail filled in.
#include <windows.h>

#include <string>
#include <vector>

#include "app/about_box.h"
#include "app/main_unit.h"
#include "app/palette_catalogue.h"
#include "app/program_info.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"
#include "viewer_fixture.h"

namespace {

using TLines = std::vector<std::string>;

struct TWidgetRow {
  const char* Field;
  TWidget* Widget;
  TWidget* Parent;
  const char* ClassName;
  const char* Caption;
  uint8_t Align;
  TColor Colour;
};

// The rows of the widget table, in creation order.
std::vector<TWidgetRow> WidgetTable(TMainWindow* m) {
  const TColor window = 0x80000005;
  const TColor face = 0x8000000F;
  return {
      {"PreviewScroller", m->PreviewScroller, m->AppForm, "obj_ScrollBox", "", kAlignClient, face},
      {"Preview", m->Preview, m->PreviewScroller, "obj_STATIC", "", kAlignNone, face},
      {"LeftPanel", m->LeftPanel, m->AppForm, "obj_STATIC", "", kAlignLeft, face},
      {"SpriteList", m->SpriteList, m->LeftPanel, "obj_LISTBOX", "", kAlignClient, window},
      {"FolderPanel", m->FolderPanel, m->LeftPanel, "obj_STATIC", "", kAlignTop, face},
      {"FolderGroup", m->FolderGroup, m->FolderPanel, "obj_BUTTON", " Путь к SHP файлам ",
       kAlignClient, face},
      {"FolderEdit", m->FolderEdit, m->FolderGroup, "obj_EDIT", nullptr, kAlignNone, window},
      {"FolderButton", m->FolderButton, m->FolderGroup, "obj_BUTTON", "...", kAlignNone, face},
      {"RightPanel", m->RightPanel, m->AppForm, "obj_STATIC", "", kAlignLeft, face},
      {"PaletteGroup", m->PaletteGroup, m->RightPanel, "obj_BUTTON", "Палитра", kAlignTop, face},
      {"PaletteBox", m->PaletteBox, m->PaletteGroup, "obj_COMBOBOX", nullptr, kAlignNone, window},
      {"FramesGroup", m->FramesGroup, m->RightPanel, "obj_BUTTON", "Спрайты", kAlignClient, face},
      {"FrameList", m->FrameList, m->FramesGroup, "obj_LISTBOX", "", kAlignClient, window},
      {"ActionsGroup", m->ActionsGroup, m->RightPanel, "obj_BUTTON", "Действия", kAlignBottom,
       face},
      {"SaveAllButton", m->SaveAllButton, m->ActionsGroup, "obj_BUTTON", "Сохранить все...",
       kAlignNone, face},
      {"SaveSelectedButton", m->SaveSelectedButton, m->ActionsGroup, "obj_BUTTON",
       "Только выделенное...", kAlignNone, face},
  };
}

// A place in the parent's client area: left, top, width, height.
struct TPlace {
  int Left, Top, Width, Height;
  friend bool operator==(const TPlace&, const TPlace&) = default;
  friend void PrintTo(const TPlace& p, std::ostream* out) {
    *out << "(" << p.Left << ", " << p.Top << ") " << p.Width << " x " << p.Height;
  }
};

TPlace PlaceOf(TWidget* widget) {
  RECT rect;
  GetWindowRect(widget->Window, &rect);
  MapWindowPoints(nullptr, widget->Parent->Window, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TPlace Rect(int left, int top, int width, int height) {
  return {left, top, width, height};
}

std::string MenuText(HMENU menu, UINT position) {
  char text[128] = {};
  GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
  return text;
}

class TMainWindowTest : public TViewerTest {};

TEST_F(TMainWindowTest, EveryWidgetOfTheTableInCreationOrderWithItsSettings) {
  PutStandardFiles();
  TMainWindow* m = Build();
  EXPECT_EQ(MainWidget, m->AppForm);
  EXPECT_EQ(GetText(m->AppForm), "Skarnel v1.0");
  EXPECT_EQ(m->AppForm->Spacing, 0);
  std::vector<TWidgetRow> table = WidgetTable(m);
  uintptr_t previousId = 0;
  for (const TWidgetRow& row : table) {
    SCOPED_TRACE(row.Field);
    TWidget* w = row.Widget;
    ASSERT_NE(w, nullptr);
    ASSERT_NE(w->Window, nullptr);
    EXPECT_EQ(w->Parent, row.Parent);
    EXPECT_EQ(ClassOf(w->Window), row.ClassName);
    if (row.Caption) {
      EXPECT_EQ(GetText(w), row.Caption);
    }
    EXPECT_EQ(w->AlignMode, row.Align);
    EXPECT_EQ(w->Color, row.Colour);
    EXPECT_GT(w->MenuOrId, previousId) << "made after the row before";
    previousId = w->MenuOrId;
    ASSERT_NE(w->Font, nullptr);
    EXPECT_EQ(w->Font->FontData.Height, -11);
    EXPECT_TRUE(IsWindowVisible(w->Window));
  }
  for (TWidget* group : {m->FolderGroup, m->PaletteGroup, m->FramesGroup, m->ActionsGroup}) {
    EXPECT_EQ(group->Spacing, 2);
    EXPECT_EQ(group->InsetTop, 14);
  }
  // Fixed places in their group boxes, and the sizes the defaults give.
  EXPECT_EQ(PlaceOf(m->FolderEdit), Rect(6, 16, 100, 22));
  EXPECT_EQ(PlaceOf(m->FolderButton), Rect(108, 16, 25, 22));
  EXPECT_EQ(PlaceOf(m->SaveAllButton), Rect(8, 16, 129, 22));
  EXPECT_EQ(PlaceOf(m->SaveSelectedButton), Rect(8, 40, 129, 22));
  TPlace palette = PlaceOf(m->PaletteBox);
  EXPECT_EQ(palette.Left, 6);
  EXPECT_EQ(palette.Top, 16);
  EXPECT_EQ(palette.Width, 131);
}

TEST_F(TMainWindowTest, ListStylesCursorsAndEvents) {
  PutStandardFiles();
  TMainWindow* m = Build();
  LONG_PTR sprites = StyleOf(m->SpriteList->Window);
  EXPECT_TRUE(sprites & LBS_NOINTEGRALHEIGHT);
  EXPECT_FALSE(sprites & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_SORT));
  LONG_PTR frames = StyleOf(m->FrameList->Window);
  EXPECT_EQ(frames & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT),
            LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT);
  EXPECT_FALSE(frames & LBS_SORT);
  LONG_PTR palette = StyleOf(m->PaletteBox->Window);
  EXPECT_EQ(palette & 3, CBS_DROPDOWNLIST);
  EXPECT_TRUE(palette & CBS_NOINTEGRALHEIGHT);
  EXPECT_FALSE(StyleOf(m->FolderEdit->Window) & ES_MULTILINE);

  EXPECT_EQ(m->Preview->MouseCursor, LoadCursorA(nullptr, IDC_HAND));
  EXPECT_EQ(m->Preview->ContextMenu, m->PreviewMenu);
  EXPECT_TRUE(m->Preview->ClickEvent.IsSet());
  EXPECT_TRUE(m->Preview->PaintEvent.IsSet());
  EXPECT_TRUE(m->SpriteList->SelectEvent.IsSet());
  EXPECT_TRUE(m->FrameList->SelectEvent.IsSet());
  // The palette box's selections reach its change event.
  EXPECT_FALSE(m->PaletteBox->SelectEvent.IsSet());
  EXPECT_TRUE(m->PaletteBox->ChangeEvent.IsSet());
  EXPECT_TRUE(m->FolderButton->ClickEvent.IsSet());
  EXPECT_TRUE(m->SaveSelectedButton->ClickEvent.IsSet());
  EXPECT_TRUE(m->SaveAllButton->ClickEvent.IsSet());
}

TEST_F(TMainWindowTest, TheGroupsStackInTheirColumns) {
  PutStandardFiles();
  TMainWindow* m = Build();
  for (SIZE size : {SIZE{549, 439}, SIZE{900, 700}}) {
    SizeTo(m->AppForm, size.cx, size.cy);
    PumpQueued();
    RECT client;
    GetClientRect(m->AppForm->Window, &client);
    int height = client.bottom;
    SCOPED_TRACE(height);
    EXPECT_EQ(PlaceOf(m->FolderPanel), Rect(0, 0, 137, 45));
    EXPECT_EQ(PlaceOf(m->FolderGroup), Rect(0, 0, 137, 45));
    EXPECT_EQ(PlaceOf(m->SpriteList), Rect(0, 45, 137, height - 45));
    EXPECT_EQ(PlaceOf(m->PaletteGroup), Rect(0, 0, 144, 44));
    EXPECT_EQ(PlaceOf(m->ActionsGroup), Rect(0, height - 68, 144, 68));
    EXPECT_EQ(PlaceOf(m->FramesGroup), Rect(0, 44, 144, height - 44 - 68));
  }
}

TEST_F(TMainWindowTest, MenuBarAndPreviewMenu) {
  PutStandardFiles();
  TMainWindow* m = Build();
  HMENU bar = GetMenu(m->AppForm->Window);
  ASSERT_EQ(bar, m->MenuBar->Handle);
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_EQ(MenuText(bar, 0), "Файл");
  EXPECT_EQ(MenuText(bar, 1), "Вид");
  EXPECT_EQ(MenuText(bar, 2), "О Программе...");
  HMENU file = GetSubMenu(bar, 0);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(GetMenuItemCount(file), 1);
  EXPECT_EQ(MenuText(file, 0), "Выход");
  int32_t first = m->MenuBar->FirstCommand;
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(first + 1));
  EXPECT_EQ(GetMenuItemID(bar, 2), static_cast<UINT>(first + 2));

  HMENU popup = m->PreviewMenu->Handle;
  ASSERT_EQ(GetMenuItemCount(popup), 2);
  EXPECT_EQ(MenuText(popup, 0), "Сохранить...");
  EXPECT_EQ(MenuText(popup, 1), "Скопировать в буфер");
  EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(first + 3));
  EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(first + 4));

  // Added after the specified menus, so their numbers stay.
  HMENU view = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(view), 1);
  EXPECT_EQ(MenuText(view, 0), "Анимация...");
  EXPECT_EQ(GetMenuItemID(view, 0), static_cast<UINT>(first + 5));
}

TEST_F(TMainWindowTest, DialogsAreSetUpForTheirCommands) {
  PutStandardFiles();
  TMainWindow* m = Build();
  TFileDialog* save = m->SaveFrameDialog;
  EXPECT_EQ(save->FilterSpec, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_FALSE(save->ForOpening);
  EXPECT_EQ(save->FallbackExtension, "bmp");
  EXPECT_EQ(save->OptionSet, kDefaultFileOptions);
  EXPECT_EQ(save->DialogTitle, "");
  EXPECT_EQ(save->OwnerWindow, m->AppForm->Window);
  for (TFolderDialog* folder : {m->ExportFolderDialog, m->ShpFolderDialog}) {
    EXPECT_EQ(folder->DialogTitle, "");
    EXPECT_EQ(folder->OptionSet, kDefaultFolderOptions);
    EXPECT_EQ(folder->OwnerWindow, m->AppForm->Window);
  }
  EXPECT_NE(m->ExportFolderDialog, m->ShpFolderDialog);
}

TEST_F(TMainWindowTest, TheStartUpTailFillsTheWindow) {
  PutPalette(Folder(), "Sea.pal", SeaPalette());
  PutPalette(Folder(), "Amber.pal", AmberPalette());
  PutPalette(Folder(), "Dusk.pal", AmberPalette());
  PutSprite(Folder(), TankSprite(), "b.shp");
  PutSprite(Folder(), TankSprite(), "A.SHP");
  PutSprite(Folder(), TankSprite(), "c.shp");
  WriteFileBytes(Folder() + "\\d.txt", {1});
  CreateDirectoryA((Folder() + "\\e.shp").c_str(), nullptr);
  TMainWindow* m = Build();

  TLines palettes;
  for (const PaletteRecord& record : PaletteCatalogue)
    palettes.push_back(record.Name);
  EXPECT_EQ(palettes.size(), 3u);
  EXPECT_EQ(Lines(m->PaletteBox), palettes) << "catalogue order, no placeholder";
  EXPECT_EQ(CurrentIndex(m->PaletteBox), 0);
  EXPECT_FALSE(IsEnabled(m->PaletteBox));

  EXPECT_EQ(Lines(m->SpriteList), DirectoryListing("*.shp"));
  EXPECT_EQ(Lines(m->SpriteList).size(), 3u) << "files only";
  EXPECT_EQ(CurrentIndex(m->SpriteList), -1);
  EXPECT_EQ(SelectedLines(m->SpriteList), std::vector<int>{});
  EXPECT_EQ(ItemCount(m->FrameList), 0);

  char working[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, working);
  EXPECT_EQ(ExportFolder, working);
  EXPECT_EQ(ShpFolder, working);
  EXPECT_EQ(GetText(m->FolderEdit), working);

  EXPECT_FALSE(IsEnabled(m->SaveAllButton));
  EXPECT_FALSE(IsEnabled(m->SaveSelectedButton));
  ASSERT_NE(CurrentBitmap, nullptr);
  EXPECT_EQ(CurrentBitmap, StartupBitmap);
  EXPECT_EQ(CurrentBitmap->Width, 1);
  EXPECT_EQ(CurrentBitmap->Height, 1);
  ASSERT_NE(Sprite, nullptr);
  EXPECT_EQ(Sprite->FrameCount, 0);
  // The preview took the start-up picture's size when it first painted.
  EXPECT_EQ(PlaceOf(m->Preview), Rect(1, 1, 1, 1));

  ASSERT_NE(AboutForm, nullptr);
  EXPECT_EQ(AboutForm->Parent, m->AppForm);
  EXPECT_FALSE(IsWindowVisible(AboutForm->Window));
  EXPECT_TRUE(GetClassLongPtrA(m->AppForm->Window, GCL_STYLE) & CS_NOCLOSE);
}

TEST_F(TMainWindowTest, OnePaletteIsTheOnlyItemAndSelected) {
  PutPalette(Folder(), "Only.pal", SeaPalette());
  TMainWindow* m = Build();
  EXPECT_EQ(Lines(m->PaletteBox), TLines{"Only"});
  EXPECT_EQ(CurrentIndex(m->PaletteBox), 0);
  EXPECT_EQ(GetText(m->PaletteBox), "Only");
  EXPECT_EQ(ItemCount(m->SpriteList), 0) << "no sprites: an empty list";
}

}  // namespace
