#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/message_loop.h"
#include "toolkit/widgets/widget.h"

// Dispatches everything queued, without the toolkit loop's bookkeeping.
void PumpQueued();
// Runs `action` once from whatever message loop runs `delayMs` from now (a
// thread timer, so that it also fires inside modal loops).
void RunLater(UINT delayMs, std::function<void()> action);
// The first visible or hidden top-level window of this thread whose class is
// `className`, or 0.
HWND FindThreadWindow(const char* className);
// A class name or a window text.
std::string ClassOf(HWND window);
std::string TextOf(HWND window);
LONG_PTR StyleOf(HWND window);

// Sets *gone when the widget is destroyed.
void WatchDestroy(TWidget* widget, bool* gone);
// Appends `name` to EventLog when the widget is destroyed.
void LogDestroy(TWidget* widget, const char* name);

// A 32-bit memory device context of the given size, for colour checks.
class TMemoryCanvas {
 public:
  TMemoryCanvas(int width, int height);
  ~TMemoryCanvas();
  TMemoryCanvas(const TMemoryCanvas&) = delete;
  TMemoryCanvas& operator=(const TMemoryCanvas&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// Starts and ends each test with the toolkit's loop state cleared and the
// queue empty; forms passed to Keep are freed at the end unless already gone.
class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TWidget* Keep(TWidget* form);

 private:
  struct TKept {
    TWidget* Widget;
    std::unique_ptr<bool> Gone;
  };
  std::vector<TKept> kept_;
};

// Calls and events in the order they happened.
extern std::vector<std::string> EventLog;
// An event pair that appends `name` to EventLog.
TNotifyEvent LogEvent(const char* name);
