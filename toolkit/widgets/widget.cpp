// Making widgets: defaults, what a widget inherits from its parent, the kind
// constructors, parent and text.
#include "toolkit/widgets/widget.h"

#include "toolkit/widgets/dispatch.h"
#include "toolkit/base/main_window.h"
#include "toolkit/base/system_text.h"

TWidgetModuleHooks WidgetModuleHooks;

namespace {

void ClearText(TWidget* widget) {
  SetText(widget, "");
}

TKindTable LabelKindTable() {
  TKindTable table = PlainKindTable();  // STN_CLICKED is 0, like every other code
  table.HAlignStyles[kTextLeft] = SS_LEFT;
  table.HAlignStyles[kTextRight] = SS_RIGHT;
  table.HAlignStyles[kTextCenter] = SS_CENTER;
  table.HAlignClearMask = SS_LEFTNOWORDWRAP;
  table.VAlignBytes[kTextMiddle] = SS_CENTERIMAGE >> 8;
  return table;
}

// Styles of the kinds before the clipping bits every control gets.
constexpr uint32_t kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHLIKE;
constexpr uint32_t kLabelStyle =
    WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFTNOWORDWRAP;
constexpr uint32_t kGroupBoxStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_GROUPBOX;

void* MainWidgetWindow() {
  return MainWidget ? MainWidget->Window : nullptr;
}

// What a child takes over from its parent when it is made.
void InheritFromParent(TWidget* widget, TWidget* parent, bool clientEdge) {
  widget->Transparent = parent->Transparent;
  widget->ChildClientEdge = parent->ChildClientEdge;
  widget->ClientEdge = parent->ChildClientEdge && clientEdge;
  widget->InkColor = parent->InkColor;
  if (parent->Font) {
    widget->Font = CloneTool(nullptr, parent->Font);
    widget->Font->ChangeHandler = WidgetFontEvent(widget);
    ApplyFont(widget);
  }
  widget->Color = parent->Color;
  widget->Spacing = parent->Spacing;
  int32_t spacing = parent->Spacing;
  widget->Bounds = {spacing, spacing + parent->InsetTop, spacing + 64, spacing + 64};
}

TWidget* NewWidget(TWidget* parent, const char* kindName, bool clientEdge) {
  auto* widget = new TWidget();
  widget->InitDefaults();
  widget->InitWithParent(parent);
  widget->KindName = kindName;
  if (parent) InheritFromParent(widget, parent, clientEdge);
  return widget;
}

}  // namespace

TKindTable ButtonKindTable() {
  TKindTable table = PlainKindTable();
  table.NotifyCodes[kNotifyClick] = BN_CLICKED;
  table.NotifyCodes[kNotifyFocusIn] = BN_SETFOCUS;
  table.NotifyCodes[kNotifyFocusOut] = BN_KILLFOCUS;
  table.HAlignStyles[kTextLeft] = BS_LEFT;
  table.HAlignStyles[kTextRight] = BS_RIGHT;
  table.HAlignStyles[kTextCenter] = BS_CENTER;
  table.VAlignBytes[kTextMiddle] = BS_VCENTER >> 8;
  table.VAlignBytes[kTextTop] = BS_TOP >> 8;
  table.VAlignBytes[kTextBottom] = BS_BOTTOM >> 8;
  return table;
}

void TWidget::InitDefaults() {
  Children = new TPtrList();
  HandlerChain = new TPtrList();
  KindHandler = [](TWidget*, TMessage&, LRESULT&) { return false; };
  KindTable = PlainKindTable();
}

void TWidget::InitWithParent(TWidget* parent) {
  if (parent) {
    Color = parent->Color;
    SetParent(this, parent);
  }
  MouseCursor = LoadCursorA(nullptr, IDC_ARROW);
}

TKindTable PlainKindTable() {
  TKindTable table;
  table.ClearRoutine = &ClearText;
  return table;
}

TWidget* ParentForm(TWidget* widget) {
  TWidget* form = widget->Parent;
  while (form && form->IsChildControl)
    form = form->Parent;
  return form;
}

