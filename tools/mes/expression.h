// Expressions as trees, and their postfix code. The assembler builds trees from infix source,
// the disassembler from code; both encode through AppendExpressionCode, so "canonical code" is
// exactly what the assembler writes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "script/expression_code.h"

namespace tvx::mes {

enum class NodeKind : uint8_t {
  Constant,    // value
  Register16,  // value = register number
  Register32,  // value = register number
  Flag,        // child = index
  Dim16,       // value = array selector, child = index
  Dim32,       // value = array selector, child = index
  ByteAt,      // value = register number, child = index
  Random,      // child = bound
  Binary,      // op, child = left, right
  Raw,         // raw: bytes copied into the code as they are
};

struct ExprNode {
  NodeKind kind = NodeKind::Constant;
  uint32_t value = 0;
  uint8_t op = 0;
  std::vector<uint8_t> raw;
  std::unique_ptr<ExprNode> child;
  std::unique_ptr<ExprNode> right;
};
using ExprPtr = std::unique_ptr<ExprNode>;

ExprPtr MakeConstant(uint32_t value);
ExprPtr MakeLeaf(NodeKind kind, uint32_t value);
ExprPtr MakeUnary(NodeKind kind, uint32_t value, ExprPtr child);
ExprPtr MakeBinary(uint8_t op, ExprPtr left, ExprPtr right);

// Infix binary operators. A higher precedence binds tighter; all are left-associative.
struct BinaryOperator {
  std::string_view symbol;
  uint8_t code;
  int precedence;
};
inline constexpr std::array<BinaryOperator, 16> kBinaryOperators = {{
    {"||", kExprOr, 1},
    {"&&", kExprAnd, 2},
    {"|", kExprBitOr, 3},
    {"^", kExprBitXor, 4},
    {"&", kExprBitAnd, 5},
    {"==", kExprEqual, 6},
    {"!=", kExprNotEqual, 6},
    {"<", kExprLess, 7},
    {"<=", kExprLessEqual, 7},
    {">", kExprGreater, 7},
    {">=", kExprGreaterEqual, 7},
    {"+", kExprAdd, 8},
    {"-", kExprSub, 8},
    {"*", kExprMul, 9},
    {"/", kExprDiv, 9},
    {"%", kExprMod, 9},
}};

const BinaryOperator* FindBinaryOperator(uint8_t code);
const BinaryOperator* FindBinaryOperator(std::string_view symbol);

// Appends a 16-bit number, little-endian (the bytecode's operands and constants).
void AppendLe16(std::vector<uint8_t>& out, uint16_t value);
// Appends the shortest code that pushes `value`.
void AppendConstantCode(uint32_t value, std::vector<uint8_t>& out);
// Appends the postfix code of `node`, without the end byte.
void AppendExpressionCode(const ExprNode& node, std::vector<uint8_t>& out);

// Whether the expression is made of numbers and operators only.
bool IsConstantExpression(const ExprNode& node);
// The value of an expression made of numbers and operators only, as the engine would compute
// it; nothing when it refers to anything else or divides by zero.
std::optional<uint32_t> EvaluateConstant(const ExprNode& node);

}  // namespace tvx::mes
