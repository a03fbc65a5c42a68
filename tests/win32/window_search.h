#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Finding windows and reading them back, for tests inside the program's
// process and for tests that drive it from outside.

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
LONG_PTR StyleOf(HWND window);

// Top-level windows of every process, of one process, of this thread, and
// every descendant of a window, in the system's order.
std::vector<HWND> TopLevelWindows();
std::vector<HWND> ProcessWindows(DWORD processId);
std::vector<HWND> ThreadWindows();
std::vector<HWND> ChildWindows(HWND parent);

// The first of `windows` for which `accept` answers true, or 0.
HWND FirstWindow(const std::vector<HWND>& windows, const std::function<bool(HWND)>& accept);
// The first top-level window of this thread, shown or hidden, whose class is
// `className`, or 0.
HWND FindThreadWindow(const char* className);

// Polls until `condition` holds; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Sends a message and waits at most a few seconds for the answer (-1 when
// none came): a program that hangs fails the test instead of stopping it.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A text a message answers (WM_GETTEXT, LB_GETTEXT, CB_GETLBTEXT), asked
// through the wide messages: across processes the system hands texts over
// as UTF-16 whatever the window's character set.
std::string AskText(HWND window, UINT message, WPARAM wParam);
