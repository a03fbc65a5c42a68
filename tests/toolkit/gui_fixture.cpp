#include "gui_fixture.h"

#include <deque>

std::vector<std::string> EventLog;

std::string CyrillicPath(const std::string& base, int characters) {
  static const char* const kLetters[] = {"п", "у", "т", "ь", "к", "а", "д", "р"};
  std::string path = base + "\\";
  int count =
      MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  for (int i = 0; count < characters; ++i, ++count)
    path += kLetters[i % 8];
  return path;
}

namespace {

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

void ShowNow(TWidget* form) {
  Show(form);
  form->CreateWindowHandle();
  PumpQueued();
}

void WatchDestroy(TWidget* widget, bool* gone) {
  OwnObject(widget, new TDestroyWatch(gone));
}

void LogDestroy(TWidget* widget, const char* name) {
  OwnObject(widget, new TDestroyLog(name));
}

TMemoryCanvas::TMemoryCanvas(int width, int height) {
  TWindowDc screen;
  dc_ = TMemoryDc(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  bitmap_.Reset(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  selected_ = std::make_unique<TSelection>(dc_.Get(), bitmap_.Get());
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
