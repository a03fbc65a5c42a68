#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/widgets/widget.h"

// Option sets of the list, combo and edit boxes: bit i selects entry i of the
// kind's option table (see the constants below).
using ListOptions = uint16_t;
using ComboOptions = uint16_t;
using EditOptions = uint16_t;

// ListOptions bits.
constexpr ListOptions kListDisableNoScroll = 1 << 0;
constexpr ListOptions kListExtendedSel = 1 << 1;
constexpr ListOptions kListMultiColumn = 1 << 2;  // with a horizontal scroll bar
constexpr ListOptions kListMultipleSel = 1 << 3;
constexpr ListOptions kListNoIntegralHeight = 1 << 4;
constexpr ListOptions kListNoSel = 1 << 5;
constexpr ListOptions kListSort = 1 << 6;
constexpr ListOptions kListUseTabStops = 1 << 7;
constexpr ListOptions kListNoStrings = 1 << 8;  // LBS_HASSTRINGS unless set
constexpr ListOptions kListNoData = 1 << 9;
constexpr ListOptions kListOwnerDrawFixed = 1 << 10;
constexpr ListOptions kListOwnerDrawVariable = 1 << 11;

// ComboOptions bits.
constexpr ComboOptions kComboDropDownList = 1 << 0;
constexpr ComboOptions kComboNoAutoHScroll = 1 << 1;  // CBS_AUTOHSCROLL unless set
constexpr ComboOptions kComboDisableNoScroll = 1 << 2;
constexpr ComboOptions kComboLowerCase = 1 << 3;
constexpr ComboOptions kComboNoIntegralHeight = 1 << 4;
constexpr ComboOptions kComboOemConvert = 1 << 5;
constexpr ComboOptions kComboSort = 1 << 6;
constexpr ComboOptions kComboUpperCase = 1 << 7;
constexpr ComboOptions kComboOwnerDrawFixed = 1 << 8;
constexpr ComboOptions kComboOwnerDrawVariable = 1 << 9;

// EditOptions bits.
constexpr EditOptions kEditNoHScroll = 1 << 0;  // scroll bar and auto-scroll unless set
constexpr EditOptions kEditNoVScroll = 1 << 1;  // scroll bar and auto-scroll unless set
constexpr EditOptions kEditLowerCase = 1 << 2;
constexpr EditOptions kEditMultiLine = 1 << 3;  // scroll bars only with this
constexpr EditOptions kEditNoHideSel = 1 << 4;
constexpr EditOptions kEditOemConvert = 1 << 5;
constexpr EditOptions kEditPassword = 1 << 6;
constexpr EditOptions kEditReadOnly = 1 << 7;
constexpr EditOptions kEditUpperCase = 1 << 8;
constexpr EditOptions kEditWantReturn = 1 << 9;
constexpr EditOptions kEditNumber = 1 << 11;

// The style words the option sets stand for.
uint32_t ListOptionsStyle(ListOptions options);
uint32_t ComboOptionsStyle(ComboOptions options);
uint32_t EditOptionsStyle(EditOptions options);

// The DDL_... attributes the program lists directories with: read-only,
// hidden, system and archived files (and read-write ones), no folders.
constexpr uint32_t kListedFileAttributes = 0x2F;

// Constructors: child controls with a client edge by default.
TWidget* MakeListBox(TWidget* parent, ListOptions options);
TWidget* MakeComboBox(TWidget* parent, ComboOptions options);
TWidget* MakeEditBox(TWidget* parent, EditOptions options);

// Item operations on list boxes and combo boxes alike, through the kind's
// messages; indexes are zero-based. Operations create the window when there
// is none, except ItemText, which then answers empty.
int32_t ItemCount(TWidget* widget);
// Empty for an index out of range.
std::string ItemText(TWidget* widget, int32_t index);
// Replaces item `index`; on an empty list, index 0 adds the text.
void SetItemText(TWidget* widget, int32_t index, const char* text);
// Index of the new item. The first item of a list is also selected (shown
// by a combo box; a single-selection list box refuses it).
int32_t AddItem(TWidget* widget, const char* text);
// Index of the new item, -1 when the kind cannot insert.
int32_t InsertItem(TWidget* widget, int32_t index, const char* text);
void DeleteItem(TWidget* widget, int32_t index);
void ClearItems(TWidget* widget);
// -1 when nothing is current; a multiple-selection list box answers the
// item with the focus rectangle.
int32_t CurrentIndex(TWidget* widget);
// Sends no notification. A multiple-selection list box refuses it.
void SetCurrentIndex(TWidget* widget, int32_t index);
bool IsItemSelected(TWidget* widget, int32_t index);
void SelectItem(TWidget* widget, int32_t index, bool selected);
// Adds the names matching `mask` (a pattern, with or without a folder) that
// have the DDL_... `attributes`; answers the index of the last name added,
// or LB_ERR / LB_ERRSPACE.
int32_t AddDirectoryListing(TWidget* widget, const char* mask, uint32_t attributes);

// Combo box internals, public for the kinds built on them.
// Sizes the drop-down list for the items (1 to 8 rows) as it opens.
void SizeComboDropDown(TWidget* combo);
// Colour requests of the combo box's inner windows are answered with the
// combo box's own colours.
bool ComboColorHandler(TWidget* combo, TMessage& message, LRESULT& result);
// Lets the select event through only for an item other than the one last
// reported or made current by the program.
bool ComboSelectionHandler(TWidget* combo, TMessage& message, LRESULT& result);
// Gives the combo box's inner windows (the edit field of an editable combo
// box) the toolkit's inner-window procedure.
void SubclassComboInnerWindows(TWidget* combo);
LRESULT CALLBACK ComboInnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
