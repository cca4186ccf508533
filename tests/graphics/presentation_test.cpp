// What reaches the window: the repaint path and the direct path (flag 2007), the overlay's
// strip and its repair, and the redirect switch, which presentation ignores.
#include <gtest/gtest.h>

#include "tests/app/game_fixture.h"

namespace tvx::testing {
namespace {

class Presentation : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ASSERT_TRUE(Start());
    PumpAll();
  }
  uint16_t Screen(int x, int y) { return platform::WindowFramebuffer(window().handle())->At(x, y); }
  void Fill(VramPlane& plane, uint16_t colour) {
    std::fill(plane.pixels.begin(), plane.pixels.end(), colour);
  }
};

TEST_F(Presentation, RedirectIsForDrawingNotForShowing) {
  VramPlaneSet& planes = game().planes();
  Fill(planes.Plane0(), 0x7C00);
  Fill(planes.Spare(), 0x001F);
  planes.SetRedirect(true);
  EXPECT_EQ(&planes.Get(0), &planes.Spare());
  EXPECT_EQ(&planes.Get(8), &planes.Work());
  EXPECT_FALSE(planes.Get(2).exists());
  EXPECT_FALSE(planes.Get(9).exists());
  planes.PresentRect(0, 0, 640, 480);
  EXPECT_EQ(Screen(0, 0), 0x7C00);  // the real plane 0
  game().variables().SetFlag(2007, 1);
  Fill(planes.Plane0(), 0x03E0);
  planes.PresentRect(10, 10, 5, 5);
  EXPECT_EQ(Screen(10, 10), 0x03E0);
  EXPECT_EQ(Screen(15, 15), 0x7C00);  // only the rectangle asked for
}

TEST_F(Presentation, ACoveredWindowKeepsWhatCoversIt) {
  VramPlaneSet& planes = game().planes();
  game().variables().SetFlag(2007, 1);
  Fill(planes.Plane0(), 0x1111);
  planes.PresentRect(0, 0, 640, 480);
  planes.SetWindowCovered(true);
  Fill(planes.Plane0(), 0x2222);
  // Neither straight presentation reaches the window while it is covered.
  planes.PresentRect(0, 0, 640, 480);
  planes.PresentPlain(0, 0, 640, 480);
  EXPECT_EQ(Screen(320, 240), 0x1111);
  planes.SetWindowCovered(false);
  planes.PresentRect(0, 0, 640, 480);
  EXPECT_EQ(Screen(320, 240), 0x2222);
}

TEST_F(Presentation, AnOverlayPresentationLeavesTheStripToBeRepaired) {
  VramPlaneSet& planes = game().planes();
  game().variables().SetFlag(2007, 1);
  Fill(planes.Plane0(), 0x1111);
  game().planes().SetOverlayActive(true);
  planes.PresentRect(0, 0, 640, 480);
  EXPECT_TRUE(game().planes().stripDirty());
  EXPECT_EQ(Screen(0, 400), 0x1111);
  // Plane 0 changes under the strip; a small presentation without the overlay repairs it.
  game().planes().SetOverlayActive(false);
  Fill(planes.Plane0(), 0x2222);
  planes.PresentRect(0, 0, 1, 1);
  EXPECT_FALSE(game().planes().stripDirty());
  EXPECT_EQ(Screen(0, 0), 0x2222);
  EXPECT_EQ(Screen(300, 388), 0x2222);
  EXPECT_EQ(Screen(639, 459), 0x2222);
  EXPECT_EQ(Screen(300, 460), 0x1111);  // below the strip: untouched
  EXPECT_EQ(Screen(300, 387), 0x1111);
}

}  // namespace
}  // namespace tvx::testing
