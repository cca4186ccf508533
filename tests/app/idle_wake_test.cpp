// How a waiting game rests: a wait for the player sleeps through the clock's passes, and what
// the clock changes on screen (an animation's frame, the animated cursor) wakes it at once;
// waits that look at the clock rest only until its next pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/app/blinking_animation.h"
#include "tests/script/script_fixture.h"
#include "tools/run_backend.h"

namespace tvx::testing {
namespace {

// A headless backend that notes every rest of the program thread (and what kind of wait it
// was for) and every wake that reached it. The headless clock runs its passes on the program
// thread, so nothing here is shared between threads.
class RestRecorder : public platform::HeadlessBackend {
 public:
  using HeadlessBackend::HeadlessBackend;
  struct Rest {
    uint32_t ms;
    bool for_input;
    platform::CursorShape cursor;
  };
  void IdleWait() override {
    Note(false);
    HeadlessBackend::IdleWait();
  }
  void IdleWaitForInput() override {
    Note(true);
    HeadlessBackend::IdleWait();
  }
  void WakeIdle() override { wakes.push_back(TickCount()); }
  void ClockPassed(uint32_t period_ms) override {
    if (period_ms != 0) ++passes;
  }

  // The rests and wakes within [from, to) ms.
  std::vector<Rest> RestsIn(uint32_t from, uint32_t to) const {
    std::vector<Rest> out;
    for (const Rest& r : rests)
      if (r.ms >= from && r.ms < to) out.push_back(r);
    return out;
  }
  size_t WakesIn(uint32_t from, uint32_t to) const {
    return static_cast<size_t>(
        std::count_if(wakes.begin(), wakes.end(), [&](uint32_t t) { return t >= from && t < to; }));
  }

  std::vector<Rest> rests;
  std::vector<uint32_t> wakes;
  int passes = 0;

 private:
  void Note(bool for_input) {
    rests.push_back({TickCount(), for_input, platform::CurrentCursor()});
  }
};

class IdleWake : public ScriptTest {
 protected:
  // Runs MAIN.MES with these events until `until` ms at the latest.
  RestRecorder& Run(std::string_view events, uint32_t until) {
    const auto parsed = platform::ParseEventScript(events);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    auto owned = std::make_unique<RestRecorder>(parsed.events);
    RestRecorder& backend = *owned;
    platform::Install(std::move(owned));
    system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
    platform::SetDeadline(
        until,
        [](void* context) { static_cast<GameSystem*>(context)->mainWindow().SetRunState(255); },
        system_.get());
    system_->RunSystem();
    return backend;
  }
  static bool AllForInput(const std::vector<RestRecorder::Rest>& rests) {
    return std::all_of(rests.begin(), rests.end(), [](const auto& r) { return r.for_input; });
  }
  static bool NoneForInput(const std::vector<RestRecorder::Rest>& rests) {
    return std::none_of(rests.begin(), rests.end(), [](const auto& r) { return r.for_input; });
  }
};

TEST_F(IdleWake, AStillPageSleepsThroughTheClockAndTimedWaitsDoNot) {
  Script("MAIN.MES", R"(
    SET_DIM16 11, 0, 0x0210
    SYSCALL 10, 2, 0, 0, 639, 479
    SYSCALL 11                        ; the click
    SET_REG16 5, 1
    SYSCALL 11, 40                    ; ten ticks
    SET_REG16 5, 2
    END
  )");
  RestRecorder& backend = Run("1000 mouse down left\n1010 mouse up left\n", 3000);
  EXPECT_EQ(system_->variables().Register16(5), 2u);
  EXPECT_GT(backend.passes, 60);
  // Waiting for the click (and for its release): every rest is one that sleeps through the
  // clock, and after the first passes (the cursor shown) nothing the clock does wakes it.
  const auto waiting = backend.RestsIn(0, 1010);
  ASSERT_GT(waiting.size(), 50u);
  EXPECT_TRUE(AllForInput(waiting));
  EXPECT_EQ(backend.WakesIn(100, 1010), 0u);
  // The timed wait looks at the tick count: it rests only until the clock's next pass, and
  // ends on the same tick as ever (ten ticks after the release).
  const auto timed = backend.RestsIn(1020, 1150);
  ASSERT_FALSE(timed.empty());
  EXPECT_TRUE(NoneForInput(timed));
  EXPECT_GE(platform::TickCount(), 1010u + 9 * 15);
  EXPECT_LT(platform::TickCount(), 1010u + 12 * 15);
}

TEST_F(IdleWake, WhatTheClockChangesOnScreenWakesAWaitForThePlayer) {
  WriteBytes("ANIM.DAT", BlinkingAnimation());
  Script("MAIN.MES", std::string(kStartBlinking) + R"(
    SYSCALL 2, 4, 1                   ; the animated cursor
    SYSCALL 11
    END
  )");
  RestRecorder& backend = Run("2000 mouse down left\n2010 mouse up left\n", 3000);
  const auto waiting = backend.RestsIn(200, 2000);
  ASSERT_FALSE(waiting.empty());
  EXPECT_TRUE(AllForInput(waiting));
  // The blinking square changes every fifth pass (a frame, then a wait of three) and the
  // cursor's image now and then: each change wakes the wait, at most twice a pass (a frame
  // and a cursor image in the same pass), never on passes that change nothing.
  const size_t wakes = backend.WakesIn(200, 2000);
  EXPECT_GE(wakes, 1800u / 15 / 5);
  EXPECT_LE(wakes, 2 * (1800u / 15 + 1));
  EXPECT_LT(wakes, 1800u / 15 / 2);
  // Both cursor images were put up during the wait.
  const uint16_t base = (1 + 115) * 2;
  auto shown = [&](uint16_t id) {
    return std::any_of(waiting.begin(), waiting.end(),
                       [&](const auto& r) { return r.cursor == platform::CursorShape{id}; });
  };
  EXPECT_TRUE(shown(base));
  EXPECT_TRUE(shown(base + 1));
  EXPECT_EQ(system_->ending(), GameSystem::Ending::kGameEnded);
}

TEST(IdleWakeTool, TheRunCommandsWindowedBackendPassesWakesAndRestsOn) {
  auto owned = std::make_unique<RestRecorder>(std::vector<platform::ScriptedEvent>{});
  RestRecorder& inner = *owned;
  tool::DumpHooks hooks({}, [](uint32_t) {});
  tool::WrappedRunBackend wrapped(std::move(owned), hooks);
  wrapped.WakeIdle();
  wrapped.ClockPassed(15);
  wrapped.IdleWaitForInput();
  wrapped.IdleWait();
  EXPECT_EQ(inner.wakes.size(), 1u);
  EXPECT_EQ(inner.passes, 1);
  ASSERT_EQ(inner.rests.size(), 2u);
  EXPECT_TRUE(inner.rests[0].for_input);
  EXPECT_FALSE(inner.rests[1].for_input);
}

}  // namespace
}  // namespace tvx::testing
