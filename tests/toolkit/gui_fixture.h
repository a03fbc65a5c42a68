#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/widgets/dispatch.h"
#include "toolkit/widgets/list_controls.h"
#include "toolkit/widgets/message_loop.h"
#include "toolkit/base/win32_handles.h"
#include "toolkit/widgets/widget.h"
#include "win32/dialog_driver.h"
#include "win32/window_search.h"

// The list and combo box options of the viewer's sprite, frame and palette
// lists.
constexpr ListOptions kSpriteList = kListNoIntegralHeight;
constexpr ListOptions kFrameList = kListExtendedSel | kListMultipleSel | kListNoIntegralHeight;
constexpr ComboOptions kPaletteBox = kComboDropDownList | kComboNoIntegralHeight;

// Shows the form, makes its windows and handles what that queued.
void ShowNow(TWidget* form);

// Sets *gone when the widget is destroyed.
void WatchDestroy(TWidget* widget, bool* gone);
// Appends `name` to EventLog when the widget is destroyed.
void LogDestroy(TWidget* widget, const char* name);

// A 32-bit memory device context of the given size, for colour checks.
class TMemoryCanvas {
 public:
  TMemoryCanvas(int width, int height);
  TMemoryCanvas(const TMemoryCanvas&) = delete;
  TMemoryCanvas& operator=(const TMemoryCanvas&) = delete;
  HDC Dc() const { return dc_.Get(); }

 private:
  TMemoryDc dc_;
  TGdiObject<HBITMAP> bitmap_;
  std::unique_ptr<TSelection> selected_;
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

// `base`, a separator, then Cyrillic letters up to `characters` characters
// in all: in UTF-8 such a path takes about twice as many bytes.
std::string CyrillicPath(const std::string& base, int characters);

// Calls and events in the order they happened.
extern std::vector<std::string> EventLog;
// An event pair that appends `name` to EventLog.
TNotifyEvent LogEvent(const char* name);
