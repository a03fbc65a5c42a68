#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/base/base_object.h"
#include "toolkit/widgets/colors.h"
#include "toolkit/widgets/font_tool.h"
#include "toolkit/base/handler_pair.h"
#include "toolkit/base/ptr_list.h"

class TWidget;
class TPainter;   // drawing surface of a widget, made by the painter module
class TMenuNode;  // menu bar or pop-up menu, made by the menu module

// One window message as every handler sees it.
struct TMessage {
  HWND Window;
  UINT Message;
  WPARAM WParam;
  LPARAM LParam;
};

// Answers whether it handled the message; a handled message's `result` goes
// back to the system and default processing is skipped.
using TMessageHandler = bool (*)(TWidget* widget, TMessage& message, LRESULT& result);

// Events: the routine gets the bound object, then the widget.
using TNotifyEvent = THandlerPair<TWidget*>;
using TPaintEvent = THandlerPair<TWidget*, HDC>;

using TWidgetRoutine = void (*)(TWidget* widget);
// A container's hook for children coming (child) and going (null).
using TChildRoutine = void (*)(TWidget* parent, TWidget* child);

// Indexes into TKindTable::NotifyCodes, in the order they are compared.
enum TNotifyIndex : uint8_t {
  kNotifyClick,
  kNotifyFocusIn,
  kNotifyFocusOut,
  kNotifyChange,
  kNotifySelect,
};

// Per-kind constants of a control, copied into the widget when it is made.
// Message numbers are 0 where the kind has none.
struct TKindTable {
  TWidgetRoutine ClearRoutine = nullptr;
  int32_t (*AddRoutine)(TWidget* widget, const char* text) = nullptr;
  uint16_t NotifyCodes[5] = {};
  uint16_t CountMessage = 0;
  uint16_t TextLengthMessage = 0;
  uint16_t TextMessage = 0;
  uint16_t ReplaceSelectionMessage = 0;
  uint16_t AddMessage = 0;
  uint16_t DeleteMessage = 0;
  uint16_t InsertMessage = 0;
  // Edit controls translate an item index to a character position first.
  uint8_t LineIndexMessage = 0;
  uint8_t LineFromCharMessage = 0;
  uint16_t SelectedStateMessage = 0;
  uint16_t CurrentIndexMessage = 0;
  uint16_t SelectStateMessage = 0;
  uint16_t SetCurrentMessage = 0;
  // Style words for left, right, centre text; bits any alignment removes.
  uint16_t HAlignStyles[3] = {};
  uint8_t HAlignClearMask = 0;
  // Second style byte for centre, top, bottom text.
  uint8_t VAlignBytes[3] = {};
  uint32_t DirectoryMessage = 0;
  uint16_t BackgroundColorMessage = 0;
};

// AlignMode values.
constexpr uint8_t kAlignNone = 0;
constexpr uint8_t kAlignLeft = 1;
constexpr uint8_t kAlignTop = 2;
constexpr uint8_t kAlignRight = 3;
constexpr uint8_t kAlignBottom = 4;
constexpr uint8_t kAlignClient = 5;

// TextHAlign and TextVAlign values.
constexpr uint8_t kTextLeft = 0;
constexpr uint8_t kTextRight = 1;
constexpr uint8_t kTextCenter = 2;
constexpr uint8_t kTextMiddle = 0;
constexpr uint8_t kTextTop = 1;
constexpr uint8_t kTextBottom = 2;

// Panel edges.
constexpr uint8_t kEdgeRaised = 0;
constexpr uint8_t kEdgeSunken = 1;
constexpr uint8_t kEdgeNone = 2;

// ExplicitPosition bits.
constexpr uint8_t kLeftWasSet = 1;
constexpr uint8_t kTopWasSet = 2;

// The default style of a form: WS_OVERLAPPEDWINDOW, visible, clipping.
constexpr uint32_t kFormStyle = 0x16CF0000;

