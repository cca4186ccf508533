#include "tools/mes/instruction_parser.h"

#include <algorithm>
#include <array>

#include "resources/byte_order.h"
#include "script/opcodes.h"
#include "tools/mes/expression_parser.h"
#include "tools/mes/instruction_forms.h"
#include "tools/mes/names.h"

namespace tvx::mes {
namespace {

// The bytes of one operand, with the label its target bytes wait for.
struct OperandBytes {
  std::vector<uint8_t> bytes;
  std::optional<LabelUse> label;
};

class StatementParser {
 public:
  explicit StatementParser(TokenCursor& cursor) : cursor_(cursor), expressions_(cursor) {}

  std::optional<ParsedStatement> Parse() {
    ParsedStatement statement;
    const Token& first = cursor_.Peek();
    bool ok = false;
    if (first.kind == TokenKind::String) {
      ok = TextLine(statement);
    } else if (first.kind == TokenKind::Identifier && IsKeyword(first.text, "DB")) {
      cursor_.Next();
      ok = Data(statement);
    } else if (first.kind == TokenKind::Identifier) {
      if (const auto opcode = FindOpcode(first.text)) {
        cursor_.Next();
        ok = Instruction(*opcode, statement);
      } else {
        // A name alone on its line is most likely a label that lost its colon.
        const bool alone = cursor_.Peek(1).kind == TokenKind::End;
        Fail(first.offset,
             "unknown opcode '" + std::string(first.text) + "'" +
                 (alone ? "; hint: a label is followed by ':' (" + std::string(first.text) + ":)"
                        : ""));
      }
    } else {
      Fail(first.offset, "expected an instruction, found " + DescribeToken(first));
    }
    if (!ok && !problem()) Fail(first.offset, "cannot read this instruction");
    if (ok && !cursor_.AtEnd()) {
      Fail(cursor_.Peek().offset,
           "unexpected " + DescribeToken(cursor_.Peek()) + " after the end of the instruction");
    }
    if (problem()) return std::nullopt;
    return statement;
  }

  const std::optional<LineProblem>& problem() const { return expressions_.problem(); }

 private:
  void Fail(size_t offset, std::string message) { expressions_.Fail(offset, std::move(message)); }

  bool Comma() {
    if (cursor_.Accept(",")) return true;
    Fail(cursor_.Peek().offset,
         "expected ',' between operands, found " + DescribeToken(cursor_.Peek()));
    return false;
  }

  // A string that the engine reads up to a 0x00 cannot hold one itself.
  bool TextString(std::vector<uint8_t>& out) {
    const Token& token = cursor_.Peek();
    if (token.kind != TokenKind::String) {
      Fail(token.offset, "expected a string, found " + DescribeToken(token));
      return false;
    }
    cursor_.Next();
    if (std::find(token.bytes.begin(), token.bytes.end(), 0) != token.bytes.end()) {
      Fail(token.offset, "this string cannot hold the byte 0x00, which would end it");
      return false;
    }
    out.insert(out.end(), token.bytes.begin(), token.bytes.end());
    out.push_back(0);
    return true;
  }

  // A line that is only a string: a double-byte text run without opcode.
  bool TextLine(ParsedStatement& statement) {
    const Token& token = cursor_.Peek();
    if (token.bytes.empty() || !IsTextLead(token.bytes.front())) {
      Fail(token.offset,
           "a text line must start with a double-byte character (first byte 0x81-0xFE); "
           "use TEXT or TEXT_HALF for other text");
      return false;
    }
    return TextString(statement.bytes);
  }

  bool Data(ParsedStatement& statement) {
    do {
      const Token& token = cursor_.Peek();
      if (token.kind == TokenKind::String) {
        cursor_.Next();
        statement.bytes.insert(statement.bytes.end(), token.bytes.begin(), token.bytes.end());
      } else if (const auto byte = expressions_.ParseConstant(0, 255, "byte")) {
        statement.bytes.push_back(static_cast<uint8_t>(*byte));
      } else {
        return false;
      }
    } while (cursor_.Accept(","));
    return true;
  }

  bool Expression(std::vector<uint8_t>& out) {
    const ExprPtr expression = expressions_.Parse();
    if (!expression) return false;
    AppendExpressionCode(*expression, out);
    out.push_back(kExprEnd);
    return true;
  }

  bool ExpressionList(std::vector<uint8_t>& out) {
    do {
      if (!Expression(out)) return false;
      out.push_back(1);
    } while (cursor_.Accept(","));
    out.back() = 0;
    return true;
  }

