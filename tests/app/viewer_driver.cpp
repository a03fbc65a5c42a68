#include "viewer_driver.h"

#include "win32/dialog_driver.h"

namespace {

constexpr int kFirstControlId = 32768;

LPARAM PointParam(POINT point) {
  return MAKELPARAM(point.x, point.y);
}

}  // namespace

TViewerRun::TViewerRun(const std::string& program, const std::string& folder)
    : program_(program, folder) {
  if (program_.Started()) main_ = program_.WaitForWindow("obj_Form", 20000);
}

HWND TViewerRun::Row(TViewerRow row) const {
  int id = kFirstControlId + row - 1;
  return FirstWindow(ChildWindows(main_), [id](HWND child) { return GetDlgCtrlID(child) == id; });
}

std::string TViewerRun::Text(HWND window) const {
  return AskText(window, WM_GETTEXT, 0);
}

std::vector<std::string> TViewerRun::Lines(HWND list) const {
  std::vector<std::string> lines;
  LRESULT count = Ask(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i)
    lines.push_back(AskText(list, LB_GETTEXT, static_cast<WPARAM>(i)));
  return lines;
}

int TViewerRun::LineCount(HWND list) const {
  return static_cast<int>(Ask(list, LB_GETCOUNT, 0, 0));
}

std::string TViewerRun::Line(HWND list, int index) const {
  return AskText(list, LB_GETTEXT, static_cast<WPARAM>(index));
}

std::vector<int> TViewerRun::SelectedLines(HWND list) const {
  std::vector<int> selected;
  LRESULT count = Ask(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (Ask(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
      selected.push_back(static_cast<int>(i));
  }
  return selected;
}

int TViewerRun::CaretLine(HWND list) const {
  return static_cast<int>(Ask(list, LB_GETCARETINDEX, 0, 0));
}

std::vector<std::string> TViewerRun::ComboLines(HWND combo) const {
  std::vector<std::string> lines;
  LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i)
    lines.push_back(AskText(combo, CB_GETLBTEXT, static_cast<WPARAM>(i)));
  return lines;
}

RECT TViewerRun::PlaceOf(HWND window) const {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void TViewerRun::ClickLine(HWND list, int index, bool adding) const {
  RECT line = {};
  Ask(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line));
  POINT point = {line.left + 4, (line.top + line.bottom) / 2};
  WPARAM keys = adding ? MK_CONTROL : 0;
  PostMessageA(list, WM_LBUTTONDOWN, keys | MK_LBUTTON, PointParam(point));
  PostMessageA(list, WM_LBUTTONUP, keys, PointParam(point));
}

void TViewerRun::ClickLineOnScreen(HWND list, int index) const {
  RECT line = {};
  Ask(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&line));
  POINT point = {line.left + 4, (line.top + line.bottom) / 2};
  ClientToScreen(list, &point);
  SetCursorPos(point.x, point.y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

void TViewerRun::Click(HWND window) const {
  RECT client;
  GetClientRect(window, &client);
  POINT point = {client.right / 2, client.bottom / 2};
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(point));
  PostMessageA(window, WM_LBUTTONUP, 0, PointParam(point));
}

void TViewerRun::PressKey(HWND window, UINT key) const {
  // The toolkit takes keys only in the control with the focus, and only the
  // program's own thread can give it: the two threads share their input
  // state for a moment.
  MSG ignored;
  PeekMessageA(&ignored, nullptr, 0, 0, PM_NOREMOVE);
  DWORD own = GetCurrentThreadId();
  DWORD program = GetWindowThreadProcessId(window, nullptr);
  AttachThreadInput(own, program, TRUE);
  SetFocus(window);
  AttachThreadInput(own, program, FALSE);
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void TViewerRun::Command(UINT id) const {
  PostMessageA(main_, WM_COMMAND, id, 0);
}

HWND TViewerRun::WaitForDialog(DWORD timeoutMs) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : program_.VisibleWindows()) {
          if (ClassOf(window) == "#32770") found = window;
        }
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool TViewerRun::AnswerFolderDialog(const std::string& folder) const {
  HWND dialog = WaitForDialog();
  return dialog && ::AnswerFolderDialog(dialog, folder);
}

bool TViewerRun::AnswerSaveDialog(const std::string& path, std::string* offered) const {
  HWND dialog = WaitForDialog();
  return dialog && ::AnswerSaveDialog(dialog, path, offered);
}
