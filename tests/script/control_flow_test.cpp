// Commands that move the program counter: IF, JUMP, procedures, script calls and loads, and
// the restart that unwinds every nested level.
#include <gtest/gtest.h>

#include "tests/script/script_fixture.h"

namespace tvx::testing {
namespace {

using ControlFlow = ScriptTest;

TEST_F(ControlFlow, OnlyOneIsTrueAndStoresRunOn) {
  Script("MAIN.MES", R"(
    IF 2, skipped                     ; 2 is not true: jump
    SET_REG16 A, 1
skipped:
    IF 1, fell_through
    SET_REG16 B, 1                    ; reached: 1 is true
fell_through:
    SET_REG16 Z, 5, 6, 7              ; Z, then system words 0 and 1
    NEWLINE 1                         ; changes nothing
    SET_REG16 Y, 0
loop:
    SET_REG16 Y, Y + 1
    IF Y < 10, done
    JUMP loop
done:
    END
    SET_REG16 X, 99                   ; after END: never runs
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 0);
  EXPECT_EQ(R16('B'), 1);
  EXPECT_EQ(R16('Z'), 5);
  EXPECT_EQ(vars().Word(kWordInit), 6);
  EXPECT_EQ(vars().Word(kWordTargetPlane), 7);
  EXPECT_EQ(vars().Word(kWordCursorX), 0);
  EXPECT_EQ(R16('Y'), 10);
  EXPECT_EQ(R16('X'), 0);
}

TEST_F(ControlFlow, ProceduresAndRedefinition) {
  Script("MAIN.MES", R"(
    DEFINE_PROC 5, after5
    SET_REG16 A, A + 1
    END
after5:
    CALL_PROC 5
    CALL_PROC 5
    DEFINE_PROC 5, after5b            ; a later definition replaces the first
    SET_REG16 A, A + 100
    END
after5b:
    CALL_PROC 5
    CALL_PROC 150                     ; no such procedure: nothing happens
    CALL_PROC 7                       ; never defined: an empty level
    SET_REG16 B, 1
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 102);
  EXPECT_EQ(R16('B'), 1);
  EXPECT_EQ(system_->interpreter().nestingDepth(), 0);
}

TEST_F(ControlFlow, CallScriptComesBackToTheCaller) {
  Script("MAIN.MES", R"(
    SET_REG16 A, 1
    CALL_SCRIPT "SUB.MES"
    SET_REG16 C, A + B                ; the caller goes on after its call
    END
  )");
  Script("SUB.MES", R"(
    SET_REG16 B, 10
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('C'), 11);
  EXPECT_EQ(vars().ScriptName(), "MAIN.MES");
  EXPECT_EQ(system_->interpreter().callDepth(), 0);
  EXPECT_EQ(system_->nowFileNames[1], "MAIN.MES");
}

TEST_F(ControlFlow, LoadScriptUnwindsEveryLevelToTheNewScript) {
  Script("MAIN.MES", R"(
    CALL_SCRIPT "SUB.MES"
    SET_FLAGS 1, 1                    ; never: the call does not come back
    END
  )");
  Script("SUB.MES", R"(
    DEFINE_PROC 2, body
    LOAD_SCRIPT "NEXT.MES"
    END
body:
    CALL_PROC 2
    SET_FLAGS 2, 1                    ; never
    END
  )");
  Script("NEXT.MES", R"(
    SET_REG16 A, A + 1                ; runs once, from byte 0, at the outermost level
    SET_REG16 D, DIM16[0][2] & 0x10   ; the restart bit is clear again
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 1);
  EXPECT_EQ(R16('D'), 0);
  EXPECT_EQ(vars().Flag(1), 0);
  EXPECT_EQ(vars().Flag(2), 0);
  EXPECT_EQ(vars().ScriptName(), "NEXT.MES");
  EXPECT_EQ(system_->interpreter().nestingDepth(), 0);
}

TEST_F(ControlFlow, CallsBeyondTheTablesAreRefused) {
  // Six nested script calls: the sixth is not made, the five come back in order.
  for (int i = 0; i < 6; ++i) {
    Script("S" + std::to_string(i) + ".MES",
           "SET_REG16 A, A + 1\nCALL_SCRIPT \"S" + std::to_string(i + 1) + ".MES\"\n"
           "SET_REG16 B, B + 1\nEND\n");
  }
  Script("S6.MES", "SET_REG16 C, 1\nEND\n");
  Script("MAIN.MES", R"(
    CALL_SCRIPT "S0.MES"
    SYSCALL 7, "A-NAME-FAR-LONGER-THAN-TWENTY-TWO.DAT", 0x30000
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R16('A'), 5);  // S0..S4 ran; S4's call to S5 was refused
  EXPECT_EQ(R16('B'), 5);
  EXPECT_EQ(R16('C'), 0);
  EXPECT_EQ(vars().ScriptName(), "MAIN.MES");
  // The over-long name was cut to what a parameter holds before the file was looked for.
  ASSERT_FALSE(Boxes().empty());
  EXPECT_EQ(Boxes().back(), "文件打开错误 / A-NAME-FAR-LONGER-THAN");
}

TEST_F(ControlFlow, CodeThatRunsItselfWithoutEndStopsAtTheNestingBound) {
  // Each level runs the image from byte 0 again, as a procedure: procedures that call each
  // other for ever end the same way.
  Script("MAIN.MES", R"(
    SET_REG16 N, N + 1
    SYSCALL 13, DIM32[0][7]
    SET_REG16 M, M + 1
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_FALSE(timed_out_);
  EXPECT_EQ(R16('N'), ScriptInterpreter::kMaxNesting);
  EXPECT_EQ(R16('M'), ScriptInterpreter::kMaxNesting) << "every level came back";
  EXPECT_EQ(system_->interpreter().nestingDepth(), 0);
}

TEST_F(ControlFlow, UndefinedBytesMakeNoProgressUntilTheGameEnds) {
  Script("MAIN.MES", "SET_REG16 A, 1\nDB 0x15\nSET_REG16 A, 2\nEND\n");
  EXPECT_EQ(Run({}, 500), 0);
  EXPECT_TRUE(timed_out_);
  EXPECT_EQ(R16('A'), 1);
}

TEST_F(ControlFlow, TextRunsWithAndWithoutOpcodeAreMeasured) {
  Script("MAIN.MES", R"(
    DEFINE_PROC 1, start
    TEXT "三个字"
    "两字"
    TEXT_HALF "abc"
    END
start:
    SYSCALL 24, DIM32[0][7] + 7       ; measure the procedure body (image offset 7)
    END
  )");
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(R32('S'), 6u + 4u + 3u);
  EXPECT_FALSE(vars().HasSystemFlag(kFlagMeasure));
}

}  // namespace
}  // namespace tvx::testing
