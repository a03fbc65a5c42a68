// Window timers of widgets: the system timer's identifier is the timer
// object itself, looked up among the live ones before it is trusted.
#include "toolkit/widgets/timer.h"

#include <algorithm>
#include <vector>

#include "toolkit/widgets/dispatch.h"

namespace {

// Timers not yet freed: a WM_TIMER already queued may name one that has gone.
std::vector<TTimer*>& LiveTimers() {
  static std::vector<TTimer*> timers;
  return timers;
}

UINT_PTR TimerId(TTimer* timer) {
  return reinterpret_cast<UINT_PTR>(timer);
}

TTimer* LiveTimerOf(TWidget* widget, UINT_PTR id) {
  for (TTimer* timer : LiveTimers()) {
    if (TimerId(timer) == id && timer->Owner == widget) return timer;
  }
  return nullptr;
}

}  // namespace

void TTimer::Destroy() {
  StopTimer(this);
  std::vector<TTimer*>& timers = LiveTimers();
  timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
  TBaseObject::Destroy();
}

TTimer* MakeTimer(TWidget* owner, TTimerEvent tick) {
  auto* timer = new TTimer;
  timer->Owner = owner;
  timer->TickEvent = tick;
  LiveTimers().push_back(timer);
  OwnObject(owner, timer);
  AttachHandler(owner, &TimerHandler);
  return timer;
}

void StartTimer(TTimer* timer, uint32_t intervalMs) {
  timer->IntervalMs = std::max<uint32_t>(intervalMs, 1);
  StopTimer(timer);
  HWND window = GetHandle(timer->Owner);
  timer->Running = window && SetTimer(window, TimerId(timer), timer->IntervalMs, nullptr) != 0;
  timer->Window = timer->Running ? window : nullptr;
}

void StopTimer(TTimer* timer) {
  if (timer->Running) KillTimer(timer->Window, TimerId(timer));
  timer->Running = false;
  timer->Window = nullptr;
}

bool TimerHandler(TWidget* widget, TMessage& message, LRESULT& result) {
  if (message.Message != WM_TIMER) return false;
  TTimer* timer = LiveTimerOf(widget, message.WParam);
  // A tick that was queued before its timer stopped is dropped.
  if (!timer || !timer->Running) return false;
  result = 0;
  // The tick may free the owner, and with it the timer.
  AddRef(timer);
  timer->TickEvent(timer);
  ReleaseRef(timer);
  return true;
}