// One window or control: everything the program sets about it, kept whether
// or not the window exists yet, its parent and its children. Made by the
// Make... constructors, released with Free (a parent frees its children).
class TWidget : public TBaseObject {
 public:
  HWND Window = nullptr;       // 0 until created
  HWND InnerWindow = nullptr;  // a combo box's edit field that forwarded a key
  uint32_t ClassStyle = CS_OWNDC;
  uint32_t Style = kFormStyle;
  uint32_t ExStyle = WS_EX_CONTROLPARENT;
  HCURSOR MouseCursor = nullptr;
  HICON BigIcon = nullptr;  // -1: none; 0: not yet obtained
  bool BigIconShared = false;
  std::string StoredText;  // in the process's code page
  uint8_t SizeState = 0;
  TPainter* Painter = nullptr;
  WNDPROC ClassProc = nullptr;  // the system class's procedure a control is built on
  bool WindowGone = false;
  bool CreatingWindow = false;  // inside CreateWindowExA for its own window
  TWidget* Parent = nullptr;
  bool Enabled = true;
  bool Visible = true;
  bool TakesFocus = false;
  uint8_t TextHAlign = kTextLeft;
  uint8_t TextVAlign = kTextMiddle;
  bool SizeLocked = false;
  TPtrList* Children = nullptr;  // TWidget*, in creation order
  TMessageHandler KindHandler = nullptr;
  HBRUSH CtlBrush = nullptr;
  bool TearingDown = false;
  uintptr_t MenuOrId = 0;  // a form's menu bar (HMENU); a control's identifier
  TMenuNode* FirstMenu = nullptr;
  HACCEL Accelerators = nullptr;
  bool IsChildControl = false;
  uint8_t ExplicitPosition = 0;
  HDC PaintContext = nullptr;  // set while a paint or erase is in progress
  HRGN UpdateRegion = nullptr;
  bool EraseOnPaint = false;         // erase flag passed to GetUpdateRgn
  HDC OwnDC = nullptr;               // a fixed device context; none in this program
  TPtrList* HandlerChain = nullptr;  // TMessageHandler, oldest first
  TNotifyEvent FocusOutEvent;
  TMenuNode* ContextMenu = nullptr;
  const char* KindName = nullptr;  // class name of the kind, not owned
  bool Transparent = false;
  bool ChildClientEdge = true;
  bool ClientEdge = true;
  TColor InkColor = clWindowText;
  TDrawTool* Font = nullptr;
  TColor Color = clBtnFace;
  int32_t Spacing = 2;
  RECT Bounds = {0, 0, 0, 0};
  int32_t InsetTop = 0;
  int32_t InsetBottom = 0;
  int32_t InsetLeft = 0;
  int32_t InsetRight = 0;
  TNotifyEvent ClickEvent;
  TWidget* FocusedChild = nullptr;  // forms only
  bool VisibilitySet = false;
  bool ShowPending = false;
  TWidgetRoutine DropDownEvent = nullptr;
  bool DroppedDown = false;
  int32_t DropDownIndex = 0;
  // A combo box's item that its select event last reported or the program
  // last made current: choosing it again raises no event.
  int32_t AnnouncedIndex = -1;
  WNDPROC SavedInnerProc = nullptr;
  uint8_t FocusGuard = 0;
  uint8_t SavedShowState = 0;
  int32_t ModalOutcome = 0;
  TNotifyEvent ChangeEvent;
  TNotifyEvent FocusInEvent;
  TKindTable KindTable;
  TPaintEvent PaintEvent;
  TNotifyEvent DropDownHandler;
  TNotifyEvent CloseUpEvent;
  uint8_t AlignMode = kAlignNone;
  TNotifyEvent SelectEvent;
  int32_t FixedWidth = 0;
  int32_t FixedHeight = 0;
  TWidgetRoutine AfterCreateProc = nullptr;
  // Scroll box: recompute routine (also the children-changed hook of
  // SetParent), scroll routine and line steps.
  TChildRoutine RecomputeRoutine = nullptr;
  TWidgetRoutine ScrollRoutine = nullptr;
  int32_t HorzLineStep = 0;
  int32_t VertLineStep = 0;

  void InitDefaults() override;
  // Takes over what a new widget inherits from its parent (which may be nil).
  virtual void InitWithParent(TWidget* parent);
  // Creates the window if there is none, then the children's windows.
  virtual bool CreateWindowHandle();
  // The widget's message procedure: handlers, built-in cases, default.
  virtual LRESULT WidgetMessageProc(TMessage& message);

 protected:
  void Destroy() override;
};

