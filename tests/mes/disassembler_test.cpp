// What the disassembler writes for particular bytes; every case also assembles back.
#include <gtest/gtest.h>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::BodyLines;
using test::DisassembleChecked;
using test::Unhex;
using Lines = std::vector<std::string>;

Lines BodyOf(std::string_view hex) {
  return BodyLines(DisassembleChecked(Unhex(hex)));
}

TEST(Disassembler, WritesAHeaderAndIndentedInstructions) {
  const std::string text = DisassembleChecked(Unhex("13 00"));
  EXPECT_EQ(text.rfind(";", 0), 0u) << text;  // starts with a comment
  EXPECT_NE(text.find("2 bytes"), std::string::npos) << text;
  EXPECT_NE(text.find("\n    MENU_RUN\n    END\n"), std::string::npos) << text;
  EXPECT_EQ(BodyOf(""), Lines{});
}

TEST(Disassembler, CanonicalInstructions) {
  const struct {
    const char* hex;
    Lines lines;
  } cases[] = {
      {"03 0A 00 01 FF 01 02 FF 00", {"SET_FLAGS 10, 1, 2"}},
      {"04 02 05 FF 00", {"SET_REG16 C, 5"}},
      {"04 C8 05 FF 00", {"SET_REG16 200, 5"}},
      {"14 19 F6 1A FF 00", {"SET_REG32 Z, R32(26)"}},
      {"06 04 FF 1A 80 1A FF 00", {"SET_BYTES 4, 26, R16(26)"}},
      {"07 00 FF 02 09 FF 00", {"SET_DIM16 0, 2, 9"}},
      {"0B 10 FF 00", {"SYSCALL 16"}},
      {"0B 04 FF 02 01 FF 02 01 FF 00", {"SYSCALL 4, 1, 1"}},
      {"10 07 02 03 FF 01 41 00 00", {"EFFECT KIND(7), 3, \"A\""}},
      {"0C 00", {"LOAD_SCRIPT"}},
      {"11 00 11 05", {"NEWLINE", "NEWLINE 5"}},
      {"0E 02 03 FF 00 00 00 00 00 00", {"L_0000:", "MENU_ITEM L_0000, 3", "END"}},
      {"12 20 FF 78 56 34 12", {"DEFINE_PROC 32, 0x12345678"}},
      {"01 C4 E3 22 5C 0A 09 FF 00", {"TEXT \"你\\\"\\\\\\n\\x09\\xFF\""}},
      {"02 81 30 00", {"TEXT_HALF \"\\x810\""}},  // not a GBK pair
      {"C4 E3 BA C3 00", {"\"你好\""}},
      {"81 40 00", {"\"丂\""}},
  };
  for (const auto& c : cases) EXPECT_EQ(BodyOf(c.hex), c.lines) << c.hex;
}

