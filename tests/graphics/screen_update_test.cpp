// Screen updates as the game sees them: system call 9 with its redirect switch and spare
// plane, the blit transitions, and the screen effects 8, 10 and 13, checked on the window's
// last picture. (The channel fade stepped by the clock is in channel_fade_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "archive/lzss_encoder.h"
#include "graphics/transitions.h"
#include "resources/byte_order.h"
#include "tests/app/game_fixture.h"
#include "tests/script/script_fixture.h"
#include "tests/support/pixel_hash.h"
#include "tests/support/solid_g16.h"

namespace tvx::testing {
namespace {

// ---- System call 9 and the screen effects, as scripts ----

class ScreenScripts : public ScriptTest {
 protected:
  uint64_t ScreenHash() { return Hash(system_->finalScreen.pixels()); }
  uint16_t Screen(int x, int y) { return system_->finalScreen.At(x, y); }
  VramPlaneSet& planes() { return system_->planes(); }
  GraphicsEngine& graphics() { return system_->graphics(); }
};

// White on the left, channel value 16 on the right, of whatever plane 0 names now.
constexpr std::string_view kDrawPicture = R"(
    SET_DIM16 11, 0, 0x7FFF
    SYSCALL 10, 2, 0, 0, 319, 479
    SET_DIM16 11, 0, 0x4210
    SYSCALL 10, 2, 320, 0, 639, 479
)";
uint64_t PictureHash() {
  std::vector<uint16_t> picture(640 * 480);
  for (size_t i = 0; i < picture.size(); ++i) picture[i] = i % 640 < 320 ? 0x7FFF : 0x4210;
  return Hash(picture);
}
// The same, as recorded once: what the window framebuffer of such a screen hashes to.
constexpr uint64_t kPictureHash = 3100029229789506435ull;

TEST_F(ScreenScripts, FadingToBlackKeepsTheOldScreenInTheSparePlane) {
  ASSERT_EQ(PictureHash(), kPictureHash);
  Script("MAIN.MES", std::string(kDrawPicture) + "SYSCALL 9, 1, 0\nEND\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(graphics().fadeSteps(), 32u);  // 31 darkening steps and the one that finds none
  EXPECT_EQ(ScreenHash(), HashOfColour(0));
  EXPECT_TRUE(planes().redirect());
  EXPECT_EQ(Hash(planes().Spare().pixels), kPictureHash);
}

TEST_F(ScreenScripts, FadingInAPictureDrawnWhileRedirected) {
  Script("MAIN.MES", "SYSCALL 9, 1, 0\n" + std::string(kDrawPicture) + "SYSCALL 9, 1\nEND\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(graphics().fadeSteps(), 32u);
  EXPECT_EQ(ScreenHash(), kPictureHash);
  EXPECT_EQ(Screen(0, 0), 0x7FFF);
  EXPECT_EQ(Screen(639, 479), 0x4210);
  EXPECT_FALSE(planes().redirect());
  EXPECT_EQ(Hash(planes().Spare().pixels), HashOfColour(0));
}

TEST_F(ScreenScripts, ShiftEndsAFadeAfterOneStepWithTheFinalPictureInPlace) {
  Script("MAIN.MES", std::string(kDrawPicture) + "SYSCALL 9, 1, 0\nEND\n");
  EXPECT_EQ(Run("0 key down Shift\n"), 0);
  EXPECT_EQ(graphics().fadeSteps(), 1u);
  EXPECT_EQ(ScreenHash(), HashOfColour(0));
}

TEST_F(ScreenScripts, DissolvingToAColourRepaintsSixtyFourTimes) {
  Script("MAIN.MES", std::string(kDrawPicture) + "SYSCALL 9, 2, 0x001F\nEND\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(graphics().transitionRepaints(), 64u);
  EXPECT_EQ(ScreenHash(), HashOfColour(0x001F));
  EXPECT_TRUE(planes().redirect());
  EXPECT_EQ(Hash(planes().Spare().pixels), kPictureHash);
}

TEST_F(ScreenScripts, ShowingCopiesTheSparePlaneOnlyWhenRedirectedOrColoured) {
  Script("MAIN.MES", R"(
    SYSCALL 9, 0                 ; not redirected, no colour: nothing
    SYSCALL 9, 0, 1              ; redirect on (the spare plane is still black)
    SET_DIM16 11, 0, 0x03E0
    SYSCALL 10, 2, 0, 0, 639, 479   ; green, into the spare plane
    SYSCALL 9, 0                 ; shown; redirect off
    SET_DIM16 11, 0, 0x7C00
    SYSCALL 10, 2, 0, 0, 9, 9    ; red, straight onto plane 0
    SYSCALL 9, 0                 ; nothing: the red corner stays
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(planes().redirect());
  EXPECT_EQ(Screen(0, 0), 0x7C00);
  EXPECT_EQ(Screen(10, 10), 0x03E0);
  EXPECT_EQ(Screen(639, 479), 0x03E0);
}

constexpr std::string_view kWhiteOverBlack = R"(
    SET_DIM16 1, 0, 3
    SET_DIM16 11, 0, 0x7FFF
    SYSCALL 10, 2, 0, 0, 639, 479   ; plane 3 white, plane 4 stays black
    SET_DIM16 1, 0, 0
)";

TEST_F(ScreenScripts, TheBlitTransitionsShowTheirFrames) {
  Script("MAIN.MES", std::string(kWhiteOverBlack) + R"(
    SYSCALL 10, 7, 0, 0, 639, 479, 3, 0, 0, 4, 0, 0, 0   ; cross-fade: six frames
    SYSCALL 10, 5, 0, 0, 639, 479, 4, 0, 0, 0            ; dissolve to black: 64 frames
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(graphics().transitionRepaints(), 6u + 64u);
  EXPECT_EQ(ScreenHash(), HashOfColour(0));
}

TEST_F(ScreenScripts, ShiftLeavesTheCrossFadeOnlyItsFinalCopy) {
  Script("MAIN.MES", std::string(kWhiteOverBlack) + R"(
    SYSCALL 10, 7, 0, 0, 639, 479, 3, 0, 0, 4, 0, 0, 0
    END
  )");
  EXPECT_EQ(Run("0 key down Shift\n"), 0);
  EXPECT_EQ(graphics().transitionRepaints(), 0u);
  EXPECT_EQ(ScreenHash(), HashOfColour(0x7FFF));
}

TEST_F(ScreenScripts, EffectEightBlendsPixelMemoryLevelByLevel) {
  Script("MAIN.MES", std::string(kWhiteOverBlack) + R"(
    EFFECT 8, 0, 0, 640, 480, 3, 0, 0, 4, 0, 0, 0, 10, 17     ; ends at level 16
    EFFECT 8, 0, 0, 100, 2, 4, 0, 0, 3, 0, 0, 0, 32, 5000     ; past 31: nothing
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(ScreenHash(), HashOfColour(0x4210));
}

TEST_F(ScreenScripts, EffectThirteenScrollsAPanelInWithSoftEdges) {
  Script("MAIN.MES", R"(
    SET_DIM16 23, 0, 0x1234       ; key colour
    SET_DIM16 11, 0, 0x001F
    SET_DIM16 1, 0, 3
    SYSCALL 10, 2, 0, 0, 639, 479   ; background: blue
    SET_DIM16 1, 0, 1
    SET_DIM16 11, 0, 0x7C00
    SYSCALL 10, 2, 0, 0, 999, 1759  ; the panel's source: red
    SET_DIM16 1, 0, 0
    EFFECT 13, 200
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_GE(platform::TickCount(), 200u * 48u);
  EXPECT_EQ(Screen(300, 160), 1 << 10 | 30);  // top row: 1/31 of the panel
  EXPECT_EQ(Screen(300, 210), 0x7C00);
  EXPECT_EQ(Screen(300, 319), 0x001F);  // last row: background only
  EXPECT_EQ(Screen(139, 200), 0x0000);  // outside the column: plane 0 untouched
}

TEST_F(ScreenScripts, EffectTenShowsTheThirteenPicturesInTurn) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  for (int i = 1; i <= 13; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "A30_%02d.G16", i);
    WriteBytes(name, SolidG16(static_cast<uint16_t>(i)));
  }
  Script("MAIN.MES", "EFFECT 9\nEFFECT 10\nEND\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(graphics().fadeSteps(), 12u);
  EXPECT_EQ(graphics().transitionRepaints(), 13u * 12u);
  EXPECT_EQ(ScreenHash(), HashOfColour(13));
  EXPECT_EQ(Hash(planes().Get(4).pixels), HashOfColour(12));
}

TEST_F(ScreenScripts, ShiftCutsEachOfTheThirteenTransitionsToOneStep) {
  WriteSettings("[GRAPHICS]\nbBGTYPE=1\n");
  for (int i = 1; i <= 13; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "A30_%02d.G16", i);
    WriteBytes(name, SolidG16(static_cast<uint16_t>(0x0400 * i)));
  }
  Script("MAIN.MES", "EFFECT 9\nEFFECT 10\nEND\n");
  EXPECT_EQ(Run("0 key down Shift\n"), 0);
  EXPECT_EQ(graphics().transitionRepaints(), 13u);
  EXPECT_EQ(ScreenHash(), HashOfColour(0x0400 * 13));
}

}  // namespace
}  // namespace tvx::testing
