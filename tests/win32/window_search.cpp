#include "win32/window_search.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr DWORD kAnswerTimeoutMs = 5000;

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

LONG_PTR StyleOf(HWND window) {
  return GetWindowLongPtrA(window, GWL_STYLE);
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(&Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ProcessWindows(DWORD processId) {
  std::vector<HWND> windows = TopLevelWindows();
  std::erase_if(windows, [processId](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner != processId;
  });
  return windows;
}

std::vector<HWND> ThreadWindows() {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

HWND FirstWindow(const std::vector<HWND>& windows, const std::function<bool(HWND)>& accept) {
  auto found = std::find_if(windows.begin(), windows.end(), accept);
  return found == windows.end() ? nullptr : *found;
}

HWND FindThreadWindow(const char* className) {
  return FirstWindow(ThreadWindows(), [&](HWND window) { return ClassOf(window) == className; });
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(20);
  }
  return true;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs,
                           &result)) {
    return -1;
  }
  return static_cast<LRESULT>(result);
}

std::string AskText(HWND window, UINT message, WPARAM wParam) {
  wchar_t text[1024] = {};
  DWORD_PTR result = 0;
  if (message == WM_GETTEXT) wParam = std::size(text);
  if (!SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                           kAnswerTimeoutMs, &result)) {
    return {};
  }
  text[std::size(text) - 1] = L'\0';
  char narrow[2048] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
  return narrow;
}