TEST(Disassembler, ExpressionsNeedOnlyTheirParentheses) {
  const struct {
    const char* source;
    const char* line;
  } cases[] = {
      {"SYSCALL (1 + 2) * 3", "SYSCALL (1 + 2) * 3"},
      {"SYSCALL 10 - (4 - 3)", "SYSCALL 10 - (4 - 3)"},
      {"SYSCALL 10-4-3", "SYSCALL 10 - 4 - 3"},
      {"SYSCALL (((1 + 2*3)))", "SYSCALL 1 + 2 * 3"},
      {"SYSCALL -A * -(B + 1)", "SYSCALL -A * -(B + 1)"},
      {"SYSCALL - -5", "SYSCALL -(-5)"},
      {"SYSCALL !A", "SYSCALL A == 0"},
      {"SYSCALL FLAG[A + 1] || FLAG[7] && FLAG[0x10000]",
       "SYSCALL FLAG[A + 1] || FLAG[7] && FLAG[0x10000]"},
      {"SYSCALL DIM16[1][RANDOM(3)] & BYTE[z][2] ^ DIM32[0][a32]",
       "SYSCALL DIM16[1][RANDOM(3)] & BYTE[Z][2] ^ DIM32[0][A32]"},
      {"SYSCALL (1 < 2) == (3 < 4)", "SYSCALL 1 < 2 == 3 < 4"},
      {"SYSCALL 1 == (2 == 3)", "SYSCALL 1 == (2 == 3)"},
      {"SYSCALL (1 || 2) && 3", "SYSCALL (1 || 2) && 3"},
      {"SYSCALL 128 + 65536", "SYSCALL 128 + 0x10000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BodyLines(DisassembleChecked(AssembleOk(c.source))), Lines{c.line}) << c.source;
  }
}

TEST(Disassembler, RawForExpressionsTheAssemblerWritesDifferently) {
  const struct {
    const char* hex;
    const char* line;
  } cases[] = {
      {"0B F1 05 00 FF 00", "SYSCALL RAW(0xF1, 0x05, 0x00)"},  // long constant
      {"0B F2 00 01 00 00 FF 00", "SYSCALL RAW(0xF2, 0x00, 0x01, 0x00, 0x00)"},
      {"0B 05 F4 FF 00", "SYSCALL RAW(0x05, 0xF4)"},  // FLAG[5] has its own code
      {"0B E0 FF 00", "SYSCALL RAW(0xE0)"},           // underflow
      {"0B 01 02 FF 00", "SYSCALL RAW(0x01, 0x02)"},  // leftover entry
      {"0B FF 00", "SYSCALL RAW()"},                  // nothing at all
      {"0B 80 FF FF 00", "SYSCALL R16(255)"},         // an operand byte 0xFF does not end it
      {"0B 02 FF 02 80 FF 80 FF FF 02 01 FF 00", "SYSCALL 2, RAW(0x80, 0xFF, 0x80, 0xFF), 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(BodyOf(c.hex), Lines{c.line}) << c.hex;
}

TEST(Disassembler, DeepExpressionsBecomeRaw) {
  std::string source = "SYSCALL 1";
  for (int i = 0; i < 100; ++i) source += " + 1";
  const std::string text = DisassembleChecked(AssembleOk(source));
  EXPECT_NE(text.find("SYSCALL RAW(0x01, 0x01, 0xE0, 0x01, 0xE0"), std::string::npos) << text;
  source = "SYSCALL 1";
  for (int i = 0; i < 20; ++i) source += " + 1";
  EXPECT_EQ(BodyLines(DisassembleChecked(AssembleOk(source))), Lines{source});
}

TEST(Disassembler, DataForWhatNoInstructionWrites) {
  // Undefined opcode bytes, grouped, then the instruction after them.
  EXPECT_EQ(BodyOf("15 16 80 FF 00"), (Lines{"DB 0x15, 0x16, 0x80, 0xFF  ; not an opcode", "END"}));
  // A list separator other than 0x01.
  EXPECT_EQ(BodyOf("03 00 00 01 FF 02 02 FF 00 13"),
            (Lines{"DB 0x03, 0x00, 0x00, 0x01, 0xFF, 0x02, 0x02, 0xFF, 0x00  ; SET_FLAGS with "
                   "list separator 0x02",
                   "MENU_RUN"}));
  // Cut off by the end of the file: the instruction, a text run, an expression.
  EXPECT_EQ(BodyOf("00 0A 01 02"),
            (Lines{"END", "DB 0x0A, 0x01, 0x02  ; JUMP cut off by the end of the file"}));
  EXPECT_EQ(BodyOf("C4 E3"), (Lines{"DB 0xC4, 0xE3  ; text without its closing 0x00"}));
  EXPECT_EQ(BodyOf("0B 01 F1 FF"), (Lines{"DB 0x0B, 0x01, 0xF1, 0xFF  ; SYSCALL cut off by the "
                                          "end of the file"}));
  // Long stretches are split into lines of 16 bytes.
  EXPECT_EQ(BodyOf("20 21 22 23 24 25 26 27 28 29 2A 2B 2C 2D 2E 2F 30 31"),
            (Lines{"DB 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, "
                   "0x2C, 0x2D, 0x2E, 0x2F  ; not an opcode",
                   "DB 0x30, 0x31"}));
}

TEST(Disassembler, LabelsWhereTargetsMeetLineStarts) {
  const std::string text =
      DisassembleChecked(AssembleOk("top:  JUMP next\n"
                                    "      JUMP 2\n"  // into the middle of the first JUMP: a number
                                    "next: IF 1, top\n"
                                    "      JUMP 0x7FFFFFFF\n"  // beyond the file
                                    "      JUMP bottom\n"
                                    "bottom:\n"));
  EXPECT_EQ(BodyLines(text), (Lines{"L_0000:", "JUMP L_000A", "JUMP 2", "L_000A:", "IF 1, L_0000",
                                    "JUMP 0x7FFFFFFF", "JUMP L_001B", "L_001B:"}));
}

TEST(Disassembler, DataIsCutAtTargetsSoTheyGetLabels) {
  // JUMP 7 lands on the third undefined byte.
  EXPECT_EQ(BodyOf("0A 07 00 00 00 20 21 22 23"),
            (Lines{"JUMP L_0007", "DB 0x20, 0x21  ; not an opcode", "L_0007:", "DB 0x22, 0x23"}));
}

}  // namespace
}  // namespace tvx::mes
