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

TEST(PeriodicTaskThread, AParkedTaskSleepsUntilWokenAndStopsWhileParked) {
  platform::Install(std::make_unique<ThreadedBackend>());
  std::atomic<int> passes{0};
  std::atomic<int> park_at{3};
  platform::PeriodicTask task;
  ASSERT_TRUE(task.Start(2, [&] {
    if (++passes == park_at) task.Park();
  }));
  while (passes < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(passes, 3) << "no passes while parked";
  park_at = 6;
  task.Wake();
  while (passes < 6) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(passes, 6);
  task.Wake();
  task.Park();  // from outside too: takes effect after the next pass
  task.Stop();  // returns although parked
  EXPECT_FALSE(task.running());
  platform::Uninstall();

  // In virtual time passes go on: a headless run is the same whether or not a task parks.
  platform::Install(std::make_unique<platform::HeadlessBackend>());
  int virtual_passes = 0;
  platform::PeriodicTask headless;
  ASSERT_TRUE(headless.Start(15, [&] {
    ++virtual_passes;
    headless.Park();
  }));
  EXPECT_TRUE(headless.virtual_time());
  platform::Sleep(150);
  EXPECT_GE(virtual_passes, 9);
  headless.Stop();
  platform::Uninstall();
}

}  // namespace
}  // namespace tvx::testing