TWidget* MakeControl(TWidget* parent, const char* kindName, uint32_t style,
                     const TKindTable& kindTable, bool clientEdge) {
  TWidget* widget = NewWidget(parent, kindName, clientEdge);
  widget->IsChildControl = true;
  widget->KindTable = kindTable;
  widget->Style = style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (widget->ClientEdge) {
    widget->Style &= ~static_cast<uint32_t>(WS_BORDER);
    widget->ExStyle |= WS_EX_CLIENTEDGE;
  }
  widget->Visible = (widget->Style & WS_VISIBLE) != 0;
  if (parent) widget->MouseCursor = parent->MouseCursor;
  if (widget->Style & WS_TABSTOP) {
    widget->TakesFocus = true;
    TWidget* form = ParentForm(widget);
    if (form && !form->FocusedChild) form->FocusedChild = widget;
  }
  widget->MenuOrId = NextControlId++;
  AttachHandler(widget, &ControlHandler);
  return widget;
}

TWidget* MakeForm(TWidget* parent, const char* caption) {
  SetMainWindowSource(&MainWidgetWindow);
  TWidget* form = NewWidget(parent, "Form", false);
  form->ClassStyle |= CS_DBLCLKS;
  AttachHandler(form, &FormHandler);
  SetText(form, caption);
  return form;
}

TWidget* MakeButton(TWidget* parent, const char* caption) {
  TWidget* button = MakeControl(parent, "BUTTON", kButtonStyle, ButtonKindTable(), false);
  button->Bounds.bottom = button->Bounds.top + 22;
  button->TextHAlign = kTextCenter;
  SetText(button, caption);
  return button;
}

TWidget* MakeLabel(TWidget* parent, const char* caption) {
  TWidget* label = MakeControl(parent, "STATIC", kLabelStyle, LabelKindTable(), false);
  label->Bounds.bottom = label->Bounds.top + 22;
  SetText(label, caption);
  return label;
}

TWidget* MakePaintBox(TWidget* parent) {
  TWidget* box = MakeLabel(parent, nullptr);
  box->Bounds.right -= 24;
  box->Bounds.bottom += 18;
  return box;
}

TWidget* MakePanel(TWidget* parent, uint8_t edge) {
  TWidget* panel = MakeControl(parent, "STATIC", kLabelStyle, LabelKindTable(), false);
  panel->Bounds.right += 36;
  panel->Bounds.bottom += 36;
  panel->ExStyle |= WS_EX_CONTROLPARENT;
  if (edge == kEdgeRaised) panel->Style |= WS_DLGFRAME;
  if (edge == kEdgeSunken) panel->Style |= SS_SUNKEN;
  return panel;
}

TWidget* MakeGroupBox(TWidget* parent, const char* caption) {
  TWidget* box = MakeControl(parent, "BUTTON", kGroupBoxStyle, ButtonKindTable(), false);
  box->Bounds.right += 36;
  box->Bounds.bottom += 78;
  box->InsetTop += 22;
  box->InsetBottom += 2;
  box->InsetLeft += 2;
  box->InsetRight += 2;
  box->TakesFocus = false;
  SetText(box, caption);
  AttachHandler(box, &GroupBoxEraseHandler);
  return box;
}

void SetParent(TWidget* widget, TWidget* parent) {
  if (TWidget* old = widget->Parent) {
    old->Children->Remove(widget);
    if (old->RecomputeRoutine) old->RecomputeRoutine(old, nullptr);
  }
  widget->Parent = parent;
  if (!parent) return;
  parent->Children->Add(widget);
  if (parent->RecomputeRoutine) parent->RecomputeRoutine(parent, widget);
}

void SetText(TWidget* widget, const char* text) {
  SetSystemText(widget, SystemText(text ? text : ""));
}

void SetSystemText(TWidget* widget, const std::string& text) {
  widget->StoredText = text;
  if (!widget->Window) return;
  SetWindowTextA(widget->Window, widget->StoredText.c_str());
  Invalidate(widget);
}

std::string GetText(TWidget* widget) {
  if (!widget->Window) return widget->StoredText;
  int length = GetWindowTextLengthA(widget->Window);
  std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    int copied = GetWindowTextA(widget->Window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  }
  return text;
}
