#include "gui_fixture.h"

#include <deque>
#include <map>

std::vector<std::string> EventLog;

namespace {

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

class TDestroyWatch : public TBaseObject {
 public:
  explicit TDestroyWatch(bool* gone) : gone_(gone) {}

 protected:
  void Destroy() override {
    *gone_ = true;
    TBaseObject::Destroy();
  }

 private:
  bool* gone_;
};

class TDestroyLog : public TBaseObject {
 public:
  explicit TDestroyLog(const char* name) : name_(name) {}

 protected:
  void Destroy() override {
    EventLog.push_back(name_);
    TBaseObject::Destroy();
  }

 private:
  std::string name_;
};

void DrainQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

void LogName(std::string* name, TWidget*) {
  EventLog.push_back(*name);
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

HWND FindThreadWindow(const char* className) {
  struct TSearch {
    const char* ClassName;
    HWND Found;
  } search = {className, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(data);
        if (ClassOf(window) != s->ClassName) return TRUE;
        s->Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

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

void WatchDestroy(TWidget* widget, bool* gone) {
  OwnObject(widget, new TDestroyWatch(gone));
}

void LogDestroy(TWidget* widget, const char* name) {
  OwnObject(widget, new TDestroyLog(name));
}

TMemoryCanvas::TMemoryCanvas(int width, int height) {
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  old_ = SelectObject(dc_, bitmap_);
}

TMemoryCanvas::~TMemoryCanvas() {
  SelectObject(dc_, old_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void GuiTest::SetUp() {
  MainWidget = nullptr;
  QuitRequested = false;
  RunDepth = 0;
  EventLog.clear();
  DrainQueue();
}

void GuiTest::TearDown() {
  MainWidget = nullptr;
  for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
    if (!*it->Gone) Free(it->Widget);
  }
  kept_.clear();
  QuitRequested = false;
  RunDepth = 0;
  DrainQueue();
}

TWidget* GuiTest::Keep(TWidget* form) {
  kept_.push_back({form, std::make_unique<bool>(false)});
  WatchDestroy(form, kept_.back().Gone.get());
  return form;
}

TNotifyEvent LogEvent(const char* name) {
  static std::deque<std::string> names;  // stable addresses for the bound objects
  names.emplace_back(name);
  return TNotifyEvent::Bind<&LogName>(&names.back());
}
