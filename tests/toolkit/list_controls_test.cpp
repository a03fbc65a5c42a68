// List, combo and edit boxes with real windows: styles, item operations,
// directory listings, colours and the inner windows of editable combo boxes.
#include "toolkit/widgets/list_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui_fixture.h"
#include "support/test_files.h"
#include "toolkit/widgets/dispatch.h"
#include "toolkit/base/win32_handles.h"

namespace {

using TListTest = GuiTest;
using TTexts = std::vector<std::string>;

bool RunningUnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

TWidget* MakeHost() {
  TWidget* form = MakeForm(nullptr, "Lists");
  PlaceAt(form, 40, 40);
  SizeTo(form, 400, 360);
  return form;
}

TTexts Items(TWidget* list) {
  TTexts texts;
  for (int32_t i = 0; i < ItemCount(list); ++i)
    texts.push_back(ItemText(list, i));
  return texts;
}

TTexts SortedCaseless(TTexts texts) {
  std::sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  return texts;
}

TEST_F(TListTest, TheProgramsInstancesHaveTheirExactStyles) {
  TWidget* form = Keep(MakeHost());
  struct TCase {
    const char* Name;
    TWidget* Widget;
    uint32_t Style;
    SIZE Size;
  } cases[] = {
      {"sprite list", MakeListBox(form, kSpriteList), 0x56210141, {164, 200}},
      {"frame list", MakeListBox(form, kFrameList), 0x56210949, {164, 200}},
      {"palette box", MakeComboBox(form, kPaletteBox), 0x56210643, {100, 22}},
      {"folder edit", MakeEditBox(form, 0), 0x560100C0, {100, 22}},
      // Only a multi-line edit box keeps its scroll bars.
      {"multi-line edit", MakeEditBox(form, kEditMultiLine), 0x563100C4, {200, 200}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Widget->Style, c.Style);
    EXPECT_EQ(c.Widget->ExStyle, 0x10200u);
    EXPECT_EQ(GetWidth(c.Widget), c.Size.cx);
    EXPECT_EQ(GetHeight(c.Widget), c.Size.cy);
    EXPECT_TRUE(c.Widget->TakesFocus);
  }
  EXPECT_EQ(cases[0].Widget->Color, clWindow);
  EXPECT_EQ(cases[2].Widget->Color, clBtnFace) << "a combo box keeps its parent's colour";
  EXPECT_EQ(cases[3].Widget->MouseCursor, LoadCursorA(nullptr, IDC_IBEAM));

  // The windows are made with these styles; the system shows and hides the
  // scroll bars of lists as their items need them.
  GetHandle(form);
  constexpr uint32_t kScrollBars = WS_HSCROLL | WS_VSCROLL;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(static_cast<uint32_t>(StyleOf(c.Widget->Window)) & ~kScrollBars,
              c.Style & ~kScrollBars);
    EXPECT_EQ(ClassOf(c.Widget->Window), std::string("obj_") + c.Widget->KindName);
  }
}

TEST_F(TListTest, TheFirstItemAddedIsSelectedWhereTheKindAllowsIt) {
  TWidget* form = Keep(MakeHost());
  // Windows refuses LB_SETSEL on a single-selection list box; Wine selects
  // the item as LB_SETCURSEL would.
  bool singleSelects = RunningUnderWine();
  struct TCase {
    const char* Name;
    TWidget* Widget;
    int32_t CurrentAfterFirst;
    bool FirstSelected;
  } cases[] = {
      {"combo box shows it", MakeComboBox(form, kPaletteBox), 0, true},
      {"single selection", MakeListBox(form, kSpriteList), singleSelects ? 0 : -1, singleSelects},
      // The caret item; it is item 0 whether or not anything is selected.
      {"multiple selection selects it", MakeListBox(form, kFrameList), 0, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AddItem(c.Widget, "first"), 0);
    EXPECT_EQ(CurrentIndex(c.Widget), c.CurrentAfterFirst);
    EXPECT_EQ(IsItemSelected(c.Widget, 0), c.FirstSelected);
    EXPECT_EQ(AddItem(c.Widget, "second"), 1);
    EXPECT_EQ(CurrentIndex(c.Widget), c.CurrentAfterFirst) << "later items leave it alone";
    EXPECT_EQ(IsItemSelected(c.Widget, 0), c.FirstSelected);
    EXPECT_FALSE(IsItemSelected(c.Widget, 1));
    EXPECT_EQ(Items(c.Widget), (TTexts{"first", "second"}));
  }
}

