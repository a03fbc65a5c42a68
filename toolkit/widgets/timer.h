#pragma once

#include <cstdint>

#include "toolkit/base/base_object.h"
#include "toolkit/base/handler_pair.h"
#include "toolkit/widgets/widget.h"

class TTimer;
// A tick: the routine gets the bound object, then the timer.
using TTimerEvent = THandlerPair<TTimer*>;

// A window timer of a widget: ticks arrive as WM_TIMER through the widget's
// own message queue, so a tick never interrupts other work of the thread.
// Made by MakeTimer and owned by its widget, which frees it.
class TTimer : public TBaseObject {
 public:
  TWidget* Owner = nullptr;
  // The window the system timer runs on: the owner may be gone by the time
  // a timer held through its tick is freed.
  HWND Window = nullptr;
  uint32_t IntervalMs = 0;
  bool Running = false;
  TTimerEvent TickEvent;

 protected:
  void Destroy() override;
};

// A stopped timer of `owner`.
TTimer* MakeTimer(TWidget* owner, TTimerEvent tick);
// Starts the timer, or restarts it with the new interval (at least 1 ms);
// the owner's window is created if need be.
void StartTimer(TTimer* timer, uint32_t intervalMs);
void StopTimer(TTimer* timer);

// The owner's WM_TIMER handler: runs the tick of its timer.
bool TimerHandler(TWidget* widget, TMessage& message, LRESULT& result);
