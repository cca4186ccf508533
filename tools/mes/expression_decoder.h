// Expression code back to source: the infix form when the assembler would write exactly these
// bytes for it, RAW(...) otherwise (long constant encodings, stack underflow, leftover
// entries, trees too deep to read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "tools/mes/expression.h"

namespace tvx::mes {

// Deeper trees are written as RAW(...): nobody reads them, and they would strain the parser.
inline constexpr int kMaxDecodedDepth = 64;

struct DecodedExpression {
  size_t end = 0;  // offset just after the end byte
  std::string text;
  bool raw = false;
};

// The expression at `pos`; nothing when the code ends before its end byte.
std::optional<DecodedExpression> DecodeExpression(std::span<const uint8_t> code, size_t pos);

// The tree the code stands for; nothing unless it forms exactly one tree (at most
// kMaxDecodedDepth deep). `body` excludes the end byte.
ExprPtr BuildExpressionTree(std::span<const uint8_t> body);

}  // namespace tvx::mes
