#include "tools/mes/expression_parser.h"

#include <string>

#include "tools/mes/names.h"

namespace tvx::mes {
namespace {

// Counts one level of nesting while it lives, and puts back on leaving the levels counted
// on its way (the operators of a chain).
class NestingGuard {
 public:
  explicit NestingGuard(int& nesting) : nesting_(nesting), outer_(nesting) { ++nesting_; }
  ~NestingGuard() { nesting_ = outer_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int& nesting_;
  int outer_;
};

}  // namespace

std::string DescribeToken(const Token& token) {
  if (token.kind == TokenKind::End) return "the end of the line";
  return "'" + std::string(token.text) + "'";
}

void ExpressionParser::Fail(size_t offset, std::string message) {
  if (!problem_) problem_ = LineProblem{offset, std::move(message)};
}

bool ExpressionParser::Expect(std::string_view symbol, std::string_view context) {
  if (cursor_.Accept(symbol)) return true;
  Fail(cursor_.Peek().offset, "expected '" + std::string(symbol) + "' " + std::string(context) +
                                  ", found " + DescribeToken(cursor_.Peek()));
  return false;
}

bool ExpressionParser::Deeper(size_t offset) {
  if (nesting_ <= kMaxExpressionNesting) return true;
  Fail(offset, "expression nested too deeply (more than " + std::to_string(kMaxExpressionNesting) +
                   " levels of parentheses, brackets and operators)");
  return false;
}

ExprPtr ExpressionParser::Parse() {
  ExprPtr result = ParseBinary(1);
  return problem_ ? nullptr : std::move(result);
}

ExprPtr ExpressionParser::ParseBinary(int min_precedence) {
  const NestingGuard guard(nesting_);
  if (!Deeper(cursor_.Peek().offset)) return nullptr;
  ExprPtr left = ParseUnary();
  while (left) {
    const Token& token = cursor_.Peek();
    const BinaryOperator* op =
        token.kind == TokenKind::Symbol ? FindBinaryOperator(token.text) : nullptr;
    if (op == nullptr || op->precedence < min_precedence) break;
    // Each operator of a chain such as 1+1+...+1 puts the tree one level deeper, as a
    // parenthesis does; the passes that walk the tree recurse that deep.
    ++nesting_;
    if (!Deeper(token.offset)) return nullptr;
    cursor_.Next();
    ExprPtr right = ParseBinary(op->precedence + 1);
    if (!right) return nullptr;
    left = MakeBinary(op->code, std::move(left), std::move(right));
  }
  return left;
}

// -e is 0 - e and !e is e == 0: the engine has no unary operators.
ExprPtr ExpressionParser::ParseUnary() {
  const NestingGuard guard(nesting_);
  if (!Deeper(cursor_.Peek().offset)) return nullptr;
  if (cursor_.Accept("-")) {
    ExprPtr operand = ParseUnary();
    return operand ? MakeBinary(kExprSub, MakeConstant(0), std::move(operand)) : nullptr;
  }
  if (cursor_.Accept("!")) {
    ExprPtr operand = ParseUnary();
    return operand ? MakeBinary(kExprEqual, std::move(operand), MakeConstant(0)) : nullptr;
  }
  return ParsePrimary();
}

ExprPtr ExpressionParser::ParsePrimary() {
  const Token& token = cursor_.Peek();
  switch (token.kind) {
    case TokenKind::Number:
      cursor_.Next();
      return MakeConstant(static_cast<uint32_t>(token.number));
    case TokenKind::Identifier:
      cursor_.Next();
      return ParseName(token);
    case TokenKind::Symbol:
      if (cursor_.Accept("(")) {
        ExprPtr inner = ParseBinary(1);
        if (!inner || !Expect(")", "to close the parenthesis")) return nullptr;
        return inner;
      }
      break;
    case TokenKind::String:
      Fail(token.offset, "a string cannot stand in an expression");
      return nullptr;
    case TokenKind::Directive:
    case TokenKind::End:
      break;
  }
  Fail(token.offset, "expected an expression, found " + DescribeToken(token));
  return nullptr;
}

ExprPtr ExpressionParser::ParseName(const Token& name) {
  const std::string_view text = name.text;
  const bool r16 = IsKeyword(text, "R16");
  // R32 alone is register R of the 32-bit bank; R32(n) is register n.
  if ((r16 || IsKeyword(text, "R32")) && cursor_.IsSymbol("(")) {
    if (!Expect("(", "after " + std::string(text))) return nullptr;
    const auto number = ParseConstant(0, 255, "register number");
    if (!number || !Expect(")", "after the register number")) return nullptr;
    return MakeLeaf(r16 ? NodeKind::Register16 : NodeKind::Register32, *number);
  }
  if (const auto r = Register16Named(text)) return MakeLeaf(NodeKind::Register16, *r);
  if (const auto r = Register32Named(text)) return MakeLeaf(NodeKind::Register32, *r);
  if (IsKeyword(text, "FLAG")) return ParseIndexed(NodeKind::Flag, 0);
  if (IsKeyword(text, "DIM16") || IsKeyword(text, "DIM32")) {
    if (!Expect("[", "after " + std::string(text))) return nullptr;
    const auto selector = ParseConstant(0, 255, "array number");
    if (!selector || !Expect("]", "after the array number")) return nullptr;
    return ParseIndexed(IsKeyword(text, "DIM16") ? NodeKind::Dim16 : NodeKind::Dim32, *selector);
  }
  if (IsKeyword(text, "BYTE")) {
    if (!Expect("[", "after BYTE")) return nullptr;
    const auto base = ParseRegister(false);
    if (!base || !Expect("]", "after the base register")) return nullptr;
    return ParseIndexed(NodeKind::ByteAt, *base);
  }
  if (IsKeyword(text, "RANDOM")) {
    if (!Expect("(", "after RANDOM")) return nullptr;
    ExprPtr bound = ParseBinary(1);
    if (!bound || !Expect(")", "after the bound of RANDOM")) return nullptr;
    return MakeUnary(NodeKind::Random, 0, std::move(bound));
  }
  if (IsKeyword(text, "RAW")) return ParseRaw();
  if (IsAnyKeyword(text) || FindOpcode(text)) {
    Fail(name.offset, "'" + std::string(text) + "' cannot stand in an expression");
  } else {
    Fail(name.offset, "unknown name '" + std::string(text) +
                          "' in an expression (registers are A-Z and A32-Z32); hint: a name "
                          "is given a value with .define NAME value");
  }
  return nullptr;
}

// "[e]" after FLAG, DIM16[s], DIM32[s] or BYTE[r].
ExprPtr ExpressionParser::ParseIndexed(NodeKind kind, uint32_t value) {
  if (!Expect("[", "before the index")) return nullptr;
  ExprPtr index = ParseBinary(1);
  if (!index || !Expect("]", "after the index")) return nullptr;
  return MakeUnary(kind, value, std::move(index));
}

ExprPtr ExpressionParser::ParseRaw() {
  if (!Expect("(", "after RAW")) return nullptr;
  auto node = MakeLeaf(NodeKind::Raw, 0);
  if (cursor_.Accept(")")) return node;
  do {
    const auto byte = ParseConstant(0, 255, "byte");
    if (!byte) return nullptr;
    node->raw.push_back(static_cast<uint8_t>(*byte));
  } while (cursor_.Accept(","));
  if (!Expect(")", "after the bytes of RAW")) return nullptr;
  return node;
}

std::optional<uint32_t> ExpressionParser::ParseConstant(uint32_t min, uint32_t max,
                                                        std::string_view what) {
  const size_t offset = cursor_.Peek().offset;
  const ExprPtr expression = ParseBinary(1);
  if (!expression) return std::nullopt;
  const auto value = EvaluateConstant(*expression);
  if (!value && IsConstantExpression(*expression)) {
    Fail(offset, "division by zero in the " + std::string(what));
    return std::nullopt;
  }
  if (!value) {
    Fail(offset, "the " + std::string(what) + " must be a constant number");
    return std::nullopt;
  }
  if (*value < min || *value > max) {
    Fail(offset, "the " + std::string(what) + " " + std::to_string(*value) + " is out of range (" +
                     std::to_string(min) + "-" + std::to_string(max) + ")");
    return std::nullopt;
  }
  return value;
}

std::optional<uint8_t> ExpressionParser::ParseRegister(bool allow_32) {
  const Token& token = cursor_.Peek();
  if (token.kind == TokenKind::Identifier) {
    if (const auto r = Register16Named(token.text)) {
      cursor_.Next();
      return r;
    }
    if (const auto r = Register32Named(token.text)) {
      if (!allow_32) {
        Fail(token.offset,
             "expected a 16-bit register name (A-Z) here, found " + DescribeToken(token));
        return std::nullopt;
      }
      cursor_.Next();
      return r;
    }
  }
  const auto number = ParseConstant(0, 255, "register number");
  if (!number) return std::nullopt;
  return static_cast<uint8_t>(*number);
}

}  // namespace tvx::mes
