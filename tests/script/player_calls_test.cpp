// The calls between the player and the scripts: the mouse and wheel (call 2), the cursor
// images (EFFECT 2, call 20/9), the save and load requests raised by S and L (calls 25, 26)
// and the bottom strip that Tab hides (call 27), on both presentation paths; and the overlay
// (call 23) composed on the way to the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/vram_plane_set.h"
#include "platform/framebuffer.h"
#include "script/shared_state.h"
#include "sound/sound_manager.h"
#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

class PlayerCalls : public ScriptTest {
 protected:
  uint16_t Screen(int x, int y) { return system_->finalScreen.At(x, y); }
  std::vector<std::string> InterfaceSounds() {
    std::vector<std::string> out;
    for (const auto& e : system_->sound()->log().Events())
      if (e.channel == SoundManager::kEffect2) out.push_back(e.what + " " + e.name);
    return out;
  }
};

TEST_F(PlayerCalls, MouseWheelAndCursorImages) {
  Script("MAIN.MES", R"(
    SYSCALL 2, 1
    SYSCALL 2, 1                      ; hidden already: the display count stays
    SYSCALL 2, 0
    SYSCALL 2, 1
    SYSCALL 2, 3, 100, 50             ; the pointer to (100, 50) of the window
    SYSCALL 2, 2
    SET_REG16 A, DIM16[0][3], DIM16[0][4]
    SYSCALL 2, 5
    SYSCALL 11                        ; the wheel turns while the script waits
    SYSCALL 2, 6
    SET_REG16 C, S
    SYSCALL 2, 7
    SET_REG32 A, S32
    SYSCALL 2, 8, 9
    SYSCALL 2, 7
    SET_REG32 B, S32
    SYSCALL 2, 5
    SYSCALL 2, 6
    SET_REG16 D, S
    SYSCALL 2, 2
    SET_REG16 E, DIM16[0][3], DIM16[0][4]
    EFFECT 2, 3
    END
  )");
  EXPECT_EQ(Run("100 wheel 240\n120 wheel -360\n140 mouse move 300 200\n"
                "200 key down Enter\n210 key up Enter\n"),
            0);
  EXPECT_EQ(R16('A'), 100);
  EXPECT_EQ(R16('B'), 50);
  EXPECT_EQ(R16('C'), 2);  // the last turn was towards the player
  EXPECT_EQ(R32('A'), 5u);
  EXPECT_EQ(R32('B'), 9u);
  EXPECT_EQ(R16('D'), 0);
  EXPECT_EQ(R16('E'), 300);  // the player moved the mouse
  EXPECT_EQ(R16('F'), 200);
  EXPECT_EQ(platform::CursorCounter(), -1);  // hidden once, whatever the script repeated
  EXPECT_EQ(system_->shared().cursorKind.load(), 2u);
  EXPECT_EQ(platform::CurrentCursor(), (platform::CursorShape{103}));
}

TEST_F(PlayerCalls, MazeAndAnimatedCursors) {
  Script("MAIN.MES", R"(
    SYSCALL 20, 9, 2                  ; the maze's cursor 227
    SYSCALL 11, 8
    SYSCALL 2, 4, 1                   ; the animated cursor of base 232
    SYSCALL 11, 80                    ; 20 ticks: base + 1
    END
  )");
  Run();
  EXPECT_EQ(system_->shared().cursorKind.load(), 1u);
  EXPECT_EQ(system_->shared().cursorId.load(), 232);
  EXPECT_EQ(platform::CurrentCursor(), (platform::CursorShape{233}));
}

