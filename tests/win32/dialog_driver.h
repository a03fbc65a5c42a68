#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Drives system dialogs and menus: in the test's own thread from thread
// timers while their modal loop runs, or in another process from outside.

// Dispatches everything queued, without the toolkit loop's bookkeeping.
void PumpQueued();
// Runs `action` once from whatever message loop runs `delayMs` from now (a
// thread timer, so that it also fires inside modal loops).
void RunLater(UINT delayMs, std::function<void()> action);

// Steps the driver could not take (the window never came), in order.
extern std::vector<std::string> DriverMisses;

// A visible top-level window of this thread with the class `className` for
// which `accept` answers true (any when null), or 0.
HWND FindVisible(const char* className, const std::function<bool(HWND)>& accept);
// A visible window of this thread with the class "#32770" for which
// `accept` answers true (any when null), or 0.
HWND FindDialog(const std::function<bool(HWND)>& accept = nullptr);
// The visible pop-up menu window of this thread, or 0.
HWND FindPopupMenu();
// Whether the dialog has a child window with this text.
bool HasChildText(HWND dialog, const std::string& text);

// Once `find` answers a window, runs `act` with it. Gives up after about
// two seconds: records `what` in DriverMisses and closes every dialog and
// menu of the thread, so the modal loop ends and the test can fail.
void WhenFound(const char* what, std::function<HWND()> find, std::function<void(HWND)> act);

// Presses a dialog button (posted, so the timer returns first).
void PressButton(HWND dialog, int id);
// Posts a key press to a window.
void PostKey(HWND window, UINT key);

// Another process's dialogs. Each answers the dialog, or cancels it when the
// folder or path is empty, and waits until it has gone.
bool AnswerFolderDialog(HWND dialog, const std::string& folder);
// `offered` gets the file name the save dialog offered.
bool AnswerSaveDialog(HWND dialog, const std::string& path, std::string* offered);
