// Macros: a use is replaced by the body with its arguments; labels of the body belong to
// each use; misuse, and macros without end, are errors rather than crashes.
#include <gtest/gtest.h>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::ErrorsOf;
using test::Hex;
using test::JoinLines;

TEST(Macros, ExpandWithTheirArguments) {
  const auto with_macro = AssembleOk(
      ".macro SAY line, wait\n"
      "    TEXT line\n"
      "    SYSCALL 11, wait\n"
      ".endmacro\n"
      ".macro STOP\n"
      "    END\n"
      ".endmacro\n"
      "    SAY \"hello\", 2 + 3\n"
      "    SAY \"a, b\", RAW(1, 2)\n"
      "    STOP\n");
  const auto plain = AssembleOk(
      "TEXT \"hello\"\nSYSCALL 11, (2 + 3)\nTEXT \"a, b\"\nSYSCALL 11, RAW(1, 2)\nEND\n");
  EXPECT_EQ(Hex(with_macro), Hex(plain));
}

TEST(Macros, LabelsOfTheBodyAreOwnedByEachUse) {
  // Two uses of a loop: each jumps back to its own start, and a jump out reaches the label
  // of the file.
  const auto code = AssembleOk(
      ".macro COUNT_TO reg, limit\n"
      "    SET_REG16 reg, 0\n"
      "again:\n"
      "    SET_REG16 reg, reg + 1\n"
      "    IF reg == limit, out\n"
      "    JUMP again\n"
      "out:\n"
      "    IF reg == 99, done\n"
      ".endmacro\n"
      "    COUNT_TO A, 3\n"
      "    COUNT_TO B, 4\n"
      "done: END\n");
  const auto plain = AssembleOk(
      "    SET_REG16 A, 0\n"
      "a1: SET_REG16 A, A + 1\n"
      "    IF A == 3, o1\n"
      "    JUMP a1\n"
      "o1: IF A == 99, done\n"
      "    SET_REG16 B, 0\n"
      "a2: SET_REG16 B, B + 1\n"
      "    IF B == 4, o2\n"
      "    JUMP a2\n"
      "o2: IF B == 99, done\n"
      "done: END\n");
  EXPECT_EQ(Hex(code), Hex(plain));
}

TEST(Macros, ErrorsInABodyNameTheLineOfTheBodyAndTheUse) {
  EXPECT_EQ(ErrorsOf(".macro BAD flag_no\n"
                     "    SET_FLAGS flag_no, 1\n"
                     ".endmacro\n"
                     "BAD 70000\n"),
            "bad.tvs:2:15: the flag number 70000 is out of range (0-65535) (in macro 'BAD' "
            "used at bad.tvs:4)\n");
  EXPECT_EQ(ErrorsOf(".macro Inner flag_no\nSET_FLAGS flag_no, 1\n.endmacro\n"
                     ".macro Outer flag_no\nInner flag_no\n.endmacro\nOuter 70000\n"),
            "bad.tvs:2:11: the flag number 70000 is out of range (0-65535) (in macro 'Inner' "
            "used at bad.tvs:5, in macro 'Outer' used at bad.tvs:7)\n");
  EXPECT_EQ(ErrorsOf(".macro TWO first, second\nEND\n.endmacro\nTWO 1\nTWO 1, , 2\nTWO 1,\n"),
            "bad.tvs:4:1: macro 'TWO' takes 2 argument(s), given 1\n"
            "bad.tvs:5:1: macro 'TWO' takes 2 argument(s), given 3\n"
            "bad.tvs:6:1: argument 2 of macro 'TWO' is empty\n");
  EXPECT_EQ(ErrorsOf(".macro Mac\nEND\n"),
            "bad.tvs:1:1: .macro Mac is never closed (.endmacro missing)\n");
  EXPECT_EQ(ErrorsOf(".endmacro\n"), "bad.tvs:1:1: .endmacro without .macro\n");
  EXPECT_EQ(ErrorsOf(".macro END\n.endmacro\n"),
            "bad.tvs:1:8: macro name 'END' clashes with the opcode END\n");
  EXPECT_EQ(ErrorsOf(".macro Mac A\n.endmacro\nMac\n"),
            // A bad macro is not defined: its uses are unknown opcodes.
            "bad.tvs:1:12: parameter 'A' clashes with a register name\n"
            "bad.tvs:3:1: unknown opcode 'Mac'; hint: a label is followed by ':' (Mac:)\n");
  EXPECT_EQ(ErrorsOf(".macro Mac xx, xx\n.endmacro\n"),
            "bad.tvs:1:16: parameter 'xx' is named twice\n");
  EXPECT_EQ(ErrorsOf(".macro Mac\n.endmacro\n.macro Mac\n.endmacro\n"),
            "bad.tvs:3:8: macro name 'Mac' is already a macro (defined at bad.tvs:1)\n");
  EXPECT_EQ(ErrorsOf(".macro Mac\n.macro Nested\n.endmacro\nEND\n"),
            "bad.tvs:2:1: a macro cannot be defined inside another ('Mac' is still open; "
            ".endmacro missing?)\n");
}

TEST(Macros, RecursionAndRunawayGrowthStopWithAnError) {
  const std::string recursive = ErrorsOf(".macro LOOP\nLOOP\n.endmacro\nLOOP\n");
  EXPECT_NE(recursive.find("macros expand inside each other more than 64 deep (does 'LOOP' "
                           "use itself?)"),
            std::string::npos)
      << recursive;
  // Each level uses the one below ten times: 10^9 lines if nothing stopped it.
  std::string source = ".macro M0\nEND\n.endmacro\n";
  for (int level = 1; level <= 9; ++level) {
    source += ".macro M" + std::to_string(level) + "\n";
    for (int k = 0; k < 10; ++k) source += "M" + std::to_string(level - 1) + "\n";
    source += ".endmacro\n";
  }
  const std::string growth = ErrorsOf(source + "M9\n");
  EXPECT_NE(growth.find("macros expand to more than 200000 lines in all"), std::string::npos)
      << growth.substr(0, 300);
  // Few lines, each with many labels of its own: the tokens are counted too.
  std::string labels = ".macro L0\n";
  for (int k = 0; k < 5000; ++k) labels += "l" + std::to_string(k) + ": ";
  labels += "\n.endmacro\n";
  for (int level = 1; level <= 4; ++level) {
    labels += ".macro L" + std::to_string(level) + "\n";
    for (int k = 0; k < 10; ++k) labels += "L" + std::to_string(level - 1) + "\n";
    labels += ".endmacro\n";
  }
  const std::string tokens = ErrorsOf(labels + "L4\nJUMP 0\n");
  EXPECT_NE(tokens.find("macros expand to more than 2000000 tokens in all"), std::string::npos)
      << tokens.substr(0, 300);
  // An argument that doubles at each level of use meets the bound of a line.
  std::string doubling = ".macro Dbl0 arg\nSYSCALL arg\n.endmacro\n";
  for (int level = 1; level <= 40; ++level) {
    doubling += ".macro Dbl" + std::to_string(level) + " arg\nDbl" + std::to_string(level - 1) +
                " arg + arg\n.endmacro\n";
  }
  const std::string long_line = ErrorsOf(doubling + "Dbl40 1\n");
  EXPECT_NE(long_line.find("the line grows too long"), std::string::npos)
      << long_line.substr(0, 300);
}

}  // namespace
}  // namespace tvx::mes
