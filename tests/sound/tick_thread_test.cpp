#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/periodic_task.h"
#include "tests/app/game_fixture.h"
#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

using TickClock = GameTest;

TEST_F(TickClock, CountsOnlyWhileResumedOnePerFifteenMilliseconds) {
  ASSERT_TRUE(Start());
  TickThread& clock = *game().ticks();
  EXPECT_TRUE(clock.paused());
  platform::Sleep(300);
  EXPECT_EQ(clock.GetTicks(), 0u);  // paused: nothing counted
  clock.Resume();
  platform::Sleep(150);
  EXPECT_EQ(clock.GetTicks(), 10u);
  clock.Pause();
  platform::Sleep(150);
  EXPECT_EQ(clock.GetTicks(), 10u);
  clock.ResetTicks();
  clock.Resume();
  platform::Sleep(44);
  EXPECT_EQ(clock.GetTicks(), 2u);  // passes at 15 and 30 ms after the reset's pass phase
  // The wanted cursor follows the kind and reaches the cursor through the pump.
  game().shared().cursorKind = 2;
  game().shared().cursorId = 105;
  platform::Sleep(15);
  PumpOnce();
  EXPECT_EQ(platform::CurrentCursor(), (platform::CursorShape{105}));
  clock.Shutdown();
  const uint32_t at_stop = clock.GetTicks();
  platform::Sleep(150);
  EXPECT_EQ(clock.GetTicks(), at_stop);  // no pass after the stop
}

using TickWaits = ScriptTest;

TEST_F(TickWaits, AWaitCountsTicksAndShiftEndsIt) {
  Script("MAIN.MES", R"(
    SYSCALL 11, 4400                  ; 4400 / 4 = 1100 ticks = 16.5 s
    SYSCALL 16                        ; G: the seconds of the (virtual) local time
    SYSCALL 11, 40000                 ; 10000 ticks, cut short by Shift
    END
  )");
  EXPECT_EQ(Run("17000 key down Shift\n"), 0);
  EXPECT_EQ(R16('G'), 16);
  EXPECT_GE(platform::TickCount(), 17000u);
  EXPECT_LT(platform::TickCount(), 17100u);
}

// A backend without a clock of its own: periodic tasks get real threads (the SDL case).
class ThreadedBackend : public platform::HeadlessBackend {
 public:
  int AddPeriodic(uint32_t, std::function<void()>) override { return -1; }
};

TEST(PeriodicTaskThread, RunsOnItsOwnThreadAndStopsAfterTheLastPass) {
  platform::Install(std::make_unique<ThreadedBackend>());
  std::atomic<int> passes{0};
  std::atomic<bool> running_after_stop{false};
  std::atomic<bool> stopped{false};
  {
    platform::PeriodicTask task;
    ASSERT_TRUE(task.Start(1, [&] {
      if (stopped) running_after_stop = true;
      ++passes;
    }));
    EXPECT_FALSE(task.virtual_time());
    EXPECT_FALSE(task.Start(1, [] {}));  // once only
    while (passes < 5) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    task.Stop();
    stopped = true;
  }
  const int seen = passes;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(passes, seen);
  EXPECT_FALSE(running_after_stop);
  platform::Uninstall();
}

}  // namespace
}  // namespace tvx::testing
