// The script machine's own system calls: data files, code at an address, hit tests, local
// time and input comparison.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

using SystemCalls = ScriptTest;

TEST_F(SystemCalls, DataFilesHitTestsAndCodeAtAnAddress) {
  // A hit-test table: (id, left, top, right, bottom) records of u16, ended by 0xFFFF.
  std::vector<uint8_t> table;
  auto u16 = [&](uint16_t v) {
    table.push_back(static_cast<uint8_t>(v));
    table.push_back(static_cast<uint8_t>(v >> 8));
  };
  for (auto v : {1, 10, 10, 20, 20, 2, 15, 15, 100, 100, 0xFFFF}) u16(static_cast<uint16_t>(v));
  WriteBytes("HIT.DAT", table);
  Script("MAIN.MES", R"(
    SYSCALL 7, "hit.dat", 0x30000       ; into the image at 0x30000 (found whatever the case)
    SET_DIM32 6, 0, 0x30000             ; the hit-test table's offset
    SYSCALL 14, 12, 12
    SET_REG32 A, S                      ; the first matching record
    SYSCALL 14, 50, 50
    SET_REG32 B, S
    SYSCALL 14, 5, 5
    SET_REG32 C, S
    SYSCALL 14, 640, 0                  ; outside the screen: no table read
    SET_REG32 D, S
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('A'), 1u);
  EXPECT_EQ(R32('B'), 2u);
  EXPECT_EQ(R32('C'), 0xFFFFu);
  EXPECT_EQ(R32('D'), 0xFFFFu);
  ASSERT_EQ(system_->shownFiles().size(), 2u);
  EXPECT_EQ(system_->shownFiles()[1].slot, 3u);
  EXPECT_EQ(system_->shownFiles()[1].name, "hit.dat");
}

TEST_F(SystemCalls, CodeAtAnAddressRunsAsANestedLevel) {
  // The data file is itself code: SET_REG16 E, E + 1 / END.
  WriteBytes("CODE.DAT", std::vector<uint8_t>{0x04, 0x04, 0x80, 0x04, 0x01, 0xE0, 0xFF, 0x00, 0x00});
  Script("MAIN.MES", R"(
    SYSCALL 7, "CODE.DAT", 0x30020
    SYSCALL 13, DIM32[0][7] + 0x30020
    SYSCALL 13, DIM32[0][7] + 0x30020
    SYSCALL 13, 0x12345678              ; nowhere: an empty level
    SET_REG16 F, 1                      ; and back here after each
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('E'), 2);
  EXPECT_EQ(R16('F'), 1);
}

TEST_F(SystemCalls, LocalTimeAndInputComparison) {
  Script("MAIN.MES", R"(
    SYSCALL 16
  wait:
    SYSCALL 18, 0, 1                    ; decide pressed?
    IF S32 == 0, pressed
    JUMP wait
  pressed:
    SYSCALL 18, 9, 0
    SET_REG32 A, S32                    ; space is not pressed
    END
  )");
  EXPECT_EQ(Run("40 key down Enter\n"), 0);
  // The headless clock's date.
  EXPECT_EQ(R16('A'), 2000);
  EXPECT_EQ(R16('B'), 1);
  EXPECT_EQ(R16('D'), 1);
  EXPECT_EQ(R16('E'), 12);
  EXPECT_EQ(R32('A'), 1u);
  EXPECT_GE(platform::TickCount(), 40u);
}

}  // namespace
}  // namespace tvx::testing
