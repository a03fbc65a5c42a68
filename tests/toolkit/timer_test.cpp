// Window timers: ticks through the owner's queue, stopping, restarting and
// the end of the owner, also from inside a tick.
#include "toolkit/widgets/timer.h"

#include <gtest/gtest.h>

#include <utility>

#include "gui_fixture.h"

namespace {

using TTimerTest = GuiTest;

struct TTickLog {
  int Ticks = 0;
  TTimer* Last = nullptr;
  TWidget* FreeOnTick = nullptr;  // the owner a tick ends
};

void CountTick(TTickLog* log, TTimer* timer) {
  ++log->Ticks;
  log->Last = timer;
  if (TWidget* owner = std::exchange(log->FreeOnTick, nullptr)) Free(owner);
}

void MarkGone(bool* gone, TBaseObject*) {
  *gone = true;
}

bool TicksReach(const TTickLog& log, int ticks, DWORD timeoutMs) {
  return WaitUntil(
      [&] {
        PumpQueued();
        return log.Ticks >= ticks;
      },
      timeoutMs);
}

TEST_F(TTimerTest, TicksAtTheLatestIntervalUntilStopped) {
  TWidget* form = Keep(MakeForm(nullptr, "Timer"));
  TTickLog log;
  TTimer* timer = MakeTimer(form, TTimerEvent::Bind<&CountTick>(&log));
  EXPECT_FALSE(TicksReach(log, 1, 60)) << "made stopped";
  StartTimer(timer, 2000);
  StartTimer(timer, 20);
  EXPECT_TRUE(TicksReach(log, 3, 1500)) << "restarted at the new interval";
  EXPECT_EQ(log.Last, timer);

  Sleep(40);  // a tick is due when the timer stops: it is dropped
  StopTimer(timer);
  int ticks = log.Ticks;
  EXPECT_FALSE(TicksReach(log, ticks + 1, 120));
  EXPECT_FALSE(timer->Running);
}

TEST_F(TTimerTest, TheOwnerFreesItsTimersEvenFromATick) {
  TTickLog log;
  TWidget* form = MakeForm(nullptr, "Timer");
  bool formGone = false;
  bool timerGone = false;
  WatchDestroy(form, &formGone);
  TTimer* timer = MakeTimer(form, TTimerEvent::Bind<&CountTick>(&log));
  timer->DestroyEvent = TObjectEvent::Bind<&MarkGone>(&timerGone);
  StartTimer(timer, 10);
  log.FreeOnTick = form;
  EXPECT_TRUE(TicksReach(log, 1, 2000));
  EXPECT_TRUE(formGone);
  EXPECT_TRUE(timerGone);
  EXPECT_FALSE(TicksReach(log, 2, 60)) << "no tick after the owner went";
}

}  // namespace
