// Exact bytes for every instruction and expression form.
#include <gtest/gtest.h>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::Hex;

struct Case {
  const char* source;
  const char* bytes;
};

// The expression code of `expression`, end byte included: SYSCALL puts it between its
// opcode and the empty parameter list.
std::string ExpressionCode(const std::string& expression) {
  std::vector<uint8_t> code = AssembleOk("SYSCALL " + expression);
  if (code.size() < 2) return "(nothing)";
  return Hex(std::vector<uint8_t>(code.begin() + 1, code.end() - 1));
}

TEST(AssemblerExpressions, Constants) {
  const Case cases[] = {
      {"0", "00 FF"},
      {"127", "7F FF"},
      {"128", "F1 80 00 FF"},  // 0x80 reads a register
      {"0x81", "81 FF"},       // pushes itself
      {"0x90", "90 FF"},
      {"0x9F", "9F FF"},
      {"0xA0", "F1 A0 00 FF"},
      {"0xA1", "A1 FF"},
      {"0xC0", "F1 C0 00 FF"},
      {"0xC1", "C1 FF"},
      {"0xDF", "DF FF"},
      {"0xE0", "F1 E0 00 FF"},
      {"0xF6", "F1 F6 00 FF"},
      {"0xF7", "F7 FF"},
      {"0XFE", "FE FF"},
      {"255", "F1 FF 00 FF"},
      {"256", "F1 00 01 FF"},
      {"65535", "F1 FF FF FF"},
      {"65536", "F2 00 00 01 00 FF"},
      {"4294967295", "F2 FF FF FF FF FF"},
      {"0x12345678", "F2 78 56 34 12 FF"},
      {"007", "07 FF"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpressionCode(c.source), c.bytes) << c.source;
}

TEST(AssemblerExpressions, VariablesAndArrays) {
  const Case cases[] = {
      {"A", "80 00 FF"},
      {"z", "80 19 FF"},
      {"A32", "F6 00 FF"},
      {"z32", "F6 19 FF"},
      {"R16(200)", "80 C8 FF"},
      {"R32(26)", "F6 1A FF"},
      {"R32", "F6 11 FF"},  // register R of the 32-bit bank
      {"R32 + R32(0)", "F6 11 F6 00 E0 FF"},
      {"r16(2 * 3)", "80 06 FF"},  // a constant operand may be computed
      {"FLAG[10]", "F3 0A 00 FF"},
      {"FLAG[(300)]", "F3 2C 01 FF"},
      {"FLAG[65535]", "F3 FF FF FF"},
      {"FLAG[65536]", "F2 00 00 01 00 F4 FF"},
      {"FLAG[A]", "80 00 F4 FF"},
      {"flag[1 + 2]", "01 02 E0 F4 FF"},  // no folding: only a plain number is fixed
      {"DIM16[0][7]", "07 A0 00 FF"},
      {"DIM16[255][B]", "80 01 A0 FF FF"},
      {"DIM32[3][B]", "80 01 F5 03 FF"},
      {"BYTE[C][2]", "02 C0 02 FF"},
      {"BYTE[30][2]", "02 C0 1E FF"},
      {"RANDOM(6)", "06 E5 FF"},
      {"RANDOM(A + 1)", "80 00 01 E0 E5 FF"},
      {"RAW(1, 2, 0xE0)", "01 02 E0 FF"},
      {"RAW()", "FF"},
      {"RAW(0x90) + 1", "90 01 E0 FF"},
      {"FLAG[RAW(5)]", "05 F4 FF"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpressionCode(c.source), c.bytes) << c.source;
}

TEST(AssemblerExpressions, Operators) {
  const Case cases[] = {
      {"1 + 2", "01 02 E0 FF"},
      {"1 - 2", "01 02 E1 FF"},
      {"1 * 2", "01 02 E2 FF"},
      {"1 / 2", "01 02 E3 FF"},
      {"1 % 2", "01 02 E4 FF"},
      {"1 && 2", "01 02 E6 FF"},
      {"1 || 2", "01 02 E7 FF"},
      {"1 & 2", "01 02 E8 FF"},
      {"1 | 2", "01 02 E9 FF"},
      {"1 ^ 2", "01 02 EA FF"},
      {"1 < 2", "01 02 EB FF"},
      {"1 > 2", "01 02 EC FF"},
      {"1 <= 2", "01 02 ED FF"},
      {"1 >= 2", "01 02 EE FF"},
      {"1 == 2", "01 02 EF FF"},
      {"1 != 2", "01 02 F0 FF"},
      {"5 - 3", "05 03 E1 FF"},
      {"2 && 1", "02 01 E6 FF"},
      {"2+3", "02 03 E0 FF"},  // no constant folding
      {"-5", "00 05 E1 FF"},
      {"!A", "80 00 00 EF FF"},
      {"- -A", "00 00 80 00 E1 E1 FF"},
      {"-A * 2", "00 80 00 E1 02 E2 FF"},
      {"!(1 < 2)", "01 02 EB 00 EF FF"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpressionCode(c.source), c.bytes) << c.source;
}

TEST(AssemblerExpressions, PrecedenceAndAssociativity) {
  const Case cases[] = {
      {"1+2*3", "01 02 03 E2 E0 FF"},
      {"(1+2)*3", "01 02 E0 03 E2 FF"},
      {"10 - 4 - 3", "0A 04 E1 03 E1 FF"},
      {"10 - (4 - 3)", "0A 04 03 E1 E1 FF"},
      {"8 / 4 % 3 * 2", "08 04 E3 03 E4 02 E2 FF"},
      {"1 < 2 + 3", "01 02 03 E0 EB FF"},
      {"1 == 2 < 3", "01 02 03 EB EF FF"},
      {"1 & 2 == 3", "01 02 03 EF E8 FF"},
      {"1 ^ 2 & 3", "01 02 03 E8 EA FF"},
      {"1 | 2 ^ 3", "01 02 03 EA E9 FF"},
      {"1 && 2 | 3", "01 02 03 E9 E6 FF"},
      {"1 || 2 && 3", "01 02 03 E6 E7 FF"},
      {"1 && 2 || 3 && 4", "01 02 E6 03 04 E6 E7 FF"},
      {"A == 1 && FLAG[3] != 0", "80 00 01 EF F3 03 00 00 F0 E6 FF"},
      {"((((7))))", "07 FF"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpressionCode(c.source), c.bytes) << c.source;
}

TEST(AssemblerInstructions, EveryOpcode) {
  const Case cases[] = {
      {"END", "00"},
      {"TEXT \"Hi\"", "01 48 69 00"},
      {"TEXT \"\"", "01 00"},
      {"TEXT \"你好\"", "01 C4 E3 BA C3 00"},
      {"TEXT_HALF \"a\\\"b\\\\c\\nd\\x7f\"", "02 61 22 62 5C 63 0A 64 7F 00"},
      {"SET_FLAGS 10, 1, 2", "03 0A 00 01 FF 01 02 FF 00"},
      {"SET_FLAGS 0x1234, A", "03 34 12 80 00 FF 00"},
      {"SET_REG16 C, 5", "04 02 05 FF 00"},
      {"SET_REG16 200, 5, 6", "04 C8 05 FF 01 06 FF 00"},
      {"SET_FLAGS_AT A, 1", "05 80 00 FF 01 FF 00"},
      {"SET_BYTES 4, D, 1, 2", "06 04 FF 03 01 FF 01 02 FF 00"},
      {"SET_DIM16 0, 2, 9", "07 00 FF 02 09 FF 00"},
      {"SET_DIM32 1, 0, 128", "08 01 FF 00 F1 80 00 FF 00"},
      {"IF A == 1, 0x20", "09 80 00 01 EF FF 20 00 00 00"},
      {"JUMP 0x12345678", "0A 78 56 34 12"},
      {"SYSCALL 16", "0B 10 FF 00"},
      {"SYSCALL 4, 1, 1", "0B 04 FF 02 01 FF 02 01 FF 00"},
      {"SYSCALL 5, 0, \"BGM.WAV\"", "0B 05 FF 02 00 FF 01 42 47 4D 2E 57 41 56 00 00"},
      {"LOAD_SCRIPT \"A.MES\"", "0C 01 41 2E 4D 45 53 00 00"},
      {"LOAD_SCRIPT", "0C 00"},
      {"CALL_SCRIPT \"B\", 2", "0D 01 42 00 02 02 FF 00"},
      {"MENU_ITEM 0x40, 3", "0E 02 03 FF 00 40 00 00 00"},
      {"MENU_ITEM 0x40", "0E 00 40 00 00 00"},
      {"CALL_PROC 33", "0F 02 21 FF 00"},
      {"EFFECT 7, 40", "10 02 07 FF 02 28 FF 00"},
      {"EFFECT KIND(7)", "10 07 00"},
      {"EFFECT 1, KIND(255), \"x\"", "10 02 01 FF FF 01 78 00 00"},
      {"NEWLINE", "11 00"},
      {"NEWLINE 1", "11 01"},
      {"DEFINE_PROC 32, 0x10", "12 20 FF 10 00 00 00"},
      {"MENU_RUN", "13"},
      {"SET_REG32 B, 70000", "14 01 F2 70 11 01 00 FF 00"},
      {"SET_REG32 B32, 1", "14 01 01 FF 00"},
      {"\"你好\"", "C4 E3 BA C3 00"},
      {"\"\\x81\\x40a\"", "81 40 61 00"},
      {"DB 1, 0xFF, \"A\\x00\", 2 + 3", "01 FF 41 00 05"},
      {"jump 5", "0A 05 00 00 00"},
      {"Set_Flags 1, 1", "03 01 00 01 FF 00"},
      {"  END  ; a comment with \"quotes\" and ; more", "00"},
  };
  for (const Case& c : cases) EXPECT_EQ(Hex(AssembleOk(c.source)), c.bytes) << c.source;
}

TEST(AssemblerInstructions, LabelsResolveForwardAndBackward) {
  const auto code = AssembleOk(
      "start:\n"
      "    JUMP done           ; 0: forward\n"
      "    TEXT \"x\"            ; 5\n"
      "done: IF A, start      ; 8: label and instruction on one line\n"
      "menu:\r\n"  // CRLF line ends are fine
      "    MENU_ITEM menu, 1   ; 16: the target comes first in the source\n"
      "    DEFINE_PROC 32, start\n"
      "last:\n");
  EXPECT_EQ(Hex(code),
            "0A 08 00 00 00 "
            "01 78 00 "
            "09 80 00 FF 00 00 00 00 "
            "0E 02 01 FF 00 10 00 00 00 "
            "12 20 FF 00 00 00 00");
}

TEST(AssemblerInstructions, SourceTextForms) {
  // A byte order mark, blank lines, tabs and several labels before one instruction.
  EXPECT_EQ(Hex(AssembleOk("\xEF\xBB\xBF\n\n\tone: two:\tJUMP two\n")), "0A 00 00 00 00");
  EXPECT_EQ(Hex(AssembleOk("")), "");
  EXPECT_EQ(Hex(AssembleOk("; only a comment")), "");
  // Labels are case-sensitive.
  EXPECT_EQ(Hex(AssembleOk("Loop: END\nloop: JUMP Loop\n")), "00 0A 00 00 00 00");
}

}  // namespace
}  // namespace tvx::mes
