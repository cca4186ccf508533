// IF ... ELSE ... ENDIF and WHILE ... ENDWHILE give the bytes of the raw IF and JUMP with
// labels of their own; the raw IF, which has a target, is untouched.
#include <gtest/gtest.h>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::ErrorsOf;
using test::Hex;
using test::JoinLines;

TEST(Blocks, CompileToTheRawJumps) {
  const struct {
    const char* blocks;
    const char* raw;
  } cases[] = {
      {"IF A == 1\n  TEXT \"one\"\nENDIF\nEND", "IF A == 1, fin\n  TEXT \"one\"\nfin: END"},
      {"IF A == 1\n  TEXT \"one\"\nELSE\n  TEXT \"other\"\nENDIF\nEND",
       "IF A == 1, other\n  TEXT \"one\"\n  JUMP fin\nother: TEXT \"other\"\nfin: END"},
      {"WHILE A < 3\n  SET_REG16 A, A + 1\nENDWHILE\nEND",
       "top: IF A < 3, fin\n  SET_REG16 A, A + 1\n  JUMP top\nfin: END"},
      // Nested, and written in lower case like the opcodes may be.
      {"while a < 3\n  if b\n    end\n  else\n    set_reg16 a, a + 1\n  endif\nendwhile\nEND",
       "top: IF A < 3, fin\n  IF B, other\n    END\n    JUMP fi\nother: SET_REG16 A, A + 1\n"
       "fi: JUMP top\nfin: END"},
      // A label before a block keyword stands where the keyword's own code starts.
      {"start: WHILE 1\n  JUMP out\nlx: ENDWHILE\nout: JUMP lx",
       "start: IF 1, fin\n  JUMP out\nlx: JUMP start\nfin:\nout: JUMP lx"},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> expected = AssembleOk(c.raw);
    EXPECT_EQ(Hex(AssembleOk(c.blocks)), Hex(expected)) << c.blocks;
  }
}

TEST(Blocks, UnbalancedBlocksAreErrors) {
  EXPECT_EQ(ErrorsOf("ENDIF\nELSE\nENDWHILE\n"),
            "bad.tvs:1:1: ENDIF without IF\n"
            "bad.tvs:2:1: ELSE without IF\n"
            "bad.tvs:3:1: ENDWHILE without WHILE\n");
  EXPECT_EQ(ErrorsOf("IF 1\nWHILE 1\nENDIF\nENDWHILE\nENDIF\n"),
            "bad.tvs:3:1: ENDIF does not match the WHILE block opened at bad.tvs:2:1 (close it "
            "with ENDWHILE first)\n");
  EXPECT_EQ(ErrorsOf("  IF 1\nELSE\nELSE\nENDIF\n"),
            "bad.tvs:3:1: a second ELSE in the IF block opened at bad.tvs:1:3\n");
  EXPECT_EQ(ErrorsOf("END\n  WHILE A\nIF B\n"),
            "bad.tvs:2:3: WHILE block is never closed (ENDWHILE missing)\n"
            "bad.tvs:3:1: IF block is never closed (ENDIF missing)\n");
  EXPECT_EQ(ErrorsOf("IF\nWHILE 1\nENDWHILE x\n"),
            "bad.tvs:1:3: expected a condition after IF\n"
            "bad.tvs:2:1: WHILE block is never closed (ENDWHILE missing)\n"
            "bad.tvs:3:10: unexpected 'x' after ENDWHILE\n");
}

TEST(Blocks, DeepNestingIsAnError) {
  std::string source;
  for (int i = 0; i < 1000; ++i) source += "IF 1\n";
  const std::string errors = ErrorsOf(source);
  EXPECT_NE(errors.find("bad.tvs:257:1: blocks nest more than 256 deep"), std::string::npos)
      << errors.substr(0, 200);
}

}  // namespace
}  // namespace tvx::mes
