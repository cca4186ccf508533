// Menus of choices: MENU_ITEM registers items, MENU_RUN calls the fixed procedures 32-39 as
// the player moves and decides.
#include <gtest/gtest.h>

#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

using Menus = ScriptTest;

constexpr std::string_view kMenuProcedures = R"(
    DEFINE_PROC 38, proc39
    SET_REG16 M, M + 1                  ; the menu starts
    END
proc39:
    DEFINE_PROC 39, proc35
    SET_REG16 N, N + 1                  ; every pass of the loop
    END
proc35:
    DEFINE_PROC 35, proc32
    SET_REG16 D, D + 1                  ; down
    END
proc32:
    DEFINE_PROC 32, items
    SET_REG16 C, C + 1                  ; decide: end the menu
    SET_DIM16 2, 0, DIM16[0][2] | 8
    END
items:
    MENU_ITEM item3, 3
    SET_REG16 X, 1                      ; an item's code: the engine never runs it itself
    END
item3:
    MENU_ITEM item7, 7
    END
item7:
)";

TEST_F(Menus, TheLoopFollowsThePlayer) {
  Script("MAIN.MES", std::string(kMenuProcedures) + R"(
    SET_DIM16 2, 0, (DIM16[0][2] | 0x800) & 0xFFF7  ; waits on, the menu not ended
    MENU_RUN
    SET_REG32 A, DIM16[0][24]           ; items counted for the menu
    SYSCALL 15, 1
    SET_REG32 B, DIM16[0][25]           ; the item in slot 1
    SYSCALL 15, 9
    SET_REG32 C, DIM16[0][25]           ; no item there: 50
    SET_REG32 I, DIM32[0][9]            ; the number list's address...
    SET_REG32 D, DIM32[9][0], DIM32[9][1]  ; ...and the numbers through it
    END
  )");
  // Down once (held 30 ms: the key-repeat delay ends with the release), then Enter.
  EXPECT_EQ(Run("100 key down Down\n130 key up Down\n300 key down Enter\n330 key up Enter\n"), 0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('M'), 1);
  EXPECT_EQ(R16('D'), 1);
  EXPECT_EQ(R16('C'), 1);
  EXPECT_GT(R16('N'), 10);
  EXPECT_EQ(R16('X'), 0);
  EXPECT_EQ(R32('A'), 2u);
  EXPECT_EQ(R32('B'), 7u);
  EXPECT_EQ(R32('C'), 50u);
  EXPECT_EQ(R32('D'), 3u);
  EXPECT_EQ(R32('E'), 7u);
  // The decide wait lasted until Enter was released.
  EXPECT_GE(platform::TickCount(), 330u);
}

// Procedures for menus that end on decide: 39 runs several commands a cycle, and every
// command handles one message, so a key's press and release are both handled before the
// menu looks at the inputs.
constexpr std::string_view kTapProcedures = R"(
    SET_DIM16 2, 0, DIM16[0][2] | 0x800 ; the menu's waits on
    DEFINE_PROC 38, tap39
    SET_DIM16 2, 0, DIM16[0][2] & 0xFFF7
    END
tap39:
    DEFINE_PROC 39, tap35
    SET_REG16 N, N + 1
    SET_REG16 O, N
    SET_REG16 P, O
    END
tap35:
    DEFINE_PROC 35, tap32
    SET_REG16 D, D + 1
    END
tap32:
    DEFINE_PROC 32, start
    SET_REG16 C, C + 1
    SET_DIM16 2, 0, DIM16[0][2] | 8
    END
start:
)";

TEST_F(Menus, AQuickTapCountsOnce) {
  Script("MAIN.MES", std::string(kTapProcedures) + R"(
    MENU_RUN                ; a tap of Down, then a tap of Enter
    SET_REG16 E, D
    MENU_RUN                ; a click
    SYSCALL 11, 200         ; 50 ticks, while Enter goes down and stays down
    MENU_RUN                ; held Enter: decided at once, left when it is released
    END
  )");
  EXPECT_EQ(Run("100 key down Down\n100 key up Down\n"
                "300 key down Enter\n300 key up Enter\n"
                "500 mouse down left\n500 mouse up left\n"
                "900 key down Enter\n1400 key up Enter\n",
                5000),
            0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('E'), 1);
  EXPECT_EQ(R16('D'), 1);
  EXPECT_EQ(R16('C'), 3);
  EXPECT_GE(platform::TickCount(), 1400u);
}

TEST_F(Menus, APressCountsOnlyInTheWaitItFallsIn) {
  Script("MAIN.MES", std::string(kTapProcedures) + R"(
    SYSCALL 11, 40          ; 10 ticks: taps of Enter and Down, and a click, meanwhile
    MENU_RUN                ; decided by the click at 500 only
    SET_REG16 E, N
    SYSCALL 18, 8, 1        ; that click is not seen again as the left button
    SET_REG32 F, S32
    SYSCALL 11, 40          ; a tap of Enter meanwhile
    SYSCALL 11              ; ended by the click at 1000 only
    SYSCALL 18, 8, 1
    SET_REG32 G, S32
    END
  )");
  EXPECT_EQ(Run("50 key down Enter\n50 key up Enter\n"
                "60 mouse down left\n60 mouse up left\n"
                "70 key down Down\n70 key up Down\n"
                "500 mouse down left\n520 mouse up left\n"
                "600 key down Enter\n600 key up Enter\n"
                "1000 mouse down left\n1010 mouse up left\n",
                5000),
            0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('C'), 1);
  EXPECT_EQ(R16('D'), 0);
  EXPECT_GT(R16('E'), 10);  // the menu ran its cycles until 500
  EXPECT_EQ(R32('F'), 0u);
  EXPECT_EQ(R32('G'), 0u);
  EXPECT_GE(platform::TickCount(), 1010u);
}

TEST_F(Menus, AMenuAlreadyEndedOnlyStarts) {
  Script("MAIN.MES", std::string(kMenuProcedures) + R"(
    SET_DIM16 2, 0, DIM16[0][2] | 8
    MENU_RUN
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('M'), 1);
  EXPECT_EQ(R16('N'), 0);
}

TEST_F(Menus, ItemsBeyondTheTableAreDropped) {
  std::string source = "SET_REG16 A, 0\n";
  for (int i = 0; i < 55; ++i)
    source += "MENU_ITEM next" + std::to_string(i) + ", " + std::to_string(i * 3) + "\nEND\nnext" +
              std::to_string(i) + ":\n";
  source +=
      "SYSCALL 15, 49\nSET_REG32 A, DIM16[0][25]\nSYSCALL 15, 0\nSET_REG32 B, DIM16[0][25]\nEND\n";
  Script("MAIN.MES", source);
  EXPECT_EQ(Run(), 0);
  // Items 0, 3, … 48 have map entries; the item in slot 49 is numbered 147, beyond the map.
  EXPECT_EQ(R32('A'), 50u);
  EXPECT_EQ(R32('B'), 0u);
  EXPECT_EQ(system_->interpreter().menus().count(), 50);
}

}  // namespace
}  // namespace tvx::testing
