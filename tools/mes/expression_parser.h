// Infix expressions of the source: usual precedence, compiled to the engine's postfix code
// through the tree of expression.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tools/mes/diagnostic.h"
#include "tools/mes/expression.h"
#include "tools/mes/lexer.h"

namespace tvx::mes {

// How deeply parentheses, operators and brackets may nest in one expression.
inline constexpr int kMaxExpressionNesting = 500;

class ExpressionParser {
 public:
  explicit ExpressionParser(TokenCursor& cursor) : cursor_(cursor) {}

  // One expression; nullptr after a problem, which problem() then holds.
  ExprPtr Parse();
  // A constant in [min, max]: numbers and operators, computed here. `what` names it in
  // messages ("flag number", "register number"...).
  std::optional<uint32_t> ParseConstant(uint32_t min, uint32_t max, std::string_view what);
  // A 16-bit register name (or, with `allow_32`, a 32-bit one) or a number 0-255.
  std::optional<uint8_t> ParseRegister(bool allow_32);

  const std::optional<LineProblem>& problem() const { return problem_; }
  void Fail(size_t offset, std::string message);

 private:
  ExprPtr ParseBinary(int min_precedence);
  ExprPtr ParseUnary();
  ExprPtr ParsePrimary();
  ExprPtr ParseName(const Token& name);
  ExprPtr ParseIndexed(NodeKind kind, uint32_t value);
  ExprPtr ParseRaw();
  bool Expect(std::string_view symbol, std::string_view context);
  bool Deeper(size_t offset);

  TokenCursor& cursor_;
  std::optional<LineProblem> problem_;
  int nesting_ = 0;
};

// "'foo'", or "the end of the line", for messages.
std::string DescribeToken(const Token& token);

}  // namespace tvx::mes