TEST_F(TListTest, CurrentIndexOfAMultipleSelectionListIsItsCaret) {
  TWidget* form = Keep(MakeHost());
  TWidget* frames = MakeListBox(form, kFrameList);
  for (const char* text : {"001", "002", "003", "004", "005"})
    AddItem(frames, text);

  SetCurrentIndex(frames, 2);  // LB_SETCURSEL fails on this kind
  EXPECT_EQ(CurrentIndex(frames), 0);
  EXPECT_FALSE(IsItemSelected(frames, 2));

  SendToWidget(frames, LB_SETCARETINDEX, 3, FALSE);
  EXPECT_EQ(CurrentIndex(frames), 3);
  SelectItem(frames, 4, true);
  SelectItem(frames, 0, false);
  EXPECT_EQ((std::vector<bool>{IsItemSelected(frames, 0), IsItemSelected(frames, 3),
                               IsItemSelected(frames, 4)}),
            (std::vector<bool>{false, false, true}));
  EXPECT_FALSE(IsItemSelected(frames, 5)) << "past the end";
  EXPECT_FALSE(IsItemSelected(frames, -1));

  TWidget* sprites = MakeListBox(form, kSpriteList);
  for (const char* text : {"a.shp", "b.shp", "c.shp"})
    AddItem(sprites, text);
  SetCurrentIndex(sprites, 2);
  EXPECT_EQ(CurrentIndex(sprites), 2);
  EXPECT_TRUE(IsItemSelected(sprites, 2));
  SetCurrentIndex(sprites, -1);
  EXPECT_EQ(CurrentIndex(sprites), -1);
}

TEST_F(TListTest, AComboBoxReportsOnlyItsCurrentItemAsSelected) {
  TWidget* form = Keep(MakeHost());
  TWidget* combo = MakeComboBox(form, kPaletteBox);
  for (const char* text : {"Desert", "Temperat", "Snow"})
    AddItem(combo, text);
  EXPECT_EQ((std::vector<bool>{IsItemSelected(combo, 0), IsItemSelected(combo, 1)}),
            (std::vector<bool>{true, false}));
  SelectItem(combo, 2, false);  // a combo box can only show an item
  EXPECT_EQ(CurrentIndex(combo), 2);
  EXPECT_TRUE(IsItemSelected(combo, 2));
  EXPECT_FALSE(IsItemSelected(combo, 0));
  SetCurrentIndex(combo, -1);
  EXPECT_FALSE(IsItemSelected(combo, -1));
}

TEST_F(TListTest, SetItemTextReplacesAnItemOrAddsToAnEmptyList) {
  TWidget* form = Keep(MakeHost());
  TWidget* combo = MakeComboBox(form, kPaletteBox);
  SetItemText(combo, 0, "ComboBox1");
  EXPECT_EQ(Items(combo), (TTexts{"ComboBox1"}));
  EXPECT_EQ(CurrentIndex(combo), -1) << "inserting shows nothing";
  SetCurrentIndex(combo, 0);
  EXPECT_EQ(GetText(combo), "ComboBox1");
  ClearItems(combo);
  EXPECT_EQ(ItemCount(combo), 0);
  EXPECT_EQ(GetText(combo), "");

  TWidget* list = MakeListBox(form, kSpriteList);
  for (const char* text : {"a", "b", "c"})
    AddItem(list, text);
  SetItemText(list, 1, "B");
  EXPECT_EQ(Items(list), (TTexts{"a", "B", "c"}));
  EXPECT_EQ(InsertItem(list, 0, "first"), 0);
  DeleteItem(list, 3);
  DeleteItem(list, 7);  // no such item: nothing happens
  EXPECT_EQ(Items(list), (TTexts{"first", "a", "B"}));
}

TEST_F(TListTest, ItemTextIsEmptyPastTheEndAndWithoutAWindow) {
  TWidget* form = Keep(MakeHost());
  TWidget* list = MakeListBox(form, kSpriteList);
  EXPECT_EQ(ItemText(list, 0), "");
  EXPECT_EQ(list->Window, nullptr) << "asking for a text makes no window";

  AddItem(list, "only");
  ASSERT_NE(list->Window, nullptr) << "adding an item does";
  struct TCase {
    int32_t Index;
    const char* Text;
  } cases[] = {{0, "only"}, {1, ""}, {-1, ""}, {1000, ""}};
  for (const TCase& c : cases)
    EXPECT_EQ(ItemText(list, c.Index), c.Text) << c.Index;

  TWidget* combo = MakeComboBox(form, kPaletteBox);
  AddItem(combo, "Desert");
  EXPECT_EQ(ItemText(combo, 1), "");
  EXPECT_EQ(ItemText(combo, 0), "Desert");
}

