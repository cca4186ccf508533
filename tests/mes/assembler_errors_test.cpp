// Messages for bad programs: FILE:LINE:COLUMN, every bad line, no code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/mes/mes_test_support.h"

namespace tvx::mes {
namespace {

using test::AssembleOk;
using test::JoinLines;

std::vector<std::string> ErrorsOf(std::string_view source) {
  const AssembleResult result = Assemble(source, "bad.tvs");
  EXPECT_TRUE(result.code.empty()) << source;
  return result.errors;
}

struct BadLine {
  const char* source;
  const char* error;  // the whole message
};

TEST(AssemblerErrors, OneBadLineEach) {
  const BadLine cases[] = {
      {"    JUMP nowhere", "bad.tvs:1:10: undefined label 'nowhere'"},
      {"    FROB 1", "bad.tvs:1:5: unknown opcode 'FROB'"},
      {"x = 1",
       "bad.tvs:1:3: unexpected character '='; hint: comparisons are written '==' (IF A == 1, "
       "target); a register is set with SET_REG16 A, 1"},
      {"x 1", "bad.tvs:1:1: unknown opcode 'x'"},
      {"SET_REG16 300, 1", "bad.tvs:1:11: the register number 300 is out of range (0-255)"},
      {"SET_REG16 A32, 1", "bad.tvs:1:11: expected a 16-bit register name (A-Z) here, found 'A32'"},
      {"SET_FLAGS 70000, 1", "bad.tvs:1:11: the flag number 70000 is out of range (0-65535)"},
      {"SET_FLAGS A, 1", "bad.tvs:1:11: the flag number must be a constant number"},
      {"SET_DIM16 0, 256, 1", "bad.tvs:1:14: the array number 256 is out of range (0-255)"},
      {"NEWLINE 1 / 0", "bad.tvs:1:9: division by zero in the NEWLINE operand"},
      {"NEWLINE A", "bad.tvs:1:9: the NEWLINE operand must be a constant number"},
      {"SYSCALL 4294967296", "bad.tvs:1:9: number 4294967296 is too large (at most 4294967295)"},
      {"SYSCALL 12ab", "bad.tvs:1:9: malformed number '12ab'"},
      {"SYSCALL 0x", "bad.tvs:1:9: malformed number '0x'"},
      {"SYSCALL FLAG[1", "bad.tvs:1:15: expected ']' after the index, found the end of the line"},
      {"SYSCALL (1 + 2",
       "bad.tvs:1:15: expected ')' to close the parenthesis, found the end of the line"},
      {"SYSCALL foo",
       "bad.tvs:1:9: unknown name 'foo' in an expression (registers are A-Z and A32-Z32); "
       "hint: a name is given a value with .define NAME value"},
      {"SYSCALL \"s\" + 1", "bad.tvs:1:9: a string cannot stand in an expression"},
      {"SYSCALL DIM16[A][1]", "bad.tvs:1:15: the array number must be a constant number"},
      {"SYSCALL R16(256)", "bad.tvs:1:13: the register number 256 is out of range (0-255)"},
      {"SYSCALL RAW(1, 300)", "bad.tvs:1:16: the byte 300 is out of range (0-255)"},
      {"SYSCALL KIND(3)", "bad.tvs:1:9: 'KIND' cannot stand in an expression"},
      {"SYSCALL 1 $ 2", "bad.tvs:1:11: unexpected character '$'"},
      {"SET_FLAGS 1,", "bad.tvs:1:13: expected an expression, found the end of the line"},
      {"SET_FLAGS 1", "bad.tvs:1:12: expected ',' between operands, found the end of the line"},
      {"IF 1 2", "bad.tvs:1:6: expected ',' between operands, found '2'"},
      {"IF 1,", "bad.tvs:1:6: expected a jump target (a label or a number)"},
      {"JUMP A", "bad.tvs:1:6: 'A' is a register name, not a label"},
      {"JUMP end", "bad.tvs:1:6: 'end' is the opcode END, not a label"},
      {"NEWLINE 1, 2", "bad.tvs:1:10: unexpected ',' after the end of the instruction"},
      {"END 1", "bad.tvs:1:5: unexpected '1' after the end of the instruction"},
      {"EFFECT KIND(2)", "bad.tvs:1:13: the parameter kind 2 is out of range (3-255)"},
      {"EFFECT KIND 7", "bad.tvs:1:13: expected '(' after KIND"},
      {"TEXT", "bad.tvs:1:5: expected a string, found the end of the line"},
      {"TEXT 5", "bad.tvs:1:6: expected a string, found '5'"},
      {"TEXT \"a\\x00b\"",
       "bad.tvs:1:6: this string cannot hold the byte 0x00, which would end it"},
      {"LOAD_SCRIPT \"A\\x00\"",
       "bad.tvs:1:13: this string cannot hold the byte 0x00, which would end it"},
      {"TEXT \"abc", "bad.tvs:1:6: string without its closing quote"},
      {"TEXT \"a\\qb\"", "bad.tvs:1:8: unknown escape '\\q' (use \\\" \\\\ \\n or \\xNN)"},
      {"TEXT \"a\\x4\"", "bad.tvs:1:8: \\x needs two hexadecimal digits"},
      {"TEXT \"ꙮ\"",
       "bad.tvs:1:7: character 'ꙮ' (U+A66E) has no GBK code; write its bytes with \\xNN"},
      {"TEXT \"\xC3\x28\"", "bad.tvs:1:7: the source is not valid UTF-8 here"},
      {"\"abc\"",
       "bad.tvs:1:1: a text line must start with a double-byte character (first byte "
       "0x81-0xFE); use TEXT or TEXT_HALF for other text"},
      {"DB 256", "bad.tvs:1:4: the byte 256 is out of range (0-255)"},
      {"DB", "bad.tvs:1:3: expected an expression, found the end of the line"},
      {"A: END", "bad.tvs:1:1: label 'A' clashes with a register name"},
      {"end:", "bad.tvs:1:1: label 'end' clashes with the opcode END"},
      {"flag: END", "bad.tvs:1:1: label 'flag' clashes with the keyword FLAG"},
      {"b32:", "bad.tvs:1:1: label 'b32' clashes with a register name"},
      {": END", "bad.tvs:1:1: expected an instruction, found ':'"},
      // Columns count characters, not bytes.
      {"TEXT \"你好\" FOO", "bad.tvs:1:11: unexpected 'FOO' after the end of the instruction"},
  };
  for (const BadLine& c : cases) {
    EXPECT_EQ(JoinLines(ErrorsOf(c.source)), std::string(c.error) + "\n") << c.source;
  }
}

// The usual slips of a writer new to the language: the message says what is wrong, the
// hint after it what to write instead.
TEST(AssemblerErrors, CommonSlipsGetAHint) {
  const BadLine cases[] = {
      {"IF A = 1, done",
       "bad.tvs:1:6: unexpected character '='; hint: comparisons are written '==' (IF A == 1, "
       "target); a register is set with SET_REG16 A, 1"},
      {"TEXT 你好",
       "bad.tvs:1:6: unexpected character '你'; hint: text goes in double quotes (TEXT "
       "\"...\", or a line that is only \"...\")\n"
       "bad.tvs:1:7: unexpected character '好'; hint: text goes in double quotes (TEXT "
       "\"...\", or a line that is only \"...\")"},
      {"TEXT 'hello'",
       "bad.tvs:1:6: unexpected character '''; hint: strings are written in double quotes\n"
       "bad.tvs:1:12: unexpected character '''; hint: strings are written in double quotes"},
      {"END # done", "bad.tvs:1:5: unexpected character '#'; hint: comments start with ';'"},
      {"loop", "bad.tvs:1:1: unknown opcode 'loop'; hint: a label is followed by ':' (loop:)"},
      // A name followed by operands is an opcode misspelt: no label hint.
      {"JUMPP loop", "bad.tvs:1:1: unknown opcode 'JUMPP'"},
  };
  for (const BadLine& c : cases) {
    EXPECT_EQ(JoinLines(ErrorsOf(c.source)), std::string(c.error) + "\n") << c.source;
  }
}

TEST(AssemblerErrors, EveryBadLineIsReportedInOrder) {
  const auto errors = ErrorsOf(
      "start:\n"
      "    TEXT \"fine\"\n"
      "    JUMP missing\n"                     // 3: resolved last, reported in line order
      "    SET_FLAGS 99999, 1\n"               // 4
      "start: END\n"                           // 5
      "    TEXT \"ꙮ and ꙮ\"\n"                 // 6: both characters
      "    BOGUS\n"                            // 7
      "later: IF 1, later2 ; later2 absent\n"  // 8
      "    JUMP start\n");
  EXPECT_EQ(JoinLines(errors),
            "bad.tvs:3:10: undefined label 'missing'\n"
            "bad.tvs:4:15: the flag number 99999 is out of range (0-65535)\n"
            "bad.tvs:5:1: duplicate label 'start' (first defined on line 1)\n"
            "bad.tvs:6:11: character 'ꙮ' (U+A66E) has no GBK code; write its bytes with \\xNN\n"
            "bad.tvs:6:17: character 'ꙮ' (U+A66E) has no GBK code; write its bytes with \\xNN\n"
            "bad.tvs:7:5: unknown opcode 'BOGUS'; hint: a label is followed by ':' (BOGUS:)\n"
            "bad.tvs:8:14: undefined label 'later2'\n");
}

TEST(AssemblerErrors, LabelOnABadLineStillCounts) {
  // The instruction is bad, but uses of the label are not reported as undefined as well.
  EXPECT_EQ(JoinLines(ErrorsOf("here: TEXT \"\\q\"\nJUMP here\n")),
            "bad.tvs:1:13: unknown escape '\\q' (use \\\" \\\\ \\n or \\xNN)\n");
}

TEST(AssemblerErrors, DeepNestingIsAnErrorNotACrash) {
  const std::string deep = "SYSCALL " + std::string(5000, '(') + "1" + std::string(5000, ')');
  const auto errors = ErrorsOf(deep);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("expression nested too deeply"), std::string::npos) << errors[0];
  const std::string negations = "SYSCALL " + std::string(5000, '-') + "1";
  ASSERT_EQ(ErrorsOf(negations).size(), 1u);
  // Every operator of a chain makes the tree one level deeper: 30 000 terms are refused where
  // the limit is passed, a few hundred still assemble.
  std::string chain = "SYSCALL 1";
  for (int i = 1; i < 30000; ++i) chain += "+1";
  EXPECT_EQ(JoinLines(ErrorsOf(chain)),
            "bad.tvs:1:1005: expression nested too deeply (more than 500 levels of "
            "parentheses, brackets and operators)\n");
  std::string sum = "SYSCALL A";
  for (int i = 1; i < 400; ++i) sum += " + A";
  EXPECT_FALSE(AssembleOk(sum + "\nEND\n").empty());
  // A line past 64 KiB is refused whole, before it is read; the lines around it are not.
  const std::string overlong = "END\nSYSCALL " + std::string(70000, '1') + "\nFROB\n";
  EXPECT_EQ(JoinLines(ErrorsOf(overlong)),
            "bad.tvs:2:1: the line is too long (more than 65536 bytes)\n"
            "bad.tvs:3:1: unknown opcode 'FROB'; hint: a label is followed by ':' (FROB:)\n");
}

}  // namespace
}  // namespace tvx::mes
