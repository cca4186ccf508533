#include "tools/mes/line_assembler.h"

#include <algorithm>
#include <cstdio>

#include "script/opcodes.h"
#include "tools/mes/instruction_decoder.h"
#include "tools/mes/instruction_parser.h"
#include "tools/mes/lexer.h"
#include "tools/mes/utf8.h"

namespace tvx::mes {
namespace {

bool HasTarget(uint8_t opcode) {
  const OpcodeInfo& info = kOpcodes[opcode];
  const auto operands = std::span(info.operands).first(info.operand_count);
  return std::find(operands.begin(), operands.end(), Operand::Target) != operands.end();
}

// Why the interpreter could not run the code as one straight line, or empty when it can.
std::string CheckStraight(std::span<const uint8_t> code) {
  for (size_t at = 0; at < code.size();) {
    const uint8_t first = code[at];
    if (first >= kOpcodeCount && !IsTextLead(first)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", first);
      return std::string("byte ") + hex + " is no instruction: the script would stop on it";
    }
    if (first < kOpcodeCount && HasTarget(first)) {
      return std::string(kOpcodes[first].name) + " has a jump target, which a command line " +
             "cannot have";
    }
    const DecodedInstruction decoded = DecodeInstruction(code, at);
    if (decoded.status != DecodedInstruction::Status::Ok || decoded.size == 0)
      return "the bytes end inside an instruction";
    at += decoded.size;
  }
  return {};
}

}  // namespace

LineAssembly AssembleLine(std::string_view line) {
  LineAssembly result;
  auto fail = [&](size_t offset, std::string message) {
    result.code.clear();
    result.error = std::move(message);
    result.column = ColumnOf(line, std::min(offset, line.size()));
    return result;
  };
  if (const size_t brk = line.find_first_of("\r\n"); brk != std::string_view::npos)
    return fail(brk, "a command line is one line");
  const LineTokens lexed = Tokenize(line);
  if (!lexed.problems.empty())
    return fail(lexed.problems.front().offset, lexed.problems.front().message);
  TokenCursor cursor(lexed.tokens);
  if (cursor.Peek().kind == TokenKind::Identifier && cursor.IsSymbol(":", 1))
    return fail(cursor.Peek().offset, "a command line has no labels");
  if (cursor.AtEnd()) return result;
  const size_t start = cursor.Peek().offset;
  LineProblem problem;
  const auto statement = ParseStatement(cursor, problem);
  if (!statement) return fail(problem.offset, problem.message);
  if (!statement->label_uses.empty())
    return fail(statement->label_uses.front().offset, "a command line has no labels to jump to");
  if (std::string why = CheckStraight(statement->bytes); !why.empty())
    return fail(start, std::move(why));
  result.code = statement->bytes;
  return result;
}

}  // namespace tvx::mes