  bool Params(std::vector<uint8_t>& out) {
    do {
      const Token& token = cursor_.Peek();
      if (token.kind == TokenKind::String) {
        out.push_back(1);
        if (!TextString(out)) return false;
      } else if (token.kind == TokenKind::Identifier && IsKeyword(token.text, "KIND")) {
        cursor_.Next();
        if (!cursor_.Accept("(")) {
          Fail(cursor_.Peek().offset, "expected '(' after KIND");
          return false;
        }
        // Kinds 1 and 2 carry data and 0 ends the list: a bare kind byte is anything else.
        const auto kind = expressions_.ParseConstant(3, 255, "parameter kind");
        if (!kind) return false;
        if (!cursor_.Accept(")")) {
          Fail(cursor_.Peek().offset, "expected ')' after the parameter kind");
          return false;
        }
        out.push_back(static_cast<uint8_t>(*kind));
      } else {
        out.push_back(2);
        if (!Expression(out)) return false;
      }
    } while (cursor_.Accept(","));
    out.push_back(0);
    return true;
  }

  bool Target(OperandBytes& out) {
    const Token& token = cursor_.Peek();
    const bool alone = cursor_.IsSymbol(",", 1) || cursor_.Peek(1).kind == TokenKind::End;
    if (token.kind == TokenKind::Identifier && alone) {
      if (const auto reserved = ReservedNameKind(token.text)) {
        Fail(token.offset, "'" + std::string(token.text) + "' is " + *reserved + ", not a label");
        return false;
      }
      cursor_.Next();
      out.label = LabelUse{0, std::string(token.text), token.offset};
      out.bytes.assign(4, 0);
      return true;
    }
    if (token.kind == TokenKind::End) {
      Fail(token.offset, "expected a jump target (a label or a number)");
      return false;
    }
    const auto value = expressions_.ParseConstant(0, 0xFFFFFFFF, "jump target");
    if (!value) return false;
    bytes::AppendLe32(out.bytes, *value);
    return true;
  }

  bool Byte(uint8_t opcode, OperandBytes& out) {
    std::optional<uint32_t> value;
    if (ByteOperandIsRegister(opcode)) {
      value = expressions_.ParseRegister(opcode == kSetReg32);
    } else {
      value = expressions_.ParseConstant(0, 255,
                                         opcode == kNewline ? "NEWLINE operand" : "array number");
    }
    if (!value) return false;
    out.bytes.push_back(static_cast<uint8_t>(*value));
    return true;
  }

  bool ParseOperand(uint8_t opcode, Operand kind, OperandBytes& out) {
    switch (kind) {
      case Operand::Byte:
        return Byte(opcode, out);
      case Operand::U16: {
        const auto value = expressions_.ParseConstant(0, 0xFFFF, "flag number");
        if (!value) return false;
        AppendLe16(out.bytes, static_cast<uint16_t>(*value));
        return true;
      }
      case Operand::Target:
        return Target(out);
      case Operand::Expr:
        return Expression(out.bytes);
      case Operand::ExprList:
        return ExpressionList(out.bytes);
      case Operand::Params:
        return Params(out.bytes);
      case Operand::TextRun:
        return TextString(out.bytes);
    }
    return false;
  }

  bool Instruction(uint8_t opcode, ParsedStatement& statement) {
    const OpcodeInfo& info = kOpcodes[opcode];
    // Source order: the bytecode order, but MENU_ITEM takes its target first.
    std::array<size_t, 3> order = {0, 1, 2};
    if (TargetWrittenFirst(opcode)) {
      const auto target = std::find(info.operands.begin(),
                                    info.operands.begin() + info.operand_count, Operand::Target);
      std::rotate(order.begin(), order.begin() + (target - info.operands.begin()),
                  order.begin() + (target - info.operands.begin()) + 1);
    }
    std::array<OperandBytes, 3> operands;
    for (size_t k = 0; k < info.operand_count; ++k) {
      const size_t index = order[k];
      const Operand kind = info.operands[index];
      const bool may_be_empty =
          kind == Operand::Params || (kind == Operand::Byte && ByteOperandOptional(opcode));
      if (may_be_empty && cursor_.AtEnd()) {
        operands[index].bytes.push_back(0);  // no parameters / NEWLINE 0
        continue;
      }
      if (k > 0 && !Comma()) return false;
      if (!ParseOperand(opcode, kind, operands[index])) return false;
    }
    statement.bytes.push_back(opcode);
    for (size_t i = 0; i < info.operand_count; ++i) {
      if (auto& label = operands[i].label) {
        label->position = statement.bytes.size();
        statement.label_uses.push_back(std::move(*label));
      }
      statement.bytes.insert(statement.bytes.end(), operands[i].bytes.begin(),
                             operands[i].bytes.end());
    }
    return true;
  }

  TokenCursor& cursor_;
  ExpressionParser expressions_;
};

}  // namespace

std::optional<ParsedStatement> ParseStatement(TokenCursor& cursor, LineProblem& problem) {
  StatementParser parser(cursor);
  auto statement = parser.Parse();
  if (!statement) problem = *parser.problem();
  return statement;
}

}  // namespace tvx::mes