TEST_F(TListTest, AnEditBoxHasNoItemsButTakesAddedText) {
  TWidget* form = Keep(MakeHost());
  TWidget* edit = MakeEditBox(form, 0);
  EXPECT_EQ(ItemCount(edit), 0);
  EXPECT_EQ(CurrentIndex(edit), -1);
  EXPECT_EQ(InsertItem(edit, 0, "x"), -1);
  EXPECT_EQ(AddDirectoryListing(edit, "*.*", kListedFileAttributes), LB_ERR);
  EXPECT_EQ(AddItem(edit, "C:\\"), 0);
  EXPECT_EQ(AddItem(edit, "games"), 0);
  EXPECT_EQ(GetText(edit), "C:\\games");
  ClearItems(edit);
  EXPECT_EQ(GetText(edit), "");
}

// Files of a folder, each with its attributes.
struct TFolderFile {
  const char* Name;
  DWORD Attributes;
};

void MakeFiles(const TTempDir& dir, std::initializer_list<TFolderFile> files) {
  for (const TFolderFile& file : files) {
    WriteFileBytes(dir.File(file.Name), {1, 2, 3});
    if (file.Attributes) SetFileAttributesA(dir.File(file.Name).c_str(), file.Attributes);
  }
}

TEST_F(TListTest, ADirectoryListingAddsTheMatchingFilesHiddenOnesIncluded) {
  TWidget* form = Keep(MakeHost());
  TTempDir dir;
  MakeFiles(dir, {{"b.shp", 0},
                  {"C.SHP", 0},
                  {"a.shp", 0},
                  {"notes.txt", 0},
                  {"hidden.shp", FILE_ATTRIBUTE_HIDDEN},
                  {"system.shp", FILE_ATTRIBUTE_SYSTEM},
                  {"x.shpx", 0}});
  CreateDirectoryA(dir.File("folder.shp").c_str(), nullptr);
  TWidget* list = MakeListBox(form, kSpriteList);
  list->SelectEvent = LogEvent("select");

  int32_t last = AddDirectoryListing(list, dir.File("*.shp").c_str(), kListedFileAttributes);
  PumpQueued();
  TTexts items = Items(list);
  EXPECT_EQ(last, ItemCount(list) - 1);
  EXPECT_EQ(CurrentIndex(list), -1) << "nothing is chosen for the user";
  EXPECT_TRUE(EventLog.empty());

  // "*.shp" also matches "x.shpx" through its short name "X~1.SHP": Wine
  // always does so, Windows where the volume makes short names. Wine sorts
  // the names case-insensitively; Windows lists them in the file system's
  // order.
  if (RunningUnderWine()) {
    EXPECT_EQ(items, (TTexts{"a.shp", "b.shp", "C.SHP", "hidden.shp", "system.shp", "x.shpx"}));
  }
  items.erase(std::remove(items.begin(), items.end(), "x.shpx"), items.end());
  EXPECT_EQ(SortedCaseless(items), (TTexts{"a.shp", "b.shp", "C.SHP", "hidden.shp", "system.shp"}))
      << "no folder, no other extension";

  // Without the hidden and system bits Windows leaves those files out; Wine
  // lists them anyway (it keeps the attributes, but LB_DIR ignores them).
  ASSERT_TRUE(GetFileAttributesA(dir.File("hidden.shp").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  ClearItems(list);
  AddDirectoryListing(list, dir.File("*.shp").c_str(), DDL_READWRITE);
  items = Items(list);
  bool hiddenListed = std::count(items.begin(), items.end(), "hidden.shp") == 1;
  bool systemListed = std::count(items.begin(), items.end(), "system.shp") == 1;
  EXPECT_EQ(hiddenListed, RunningUnderWine());
  EXPECT_EQ(systemListed, RunningUnderWine());
}

TEST_F(TListTest, ADirectoryListingWithoutMatchesAddsNothing) {
  TWidget* form = Keep(MakeHost());
  TTempDir dir;
  MakeFiles(dir, {{"notes.txt", 0}, {"readme.shp.txt", 0}});
  TWidget* list = MakeListBox(form, kSpriteList);
  list->SelectEvent = LogEvent("select");
  struct TCase {
    const char* Name;
    std::string Mask;
  } cases[] = {
      {"no .shp file", dir.File("*.shp")},
      {"missing folder", dir.File("gone\\*.shp")},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(AddDirectoryListing(list, c.Mask.c_str(), kListedFileAttributes), LB_ERR);
    EXPECT_EQ(ItemCount(list), 0);
  }
  PumpQueued();
  EXPECT_TRUE(EventLog.empty());
}

TEST_F(TListTest, ARelativeMaskListsTheWorkingFolder) {
  TWidget* form = Keep(MakeHost());
  TTempDir dir;
  MakeFiles(dir, {{"unit.shp", 0}, {"unit.pal", 0}});
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().string().c_str()));
  TWidget* list = MakeListBox(form, kSpriteList);
  TWidget* combo = MakeComboBox(form, kPaletteBox);
  EXPECT_EQ(AddDirectoryListing(list, "*.shp", kListedFileAttributes), 0);
  EXPECT_EQ(AddDirectoryListing(combo, "*.pal", kListedFileAttributes), 0);
  SetCurrentDirectoryA(saved);
  EXPECT_EQ(Items(list), (TTexts{"unit.shp"}));
  EXPECT_EQ(Items(combo), (TTexts{"unit.pal"}));
}

