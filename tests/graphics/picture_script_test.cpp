// Pictures and blits as scripts meet them: the picture call, the blit call with its corners,
// effects on planes, and what reaches the window.
#include <gtest/gtest.h>

#include "archive/lzss_encoder.h"
#include "platform/platform.h"
#include "resources/byte_order.h"
#include "tests/script/script_fixture.h"
#include "tests/support/solid_g16.h"

namespace tvx::testing {
namespace {

class PictureScripts : public ScriptTest {
 protected:
  // What the window showed when the game ended.
  uint16_t Screen(int x, int y) { return system_->finalScreen.At(x, y); }
  VramPlane& Plane(uint32_t i) { return system_->planes().Get(i); }
};

TEST_F(PictureScripts, PicturesAndBlitsReachTheScreen) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  WriteBytes("RED.G16", SolidG16(0x7C00, 30, 40, 10, 20));
  WriteBytes("BLUE.G16", SolidG16(0x001F, 8, 8, 0, 0));
  Script("MAIN.MES", R"(
    SYSCALL 8, "red.g16"                ; onto plane 0, shown at once
    SET_REG16 A, DIM16[0][19], DIM16[0][20], DIM16[0][21], DIM16[0][22]
    SET_DIM16 1, 0, 3                   ; text target: plane 3
    SYSCALL 8, "BLUE.G16"
    SYSCALL 10, 0, 0, 0, 7, 7, 3, 100, 100, 0      ; copy plane 3 (0,0)-(7,7) to (100,100)
    SET_DIM16 11, 0, 0x03E0             ; fill colour: green
    SET_DIM16 1, 0, 0
    SYSCALL 10, 2, 200, 200, 209, 204   ; fill (200,200)-(209,204) on the target plane
    SYSCALL 10, 0, 0, 0, 7, 7, 2, 300, 300, 0      ; plane 2 has no pixels: nothing
    SYSCALL 10, 0, 600, 470, 5000, 5000, 3, 630, 470, 0  ; clipped at every edge
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 10);
  EXPECT_EQ(R16('B'), 20);
  EXPECT_EQ(R16('C'), 30);
  EXPECT_EQ(R16('D'), 40);
  EXPECT_EQ(Screen(10, 20), 0x7C00);
  EXPECT_EQ(Screen(39, 59), 0x7C00);
  EXPECT_EQ(Screen(40, 59), 0x0000);
  EXPECT_EQ(Plane(3).At(7, 7), 0x001F);
  EXPECT_EQ(Screen(100, 100), 0x001F);
  EXPECT_EQ(Screen(107, 107), 0x001F);
  EXPECT_EQ(Screen(209, 204), 0x03E0);
  EXPECT_EQ(Screen(210, 204), 0x0000);
  EXPECT_EQ(Screen(300, 300), 0x0000);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(PictureScripts, RedirectedDrawingStaysOffScreenUntilShown) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  WriteBytes("RED.G16", SolidG16(0x7C00, 16, 16, 0, 0));
  Script("MAIN.MES", "SYSCALL 8, \"RED.G16\"\nEND\n");
  StartPlatform();
  system_ = std::make_unique<GameSystem>(GameSystem::Options{.windowed = true});
  ASSERT_TRUE(system_->StartUp());
  system_->planes().SetRedirect(true);
  system_->RunGame();
  // Drawn on the spare plane: plane 0 and the window did not change.
  EXPECT_EQ(system_->planes().Spare().At(0, 0), 0x7C00);
  EXPECT_EQ(system_->planes().Plane0().At(0, 0), 0x0000);
}

TEST_F(PictureScripts, EffectsOnPlanes) {
  Script("MAIN.MES", R"(
    SET_DIM16 11, 0, 0x7FFF
    SYSCALL 10, 2, 0, 0, 639, 479       ; white screen
    EFFECT 1, 0, 0, 10, 10, 0           ; darken a block of plane 0
    EFFECT 5, 20, 0, 10, 10, 0          ; wash another
    EFFECT 0, 5, 7                      ; move plane 0 on the window
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Plane(0).At(0, 0), (15 << 10) | (15 << 5) | 15);
  EXPECT_EQ(Plane(0).At(10, 0), 0x7FFF);
  const int washed = 31 * 123 / 256 + 14;
  EXPECT_EQ(Plane(0).At(20, 0), (washed << 10) | (washed << 5) | washed);
  EXPECT_EQ(Plane(0).originX, 5);
  // The window shows plane 0 moved by its origin.
  EXPECT_EQ(Screen(5, 7), (15 << 10) | (15 << 5) | 15);
  EXPECT_EQ(Screen(15, 7), 0x7FFF);
  EXPECT_EQ(Screen(14, 7), (15 << 10) | (15 << 5) | 15);
}

TEST_F(PictureScripts, DarkenedAndWashedBlocksReachTheWindowWhole) {
  // Blocks given by a point and a size: the window shows each one up to its far corner,
  // through the paint handler and in direct presentation alike.
  Script("MAIN.MES", R"(
    SET_DIM16 11, 0, 0x7FFF
    SYSCALL 10, 2, 0, 0, 639, 479       ; white screen
    EFFECT 1, 20, 10, 40, 30, 0         ; darken (20, 10)-(59, 39)
    SET_FLAGS 2007, 1                   ; direct presentation
    EFFECT 5, 300, 200, 60, 20, 0       ; wash (300, 200)-(359, 219)
    END
  )");
  EXPECT_EQ(Run(), 0);
  const uint16_t dark = (15 << 10) | (15 << 5) | 15;
  const uint16_t washed = 28 << 10 | 28 << 5 | 28;  // 31 * 123 / 256 + 14
  for (auto [x, y] : {std::pair{20, 10}, {59, 10}, {20, 39}, {59, 39}})
    EXPECT_EQ(Screen(x, y), dark) << x << ", " << y;
  EXPECT_EQ(Screen(60, 39), 0x7FFF);
  EXPECT_EQ(Screen(59, 40), 0x7FFF);
  for (auto [x, y] : {std::pair{300, 200}, {359, 200}, {300, 219}, {359, 219}})
    EXPECT_EQ(Screen(x, y), washed) << x << ", " << y;
  EXPECT_EQ(Screen(360, 219), 0x7FFF);
  EXPECT_EQ(Screen(359, 220), 0x7FFF);
}

TEST_F(PictureScripts, TheThirteenPicturesGoIntoPlaneOneMemory) {
  for (int i = 1; i <= 3; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "A30_%02d.G16", i);
    WriteBytes(name, std::vector<uint8_t>(10 + static_cast<size_t>(i), static_cast<uint8_t>(i)));
  }
  Script("MAIN.MES", "EFFECT 9\nEND\n");
  EXPECT_EQ(Run(), 0);
  const auto& loaded = system_->interpreter().thirteenPictures;
  ASSERT_EQ(loaded[0].size(), 11u);
  EXPECT_EQ(loaded[1].data(), loaded[0].data() + 11);  // each right after the previous
  EXPECT_EQ(loaded[2].size(), 13u);
  EXPECT_TRUE(loaded[3].empty());  // stopped at the first missing file
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0], "文件打开错误 / A30_04.G16");
}

}  // namespace
}  // namespace tvx::testing
