// The expression evaluator as scripts meet it: operator encodings, the logic that compares
// with 1, the stack boxes, and the variable bases.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

using Expressions = ScriptTest;

TEST_F(Expressions, OperatorsAndEncodings) {
  Script("MAIN.MES", R"(
    SET_REG32 A, 5 - 3
    SET_REG32 B, 3 - 5              ; unsigned wrap
    SET_REG32 C, 2 && 1             ; logic compares with 1: 2 is not true
    SET_REG32 D, 1 && 1
    SET_REG32 E, 0 || 1
    SET_REG32 F, 0x1234
    SET_REG32 G, 65536
    SET_REG32 H, RAW(0x90)          ; a byte without meaning pushes itself
    SET_REG32 I, 1 + 2 * 3 - 4 / 2 % 3
    SET_REG32 J, (7 & 6) | (1 ^ 3)
    SET_REG32 K, (3 < 4) + (4 > 3) * 2 + (4 <= 4) * 4 + (5 >= 6) * 8 + (2 == 2) * 16 + (2 != 2) * 32
    SET_REG32 L, 0xFFFFFFFF * 2      ; low 32 bits
    SET_REG32 M, 7 / 0               ; no defined result: 0, not a crash
    SET_REG32 N, 7 % 0
    SET_REG32 O, RANDOM(0)
    SET_REG32 P, RANDOM(10) < 10
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('A'), 2u);
  EXPECT_EQ(R32('B'), 4294967294u);
  EXPECT_EQ(R32('C'), 0u);
  EXPECT_EQ(R32('D'), 1u);
  EXPECT_EQ(R32('E'), 1u);
  EXPECT_EQ(R32('F'), 0x1234u);
  EXPECT_EQ(R32('G'), 65536u);
  EXPECT_EQ(R32('H'), 0x90u);
  EXPECT_EQ(R32('I'), 7u - (4u / 2u % 3u));
  EXPECT_EQ(R32('J'), 6u);
  EXPECT_EQ(R32('K'), 1u + 2 + 4 + 16);
  EXPECT_EQ(R32('L'), 0xFFFFFFFEu);
  EXPECT_EQ(R32('M'), 0u);
  EXPECT_EQ(R32('N'), 0u);
  EXPECT_EQ(R32('O'), 0u);
  EXPECT_EQ(R32('P'), 1u);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(Expressions, VariablesThroughEveryAddressingForm) {
  Script("MAIN.MES", R"(
    SET_REG16 A, 100, 200            ; A and B
    SET_FLAGS 10, 7, 8
    SET_REG16 C, 128 + 10            ; byte array base: the flags
    SET_REG32 A, A + B, FLAG[10] + FLAG[A - 89], BYTE[C][1], DIM16[0][2], DIM16[0][7]
    SET_REG32 F, DIM32[0][1]         ; system pointer 1: the staging offset
    SET_REG16 D, 2180                ; 16-bit array 4 starts at the registers
    SET_REG32 G, DIM16[4][1]         ; = register B
    SET_REG32 H, DIM32[0][0]          ; the variable area's own address
    SET_REG32 I, DIM32[9][3]          ; 32-bit array 9 at the address in I32 (0): nothing there
    SET_REG32 J, R16(25) + R16(26)    ; Z, then the first system word
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('A'), 300u);
  EXPECT_EQ(R32('B'), 15u);  // 7 + 8
  EXPECT_EQ(R32('C'), 8u);
  EXPECT_EQ(R32('D'), 15u);   // system flags after initialisation
  EXPECT_EQ(R32('E'), 640u);  // text window right
  EXPECT_EQ(R32('F'), 0x20000u);
  EXPECT_EQ(R32('G'), 200u);
  EXPECT_EQ(R32('H'), vars().Pointer(0));
  EXPECT_EQ(R32('I'), 0u);
  EXPECT_EQ(R32('J'), 2632u);
}

TEST_F(Expressions, StackBoxes) {
  Script("MAIN.MES", R"(
    SET_REG32 A, RAW()               ; a lone end: nothing on the stack
    SET_REG32 B, RAW(1, 2)           ; 2, with the 1 left over
    SET_REG32 C, 5                   ; the leftover 1 is still there
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('A'), 0u);
  EXPECT_EQ(R32('B'), 2u);
  EXPECT_EQ(R32('C'), 5u);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"堆栈错误 / 在堆栈里什么都没有保存。",
                                               "堆栈错误 / 在堆栈里有数据。",
                                               "堆栈错误 / 在堆栈里有数据。"}));
}

TEST_F(Expressions, AFullStackIsReportedOnceAndKeepsItsBounds) {
  std::string pushes = "RAW(";
  for (int i = 0; i < 1100; ++i) pushes += i ? ", 3" : "3";
  pushes += ")";
  Script("MAIN.MES", "SET_REG32 A, " + pushes + "\nSET_REG16 Z, 9\nEND\n");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('A'), 3u);
  EXPECT_EQ(R16('Z'), 9);  // the variables around the stack are untouched
  const auto boxes = Boxes();
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], "堆栈溢出 / 堆栈缓冲器溢出了");
  EXPECT_EQ(boxes[1], "堆栈错误 / 在堆栈里有数据。");
}

TEST_F(Expressions, AnExpressionWithoutItsEndStopsWhereTheScriptEnds) {
  // The file ends inside an expression: the image after it (zeros, megabytes of them) is not
  // read as the rest of it, so the value is the script's own and the usual box tells.
  auto code = mes::Assemble("SET_REG16 A, RAW(1, 2)\nEND\n", "MAIN.MES").code;
  const auto end_byte = std::find(code.rbegin(), code.rend(), uint8_t{0xFF});
  ASSERT_NE(end_byte, code.rend());
  code.resize(static_cast<size_t>(code.rend() - end_byte) - 1);  // cut before the end byte
  WriteBytes("MAIN.MES", code);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 2);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"堆栈错误 / 在堆栈里有数据。"}));
}

}  // namespace
}  // namespace tvx::testing
