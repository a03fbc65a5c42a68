#include "win32/dialog_driver.h"

#include <shlobj.h>

#include <map>

#include "toolkit/base/win32_handles.h"
#include "win32/window_search.h"

std::vector<std::string> DriverMisses;

namespace {

constexpr UINT kPollMs = 20;
constexpr int kPollTries = 100;
constexpr int kSaveNameField = 0x47C;  // cmb13, the save dialog's file name

std::map<UINT_PTR, std::function<void()>>& Pending() {
  static std::map<UINT_PTR, std::function<void()>> pending;
  return pending;
}

void CALLBACK TimerFired(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto found = Pending().find(id);
  if (found == Pending().end()) return;
  std::function<void()> action = std::move(found->second);
  Pending().erase(found);
  action();
}

void CloseEverything() {
  EndMenu();
  for (HWND window : ThreadWindows()) {
    if (ClassOf(window) == "#32770") PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
}

void Poll(std::string what, std::function<HWND()> find, std::function<void(HWND)> act,
          int triesLeft) {
  if (HWND window = find()) {
    act(window);
    return;
  }
  if (triesLeft == 0) {
    DriverMisses.push_back(what);
    CloseEverything();
    // A dialog that was just opening may miss the first cancel.
    RunLater(200, [] { CloseEverything(); });
    return;
  }
  RunLater(kPollMs, [=] { Poll(what, find, act, triesLeft - 1); });
}

// A copy of the text in the other process's memory, for messages that
// carry a pointer the system does not carry across.
class TRemoteText {
 public:
  TRemoteText(HWND window, const std::string& text) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
    if (!process_) return;
    memory_ = VirtualAllocEx(process_.Get(), nullptr, text.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (memory_)
      WriteProcessMemory(process_.Get(), memory_, text.c_str(), text.size() + 1, nullptr);
  }
  ~TRemoteText() {
    if (memory_) VirtualFreeEx(process_.Get(), memory_, 0, MEM_RELEASE);
  }
  TRemoteText(const TRemoteText&) = delete;
  TRemoteText& operator=(const TRemoteText&) = delete;
  LPARAM Address() const { return reinterpret_cast<LPARAM>(memory_); }

 private:
  TKernelHandle process_;
  void* memory_ = nullptr;
};

bool WaitUntilGone(HWND dialog) {
  return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

}  // namespace

void PumpQueued() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RunLater(UINT delayMs, std::function<void()> action) {
  UINT_PTR id = SetTimer(nullptr, 0, delayMs, &TimerFired);
  Pending()[id] = std::move(action);
}

HWND FindVisible(const char* className, const std::function<bool(HWND)>& accept) {
  return FirstWindow(ThreadWindows(), [&](HWND window) {
    return ClassOf(window) == className && IsWindowVisible(window) && (!accept || accept(window));
  });
}

HWND FindDialog(const std::function<bool(HWND)>& accept) {
  return FindVisible("#32770", accept);
}

HWND FindPopupMenu() {
  return FindVisible("#32768", nullptr);
}

bool HasChildText(HWND dialog, const std::string& text) {
  return FirstWindow(ChildWindows(dialog), [&](HWND child) { return TextOf(child) == text; }) !=
         nullptr;
}

void WhenFound(const char* what, std::function<HWND()> find, std::function<void(HWND)> act) {
  RunLater(kPollMs, [=] { Poll(what, find, act, kPollTries); });
}

void PressButton(HWND dialog, int id) {
  PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostKey(HWND window, UINT key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

bool AnswerFolderDialog(HWND dialog, const std::string& folder) {
  TRemoteText path(dialog, folder);
  if (folder.empty()) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  } else {
    Ask(dialog, BFFM_SETSELECTIONA, TRUE, path.Address());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  }
  return WaitUntilGone(dialog);
}

bool AnswerSaveDialog(HWND dialog, const std::string& path, std::string* offered) {
  HWND name = GetDlgItem(dialog, kSaveNameField);
  if (offered) *offered = AskText(name, WM_GETTEXT, 0);
  if (path.empty()) {
    PressButton(dialog, IDCANCEL);
  } else {
    Ask(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PressButton(dialog, IDOK);
  }
  return WaitUntilGone(dialog);
}
