// The maze as a script walks it through system call 20: steps, turns, walls, one-way walls,
// events, the map's edge, the player's keys and clicks, the registers written back, and
// references that do not fit.
#include <gtest/gtest.h>

#include <vector>

#include "resources/byte_order.h"
#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

// A 3 × 3 map: from (0, 0) east through a door (kind 3) into (1, 0), whose east wall is a
// one-way wall (kind 1 with bit 3); south from (1, 0) into (1, 1), which holds event 5 and
// has a plain wall (kind 1) on its south side, walkable, and on its north side (so a step
// back from it is refused).
std::vector<uint8_t> MapFile() {
  std::vector<uint8_t> map(4 + 9 * 4, 0);
  bytes::StoreLe16(map, 0, 3);
  bytes::StoreLe16(map, 2, 3);
  auto walls = [&](int x, int y, int n, int e, int s, int w) {
    bytes::StoreLe16(map, 4 + static_cast<size_t>(y * 3 + x) * 4,
                     static_cast<uint16_t>(n << 12 | e << 8 | s << 4 | w));
  };
  walls(0, 0, 0, 3, 0, 0);
  walls(1, 0, 0, 9, 0, 0);
  walls(1, 1, 1, 0, 1, 0);
  map[4 + 4 * 4 + 2] = 5;
  return map;
}

std::vector<uint8_t> ClickFile() {
  std::vector<uint8_t> table;
  auto record = [&](uint16_t code, uint16_t l, uint16_t t, uint16_t r, uint16_t b) {
    for (uint16_t v : {code, l, t, r, b}) {
      table.push_back(static_cast<uint8_t>(v));
      table.push_back(static_cast<uint8_t>(v >> 8));
    }
  };
  record(0x0101, 200, 100, 440, 300);  // forward (only the low byte counts)
  record(8, 200, 380, 440, 479);       // back
  record(0xFFFF, 0, 0, 0, 0);
  return table;
}

using DungeonCalls = ScriptTest;

constexpr std::string_view kSetUp = R"(
    SYSCALL 7, "MAP.DAT", 0x30000
    SYSCALL 7, "CLICK.DAT", 0x30200
    SET_DIM16 1, 0, 3                 ; the view draws on plane 3
    SYSCALL 20, 0, DIM32[0][7] + 0x30000, 0, 0, 0, DIM32[0][7], DIM32[0][7], DIM32[0][7], DIM32[0][7] + 0x30100, DIM32[0][7] + 0x30200
)";

TEST_F(DungeonCalls, StepsTurnsWallsAndEvents) {
  WriteBytes("MAP.DAT", MapFile());
  WriteBytes("CLICK.DAT", ClickFile());
  Script("MAIN.MES", std::string(kSetUp) + R"(
    SYSCALL 20, 3, 0                  ; through the door
    SET_REG16 A, S, X, Y
    SYSCALL 20, 3, 0                  ; into the one-way wall
    SET_REG16 E, S, X, Y
    SYSCALL 20, 3, 3                  ; turn right: south
    SET_REG16 H, D
    SYSCALL 20, 3, 0                  ; onto the event
    SET_REG16 I, S, X, Y
    SYSCALL 20, 3, 1                  ; back: refused by the wall behind
    SET_REG16 L, S, Y
    SYSCALL 20, 3, 0                  ; through a plain wall
    SET_REG16 N, S, Y
    SYSCALL 20, 3, 0                  ; off the map: refused
    SET_REG16 P, S, Y
    SYSCALL 20, 3, 2                  ; turn left: east
    SET_REG16 R, D
    SYSCALL 20, 1, 2, 0, 5            ; placed at (2, 0), heading 5 taken as 1
    SET_REG16 T, X, Y, D
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 0xFF02);  // through kind 3
  EXPECT_EQ(R16('B'), 1);
  EXPECT_EQ(R16('C'), 0);
  EXPECT_EQ(R16('E'), 0xFF01);
  EXPECT_EQ(R16('F'), 1);
  EXPECT_EQ(R16('H'), 3);
  EXPECT_EQ(R16('I'), 0x05FF);  // the event
  EXPECT_EQ(R16('J'), 1);
  EXPECT_EQ(R16('K'), 1);
  EXPECT_EQ(R16('L'), 0xFF01);
  EXPECT_EQ(R16('M'), 1);
  EXPECT_EQ(R16('N'), 0xFF03);  // through kind 1
  EXPECT_EQ(R16('O'), 2);
  EXPECT_EQ(R16('P'), 0xFF01);
  EXPECT_EQ(R16('Q'), 2);
  EXPECT_EQ(R16('R'), 0);
  EXPECT_EQ(R16('T'), 2);
  EXPECT_EQ(R16('U'), 0);
  EXPECT_EQ(R16('V'), 1);
}

TEST_F(DungeonCalls, TheKeysAndClicksOfThePlayer) {
  WriteBytes("MAP.DAT", MapFile());
  WriteBytes("CLICK.DAT", ClickFile());
  Script("MAIN.MES", std::string(kSetUp) + R"(
    SYSCALL 20, 4                     ; nothing pressed
    SET_REG16 A, S, X
    SYSCALL 11, 40
    SYSCALL 20, 4                     ; Up and Right together: nothing
    SET_REG16 C, S, X, D
    SYSCALL 11, 40
    SYSCALL 20, 4                     ; Up alone: forward
    SET_REG16 F, S, X
    SYSCALL 11, 40
    SYSCALL 20, 4                     ; a click on the lower band: back
    SET_REG16 H, S, X
    SYSCALL 11, 40
    SYSCALL 20, 4                     ; a click outside every record
    SET_REG16 J, S, X
    END
  )");
  EXPECT_EQ(Run("100 key down Up\n100 key down Right\n"
                "200 key up Right\n"
                "400 key up Up\n"
                "405 mouse move 300 400\n410 mouse down left\n500 mouse up left\n"
                "550 mouse move 10 10\n560 mouse down left\n"),
            0);
  EXPECT_EQ(R16('A'), 0);
  EXPECT_EQ(R16('C'), 0);
  EXPECT_EQ(R16('D'), 0);
  EXPECT_EQ(R16('E'), 0);
  EXPECT_EQ(R16('F'), 0xFF02);
  EXPECT_EQ(R16('G'), 1);
  EXPECT_EQ(R16('H'), 0);  // back into (0, 0): no wall on that side of (1, 0)
  EXPECT_EQ(R16('I'), 0);
  EXPECT_EQ(R16('J'), 0);
  EXPECT_EQ(R16('K'), 0);
}

TEST_F(DungeonCalls, AMazeThatDoesNotFitChangesNothing) {
  Script("MAIN.MES", R"(
    SET_REG16 X, 77, 88
    SET_REG16 D, 99
    SYSCALL 20, 0, 0x7FFFFFF0, 0, 0, 0, 0, 0, 0, DIM32[0][7], 0   ; no map there
    SET_REG16 A, X, Y, D
    SYSCALL 20, 2                     ; unbound: draws nothing
    SYSCALL 20, 3, 0                  ; unbound: refused
    SET_REG16 E, S
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 77);
  EXPECT_EQ(R16('B'), 88);
  EXPECT_EQ(R16('C'), 99);
  EXPECT_EQ(R16('E'), 0xFF01);
}

}  // namespace
}  // namespace tvx::testing
