// The window-thread loop: posted messages reach their handlers on the pumping
// thread, timers fire on the fake clock in order, and posting never blocks.
#include "ui/window_loop.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/realtime_guard.h"

namespace fw::ui {
namespace {

TEST(WindowLoop, PostedMessagesAreDeliveredInOrderOnPump) {
  FakeClock clock;
  WindowLoop loop(clock);
  std::vector<int> seen;
  loop.OnMessage(0x1400, [&] { seen.push_back(1); });
  loop.OnMessage(0x1401, [&] { seen.push_back(2); });
  loop.PostMessage(0x1400);
  loop.PostMessage(0x1401);
  loop.PostMessage(0x9999);  // no handler: dropped quietly
  loop.PostMessage(0x1400);
  EXPECT_TRUE(seen.empty());  // nothing runs before the window thread pumps
  EXPECT_TRUE(loop.PumpOnce());
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 1}));
  EXPECT_FALSE(loop.PumpOnce());
}

TEST(WindowLoop, PostMessageNeitherAllocatesNorLocksAndDropsWhenFull) {
  FakeClock clock;
  WindowLoop loop(clock);
  int delivered = 0;
  loop.OnMessage(7, [&] { ++delivered; });
  test::ResetRealtimeViolations();
  {
    test::RealtimeScope scope;
    for (int i = 0; i < 1000; ++i) loop.PostMessage(7);
  }
  EXPECT_EQ(test::RealtimeViolations(), 0) << test::FirstRealtimeViolation();
  loop.PumpOnce();
  EXPECT_EQ(delivered, 256);
}

TEST(WindowLoop, MessagesFromAnotherThreadAllArriveWhileTheQueueHasRoom) {
  FakeClock clock;
  WindowLoop loop(clock);
  std::atomic<int> delivered{0};
  loop.OnMessage(5, [&] { delivered.fetch_add(1); });
  std::thread producer([&] {
    for (int batch = 1; batch <= 50; ++batch) {
      for (int i = 0; i < 100; ++i) loop.PostMessage(5);
      while (delivered.load() < batch * 100) std::this_thread::yield();
    }
  });
  while (delivered.load() < 5000) loop.PumpOnce();
  producer.join();
  EXPECT_EQ(delivered.load(), 5000);
}

TEST(Timers, FireEveryIntervalWhileEnabledOnTheFakeClock) {
  FakeClock clock;
  WindowLoop loop(clock);
  Timer fast("Timer_fast", 100, true);
  Timer slow("Timer_slow", 250, true);
  std::vector<std::pair<std::string, std::int64_t>> fired;
  fast.OnTimer = [&] { fired.emplace_back("fast", clock.NowMs()); };
  slow.OnTimer = [&] { fired.emplace_back("slow", clock.NowMs()); };
  loop.AddTimer(fast);
  loop.AddTimer(slow);
  loop.AdvanceBy(500, clock);
  const std::vector<std::pair<std::string, std::int64_t>> expected = {
      {"fast", 100}, {"fast", 200}, {"slow", 250}, {"fast", 300},
      {"fast", 400}, {"fast", 500}, {"slow", 500}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(clock.NowMs(), 500);
}

TEST(Timers, DisabledTimersDoNotFireAndReEnablingRestartsTheInterval) {
  FakeClock clock;
  WindowLoop loop(clock);
  Timer timer("Timer_t", 100, false);
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  loop.AddTimer(timer);
  loop.AdvanceBy(300, clock);
  EXPECT_EQ(ticks, 0);
  clock.Advance(50);
  timer.SetEnabled(true);  // due at 450
  loop.AdvanceBy(99, clock);
  EXPECT_EQ(ticks, 0);
  loop.AdvanceBy(1, clock);
  EXPECT_EQ(ticks, 1);
}

TEST(Timers, AHandlerMayStopItsOwnTimer) {
  FakeClock clock;
  WindowLoop loop(clock);
  Timer timer("Timer_t", 10, true);
  int ticks = 0;
  timer.OnTimer = [&] {
    if (++ticks == 3) timer.SetEnabled(false);
  };
  loop.AddTimer(timer);
  loop.AdvanceBy(100, clock);
  EXPECT_EQ(ticks, 3);
  loop.RemoveTimer(timer);
}

TEST(WindowLoop, PostedTasksRunOnThePumpingThreadAndRunStopsOnQuit) {
  SteadyClock clock;
  WindowLoop loop(clock);
  std::thread::id ranOn;
  std::thread poster([&] {
    loop.Post([&] {
      ranOn = std::this_thread::get_id();
      loop.Quit();
    });
  });
  loop.Run();
  poster.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

}  // namespace
}  // namespace fw::ui
