// Saving and loading the game: whole saves that restart the saved script, variables only,
// merged flags, the two blocks exchanged on their own, and damaged save files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

using Saves = ScriptTest;

TEST_F(Saves, ALoadedGameRestartsTheSavedScriptWithItsVariables) {
  WriteSettings("[Config]\nDUNGEON=2\n");
  Script("MAIN.MES", R"(
    IF FLAG[1] == 1, first
    SET_REG16 D, A + 1                  ; after the load: A is 5 again
    SET_REG32 P, DIM32[0][0], DIM32[0][7]
    END
first:
    SET_FLAGS 1, 1
    SET_REG16 A, 5, 0                   ; A, and B cleared
    SET_REG16 W, 77                     ; the saved W is not what a load brings back
    SYSCALL 4, 1, 1                     ; save into FLAG01
    SET_REG16 A, 9, 7
    SYSCALL 4, 0, 1                     ; load it: restart at byte 0
    SET_REG16 C, 99                     ; never
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('D'), 6);
  EXPECT_EQ(R16('B'), 0);
  EXPECT_EQ(R16('C'), 0);
  EXPECT_EQ(R16('W'), 40);  // the current DUNGEON setting × 20
  EXPECT_EQ(R32('P'), vars().Pointer(0));
  EXPECT_EQ(R32('Q'), vars().Pointer(7));
  EXPECT_EQ(std::filesystem::file_size("FLAG01"), 4096u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Saves, VariablesOnlyFlagsAndBlocks) {
  Script("MAIN.MES", R"(
    SET_REG16 A, 1
    SET_FLAGS 3, 1
    SET_DIM32 11, 0, 0x1111             ; in the block 2432-2631
    SYSCALL 4, 1, 2                     ; save into FLAG02
    SET_REG16 A, 2
    SET_FLAGS 3, 0, 1                   ; flag 3 off, flag 4 on
    SET_DIM32 11, 0, 0x2222
    SYSCALL 4, 3, 2                     ; merge: the file gets flag 4 too and keeps flag 3
    SYSCALL 4, 5, 2                     ; the file's block becomes 0x2222
    SET_DIM32 11, 0, 0x3333
    SYSCALL 4, 4, 2                     ; and comes back into the variables
    SET_REG16 R, 4096                   ; a byte array over the image, which loads leave alone
    SET_BYTES 0x30000, R, DIM32[0][11] == 0x2222
    SYSCALL 4, 2, 2                     ; variables only: the script goes on here
    SET_REG32 B, FLAG[3] + FLAG[4] * 2 + A * 4
    SET_REG32 D, DIM32[0][11]
    SYSCALL 4, 6                        ; clear all flags
    SET_REG32 C, FLAG[3] + FLAG[4]
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(vars().image()[0x30000], 1);  // block 4 read back 0x2222
  EXPECT_EQ(R32('B'), 1u + 2u + 4u);      // flags merged, A from the file
  EXPECT_EQ(R32('D'), 0x2222u);
  EXPECT_EQ(R32('C'), 0u);
  EXPECT_EQ(R16('A'), 1);
  EXPECT_EQ(vars().ScriptName(), "MAIN.MES");
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Saves, DamagedOrMissingSavesChangeNothing) {
  std::ofstream("FLAG03", std::ios::binary) << "short";
  Script("MAIN.MES", R"(
    SET_REG16 A, 1
    SYSCALL 4, 0, 3                     ; too short to be a save: nothing happens
    SYSCALL 4, 2, 3
    SYSCALL 4, 0, 4                     ; no such save
    SET_REG16 B, 2                      ; the script goes on
    SYSCALL 4, 3, 5                     ; merging into a save not made yet creates it
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 1);
  EXPECT_EQ(R16('B'), 2);
  EXPECT_EQ(Boxes(),
            (std::vector<std::string>{"文件的读取失败了。 / FLAG03", "文件的读取失败了。 / FLAG03",
                                      "文件打开错误 / FLAG04"}));
  EXPECT_EQ(std::filesystem::file_size("FLAG03"), 5u);  // the player's file is left alone
  EXPECT_EQ(std::filesystem::file_size("FLAG05"), 4096u);
}

TEST_F(Saves, SlotEightSharesItsBlockAndFlag) {
  Script("MAIN.MES", R"(
    SET_FLAGS 981, 1
    SET_DIM32 186, 0, 0xABCD            ; byte 3132 onwards
    EFFECT 4                            ; slot 8 gets the block (and is created)
    SET_DIM32 186, 0, 0
    SET_FLAGS 981, 0
    EFFECT 3                            ; the block comes back
    EFFECT 14                           ; and flag 981
    SET_REG32 A, DIM32[0][186]
    SET_REG32 B, FLAG[981]
    EFFECT 11
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('A'), 0xABCDu);
  EXPECT_EQ(R32('B'), 1u);
  EXPECT_EQ(system_->shared().interfaceSounds, 1u);
  EXPECT_TRUE(std::filesystem::exists("FLAG08"));
}

}  // namespace
}  // namespace tvx::testing
