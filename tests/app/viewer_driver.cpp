#include "viewer_driver.h"

#include <shlobj.h>

#include <iterator>

namespace {

constexpr int kFirstControlId = 32768;
constexpr DWORD kAnswerTimeoutMs = 5000;

struct TChildSearch {
  int Id;
  HWND Found;
};

// Sends and waits at most a few seconds: a program that hangs fails the
// test instead of stopping it.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs,
                           &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

// Texts come back through the wide messages: across processes the system
// hands a window's texts over as UTF-16 whatever the window's character set.
std::string AskText(HWND window, UINT message, WPARAM wParam) {
  wchar_t text[1024] = {};
  DWORD_PTR result = 0;
  if (message == WM_GETTEXT) wParam = sizeof(text) / sizeof(text[0]);
  if (!SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                           kAnswerTimeoutMs, &result)) {
    return {};
  }
  text[std::size(text) - 1] = L'\0';
  char narrow[2048] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
  return narrow;
}

LPARAM PointParam(POINT point) {
  return MAKELPARAM(point.x, point.y);
}

// A copy of the text in the other process's memory, for messages that
// carry a pointer the system does not carry across.
class TRemoteText {
 public:
  TRemoteText(HWND window, const std::string& text) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process_) return;
    memory_ = VirtualAllocEx(process_, nullptr, text.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (memory_) WriteProcessMemory(process_, memory_, text.c_str(), text.size() + 1, nullptr);
  }
  ~TRemoteText() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  TRemoteText(const TRemoteText&) = delete;
  TRemoteText& operator=(const TRemoteText&) = delete;
  LPARAM Address() const { return reinterpret_cast<LPARAM>(memory_); }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

TViewerRun::TViewerRun(const std::string& program, const std::string& folder)
    : program_(program, folder) {
  if (program_.Started()) main_ = program_.WaitForWindow("obj_Form", 20000);
}

HWND TViewerRun::Row(TViewerRow row) const {
  TChildSearch search = {kFirstControlId + row - 1, nullptr};
  EnumChildWindows(
      main_,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TChildSearch*>(data);
        if (GetDlgCtrlID(child) != s->Id) return TRUE;
        s->Found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
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
          if (WindowClass(window) == "#32770") found = window;
        }
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

bool TViewerRun::AnswerFolderDialog(const std::string& folder) const {
  HWND dialog = WaitForDialog();
  if (!dialog) return false;
  TRemoteText path(dialog, folder);
  if (folder.empty()) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  } else {
    Ask(dialog, BFFM_SETSELECTIONA, TRUE, path.Address());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  }
  return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

bool TViewerRun::AnswerSaveDialog(const std::string& path, std::string* offered) const {
  HWND dialog = WaitForDialog();
  if (!dialog) return false;
  HWND name = GetDlgItem(dialog, 0x47C);  // cmb13, the file name
  if (offered) *offered = Text(name);
  if (path.empty()) {
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  } else {
    Ask(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  }
  return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}
