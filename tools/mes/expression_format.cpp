#include "tools/mes/expression_format.h"

#include <cstdio>

#include "tools/mes/names.h"

namespace tvx::mes {
namespace {

// Unary minus, primaries and bracketed forms bind tighter than every binary operator.
constexpr int kTightest = 100;

bool IsNegation(const ExprNode& node) {
  return node.kind == NodeKind::Binary && node.op == kExprSub &&
         node.child->kind == NodeKind::Constant && node.child->value == 0;
}

int PrecedenceOf(const ExprNode& node) {
  if (node.kind != NodeKind::Binary || IsNegation(node)) return kTightest;
  return FindBinaryOperator(node.op)->precedence;
}

void Format(const ExprNode& node, std::string& out);

void FormatChild(const ExprNode& node, int min_precedence, std::string& out) {
  const bool parenthesize = PrecedenceOf(node) < min_precedence;
  if (parenthesize) out += '(';
  Format(node, out);
  if (parenthesize) out += ')';
}

void FormatIndex(const ExprNode& index, std::string& out) {
  out += '[';
  Format(index, out);
  out += ']';
}

void Format(const ExprNode& node, std::string& out) {
  switch (node.kind) {
    case NodeKind::Constant:
      out += FormatNumber(node.value);
      return;
    case NodeKind::Register16:
      out += Register16Name(static_cast<uint8_t>(node.value));
      return;
    case NodeKind::Register32:
      out += Register32Name(static_cast<uint8_t>(node.value));
      return;
    case NodeKind::Flag:
      out += "FLAG";
      FormatIndex(*node.child, out);
      return;
    case NodeKind::Dim16:
    case NodeKind::Dim32:
      out += node.kind == NodeKind::Dim16 ? "DIM16[" : "DIM32[";
      out += std::to_string(node.value) + "]";
      FormatIndex(*node.child, out);
      return;
    case NodeKind::ByteAt:
      out += "BYTE[";
      out += node.value < kNamedRegisters ? Register16Name(static_cast<uint8_t>(node.value))
                                          : std::to_string(node.value);
      out += "]";
      FormatIndex(*node.child, out);
      return;
    case NodeKind::Random:
      out += "RANDOM(";
      Format(*node.child, out);
      out += ')';
      return;
    case NodeKind::Raw:
      out += FormatRaw(node.raw);
      return;
    case NodeKind::Binary:
      break;
  }
  if (IsNegation(node)) {
    // "-(-x)" rather than "--x", which reads like a typing error.
    out += '-';
    const bool nested = node.right->kind == NodeKind::Binary;
    if (nested) out += '(';
    Format(*node.right, out);
    if (nested) out += ')';
    return;
  }
  const BinaryOperator& op = *FindBinaryOperator(node.op);
  // Left-associative: a right operand of the same precedence needs parentheses.
  FormatChild(*node.child, op.precedence, out);
  out += ' ';
  out += op.symbol;
  out += ' ';
  FormatChild(*node.right, op.precedence + 1, out);
}

}  // namespace

std::string FormatExpression(const ExprNode& node) {
  std::string out;
  Format(node, out);
  return out;
}

std::string FormatNumber(uint32_t value) {
  if (value < 0x10000) return std::to_string(value);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", static_cast<unsigned>(value));
  return buffer;
}

std::string FormatByte(uint8_t byte) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "0x%02X", byte);
  return buffer;
}

std::string FormatRaw(std::span<const uint8_t> bytes) {
  std::string out = "RAW(";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) out += ", ";
    out += FormatByte(bytes[i]);
  }
  out += ')';
  return out;
}

}  // namespace tvx::mes
