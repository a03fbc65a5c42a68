#pragma once

#include <cstdint>

#include "toolkit/widgets/widget.h"

// Raised by RunMainLoop, 0 after EndMainLoop; Invalidate does nothing at 0.
extern uint8_t RunDepth;
// Set when WM_QUIT is taken or by EndMainLoop; ends the main loop and every
// modal loop.
extern bool QuitRequested;

// Dispatches one queued message; false when the queue was empty (or the
// message was WM_NULL).
bool PumpOneMessage(TWidget* mainWidget);
// Blocks until a message arrives, then dispatches all that are queued.
void WaitAndPump(TWidget* mainWidget);
// Shows the form stored in `mainForm` and runs until the program quits; the
// form is then freed and `mainForm` cleared.
void RunMainLoop(TWidget*& mainForm);
// Ends the run: frees MainWidget's form (with everything it owns) and clears
// `mainForm`.
void EndMainLoop(TWidget*& mainForm);
// Shows a child form of the main form and waits until its ModalOutcome
// becomes non-zero (WM_CLOSE sets -1) or the program quits; the main form's
// other children are disabled meanwhile. Other forms are only shown.
void RunModal(TWidget* form);
bool ModalCloseHandler(TWidget* widget, TMessage& message, LRESULT& result);
