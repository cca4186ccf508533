#include "tools/mes/expression.h"

#include <algorithm>

#include "resources/byte_order.h"

namespace tvx::mes {

ExprPtr MakeConstant(uint32_t value) {
  return MakeLeaf(NodeKind::Constant, value);
}

ExprPtr MakeLeaf(NodeKind kind, uint32_t value) {
  auto node = std::make_unique<ExprNode>();
  node->kind = kind;
  node->value = value;
  return node;
}

ExprPtr MakeUnary(NodeKind kind, uint32_t value, ExprPtr child) {
  auto node = MakeLeaf(kind, value);
  node->child = std::move(child);
  return node;
}

ExprPtr MakeBinary(uint8_t op, ExprPtr left, ExprPtr right) {
  auto node = MakeUnary(NodeKind::Binary, 0, std::move(left));
  node->op = op;
  node->right = std::move(right);
  return node;
}

const BinaryOperator* FindBinaryOperator(uint8_t code) {
  const auto found = std::find_if(kBinaryOperators.begin(), kBinaryOperators.end(),
                                  [&](const BinaryOperator& op) { return op.code == code; });
  return found == kBinaryOperators.end() ? nullptr : &*found;
}

const BinaryOperator* FindBinaryOperator(std::string_view symbol) {
  const auto found = std::find_if(kBinaryOperators.begin(), kBinaryOperators.end(),
                                  [&](const BinaryOperator& op) { return op.symbol == symbol; });
  return found == kBinaryOperators.end() ? nullptr : &*found;
}

void AppendLe16(std::vector<uint8_t>& out, uint16_t value) {
  out.resize(out.size() + 2);
  bytes::StoreLe16(out, out.size() - 2, value);
}

void AppendConstantCode(uint32_t value, std::vector<uint8_t>& out) {
  if (value <= 0xFF && PushesItself(static_cast<uint8_t>(value))) {
    out.push_back(static_cast<uint8_t>(value));
  } else if (value <= 0xFFFF) {
    out.push_back(kExprConst16);
    AppendLe16(out, static_cast<uint16_t>(value));
  } else {
    out.push_back(kExprConst32);
    bytes::AppendLe32(out, value);
  }
}

void AppendExpressionCode(const ExprNode& node, std::vector<uint8_t>& out) {
  const auto with_byte = [&](uint8_t code) {
    AppendExpressionCode(*node.child, out);
    out.push_back(code);
    out.push_back(static_cast<uint8_t>(node.value));
  };
  switch (node.kind) {
    case NodeKind::Constant:
      AppendConstantCode(node.value, out);
      break;
    case NodeKind::Register16:
      out.push_back(kExprRegister16);
      out.push_back(static_cast<uint8_t>(node.value));
      break;
    case NodeKind::Register32:
      out.push_back(kExprRegister32);
      out.push_back(static_cast<uint8_t>(node.value));
      break;
    case NodeKind::Flag:
      // A flag with a fixed number has an encoding of its own.
      if (node.child->kind == NodeKind::Constant && node.child->value <= 0xFFFF) {
        out.push_back(kExprFlagConst);
        AppendLe16(out, static_cast<uint16_t>(node.child->value));
      } else {
        AppendExpressionCode(*node.child, out);
        out.push_back(kExprFlag);
      }
      break;
    case NodeKind::Dim16:
      with_byte(kExprDim16);
      break;
    case NodeKind::Dim32:
      with_byte(kExprDim32);
      break;
    case NodeKind::ByteAt:
      with_byte(kExprByteArray);
      break;
    case NodeKind::Random:
      AppendExpressionCode(*node.child, out);
      out.push_back(kExprRandom);
      break;
    case NodeKind::Binary:
      AppendExpressionCode(*node.child, out);
      AppendExpressionCode(*node.right, out);
      out.push_back(node.op);
      break;
    case NodeKind::Raw:
      out.insert(out.end(), node.raw.begin(), node.raw.end());
      break;
  }
}

bool IsConstantExpression(const ExprNode& node) {
  if (node.kind == NodeKind::Constant) return true;
  return node.kind == NodeKind::Binary && IsConstantExpression(*node.child) &&
         IsConstantExpression(*node.right);
}

std::optional<uint32_t> EvaluateConstant(const ExprNode& node) {
  if (node.kind == NodeKind::Constant) return node.value;
  if (node.kind != NodeKind::Binary) return std::nullopt;
  const auto left = EvaluateConstant(*node.child);
  const auto right = EvaluateConstant(*node.right);
  if (!left || !right) return std::nullopt;
  const uint32_t a = *left;
  const uint32_t b = *right;
  switch (node.op) {
    case kExprAdd:
      return a + b;
    case kExprSub:
      return a - b;
    case kExprMul:
      return a * b;
    case kExprDiv:
      return b == 0 ? std::nullopt : std::optional<uint32_t>(a / b);
    case kExprMod:
      return b == 0 ? std::nullopt : std::optional<uint32_t>(a % b);
    case kExprAnd:
      return a == 1 && b == 1 ? 1u : 0u;
    case kExprOr:
      return a == 1 || b == 1 ? 1u : 0u;
    case kExprBitAnd:
      return a & b;
    case kExprBitOr:
      return a | b;
    case kExprBitXor:
      return a ^ b;
    case kExprLess:
      return a < b ? 1u : 0u;
    case kExprGreater:
      return a > b ? 1u : 0u;
    case kExprLessEqual:
      return a <= b ? 1u : 0u;
    case kExprGreaterEqual:
      return a >= b ? 1u : 0u;
    case kExprEqual:
      return a == b ? 1u : 0u;
    case kExprNotEqual:
      return a != b ? 1u : 0u;
    default:
      return std::nullopt;
  }
}

}  // namespace tvx::mes