TEST_F(PlayerCalls, TheKeysSAndLRaiseTheRequestsTheScriptsAllow) {
  Script("MAIN.MES", R"(
    EFFECT 11                         ; the interface sounds on
    SYSCALL 25, 1, 1                  ; saving allowed
    SYSCALL 26, 1, 0                  ; loading not
  wait:
    SYSCALL 25, 3
    IF S == 1, poll
    JUMP got
  poll:
    SYSCALL 11, 4
    JUMP wait
  got:
    SYSCALL 25, 2                     ; acknowledged
    SYSCALL 25, 3
    SET_REG16 A, S
    SYSCALL 26, 3
    SET_REG16 B, S
    SET_REG16 C, 1
    END
  )");
  Run("50 key down L\n60 key up L\n300 key down S\n310 key up S\n", 5000);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('A'), 0);
  EXPECT_EQ(R16('B'), 0);  // L while loading is not allowed raises nothing
  EXPECT_EQ(R16('C'), 1);
  EXPECT_EQ(InterfaceSounds(),
            (std::vector<std::string>{"missing ERROR.WAV", "missing WINOPN.WAV"}));
  MenuCommandStates& commands = system_->shared().commands;
  EXPECT_TRUE(commands.Find(kCommandSaveRequest)->enabled);
  EXPECT_FALSE(commands.Find(kCommandLoadRequest)->enabled);
}

// Plane 0 blue; plane 5 keeps the strip's two looks: rows 316-387 yellow (hidden), rows
// 388-459 cyan (shown); plane 0's strip itself magenta.
constexpr std::string_view kStripPlanes = R"(
    SET_DIM16 1, 0, 0
    SET_DIM16 11, 0, 0x001F
    SYSCALL 10, 2, 0, 0, 639, 479
    SET_DIM16 11, 0, 0x7C1F
    SYSCALL 10, 2, 0, 388, 639, 459
    SET_DIM16 1, 0, 5
    SET_DIM16 11, 0, 0x7FE0
    SYSCALL 10, 2, 0, 316, 639, 387
    SET_DIM16 11, 0, 0x03FF
    SYSCALL 10, 2, 0, 388, 639, 459
    SET_DIM16 1, 0, 0
)";

TEST_F(PlayerCalls, TabHidesTheStripUntilTheNextTab) {
  Script("MAIN.MES", std::string(kStripPlanes) + R"(
    SYSCALL 27, 2                     ; not allowed yet: nothing
    SYSCALL 27, 0
    SYSCALL 27, 2                     ; hidden until Tab
    SET_REG16 A, 1
    SYSCALL 11                        ; then wait for Enter
    END
  )");
  EXPECT_EQ(Run("500 key down Tab\n510 key up Tab\n1000 key down Enter\n1010 key up Enter\n", 5000),
            0);
  EXPECT_EQ(R16('A'), 1);
  // Shown again from plane 5's rows 388-459.
  EXPECT_EQ(system_->planes().Plane0().At(10, 400), 0x03FF);
  EXPECT_EQ(Screen(10, 400), 0x03FF);
  EXPECT_EQ(Screen(10, 300), 0x001F);
  EXPECT_FALSE(system_->shared().commands.Find(kCommandClearMessages)->checked);
  EXPECT_TRUE(system_->shared().commands.Find(kCommandClearMessages)->enabled);
  EXPECT_EQ(system_->interpreter().requests.stripHidden, 0u);
}

TEST_F(PlayerCalls, QuittingEndsTheHiddenStripsWaitAndShowsTheStripAgain) {
  Script("MAIN.MES", std::string(kStripPlanes) + R"(
    SYSCALL 27, 0
    SYSCALL 27, 2
    END
  )");
  Run("", 2000);
  EXPECT_TRUE(timed_out_);
  EXPECT_EQ(system_->planes().Plane0().At(10, 400), 0x03FF);
  EXPECT_EQ(system_->interpreter().requests.stripHidden, 0u);
  EXPECT_FALSE(system_->shared().commands.Find(kCommandClearMessages)->checked);
}

