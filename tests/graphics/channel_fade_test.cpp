// The channel fade on a started game, stepped by hand or by a clock on a thread of its own
// while the program thread pumps, checked on the window's last picture.
#include <gtest/gtest.h>

#include <atomic>
#include <span>
#include <thread>
#include <vector>

#include "tests/app/game_fixture.h"
#include "tests/support/pixel_hash.h"

namespace tvx::testing {
namespace {

class FadeOnGame : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(Start());
    PumpAll();
    // Target: white on the left, channel value 16 on the right.
    VramPlane& spare = game().planes().Spare();
    for (uint32_t y = 0; y < 480; ++y)
      for (uint32_t x = 0; x < 640; ++x) spare.At(x, y) = x < 320 ? 0x7FFF : 0x4210;
  }
  uint16_t Screen(int x, int y) { return platform::WindowFramebuffer(window().handle())->At(x, y); }
};

TEST_F(FadeOnGame, FromBlackTheSixteensLightFromStepSixteenAndTheWindowFollows) {
  GraphicsEngine& graphics = game().graphics();
  VramPlaneSet& planes = game().planes();
  graphics.StartChannelFade(planes.Spare(), planes.Plane0(), false);
  for (uint32_t step = 1; step <= 31; ++step) {
    EXPECT_EQ(graphics.FadeStep(), 1u);
    PumpOnce();  // carries out the repaint that the step asked for
    const uint32_t s = step < 16 ? 0 : step - 15;
    EXPECT_EQ(Screen(0, 0), step << 10 | step << 5 | step);
    EXPECT_EQ(Screen(639, 479), s << 10 | s << 5 | s) << "step " << step;
  }
  EXPECT_TRUE(graphics.fadeActive());
  EXPECT_EQ(graphics.FadeStep(), 0u);
  EXPECT_FALSE(graphics.fadeActive());
  EXPECT_EQ(graphics.fadeSteps(), 32u);
  EXPECT_EQ(graphics.FadeStep(), 0u);  // idle: no further step
  EXPECT_EQ(graphics.fadeSteps(), 32u);
  EXPECT_EQ(Hash(planes.Plane0().pixels), Hash(planes.Spare().pixels));
}

TEST_F(FadeOnGame, EndsUnderAStepperOnAnotherThreadWhileTheProgramThreadPumps) {
  GraphicsEngine& graphics = game().graphics();
  VramPlaneSet& planes = game().planes();
  std::atomic<bool> done{false};
  std::thread clock([&] {
    while (!done.load()) {
      graphics.FadeStep();
      std::this_thread::yield();
    }
  });
  graphics.RunChannelFade(planes.Spare(), planes.Plane0(), false);
  EXPECT_EQ(graphics.fadeSteps(), 32u);
  // Darkening back to black: the brightest channel is 31.
  VramPlane& work = planes.Work();
  std::fill(work.pixels.begin(), work.pixels.end(), uint16_t{0});
  graphics.RunChannelFade(work, planes.Plane0(), true);
  done = true;
  clock.join();
  EXPECT_EQ(graphics.fadeSteps(), 32u);
  EXPECT_EQ(Hash(planes.Plane0().pixels), HashOfColour(0));
  PumpAll();
}

TEST_F(FadeOnGame, AWrongSidedFadeEnds) {
  // Brightening towards black from white: every channel has to come down instead.
  GraphicsEngine& graphics = game().graphics();
  VramPlaneSet& planes = game().planes();
  std::fill(planes.Plane0().pixels.begin(), planes.Plane0().pixels.end(), uint16_t{0x7FFF});
  graphics.StartChannelFade(planes.Work(), planes.Plane0(), false);
  int steps = 0;
  while (graphics.FadeStep() != 0 && steps < 100) ++steps;
  EXPECT_EQ(graphics.fadeSteps(), 32u);
  EXPECT_EQ(Hash(planes.Plane0().pixels), HashOfColour(0));
}

}  // namespace
}  // namespace tvx::testing
