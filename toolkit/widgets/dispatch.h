#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/widgets/widget.h"

// The toolkit's private messages.
// A parent's WM_COMMAND resent to the control that sent it.
constexpr UINT TKM_COMMAND = 0xB005;
// Added to WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC when resent to the control.
constexpr UINT TKM_REFLECT_BASE = 0xBC00;
// Posted by a scroll box child to itself after WM_SHOWWINDOW.
constexpr UINT TKM_CHILDCHANGED = 0xB013;
// The notification code a control posts to itself after CBN_SELCHANGE, so
// that its select event runs once the control has finished updating.
constexpr uint16_t kPostedSelectCode = 15;

// The window property that ties a window to its widget.
constexpr const char* kSelfProperty = "SELF_";

// Toolkit-wide state, one set per process.
extern TWidget* MainWidget;      // the main form; gets messages of unowned windows
extern TWidget* CreatingWidget;  // whose window is being created
extern uint16_t NextControlId;   // identifier of the next control; starts at 32768
using TRelayoutRoutine = void (*)(TWidget* widget);
// Re-lays-out a widget after WM_SIZE and visibility changes; a no-op until
// alignment is first used.
extern TRelayoutRoutine RelayoutHook;

// The one window procedure of every class the toolkit registers.
LRESULT CALLBACK CommonWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The widget a window belongs to, or null.
TWidget* WidgetOfWindow(HWND window);
// Ties a window to its widget (the "SELF_" property) and unties it again.
void BindWindow(HWND window, TWidget* widget);
void UnbindWindow(HWND window);
// Drops the lookup of a window that is going away, keeping its property.
void ForgetBinding(HWND window);

// Handlers run newest first; a routine is attached at most once.
void AttachHandler(TWidget* widget, TMessageHandler handler);
void DetachHandler(TWidget* widget, TMessageHandler handler);
bool ChainDispatcher(TWidget* widget, TMessage& message, LRESULT& result);

// The class procedure of a control's system class, or DefWindowProcA.
LRESULT DefaultMessageProc(TWidget* widget, const TMessage& message);

// The window, created on demand (hidden, shown once its children exist,
// unless the visibility was set explicitly).
HWND GetHandle(TWidget* widget);
LRESULT SendToWidget(TWidget* widget, UINT message, WPARAM wParam, LPARAM lParam);
void RequestClose(TWidget* widget);
// Repaints the whole client area; only while the main loop runs.
void Invalidate(TWidget* widget);

// The main form and a form shown directly under a parentless widget.
bool IsTopForm(TWidget* widget);

// Handlers that every widget of a kind carries.
bool ControlHandler(TWidget* widget, TMessage& message, LRESULT& result);
bool FormHandler(TWidget* widget, TMessage& message, LRESULT& result);
bool PaintHandler(TWidget* widget, TMessage& message, LRESULT& result);
bool GroupBoxEraseHandler(TWidget* widget, TMessage& message, LRESULT& result);

// Stores the paint event and attaches PaintHandler, which calls it on WM_PAINT
// with the paint device context.
void SetPaintEvent(TWidget* widget, TPaintEvent event);