// Routines of the painter and menu modules that widgets call without
// depending on them; each module installs its own before it first attaches
// a painter or a menu to a widget. Each releases and clears the field(s).
struct TWidgetModuleHooks {
  TWidgetRoutine ReleasePainter = nullptr;     // frees Painter
  TWidgetRoutine DetachPainter = nullptr;      // gives back the painter's device context
  TWidgetRoutine ReleaseMenus = nullptr;       // destroys FirstMenu's chain
  TWidgetRoutine ForgetContextMenu = nullptr;  // unbinds the widget from ContextMenu
};
extern TWidgetModuleHooks WidgetModuleHooks;

// Construction. The parent may be nil only for a form.
TWidget* MakeForm(TWidget* parent, const char* caption);
TWidget* MakeButton(TWidget* parent, const char* caption);
TWidget* MakeLabel(TWidget* parent, const char* caption);
TWidget* MakePaintBox(TWidget* parent);
TWidget* MakePanel(TWidget* parent, uint8_t edge);
TWidget* MakeGroupBox(TWidget* parent, const char* caption);
// Shared by every child control: kind name (a system class or a toolkit
// class), style before the clipping bits, the kind's table and whether the
// kind draws a client edge by default.
TWidget* MakeControl(TWidget* parent, const char* kindName, uint32_t style,
                     const TKindTable& kindTable, bool clientEdge);
// The table of a kind without item messages (forms): clearing empties the text.
TKindTable PlainKindTable();
// The table of the system's BUTTON class: push buttons, group and check boxes.
TKindTable ButtonKindTable();

// The form a control belongs to: the parent itself or its nearest ancestor
// that is not a child control.
TWidget* ParentForm(TWidget* widget);

// Parent and text. A widget keeps its text as the system has it, in the
// process's code page (system_text.h): SetText takes the program's own UTF-8
// text, SetSystemText a text from the system, such as a path.
void SetParent(TWidget* widget, TWidget* parent);
std::string GetText(TWidget* widget);
void SetText(TWidget* widget, const char* text);
void SetSystemText(TWidget* widget, const std::string& text);

// Geometry (parent client coordinates; screen coordinates for forms).
RECT GetBounds(TWidget* widget);
void PlaceAndSize(TWidget* widget, const RECT& bounds);
int32_t GetWidth(TWidget* widget);
int32_t GetHeight(TWidget* widget);
void SetLeft(TWidget* widget, int32_t x);
void SetTop(TWidget* widget, int32_t y);
void SetWidth(TWidget* widget, int32_t width);
void SetHeight(TWidget* widget, int32_t height);
TWidget* PlaceAt(TWidget* widget, int32_t x, int32_t y);
// A width or height of 0 or less leaves that dimension alone.
TWidget* SizeTo(TWidget* widget, int32_t width, int32_t height);
void CenterInParent(TWidget* widget);

// Appearance.
void SetColor(TWidget* widget, TColor color);
TDrawTool* GetFont(TWidget* widget);
void ApplyFont(TWidget* widget);
// The change notification that ties a font tool to the widget: the widget
// takes the font's colour, applies the font and repaints.
TToolChangeEvent WidgetFontEvent(TWidget* widget);
void SetTextHAlign(TWidget* widget, uint8_t align);
void SetTextVAlign(TWidget* widget, uint8_t align);
void SetCursorShape(TWidget* widget, HCURSOR cursor);
HICON GetIcon(TWidget* widget);

// State.
bool IsEnabled(TWidget* widget);
void SetEnabled(TWidget* widget, bool enabled);
bool IsVisible(TWidget* widget);
void SetVisible(TWidget* widget, bool visible);
void SetVisibleExplicit(TWidget* widget, bool visible);
void Show(TWidget* widget);
void Hide(TWidget* widget);
bool SetFocusTo(TWidget* widget);

// Window class and styles.
void SetClassStyle(TWidget* widget, uint32_t classStyle);
void SetStyle(TWidget* widget, uint32_t style);
void SetResizable(TWidget* widget, bool resizable);
bool FixedSizeHandler(TWidget* widget, TMessage& message, LRESULT& result);
void SetMenuHandle(TWidget* widget, HMENU menu);

// Other.
void UpdateNow(TWidget* widget);
// The program's own text in a message box over the main widget, with its
// caption.
int ShowMessageBox(const char* text, UINT flags);
int ShowNotice(const char* text);