// The overlay: plane 4 holds the graphic (green, with a key-coloured hole) at (0, 0), plane 3
// the background (red) at (0, 0); both 20 × 10, shown at (50, 60) in direct presentation.
constexpr std::string_view kOverlayPlanes = R"(
    SET_DIM16 23, 0, 0x7C1F           ; the key colour
    SET_DIM16 1, 0, 0
    SET_DIM16 11, 0, 0x001F
    SYSCALL 10, 2, 0, 0, 639, 479
    SET_DIM16 1, 0, 4
    SET_DIM16 11, 0, 0x03E0
    SYSCALL 10, 2, 0, 0, 19, 9
    SET_DIM16 11, 0, 0x7C1F
    SYSCALL 10, 2, 5, 5, 5, 5
    SET_DIM16 1, 0, 3
    SET_DIM16 11, 0, 0x7C00
    SYSCALL 10, 2, 0, 0, 19, 9
    SET_DIM16 1, 0, 8
    SET_DIM16 11, 0, 0x1234           ; the work plane holds something of its own
    SYSCALL 10, 2, 0, 0, 639, 479
    SET_DIM16 1, 0, 0
)";

TEST_F(PlayerCalls, TheOverlayIsComposedOnTheWayToTheWindowOnly) {
  Script("MAIN.MES", std::string(kOverlayPlanes) + R"(
    SET_FLAGS 2007, 1                 ; direct presentation
    SYSCALL 23, 0, 0, 0, 20, 10, 4, 0, 0, 3, 50, 60
    SYSCALL 9, 1                      ; a fade keeps the old screen in the work plane
    SYSCALL 10, 2, 0, 0, 9, 9         ; a presentation elsewhere keeps the overlay shown
    END
  )");
  EXPECT_EQ(Run(), 0);
  // The fade showed the spare plane (black); the overlay stays over it.
  EXPECT_EQ(Screen(50, 60), 0x03E0);  // the graphic
  EXPECT_EQ(Screen(55, 65), 0x7C00);  // its key hole shows the background
  EXPECT_EQ(Screen(70, 60), 0x0000);  // beside it: plane 0
  EXPECT_EQ(Screen(5, 5), 0x1234);
  VramPlaneSet& planes = system_->planes();
  EXPECT_EQ(planes.Plane0().At(50, 60), 0x0000);  // plane 0 is not changed by the overlay
  // The work plane and, after the fade, the spare plane hold the screen as it was before
  // the fade, not the overlay composed over it.
  EXPECT_EQ(planes.Work().At(50, 60), 0x001F);
  EXPECT_EQ(planes.Spare().At(50, 60), 0x001F);
  // The graphic's plane lent its rows from 316 on as scratch space.
  EXPECT_EQ(planes.Get(4).At(5, 321), 0x7C00);
  EXPECT_EQ(planes.Get(4).At(0, 316), 0x03E0);
}

TEST_F(PlayerCalls, TheOverlayComesAndGoesOnlyInDirectPresentation) {
  Script("MAIN.MES", std::string(kOverlayPlanes) + R"(
    SYSCALL 23, 0, 0, 0, 20, 10, 4, 0, 0, 3, 50, 60   ; through the paint handler: unseen
    SYSCALL 10, 2, 40, 40, 99, 99
    SET_REG16 A, 1
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Screen(50, 60), 0x1234);  // the fill colour of the last blit, no overlay
}

TEST_F(PlayerCalls, TheStripWithOverlayRestoresTheOverlayAsFound) {
  Script("MAIN.MES", std::string(kOverlayPlanes) + R"(
    SET_FLAGS 2007, 1
    SYSCALL 23, 0, 0, 0, 20, 10, 4, 0, 0, 3, 50, 400  ; the overlay in the strip
    SYSCALL 27, 0
    SYSCALL 27, 2                     ; hidden: the overlay goes while it is
    SYSCALL 23, 1                     ; the overlay off
    SYSCALL 27, 2                     ; hidden again, shown again: the overlay stays off
    END
  )");
  EXPECT_EQ(Run("300 key down Tab\n310 key up Tab\n600 key down Tab\n610 key up Tab\n", 5000), 0);
  EXPECT_FALSE(system_->planes().overlayActive());
  EXPECT_EQ(Screen(50, 400), 0x001F);
}

}  // namespace
}  // namespace tvx::testing
