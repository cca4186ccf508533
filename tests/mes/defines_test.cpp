// .define: named constants and register aliases give the same bytes as the numbers and
// registers they stand for.
#include <gtest/gtest.h>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::ErrorsOf;
using test::Hex;
using test::JoinLines;

TEST(Defines, StandForNumbersExpressionsAndRegisters) {
  const struct {
    const char* with_names;
    const char* plain;
  } cases[] = {
      {".define hero_hp A\nSET_REG16 hero_hp, 5", "SET_REG16 A, 5"},
      {".define gold B32\nSET_REG32 gold, gold + 1", "SET_REG32 B32, B32 + 1"},
      // A value of several tokens keeps its own grouping: 2 * (1 + 2), not 2 * 1 + 2.
      {".define three 1 + 2\nSYSCALL 2 * three", "SYSCALL 2 * (1 + 2)"},
      {".define seen 300\nSET_FLAGS seen, 1\nIF FLAG[seen] == 1, fin\nfin: END",
       "SET_FLAGS 300, 1\nIF FLAG[300] == 1, fin\nfin: END"},
      {".define page 4\n.define next page + 1\nSET_FLAGS next, next", "SET_FLAGS 5, 4 + 1"},
      {".define title \"TITLE.MES\"\nLOAD_SCRIPT title", "LOAD_SCRIPT \"TITLE.MES\""},
      {".define start top\ntop: JUMP start", "top: JUMP top"},
      // Names are the writer's own: case matters, as for labels.
      {".define Max 9\n.define max 8\nSYSCALL Max, max", "SYSCALL 9, 8"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(AssembleOk(c.with_names)), Hex(AssembleOk(c.plain))) << c.with_names;
  }
}

TEST(Defines, BadDefinitionsAndUnknownNamesAreErrors) {
  EXPECT_EQ(ErrorsOf(".define speed 1\n.define speed 2\n"),
            "bad.tvs:2:9: 'speed' is already defined (at bad.tvs:1)\n");
  EXPECT_EQ(ErrorsOf(".define A 1\n"), "bad.tvs:1:9: 'A' clashes with a register name\n");
  EXPECT_EQ(ErrorsOf(".define jump 1\n"), "bad.tvs:1:9: 'jump' clashes with the opcode JUMP\n");
  EXPECT_EQ(ErrorsOf(".define endif 1\n"),
            "bad.tvs:1:9: 'endif' clashes with the block keyword endif\n");
  EXPECT_EQ(ErrorsOf(".define speed\n"),
            "bad.tvs:1:14: expected a value after the name in .define\n");
  EXPECT_EQ(ErrorsOf(".define 5 1\n"), "bad.tvs:1:9: expected a name after .define, found '5'\n");
  EXPECT_EQ(ErrorsOf(".define speed 1\nspeed: END\n"),
            "bad.tvs:2:1: label 'speed' clashes with the name defined at bad.tvs:1\n");
  EXPECT_EQ(ErrorsOf("SYSCALL hp\n"),
            "bad.tvs:1:9: unknown name 'hp' in an expression (registers are A-Z and A32-Z32); "
            "hint: a name is given a value with .define NAME value\n");
  // Used before its definition: not yet a name.
  EXPECT_NE(ErrorsOf("SYSCALL hp\n.define hp 1\n").find("unknown name 'hp'"), std::string::npos);
  EXPECT_EQ(ErrorsOf(".defne speed 1\n"),
            "bad.tvs:1:1: unknown directive '.defne' (there are .define, .include, .macro and "
            ".endmacro)\n");
  // An alias of a 32-bit register where a 16-bit one is wanted.
  EXPECT_EQ(ErrorsOf(".define gold B32\nSET_REG16 gold, 1\n"),
            "bad.tvs:2:11: expected a 16-bit register name (A-Z) here, found 'B32'\n");
}

TEST(Defines, ValuesThatDoubleAtEachStepStopWithAnError) {
  std::string source = ".define n0 1 + 1\n";
  for (int i = 1; i < 30; ++i) {
    source += ".define n" + std::to_string(i) + " n" + std::to_string(i - 1) + " + n" +
              std::to_string(i - 1) + "\n";
  }
  const std::string errors = ErrorsOf(source + "SYSCALL n29\n");
  EXPECT_NE(errors.find("grows too long through the names it uses"), std::string::npos) << errors;
}

}  // namespace
}  // namespace tvx::mes
