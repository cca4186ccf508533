// One line for the command prompt: the same code as in a file, and a refusal, with the column
// of the culprit, for whatever cannot run as one straight line at the prompt.
#include "tools/mes/line_assembler.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::Hex;

TEST(LineAssembler, OneInstructionAssemblesAsInAFile) {
  for (const std::string line :
       {"SET_REG16 A, 41", "  text \"你好\"  ; greeting", "SYSCALL 4, 1, 1",
        "SET_FLAGS 100, FLAG[7] + 1", "END", "DB 4, 0, 5, 0xFF, 0"}) {
    const LineAssembly result = AssembleLine(line);
    ASSERT_TRUE(result.ok()) << line << ": " << result.error;
    EXPECT_EQ(Hex(result.code), Hex(Assemble(line, "t").code)) << line;
  }
  // Nothing to run: a blank line or a comment.
  for (const std::string line : {"", "   ", "; just a note"}) {
    const LineAssembly result = AssembleLine(line);
    EXPECT_TRUE(result.ok() && result.code.empty()) << line;
  }
}

TEST(LineAssembler, WhatCannotRunAtThePromptIsRefusedWithItsColumn) {
  struct Case {
    std::string line;
    size_t column;
    std::string says;
  };
  const Case cases[] = {
      {"SET_REG61 A, 1", 1, "unknown opcode 'SET_REG61'"},
      {"SET_REG16 A, 1 +", 17, ""},
      {"here: SET_REG16 A, 1", 1, "no labels"},
      {"JUMP 0", 1, "JUMP has a jump target"},
      {"  IF A == 1, 0", 3, "IF has a jump target"},
      {"JUMP there", 6, "no labels to jump to"},
      {"DEFINE_PROC 5, 0", 1, "DEFINE_PROC has a jump target"},
      {"MENU_ITEM 0, 1", 1, "MENU_ITEM has a jump target"},
      {"DB 0x15", 1, "0x15 is no instruction"},
      {"DB 0, 0xFF", 1, "0xFF is no instruction"},
      {"DB 10, 0", 1, "JUMP has a jump target"},
      {"DB 3, 1", 1, "the bytes end inside an instruction"},
      {"TEXT \"unended", 6, ""},
      {"SET_REG16 A, 1\nJUMP 0", 15, "one line"},
  };
  for (const Case& c : cases) {
    const LineAssembly result = AssembleLine(c.line);
    EXPECT_FALSE(result.ok()) << c.line;
    EXPECT_TRUE(result.code.empty()) << c.line;
    EXPECT_EQ(result.column, c.column) << c.line << ": " << result.error;
    EXPECT_NE(result.error.find(c.says), std::string::npos) << c.line << ": " << result.error;
  }
  // Columns count characters, not bytes.
  EXPECT_EQ(AssembleLine("TEXT \"你好\", 3").column, 10u);  // the comma
}

}  // namespace
}  // namespace tvx::mes