// The colours a control paints with: its own, through the reflected colour
// request (the form) or the combo box's colour handler (its inner list).
TEST_F(TListTest, ListsAndCombosPaintWithTheirOwnColours) {
  TWidget* form = Keep(MakeHost());
  TWidget* list = MakeListBox(form, kSpriteList);
  TWidget* combo = MakeComboBox(form, kPaletteBox);
  SetColor(combo, clWindow);  // as the program does
  AddItem(combo, "Desert");
  GetHandle(form);
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetComboBoxInfo(combo->Window, &info));

  struct TCase {
    const char* Name;
    HWND Receiver;
    HWND Control;
    TWidget* Owner;
  } cases[] = {
      {"list box, through its form", form->Window, list->Window, list},
      {"combo box, through its form", form->Window, combo->Window, combo},
      {"combo box's drop-down list", combo->Window, info.hwndList, combo},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TMemoryCanvas canvas(4, 4);
    SetBkColor(canvas.Dc(), RGB(1, 2, 3));
    auto brush = SendMessageA(c.Receiver, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(canvas.Dc()),
                              reinterpret_cast<LPARAM>(c.Control));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(c.Owner->CtlBrush));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetBkColor(canvas.Dc()), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(canvas.Dc()), GetSysColor(COLOR_WINDOWTEXT));
  }
}

TEST_F(TListTest, AnEmptyListAreaShowsTheListsColour) {
  TWidget* form = Keep(MakeHost());
  TWidget* list = MakeListBox(form, kSpriteList);
  constexpr TColor kTeal = 0x00808000;
  SetColor(list, kTeal);
  AddItem(list, "a.shp");
  Show(form);
  form->CreateWindowHandle();
  UpdateNow(form);
  TWindowDc dc(list->Window);
  RECT client;
  GetClientRect(list->Window, &client);
  EXPECT_EQ(GetPixel(dc.Get(), client.right / 2, client.bottom - 4), static_cast<COLORREF>(kTeal));
}

bool SwallowX(TWidget*, TMessage& message, LRESULT& result) {
  if (message.Message != WM_CHAR || message.WParam != 'x') return false;
  EventLog.push_back("combo saw x");
  result = 0;
  return true;
}

TEST_F(TListTest, AnEditableComboBoxOffersItsFieldsKeysToItsHandlers) {
  TWidget* form = Keep(MakeHost());
  TWidget* editable = MakeComboBox(form, 0);
  TWidget* dropDownList = MakeComboBox(form, kPaletteBox);
  editable->ChangeEvent = LogEvent("change");
  AttachHandler(editable, &SwallowX);
  GetHandle(form);

  HWND field = GetWindow(editable->Window, GW_CHILD);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(ClassOf(field), "Edit");
  EXPECT_EQ(GetWindowLongPtrA(field, GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&ComboInnerWindowProc));
  EXPECT_NE(editable->SavedInnerProc, nullptr);
  EXPECT_EQ(GetWindow(dropDownList->Window, GW_CHILD), nullptr) << "a drop-down list has none";
  EXPECT_EQ(dropDownList->SavedInnerProc, nullptr);

  for (char c : std::string("axb"))
    SendMessageA(field, WM_CHAR, static_cast<WPARAM>(c), 1);
  EXPECT_EQ(editable->InnerWindow, field);
  EXPECT_EQ(GetText(editable), "ab");
  EXPECT_EQ(EventLog, (TTexts{"change", "combo saw x", "change"})) << "CBN_EDITCHANGE";
}

}  // namespace
