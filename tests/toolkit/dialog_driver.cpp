#include "dialog_driver.h"

#include "gui_fixture.h"

std::vector<std::string> DriverMisses;

namespace {

constexpr UINT kPollMs = 20;
constexpr int kPollTries = 100;

void CloseEverything() {
  EndMenu();
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        if (ClassOf(window) == "#32770") PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
      },
      0);
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

}  // namespace

HWND FindVisible(const char* className, const std::function<bool(HWND)>& accept) {
  struct TSearch {
    const char* ClassName;
    const std::function<bool(HWND)>* Accept;
    HWND Found;
  } search = {className, &accept, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        if (ClassOf(window) != s->ClassName || !IsWindowVisible(window)) return TRUE;
        if (*s->Accept && !(*s->Accept)(window)) return TRUE;
        s->Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND FindDialog(const std::function<bool(HWND)>& accept) {
  return FindVisible("#32770", accept);
}

HWND FindPopupMenu() {
  return FindVisible("#32768", nullptr);
}

bool HasChildText(HWND dialog, const std::string& text) {
  struct TSearch {
    const std::string* Text;
    bool Found;
  } search = {&text, false};
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        if (TextOf(child) == *s->Text) s->Found = true;
        return !s->Found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
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
